#include "ViewFixture.h"

#include "model/Glyph.h"
#include "model/GlyphIterator.h"
#include "model/TextGroup.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>

ViewFixture::ViewFixture()
    : view(new QVorrelView)
    , scene(view->scene())
{
    view->resize(800, 600);
    view->show();
    if (!QTest::qWaitForWindowExposed(view.get()))
        qWarning("The view was not exposed");
}

void ViewFixture::mouse(QEvent::Type type, const QPoint &pos, Qt::MouseButton button, Qt::MouseButtons buttons,
                        Qt::KeyboardModifiers modifiers)
{
    QWidget *viewport = view->viewport();
    QMouseEvent event(type, pos, viewport->mapToGlobal(pos), button, buttons, modifiers);
    QApplication::sendEvent(viewport, &event);
}

void ViewFixture::press(const QPoint &pos, Qt::MouseButton button)
{
    mouse(QEvent::MouseButtonPress, pos, button, button);
}

void ViewFixture::release(const QPoint &pos, Qt::MouseButton button)
{
    mouse(QEvent::MouseButtonRelease, pos, button, Qt::NoButton);
}

void ViewFixture::doubleClick(const QPoint &pos, Qt::MouseButton button)
{
    mouse(QEvent::MouseButtonDblClick, pos, button, button);
}

void ViewFixture::move(const QPoint &pos, Qt::MouseButtons buttons)
{
    mouse(QEvent::MouseMove, pos, Qt::NoButton, buttons);
}

void ViewFixture::wheel(const QPoint &pos, const QPoint &angleDelta)
{
    QWidget *viewport = view->viewport();
    QWheelEvent event(pos, viewport->mapToGlobal(pos), QPoint(), angleDelta, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &event);
}

void ViewFixture::key(int key, Qt::KeyboardModifiers modifiers, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(view.get(), &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(view.get(), &release);
}

Glyph *ViewFixture::glyph(int i) const
{
    GlyphIterator it(scene->root(), TextIterator::Forward | TextIterator::PostOrder);
    Glyph *g = nullptr;
    for (int k = 0; k <= i && it.hasNext(); ++k)
        g = it.next();
    return g;
}

QPoint ViewFixture::over(const Glyph *glyph) const
{
    return view->mapFromScene(glyph->sceneBoundingRect().center());
}

QPoint ViewFixture::emptyPoint() const
{
    return QPoint(40, view->viewport()->height() - 40);
}

QPointF ViewFixture::centreInScene() const
{
    const QWidget *viewport = view->viewport();
    return view->viewportTransform().inverted().map(QPointF(viewport->width() / 2.0, viewport->height() / 2.0));
}

QPointF ViewFixture::offsetCentre() const
{
    return QPointF(scene->screenWidth() / 2, scene->screenHeight() / 2) + view->viewOffset();
}

QStringList modalLog(const ModalRecorder &modal)
{
    QStringList log;
    for (const ModalRecorder::Call &call : modal.calls)
        log << call.what + QStringLiteral(": ") + call.title + QStringLiteral(": ") + call.text;
    return log;
}
