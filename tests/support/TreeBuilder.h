#pragma once

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QString>

class Glyph;
class TextGroup;

// Builds text trees for tests the way the editor shapes them: spaces, tabs and carriage returns directly in the
// passage, every other run of characters in a word.
namespace TreeBuilder {

Glyph *glyph(QChar c, const QFont &font = QFont(QStringLiteral("Arial"), 72), const QPointF &pos = QPointF());

// An unlinked passage holding text, laid out from the anchor.
TextGroup *passage(const QString &text, const QFont &font = QFont(QStringLiteral("Arial"), 72),
                   const QPointF &anchor = QPointF(0, 100));

} // namespace TreeBuilder

