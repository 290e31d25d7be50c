# xvfb.sh -- sourced by the bench scripts: a private Xvfb for one measurement.
# After xvfb_start, DISPLAY names it; it is killed when the script exits.

xvfb_pid=""
xvfb_stop() { if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi; }
trap xvfb_stop EXIT

xvfb_answers() {
  local i
  for i in $(seq 50); do
    xdpyinfo -display "$1" >/dev/null 2>&1 && return 0
    kill -0 "$xvfb_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

xvfb_start() {
  # Displays :71 to :79 are kept for measurements by hand, away from the low
  # numbers that test runs take with -displayfd.
  local n
  for n in 71 72 73 74 75 76 77 78 79; do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset 2>/dev/null &
    xvfb_pid=$!
    if xvfb_answers ":$n"; then
      export DISPLAY=":$n"
      return 0
    fi
    xvfb_stop
    xvfb_pid=""
  done
  echo "no X server could be started on :71 to :79" >&2
  return 1
}

machine_line() {
  echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), load $(cut -d' ' -f1-3 /proc/loadavg)"
}
