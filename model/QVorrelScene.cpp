#include "model/QVorrelScene.h"

#include "commands/Cmd.h"
#include "commands/CmdAddSoftType.h"
#include "commands/CmdArrange.h"
#include "commands/CmdCombo.h"
#include "commands/CmdEditSoftType.h"
#include "commands/CmdInsertGlyph.h"
#include "commands/CmdMoveCaretGlyph.h"
#include "commands/CmdMoveCaretLeft.h"
#include "commands/CmdMoveCaretPoint.h"
#include "commands/CmdMoveCaretRight.h"
#include "commands/CmdMoveSelected.h"
#include "commands/CmdRemoveGlyph.h"
#include "commands/CmdRemoveSelected.h"
#include "commands/CmdRemoveSoftType.h"
#include "commands/CmdRotateSelected.h"
#include "commands/CmdSelectAll.h"
#include "commands/CmdSelectPoint.h"
#include "commands/CmdSelectRect.h"
#include "commands/CmdSelectSame.h"
#include "commands/CmdSelectTextObjects.h"
#include "commands/CmdSetLock.h"
#include "commands/CmdSetVisible.h"
#include "commands/CmdSimulate.h"
#include "model/Canvas.h"
#include "model/Caret.h"
#include "model/Exporter.h"
#include "model/Glyph.h"
#include "model/GlyphIterator.h"
#include "model/Grid.h"
#include "model/SelectedIterator.h"
#include "model/SelectedListIterator.h"
#include "model/Selection.h"
#include "model/TextGroup.h"

#include "softtypes/SoftType.h"
#include "softtypes/SoftTypeStepper.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGraphicsRectItem>
#include <QMetaMethod>
#include <QSet>
#include <QVector2D>

#include <cmath>

QVorrelScene::QVorrelScene(qreal x, qreal y, qreal width, qreal height, QObject *parent)
    : QGraphicsScene(x, y, width, height, parent), m_textFont(QStringLiteral("Arial"), 72)
{
    // Glyph outlines change shape every play frame: an item index would
    // only be rebuilt over and over.
    setItemIndexMethod(NoIndex);
    setBackgroundBrush(QBrush(Qt::lightGray));

    m_canvas = new Canvas(m_screenWidth, m_screenHeight);
    m_canvas->setFlag(QGraphicsItem::ItemClipsToShape);
    updateCanvas();
    addItem(m_canvas);

    m_grid = new Grid(50, QColor(0, 0, 0, 25), m_canvas);
    m_grid->setVisible(false);

    m_root = new TextGroup(m_canvas);

    const QFontMetrics fm(m_textFont);
    m_caret = new Caret(fm.ascent(), fm.descent(), m_canvas);
    m_caret->setPos(0, 100);

    m_selection = new Selection(this, m_canvas);
    m_selection->setColor(QColor(0, 0, 0, 150));

    // The rubber band belongs to the item tree like every other item.
    m_selectionArea = new QGraphicsRectItem(m_canvas);
    m_selectionArea->setPen(QPen(QBrush(Qt::black), 1.0, Qt::DashLine, Qt::FlatCap, Qt::RoundJoin));
    m_selectionArea->setBrush(Qt::NoBrush);
    m_selectionArea->setVisible(false);
}

QVorrelScene::~QVorrelScene()
{
    // Deleting many items added in this turn of the event loop (a document
    // just read, or refused half read) would take quadratic time.
    polishWaitingItems();
    clearHistory();
    delete m_exporter;
    delete m_pendingSimulate;
}

// History --------------------------------------------------------------

bool QVorrelScene::executeCommand(Cmd *cmd)
{
    if (!cmd)
        return false;
    m_selection->refresh();
    const CmdResult result = run(cmd, &Cmd::execute);
    if (!result.documentChanged()) {
        delete cmd;
        return false;
    }
    while (m_history.size() > m_historyIndex)
        delete m_history.takeLast();
    if (m_historyIndex >= 1 && m_history.last()->merge(cmd)) {
        delete cmd;
    } else {
        m_history.append(cmd);
        ++m_historyIndex;
        while (m_historyIndex > MaxHistory) {
            delete m_history.takeFirst();
            --m_historyIndex;
        }
    }
    afterStep(result);
    return true;
}

void QVorrelScene::afterStep(const CmdResult &result)
{
    if (result.documentChanged())
        emit documentChanged();
    if (result.selectionChanged())
        recentreSelection();
}

void QVorrelScene::undo()
{
    if (!canUndo())
        return;
    m_selection->refresh();
    --m_historyIndex;
    afterStep(run(m_history.at(m_historyIndex), &Cmd::undo));
}

void QVorrelScene::redo()
{
    if (!canRedo())
        return;
    m_selection->refresh();
    ++m_historyIndex;
    afterStep(run(m_history.at(m_historyIndex - 1), &Cmd::execute));
}

bool QVorrelScene::canUndo() const
{
    return m_historyIndex >= 1 && m_undoEnabled && m_playState == 0;
}

bool QVorrelScene::canRedo() const
{
    return m_historyIndex < m_history.size() && m_redoEnabled && m_playState == 0;
}

bool QVorrelScene::isLastDone(Cmd *cmd) const
{
    return m_historyIndex >= 1 && m_history.at(m_historyIndex - 1) == cmd;
}

