#ifndef QTBROWSERITEM_H
#define QTBROWSERITEM_H

#include <QList>

class QtAbstractPropertyBrowser;
class QtProperty;

// One place where a browser shows a property: a property that is a
// sub-property of several shown properties has one item under each.
class QtBrowserItem
{
public:
    QtProperty *property() const { return m_property; }
    QtBrowserItem *parent() const { return m_parent; }
    QList<QtBrowserItem *> children() const { return m_children; }
    QtAbstractPropertyBrowser *browser() const { return m_browser; }

private:
    friend class QtAbstractPropertyBrowser;
    QtBrowserItem(QtAbstractPropertyBrowser *browser, QtProperty *property, QtBrowserItem *parent)
        : m_browser(browser), m_property(property), m_parent(parent)
    {
    }

    QtAbstractPropertyBrowser *m_browser;
    QtProperty *m_property;
    QtBrowserItem *m_parent;
    QList<QtBrowserItem *> m_children;
};

#endif // QTBROWSERITEM_H
