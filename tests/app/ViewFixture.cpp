#include "ViewFixture.h"

#include "model/GlyphIterator.h"
#include "model/TextGroup.h"
#include "support/Typist.h"

#include <QTest>
#include <QWheelEvent>

ViewFixture::ViewFixture(const QString &typed)
    : view(new QVorrelView)
    , scene(view->scene())
{
    view->resize(800, 600);
    view->show();
    if (!QTest::qWaitForWindowExposed(view.get()))
        qWarning("The view was not exposed");
    Typist::type(scene, typed);
}

void ViewFixture::wheel(const QPoint &pos, const QPoint &angleDelta)
{
    QWheelEvent event(pos, view->viewport()->mapToGlobal(pos), QPoint(), angleDelta, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &event);
}

Glyph *ViewFixture::glyph(int i) const
{
    GlyphIterator it(scene->root(), TextIterator::Forward | TextIterator::PostOrder);
    Glyph *g = nullptr;
    for (int k = 0; k <= i && it.hasNext(); ++k)
        g = it.next();
    return g;
}

QString ViewFixture::centreOff(const QPointF &p, double tolerance) const
{
    const QWidget *viewport = view->viewport();
    const QPointF c = view->viewportTransform().inverted().map(QPointF(viewport->width() / 2.0, viewport->height() / 2.0));
    const bool near = qAbs(c.x() - p.x()) <= tolerance && qAbs(c.y() - p.y()) <= tolerance;
    return near ? QString() : QStringLiteral("centre %1, %2").arg(c.x()).arg(c.y());
}

QStringList modalLog(const ModalRecorder &modal)
{
    QStringList log;
    for (const ModalRecorder::Call &call : modal.calls)
        log << call.what + QStringLiteral(": ") + call.title + QStringLiteral(": ") + call.text;
    return log;
}
