#ifndef TYPIST_H
#define TYPIST_H

#include <QString>

class Glyph;
class QVorrelScene;
class TextGroup;

// Typing for tests: glyphs in the scene's style, inserted and removed at
// the caret through the scene's history, and readable forms of a document.
namespace Typist {

// A new glyph in the scene's text style.
Glyph *glyph(QVorrelScene *scene, QChar c);
// Inserts each character at the caret, one command each.
void type(QVorrelScene *scene, const QString &text);
// Backspace: returns whether it changed the document.
bool backspace(QVorrelScene *scene);

// The document's shape: passages separated by " / ", a word as its letters
// in parentheses, a space as "_", a tab as ">" and a line break as "|".
QString shape(const TextGroup *root);

// Checks the scene's text position against its tree, worked out from the
// tree alone; empty when it agrees.
QString pointerFault(const QVorrelScene *scene);
// Checks that the caret stands where the text position says: behind its
// glyph, before the first glyph at a passage's start.
QString caretFault(const QVorrelScene *scene);
// Checks that every glyph of each passage follows the one before it, by its
// advance, or at the passage's leftmost x one line lower after a line break.
QString layoutFault(const TextGroup *root);

} // namespace Typist

#endif // TYPIST_H
