#include "support/SoftTypeStage.h"

#include "model/Glyph.h"
#include "model/GlyphPath.h"
#include "model/TextGroup.h"
#include "softtypes/SoftType.h"

SoftTypeStage::SoftTypeStage(const QPainterPath &outline)
    : glyph(new Glyph(QLatin1Char(' '), QFont(), QColor(0, 0, 0), QColor(0, 0, 0), 0.0, QPointF()))
{
    GlyphPath paths;
    paths.setPaths(outline, outline);
    glyph->copyPathsFrom(paths);
    scene.root()->append(glyph);
}

SoftType *SoftTypeStage::add(SoftType *softType)
{
    glyph->addSoftType(softType);
    return softType;
}

void SoftTypeStage::frame(const QPointF &mouse, Qt::MouseButtons buttons)
{
    scene.setFrameCounter(scene.frameCounter() + 1);
    scene.setMousePosition(mouse);
    scene.setMouseButtons(buttons);
    glyph->applySoftTypes();
}

QPointF SoftTypeStage::at(int i) const { return glyph->path()->current.elementAt(i); }
void SoftTypeStage::displace(int i, const QPointF &to) { glyph->path()->current.setElementPositionAt(i, to.x(), to.y()); }

QPainterPath SoftTypeStage::polyline(const QVector<QPointF> &points)
{
    QPainterPath path(points.first());
    for (int i = 1; i < points.size(); ++i)
        path.lineTo(points.at(i));
    return path;
}
