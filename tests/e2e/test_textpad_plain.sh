#!/usr/bin/env bash
# The Textpad dock's text area edits a line longer than a piece as a plain
# QPlainTextEdit edits the whole line, under X11's key bindings and with
# real keys and clicks: padcompare's rows (Ctrl+K, word and arrow keys in
# lines of mixed direction, the order Latin and Hebrew are drawn in,
# double-clicks on a word over a piece's end, the context menu's Delete,
# Ctrl+X and Delete of a soft separator alone, a selection over a piece's end
# dragged and dropped, triple-clicks, runs of Backspace and Delete over a
# piece's end, undo and redo, the view after a double-click on a long word,
# word keys' selection pasted by a middle-click, an empty text pasted,
# Select All then typing undone, Return redone, keys by screen lines in a
# line held whole).
# Arguments: the vorrel program, the screenshot helper, the document
# checker and padcompare.
source "$(dirname "$0")/lib.sh"
PADCOMPARE=$(realpath "$4")

e2e_start_display 1280x800
cd "$E2E_TMP"
HOME=$E2E_TMP QT_QPA_PLATFORM=xcb "$PADCOMPARE" >compare.log 2>&1 || { cat compare.log; e2e_fail "the textpad edits unlike a plain editor"; }
grep -E '^(PASS|Totals)' compare.log
echo "e2e textpad against a plain editor: passed"