void QVorrelScene::clearHistory()
{
    qDeleteAll(m_history);
    m_history.clear();
    m_historyIndex = 0;
    m_undoEnabled = true;
    m_redoEnabled = true;
}

void QVorrelScene::centreSelectionBox()
{
    // Inside a command the box is placed once when the command returns:
    // moving it after every object would make large selections quadratic.
    if (m_commandDepth > 0) {
        m_selectionBoxStale = true;
        return;
    }
    m_selection->moveTo(m_selection->sceneCentre());
}

CmdResult QVorrelScene::run(Cmd *cmd, CmdResult (Cmd::*step)())
{
    ++m_commandDepth;
    const CmdResult result = (cmd->*step)();
    --m_commandDepth;
    if (m_selectionBoxStale && m_commandDepth == 0) {
        m_selectionBoxStale = false;
        centreSelectionBox();
    }
    return result;
}

void QVorrelScene::recentreSelection()
{
    centreSelectionBox();
    m_selection->setRotation(0);
    m_selection->setTransforming(false);
    m_selection->refresh();
}

// Play -----------------------------------------------------------------

void QVorrelScene::setPlayState(bool playing)
{
    if (playing == (m_playState == 1))
        return;
    if (playing) {
        m_playState = 1;
        m_playSavedExtras = m_extrasVisible;
        hideExtras();
        delete m_pendingSimulate;
        m_pendingSimulate = new CmdSimulate(this);
        return;
    }
    m_playState = 0;
    setExtrasVisible(m_playSavedExtras);
    Cmd *run = m_pendingSimulate;
    m_pendingSimulate = nullptr;
    executeCommand(run);
    m_frameCounter = 0;
}

void QVorrelScene::stepSoftTypes()
{
    // Glyph by glyph in walk order, as Glyph::applySoftTypes would, with the
    // arithmetic spread over the cores.
    SoftTypeStepper::step(m_root);
}

// Text style -----------------------------------------------------------

void QVorrelScene::caretFollowsFont()
{
    const QFontMetrics fm(m_textFont);
    m_caret->setMetrics(fm.ascent(), fm.descent());
}

void QVorrelScene::setFont(const QFont &font)
{
    m_textFont = font;
    caretFollowsFont();
}

int QVorrelScene::fontSize() const
{
    return m_textFont.pointSize();
}

void QVorrelScene::setFontSize(int points)
{
    if (points <= 0)
        return;
    m_textFont.setPointSize(points);
    caretFollowsFont();
}

QString QVorrelScene::fontStyleName() const
{
    return QFontDatabase().styleString(m_textFont);
}

void QVorrelScene::setFontStyle(const QString &style)
{
    // The database answers an unknown style with the application's default
    // font; the text font then stays as it is.
    QFontDatabase db;
    if (!db.styles(m_textFont.family()).contains(style))
        return;
    m_textFont = db.font(m_textFont.family(), style, m_textFont.pointSize());
    caretFollowsFont();
}

void QVorrelScene::setFillColor(const QColor &color)
{
    m_fillColor = color;
    m_caret->setFillColor(color);
}

void QVorrelScene::setStrokeColor(const QColor &color)
{
    m_strokeColor = color;
    m_caret->setStrokeColor(color);
}

// Canvas and export ----------------------------------------------------

void QVorrelScene::setScreenSize(int width, int height)
{
    m_screenWidth = width;
    m_screenHeight = height;
    updateCanvas();
}

void QVorrelScene::setScreenWidth(int width)
{
    setScreenSize(width, m_screenHeight);
}

void QVorrelScene::setScreenHeight(int height)
{
    setScreenSize(m_screenWidth, height);
}

void QVorrelScene::setBackgroundColor(const QColor &color)
{
    m_backgroundColor = color;
    updateCanvas();
}

void QVorrelScene::setExportSettings(int width, int height, int resolution)
{
    m_exportWidth = width;
    m_exportHeight = height;
    m_exportResolution = resolution;
}

void QVorrelScene::updateCanvas()
{
    if (m_canvas->scene())
        update(canvasRect());
    m_canvas->setSize(m_screenWidth, m_screenHeight);
    m_canvas->setPos(0, 0);
    m_canvas->setBrush(QBrush(m_backgroundColor));
    m_canvas->update();
}

void QVorrelScene::setGridSpacing(int spacing)
{
    m_grid->setSpacing(spacing);
    m_canvas->setCellSize(spacing);
}

QRectF QVorrelScene::canvasRect() const
{
    return m_canvas->mapRectToScene(m_canvas->boundingRect());
}

QRectF QVorrelScene::textSceneRect() const
{
    return m_root->mapRectToScene(m_root->boundingRect());
}

QRectF QVorrelScene::selectionBoundingRect() const
{
    QRectF r;
    for (const TextObject *o : m_selectedObjects)
        r |= o->sceneBoundingRect();
    return r;
}

void QVorrelScene::setExporter(int kind, Exporter *exporter)
{
    if (exporter != m_exporter)
        delete m_exporter;
    m_exporter = exporter;
    m_exportKind = kind;
}

