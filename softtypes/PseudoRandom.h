#ifndef PSEUDORANDOM_H
#define PSEUDORANDOM_H

#include <QtGlobal>

// The pseudo-random sequence of the SoftTypes: values 0 to Max from a linear
// congruential generator. The process-wide generator (seed, next, shared)
// starts from the clock when the program starts; seeding it makes the
// sequence repeatable. A PseudoRandom value is a generator of the same
// sequence standing at a place of its own: the play step gives each glyph
// one standing where the glyph's first value falls, so that glyphs can draw
// side by side and still draw what they would one after the other.
class PseudoRandom
{
public:
    static constexpr int Max = 32767;

    static void seed(quint32 seed);
    // The next value of the process-wide sequence, 0 to Max.
    static int next();
    static PseudoRandom &shared();

    explicit PseudoRandom(quint32 state = 0)
        : m_state(state)
    {
    }

    // The next value, 0 to Max.
    int draw();
    // Moves on by count values at once, as count draws would, in about
    // log2(count) steps.
    void skip(quint64 count);

private:
    quint32 m_state;
};

#endif // PSEUDORANDOM_H
