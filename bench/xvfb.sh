# xvfb.sh -- sourced by the bench scripts: a private Xvfb on a free display.
# After xvfb_start, DISPLAY names it; it is killed when the script exits.

xvfb_pid=""
xvfb_stop() { if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi; }
trap xvfb_stop EXIT

xvfb_start() {
  # -displayfd picks a free display; when another server grabs the same number
  # at the same moment ours exits, so check that it answers and otherwise retry.
  local fifo display
  for _ in 1 2 3 4 5; do
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" 2>/dev/null &
    xvfb_pid=$!
    display=""
    read -r display <"$fifo" || true
    rm -f "$fifo"
    if [ -n "$display" ] && xdpyinfo -display ":$display" >/dev/null 2>&1; then
      export DISPLAY=":$display"
      return 0
    fi
    xvfb_stop
    xvfb_pid=""
    sleep 0.5
  done
  echo "no X server could be started" >&2
  return 1
}

machine_line() {
  echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), load $(cut -d' ' -f1-3 /proc/loadavg)"
}
