#include "app/QVorrelView.h"

#include "model/QVorrelScene.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimerEvent>
#include <QWheelEvent>

namespace {

// One wheel step zooms by this factor, in or out.
constexpr double ZoomStep = 1.15;
// Frame interval of play, in milliseconds.
constexpr int PlayInterval = 33;

// A copy of a left-button press or release, to be handed over later.
std::unique_ptr<QMouseEvent> leftButtonCopy(QEvent::Type type, const QMouseEvent *event)
{
    return std::make_unique<QMouseEvent>(type, event->localPos(), event->windowPos(), event->screenPos(),
                                         Qt::LeftButton, event->buttons(), event->modifiers());
}

// Text typed with a key that has no row of its own. Control characters
// other than tab and line breaks (Escape, for one) are no text to set.
QString typedText(const QString &text)
{
    QString typed;
    for (const QChar c : text) {
        const bool control = c.category() == QChar::Other_Control;
        if (!control || c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            typed.append(c);
    }
    return typed;
}

} // namespace

QVorrelView::QVorrelView(QWidget *parent)
    : QGraphicsView(parent)
{
    m_scene = new QVorrelScene(-32768, -32768, 65535, 65535);
    setScene(m_scene);
    setAlignment(Qt::AlignCenter);
    setTransformationAnchor(QGraphicsView::AnchorViewCenter);
    setResizeAnchor(QGraphicsView::AnchorViewCenter);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(m_scene->title());
    // Moves without a button arrive too: they hover and feed the SoftTypes.
    setAttribute(Qt::WA_MouseTracking);
    viewport()->setMouseTracking(true);
    setRenderHint(QPainter::Antialiasing, false);
    centerCanvas();
    connect(m_scene, &QVorrelScene::documentChanged, this, &QVorrelView::OnDocumentChanged);
    connect(m_scene, &QVorrelScene::mousePositionChanged, this, &QVorrelView::OnMousePositionChanged);
    connect(m_scene, &QVorrelScene::selectionAreaChanged, this, &QVorrelView::OnSelectionAreaChanged);
}

QVorrelView::~QVorrelView()
{
    m_storedPress.reset();
    m_storedRelease.reset();
    m_scene->disconnect(this);
    delete m_scene;
}

// View offset and zoom ---------------------------------------------------

QPointF QVorrelView::offsetCentre() const
{
    return QPointF(m_scene->screenWidth() / 2 + m_viewOffset.x(), m_scene->screenHeight() / 2 + m_viewOffset.y());
}

void QVorrelView::setViewOffset(const QPointF &offset)
{
    m_viewOffset = offset;
    centerOn(offsetCentre());
}

void QVorrelView::centerCanvas()
{
    setViewOffset(QPointF(0, 0));
}

void QVorrelView::zoomBy(double factor, const QPointF &viewportPoint)
{
    const QPoint q = viewportPoint.toPoint();
    const QPointF before = mapToScene(q);
    scale(factor, factor);
    const QPointF after = mapToScene(q);
    setViewOffset(m_viewOffset + (before - after));
}

void QVorrelView::zoomIn(const QPointF &viewportPoint)
{
    zoomBy(ZoomStep, viewportPoint);
}

void QVorrelView::zoomOut(const QPointF &viewportPoint)
{
    zoomBy(1 / ZoomStep, viewportPoint);
}

void QVorrelView::zoomActualSize()
{
    setTransform(QTransform());
}

void QVorrelView::resizeEvent(QResizeEvent *event)
{
    centerOn(offsetCentre());
    QGraphicsView::resizeEvent(event);
}

// Mouse ----------------------------------------------------------------

void QVorrelView::stopClickTimer()
{
    if (m_clickTimer == 0)
        return;
    killTimer(m_clickTimer);
    m_clickTimer = 0;
}

void QVorrelView::resolveClick()
{
    if (m_clickTimer == 0)
        return;
    stopClickTimer();
    processPress();
}

void QVorrelView::processPress()
{
    if (!m_storedPress)
        return;
    const QPointF p = mapToScene(m_storedPress->pos());
    m_scene->handleMousePress(QEvent::MouseButtonPress, p);
    if (m_releasePending) {
        processRelease();
        m_releasePending = false;
    }
}

void QVorrelView::processRelease()
{
    if (!m_storedRelease)
        return;
    const QPointF p = mapToScene(m_storedRelease->pos());
    m_scene->handleMouseRelease(QEvent::MouseButtonRelease, p, m_storedRelease->button(), m_storedRelease->buttons(),
                                m_storedRelease->modifiers());
}

void QVorrelView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        // A press that no double click followed is a click of its own: it
        // goes to the scene before the new one is stored.
        resolveClick();
        m_storedPress = leftButtonCopy(QEvent::MouseButtonPress, event);
        m_releasePending = false;
        if (m_scene->playState() != 1 && m_scene->isGlyphAt(mapToScene(event->pos())))
            m_clickTimer = startTimer(QApplication::doubleClickInterval());
        else
            processPress();
    } else if (event->button() == Qt::MiddleButton && m_scene->playState() != 1) {
        m_panning = true;
        setCursor(Qt::OpenHandCursor);
    }
    m_scene->setMouseButtons(event->buttons());
}

