#ifndef QTABSTRACTPROPERTYBROWSER_H
#define QTABSTRACTPROPERTYBROWSER_H

#include "propertybrowser/QtAbstractEditorFactory.h"
#include "propertybrowser/QtBrowserItem.h"

#include <QHash>
#include <QList>
#include <QWidget>

// Shows top-level properties and, below them, their sub-properties, as a
// tree of items that follows the managers' insertions, removals, changes and
// deletions. Editors come from the factory set for a property's manager.
// A concrete browser builds its widgets in itemInserted/itemRemoved/
// itemChanged and calls clear() in its destructor. It may show a property's
// descendants as one list (showsAsList): their item is then listed, and the
// browser hears of their changes through listedChanged and
// listedRowsChanged. Adding, changing and removing listed rows costs the
// same whatever their number.
class QtAbstractPropertyBrowser : public QWidget
{
    Q_OBJECT
public:
    explicit QtAbstractPropertyBrowser(QWidget *parent = nullptr);
    ~QtAbstractPropertyBrowser() override;

    QList<QtProperty *> properties() const { return m_properties; }
    QList<QtBrowserItem *> topLevelItems() const { return m_topLevelItems; }
    // The places the property is shown at; none where it is only a row of a
    // listed item.
    QList<QtBrowserItem *> items(const QtProperty *property) const { return m_items.value(property); }

    // Appends a top-level property (once).
    void addProperty(QtProperty *property);
    // Inserts after afterProperty (null: at the front).
    void insertProperty(QtProperty *property, QtProperty *afterProperty);
    void removeProperty(QtProperty *property);
    void clear();

    // Editors for the manager's properties come from the factory. Only items
    // inserted afterwards get editors from it.
    template <class Manager>
    void setFactoryForManager(Manager *manager, QtAbstractEditorFactory<Manager> *factory)
    {
        factory->addPropertyManager(manager);
        registerFactory(manager, factory);
    }
    void unsetFactoryForManager(QtAbstractPropertyManager *manager);

protected:
    // Called once the item sits in the tree; its sub-items follow.
    virtual void itemInserted(QtBrowserItem *item, QtBrowserItem *afterItem) = 0;
    // Called after the item's sub-items are gone, while it is still in the tree.
    virtual void itemRemoved(QtBrowserItem *item) = 0;
    virtual void itemChanged(QtBrowserItem *item) = 0;
    // Whether an item of the property is to list its descendants; asked when
    // the item is made, and again as sub-properties join an unlisted one.
    virtual bool showsAsList(const QtProperty *property) const;
    // A descendant of a listed item changed (its value, name, state).
    virtual void listedChanged(QtBrowserItem *item, QtProperty *property);
    // Descendants joined or left a listed item. Several may follow at once:
    // the browser takes in the new rows when it next lays them out.
    virtual void listedRowsChanged(QtBrowserItem *item);
    // An editor from the factory of the property's manager, or null.
    QWidget *createEditor(QtProperty *property, QWidget *parent);

private:
    void registerFactory(QtAbstractPropertyManager *manager, QtAbstractEditorFactoryBase *factory);
    QtBrowserItem *insertItem(QtProperty *property, QtBrowserItem *parent, QtBrowserItem *afterItem);
    void removeItem(QtBrowserItem *item);
    QtBrowserItem *childItem(const QtBrowserItem *parent, const QtProperty *property) const;
    // Listens to the managers of the property and of all its descendants.
    void watchManagers(QtProperty *property);
    void watchManager(const QtAbstractPropertyManager *manager);
    // The listed items that show the property among their descendants, or
    // are the property's own: walks the parents up.
    QList<QtBrowserItem *> listedItemsOver(QtProperty *property, bool itself) const;
    // Makes the item again in its place, listed or not as the browser now says.
    void remakeItem(QtBrowserItem *item);

    void slotPropertyInserted(QtProperty *property, QtProperty *parent, QtProperty *after);
    void slotPropertyRemoved(QtProperty *property, QtProperty *parent);
    void slotPropertyChanged(QtProperty *property);
    void slotPropertyDestroyed(QtProperty *property);
    void slotFactoryDestroyed(QObject *factory);
    void slotManagerDestroyed(QObject *manager);

    QList<QtProperty *> m_properties;
    QList<QtBrowserItem *> m_topLevelItems;
    QHash<const QtProperty *, QList<QtBrowserItem *>> m_items;
    QHash<const QtAbstractPropertyManager *, QtAbstractEditorFactoryBase *> m_factories;
    int m_listedItems = 0;
};

#endif // QTABSTRACTPROPERTYBROWSER_H
