#ifndef SELECTEDGLYPHS_H
#define SELECTEDGLYPHS_H

#include "model/Glyph.h"

#include <QList>

class QVorrelScene;

// The glyphs under the scene's selected, unlocked objects, walked in
// selection order, each glyph once even when the selection nests.
class SelectedGlyphs
{
public:
    explicit SelectedGlyphs(QVorrelScene *scene);

    bool isEmpty() const { return m_objects.isEmpty(); }
    // Runs change on every glyph, repainting each selected object's area
    // before and after.
    template<typename Change>
    void forEach(Change change) const;

private:
    QList<TextObject *> m_objects;
    QList<QList<Glyph *>> m_glyphs;
};

template<typename Change>
void SelectedGlyphs::forEach(Change change) const
{
    for (int i = 0; i < m_objects.size(); ++i) {
        m_objects.at(i)->updateInScene();
        for (Glyph *g : m_glyphs.at(i))
            change(g);
        m_objects.at(i)->updateInScene();
    }
}

#endif // SELECTEDGLYPHS_H