void QVorrelView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_storedRelease = leftButtonCopy(QEvent::MouseButtonRelease, event);
        if (m_clickTimer == 0)
            processRelease();
        else
            m_releasePending = true;
    } else if (event->button() == Qt::MiddleButton) {
        m_panning = false;
        setCursor(Qt::ArrowCursor);
    }
    m_scene->setMouseButtons(event->buttons());
}

void QVorrelView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        // The waiting first press is dropped: the double click stands for it.
        stopClickTimer();
        m_scene->handleMouseDoubleClick(QEvent::MouseButtonDblClick, mapToScene(event->pos()), event->button(),
                                        event->buttons(), event->modifiers());
    } else if (event->button() == Qt::MiddleButton) {
        zoomActualSize();
        centerCanvas();
    }
    m_scene->setMouseButtons(event->buttons());
}

void QVorrelView::mouseMoveEvent(QMouseEvent *event)
{
    // A drag starts from the press without waiting.
    resolveClick();
    if (m_panning) {
        // The view is only ever scaled, never rotated.
        const QTransform m = transform();
        const QPoint d = m_lastMousePos - event->pos();
        setViewOffset(QPointF(m_viewOffset.x() + d.x() / m.m11(), m_viewOffset.y() + d.y() / m.m22()));
    } else {
        m_scene->handleMouseMove(QEvent::MouseMove, mapToScene(event->pos()), event->button(), event->buttons(),
                                 event->modifiers());
    }
    m_lastMousePos = event->pos();
    m_scene->setMouseButtons(event->buttons());
}

void QVorrelView::wheelEvent(QWheelEvent *event)
{
    // The larger of the two deltas, as a one-axis wheel reports it.
    const QPoint angle = event->angleDelta();
    const int delta = qAbs(angle.x()) > qAbs(angle.y()) ? angle.x() : angle.y();
    if (delta < 1)
        zoomOut(event->position());
    else
        zoomIn(event->position());
}

// Keys -----------------------------------------------------------------

bool QVorrelView::selectionEmpty() const
{
    return m_scene->selectedObjects().isEmpty();
}

void QVorrelView::keyPressEvent(QKeyEvent *event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        QGraphicsView::keyPressEvent(event);
        return;
    }
    const bool empty = selectionEmpty();
    const float step = (event->modifiers() & Qt::ShiftModifier) ? 10.0f : 1.0f;
    switch (event->key()) {
    case Qt::Key_Delete:
        if (empty)
            QGraphicsView::keyPressEvent(event);
        else
            m_scene->removeSelected();
        break;
    case Qt::Key_Backspace:
        if (empty)
            m_scene->backspace();
        else
            m_scene->removeSelected();
        break;
    case Qt::Key_Tab:
        m_scene->insertCharacterAtCaret(QChar(9));
        break;
    case Qt::Key_Space:
        m_scene->insertCharacterAtCaret(QChar(32));
        break;
    case Qt::Key_Return:
        m_scene->insertCharacterAtCaret(QChar(13));
        break;
    case Qt::Key_Left:
        if (empty)
            m_scene->moveCaretLeft();
        else
            m_scene->moveSelected(-step, 0);
        break;
    case Qt::Key_Right:
        if (empty)
            m_scene->moveCaretRight();
        else
            m_scene->moveSelected(step, 0);
        break;
    case Qt::Key_Up:
        if (empty)
            QGraphicsView::keyPressEvent(event);
        else
            m_scene->moveSelected(0, -step);
        break;
    case Qt::Key_Down:
        if (empty)
            QGraphicsView::keyPressEvent(event);
        else
            m_scene->moveSelected(0, step);
        break;
    default:
        m_scene->insertStringAtCaret(typedText(event->text()));
        break;
    }
}

bool QVorrelView::focusNextPrevChild(bool)
{
    return false;
}

// Play and timers ------------------------------------------------------

void QVorrelView::setPlaying(bool play)
{
    if (play == isPlaying())
        return;
    m_scene->setPlayState(play);
    if (play) {
        m_playTimer = startTimer(PlayInterval);
    } else {
        killTimer(m_playTimer);
        m_playTimer = 0;
    }
}

void QVorrelView::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_clickTimer) {
        resolveClick();
    } else if (event->timerId() == m_playTimer) {
        m_scene->setFrameCounter(m_scene->frameCounter() + 1);
        m_scene->stepSoftTypes();
    } else {
        QGraphicsView::timerEvent(event);
    }
}

// Slots ----------------------------------------------------------------

void QVorrelView::OnDocumentChanged()
{
    setWindowTitle(QStringLiteral("%1*").arg(m_scene->title()));
    m_modified = true;
}

void QVorrelView::OnMousePositionChanged(const QPointF &)
{
    // The main window shows the pointer's scene position; a view on its
    // own has nowhere to show it.
}

void QVorrelView::OnSelectionAreaChanged(const QRectF &)
{
    // The rubber band is drawn by the scene itself.
}
