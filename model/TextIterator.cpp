#include "model/TextIterator.h"

#include "model/TextGroup.h"

namespace {

int normalisedFlags(int flags)
{
    const int direction = (flags & TextIterator::Forward) || !(flags & TextIterator::Backward)
                              ? TextIterator::Forward : TextIterator::Backward;
    const int order = (flags & TextIterator::PostOrder) || !(flags & TextIterator::PreOrder)
                          ? TextIterator::PostOrder : TextIterator::PreOrder;
    return direction | order;
}

} // namespace

TextIterator::TextIterator(TextObject *root, int flags)
    : m_flags(normalisedFlags(flags))
{
    if (m_flags & PostOrder)
        descend(root);
    else if (root)
        m_pending.append(root);
}

TextIterator::~TextIterator() = default;

void TextIterator::descend(TextObject *object)
{
    while (object) {
        m_pending.append(object);
        if (object->textType() != TextObject::GroupType)
            return;
        const TextGroup *g = static_cast<TextGroup *>(object);
        object = isForward() ? g->firstChild() : g->lastChild();
    }
}

TextObject *TextIterator::next()
{
    if (m_flags & PostOrder) {
        TextObject *e = m_pending.takeLast();
        if (!m_pending.isEmpty())
            descend(isForward() ? e->next() : e->previous());
        return e;
    }
    TextObject *e = m_pending.takeFirst();
    if (e->textType() == TextObject::GroupType) {
        const QList<TextObject *> &children = static_cast<TextGroup *>(e)->children();
        if (isForward()) {
            for (int i = children.size() - 1; i >= 0; --i)
                m_pending.prepend(children.at(i));
        } else {
            for (TextObject *c : children)
                m_pending.prepend(c);
        }
    }
    return e;
}
