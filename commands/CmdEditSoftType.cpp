#include "commands/CmdEditSoftType.h"

#include "softtypes/SoftType.h"

namespace {

// Exact equality: QVariant compares doubles only approximately, and an edit
// of the last digit is still an edit.
bool sameValues(const QHash<QString, QVariant> &a, const QHash<QString, QVariant> &b)
{
    if (a.size() != b.size())
        return false;
    for (auto it = a.cbegin(); it != a.cend(); ++it) {
        const QVariant other = b.value(it.key());
        const QVariant &value = it.value();
        if (value.userType() != other.userType())
            return false;
        if (value.userType() == QMetaType::Double ? value.toDouble() != other.toDouble() : value != other)
            return false;
    }
    return true;
}

} // namespace

CmdEditSoftType::CmdEditSoftType(QVorrelScene *scene, SoftType *softType, const QHash<QString, QVariant> &values)
    : Cmd(scene, softType ? QStringLiteral("Edit %1 SoftType").arg(softType->kindText())
                          : QStringLiteral("Edit SoftType")),
      m_softType(softType),
      m_oldValues(softType ? softType->values() : QHash<QString, QVariant>()),
      m_newValues(values)
{
}

CmdEditSoftType::~CmdEditSoftType() = default;

CmdResult CmdEditSoftType::execute()
{
    if (!m_softType)
        return CmdResult(false, false);
    const QHash<QString, QVariant> before = m_softType->values();
    m_softType->setValues(m_newValues);
    const bool changed = !sameValues(before, m_softType->values());
    return CmdResult(changed, false);
}

CmdResult CmdEditSoftType::undo()
{
    m_softType->setValues(m_oldValues);
    return CmdResult(true, false);
}
