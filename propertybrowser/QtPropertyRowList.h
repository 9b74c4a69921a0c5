#ifndef QTPROPERTYROWLIST_H
#define QTPROPERTYROWLIST_H

#include <QAbstractScrollArea>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QVector>
#include <functional>

class QtProperty;

// The descendants of one property as the rows of a scrolled list, each its
// name and the value's editor, or the value's text where the property has
// no editor; a sub-property's row follows its parent's, indented. All rows
// are of one height and laid out on the fly: only the rows in view have
// editors, made as they come into view and dropped as they leave it, so a
// list of a hundred thousand rows costs a few words per row. Tab and Backtab
// go from row to row, scrolling the next one into view.
class QtPropertyRowList : public QAbstractScrollArea
{
    Q_OBJECT
public:
    // Makes the editor of a row's property in the given parent, or null.
    using EditorMaker = std::function<QWidget *(QtProperty *property, QWidget *parent)>;

    QtPropertyRowList(QtProperty *root, EditorMaker makeEditor, QWidget *parent = nullptr);
    ~QtPropertyRowList() override;

    // A listed property changed: its row and its editor's state follow.
    void propertyChanged(QtProperty *property);
    // Rows joined or left: taken in when the list is laid out next.
    void rowsChanged();

    int rowCount() const;
    QtProperty *rowProperty(int row) const;
    // The row's editor while the row is in view; null otherwise.
    QWidget *rowEditor(int row) const;
    // Where the row is drawn, in the viewport's coordinates.
    QRect rowRect(int row) const;
    void scrollToRow(int row);
    // Scrolls as little as brings the row whole into view.
    void ensureRowVisible(int row);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // Where a row stands in the tree.
    struct Nesting
    {
        int parent; // the row of the parent property, -1 under the root
        int depth;
    };
    struct Shown
    {
        QtProperty *property;
        QPointer<QWidget> editor;
    };

    void measure();
    void ensureRows() const;
    void layoutRows();
    void scheduleLayout();
    bool isRowEnabled(int row) const;
    int depthOf(int row) const { return m_nesting.isEmpty() ? 0 : m_nesting.at(row).depth; }
    int parentOf(int row) const { return m_nesting.isEmpty() ? -1 : m_nesting.at(row).parent; }
    int labelWidthOf(int row) const;
    QRect labelRect(int row) const;
    QRect fieldRect(int row) const;
    int rowAt(int y) const;

    QtProperty *m_root;
    EditorMaker m_makeEditor;
    // Built from the tree when first needed after a change of rows: the
    // listed properties in order and, unless each is a sub-property of the
    // root without sub-properties of its own, where each stands. A flat list
    // is the root's own list of sub-properties, shared: a SoftType's hundred
    // thousand rows cost nothing of their own.
    mutable QList<QtProperty *> m_rows;
    mutable QVector<Nesting> m_nesting;
    mutable bool m_rowsDirty = true;
    mutable int m_labelWidth = 0;
    // Rows changed since the editors were made: they are all made anew.
    bool m_rowsChanged = false;
    bool m_layoutPending = false;
    bool m_inLayout = false;
    // Measured from the style and font: an editor's height, a row's (the
    // editor's and the spacing between rows), the field's preferred width,
    // the spacing between label and field, a level's indent, and the widest
    // a label column grows before long names are elided.
    int m_editorHeight = 0;
    int m_rowHeight = 1;
    int m_fieldWidth = 0;
    // The field's width asked for: the widest editor's yet laid out.
    int m_fieldHint = 0;
    int m_spacing = 0;
    int m_indent = 0;
    int m_maxLabelWidth = 0;
    // The rows with editors (or none) made, by row.
    QMap<int, Shown> m_shown;
};

#endif // QTPROPERTYROWLIST_H
