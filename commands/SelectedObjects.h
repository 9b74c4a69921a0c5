#ifndef SELECTEDOBJECTS_H
#define SELECTEDOBJECTS_H

#include <QList>

class QVorrelScene;
class TextObject;

// The scene's selected, unlocked objects, taken once, when a command is built
// or at its first execute, and kept: undo and redo then act on the same
// objects whatever is selected by then (an undone removal puts its objects
// back unselected).
class SelectedObjects
{
public:
    // The scene's order of selection, or that of a forward post-order walk
    // of the tree (children before their group).
    enum Order { SelectionOrder, TreeOrder };

    // Nothing taken yet.
    explicit SelectedObjects(Order order) : m_order(order) {}
    // Taken now.
    SelectedObjects(QVorrelScene *scene, Order order) : m_order(order) { take(scene); }

    // Takes the objects at the first call; later calls keep them. True when
    // this call took them.
    bool take(QVorrelScene *scene);

    bool isEmpty() const { return m_objects.isEmpty(); }
    const QList<TextObject *> &list() const { return m_objects; }
    QList<TextObject *>::const_iterator begin() const { return m_objects.cbegin(); }
    QList<TextObject *>::const_iterator end() const { return m_objects.cend(); }

private:
    QList<TextObject *> m_objects;
    Order m_order;
    bool m_taken = false;
};

#endif // SELECTEDOBJECTS_H
