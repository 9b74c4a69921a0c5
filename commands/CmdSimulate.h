#ifndef CMDSIMULATE_H
#define CMDSIMULATE_H

#include "commands/Cmd.h"
#include "commands/OutlineSnapshot.h"

// One play run as one undo step, "Apply SoftTypes". Built when play starts,
// it records the outlines of every unlocked glyph that carries SoftTypes and
// the frame counter; its first execute, when play stops, records the same
// glyphs' outlines after the run. Undo and redo then swap the two, each
// outline back to its own glyph: a glyph that was not recorded (one added
// during the run) keeps its own outline.
class CmdSimulate : public Cmd
{
public:
    explicit CmdSimulate(QVorrelScene *scene);
    ~CmdSimulate() override;

    CmdResult execute() override;
    CmdResult undo() override;

    int savedFrame() const { return m_savedFrame; }

private:
    int m_savedFrame;
    OutlineSnapshot m_before;
    OutlineSnapshot m_after;
};

#endif // CMDSIMULATE_H
