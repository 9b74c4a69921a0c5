#ifndef CMD_H
#define CMD_H

#include "commands/CmdResult.h"

#include <QObject>
#include <QString>

class QVorrelScene;

// Base of every undoable command. The scene runs execute (also for redo) and
// undo and keeps the command in its history. After a command has run, the
// scene offers it to the newest done entry's merge; a command that can
// absorb a later one of its kind overrides canMerge and merge, checking
// compatibility inside merge. The defaults refuse.
class Cmd : public QObject
{
public:
    Cmd(QVorrelScene *scene, QString text);
    ~Cmd() override;

    virtual CmdResult execute() = 0;
    virtual CmdResult undo() = 0;
    virtual bool canMerge(Cmd *next);
    virtual bool merge(Cmd *next);

    QVorrelScene *scene() const { return m_scene; }
    // The text shown for the command in the history.
    const QString &text() const { return m_text; }

protected:
    void setText(const QString &text) { m_text = text; }

private:
    QVorrelScene *m_scene;
    QString m_text;
};

#endif // CMD_H
