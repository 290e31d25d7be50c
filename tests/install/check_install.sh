#!/usr/bin/env bash
# check_install.sh -- install into a scratch prefix and check what a desktop user gets:
# the installed tree, the launcher, the manual page and the game's title screen.
# Usage: check_install.sh <build dir> <source dir> <AppStream id>
set -uo pipefail
build=$1
source=$2
app_id=$3

tmp=$(mktemp -d)
# A space in the prefix catches a launcher or install rule that splits paths.
prefix="$tmp/install root"
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
  [ -n "${XSESSION_PID:-}" ] && kill "$XSESSION_PID" 2>/dev/null && wait "$XSESSION_PID" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT

source "${BASH_SOURCE%/*}/checks.sh"

# --- the installed tree ---------------------------------------------------

if ! cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1; then
  cat "$tmp/install.log"
  echo "FAIL: cmake --install"
  exit 1
fi

sizes=(16 32 48 64 128 256)
expected=(games/quorvane share/games/quorvane/menu.bmp share/applications/$app_id.desktop
          share/metainfo/$app_id.metainfo.xml share/man/man6/quorvane.6.gz
          share/doc/quorvane/copyright share/doc/quorvane/changelog.gz)
for s in "${sizes[@]}"; do expected+=("share/icons/hicolor/${s}x${s}/apps/quorvane.png"); done

# Exactly these files: no tests, benchmarks, tools, libraries or headers.
(cd "$prefix" && find . \( -type f -o -type l \) | sed 's|^\./||' | sort) >"$tmp/got"
printf '%s\n' "${expected[@]}" | sort >"$tmp/want"
check "installed files" "installed files differ (- expected, + installed)" diff -u "$tmp/want" "$tmp/got"

if [ -x "$prefix/games/quorvane" ] && file -b "$prefix/games/quorvane" | grep -q '^ELF .* executable'; then
  ok "games/quorvane is an executable"
else
  fail "games/quorvane is not an executable program: $(file -b "$prefix/games/quorvane" 2>&1)"
fi

check "installed title picture is data/menu.bmp" "installed menu.bmp differs from data/menu.bmp" \
  cmp -s "$source/data/menu.bmp" "$prefix/share/games/quorvane/menu.bmp"

for s in "${sizes[@]}"; do
  icon="$prefix/share/icons/hicolor/${s}x${s}/apps/quorvane.png"
  kind=$(file -b "$icon" 2>&1)
  case "$kind" in
    "PNG image data, $s x $s,"*) ok "icon ${s}x${s}" ;;
    *) fail "icon ${s}x${s} is: $kind" ;;
  esac
done

# The committed icons, the window's too, must still be cut from the title picture (cut here, not in the tree).
if "$source/tools/make_icons" "$source/data/menu.bmp" "$tmp/icons" "$tmp/icons/icon.bmp" >"$tmp/icons.log" 2>&1; then
  stale=0
  committed=(data/icon.bmp)
  for s in "${sizes[@]}"; do committed+=("packaging/icons/quorvane-$s.png"); done
  for icon in "${committed[@]}"; do
    if ! compare -metric AE -fuzz 2% "$tmp/icons/${icon##*/}" "$source/$icon" null: 2>/dev/null; then
      fail "$icon is stale: run tools/make_icons"
      stale=1
    fi
  done
  [ "$stale" = 0 ] && ok "icons match the title picture"
else
  cat "$tmp/icons.log"
  fail "tools/make_icons failed"
fi

# --- the launcher -----------------------------------------------------------

entry="$prefix/share/applications/$app_id.desktop"
if desktop-file-validate "$entry" >"$tmp/validate.log" 2>&1 && [ ! -s "$tmp/validate.log" ]; then
  ok "desktop entry validates"
else
  cat "$tmp/validate.log"
  fail "desktop-file-validate"