void QVorrelScene::beginRender(bool clip)
{
    setBackgroundBrush(Qt::NoBrush);
    m_canvas->hideCheckerboard();
    m_renderSavedExtras = m_extrasVisible;
    m_renderSavedClip = m_canvas->flags() & QGraphicsItem::ItemClipsChildrenToShape;
    hideExtras();
    m_canvas->setFlag(QGraphicsItem::ItemClipsChildrenToShape, clip);
}

void QVorrelScene::endRender()
{
    setBackgroundBrush(QBrush(Qt::lightGray));
    m_canvas->showCheckerboard();
    // A render of the whole text unclips the page; the work area switch
    // (or the hidden extras) must find it as it was.
    m_canvas->setFlag(QGraphicsItem::ItemClipsChildrenToShape, m_renderSavedClip);
    if (m_renderSavedExtras)
        showExtras();
}

// View switches --------------------------------------------------------

void QVorrelScene::showViewItem(int flag, bool shown)
{
    switch (flag) {
    case GridShown:
        m_grid->setVisible(shown);
        break;
    case CaretShown:
        m_caret->setVisible(shown);
        break;
    case SelectionShown:
        m_selection->setVisible(shown);
        update();
        break;
    case WorkAreaShown:
        m_canvas->setFlag(QGraphicsItem::ItemClipsChildrenToShape, !shown);
        update();
        break;
    }
}

void QVorrelScene::toggleGridVisible()
{
    m_viewFlags ^= GridShown;
    showViewItem(GridShown, isGridVisible());
}

void QVorrelScene::toggleCaretVisible()
{
    m_viewFlags ^= CaretShown;
    showViewItem(CaretShown, isCaretVisible());
}

void QVorrelScene::toggleSelectionVisible()
{
    m_viewFlags ^= SelectionShown;
    showViewItem(SelectionShown, isSelectionVisible());
}

void QVorrelScene::toggleWorkAreaVisible()
{
    m_viewFlags ^= WorkAreaShown;
    showViewItem(WorkAreaShown, isWorkAreaVisible());
}

void QVorrelScene::setViewFlags(int flags)
{
    m_viewFlags = flags;
    if (!m_extrasVisible)
        return;
    // Every item follows its bit, so that clearing a bit hides its item.
    for (int flag : {GridShown, CaretShown, WorkAreaShown, SelectionShown})
        showViewItem(flag, m_viewFlags & flag);
    update();
}

void QVorrelScene::showExtras()
{
    m_extrasVisible = true;
    for (int flag : {GridShown, CaretShown, WorkAreaShown, SelectionShown}) {
        if (m_viewFlags & flag)
            showViewItem(flag, true);
    }
    update();
}

void QVorrelScene::hideExtras()
{
    m_extrasVisible = false;
    m_grid->setVisible(false);
    m_caret->setVisible(false);
    m_selection->setVisible(false);
    m_canvas->setFlag(QGraphicsItem::ItemClipsChildrenToShape, true);
    update();
}

void QVorrelScene::setExtrasVisible(bool visible)
{
    if (visible)
        showExtras();
    else
        hideExtras();
}

void QVorrelScene::toggleExtrasVisible()
{
    setExtrasVisible(!m_extrasVisible);
}

// Selection, hit tests and tree edits ----------------------------------

void QVorrelScene::deselectOne(TextObject *object)
{
    if (object->isSelected()) {
        m_selectedObjects.removeOne(object);
        m_selection->selectionChanged();
    }
    object->setSelected(false);
}

void QVorrelScene::deselectSubtree(TextObject *object)
{
    for (TextObject *o : walkList<SelectedIterator>(object))
        deselectOne(o);
}

void QVorrelScene::selectOne(TextObject *object)
{
    for (TextGroup *g = object->parentGroup(); g; g = g->parentGroup())
        deselectOne(g);
    if (object->hasSelectedDescendant()) {
        for (TextObject *o : walkList<SelectedIterator>(object)) {
            if (o != object)
                deselectOne(o);
        }
    }
    if (object->isSelected())
        return;
    // A hidden item refuses selection and then stays out of the list.
    object->setSelected(true);
    if (object->isSelected()) {
        m_selectedObjects.append(object);
        m_selection->selectionChanged();
    }
}

void QVorrelScene::setSelected(TextObject *object, bool select, bool recursive)
{
    if (!object)
        return;
    if (recursive) {
        const QList<TextObject *> subtree = walkList(object);
        for (TextObject *o : subtree)
            select ? selectOne(o) : deselectOne(o);
    } else {
        select ? selectOne(object) : deselectOne(object);
    }
    centreSelectionBox();
}

void QVorrelScene::restoreSelection(const QList<TextObject *> &objects)
{
    const QList<TextObject *> current = m_selectedObjects;
    for (TextObject *o : current)
        deselectOne(o);
    for (TextObject *o : objects)
        selectOne(o);
    centreSelectionBox();
}

namespace {

// The object and its groups from the passage down: the item tree stacks
// two objects by the z-values of their ancestors where the two lines part.
QVector<const TextObject *> stackingLine(const TextObject *o)
{
    QVector<const TextObject *> line;
    for (; o->parentGroup(); o = o->parentGroup())
        line.prepend(o);
    return line;
}

bool stacksAbove(const QVector<const TextObject *> &a, const QVector<const TextObject *> &b)
{
    for (int i = 0; i < qMin(a.size(), b.size()); ++i) {
        if (a.at(i) != b.at(i))
            return a.at(i)->zValue() > b.at(i)->zValue();
    }
    return false;
}

} // namespace

