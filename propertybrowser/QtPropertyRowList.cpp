#include "propertybrowser/QtPropertyRowList.h"

#include "propertybrowser/QtProperty.h"
#include "propertybrowser/QtPropertyBrowserUtils.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>

#include <algorithm>

namespace {
// Rows a list asks room for; more scroll.
constexpr int RowsInView = 10;
constexpr int RowsAtLeast = 3;
} // namespace

QtPropertyRowList::QtPropertyRowList(QtProperty *root, EditorMaker makeEditor, QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_root(root)
    , m_makeEditor(std::move(makeEditor))
{
    setFrameShape(QFrame::NoFrame);
    // The keyboard reaches the editors, not the list.
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Rows stand on the box's own background, as a form's rows do.
    viewport()->setBackgroundRole(QPalette::Window);
    measure();
    scheduleLayout();
}

QtPropertyRowList::~QtPropertyRowList()
{
    for (const Shown &shown : qAsConst(m_shown)) {
        if (shown.editor)
            QtPropertyBrowserUtils::dropEditor(shown.editor, this);
    }
}

void QtPropertyRowList::measure()
{
    // The editors a factory makes: rows are as high as the highest, fields
    // at least as wide as a spin box over the whole range of an int.
    QLineEdit line(this);
    QComboBox combo(this);
    QDoubleSpinBox *spin = QtPropertyBrowserUtils::createDoubleSpinBox(this);
    QtPropertyBrowserUtils::setDoubleSpinBox(spin, 0, -2147483647, 2147483647, 1, 2);
    m_editorHeight = qMax(qMax(line.sizeHint().height(), combo.sizeHint().height()), spin->sizeHint().height());
    m_fieldWidth = m_fieldHint = spin->sizeHint().width();
    delete spin;
    const auto spacing = [this](QStyle::PixelMetric metric) {
        const int pixels = style()->pixelMetric(metric, nullptr, this);
        return pixels >= 0 ? pixels : 6;
    };
    m_spacing = spacing(QStyle::PM_LayoutHorizontalSpacing);
    m_rowHeight = m_editorHeight + spacing(QStyle::PM_LayoutVerticalSpacing);
    m_indent = 2 * fontMetrics().averageCharWidth();
    m_maxLabelWidth = 40 * fontMetrics().averageCharWidth();
}

void QtPropertyRowList::propertyChanged(QtProperty *property)
{
    if (m_rowsDirty || m_rowsChanged) {
        scheduleLayout();
        return;
    }
    // A longer name may widen the labels.
    if (m_labelWidth < m_maxLabelWidth && fontMetrics().horizontalAdvance(property->propertyName()) > m_labelWidth) {
        rowsChanged();
        return;
    }
    // A row's state passes to the rows below it.
    for (auto it = m_shown.cbegin(); it != m_shown.cend(); ++it) {
        if (it->editor)
            it->editor->setEnabled(isRowEnabled(it.key()));
    }
    viewport()->update();
}

void QtPropertyRowList::rowsChanged()
{
    m_rowsDirty = true;
    m_rowsChanged = true;
    // The rows go stale: a flat list no longer holds on to the root's.
    m_rows.clear();
    m_nesting.clear();
    if (m_layoutPending)
        return;
    updateGeometry();
    scheduleLayout();
}

int QtPropertyRowList::rowCount() const
{
    ensureRows();
    return m_rows.size();
}

QtProperty *QtPropertyRowList::rowProperty(int row) const
{
    ensureRows();
    return row >= 0 && row < m_rows.size() ? m_rows.at(row) : nullptr;
}

QWidget *QtPropertyRowList::rowEditor(int row) const
{
    return m_rowsChanged ? nullptr : m_shown.value(row).editor.data();
}

QRect QtPropertyRowList::rowRect(int row) const
{
    return QRect(0, row * m_rowHeight - verticalScrollBar()->value(), viewport()->width(), m_rowHeight);
}

void QtPropertyRowList::scrollToRow(int row)
{
    if (m_layoutPending)
        layoutRows();
    verticalScrollBar()->setValue(row * m_rowHeight);
}

void QtPropertyRowList::ensureRowVisible(int row)
{
    if (m_layoutPending)
        layoutRows();
    const QRect rect = rowRect(row);
    QScrollBar *bar = verticalScrollBar();
    if (rect.top() < 0)
        bar->setValue(bar->value() + rect.top());
    else if (rect.bottom() >= viewport()->height())
        bar->setValue(bar->value() + rect.bottom() + 1 - viewport()->height());
}

QSize QtPropertyRowList::sizeHint() const
{
    ensureRows();
    return QSize(m_labelWidth + m_spacing + m_fieldHint + verticalScrollBar()->sizeHint().width() + 2 * frameWidth(),
                 qBound(1, m_rows.size(), RowsInView) * m_rowHeight + 2 * frameWidth());
}

QSize QtPropertyRowList::minimumSizeHint() const
{
    ensureRows();
    return QSize(m_labelWidth + m_spacing + m_fieldWidth + verticalScrollBar()->sizeHint().width() + 2 * frameWidth(),
                 qBound(1, m_rows.size(), RowsAtLeast) * m_rowHeight + 2 * frameWidth());
}

void QtPropertyRowList::paintEvent(QPaintEvent *)
{
    ensureRows();
    QPainter painter(viewport());
    const QFontMetrics metrics = fontMetrics();
    for (int row = qMax(0, rowAt(0)); row < m_rows.size() && rowRect(row).top() < viewport()->height(); ++row) {
        const QtProperty *property = m_rows.at(row);
        const bool enabled = isEnabled() && isRowEnabled(row);
        const QRect label = labelRect(row);
        style()->drawItemText(&painter, label, Qt::AlignLeading | Qt::AlignVCenter, palette(), enabled,
                              metrics.elidedText(property->propertyName(), Qt::ElideRight, label.width()),
                              QPalette::WindowText);
        // The value shows as text where there is no editor, as in a form.
        const auto shown = m_shown.constFind(row);
        if ((shown != m_shown.cend() && shown->editor && !m_rowsChanged) || !property->hasValue())
            continue;
        const QRect field = fieldRect(row);
        style()->drawItemText(&painter, field, Qt::AlignLeading | Qt::AlignVCenter, palette(), enabled,
                              metrics.elidedText(property->valueText(), Qt::ElideRight, field.width()),
                              QPalette::WindowText);
    }
}

void QtPropertyRowList::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    layoutRows();
}

