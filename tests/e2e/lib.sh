# Harness for end-to-end tests: the real program in a real X server.
#
#   source "$(dirname "$0")/lib.sh"
#   e2e_start_display 1280x800       # Xvfb on a free display, then openbox
#   e2e_start_app PROGRAM ARGS...    # in the background, log in $E2E_TMP/app.log
#   win=$(e2e_wait_window Vorrel) || exit 1   # a normal window of that title
#   e2e_shot shot.png [X Y W H]      # screenshot; prints its number of colours
#   e2e_click $win X Y               # real pointer events, window coordinates
#   e2e_keys Up Return               # real key events
#   e2e_menu $win X Down Return      # the menu titled at x in the menu bar
#   e2e_answer TITLE Return          # keys to the active dialog of that title
#   e2e_answer_text TITLE TEXT       # the text typed into it, then Return
#   e2e_wait_exit 10                 # sets E2E_EXIT_CODE, or fails
#
# Everything started here is killed when the test's shell exits, whatever
# the outcome; $E2E_TMP is removed then unless E2E_KEEP=1.
set -u

E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/vorrel-e2e.XXXXXX")
E2E_PIDS=()
E2E_APP_PID=
E2E_XSHOT=${E2E_XSHOT:-}

e2e_log() { echo "e2e: $*" >&2; }

e2e_fail() {
  echo "FAIL: $*" >&2
  if [ -f "$E2E_TMP/app.log" ]; then
    echo "--- program output" >&2
    cat "$E2E_TMP/app.log" >&2
  fi
  exit 1
}

e2e_cleanup() {
  local i
  for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
    kill "${E2E_PIDS[i]}" 2>/dev/null
  done
  for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
    wait "${E2E_PIDS[i]}" 2>/dev/null
  done
  if [ "${E2E_KEEP:-0}" = 1 ]; then
    e2e_log "kept $E2E_TMP"
  else
    rm -rf "$E2E_TMP"
  fi
}
trap e2e_cleanup EXIT
trap 'exit 1' INT TERM

# Polls a command until it succeeds or the seconds run out.
e2e_until() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.1
  done
}

e2e_need() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || e2e_fail "$tool is not installed (scripts/install-deps.sh installs it)"
  done
}

# Starts Xvfb on a display number it picks itself (free, so that tests run
# side by side) and the openbox window manager on it; exports DISPLAY.
e2e_start_display() {
  local size=${1:-1280x800}
  e2e_need Xvfb openbox xdotool xprop xwininfo
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$E2E_TMP/display" 2>"$E2E_TMP/xvfb.log" &
  E2E_PIDS+=($!)
  e2e_until 15 grep -qs '[0-9]' "$E2E_TMP/display" || e2e_fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
  export DISPLAY=":$(tr -dc 0-9 <"$E2E_TMP/display")"
  export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
  mkdir -m 700 -p "$XDG_RUNTIME_DIR"
  openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
  E2E_PIDS+=($!)
  e2e_until 15 e2e_wm_running || e2e_fail "openbox did not start: $(cat "$E2E_TMP/openbox.log")"
  e2e_log "display $DISPLAY ($size) with openbox"
}

