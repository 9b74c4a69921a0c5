#include "model/QVorrelScene.h"

#include "commands/Cmd.h"
#include "commands/CmdSimulate.h"
#include "model/Canvas.h"
#include "model/Caret.h"
#include "model/Exporter.h"
#include "model/Glyph.h"
#include "model/GlyphIterator.h"
#include "model/Grid.h"
#include "model/SelectedIterator.h"
#include "model/Selection.h"
#include "model/TextGroup.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGraphicsRectItem>

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
    emit documentChanged();
    if (result.selectionChanged())
        recentreSelection();
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
    const QRectF r = m_selection->sceneRect();
    m_selection->moveTo(QPointF(float(r.x()) + 0.5f * float(r.width()), float(r.y()) + 0.5f * float(r.height())));
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
    GlyphIterator it(m_root, TextIterator::Forward | TextIterator::PostOrder);
    while (it.hasNext())
        it.next()->applySoftTypes();
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
    if (object->isSelected())
        m_selectedObjects.removeOne(object);
    object->setSelected(false);
}

namespace {

// The selected objects of a subtree, the root included, gathered before
// any of them changes.
QList<TextObject *> selectedIn(TextObject *root)
{
    QList<TextObject *> selected;
    SelectedIterator it(root, TextIterator::Forward | TextIterator::PostOrder);
    while (it.hasNext())
        selected.append(it.next());
    return selected;
}

} // namespace

void QVorrelScene::deselectSubtree(TextObject *object)
{
    for (TextObject *o : selectedIn(object))
        deselectOne(o);
}

void QVorrelScene::selectOne(TextObject *object)
{
    for (TextGroup *g = object->parentGroup(); g; g = g->parentGroup())
        deselectOne(g);
    if (object->hasSelectedDescendant()) {
        for (TextObject *o : selectedIn(object)) {
            if (o != object)
                deselectOne(o);
        }
    }
    if (object->isSelected())
        return;
    // A hidden item refuses selection and then stays out of the list.
    object->setSelected(true);
    if (object->isSelected())
        m_selectedObjects.append(object);
}

void QVorrelScene::setSelected(TextObject *object, bool select, bool recursive)
{
    if (!object)
        return;
    if (recursive) {
        QList<TextObject *> subtree;
        TextIterator it(object, TextIterator::Forward | TextIterator::PostOrder);
        while (it.hasNext())
            subtree.append(it.next());
        for (TextObject *o : qAsConst(subtree))
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

TextObject *QVorrelScene::takeChildAt(TextGroup *group, int index)
{
    TextObject *child = group ? group->child(index) : nullptr;
    if (!child)
        return nullptr;
    releaseSubtree(child);
    group->takeAt(index);
    if (child->scene() == this)
        removeItem(child);
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
    for (TextObject *c : children) {
        releaseSubtree(c);
        if (c->scene() == this)
            removeItem(c);
    }
    group->clearChildren();
    centreSelectionBox();
    return children;
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
