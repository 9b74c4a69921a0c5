#include "model/GlyphPath.h"

#include <QFont>
#include <QString>
#include <QVector>

namespace {

// QPainterPath's lineTo and cubicTo silently drop a segment that ends on the
// current point and a point that is not finite. The two outlines must keep
// the same elements whatever their positions, so every element is appended
// at a finite point distinct from the current one and then moved in place.
QPointF placeholderAfter(const QPainterPath &path)
{
    return QPointF(path.currentPosition().x() == 1.0 ? 2.0 : 1.0, 0.0);
}

void appendMove(QPainterPath &path, const QPointF &to)
{
    path.moveTo(placeholderAfter(path));
    path.setElementPositionAt(path.elementCount() - 1, to.x(), to.y());
}

void appendLine(QPainterPath &path, const QPointF &to)
{
    path.lineTo(placeholderAfter(path));
    path.setElementPositionAt(path.elementCount() - 1, to.x(), to.y());
}

void appendCubic(QPainterPath &path, const QPointF &c1, const QPointF &c2, const QPointF &end)
{
    const QPointF p = placeholderAfter(path);
    path.cubicTo(p, p, p);
    const int last = path.elementCount() - 1;
    path.setElementPositionAt(last - 2, c1.x(), c1.y());
    path.setElementPositionAt(last - 1, c2.x(), c2.y());
    path.setElementPositionAt(last, end.x(), end.y());
}

QPointF elementPosition(const QPainterPath &path, int i)
{
    const QPainterPath::Element e = path.elementAt(i);
    return QPointF(e.x, e.y);
}

// Emits the pending points of one segment after the path's last point L.
// One point Q is a line, written as the straight cubic with its first
// control point at two thirds and its second at one third of L->Q; two are a
// quadratic (raised to a cubic as QPainterPath::quadTo does); three are a
// cubic. Longer runs, which only malformed outlines hold, are kept as cubics
// in threes with the remainder treated the same way.
void appendSegment(QPainterPath &path, QVector<QPointF> &pending)
{
    int i = 0;
    for (; pending.size() - i >= 3; i += 3)
        appendCubic(path, pending[i], pending[i + 1], pending[i + 2]);
    const QPointF last = path.currentPosition();
    if (pending.size() - i == 1) {
        const QPointF q = pending[i];
        appendCubic(path, last + 2 * ((q - last) / 3), last + (q - last) / 3, q);
    } else if (pending.size() - i == 2) {
        const QPointF c = pending[i];
        const QPointF e = pending[i + 1];
        appendCubic(path, QPointF((last.x() + 2 * c.x()) / 3, (last.y() + 2 * c.y()) / 3),
                    QPointF((e.x() + 2 * c.x()) / 3, (e.y() + 2 * c.y()) / 3), e);
    }
    pending.clear();
}

QPainterPath curved(const QPainterPath &source)
{
    QPainterPath out;
    QVector<QPointF> pending;
    const int n = source.elementCount();
    for (int i = 0; i < n; ++i) {
        const QPainterPath::Element e = source.elementAt(i);
        if (!pending.isEmpty() && e.type != QPainterPath::CurveToDataElement)
            appendSegment(out, pending);
        if (pending.isEmpty() && e.type == QPainterPath::MoveToElement)
            appendMove(out, QPointF(e.x, e.y));
        else
            pending.append(QPointF(e.x, e.y));
    }
    if (!pending.isEmpty())
        appendSegment(out, pending);
    return out;
}

QPainterPath flattened(const QPainterPath &source)
{
    QPainterPath out;
    const int n = source.elementCount();
    for (int i = 0; i < n; ++i) {
        const QPainterPath::Element e = source.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            appendMove(out, QPointF(e.x, e.y));
            break;
        case QPainterPath::LineToElement:
        case QPainterPath::CurveToElement:
            appendLine(out, QPointF(e.x, e.y));
            break;
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    return out;
}

void scaled(QPainterPath &path, double factor)
{
    const int n = path.elementCount();
    for (int i = 0; i < n; ++i) {
        const QPointF p = elementPosition(path, i);
        path.setElementPositionAt(i, factor * p.x(), factor * p.y());
    }
}

} // namespace

GlyphPath::GlyphPath(const QPointF &position, const QFont &font, const QString &text)
{
    build(position, font, text);
}

GlyphPath::~GlyphPath() = default;

void GlyphPath::build(const QPointF &position, const QFont &font, const QString &text)
{
    rest = QPainterPath();
    rest.addText(position, font, text);
    current = rest;
}

void GlyphPath::resetCurrent()
{
    current = rest;
}

void GlyphPath::setPaths(const QPainterPath &r, const QPainterPath &c)
{
    rest = r;
    current = c;
}

void GlyphPath::scale(float factor)
{
    if (rest.elementCount() == 0)
        return;
    scaled(rest, factor);
    scaled(current, factor);
}

void GlyphPath::flattenToLines()
{
    rest = flattened(rest);
    current = flattened(current);
}

void GlyphPath::convertToCurves()
{
    rest = curved(rest);
    current = curved(current);
}
