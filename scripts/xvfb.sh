# shellcheck shell=bash
# Sourced by the scripts that show windows: a display for them.
#   druv_display_start LOG   uses $DISPLAY when a server answers there;
#                            otherwise starts Xvfb on a display no other X
#                            server holds, exports DISPLAY and sets
#                            druv_xvfb_pid. Xvfb's own output goes to LOG.
#   druv_display_stop        ends the Xvfb that druv_display_start started.
# Xvfb picks the display itself (-displayfd): display sockets are shared by
# every run on the machine, whatever its /tmp, so a number chosen here could
# be taken by another run in the meantime, and two runs on one number would
# share a server and end it under each other.
druv_xvfb_pid=

druv_display_answers() { xdpyinfo -display "$1" >/dev/null 2>&1; }

druv_display_start() {
  local log=$1 number_file number="" _
  druv_xvfb_pid=
  if [ -n "${DISPLAY:-}" ] && druv_display_answers "$DISPLAY"; then return 0; fi
  mkdir -p "$(dirname "$log")"
  number_file=$(mktemp)
  # Xvfb writes the display number and a line end to fd 3 once it accepts connections.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" </dev/null >"$log" 2>&1 &
  druv_xvfb_pid=$!
  for _ in $(seq 200); do
    if read -r number <"$number_file" && [[ $number =~ ^[0-9]+$ ]]; then break; fi
    number=
    kill -0 "$druv_xvfb_pid" 2>/dev/null || break
    sleep 0.05
  done
  rm -f "$number_file"
  if [ -n "$number" ]; then
    for _ in $(seq 100); do
      druv_display_answers ":$number" && { export DISPLAY=":$number"; return 0; }
      kill -0 "$druv_xvfb_pid" 2>/dev/null || break
      sleep 0.05
    done
  fi
  echo "Xvfb did not start a display (${number:+display :$number, }see $log):" >&2
  tail -n 20 "$log" >&2
  druv_display_stop
  return 1
}

druv_display_stop() {
  [ -n "$druv_xvfb_pid" ] || return 0
  kill "$druv_xvfb_pid" 2>/dev/null || true
  wait "$druv_xvfb_pid" 2>/dev/null || true
  druv_xvfb_pid=
}
