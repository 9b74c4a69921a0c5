#ifndef GLYPHPATH_H
#define GLYPHPATH_H

#include <QPainterPath>

class QFont;
class QPointF;
class QString;

// A glyph's outline, held twice: `rest` is the undeformed outline built from
// the character in its font, `current` the drawn one that SoftTypes deform.
// Both keep the same elements in the same order with the same types; only
// the positions in `current` differ.
class GlyphPath
{
public:
    GlyphPath() = default;
    GlyphPath(const GlyphPath &other) = default;
    GlyphPath &operator=(const GlyphPath &other) = default;
    GlyphPath(const QPointF &position, const QFont &font, const QString &text);
    virtual ~GlyphPath();

    QPainterPath rest;
    QPainterPath current;

    void build(const QPointF &position, const QFont &font, const QString &text);
    void resetCurrent();
    void setPaths(const QPainterPath &r, const QPainterPath &c);

    // Multiplies every element of both outlines by factor about the origin.
    void scale(float factor);
    // Rebuilds both outlines from moves and lines only: a cubic becomes one
    // straight segment to its first control point.
    void flattenToLines();
    // Rebuilds both outlines from moves and cubics only: a line becomes a
    // straight cubic, curves stay as they are.
    void convertToCurves();
};

#endif // GLYPHPATH_H
