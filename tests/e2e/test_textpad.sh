#!/usr/bin/env bash
# A text file of one line of a mebibyte without a space or a line break, as
# minified data is, loaded by Textpad > Load File into a new document: the
# Textpad dock draws it at once and the window goes on answering; letters
# typed at the end of the line go into the document, which saves the file's
# text and the letters, every character, no line break added. Before that,
# in the middle of the line's last piece: Return then Backspace, Return then
# Left and Delete, letters typed, undone and done again.
# Arguments: the vorrel program, the screenshot helper, the document checker.
source "$(dirname "$0")/lib.sh"
VORREL=$(realpath "$1")
E2E_XSHOT=$(realpath "$2")
DOCCHECK=$(realpath "$3")

e2e_start_display 1280x800
cd "$E2E_TMP"
mkdir -p home out
yes abcdefghijklmnopqrstuvwxyz | tr -d '\n' | head -c 1048576 >pad.txt
HOME=$E2E_TMP/home e2e_start_app "$VORREL"
win=$(e2e_wait_window Vorrel 20) || exit 1
e2e_until 20 eval '[ "$(e2e_window_count)" -eq 1 ]' || e2e_fail "the splash did not go"

# The right dock area, in screen coordinates, changed from a screenshot.
e2e_geometry "$win"
dock_changed() {
  e2e_shot "$2" >/dev/null
  [ "$(e2e_diff "$1" "$2" $((X + WIDTH - 340)) $((Y + 200)) 330 $((HEIGHT - 250)))" -gt "$3" ]
}

# Menu bar titles (x in the window): File 22, Textpad 256. The Textpad tab
# lies third under the right dock area.
e2e_menu "$win" 22 Down Return # File > New
e2e_shot properties.png >/dev/null
e2e_click "$win" 1137 $((HEIGHT - 36))
e2e_until 20 dock_changed properties.png empty.png 2000 || e2e_fail "the Textpad tab did not come to the front"
e2e_menu "$win" 256 Down Down Down Down Return # Textpad > Load File...
e2e_answer_text "Import File" "$E2E_TMP/pad.txt"
e2e_until 20 dock_changed empty.png loaded.png 2000 || e2e_fail "the Textpad dock did not draw the file's text"
e2e_menu "$win" 22 Escape # the window answers

e2e_click "$win" 1100 400
e2e_keys ctrl+End
sleep 0.5
e2e_click "$win" 1100 400 # the dock shows the line's last piece
e2e_keys Return BackSpace Return Left Delete
xdotool type --delay 50 qq
e2e_keys ctrl+z ctrl+z ctrl+z ctrl+shift+z ctrl+shift+z ctrl+shift+z ctrl+End
sleep 0.5
e2e_app_alive || e2e_fail "the program ended while the line was edited"
e2e_shot end.png >/dev/null
xdotool type --delay 50 xyz
e2e_until 20 dock_changed end.png typed.png 50 || e2e_fail "the letters typed were not drawn"
e2e_menu "$win" 22 Down Down Down Down Down Return # File > Save As
e2e_answer_text Save "$E2E_TMP/out/doc.vrl"
e2e_keys ctrl+q
e2e_wait_exit 10
[ "$E2E_EXIT_CODE" = 0 ] || e2e_fail "the program ended with exit code $E2E_EXIT_CODE"

"$DOCCHECK" --textpad out/doc.vrl >saved.txt || e2e_fail "the saved document does not read back"
[ "$(grep -o qq saved.txt | wc -l)" = 1 ] || e2e_fail "the letters typed in the line were not saved once"
sed s/qq// saved.txt >rest.txt
{ cat pad.txt; printf xyz; } | cmp -s - rest.txt \
  || e2e_fail "the textpad saved differs from the file and the letters: $(cmp - rest.txt < <(cat pad.txt; printf xyz) 2>&1)"
echo "e2e textpad: passed"
