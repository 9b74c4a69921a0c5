#include "model/SelectedIterator.h"

#include "model/TextObject.h"

SelectedIterator::SelectedIterator(TextObject *root, int flags)
    : m_walk(root, flags), m_current(advance())
{
}

SelectedIterator::~SelectedIterator() = default;

TextObject *SelectedIterator::advance()
{
    return m_walk.nextMatching([](const TextObject *o) { return o->isSelected(); });
}

TextObject *SelectedIterator::next()
{
    TextObject *o = m_current;
    m_current = advance();
    return o;
}
