#ifndef VIEWFIXTURE_H
#define VIEWFIXTURE_H

#include "app/QVorrelView.h"
#include "app/ViewHost.h"
#include "support/ModalRecorder.h"
#include "model/QVorrelScene.h"

#include <QPoint>
#include <QPointF>
#include <QQueue>

#include <memory>

class Glyph;

// The main window as a view sees it: textpad pieces handed out from a
// queue, settable nozzle values, and counted refreshes.
struct FakeHost : ViewHost
{
    FakeHost() { setCurrent(this); }

    QString nextPiece() override { return pieces.isEmpty() ? QString() : pieces.dequeue(); }
    int nozzleType() const override { return type; }
    int nozzleInterval() const override { return interval; }
    int textpadSyncInterval() const override { return syncInterval; }
    void updateAll() override { ++updates; }
    void updateTextpadPanel() override { ++textpadUpdates; }
    void showMousePosition(const QPointF &p) override { mouse = p; }
    void showSelectionArea(const QRectF &) override {}

    QQueue<QString> pieces;
    int type = 2;
    int interval = 100;
    int syncInterval = 5000;
    int updates = 0;
    int textpadUpdates = 0;
    QPointF mouse;
};

// A shown view of a new document, and events delivered to it the way the
// window system delivers them: mouse and wheel events to the viewport, keys
// to the view.
struct ViewFixture
{
    ViewFixture();

    // Sends one mouse event of the type at a viewport point.
    void mouse(QEvent::Type type, const QPoint &pos, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void press(const QPoint &pos, Qt::MouseButton button = Qt::LeftButton);
    void release(const QPoint &pos, Qt::MouseButton button = Qt::LeftButton);
    void doubleClick(const QPoint &pos, Qt::MouseButton button = Qt::LeftButton);
    void move(const QPoint &pos, Qt::MouseButtons buttons);
    void wheel(const QPoint &pos, const QPoint &angleDelta);
    void key(int key, Qt::KeyboardModifiers modifiers, const QString &text);

    // Glyph i of the document in reading order.
    Glyph *glyph(int i) const;
    // The viewport point over the middle of an object's outline.
    QPoint over(const Glyph *glyph) const;
    // A viewport point over empty canvas, far from any text.
    QPoint emptyPoint() const;
    // The scene point at the exact centre of the viewport.
    QPointF centreInScene() const;
    // Where the view offset puts the viewport centre.
    QPointF offsetCentre() const;
    int entries() const { return scene->historyIndex(); }

    FakeHost host;
    std::unique_ptr<QVorrelView> view;
    QVorrelScene *scene;
};

// The recorded modal calls, one "what: title: text" line each.
QStringList modalLog(const ModalRecorder &modal);

#endif // VIEWFIXTURE_H
