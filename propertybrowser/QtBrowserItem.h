#ifndef QTBROWSERITEM_H
#define QTBROWSERITEM_H

#include <QList>

class QtProperty;

// One place where a browser shows a property: a property that is a
// sub-property of several shown properties has one item under each.
class QtBrowserItem
{
public:
    QtProperty *property() const { return m_property; }
    QtBrowserItem *parent() const { return m_parent; }
    QList<QtBrowserItem *> children() const { return m_children; }

private:
    friend class QtAbstractPropertyBrowser;
    QtBrowserItem(QtProperty *property, QtBrowserItem *parent)
        : m_property(property), m_parent(parent)
    {
    }

    QtProperty *m_property;
    QtBrowserItem *m_parent;
    QList<QtBrowserItem *> m_children;
};

#endif // QTBROWSERITEM_H
