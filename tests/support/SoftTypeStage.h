#ifndef SOFTTYPESTAGE_H
#define SOFTTYPESTAGE_H

#include "model/QVorrelScene.h"

#include <QPainterPath>
#include <QPointF>
#include <QVector>

class Glyph;
class SoftType;

// A scene with one glyph whose outline the test draws by hand (rest and current the same), for running SoftTypes
// frame by frame. The glyph sits at the scene origin, so glyph and scene coordinates agree, has stroke width 0 and
// belongs to the root group.
struct SoftTypeStage
{
    explicit SoftTypeStage(const QPainterPath &outline);
    // A polyline outline: a move to the first point, lines to the others.
    explicit SoftTypeStage(const QVector<QPointF> &points) : SoftTypeStage(polyline(points)) {}

    // Takes the SoftType into the glyph's list.
    SoftType *add(SoftType *softType);
    // Advances the frame counter, places the mouse and runs the glyph's SoftTypes once, as one play tick does.
    void frame(const QPointF &mouse, Qt::MouseButtons buttons = Qt::LeftButton);
    // Element i of the current / rest outline.
    QPointF at(int i) const;
    QPointF restAt(int i) const;
    // Moves element i of the current outline to a place (glyph coordinates).
    void displace(int i, const QPointF &to);

    static QPainterPath polyline(const QVector<QPointF> &points);

    QVorrelScene scene{-1000, -1000, 2000, 2000};
    Glyph *glyph;
};

#endif // SOFTTYPESTAGE_H
