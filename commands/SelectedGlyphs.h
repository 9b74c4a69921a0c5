#ifndef SELECTEDGLYPHS_H
#define SELECTEDGLYPHS_H

#include "commands/SelectedObjects.h"
#include "model/Glyph.h"

#include <QList>

// The glyphs under the scene's selected, unlocked objects, walked in
// selection order, each glyph once even when the selection nests. Taken at
// the first call of take and kept, as SelectedObjects keeps its objects.
class SelectedGlyphs
{
public:
    void take(QVorrelScene *scene);

    bool isEmpty() const { return m_objects.isEmpty(); }
    // Runs change on every glyph, repainting each selected object's area
    // before and after.
    template<typename Change>
    void forEach(Change change) const;

private:
    SelectedObjects m_objects{SelectedObjects::SelectionOrder};
    QList<QList<Glyph *>> m_glyphs;
};

template<typename Change>
void SelectedGlyphs::forEach(Change change) const
{
    for (int i = 0; i < m_glyphs.size(); ++i) {
        TextObject *object = m_objects.list().at(i);
        object->updateInScene();
        for (Glyph *g : m_glyphs.at(i))
            change(g);
        object->updateInScene();
    }
}

#endif // SELECTEDGLYPHS_H