template<typename Iterator>
TextObject *QVorrelScene::topmostAt(TextObject *root, const QPointF &scenePoint) const
{
    // The backward walk meets the object drawn last first; a later hit
    // replaces it only when the item tree stacks it higher.
    const QPoint point = scenePoint.toPoint();
    TextObject *best = nullptr;
    QVector<const TextObject *> bestLine;
    Iterator it(root, TextIterator::Backward | TextIterator::PostOrder);
    while (it.hasNext()) {
        TextObject *o = it.next();
        if (o->isLocked() || !o->isVisible() || !o->boundingRegion(o->sceneTransform()).contains(point))
            continue;
        QVector<const TextObject *> line = stackingLine(o);
        if (!best || stacksAbove(line, bestLine)) {
            best = o;
            bestLine = std::move(line);
        }
    }
    return best;
}

TextObject *QVorrelScene::glyphAt(const QPointF &scenePoint, TextObject *within) const
{
    return topmostAt<GlyphIterator>(within ? within : m_root, scenePoint);
}

TextObject *QVorrelScene::selectedObjectAt(const QPointF &scenePoint) const
{
    return topmostAt<SelectedIterator>(m_root, scenePoint);
}

void QVorrelScene::placeCaretAt(float x, float y)
{
    update(m_caret->sceneBoundingRect());
    m_caret->setPos(x, y);
    m_caret->update();
}

void QVorrelScene::releaseSubtree(TextObject *object)
{
    deselectSubtree(object);
    if (m_hoveredObject
        && (m_hoveredObject == object
            || (object->textType() == TextObject::GroupType
                && m_hoveredObject->isDescendantOf(static_cast<TextGroup *>(object))))) {
        m_hoveredObject->setHighlighted(false);
        m_hoveredObject = nullptr;
    }
}

void QVorrelScene::polishWaitingItems()
{
    // The list empties as it is polished, and each item added waits in it
    // once: polishing before every removal costs time linear in the items
    // added, where many removals in one turn of the loop (an insertion
    // undone at once, a word split again and again in one paste) would
    // each search it.
    static const QMetaMethod polish =
        QGraphicsScene::staticMetaObject.method(QGraphicsScene::staticMetaObject.indexOfMethod("_q_polishItems()"));
    polish.invoke(this, Qt::DirectConnection);
}

TextObject *QVorrelScene::takeChildAt(TextGroup *group, int index)
{
    TextObject *child = group ? group->child(index) : nullptr;
    if (!child)
        return nullptr;
    releaseSubtree(child);
    group->takeAt(index);
    if (child->scene() == this) {
        polishWaitingItems();
        removeItem(child);
    }
    centreSelectionBox();
    return child;
}

TextObject *QVorrelScene::removeChild(TextGroup *group, TextObject *child)
{
    return group ? takeChildAt(group, group->indexOf(child)) : nullptr;
}

TextObject *QVorrelScene::takeLastChild(TextGroup *group)
{
    return group ? takeChildAt(group, group->count() - 1) : nullptr;
}

QList<TextObject *> QVorrelScene::clearGroup(TextGroup *group)
{
    if (!group)
        return {};
    const QList<TextObject *> children = group->children();
    polishWaitingItems();
    for (TextObject *c : children) {
        releaseSubtree(c);
        if (c->scene() == this)
            removeItem(c);
    }
    group->clearChildren();
    centreSelectionBox();
    return children;
}

QList<int> QVorrelScene::takeObjects(const QList<TextObject *> &objects)
{
    const QSet<const TextObject *> taken(objects.cbegin(), objects.cend());
    const auto leaves = [&taken](const TextObject *o) {
        for (; o; o = o->parentGroup()) {
            if (taken.contains(o))
                return true;
        }
        return false;
    };
    // What leaves with them leaves the selection in one pass over it:
    // deselected one by one, each object was looked for in the list.
    QList<TextObject *> staying;
    for (TextObject *o : qAsConst(m_selectedObjects)) {
        if (leaves(o))
            o->setSelected(false);
        else
            staying.append(o);
    }
    if (staying.size() != m_selectedObjects.size()) {
        m_selectedObjects = staying;
        m_selection->selectionChanged();
    }
    if (m_hoveredObject && leaves(m_hoveredObject)) {
        m_hoveredObject->setHighlighted(false);
        m_hoveredObject = nullptr;
    }
    // Qt's index of the scene's items keeps them by address and closes the
    // gap of each removal: taken from the glyphs up, every glyph's removal
    // moved the entries of the groups left above it, a time growing with the
    // square of the objects. Each object whose group stays leaves the scene
    // with its subtree, top down, in tree order: the order of the addresses
    // in a document built in order, whose gaps close at the index's front.
    polishWaitingItems();
    for (TextObject *o : objects) {
        if (!taken.contains(o->parentGroup()) && o->scene() == this)
            removeItem(o);
    }
    QList<int> indexes;
    indexes.reserve(objects.size());
    for (TextObject *o : objects) {
        TextGroup *group = o->parentGroup();
        const int index = group ? group->indexOf(o) : -1;
        if (group)
            group->takeAt(index);
        indexes.append(index);
    }
    centreSelectionBox();
    return indexes;
}

