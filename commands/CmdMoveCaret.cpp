#include "commands/CmdMoveCaret.h"

#include "model/Caret.h"
#include "model/QVorrelScene.h"

CmdMoveCaret::CmdMoveCaret(QVorrelScene *scene, QString text)
    : Cmd(scene, std::move(text))
{
}

CmdMoveCaret::~CmdMoveCaret() = default;

void CmdMoveCaret::saveCaret()
{
    m_savedPointer = scene()->textPointer();
    m_savedCaretPos = scene()->caret()->pos();
}

CmdResult CmdMoveCaret::undo()
{
    scene()->setTextPointer(m_savedPointer);
    scene()->placeCaretAt(float(m_savedCaretPos.x()), float(m_savedCaretPos.y()));
    return CmdResult(true, true);
}
