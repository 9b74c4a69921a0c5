#ifndef CMDSELECTWALK_H
#define CMDSELECTWALK_H

#include "commands/CmdSelect.h"

#include <QList>

class TextObject;

// Base of the selection commands that walk the document: the modes, the
// eligible objects and the levels they share.
class CmdSelectWalk : public CmdSelect
{
public:
    enum Mode { SelectOnly = 1, Add = 2, Remove = 3, Toggle = 4 };
    enum Level { GlyphLevel = 2, WordLevel = 3, PassageLevel = 4 };

    CmdSelectWalk(QVorrelScene *scene, int mode, QString text);
    ~CmdSelectWalk() override;

protected:
    // The document's objects in a forward walk, children before their
    // parent, without the root; with eligibleOnly only those that are
    // neither locked nor hidden.
    QList<TextObject *> walk(bool eligibleOnly) const;
    // Applies the mode to one object; true when its state changed.
    bool applyMode(TextObject *object);
    // Deselects the object; true when it was selected.
    bool clear(TextObject *object);
    static bool isOfLevel(const TextObject *object, int level);
    // "Glyphs", "Words", "Passages" or "Unknown".
    static QString levelName(int level);
};

#endif // CMDSELECTWALK_H
