#pragma once

#include <QString>

class Glyph;
class QVorrelScene;
class TextGroup;

// Typing for tests through the scene's history, and readable forms of a document.
namespace Typist {

Glyph *glyph(QVorrelScene *scene, QChar c);
// One insertion at the caret per character.
void type(QVorrelScene *scene, const QString &text);
// Backspace: returns whether it changed the document.
bool backspace(QVorrelScene *scene);

// The document's shape: passages separated by " / ", a word as its letters in parentheses, a space as "_", a tab as
// ">" and a line break as "|".
QString shape(const TextGroup *root);

// Each empty when it agrees: the scene's text position against its tree; the caret behind the text position's glyph
// (or on a passage's first glyph); each glyph after the one before it by its advance, or at the passage's leftmost x
// one line lower after a line break.
QString pointerFault(const QVorrelScene *scene);
QString caretFault(const QVorrelScene *scene);
QString layoutFault(const TextGroup *root);

} // namespace Typist

