#!/usr/bin/env bash
# The program starts in a real X server, its main window maps maximised
# with its menu bar and main toolbar drawn, and File > Exit, chosen with the
# pointer and the keyboard, ends it with exit code 0.
# Arguments: the vorrel program and the screenshot helper.
source "$(dirname "$0")/lib.sh"
VORREL=$(realpath "$1")
E2E_XSHOT=$(realpath "$2")

e2e_start_display 1280x800
cd "$E2E_TMP"
e2e_start_app "$VORREL"
win=$(e2e_wait_window Vorrel 20) || exit 1

e2e_until 10 e2e_is_maximized "$win" || e2e_fail "the main window is not maximised: $(xprop -id "$win" _NET_WM_STATE)"
e2e_geometry "$win"
[ "$WIDTH" -eq 1280 ] && [ "$HEIGHT" -ge 700 ] || e2e_fail "the main window is ${WIDTH}x$HEIGHT on a 1280x800 screen"

# Window coordinates: the menu bar is the top strip, the main toolbar's
# 32-pixel icons lie below it. Wait for the first paint to come through.
e2e_until 10 eval '[ "$(e2e_shot screen.png)" -gt 100 ]' || e2e_fail "the screen stays blank"
e2e_geometry "$win"
menubar=$(e2e_shot menubar.png "$X" "$Y" 400 20)
toolbar=$(e2e_shot toolbar.png "$X" $((Y + 25)) 480 40)
[ "$menubar" -gt 8 ] || e2e_fail "no menu titles drawn in the menu bar ($menubar colours)"
[ "$toolbar" -gt 40 ] || e2e_fail "no toolbar icons drawn ($toolbar colours)"

# File > Exit: the pointer opens the File menu, the keyboard picks its last
# entry.
windows=$(e2e_window_count)
e2e_click "$win" 20 10
e2e_until 5 eval '[ "$(e2e_window_count)" -gt "$windows" ]' || e2e_fail "the File menu did not open"
e2e_keys Up Return
e2e_wait_exit 10
[ "$E2E_EXIT_CODE" = 0 ] || e2e_fail "the program ended with exit code $E2E_EXIT_CODE"
echo "e2e startup: passed"
