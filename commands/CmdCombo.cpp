#include "commands/CmdCombo.h"

namespace {

CmdResult either(const CmdResult &a, const CmdResult &b)
{
    return CmdResult(a.documentChanged() || b.documentChanged(), a.selectionChanged() || b.selectionChanged());
}

} // namespace

CmdCombo::CmdCombo(QVorrelScene *scene, QString text)
    : Cmd(scene, std::move(text))
{
}

CmdCombo::~CmdCombo()
{
    qDeleteAll(m_commands);
}

CmdResult CmdCombo::execute()
{
    CmdResult result(false, false);
    m_results.clear();
    for (Cmd *c : qAsConst(m_commands)) {
        const CmdResult r = c->execute();
        m_results.append(r);
        result = either(result, r);
    }
    return result;
}

CmdResult CmdCombo::undo()
{
    CmdResult result(false, false);
    for (int i = m_commands.size() - 1; i >= 0; --i) {
        if (i < m_results.size() && m_results.at(i).documentChanged())
            result = either(result, m_commands.at(i)->undo());
    }
    return result;
}

bool CmdCombo::canMerge(Cmd *next)
{
    const CmdCombo *other = qobject_cast<CmdCombo *>(next);
    if (!other || other->m_commands.size() != m_commands.size())
        return false;
    for (int i = 0; i < m_commands.size(); ++i) {
        if (!m_commands.at(i)->canMerge(other->m_commands.at(i)))
            return false;
    }
    return true;
}

bool CmdCombo::merge(Cmd *next)
{
    if (!canMerge(next))
        return false;
    const CmdCombo *other = static_cast<CmdCombo *>(next);
    for (int i = 0; i < m_commands.size(); ++i) {
        m_commands.at(i)->merge(other->m_commands.at(i));
        // A sub-command that changed nothing here may have absorbed a change:
        // undo must not skip it.
        if (i < m_results.size() && i < other->m_results.size())
            m_results[i] = either(m_results.at(i), other->m_results.at(i));
    }
    return true;
}

void CmdCombo::add(Cmd *cmd, bool takeText)
{
    if (!cmd)
        return;
    m_commands.append(cmd);
    if (takeText)
        setText(cmd->text());
}

Cmd *CmdCombo::command(int index) const
{
    return m_commands.value(index, nullptr);
}