e2e_wm_running() {
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# Starts the program under test on the display, as a Qt program of X.
e2e_start_app() {
  QT_QPA_PLATFORM=xcb "$@" >"$E2E_TMP/app.log" 2>&1 &
  E2E_APP_PID=$!
  E2E_PIDS+=($E2E_APP_PID)
}

# Prints the id of a visible, normal (not splash, not menu) window whose
# title is exactly the given text; fails after the seconds (default 20) or
# as soon as the program has ended.
e2e_wait_window() {
  local title=$1 seconds=${2:-20}
  local deadline=$((SECONDS + seconds)) w
  while [ $SECONDS -lt $deadline ]; do
    for w in $(xdotool search --onlyvisible --name "$title" 2>/dev/null); do
      if [ "$(xdotool getwindowname "$w")" = "$title" ] \
        && xprop -id "$w" _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_NORMAL; then
        echo "$w"
        return 0
      fi
    done
    e2e_app_alive || e2e_fail "the program ended before its window \"$title\" appeared"
    sleep 0.1
  done
  e2e_fail "no window \"$title\" within $seconds s"
}

e2e_app_alive() {
  [ -n "$E2E_APP_PID" ] && kill -0 "$E2E_APP_PID" 2>/dev/null
}

# Whether the window manager shows the window maximised both ways.
e2e_is_maximized() {
  local state
  state=$(xprop -id "$1" _NET_WM_STATE)
  [[ $state == *_NET_WM_STATE_MAXIMIZED_VERT* && $state == *_NET_WM_STATE_MAXIMIZED_HORZ* ]]
}

# Sets X, Y (the screen position of the window's own top-left corner, inside
# the frame), WIDTH and HEIGHT of a window.
e2e_geometry() {
  local info
  info=$(xwininfo -id "$1")
  X=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
  Y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
  WIDTH=$(sed -n 's/.*Width: *//p' <<<"$info")
  HEIGHT=$(sed -n 's/.*Height: *//p' <<<"$info")
}

# Screenshot of the screen or of a rectangle of it; prints the number of
# distinct colours in it.
e2e_shot() {
  [ -n "$E2E_XSHOT" ] || e2e_fail "E2E_XSHOT names no screenshot helper"
  "$E2E_XSHOT" "$@" 2>/dev/null | sed -n 's/^colors=//p'
}

# Number of pixels in which two screenshots differ (within a rectangle).
e2e_diff() {
  "$E2E_XSHOT" --diff "$@" 2>/dev/null | sed -n 's/^differing=//p'
}

# The number of visible windows of the program (menus included).
e2e_window_count() {
  xdotool search --onlyvisible --pid "$E2E_APP_PID" 2>/dev/null | wc -l
}

# A left click at a point of a window, in its own coordinates.
e2e_click() {
  xdotool mousemove --window "$1" "$2" "$3" click 1
}

e2e_keys() {
  xdotool key --delay 50 "$@"
}

# Opens the menu whose title lies at x in the window's menu bar, then types
# the keys.
e2e_menu() {
  local win=$1 x=$2 windows
  shift 2
  windows=$(e2e_window_count)
  e2e_click "$win" "$x" 10
  e2e_until 15 eval '[ "$(e2e_window_count)" -gt "$windows" ]' || e2e_fail "the menu at x=$x did not open"
  e2e_keys "$@"
}

# Waits for the dialog of that title to be the active window.
e2e_dialog() {
  local title=$1
  e2e_until 20 eval '[ "$(xdotool getactivewindow getwindowname 2>/dev/null)" = "$title" ]' \
    || e2e_fail "no active dialog \"$title\""
}

# Answers the active dialog with the keys and waits for it to go.
e2e_answer() {
  local title=$1
  shift
  e2e_dialog "$title"
  e2e_keys "$@"
  e2e_until 20 eval '[ -z "$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null)" ]' \
    || e2e_fail "the dialog \"$title\" stayed"
}

# Types the text into the active dialog of that title (a file name), then
# Return, and waits for it to go.
e2e_answer_text() {
  e2e_dialog "$1"
  xdotool type --delay 20 "$2"
  e2e_answer "$1" Return
}

# Waits for the program to end and sets E2E_EXIT_CODE to its exit code.
# Fails when it is still running after the seconds. (Not in a command
# substitution: only the test's own shell can wait for the program.)
e2e_wait_exit() {
  local seconds=${1:-10}
  e2e_until "$seconds" eval '! e2e_app_alive' || e2e_fail "the program did not end within $seconds s"
  E2E_EXIT_CODE=0
  wait "$E2E_APP_PID" || E2E_EXIT_CODE=$?
}

# The window manager's process (started by e2e_start_display).
e2e_wm_pid() {
  local p
  for p in "${E2E_PIDS[@]}"; do
    [ "$(ps -o comm= -p "$p" 2>/dev/null)" = openbox ] && { echo "$p"; return 0; }
  done
  return 1
}

# Stops the window manager, or lets it go on: what the program asks of it
# meanwhile waits, as it does when a busy window manager answers late.
# Nothing that can fail may come between the two (the harness cannot end a
# stopped window manager).
e2e_wm_stop() { kill -STOP "$(e2e_wm_pid)"; }
e2e_wm_cont() { kill -CONT "$(e2e_wm_pid)"; }
