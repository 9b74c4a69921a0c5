#ifndef QTGROUPBOXPROPERTYBROWSER_H
#define QTGROUPBOXPROPERTYBROWSER_H

#include "propertybrowser/QtAbstractPropertyBrowser.h"

#include <QHash>

class QFormLayout;
class QGroupBox;
class QLabel;
class QVBoxLayout;
class QtPropertyRowList;

// Shows each top-level property as a group box titled with its name, and
// its sub-properties as labelled rows inside it; a sub-property with
// sub-properties of its own gets a nested box under its value. A disabled
// property disables its row, or its whole box. A box of more than a hundred
// rows lists them instead (QtPropertyRowList), all its descendants in one
// scrolled list in which only the rows in view have widgets.
class QtGroupBoxPropertyBrowser : public QtAbstractPropertyBrowser
{
    Q_OBJECT
public:
    explicit QtGroupBoxPropertyBrowser(QWidget *parent = nullptr);
    ~QtGroupBoxPropertyBrowser() override;

protected:
    void itemInserted(QtBrowserItem *item, QtBrowserItem *afterItem) override;
    void itemRemoved(QtBrowserItem *item) override;
    void itemChanged(QtBrowserItem *item) override;
    bool showsAsList(const QtProperty *property) const override;
    void listedChanged(QtBrowserItem *item, QtProperty *property) override;
    void listedRowsChanged(QtBrowserItem *item) override;

private:
    struct View
    {
        QLabel *label = nullptr;       // the row's name (sub-properties only)
        QWidget *field = nullptr;      // the row's field, or the top-level group box
        QVBoxLayout *fieldLayout = nullptr;
        QWidget *editor = nullptr;
        QLabel *valueLabel = nullptr;  // the value's text while there is no editor
        QGroupBox *box = nullptr;      // holds the sub-property rows
        QFormLayout *rows = nullptr;
        QtPropertyRowList *list = nullptr; // instead of rows, for a listed item
    };

    void addValueWidget(QtBrowserItem *item, View &view);
    void showValueLabel(View &view, QtProperty *property);
    QFormLayout *rowsOf(View &view);
    void addList(QtBrowserItem *item, View &view, QVBoxLayout *boxLayout);
    void editorDestroyed(QObject *editor);

    QVBoxLayout *m_layout;
    QHash<QtBrowserItem *, View> m_views;
    QHash<QObject *, QtBrowserItem *> m_editorItems;
};

#endif // QTGROUPBOXPROPERTYBROWSER_H
