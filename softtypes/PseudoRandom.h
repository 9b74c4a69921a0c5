#ifndef PSEUDORANDOM_H
#define PSEUDORANDOM_H

#include <QtGlobal>

// The process-wide pseudo-random sequence of the SoftTypes: values 0 to Max
// from a linear congruential generator. It starts from the clock when the
// program starts; seeding it makes the sequence repeatable.
class PseudoRandom
{
public:
    static constexpr int Max = 32767;

    static void seed(quint32 seed);
    // The next value, 0 to Max.
    static int next();
};

#endif // PSEUDORANDOM_H
