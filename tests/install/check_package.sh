#!/usr/bin/env bash
# check_package.sh -- build the Debian package and check its control fields and contents.
# Usage: check_package.sh <build dir> <version> <AppStream id>
set -uo pipefail
build=$1
version=$2
app_id=$3

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

source "${BASH_SOURCE%/*}/checks.sh"

# Packaged outside the build folder (no .deb left there), under a strict umask that must not reach the package.
if ! (umask 077 && cd "$build" && cpack -G DEB -B "$tmp/out") >"$tmp/cpack.log" 2>&1; then
  cat "$tmp/cpack.log"
  echo "FAIL: cpack -G DEB"
  exit 1
fi

arch=$(dpkg --print-architecture)
deb="$tmp/out/quorvane_${version}_${arch}.deb"
if [ ! -f "$deb" ]; then
  ls -la "$tmp/out"
  echo "FAIL: no quorvane_${version}_${arch}.deb"
  exit 1
fi
ok "built $(basename "$deb")"

# --- control fields ---------------------------------------------------------

field() { dpkg-deb -f "$deb" "$1"; }
for pair in Package=quorvane "Version=$version" "Architecture=$arch" Section=games; do
  [ "$(field "${pair%%=*}")" = "${pair#*=}" ] || fail "${pair%%=*} is '$(field "${pair%%=*}")'"
done
echo "$(field Maintainer)" | grep -q '^[^<]\+ <[^@>]\+@[^>]\+>$' || fail "Maintainer is '$(field Maintainer)'"
[ -n "$(field Description)" ] || fail "no Description"
ok "Package, Version, Architecture, Section, Maintainer, Description"

# The game links SDL 1.2, GL, GLU, GLUT and RandR; the dependencies come from the
# libraries' own packages, so accept each library's known package names.
depends=$(field Depends)
echo "Depends: $depends"
for lib in 'libsdl1\.2debian' 'libgl1' 'libglu1(-mesa)?' '(freeglut3|libglut3(\.[0-9]+)?)' 'libxrandr2' 'libc6'; do
  if echo "$depends" | tr ',' '\n' | sed 's/^ *//' | grep -Eq "^$lib( |\$)"; then
    ok "depends on $lib"
  else
    fail "Depends names no $lib"
  fi
done

# --- contents ---------------------------------------------------------------

dpkg-deb -c "$deb" >"$tmp/contents"
# Regular files only, as paths: exactly the game's tree under /usr.
awk '$1 ~ /^-/ {print $NF}' "$tmp/contents" | sed 's|^\./|/|' | sort >"$tmp/got"
{
  echo /usr/games/quorvane
  echo /usr/share/games/quorvane/menu.bmp
  echo /usr/share/doc/quorvane/copyright
  echo /usr/share/doc/quorvane/changelog.gz
  echo "/usr/share/applications/$app_id.desktop"
  echo "/usr/share/metainfo/$app_id.metainfo.xml"
  echo /usr/share/man/man6/quorvane.6.gz
  for s in 16 32 48 64 128 256; do echo "/usr/share/icons/hicolor/${s}x${s}/apps/quorvane.png"; done
} | sort >"$tmp/want"
check "package files" "package files differ (- expected, + packaged)" diff -u "$tmp/want" "$tmp/got"
if awk '{print $2}' "$tmp/contents" | grep -v '^root/root$' | grep -q .; then fail "files not owned by root"; fi
if awk '$1 ~ /^d/ && $1 != "drwxr-xr-x"' "$tmp/contents" | grep .; then fail "folders not 755"; fi

dpkg-deb -x "$deb" "$tmp/root"
file -b "$tmp/root/usr/games/quorvane" | grep -q ', stripped' || fail "binary is not stripped"
gzip -t "$tmp/root/usr/share/man/man6/quorvane.6.gz" || fail "manual page is not gzip"
zcat "$tmp/root/usr/share/doc/quorvane/changelog.gz" | head -n1 | grep -q "^quorvane ($version) " ||
  fail "changelog does not start with version $version"
[ "$failures" -eq 0 ] && ok "stripped binary, compressed manual page, changelog of this version"

# What software centres read: the metainfo, and the launcher it names.
appstreamcli validate-tree --no-net "$tmp/root" >"$tmp/appstream.log" 2>&1
status=$?
cat "$tmp/appstream.log"
if [ "$status" -eq 0 ] && ! grep -q '^ *[EW]: ' "$tmp/appstream.log"; then
  ok "AppStream metadata validates without errors or warnings"
else
  fail "appstreamcli validate-tree"
fi
grep -q "<release version=\"$version\"" "$tmp/root/usr/share/metainfo/$app_id.metainfo.xml" ||
  fail "the metainfo has no release $version"

finish package