void QtPropertyRowList::scrollContentsBy(int, int)
{
    layoutRows();
}

bool QtPropertyRowList::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QAbstractScrollArea::viewportEvent(event);
    // The property's tool tip, or the whole of a name too long for its label.
    const auto *help = static_cast<QHelpEvent *>(event);
    const int row = rowAt(help->pos().y());
    QString tip;
    if (row >= 0) {
        const QtProperty *property = rowProperty(row);
        tip = property->toolTip();
        if (tip.isEmpty() && fontMetrics().horizontalAdvance(property->propertyName()) > labelRect(row).width())
            tip = property->propertyName();
    }
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), tip, viewport(), rowRect(row));
    return true;
}

void QtPropertyRowList::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        measure();
        rowsChanged();
    }
}

bool QtPropertyRowList::focusNextPrevChild(bool next)
{
    // From the row whose editor has the focus to the next row that takes it,
    // looked for a view's worth of rows on; past the first or last row, or
    // rows that take no focus, the focus leaves the list.
    const QWidget *focus = QApplication::focusWidget();
    int row = -1;
    for (auto it = m_shown.cbegin(); it != m_shown.cend() && row < 0 && !m_rowsChanged; ++it) {
        if (it->editor && focus && (it->editor == focus || it->editor->isAncestorOf(focus)))
            row = it.key();
    }
    const int step = next ? 1 : -1;
    for (int r = row + step; row >= 0 && r >= 0 && r < rowCount() && qAbs(r - row) <= 2 * RowsInView; r += step) {
        ensureRowVisible(r);
        QWidget *editor = rowEditor(r);
        QWidget *taker = editor && editor->focusProxy() ? editor->focusProxy() : editor;
        if (taker && taker->isEnabled() && (taker->focusPolicy() & Qt::TabFocus)) {
            editor->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return QAbstractScrollArea::focusNextPrevChild(next);
}

void QtPropertyRowList::ensureRows() const
{
    if (!m_rowsDirty)
        return;
    m_rowsDirty = false;
    m_rows = m_root->subProperties();
    m_nesting.clear();
    const auto hasChildren = [](const QtProperty *property) { return !property->subProperties().isEmpty(); };
    if (std::any_of(m_rows.cbegin(), m_rows.cend(), hasChildren)) {
        // The descendants in order, each followed by its own.
        const QList<QtProperty *> top = m_rows;
        m_rows.clear();
        m_rows.reserve(top.size());
        m_nesting.reserve(top.size());
        struct Level
        {
            QList<QtProperty *> children;
            int next;
            int row;
        };
        QVector<Level> levels{{top, 0, -1}};
        while (!levels.isEmpty()) {
            Level &level = levels.last();
            if (level.next == level.children.size()) {
                levels.removeLast();
                continue;
            }
            QtProperty *property = level.children.at(level.next++);
            const int parent = level.row;
            m_rows.append(property);
            m_nesting.append({parent, levels.size() - 1});
            const QList<QtProperty *> children = property->subProperties();
            if (!children.isEmpty())
                levels.append({children, 0, m_rows.size() - 1});
        }
    }
    m_labelWidth = 0;
    for (int row = 0; row < m_rows.size(); ++row) {
        m_labelWidth = qMax(m_labelWidth, labelWidthOf(row));
        if (m_labelWidth >= m_maxLabelWidth) {
            m_labelWidth = m_maxLabelWidth;
            break;
        }
    }
}

int QtPropertyRowList::labelWidthOf(int row) const
{
    return depthOf(row) * m_indent + fontMetrics().horizontalAdvance(m_rows.at(row)->propertyName());
}

void QtPropertyRowList::layoutRows()
{
    // Setting the range may scroll, which lays the rows out again.
    if (m_inLayout)
        return;
    m_inLayout = true;
    m_layoutPending = false;
    ensureRows();
    const int rows = m_rows.size();
    const int height = viewport()->height();
    QScrollBar *bar = verticalScrollBar();
    bar->setRange(0, qMax(0, rows * m_rowHeight - height));
    bar->setPageStep(height);
    bar->setSingleStep(m_rowHeight);
    const int first = qMax(0, rowAt(0));
    const int end = qMin(rows, (bar->value() + height) / m_rowHeight + 1);

    // Editors leave with their rows, all of them when rows changed; one
    // holding the focus stays (out of view) until it loses it, so that
    // scrolling never throws a half-typed value away.
    const QWidget *focus = QApplication::focusWidget();
    for (auto it = m_shown.begin(); it != m_shown.end();) {
        const int row = it.key();
        QWidget *editor = it->editor;
        const bool same = !m_rowsChanged && row < rows && m_rows.at(row) == it->property;
        const bool inView = row >= first && row < end;
        const bool focused = editor && focus && (editor == focus || editor->isAncestorOf(focus));
        if (same && (inView || focused)) {
            ++it;
            continue;
        }
        if (editor)
            QtPropertyBrowserUtils::dropEditor(editor, this);
        it = m_shown.erase(it);
    }
    m_rowsChanged = false;
    for (int row = first; row < end; ++row) {
        if (m_shown.contains(row))
            continue;
        QtProperty *property = m_rows.at(row);
        QWidget *editor = m_makeEditor(property, viewport());
        m_shown.insert(row, {property, editor});
        // Its factory gone, the row shows its value as text.
        if (editor)
            connect(editor, &QObject::destroyed, viewport(), qOverload<>(&QWidget::update));
    }

    QWidget *previous = nullptr;
    int fieldHint = m_fieldWidth;
    for (auto it = m_shown.cbegin(); it != m_shown.cend(); ++it) {
        QWidget *editor = it->editor;
        if (!editor)
            continue;
        fieldHint = qMax(fieldHint, editor->sizeHint().width());
        const QRect field = fieldRect(it.key());
        const int editorHeight = qBound(1, editor->sizeHint().height(), field.height());
        editor->setGeometry(field.x(), field.y() + (field.height() - editorHeight) / 2, field.width(), editorHeight);
        editor->setEnabled(isRowEnabled(it.key()));
        editor->show();
        // Tab goes down the rows.
        if (previous)
            QWidget::setTabOrder(previous, editor);
        previous = editor;
    }
    // Fields ask to be as wide as the widest editor in view, as a form's
    // are for all of its rows.
    if (fieldHint > m_fieldHint) {
        m_fieldHint = fieldHint;
        updateGeometry();
    }
    viewport()->update();
    m_inLayout = false;
}

void QtPropertyRowList::scheduleLayout()
{
    if (m_layoutPending)
        return;
    m_layoutPending = true;
    QMetaObject::invokeMethod(this, &QtPropertyRowList::layoutRows, Qt::QueuedConnection);
}

bool QtPropertyRowList::isRowEnabled(int row) const
{
    for (; row >= 0; row = parentOf(row)) {
        if (!m_rows.at(row)->isEnabled())
            return false;
    }
    return true;
}

QRect QtPropertyRowList::labelRect(int row) const
{
    const int indent = row >= 0 && row < m_rows.size() ? depthOf(row) * m_indent : 0;
    const QRect rect(indent, rowRect(row).top() + (m_rowHeight - m_editorHeight) / 2, m_labelWidth - indent,
                     m_editorHeight);
    return QStyle::visualRect(layoutDirection(), viewport()->rect(), rect);
}

QRect QtPropertyRowList::fieldRect(int row) const
{
    const int x = m_labelWidth + m_spacing;
    const QRect rect(x, rowRect(row).top() + (m_rowHeight - m_editorHeight) / 2, viewport()->width() - x,
                     m_editorHeight);
    return QStyle::visualRect(layoutDirection(), viewport()->rect(), rect);
}

int QtPropertyRowList::rowAt(int y) const
{
    const int row = (y + verticalScrollBar()->value()) / m_rowHeight;
    return row >= 0 && row < rowCount() ? row : -1;
}
