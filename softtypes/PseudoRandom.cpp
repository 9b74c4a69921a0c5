#include "softtypes/PseudoRandom.h"

#include <QDateTime>

namespace {

quint32 state = quint32(QDateTime::currentMSecsSinceEpoch());

} // namespace

void PseudoRandom::seed(quint32 seed)
{
    state = seed;
}

int PseudoRandom::next()
{
    state = state * 214013u + 2531011u;
    return int((state >> 16) & quint32(Max));
}
