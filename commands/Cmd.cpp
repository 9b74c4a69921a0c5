#include "commands/Cmd.h"

Cmd::Cmd(QVorrelScene *scene, QString text)
    : m_scene(scene), m_text(std::move(text))
{
}

Cmd::~Cmd() = default;

bool Cmd::canMerge(Cmd *)
{
    return false;
}

bool Cmd::merge(Cmd *)
{
    return false;
}
