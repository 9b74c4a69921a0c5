#include "propertybrowser/QtAbstractPropertyBrowser.h"

#include "propertybrowser/QtAbstractPropertyManager.h"

#include <QVarLengthArray>
#include <QVector>

#include <algorithm>

namespace {
void deleteTree(QtBrowserItem *item)
{
    for (QtBrowserItem *child : item->children())
        deleteTree(child);
    delete item;
}
} // namespace

QtAbstractPropertyBrowser::QtAbstractPropertyBrowser(QWidget *parent)
    : QWidget(parent)
{
}

QtAbstractPropertyBrowser::~QtAbstractPropertyBrowser()
{
    // Concrete browsers clear() in their destructors; this only frees what
    // a subclass left without telling it.
    for (QtBrowserItem *item : qAsConst(m_topLevelItems))
        deleteTree(item);
}

void QtAbstractPropertyBrowser::addProperty(QtProperty *property)
{
    insertProperty(property, m_properties.isEmpty() ? nullptr : m_properties.last());
}

void QtAbstractPropertyBrowser::insertProperty(QtProperty *property, QtProperty *afterProperty)
{
    if (!property || m_properties.contains(property))
        return;
    const int index = afterProperty ? m_properties.indexOf(afterProperty) + 1 : 0;
    if (afterProperty && index == 0)
        return;
    m_properties.insert(index, property);
    insertItem(property, nullptr, index > 0 ? m_topLevelItems.at(index - 1) : nullptr);
}

void QtAbstractPropertyBrowser::removeProperty(QtProperty *property)
{
    const int index = m_properties.indexOf(property);
    if (index < 0)
        return;
    m_properties.removeAt(index);
    removeItem(m_topLevelItems.at(index));
}

void QtAbstractPropertyBrowser::clear()
{
    while (!m_properties.isEmpty())
        removeProperty(m_properties.last());
}

void QtAbstractPropertyBrowser::unsetFactoryForManager(QtAbstractPropertyManager *manager)
{
    m_factories.remove(manager);
}

QWidget *QtAbstractPropertyBrowser::createEditor(QtProperty *property, QWidget *parent)
{
    QtAbstractEditorFactoryBase *factory = m_factories.value(property->propertyManager());
    return factory ? factory->createEditor(property, parent) : nullptr;
}

void QtAbstractPropertyBrowser::registerFactory(QtAbstractPropertyManager *manager,
                                                QtAbstractEditorFactoryBase *factory)
{
    m_factories.insert(manager, factory);
    connect(factory, &QObject::destroyed, this, &QtAbstractPropertyBrowser::slotFactoryDestroyed,
            Qt::UniqueConnection);
    connect(manager, &QObject::destroyed, this, &QtAbstractPropertyBrowser::slotManagerDestroyed,
            Qt::UniqueConnection);
}

QtBrowserItem *QtAbstractPropertyBrowser::insertItem(QtProperty *property, QtBrowserItem *parent,
                                                     QtBrowserItem *afterItem)
{
    auto *item = new QtBrowserItem(property, parent);
    QList<QtBrowserItem *> &siblings = parent ? parent->m_children : m_topLevelItems;
    int index = 0;
    if (afterItem)
        index = siblings.last() == afterItem ? siblings.size() : siblings.indexOf(afterItem) + 1;
    siblings.insert(index, item);
    m_items[property].append(item);
    watchManager(property->propertyManager());
    item->m_listed = showsAsList(property);
    if (item->m_listed) {
        ++m_listedItems;
        watchManagers(property);
    }

    itemInserted(item, afterItem);
    if (item->m_listed)
        return item;
    QtBrowserItem *previous = nullptr;
    for (QtProperty *child : property->subProperties())
        previous = insertItem(child, item, previous);
    return item;
}

void QtAbstractPropertyBrowser::removeItem(QtBrowserItem *item)
{
    while (!item->m_children.isEmpty())
        removeItem(item->m_children.last());
    itemRemoved(item);
    if (item->m_listed)
        --m_listedItems;
    // Items go from the back when the browser clears and from the front
    // when their properties are deleted in order: both are found at once.
    QList<QtBrowserItem *> &siblings = item->m_parent ? item->m_parent->m_children : m_topLevelItems;
    if (!siblings.isEmpty() && siblings.last() == item)
        siblings.removeLast();
    else
        siblings.removeOne(item);
    const auto it = m_items.find(item->m_property);
    it->removeOne(item);
    if (it->isEmpty())
        m_items.erase(it);
    delete item;
}

QtBrowserItem *QtAbstractPropertyBrowser::childItem(const QtBrowserItem *parent, const QtProperty *property) const
{
    for (QtBrowserItem *child : parent->m_children) {
        if (child->m_property == property)
            return child;
    }
    return nullptr;
}

void QtAbstractPropertyBrowser::watchManagers(QtProperty *property)
{
    // A few managers serve many properties: each is connected once. The
    // tree is walked level by level, each level reading its parent's own
    // list: a property of a hundred thousand sub-properties costs no copy.
    QVarLengthArray<const QtAbstractPropertyManager *, 8> managers;
    struct Level
    {
        QList<QtProperty *> children;
        int next;
    };
    QVector<Level> levels{{QList<QtProperty *>{property}, 0}};
    while (!levels.isEmpty()) {
        Level &level = levels.last();
        if (level.next == level.children.size()) {
            levels.removeLast();
            continue;
        }
        QtProperty *next = level.children.at(level.next++);
        if (std::find(managers.cbegin(), managers.cend(), next->propertyManager()) == managers.cend())
            managers.append(next->propertyManager());
        const QList<QtProperty *> children = next->subProperties();
        if (!children.isEmpty())
            levels.append({children, 0});
    }
    for (const QtAbstractPropertyManager *manager : managers)
        watchManager(manager);
}

