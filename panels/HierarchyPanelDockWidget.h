#ifndef HIERARCHYPANELDOCKWIDGET_H
#define HIERARCHYPANELDOCKWIDGET_H

#include <QBrush>
#include <QDockWidget>
#include <QIcon>
#include <QList>
#include <QVarLengthArray>

class Glyph;
class HierarchyTreeWidget;
class QTreeWidgetItem;
class SoftType;
class TextGroup;
class TextObject;

// The text tree of the active document in three columns: passages, under
// them their outlined words and glyphs, under each glyph its SoftTypes, with
// an eye ("Visible") and a padlock ("Lock"). Selecting rows flips the
// selection of their objects; a click on the eye or the padlock, or on a
// SoftType row, asks the main window to act.
//
// A row holds no pointer: only its object's index among its parent's
// children (or the SoftType's index among its glyph's names). When the user
// acts, the dock resolves rows against the active scene's root group.
class HierarchyPanelDockWidget : public QDockWidget
{
    Q_OBJECT
public:
    explicit HierarchyPanelDockWidget(QWidget *parent = nullptr);
    ~HierarchyPanelDockWidget() override;

    // Brings the rows in line with the tree under root, in place: rows are
    // reused by position, a value is written only where it differs, new rows
    // are appended and surplus rows removed from the end. Emits nothing.
    void updateTree(TextGroup *root);
    // Removes every row.
    void clear();

signals:
    void visibleChanged(TextObject *object);
    void lockChanged(TextObject *object);
    void softTypeClicked(Glyph *glyph, SoftType *softType);
    // The objects whose selection in the document is to flip.
    void selectionChanged(QList<TextObject *> &objects);

private slots:
    void OnItemClicked(QTreeWidgetItem *item, int column);
    void OnItemSelectionChanged();
    void OnCurrentItemChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);

private:
    void updateItem(QTreeWidgetItem *item, TextObject *object, int index);
    void updateGroupItem(QTreeWidgetItem *item, TextGroup *group, int index);
    void updateGlyphItem(QTreeWidgetItem *item, Glyph *glyph, int index);
    void updateSoftTypeItem(QTreeWidgetItem *item, SoftType *softType, int index);
    // The columns every object row shares: flags, text, index, icons and
    // selection.
    void updateObjectColumns(QTreeWidgetItem *item, TextObject *object, int index, const QIcon &icon);

    TextObject *itemObject(QTreeWidgetItem *item, TextGroup *root) const;
    SoftType *itemSoftType(QTreeWidgetItem *item, TextObject *object) const;

    HierarchyTreeWidget *treeWidget;
    QList<QTreeWidgetItem *> lastSelection;
    QList<TextObject *> changedObjects;

    QIcon paragraphIcon;
    QIcon wordIcon;
    QIcon glyphIcon;
    QIcon softTypeIcon;
    QIcon eyeOpenIcon;
    QIcon eyeClosedIcon;
    QIcon lockedIcon;
    QIcon unlockedIcon;

    // Refresh state: the tint of a group with a selected descendant and the
    // place of the row being filled, its position under each ancestor.
    QBrush highlightTint;
    QVarLengthArray<int, 4> rowPath;
};

#endif // HIERARCHYPANELDOCKWIDGET_H
