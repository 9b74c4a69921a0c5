#ifndef SAMPLEDOCUMENT_H
#define SAMPLEDOCUMENT_H

#include "model/DocumentStream.h"

#include <QByteArray>
#include <QString>

#include <memory>

class QVorrelScene;

// Documents for the stream tests, and reading and writing them in memory.
namespace SampleDocument {

std::unique_ptr<QVorrelScene> newScene();

// A document with every feature the body holds: two passages with words,
// separators and a line break, a hidden word, a locked glyph, a selection,
// a deformed outline with a segment ending on its own start, a SoftType
// of each of the first `kinds` kinds (every kind by default),
// textpad text with the name of an existing file, and non-default canvas,
// caret, style and grid.
void fill(QVorrelScene &scene, const QString &textpadFile, int kinds = -1);

// Gives every glyph a short outline of a move, a line and a curve, its
// current one moved off the rest one, so that a file stays small.
void shortenOutlines(QVorrelScene &scene);

QByteArray write(const QVorrelScene &scene); // empty when the write fails

// Reads a file from memory into `scene` (a new one by default).
struct ReadBack
{
    std::unique_ptr<QVorrelScene> scene;
    DocumentStream::Result result;
};
ReadBack read(const QByteArray &file, std::unique_ptr<QVorrelScene> scene = newScene());

} // namespace SampleDocument

#endif // SAMPLEDOCUMENT_H
