#include "panels/HierarchyPanelDockWidget.h"

#include "model/Glyph.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "panels/ActiveScene.h"
#include "panels/HierarchyTreeWidget.h"
#include "softtypes/SoftType.h"

#include <QApplication>
#include <QHeaderView>
#include <QSet>
#include <QSignalBlocker>
#include <QVarLengthArray>

namespace {

const Qt::ItemFlags ObjectFlags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
const Qt::ItemFlags SoftTypeFlags = Qt::ItemIsEnabled;

// A row's texts, icons and brushes are written through setData, which
// skips a value the row already holds; flags are not compared there.
void showFlags(QTreeWidgetItem *item, Qt::ItemFlags flags)
{
    if (item->flags() != flags)
        item->setFlags(flags);
}

// Glyph and SoftType rows have no background of their own; a row that
// showed a word before loses its tint.
void clearBackground(QTreeWidgetItem *item)
{
    if (item->data(0, Qt::BackgroundRole).isValid())
        item->setData(0, Qt::BackgroundRole, QVariant());
}

} // namespace

HierarchyPanelDockWidget::HierarchyPanelDockWidget(QWidget *parent)
    : QDockWidget(parent)
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("HierarchyPanelDockWidget"));
    resize(200, 272);
    setWindowTitle(tr("Hierarchy"));

    const QString dir = QStringLiteral(":/res/icon/HierarchyWidget/png/");
    paragraphIcon = QIcon(dir + QStringLiteral("paragraph.png"));
    wordIcon = QIcon(dir + QStringLiteral("word.png"));
    glyphIcon = QIcon(dir + QStringLiteral("glyph.png"));
    softTypeIcon = QIcon(dir + QStringLiteral("softtype.png"));
    eyeOpenIcon = QIcon(dir + QStringLiteral("eye-open.png"));
    eyeClosedIcon = QIcon(dir + QStringLiteral("eye-closed.png"));
    lockedIcon = QIcon(dir + QStringLiteral("lock-locked.png"));
    unlockedIcon = QIcon(dir + QStringLiteral("lock-unlocked.png"));

    treeWidget = new HierarchyTreeWidget(this);
    treeWidget->setColumnCount(3);
    treeWidget->setHeaderLabels({QStringLiteral("Text"), QStringLiteral("Visible"), QStringLiteral("Lock")});
    treeWidget->setHeaderHidden(true);
    QHeaderView *header = treeWidget->header();
    header->setStretchLastSection(false);
    // The styles' least section size (over 30 pixels) would widen the two
    // icon columns.
    header->setMinimumSectionSize(20);
    header->resizeSection(1, 20);
    header->setSectionResizeMode(1, QHeaderView::Fixed);
    header->resizeSection(2, 20);
    header->setSectionResizeMode(2, QHeaderView::Fixed);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    treeWidget->setSelectionBehavior(QAbstractItemView::SelectRows);
    treeWidget->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Every row is one line of text with a 16-pixel icon.
    treeWidget->setUniformRowHeights(true);

    setWidget(treeWidget);
    connect(treeWidget, &QTreeWidget::itemClicked, this, &HierarchyPanelDockWidget::OnItemClicked);
    connect(treeWidget, &QTreeWidget::itemSelectionChanged, this, &HierarchyPanelDockWidget::OnItemSelectionChanged);
    connect(treeWidget, &QTreeWidget::currentItemChanged, this, &HierarchyPanelDockWidget::OnCurrentItemChanged);
}

HierarchyPanelDockWidget::~HierarchyPanelDockWidget() = default;

void HierarchyPanelDockWidget::updateTree(TextGroup *root)
{
    {
        const QSignalBlocker blocker(treeWidget);
        QColor tint = QApplication::palette().brush(QPalette::Current, QPalette::Highlight).color();
        tint.setAlpha(50);
        highlightTint = QBrush(tint);

        treeWidget->beginRefresh();
        const int n = root ? root->count() : 0;
        const int m = treeWidget->topLevelItemCount();
        for (int i = 0; i < n; ++i) {
            rowPath.append(i);
            updateItem(i < m ? treeWidget->topLevelItem(i) : treeWidget->appendRow(nullptr), root->childAt(i), i);
            rowPath.removeLast();
        }
        treeWidget->removeRows(nullptr, n);
        lastSelection = treeWidget->endRefresh();
    }
}

void HierarchyPanelDockWidget::clear()
{
    {
        // Emptying the tree deselects its rows: that is no user edit.
        const QSignalBlocker blocker(treeWidget);
        treeWidget->clear();
    }
    // The rows are gone; a later selection change must not look at them.
    lastSelection.clear();
}

void HierarchyPanelDockWidget::updateItem(QTreeWidgetItem *item, TextObject *object, int index)
{
    if (object->textType() == TextObject::GlyphType)
        updateGlyphItem(item, static_cast<Glyph *>(object), index);
    else
        updateGroupItem(item, static_cast<TextGroup *>(object), index);
}

void HierarchyPanelDockWidget::updateObjectColumns(QTreeWidgetItem *item, TextObject *object, int index,
                                                   const QIcon &icon)
{
    showFlags(item, ObjectFlags);
    item->setText(0, object->text());
    item->setData(0, Qt::UserRole, index);
    item->setIcon(0, icon);
    item->setIcon(1, object->isVisible() ? eyeOpenIcon : eyeClosedIcon);
    item->setIcon(2, object->isLocked() ? lockedIcon : unlockedIcon);
    treeWidget->keepSelected(item, object->isSelected(), rowPath.constData(), rowPath.size());
}