void QVorrelScene::setHovered(TextObject *object)
{
    if (object == m_hoveredObject)
        return;
    if (m_hoveredObject)
        m_hoveredObject->setHighlighted(false);
    if (object)
        object->setHighlighted(true);
    m_hoveredObject = object;
}

QString QVorrelScene::title() const
{
    if (m_fileName.isEmpty())
        return QStringLiteral("untitled");
    const int start = m_fileName.lastIndexOf(QLatin1Char('/')) + 1;
    int end = m_fileName.lastIndexOf(QLatin1String(".vrl"));
    if (end < start)
        end = m_fileName.size();
    return m_fileName.mid(start, end - start);
}

void QVorrelScene::moveCaretBy(float dx, float dy)
{
    m_caret->moveBy(dx, dy);
    m_caret->update();
}

void QVorrelScene::setMousePosition(const QPointF &p)
{
    m_mousePosition = p;
    emit mousePositionChanged(p);
}

// Pointer input =========================================================
//
// A gesture is press, moves, release. The press records the snapped press
// point and whether it hit the selection or one of its rotate handles; the
// moves show hover, the rubber band or a preview of the selection moving or
// turning; the release turns the gesture into at most one command.

namespace {

// The rubber band shows once the pointer has travelled more than this far
// from the press point, and a release this far or farther selects a region;
// a shorter travel is a click. A drag on the selection has no such
// threshold: its preview follows from the first move.
constexpr float DragThreshold = 3.0f;

const QString UnknownCombo = QStringLiteral("Unknown Combo Command");

float travel(const QPointF &from, const QPointF &to)
{
    return QVector2D(to - from).length();
}

// Mode of a selection gesture: add with Ctrl, remove with Alt, else
// select only.
int selectionMode(Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::ControlModifier)
        return 2;
    if (modifiers & Qt::AltModifier)
        return 3;
    return 1;
}

} // namespace

QPointF QVorrelScene::snapPoint(const QPointF &p) const
{
    return (m_snapFlags & 1) ? m_grid->snapToGrid(p) : p;
}

void QVorrelScene::handleMousePress(QEvent::Type, const QPointF &scenePos)
{
    if (m_playState != 0)
        return;
    m_pressPoint = snapPoint(scenePos);
    if (m_selectedObjects.isEmpty())
        return;
    m_pressedOnRotateHandle = m_selection->hitRotateHandle(m_pressPoint);
    m_pressedOnSelection = selectedObjectAt(scenePos);
}

void QVorrelScene::previewRotation(const QPointF &scenePos, bool constrained)
{
    const QPointF c = m_selection->sceneCentre();
    const float a0 = std::atan2(float(m_pressPoint.y() - c.y()), float(m_pressPoint.x() - c.x()));
    const float a1 = std::atan2(float(scenePos.y() - c.y()), float(scenePos.x() - c.x()));
    float d = a1 - a0;
    if (constrained) {
        // To the nearest multiple of 22.5 degrees.
        const float k = float(M_PI / 8);
        const float r = (d / k - std::floor(d / k)) * k;
        d = r >= float(M_PI / 16) ? d + (k - r) : d - r;
    }
    m_selection->setRotation(d * 180.0f / 3.1415927f);
}

void QVorrelScene::previewMove(const QPointF &scenePos, bool constrained)
{
    const QPointF c = m_selection->sceneCentre();
    QPointF pos(scenePos.x() + c.x() - m_pressPoint.x(), scenePos.y() + c.y() - m_pressPoint.y());
    if (constrained) {
        // Along the axis of the larger travel only.
        const int dx = int(std::fabs(pos.x() - c.x()));
        const int dy = int(std::fabs(pos.y() - c.y()));
        if (dy < dx)
            pos.setY(c.y());
        else
            pos.setX(c.x());
    }
    m_selection->setPos(pos);
}

void QVorrelScene::handleMouseMove(QEvent::Type, const QPointF &scenePos, Qt::MouseButton,
                                   const Qt::MouseButtons &, const Qt::KeyboardModifiers &modifiers)
{
    if (m_playState == 0) {
        const QPointF p = snapPoint(scenePos);
        const bool shift = modifiers & Qt::ShiftModifier;
        if (!(m_mouseButtons & Qt::LeftButton)) {
            TextObject *hovered = selectedObjectAt(scenePos);
            setHovered(hovered ? hovered : glyphAt(scenePos));
        } else if (!m_pressedOnRotateHandle && !m_pressedOnSelection) {
            if (travel(m_pressPoint, p) > DragThreshold)
                setSelectionArea(m_pressPoint.x(), m_pressPoint.y(), p.x(), p.y());
        } else {
            if (m_pressedOnSelection)
                previewMove(scenePos, shift);
            else
                previewRotation(scenePos, shift);
            m_selection->setTransforming(true);
            m_selection->refresh();
        }
    }
    setMousePosition(scenePos);
}

