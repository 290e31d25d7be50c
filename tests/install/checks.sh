# checks.sh -- the reporting the install and package checks share, sourced by both
failures=0
fail() { echo "FAIL: $*" && failures=$((failures + 1)); }
ok() { echo "ok: $*"; }
# check OK-TEXT FAIL-TEXT COMMAND...: runs the command and reports either text.
check() { if "${@:3}"; then ok "$1"; else fail "$2"; fi; }
# The last line of a check script: its status is 1 if any check failed.
finish() {
  [ "$failures" -eq 0 ] || { echo "$failures check(s) failed" && exit 1; }
  echo "all $1 checks passed"
}
