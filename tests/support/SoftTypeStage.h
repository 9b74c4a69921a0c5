#pragma once

#include "model/QVorrelScene.h"

#include <QPainterPath>
#include <QPointF>
#include <QVector>

class Glyph;
class SoftType;

// A scene with one glyph at the origin (glyph and scene coordinates agree), stroke width 0, in the root group, whose
// outline the test draws by hand (rest and current the same), for running SoftTypes frame by frame.
struct SoftTypeStage
{
    explicit SoftTypeStage(const QPainterPath &outline);
    // A polyline outline: a move to the first point, lines to the others.
    explicit SoftTypeStage(const QVector<QPointF> &points) : SoftTypeStage(polyline(points)) {}

    SoftType *add(SoftType *softType);
    // Advances the frame counter, places the mouse and runs the glyph's SoftTypes once, as one play tick does.
    void frame(const QPointF &mouse, Qt::MouseButtons buttons = Qt::LeftButton);
    // Element i of the current outline, and moving it to a place (glyph coordinates).
    QPointF at(int i) const;
    void displace(int i, const QPointF &to);

    static QPainterPath polyline(const QVector<QPointF> &points);

    QVorrelScene scene{-1000, -1000, 2000, 2000};
    Glyph *glyph;
};