void QtAbstractPropertyBrowser::watchManager(const QtAbstractPropertyManager *manager)
{
    connect(manager, &QtAbstractPropertyManager::propertyInserted,
            this, &QtAbstractPropertyBrowser::slotPropertyInserted, Qt::UniqueConnection);
    connect(manager, &QtAbstractPropertyManager::propertyRemoved,
            this, &QtAbstractPropertyBrowser::slotPropertyRemoved, Qt::UniqueConnection);
    connect(manager, &QtAbstractPropertyManager::propertyChanged,
            this, &QtAbstractPropertyBrowser::slotPropertyChanged, Qt::UniqueConnection);
    connect(manager, &QtAbstractPropertyManager::propertyDestroyed,
            this, &QtAbstractPropertyBrowser::slotPropertyDestroyed, Qt::UniqueConnection);
}

QList<QtBrowserItem *> QtAbstractPropertyBrowser::listedItemsOver(QtProperty *property, bool itself) const
{
    QList<QtBrowserItem *> listed;
    if (m_listedItems == 0)
        return listed;
    QVarLengthArray<QtProperty *, 8> todo;
    QVarLengthArray<const QtProperty *, 8> seen;
    if (itself)
        todo.append(property);
    else
        for (QtProperty *parent : property->parentProperties())
            todo.append(parent);
    while (!todo.isEmpty()) {
        QtProperty *next = todo.last();
        todo.removeLast();
        if (std::find(seen.cbegin(), seen.cend(), next) != seen.cend())
            continue;
        seen.append(next);
        for (QtBrowserItem *item : m_items.value(next)) {
            if (item->m_listed)
                listed.append(item);
        }
        for (QtProperty *parent : next->parentProperties())
            todo.append(parent);
    }
    return listed;
}

void QtAbstractPropertyBrowser::remakeItem(QtBrowserItem *item)
{
    QtProperty *property = item->m_property;
    QtBrowserItem *parent = item->m_parent;
    const QList<QtBrowserItem *> &siblings = parent ? parent->m_children : m_topLevelItems;
    const int index = siblings.indexOf(item);
    QtBrowserItem *after = index > 0 ? siblings.at(index - 1) : nullptr;
    removeItem(item);
    insertItem(property, parent, after);
}

bool QtAbstractPropertyBrowser::showsAsList(const QtProperty *) const
{
    return false;
}

void QtAbstractPropertyBrowser::listedChanged(QtBrowserItem *, QtProperty *)
{
}

void QtAbstractPropertyBrowser::listedRowsChanged(QtBrowserItem *)
{
}

void QtAbstractPropertyBrowser::slotPropertyInserted(QtProperty *property, QtProperty *parent, QtProperty *after)
{
    const QList<QtBrowserItem *> parentItems = m_items.value(parent);
    for (QtBrowserItem *parentItem : parentItems) {
        if (parentItem->m_listed)
            continue;
        // Grown too long for rows of their own: the parent lists them now.
        if (showsAsList(parent))
            remakeItem(parentItem);
        else
            insertItem(property, parentItem, after ? childItem(parentItem, after) : nullptr);
    }
    const QList<QtBrowserItem *> listed = listedItemsOver(parent, true);
    if (!listed.isEmpty())
        watchManagers(property);
    for (QtBrowserItem *item : listed)
        listedRowsChanged(item);
}

void QtAbstractPropertyBrowser::slotPropertyRemoved(QtProperty *property, QtProperty *parent)
{
    const QList<QtBrowserItem *> parentItems = m_items.value(parent);
    for (QtBrowserItem *parentItem : parentItems) {
        if (parentItem->m_listed)
            continue;
        if (QtBrowserItem *item = childItem(parentItem, property))
            removeItem(item);
    }
    for (QtBrowserItem *item : listedItemsOver(parent, true))
        listedRowsChanged(item);
}

void QtAbstractPropertyBrowser::slotPropertyChanged(QtProperty *property)
{
    const QList<QtBrowserItem *> items = m_items.value(property);
    for (QtBrowserItem *item : items)
        itemChanged(item);
    for (QtBrowserItem *item : listedItemsOver(property, false))
        listedChanged(item, property);
}

void QtAbstractPropertyBrowser::slotPropertyDestroyed(QtProperty *property)
{
    // The property has left its parents already; only a top-level place remains.
    removeProperty(property);
}

void QtAbstractPropertyBrowser::slotFactoryDestroyed(QObject *factory)
{
    for (auto it = m_factories.begin(); it != m_factories.end();) {
        if (static_cast<QObject *>(it.value()) == factory)
            it = m_factories.erase(it);
        else
            ++it;
    }
}

void QtAbstractPropertyBrowser::slotManagerDestroyed(QObject *manager)
{
    for (auto it = m_factories.begin(); it != m_factories.end();) {
        if (static_cast<const QObject *>(it.key()) == manager)
            it = m_factories.erase(it);
        else
            ++it;
    }
}
