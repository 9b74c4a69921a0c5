#include "commands/SelectedObjects.h"

#include "model/QVorrelScene.h"
#include "model/SelectedIterator.h"
#include "model/TextGroup.h"

bool SelectedObjects::take(QVorrelScene *scene)
{
    if (m_taken)
        return false;
    m_taken = true;
    if (m_order == SelectionOrder) {
        m_objects = scene->selectedUnlocked();
        return true;
    }
    for (TextObject *o : walkList<SelectedIterator>(scene->root())) {
        if (!o->isLocked())
            m_objects.append(o);
    }
    return true;
}