void QVorrelScene::handleMouseRelease(QEvent::Type, const QPointF &scenePos, Qt::MouseButton,
                                      const Qt::MouseButtons &, const Qt::KeyboardModifiers &modifiers)
{
    if (m_playState == 0) {
        const QPointF p = snapPoint(scenePos);
        if (m_pressedOnSelection || m_pressedOnRotateHandle) {
            const QPointF c = m_selection->sceneCentre();
            const QPointF pos = m_selection->pos();
            if (m_pressedOnSelection)
                moveSelected(float(pos.x()) - float(c.x()), float(pos.y()) - float(c.y()));
            else
                rotateSelectedAbout(float(m_selection->rotation()), c);
            // A preview that came back to its start made no command.
            recentreSelection();
        } else {
            if (travel(m_pressPoint, p) >= DragThreshold
                || (modifiers & (Qt::ControlModifier | Qt::AltModifier))) {
                executeCommand(new CmdSelectRect(this, m_selectionArea->rect().toRect(), selectionMode(modifiers), 2));
            } else {
                placeCaretByClick(p);
            }
            setSelectionArea(0, 0, 0, 0);
        }
    } else if (!m_selectionArea->rect().isNull()) {
        // A rubber band drawn before play started ends with its gesture.
        setSelectionArea(0, 0, 0, 0);
    }
    m_pressedOnSelection = false;
    m_pressedOnRotateHandle = false;
}

void QVorrelScene::handleMouseDoubleClick(QEvent::Type, const QPointF &scenePos, Qt::MouseButton,
                                          const Qt::MouseButtons &, const Qt::KeyboardModifiers &modifiers)
{
    if (m_playState != 0)
        return;
    m_pressPoint = snapPoint(scenePos);
    if (!glyphAt(scenePos))
        return;
    // A drag that goes on from the double click moves the selection.
    m_pressedOnSelection = true;
    // The glyph under the pointer is selected, not the one under the
    // snapped point, which may lie beside it.
    auto *combo = new CmdCombo(this, UnknownCombo);
    combo->add(new CmdSelectPoint(this, selectionMode(modifiers), scenePos), true);
    executeCommand(combo);
}

void QVorrelScene::placeCaretByClick(const QPointF &p)
{
    if (auto *glyph = qobject_cast<Glyph *>(glyphAt(p)))
        executeAfterDeselect(new CmdMoveCaretGlyph(this, glyph));
    else
        executeAfterDeselect(new CmdMoveCaretPoint(this, float(p.x()), float(p.y())));
}

void QVorrelScene::setSelectionArea(float x1, float y1, float x2, float y2)
{
    float left = x1;
    float right = x2;
    if (x2 < x1) {
        left = x2;
        right = int(x1);
    }
    float top = y1;
    float bottom = y2;
    if (y2 < y1) {
        top = y2;
        bottom = int(y1);
    }
    m_selectionArea->setRect(left, top, right - left, bottom - top);
    const QRectF area = m_selectionArea->rect();
    m_selectionArea->setVisible(area.width() > 0 || area.height() > 0);
    m_selectionArea->update();
    emit selectionAreaChanged(area);
}

namespace {

// Whether a move or turn of the selection takes the glyph along: the
// selected object that holds it (the glyph or a group above it) is moved
// unless it is locked.
bool movesWithSelection(const TextObject *glyph)
{
    for (const TextObject *o = glyph; o; o = o->parentGroup()) {
        if (o->isSelected())
            return !o->isLocked();
    }
    return false;
}

} // namespace

void QVorrelScene::executeWithCaretFollowing(Cmd *cmd, bool moves)
{
    // The caret stands after a glyph that moves: it moves along in the
    // same step. When nothing moves the command goes alone, so that it is
    // dropped instead of leaving a step that only puts the caret back.
    auto *glyph = qobject_cast<Glyph *>(m_textPointer.glyph);
    if (!moves || !glyph || !movesWithSelection(glyph)) {
        executeCommand(cmd);
        return;
    }
    auto *combo = new CmdCombo(this, UnknownCombo);
    combo->add(cmd, true);
    combo->add(new CmdMoveCaretGlyph(this, glyph), false);
    executeCommand(combo);
}

void QVorrelScene::moveSelected(float dx, float dy)
{
    executeWithCaretFollowing(new CmdMoveSelected(this, dx, dy), dx != 0 || dy != 0);
}

void QVorrelScene::rotateSelectedAbout(float degrees, const QPointF &centre)
{
    executeWithCaretFollowing(new CmdRotateSelected(this, degrees, centre), degrees != 0);
}

void QVorrelScene::rotateSelectedAboutCentre(float degrees)
{
    rotateSelectedAbout(degrees, m_selection->sceneRect().center());
}

// Editing operations ====================================================

void QVorrelScene::executeAfterDeselect(Cmd *cmd)
{
    if (m_selectedObjects.isEmpty()) {
        executeCommand(cmd);
        return;
    }
    auto *combo = new CmdCombo(this, UnknownCombo);
    combo->add(new CmdSelectAll(this, 1, 0), false);
    combo->add(cmd, true);
    executeCommand(combo);
}

QList<TextObject *> QVorrelScene::selectedUnlocked() const
{
    QList<TextObject *> objects;
    for (TextObject *o : m_selectedObjects) {
        if (!o->isLocked())
            objects.append(o);
    }
    return objects;
}