void HierarchyPanelDockWidget::updateGroupItem(QTreeWidgetItem *item, TextGroup *group, int index)
{
    updateObjectColumns(item, group, index, group->isPassage() ? paragraphIcon : wordIcon);
    const bool tinted = !group->isSelected() && group->hasSelectedDescendant();
    item->setBackground(0, tinted ? highlightTint : QBrush(Qt::transparent));

    // One row per outlined child, reused by position; new rows are appended.
    const QList<TextObject *> &children = group->children();
    const int existing = item->childCount();
    int k = 0;
    for (int i = 0; i < children.size(); ++i) {
        TextObject *child = children.at(i);
        if (!child->hasOutline())
            continue;
        rowPath.append(k);
        updateItem(k < existing ? item->child(k) : treeWidget->appendRow(item), child, i);
        rowPath.removeLast();
        ++k;
    }
    treeWidget->removeRows(item, k);
}

void HierarchyPanelDockWidget::updateGlyphItem(QTreeWidgetItem *item, Glyph *glyph, int index)
{
    updateObjectColumns(item, glyph, index, glyphIcon);
    clearBackground(item);

    // Most glyphs carry no SoftType: skip building an empty list of names.
    const QStringList names = glyph->softTypes().isEmpty() ? QStringList() : glyph->softTypeNames();
    const int existing = item->childCount();
    for (int i = 0; i < names.size(); ++i)
        updateSoftTypeItem(i < existing ? item->child(i) : treeWidget->appendRow(item), glyph->findSoftType(names.at(i)), i);
    treeWidget->removeRows(item, names.size());
}

void HierarchyPanelDockWidget::updateSoftTypeItem(QTreeWidgetItem *item, SoftType *softType, int index)
{
    // A row that stood for an object before keeps neither its selection nor
    // its rows below: a SoftType row is a leaf and never selected. The
    // selection goes while the row is still selectable.
    if (item->isSelected())
        treeWidget->dropSelection();
    treeWidget->removeRows(item, 0);
    showFlags(item, SoftTypeFlags);
    item->setText(0, softType ? softType->name() : QString());
    item->setData(0, Qt::UserRole, index);
    item->setIcon(0, softTypeIcon);
    item->setIcon(1, QIcon());
    item->setIcon(2, QIcon());
    clearBackground(item);
}

TextObject *HierarchyPanelDockWidget::itemObject(QTreeWidgetItem *item, TextGroup *root) const
{
    if (!item || !root)
        return nullptr;
    QVarLengthArray<int, 3> path;
    for (QTreeWidgetItem *row = item; row; row = row->parent()) {
        if (path.size() == 3)
            return nullptr;
        path.append(row->data(0, Qt::UserRole).toInt());
    }
    TextObject *object = root;
    for (int d = path.size() - 1; d >= 0; --d) {
        TextGroup *group = qobject_cast<TextGroup *>(object);
        object = group ? group->childAt(path[d]) : nullptr;
        if (!object)
            return nullptr;
    }
    return object;
}

SoftType *HierarchyPanelDockWidget::itemSoftType(QTreeWidgetItem *item, TextObject *object) const
{
    Glyph *glyph = qobject_cast<Glyph *>(object);
    if (!item || !glyph)
        return nullptr;
    const QStringList names = glyph->softTypeNames();
    const int i = item->data(0, Qt::UserRole).toInt();
    if (i < 0 || i >= names.size())
        return nullptr;
    return glyph->findSoftType(names.at(i));
}

void HierarchyPanelDockWidget::OnItemClicked(QTreeWidgetItem *item, int column)
{
    QVorrelScene *scene = ActiveScene::get();
    if (!scene)
        return;
    if (column == 1) {
        if (TextObject *object = itemObject(item, scene->root()))
            emit visibleChanged(object);
    } else if (column == 2) {
        if (TextObject *object = itemObject(item, scene->root()))
            emit lockChanged(object);
    } else if (column == 0 && item) {
        Glyph *glyph = qobject_cast<Glyph *>(itemObject(item->parent(), scene->root()));
        if (SoftType *softType = itemSoftType(item, glyph))
            emit softTypeClicked(glyph, softType);
    }
}

void HierarchyPanelDockWidget::OnItemSelectionChanged()
{
    QVorrelScene *scene = ActiveScene::get();
    if (!scene)
        return;
    TextGroup *root = scene->root();
    const QList<QTreeWidgetItem *> current = treeWidget->selectedItems();
    // Sets, so that a large selection is compared in linear time.
    const QSet<QTreeWidgetItem *> currentRows(current.cbegin(), current.cend());
    const QSet<QTreeWidgetItem *> lastRows(lastSelection.cbegin(), lastSelection.cend());

    changedObjects.clear();
    for (QTreeWidgetItem *row : qAsConst(lastSelection)) {
        if (currentRows.contains(row))
            continue;
        if (TextObject *object = itemObject(row, root))
            changedObjects.append(object);
    }
    for (QTreeWidgetItem *row : current) {
        if (lastRows.contains(row))
            continue;
        TextObject *object = itemObject(row, root);
        if (object && !object->hasSelectedDescendant() && !object->hasSelectedAncestor())
            changedObjects.append(object);
    }
    lastSelection = current;
    emit selectionChanged(changedObjects);
}

void HierarchyPanelDockWidget::OnCurrentItemChanged(QTreeWidgetItem *, QTreeWidgetItem *)
{
}
