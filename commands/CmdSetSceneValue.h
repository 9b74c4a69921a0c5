#ifndef CMDSETSCENEVALUE_H
#define CMDSETSCENEVALUE_H

#include "commands/Cmd.h"

// Base of the commands that set one property of the text style for new
// glyphs. The old value is the scene's when the command is built.
template<typename T>
class CmdSetSceneValue : public Cmd
{
public:
    using Read = T (*)(const QVorrelScene *);
    using Write = void (*)(QVorrelScene *, const T &);

    CmdResult execute() override
    {
        if (m_oldValue == m_newValue)
            return CmdResult(false, false);
        m_write(scene(), m_newValue);
        return CmdResult(true, false);
    }

    CmdResult undo() override
    {
        m_write(scene(), m_oldValue);
        return CmdResult(true, false);
    }

    // Takes over the new value of a later command of the same kind.
    bool merge(Cmd *next) override
    {
        if (!canMerge(next))
            return false;
        m_newValue = static_cast<CmdSetSceneValue<T> *>(next)->m_newValue;
        return true;
    }

protected:
    CmdSetSceneValue(QVorrelScene *scene, QString text, const T &value, Read read, Write write)
        : Cmd(scene, std::move(text)), m_oldValue(read(scene)), m_newValue(value), m_write(write)
    {
    }

private:
    T m_oldValue;
    T m_newValue;
    Write m_write;
};

#endif // CMDSETSCENEVALUE_H
