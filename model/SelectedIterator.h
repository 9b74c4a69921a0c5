#ifndef SELECTEDITERATOR_H
#define SELECTEDITERATOR_H

#include "model/TextIterator.h"

// The selected objects of a walk, groups and glyphs alike (see
// TextIterator for the flags).
class SelectedIterator
{
public:
    SelectedIterator(TextObject *root, int flags);
    virtual ~SelectedIterator();

    bool hasNext() const { return m_current; }
    TextObject *next();

private:
    TextObject *advance();

    TextIterator m_walk;
    TextObject *m_current;
};

#endif // SELECTEDITERATOR_H
