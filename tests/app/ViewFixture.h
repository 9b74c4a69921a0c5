#ifndef VIEWFIXTURE_H
#define VIEWFIXTURE_H

#include "app/QVorrelView.h"
#include "app/ViewHost.h"
#include "model/Glyph.h"
#include "model/GlyphIterator.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "support/FileBytes.h"
#include "support/ModalRecorder.h"
#include "support/Typist.h"

#include <QApplication>
#include <QMouseEvent>
#include <QQueue>
#include <QTest>

#include <memory>

// The main window as a view sees it: textpad pieces from a queue, settable nozzle values, counted refreshes.
struct FakeHost : ViewHost
{
    FakeHost() { setCurrent(this); }
    QString nextPiece() override { return pieces.isEmpty() ? QString() : pieces.dequeue(); }
    int nozzleType() const override { return type; }
    int nozzleInterval() const override { return interval; }
    int textpadSyncInterval() const override { return syncInterval; }
    void updateAll() override {}
    void updateTextpadPanel() override { ++textpadUpdates; }
    void showMousePosition(const QPointF &) override {}
    void showSelectionArea(const QRectF &) override {}

    QQueue<QString> pieces;
    int type = 2;
    int interval = 100;
    int syncInterval = 5000;
    int textpadUpdates = 0;
};

// A shown 800 x 600 view of a new document with the text typed into it, and events delivered as the
// window system delivers them: mouse and wheel events to the viewport, keys to the view.
struct ViewFixture
{
    explicit ViewFixture(const QString &typed = QString()) : view(new QVorrelView), scene(view->scene())
    {
        view->resize(800, 600);
        view->show();
        if (!QTest::qWaitForWindowExposed(view.get()))
            qWarning("The view was not exposed");
        Typist::type(scene, typed);
    }

    void mouse(QEvent::Type type, const QPoint &pos, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, pos, view->viewport()->mapToGlobal(pos), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &event);
    }
    void press(const QPoint &pos, Qt::MouseButton b = Qt::LeftButton) { mouse(QEvent::MouseButtonPress, pos, b, b); }
    void release(const QPoint &pos, Qt::MouseButton b = Qt::LeftButton) { mouse(QEvent::MouseButtonRelease, pos, b, {}); }
    void click(const QPoint &pos)
    {
        press(pos);
        release(pos);
    }
    void doubleClick(const QPoint &pos, Qt::MouseButton b = Qt::LeftButton) { mouse(QEvent::MouseButtonDblClick, pos, b, b); }
    void move(const QPoint &pos, Qt::MouseButtons buttons) { mouse(QEvent::MouseMove, pos, Qt::NoButton, buttons); }
    void wheel(const QPoint &pos, const QPoint &angleDelta)
    {
        QWheelEvent event(pos, view->viewport()->mapToGlobal(pos), QPoint(), angleDelta, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->viewport(), &event);
    }
    void key(int key, Qt::KeyboardModifiers modifiers, const QString &text)
    {
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent event(type, key, modifiers, text);
            QApplication::sendEvent(view.get(), &event);
        }
    }

    // Glyph i of the document in reading order, and the viewport point over the middle of its outline.
    Glyph *glyph(int i) const
    {
        GlyphIterator it(scene->root(), TextIterator::Forward | TextIterator::PostOrder);
        Glyph *g = nullptr;
        for (int k = 0; k <= i && it.hasNext(); ++k)
            g = it.next();
        return g;
    }
    QPoint over(int i) const { return view->mapFromScene(glyph(i)->sceneBoundingRect().center()); }
    QPoint emptyPoint() const { return QPoint(40, view->viewport()->height() - 40); }
    // Empty when the scene point at the viewport's exact centre is within the tolerance of p, else where it is.
    QString centreOff(const QPointF &p, double tolerance = 0.5) const
    {
        const QWidget *port = view->viewport();
        const QPointF c = view->viewportTransform().inverted().map(QPointF(port->width() / 2.0, port->height() / 2.0));
        const bool near = qAbs(c.x() - p.x()) <= tolerance && qAbs(c.y() - p.y()) <= tolerance;
        return near ? QString() : QStringLiteral("centre %1, %2").arg(c.x()).arg(c.y());
    }
    int entries() const { return scene->historyIndex(); }

    FakeHost host;
    std::unique_ptr<QVorrelView> view;
    QVorrelScene *scene;
};

// The recorded modal calls, one "what: title: text" line each.
inline QStringList modalLog(const ModalRecorder &modal)
{
    QStringList log;
    for (const ModalRecorder::Call &call : modal.calls)
        log << call.what + QStringLiteral(": ") + call.title + QStringLiteral(": ") + call.text;
    return log;
}

#endif // VIEWFIXTURE_H