fi
key() { sed -n "s/^$1=//p" "$entry"; }
# Docks match the game's window to its launcher by the window's class.
for pair in Exec=quorvane Icon=quorvane Terminal=false "Categories=Game;ArcadeGame;" StartupWMClass=quorvane; do
  [ "$(key "${pair%%=*}")" = "${pair#*=}" ] || fail "${pair%%=*} is '$(key "${pair%%=*}")'"
done
[ -n "$(key Name)" ] && [ -n "$(key Comment)" ] || fail "Name or Comment missing"
# The game finds its data itself: the launcher must not depend on a folder.
[ -z "$(key Path)" ] || fail "Path is '$(key Path)'"

# --- the manual page --------------------------------------------------------

page="$prefix/share/man/man6/quorvane.6.gz"
# Whether a line can be adjusted or broken at 80 columns depends on the groff
# version's fonts and hyphenation, not on the page: those warnings are shown,
# any other one fails.
if MANWIDTH=80 man --warnings -l "$page" >"$tmp/man.txt" 2>"$tmp/man.err" &&
  ! grep -v -E "can(no|')t (adjust|break) line" "$tmp/man.err" >"$tmp/man.faults"; then
  ok "manual page renders without warnings about its markup"
  cat "$tmp/man.err"
else
  cat "$tmp/man.err"
  fail "man -l $page"
fi
for section in NAME SYNOPSIS DESCRIPTION KEYS FILES "EXIT STATUS" ENVIRONMENT; do
  grep -q "^$section\$" "$tmp/man.txt" || fail "manual page has no $section section"
done

# --- the game, started as the launcher starts it ----------------------------

# A private X server from the tests' X session command, kept until its input closes.
xsession="$build/tests/xsession/xsession"
coproc XSESSION { exec "$xsession" serve; }
display=""
read -r -t 30 display <&"${XSESSION[0]}" || true
if [ -z "$display" ]; then
  fail "no X server could be started"
  exit 1
fi
export DISPLAY=":$display"
unset SDL_VIDEODRIVER
launcher_path="$prefix/games:$PATH"

# A broken picture in the working folder is reported, never replaced by the installed one.
mkdir "$tmp/broken" "$tmp/elsewhere"
echo "not a bitmap" >"$tmp/broken/menu.bmp"
(cd "$tmp/broken" && PATH="$launcher_path" timeout 20 quorvane >"$tmp/broken.out" 2>"$tmp/broken.err")
status=$?
if [ "$status" -eq 1 ] && grep -q '^Impossible de charger menu.bmp: ' "$tmp/broken.err"; then
  ok "a broken menu.bmp in the working folder stops the game with status 1"
else
  cat "$tmp/broken.out" "$tmp/broken.err"
  fail "with a broken menu.bmp: status $status"
fi

# As the launcher or a terminal starts it: by name, from a folder without the picture.
(cd "$tmp/elsewhere" && PATH="$launcher_path" exec quorvane) >"$tmp/game.out" 2>"$tmp/game.err" &
game_pid=$!

if "$xsession" title "$game_pid" "$source/data/menu.bmp" "$tmp/screen.ppm"; then
  ok "the title picture fills the window"
else
  fail "title picture not shown"
  cp "$tmp/screen.ppm" "$build/install-test-screen.ppm" 2>/dev/null && echo "screen kept in $build/install-test-screen.ppm"
fi

"$xsession" key "$game_pid" Escape
# Bounded by 10 s: tail returns as soon as the game has ended.
timeout 10 tail --pid="$game_pid" -f /dev/null
status=""
kill -0 "$game_pid" 2>/dev/null || { wait "$game_pid"; status=$?; }
game_pid_was=$game_pid
game_pid=""
if [ "$status" = 0 ]; then
  ok "Escape on the title screen ends the game with status 0"
else
  kill "$game_pid_was" 2>/dev/null
  cat "$tmp/game.out" "$tmp/game.err"
  fail "after Escape: status ${status:-none, still running}"
fi

finish install
