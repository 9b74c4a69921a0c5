#include "commands/CmdResult.h"

CmdResult::CmdResult(bool documentChanged, bool selectionChanged)
    : m_documentChanged(documentChanged), m_selectionChanged(selectionChanged)
{
}
