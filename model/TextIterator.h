#ifndef TEXTITERATOR_H
#define TEXTITERATOR_H

#include <QList>

#include <utility>

class TextObject;

// A walk of the subtree below (and including) a root. Forward visits
// children first to last, backward last to first; post-order yields every
// object after its descendants, pre-order before them. A missing direction
// means forward, a missing order post-order; when both are given, forward
// and post-order win. Used once, from construction to the end.
class TextIterator
{
public:
    enum Flag { Forward = 1, Backward = 2, PostOrder = 4, PreOrder = 8 };

    TextIterator(TextObject *root, int flags);
    virtual ~TextIterator();

    int flags() const { return m_flags; }
    bool hasNext() const { return !m_pending.isEmpty(); }
    // The next object; only while hasNext is true.
    TextObject *next();
    // The next object for which accept is true, or null at the end.
    template<typename Accept>
    TextObject *nextMatching(Accept accept)
    {
        while (hasNext()) {
            TextObject *o = next();
            if (accept(o))
                return o;
        }
        return nullptr;
    }

private:
    bool isForward() const { return m_flags & Forward; }
    // Post-order: stacks the object and its first (or last) descendants.
    void descend(TextObject *object);

    int m_flags;
    // Post-order uses the end of the list as the top of its stack,
    // pre-order the front.
    QList<TextObject *> m_pending;
};

// Everything a forward post-order walk of the subtree below root yields,
// in walk order, gathered before the caller changes any of it. Iterator is
// TextIterator or a walk built on it (GlyphIterator, SelectedIterator).
template<typename Iterator = TextIterator>
QList<decltype(std::declval<Iterator &>().next())> walkList(TextObject *root)
{
    QList<decltype(std::declval<Iterator &>().next())> objects;
    Iterator it(root, TextIterator::Forward | TextIterator::PostOrder);
    while (it.hasNext())
        objects.append(it.next());
    return objects;
}

#endif // TEXTITERATOR_H
