#ifndef CMDSETSELECTEDVALUE_H
#define CMDSETSELECTEDVALUE_H

#include "commands/Cmd.h"
#include "commands/SelectedObjects.h"
#include "model/Glyph.h"
#include "model/GlyphIterator.h"
#include "model/GlyphPath.h"

#include <QFont>
#include <QList>
#include <QPointF>

// Base of the commands that set one property of the selected, unlocked
// text. When built it records those objects and the property of every glyph
// under them (a glyph under a selected group and selected itself twice);
// execute sets the value on those objects and undo gives each glyph its
// recorded value back, whatever is selected by then. A command that reshapes
// the glyphs (font, size) records each glyph's font, both outlines and
// position instead, before and after its first execute: undo and redo
// restore them exactly, without a new layout.
template<typename T>
class CmdSetSelectedValue : public Cmd
{
public:
    using Read = T (*)(const Glyph *);
    using Write = void (*)(TextObject *, const T &);

    CmdResult execute() override
    {
        if (!m_changed)
            return CmdResult(false, false);
        if (!m_newShapes.isEmpty()) {
            // Redo: the shapes the change gave, exactly.
            restoreShapes(m_newShapes);
            return CmdResult(true, true);
        }
        for (TextObject *o : m_objects)
            m_write(o, m_newValue);
        if (!m_oldShapes.isEmpty())
            m_newShapes = currentShapes();
        return CmdResult(true, true);
    }

    CmdResult undo() override
    {
        if (!m_oldShapes.isEmpty()) {
            restoreShapes(m_oldShapes);
            return CmdResult(m_changed, m_changed);
        }
        forEachRecordedGlyph([this](Glyph *glyph, int i) {
            if (i < m_oldValues.size())
                m_write(glyph, m_oldValues.at(i));
        });
        return CmdResult(m_changed, m_changed);
    }

    // Takes over the new value of a later command of the same kind, and the
    // shapes it gave; the recorded values stay this command's.
    bool merge(Cmd *next) override
    {
        if (!canMerge(next))
            return false;
        m_newValue = static_cast<CmdSetSelectedValue<T> *>(next)->m_newValue;
        m_newShapes = static_cast<CmdSetSelectedValue<T> *>(next)->m_newShapes;
        m_changed = m_oldValues.size() != m_oldValues.count(m_newValue);
        return true;
    }

protected:
    CmdSetSelectedValue(QVorrelScene *scene, QString text, const T &value, Read read, Write write,
                        bool reshapes)
        : Cmd(scene, std::move(text)), m_newValue(value), m_objects(scene, SelectedObjects::TreeOrder), m_write(write)
    {
        for (TextObject *o : m_objects) {
            GlyphIterator g(o, TextIterator::Forward | TextIterator::PostOrder);
            while (g.hasNext()) {
                const Glyph *glyph = g.next();
                m_oldValues.append(read(glyph));
                if (reshapes)
                    m_oldShapes.append(Shape{glyph->font(), *glyph->path(), glyph->pos()});
            }
        }
        m_changed = m_oldValues.size() != m_oldValues.count(m_newValue);
    }

private:
    struct Shape
    {
        QFont font;
        GlyphPath path;
        QPointF pos;
    };

    QList<Shape> currentShapes() const
    {
        QList<Shape> shapes;
        for (TextObject *o : m_objects) {
            GlyphIterator g(o, TextIterator::Forward | TextIterator::PostOrder);
            while (g.hasNext()) {
                const Glyph *glyph = g.next();
                shapes.append(Shape{glyph->font(), *glyph->path(), glyph->pos()});
            }
        }
        return shapes;
    }

    // Calls visit(glyph, i) on the glyphs of the recorded objects in the
    // order their values were recorded, each object brought up to date in
    // the scene before and after.
    template<typename Visit>
    void forEachRecordedGlyph(const Visit &visit) const
    {
        int i = 0;
        for (TextObject *o : m_objects) {
            o->updateInScene();
            GlyphIterator g(o, TextIterator::Forward | TextIterator::PostOrder);
            while (g.hasNext())
                visit(g.next(), i++);
            o->updateInScene();
        }
    }

    void restoreShapes(const QList<Shape> &shapes) const
    {
        forEachRecordedGlyph([&shapes](Glyph *glyph, int i) {
            if (i >= shapes.size())
                return;
            const Shape &s = shapes.at(i);
            glyph->setFont(s.font, false);
            glyph->copyPathsFrom(s.path);
            glyph->setPos(s.pos);
        });
    }

    T m_newValue;
    bool m_changed = false;
    // The selected, unlocked objects when built, children before their
    // parent; the values and shapes are recorded glyph by glyph under them.
    SelectedObjects m_objects;
    QList<T> m_oldValues;
    QList<Shape> m_oldShapes;
    // The shapes the change gave, recorded at its first execute: redo
    // restores them instead of scaling again.
    QList<Shape> m_newShapes;
    Write m_write;
};

#endif // CMDSETSELECTEDVALUE_H
