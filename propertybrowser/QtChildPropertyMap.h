#ifndef QTCHILDPROPERTYMAP_H
#define QTCHILDPROPERTYMAP_H

#include <QHash>
#include <QVector>

class QtProperty;

// Links a composite property (a point, a rectangle) to the sub-properties
// that edit its components, by component index. A child deleted on its own
// is forgotten; deleteChildren deletes what remains of a parent's children.
class QtChildPropertyMap
{
public:
    void insert(QtProperty *parent, const QVector<QtProperty *> &children);
    QtProperty *child(const QtProperty *parent, int index) const;
    // The parent of a child and the child's index; null when unknown.
    QtProperty *parentOf(const QtProperty *child, int *index) const;
    void forgetChild(const QtProperty *child);
    void deleteChildren(const QtProperty *parent);

private:
    struct Link
    {
        QtProperty *parent;
        int index;
    };
    QHash<const QtProperty *, QVector<QtProperty *>> m_children;
    QHash<const QtProperty *, Link> m_links;
};

#endif // QTCHILDPROPERTYMAP_H
