#ifndef QTGROUPBOXPROPERTYBROWSER_H
#define QTGROUPBOXPROPERTYBROWSER_H

#include "propertybrowser/QtAbstractPropertyBrowser.h"

#include <QHash>

class QFormLayout;
class QGroupBox;
class QLabel;
class QVBoxLayout;

// Shows each top-level property as a group box titled with its name, and
// its sub-properties as labelled rows inside it; a sub-property with
// sub-properties of its own gets a nested box under its value. A disabled
// property disables its row, or its whole box.
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
    };

    void addValueWidget(QtBrowserItem *item, View &view);
    void showValueLabel(View &view, QtProperty *property);
    QFormLayout *rowsOf(View &view);
    void editorDestroyed(QObject *editor);
    void dropEditor(QWidget *editor);

    QVBoxLayout *m_layout;
    QHash<QtBrowserItem *, View> m_views;
    QHash<QObject *, QtBrowserItem *> m_editorItems;
};

#endif // QTGROUPBOXPROPERTYBROWSER_H
