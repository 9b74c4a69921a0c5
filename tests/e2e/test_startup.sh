#!/usr/bin/env bash
# The program starts in a real X server, its main window maps maximised
# with its menu bar, main toolbar and docks drawn, the View menu hides and
# shows a dock, and File > Exit, chosen with the pointer and the keyboard,
# ends it with exit code 0.
# Arguments: the vorrel program and the screenshot helper.
source "$(dirname "$0")/lib.sh"
VORREL=$(realpath "$1")
E2E_XSHOT=$(realpath "$2")

e2e_start_display 1280x800
cd "$E2E_TMP"
e2e_start_app "$VORREL"
win=$(e2e_wait_window Vorrel 20) || exit 1

e2e_until 20 e2e_is_maximized "$win" || e2e_fail "the main window is not maximised: $(xprop -id "$win" _NET_WM_STATE)"
e2e_geometry "$win"
[ "$WIDTH" -eq 1280 ] && [ "$HEIGHT" -ge 700 ] || e2e_fail "the main window is ${WIDTH}x$HEIGHT on a 1280x800 screen"

# Window coordinates: the menu bar is the top strip, the main toolbar's
# 32-pixel icons lie below it. Wait for the first paint to come through.
e2e_until 20 eval '[ "$(e2e_shot screen.png)" -gt 100 ]' || e2e_fail "the screen stays blank"
e2e_geometry "$win"
menubar=$(e2e_shot menubar.png "$X" "$Y" 400 20)
toolbar=$(e2e_shot toolbar.png "$X" $((Y + 25)) 480 40)
[ "$menubar" -gt 8 ] || e2e_fail "no menu titles drawn in the menu bar ($menubar colours)"
[ "$toolbar" -gt 40 ] || e2e_fail "no toolbar icons drawn ($toolbar colours)"

# The docks: once the splash has gone, the empty document area is one flat
# colour, while the left (Hierarchy) and right (Properties, in front of its
# stack) dock areas hold drawn panels.
centre() { e2e_shot centre.png $((X + WIDTH / 2 - 100)) $((Y + 300)) 200 300; }
e2e_until 20 eval '[ "$(centre)" -eq 1 ]' || e2e_fail "the empty document area is not one flat colour ($(centre) colours)"
left=$(e2e_shot left.png "$X" $((Y + 130)) 200 400)
right=$(e2e_shot right.png $((X + WIDTH - 240)) $((Y + 130)) 230 400)
[ "$left" -gt 8 ] || e2e_fail "nothing drawn in the left dock area ($left colours)"
[ "$right" -gt 40 ] || e2e_fail "nothing drawn in the right dock area ($right colours)"

# View > Toolbars and Docking Windows > Hierarchy, by the keyboard from the
# File menu (the disabled menus between are skipped), hides the left dock
# and shows it again: the screen differs where it was, then is as before.
e2e_shot docks.png >/dev/null
toggle_hierarchy() {
  local windows
  windows=$(e2e_window_count)
  e2e_click "$win" 20 10
  e2e_until 15 eval '[ "$(e2e_window_count)" -gt "$windows" ]' || e2e_fail "the File menu did not open"
  e2e_keys Right Right Return
}
left_changed() {
  e2e_shot "$1" >/dev/null
  [ "$(e2e_diff docks.png "$1" "$X" $((Y + 130)) 200 400)" -gt "$2" ]
}
toggle_hierarchy
e2e_until 15 left_changed nodock.png 20000 || e2e_fail "hiding the Hierarchy dock changed nothing on the left"
toggle_hierarchy
e2e_until 15 eval '! left_changed dock.png 0' || e2e_fail "the Hierarchy dock did not come back as it was"

# File > Exit: the pointer opens the File menu, the keyboard picks its last
# entry.
windows=$(e2e_window_count)
e2e_click "$win" 20 10
e2e_until 15 eval '[ "$(e2e_window_count)" -gt "$windows" ]' || e2e_fail "the File menu did not open"
e2e_keys Up Return
e2e_wait_exit 10
[ "$E2E_EXIT_CODE" = 0 ] || e2e_fail "the program ended with exit code $E2E_EXIT_CODE"
echo "e2e startup: passed"