void QVorrelScene::removeSelected()
{
    executeCommand(new CmdRemoveSelected(this));
}

void QVorrelScene::moveCaretLeft()
{
    executeCommand(new CmdMoveCaretLeft(this));
}

void QVorrelScene::moveCaretRight()
{
    executeCommand(new CmdMoveCaretRight(this));
}

void QVorrelScene::backspace()
{
    if (m_textPointer.passage && m_textPointer.glyph)
        executeAfterDeselect(new CmdRemoveGlyph(this));
    else
        executeCommand(new CmdMoveCaretLeft(this));
}

namespace {

// Text from the clipboard or a file may end its lines with "\r\n" or "\n";
// a line break is one carriage-return glyph.
QString withLineBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\r"));
    text.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    return text;
}

} // namespace

Glyph *QVorrelScene::newGlyph(const QString &character, const QPointF &pos) const
{
    return new Glyph(character, m_textFont, m_fillColor, m_strokeColor, double(m_strokeWidth), pos);
}

void QVorrelScene::insertCharacterAtCaret(QChar c)
{
    insertCharacter(c, m_caret->pos(), true);
}

void QVorrelScene::insertStringAtCaret(const QString &s)
{
    insertString(s, m_caret->pos(), true);
}

void QVorrelScene::insertCharacter(QChar c, const QPointF &pos, bool atCaret)
{
    executeAfterDeselect(new CmdInsertGlyph(this, newGlyph(c, pos), atCaret));
}

void QVorrelScene::insertString(const QString &s, const QPointF &pos, bool atCaret)
{
    const QStringList characters = Glyph::characters(withLineBreaks(s));
    if (characters.isEmpty())
        return;
    if (characters.size() == 1) {
        executeAfterDeselect(new CmdInsertGlyph(this, newGlyph(characters.first(), pos), atCaret));
        return;
    }
    auto *combo = new CmdCombo(this, QStringLiteral("Insert String"));
    combo->add(new CmdSelectAll(this, 1, 0), false);
    combo->add(new CmdInsertGlyph(this, newGlyph(characters.first(), pos), atCaret), false);
    // The first glyph moves the caret along as the composite runs; the
    // others follow it there.
    const QPointF caretPos = m_caret->pos();
    for (int i = 1; i < characters.size(); ++i)
        combo->add(new CmdInsertGlyph(this, newGlyph(characters.at(i), caretPos), true), false);
    executeCommand(combo);
}

void QVorrelScene::insertGlyphs(const QList<Glyph *> &glyphs)
{
    if (glyphs.isEmpty() || glyphs.contains(nullptr))
        return;
    auto *combo = new CmdCombo(this, QStringLiteral("Insert Glyphs"));
    combo->add(new CmdSelectAll(this, 1, 0), false);
    combo->add(new CmdMoveCaretPoint(this, glyphs.first()->pos()), false);
    QList<TextObject *> clones;
    for (const Glyph *g : glyphs) {
        Glyph *clone = g->cloneGlyph();
        combo->add(new CmdInsertGlyph(this, clone, false), false);
        clones.append(clone);
    }
    // Each clone lands behind the one before it in a passage of their own,
    // splitting no word, so no placement changes a selection: selecting
    // them all once they are placed ends as selecting each right after its
    // placement, with one snapshot of the selection where one per glyph
    // made the paste quadratic.
    combo->add(new CmdSelectTextObjects(this, clones, 2), false);
    executeCommand(combo);
}

void QVorrelScene::selectAll(int mode, int level)
{
    executeCommand(new CmdSelectAll(this, mode, level));
}

void QVorrelScene::selectSame(int mode, int level)
{
    executeCommand(new CmdSelectSame(this, mode, level));
}

void QVorrelScene::arrangeSelected(int mode)
{
    if (mode < CmdArrange::BringToFront || mode > CmdArrange::SendToBack)
        return;
    // The step shows the text of its arrange commands; with nothing
    // selected it is empty and dropped.
    auto *combo = new CmdCombo(this, QString());
    for (TextObject *o : m_selectedObjects)
        combo->add(new CmdArrange(this, o, mode), true);
    executeCommand(combo);
}

void QVorrelScene::hideSelected()
{
    // Every hidden object leaves the selection, in one step for all of
    // them: one per object would walk the document once per object.
    auto *combo = new CmdCombo(this, QStringLiteral("Hide"));
    if (!m_selectedObjects.isEmpty())
        combo->add(new CmdSelectTextObjects(this, m_selectedObjects, 3), false);
    for (TextObject *o : m_selectedObjects)
        combo->add(new CmdSetVisible(this, o, false), false);
    executeCommand(combo);
}

void QVorrelScene::setLockOfGlyphs(const QList<TextObject *> &objects, bool lock)
{
    auto *combo = new CmdCombo(this, lock ? QStringLiteral("Lock") : QStringLiteral("Unlock"));
    for (TextObject *o : objects) {
        for (Glyph *g : walkList<GlyphIterator>(o)) {
            if (g->isLocked() != lock)
                combo->add(new CmdSetLock(this, g, lock), false);
        }
    }
    executeCommand(combo);
}

void QVorrelScene::lockSelected()
{
    setLockOfGlyphs(m_selectedObjects, true);
}

