#!/usr/bin/env bash
# check_reproducible.sh -- the packaging recipe, run twice in two folders, gives the same package byte for byte
# Usage: check_reproducible.sh <source dir>
set -uo pipefail
source=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
source "${BASH_SOURCE%/*}/checks.sh"

# The packaging recipe (doc/packaging.md) on two copies of the source, the
# second deeper and built later; no SOURCE_DATE_EPOCH, so the changelog's date
# has to do.
unset SOURCE_DATE_EPOCH
for dir in "$tmp/a" "$tmp/second/checkout"; do
  mkdir -p "$dir" && tar -C "$source" --exclude='./build*' --exclude=./.git -cf - . | tar -C "$dir" -xf - &&
    (cd "$dir" && cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DQUORVANE_TESTS=OFF \
      -DCPACK_DEBIAN_PACKAGE_MAINTAINER="Your Name <you@example.org>" && cmake --build build-release -j"$(nproc)" &&
      cd build-release && cpack -G DEB) >"$tmp/build.log" 2>&1 || { cat "$tmp/build.log"; fail "the packaging recipe in $dir"; finish package; }
done
debs=("$tmp"/a/build-release/*.deb "$tmp"/second/checkout/build-release/*.deb)
if cmp -s "${debs[@]}"; then ok "the same $(basename "${debs[0]}") from both builds"; else
  if command -v diffoscope >/dev/null; then diffoscope "${debs[@]}"; else cmp -l "${debs[@]}" | head; fi
  fail "the two packages differ"
fi
finish package
