#include "model/SelectedListIterator.h"

#include "model/QVorrelScene.h"

SelectedListIterator::SelectedListIterator(QVorrelScene *scene)
    : m_scene(scene)
{
}

SelectedListIterator::~SelectedListIterator() = default;

bool SelectedListIterator::hasNext() const
{
    return m_position < m_scene->selectedObjects().size();
}

TextObject *SelectedListIterator::next()
{
    return m_scene->selectedObjects().at(m_position++);
}
