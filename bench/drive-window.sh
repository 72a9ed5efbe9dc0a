# Helpers for the scripts that drive the real program in a virtual display; sourced, not run.

# wait_for_reading PID LOG PATTERN SECONDS: true once a line of LOG matches PATTERN, false when
# the program ends or SECONDS pass first.
wait_for_reading() {
  local pid=$1 log=$2 pattern=$3 tenths=$(($4 * 10))
  for _ in $(seq "$tenths"); do
    grep -qE "$pattern" "$log" && return 0
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# close_through_window PID: File > Exit from the keyboard (Alt+F, X), as a user closes it.
close_through_window() {
  local window
  window=$(xdotool search --onlyvisible --pid "$1" --name '^Quavelorin$' 2>/dev/null | head -1)
  [ -n "$window" ] || return 1
  xdotool windowfocus --sync "$window" key alt+f
  sleep 0.3
  xdotool key x
}

# wait_for_exit PID SECONDS: sets exit_status to the program's exit status, or to "hang" (and
# kills the program) when it is still running after SECONDS. Not in a subshell: only the shell
# that started the program can wait for it.
wait_for_exit() {
  local pid=$1
  for _ in $(seq $(($2 * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      exit_status=$?
      return
    fi
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  exit_status=hang
}
