#!/usr/bin/env bash
# A movie made the way a user makes one, with real keys and pointer events:
# File > New, a typed line, Select > All Glyphs, SoftType > Add > Drift
# (its dialog answered with Return), File > Export Sequence... into a new
# movie (the real file dialog, then the movie settings with Return), play
# with Ctrl+Space while dragging across the text, stop, File > Save As,
# Ctrl+Q. Then, from outside the program: the document reads back with its
# text and SoftType, the movie decodes without error with as many frames as
# the run could play, and its first and last frames differ.
# Arguments: the vorrel program, the screenshot helper, the document checker.
source "$(dirname "$0")/lib.sh"
VORREL=$(realpath "$1")
E2E_XSHOT=$(realpath "$2")
DOCCHECK=$(realpath "$3")
e2e_need ffmpeg ffprobe

e2e_start_display 1280x800
cd "$E2E_TMP"
mkdir -p home out
# The home folder is the program's working folder and holds what Qt's file
# dialog remembers.
HOME=$E2E_TMP/home e2e_start_app "$VORREL"
win=$(e2e_wait_window Vorrel 20) || exit 1
# The splash goes after three seconds; from then on the window is alone.
e2e_until 20 eval '[ "$(e2e_window_count)" -eq 1 ]' || e2e_fail "the splash did not go"

# Menu bar titles (x in the window): File 22, SoftType 184, Select 320.
# File > New: the empty document area becomes the white canvas.
e2e_shot empty.png >/dev/null
e2e_menu "$win" 22 Down Return
e2e_geometry "$win"
canvas() { e2e_shot doc.png >/dev/null && [ "$(e2e_diff empty.png doc.png $((X + 300)) $((Y + 300)) 200 200)" -gt 30000 ]; }
e2e_until 20 canvas || e2e_fail "File > New showed no document"
e2e_click "$win" 280 460 # the caret
xdotool type --delay 30 "Vorrel moves"
e2e_menu "$win" 320 Down Return              # Select > All Glyphs
e2e_menu "$win" 184 Down Right Down Down Return # SoftType > Add > Drift...
e2e_answer drift Return
e2e_menu "$win" 22 Down Down Down Down Down Down Down Down Return # File > Export Sequence...
e2e_dialog "Export Sequence"
xdotool type --delay 20 "$E2E_TMP/out/clip"
e2e_answer "Export Sequence" Return
e2e_answer "Quicktime Settings" Return

# Play for about two seconds while the left button drags across the text,
# pressed inside the view's viewport (its frame lies at x 260).
start=$(date +%s%N)
e2e_keys ctrl+space
xdotool mousemove --window "$win" 300 420 mousedown 1
for x in $(seq 300 10 860); do
  xdotool mousemove --window "$win" "$x" $((400 + x % 50))
  sleep 0.02
done
xdotool mouseup 1
e2e_keys ctrl+space
elapsed=$((($(date +%s%N) - start) / 1000000))

e2e_menu "$win" 22 Down Down Down Down Down Return # File > Save As
e2e_dialog Save
xdotool type --delay 20 "$E2E_TMP/out/doc.vrl"
e2e_answer Save Return
e2e_keys ctrl+q
e2e_wait_exit 10
[ "$E2E_EXIT_CODE" = 0 ] || e2e_fail "the program ended with exit code $E2E_EXIT_CODE"

# The document, read by the program's own reader.
doc=$("$DOCCHECK" out/doc.vrl) || e2e_fail "the saved document does not read back"
[ "$doc" = $'text=Vorrel moves\nsofttypes=drift-1' ] || e2e_fail "the document read back as: $doc"

# The movie: decodes cleanly; one frame per 33 ms tick of the run. Ticks
# come no faster than the coarse timer allows (5% early), and a tick costs
# well under 33 ms here (5 to 15 ms), so even a loaded machine plays more
# than a third of the ticks.
[ -f out/clip.mov ] || e2e_fail "no movie written: $(ls out)"
errors=$(ffmpeg -v error -i out/clip.mov -f null - 2>&1) && [ -z "$errors" ] || e2e_fail "the movie does not decode: $errors"
frames=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 out/clip.mov)
most=$((elapsed * 100 / 3135)) least=$((elapsed / 33 / 3))
[ "$frames" -ge "$least" ] && [ "$frames" -le "$most" ] \
  || e2e_fail "$frames frames in a run of $elapsed ms (expected $least to $most)"

# The text moved: the last frame differs from the first in many pixels.
for n in 0 $((frames - 1)); do
  ffmpeg -v error -i out/clip.mov -vf "select=eq(n\,$n)" -frames:v 1 "frame$n.png" || e2e_fail "frame $n"
done
moved=$(e2e_diff frame0.png "frame$((frames - 1)).png")
[ "${moved:-0}" -gt 2000 ] || e2e_fail "the first and last frames differ in ${moved:-0} pixels"
echo "e2e movie: passed ($frames frames in $elapsed ms, $moved pixels moved)"
