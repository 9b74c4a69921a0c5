#ifndef QTBROWSERITEM_H
#define QTBROWSERITEM_H

#include <QList>

class QtProperty;

// One place where a browser shows a property: a property that is a
// sub-property of several shown properties has one item under each. A
// listed item shows all its descendants as the rows of one list and has no
// items below it: a property with a great many sub-properties costs an item
// per place, not one per row.
class QtBrowserItem
{
public:
    QtProperty *property() const { return m_property; }
    QtBrowserItem *parent() const { return m_parent; }
    QList<QtBrowserItem *> children() const { return m_children; }
    bool isListed() const { return m_listed; }

private:
    friend class QtAbstractPropertyBrowser;
    QtBrowserItem(QtProperty *property, QtBrowserItem *parent)
        : m_property(property), m_parent(parent)
    {
    }

    QtProperty *m_property;
    QtBrowserItem *m_parent;
    QList<QtBrowserItem *> m_children;
    bool m_listed = false;
};

#endif // QTBROWSERITEM_H
