#ifndef HIERARCHYPANELDOCKWIDGET_H
#define HIERARCHYPANELDOCKWIDGET_H

#include <QBrush>
#include <QDockWidget>
#include <QIcon>
#include <QList>

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
    // are added in one batch at the end of their parent and surplus rows
    // removed from the end. Emits nothing.
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
    // Notes the row's selection; the tree takes all of them together at the
    // end of the update.
    void setSelected(QTreeWidgetItem *item, bool selected);
    // Gives item exactly count children: surplus ones are destroyed, missing
    // ones appended empty in one batch; returns how many existed before.
    int fitChildren(QTreeWidgetItem *item, int count);

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

    // Refresh state: the tint of a group with a selected descendant, the
    // rows to be selected (new rows among them, not in the tree yet) and
    // whether any row's selection changes.
    QBrush highlightTint;
    QList<QTreeWidgetItem *> rowsToSelect;
    bool selectionDiffers = false;
};

#endif // HIERARCHYPANELDOCKWIDGET_H