void QVorrelScene::unlockSelected()
{
    setLockOfGlyphs(m_selectedObjects, false);
}

void QVorrelScene::setObjectLocked(TextObject *object, bool lock)
{
    if (object)
        setLockOfGlyphs({object}, lock);
}

void QVorrelScene::setObjectVisible(TextObject *object, bool visible)
{
    if (!object || object->isVisibleTo(object->parentItem()) == visible)
        return;
    auto *combo = new CmdCombo(this, visible ? QStringLiteral("Show") : QStringLiteral("Hide"));
    const QList<TextObject *> selected = walkList<SelectedIterator>(object);
    if (!selected.isEmpty())
        combo->add(new CmdSelectTextObjects(this, selected, 3), false);
    combo->add(new CmdSetVisible(this, object, visible), false);
    executeCommand(combo);
}

void QVorrelScene::addSoftTypeValues(CmdCombo *combo, Glyph *glyph, const SoftType *softType, bool takeText)
{
    if (SoftType *own = glyph->findSoftType(softType->name()))
        combo->add(new CmdEditSoftType(this, own, softType->values()), false);
    else
        combo->add(new CmdAddSoftType(this, glyph, softType->clone()), takeText);
}

void QVorrelScene::addSoftType(const SoftType *prototype)
{
    if (!prototype)
        return;
    auto *combo = new CmdCombo(this, QStringLiteral("Add SoftType"));
    for (TextObject *o : selectedUnlocked()) {
        for (Glyph *g : walkList<GlyphIterator>(o))
            addSoftTypeValues(combo, g, prototype, true);
    }
    executeCommand(combo);
}

void QVorrelScene::pasteSoftTypes(const QList<SoftType *> &softTypes)
{
    // Copies of several glyphs may carry SoftTypes of one name: the first
    // of each name is pasted, so that no glyph gets a name twice.
    QList<const SoftType *> distinct;
    QSet<QString> names;
    for (const SoftType *s : softTypes) {
        if (s && !names.contains(s->name())) {
            names.insert(s->name());
            distinct.append(s);
        }
    }
    auto *combo = new CmdCombo(this, QStringLiteral("Paste SoftTypes"));
    for (TextObject *o : selectedUnlocked()) {
        for (Glyph *g : walkList<GlyphIterator>(o)) {
            for (const SoftType *s : qAsConst(distinct))
                addSoftTypeValues(combo, g, s, false);
        }
    }
    executeCommand(combo);
}

void QVorrelScene::editSoftType(const QString &name, const QHash<QString, QVariant> &values)
{
    auto *combo = new CmdCombo(this, QStringLiteral("Edit SoftType"));
    for (TextObject *o : selectedUnlocked()) {
        for (Glyph *g : walkList<GlyphIterator>(o)) {
            if (SoftType *own = g->findSoftType(name))
                combo->add(new CmdEditSoftType(this, own, values), true);
        }
    }
    executeCommand(combo);
}

void QVorrelScene::removeSoftType(const QString &name)
{
    auto *combo = new CmdCombo(this, QStringLiteral("Remove SoftType"));
    for (TextObject *o : selectedUnlocked()) {
        for (Glyph *g : walkList<GlyphIterator>(o)) {
            if (g->findSoftType(name))
                combo->add(new CmdRemoveSoftType(this, g, name), true);
        }
    }
    executeCommand(combo);
}

void QVorrelScene::removeAllSoftTypes()
{
    removeSoftTypesWhere(QStringLiteral("Remove All SoftTypes"), true, QString());
}

void QVorrelScene::removeSoftTypesOfKind(const QString &kind)
{
    const QString shown = kind.left(1).toUpper() + kind.mid(1).toLower();
    removeSoftTypesWhere(QStringLiteral("Remove ") + shown + QStringLiteral(" SoftTypes"), false, kind);
}

void QVorrelScene::removeSoftTypesWhere(const QString &text, bool anyKind, const QString &kind)
{
    auto *combo = new CmdCombo(this, text);
    for (TextObject *o : selectedUnlocked()) {
        for (Glyph *g : walkList<GlyphIterator>(o)) {
            for (const SoftType *s : g->softTypes()) {
                if (anyKind || s->typeKey() == kind)
                    combo->add(new CmdRemoveSoftType(this, g, s->name()), false);
            }
        }
    }
    executeCommand(combo);
}

QString QVorrelScene::selectedText() const
{
    QString text;
    SelectedIterator it(m_root, TextIterator::Forward | TextIterator::PostOrder);
    while (it.hasNext())
        text += it.next()->text();
    return text;
}

QStringList QVorrelScene::selectedSoftTypeKinds() const
{
    QStringList kinds;
    for (const TextObject *o : m_selectedObjects)
        kinds += o->softTypeKinds();
    kinds.removeDuplicates();
    return kinds;
}

QString QVorrelScene::sequenceFileName() const
{
    const QFileInfo f(m_exportFileName);
    QString name = f.path() + QLatin1Char('/') + f.baseName() + QLatin1Char('_')
                   + QStringLiteral("%1").arg(m_exportFrameNumber, 5, 10, QLatin1Char('0'));
    if (!f.suffix().isEmpty())
        name += QLatin1Char('.') + f.suffix();
    return name;
}
