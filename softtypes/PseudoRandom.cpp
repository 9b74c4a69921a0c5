#include "softtypes/PseudoRandom.h"

#include <QDateTime>

namespace {

// state' = Multiplier * state + Increment, modulo 2^32.
constexpr quint32 Multiplier = 214013u;
constexpr quint32 Increment = 2531011u;

PseudoRandom sharedSequence{quint32(QDateTime::currentMSecsSinceEpoch())};

} // namespace

void PseudoRandom::seed(quint32 seed)
{
    sharedSequence = PseudoRandom(seed);
}

int PseudoRandom::next()
{
    return sharedSequence.draw();
}

PseudoRandom &PseudoRandom::shared()
{
    return sharedSequence;
}

int PseudoRandom::draw()
{
    m_state = m_state * Multiplier + Increment;
    return int((m_state >> 16) & quint32(Max));
}

void PseudoRandom::skip(quint64 count)
{
    // Steps of 1, 2, 4, ... draws as maps state -> multiplier * state +
    // increment, each the one before applied twice; those of count's bits
    // are composed into one.
    quint32 stepMultiplier = Multiplier;
    quint32 stepIncrement = Increment;
    quint32 multiplier = 1;
    quint32 increment = 0;
    for (; count; count >>= 1) {
        if (count & 1) {
            multiplier *= stepMultiplier;
            increment = increment * stepMultiplier + stepIncrement;
        }
        stepIncrement *= stepMultiplier + 1;
        stepMultiplier *= stepMultiplier;
    }
    m_state = m_state * multiplier + increment;
}
