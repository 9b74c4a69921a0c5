#!/usr/bin/env bash
# Help > About Vorrel, closed by a click on the box, gives the keyboard back
# to the document: after a click on the canvas the letters typed there are
# drawn, Ctrl+S saves them and Ctrl+Q quits. Twice: first with a left click,
# as a user closes the box; then with another button's press while the
# window manager is held, so that the window manager answers the press only
# after the box has gone, which is when the keyboard was lost every time.
# The start-up splash, closed that way, gives it back too: Ctrl+N works.
# Arguments: the vorrel program, the screenshot helper, the document checker.
source "$(dirname "$0")/lib.sh"
VORREL=$(realpath "$1")
E2E_XSHOT=$(realpath "$2")
DOCCHECK=$(realpath "$3")

e2e_start_display 1280x800
cd "$E2E_TMP"
mkdir -p home out
HOME=$E2E_TMP/home e2e_start_app "$VORREL"
win=$(e2e_wait_window Vorrel 20) || exit 1

left_click() { xdotool mousemove --window "$1" 185 127 click 1; }
# The window manager holds a left press on a window until it has seen it
# (click to focus); the back button's press goes to the program at once.
late_wm_click() {
  e2e_wm_stop
  xdotool mousemove --window "$1" 185 127 click 8
  sleep 0.3
  e2e_wm_cont
}

# The start-up splash, up for three seconds, closed the same way: Ctrl+N
# then opens a document (the empty document area turns into the canvas).
splash=$(xdotool search --onlyvisible --pid "$E2E_APP_PID" 2>/dev/null | grep -vx "$win" | head -n 1)
if [ -n "$splash" ]; then
  late_wm_click "$splash"
  e2e_log "the start-up splash closed by a click"
fi
e2e_until 20 eval '[ "$(e2e_window_count)" -eq 1 ]' || e2e_fail "the splash did not go"
e2e_until 20 eval '[ "$(xdotool getwindowfocus)" = "$win" ]' || e2e_fail "the main window has no focus"
e2e_geometry "$win"
e2e_shot empty.png >/dev/null
e2e_keys ctrl+n
opened() {
  e2e_shot new.png >/dev/null
  [ "$(e2e_diff empty.png new.png $((X + 400)) $((Y + 300)) 300 300)" -gt 50000 ]
}
e2e_until 5 opened || e2e_fail "Ctrl+N opened no document after the start-up splash${splash:+ closed by a click}"
sleep 0.5
xdotool type --delay 50 one

# Shows the About box, closes it with the command given the box's id, clicks
# the canvas at (x, y) and types the text there, which must be drawn.
about_then_type() {
  local close=$1 x=$2 y=$3 text=$4 box
  # The title Help spans x 408 to 437 of the window at 100 dpi and 388 to
  # 416 with QT_FONT_DPI=96 (as under ctest); the document view's viewport
  # spans about x 262 to 900 and y 165 to 760.
  e2e_menu "$win" 412 Down Return # Help > About Vorrel...
  e2e_until 15 eval '[ "$(e2e_window_count)" -eq 2 ]' || e2e_fail "the About box did not show"
  box=$(xdotool search --onlyvisible --pid "$E2E_APP_PID" 2>/dev/null | grep -vx "$win" | head -n 1)
  e2e_geometry "$box"
  [ "$WIDTH" -eq 370 ] && [ "$HEIGHT" -eq 255 ] || e2e_fail "the About box is ${WIDTH}x$HEIGHT"
  sleep 0.3
  "$close" "$box"
  e2e_until 10 eval '[ "$(e2e_window_count)" -eq 1 ]' || e2e_fail "a click did not close the About box ($close)"
  e2e_click "$win" "$x" "$y"
  sleep 0.5
  e2e_geometry "$win"
  e2e_shot before.png >/dev/null
  xdotool type --delay 50 "$text"
  drawn() {
    e2e_shot after.png >/dev/null
    [ "$(e2e_diff before.png after.png $((X + x - 20)) $((Y + y - 100)) 300 150)" -gt 1000 ]
  }
  e2e_until 5 drawn || e2e_fail "\"$text\" typed after the About box ($close) was not drawn"
}
about_then_type left_click 500 350 two
about_then_type late_wm_click 500 600 three

e2e_keys ctrl+s
e2e_answer_text Save "$E2E_TMP/out/doc.vrl"
e2e_keys ctrl+q
e2e_wait_exit 10
[ "$E2E_EXIT_CODE" = 0 ] || e2e_fail "the program ended with exit code $E2E_EXIT_CODE"
doc=$("$DOCCHECK" out/doc.vrl) || e2e_fail "the saved document does not read back"
[[ $doc == *one*two*three* ]] || e2e_fail "the saved document holds: $doc"
echo "e2e about: passed"
