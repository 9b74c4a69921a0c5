#include "commands/CmdRemoveSelected.h"

#include "commands/TextPlace.h"
#include "model/Caret.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"

CmdRemoveSelected::CmdRemoveSelected(QVorrelScene *scene)
    : Cmd(scene, QStringLiteral("Remove Selection"))
{
}

CmdRemoveSelected::~CmdRemoveSelected()
{
    qDeleteAll(m_removed);
}

void CmdRemoveSelected::list(TextObject *object, QHash<const TextGroup *, int> &left, QList<TextGroup *> &emptied)
{
    // A group selected together with all its children (on their items
    // alone) is also left empty by them: it is taken once.
    if (object->textType() == TextObject::GroupType && left.value(static_cast<TextGroup *>(object)) < 0)
        return;
    TextGroup *parent = object->parentGroup();
    m_removed.append(object);
    m_parents.append(parent);
    auto it = left.find(parent);
    if (it == left.end())
        it = left.insert(parent, parent->count());
    if (--*it == 0 && parent != scene()->root())
        emptied.append(parent);
    if (object->textType() == TextObject::GroupType)
        left[static_cast<TextGroup *>(object)] = -1; // listed
    if (object == m_savedPointer.glyph || object == m_savedPointer.word || object == m_savedPointer.passage)
        m_caretHit = true;
}

CmdResult CmdRemoveSelected::execute()
{
    QVorrelScene *s = scene();
    m_savedPointer = s->textPointer();
    m_savedCaretPos = s->caret()->pos();
    m_caretHit = false;

    // A redo finds the document as the first execute did: the same objects
    // and the groups they empty come out at the same places. The selected
    // objects go first, in tree order, then each group as it is left empty
    // (its own group may follow), all in one pass of the scene.
    m_selected.take(s);
    QHash<const TextGroup *, int> left;
    QList<TextGroup *> emptied;
    for (TextObject *o : m_selected) {
        if (o->parentGroup())
            list(o, left, emptied);
    }
    for (int i = 0; i < emptied.size(); ++i) {
        if (emptied.at(i)->parentGroup())
            list(emptied.at(i), left, emptied);
    }
    m_indexes = s->takeObjects(m_removed);
    if (m_removed.isEmpty())
        return CmdResult(false, false);

    if (m_caretHit) {
        s->placeCaretAt(100.0f, 100.0f);
        s->setTextPointer(TextPlace::outside(s->root()->count() - 1));
    } else {
        reindexPointer();
    }
    return CmdResult(true, true);
}

void CmdRemoveSelected::reindexPointer() const
{
    TextPointer p = m_savedPointer;
    const TextGroup *root = scene()->root();
    const auto *passage = static_cast<const TextGroup *>(p.passage);
    const auto *word = static_cast<const TextGroup *>(p.word);
    p.passageIndex = passage ? root->indexOf(passage) : root->count() - 1;
    p.wordIndex = word && passage ? passage->indexOf(word) : -1;
    if (!p.glyph) {
        p.glyphIndex = -1;
    } else if (p.glyph->hasOutline()) {
        p.glyphIndex = word ? word->indexOf(p.glyph) : -1;
    } else {
        p.glyphIndex = -1;
        // Between words a blank's place in its passage stands in for the
        // word index; inside a word the word's own index must stay.
        if (!word)
            p.wordIndex = passage ? passage->indexOf(p.glyph) : -1;
    }
    scene()->setTextPointer(p);
}

CmdResult CmdRemoveSelected::undo()
{
    for (int i = m_removed.size() - 1; i >= 0; --i)
        m_parents.at(i)->insert(m_indexes.at(i), m_removed.at(i));
    m_removed.clear();
    m_parents.clear();
    m_indexes.clear();
    QVorrelScene *s = scene();
    s->setTextPointer(m_savedPointer);
    s->placeCaretAt(float(m_savedCaretPos.x()), float(m_savedCaretPos.y()));
    return CmdResult(true, true);
}
