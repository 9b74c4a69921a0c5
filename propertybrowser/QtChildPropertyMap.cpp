#include "propertybrowser/QtChildPropertyMap.h"

#include "propertybrowser/QtProperty.h"

void QtChildPropertyMap::insert(QtProperty *parent, const QVector<QtProperty *> &children)
{
    m_children.insert(parent, children);
    for (int i = 0; i < children.size(); ++i)
        m_links.insert(children[i], Link{parent, i});
}

QtProperty *QtChildPropertyMap::child(const QtProperty *parent, int index) const
{
    return m_children.value(parent).value(index);
}

QtProperty *QtChildPropertyMap::parentOf(const QtProperty *child, int *index) const
{
    const auto it = m_links.constFind(child);
    if (it == m_links.constEnd())
        return nullptr;
    *index = it->index;
    return it->parent;
}

void QtChildPropertyMap::forgetChild(const QtProperty *child)
{
    const auto it = m_links.find(child);
    if (it == m_links.end())
        return;
    m_children[it->parent][it->index] = nullptr;
    m_links.erase(it);
}

void QtChildPropertyMap::deleteChildren(const QtProperty *parent)
{
    const QVector<QtProperty *> children = m_children.take(parent);
    for (QtProperty *child : children) {
        if (child) {
            m_links.remove(child);
            delete child;
        }
    }
}
