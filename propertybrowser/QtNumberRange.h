#ifndef QTNUMBERRANGE_H
#define QTNUMBERRANGE_H

#include <QtGlobal>

// A number value kept inside its range, shared by the int and double
// managers and the variant manager. Default range: +-2147483647, step 1.
template <class T>
struct QtNumberRange
{
    T value = 0;
    T minimum = -2147483647;
    T maximum = 2147483647;
    T singleStep = 1;

    T bound(T v) const { return qBound(minimum, v, maximum); }

    // Takes the value, bounded into the range; false when that is the value
    // held already.
    bool setValue(T v)
    {
        v = bound(v);
        if (v == value)
            return false;
        value = v;
        return true;
    }

    // Sets the range (a maximum below the minimum collapses onto the
    // minimum) and pulls the value into it; false when nothing changed.
    bool setRange(T min, T max)
    {
        if (max < min)
            max = min;
        if (min == minimum && max == maximum)
            return false;
        minimum = min;
        maximum = max;
        value = bound(value);
        return true;
    }
};

#endif // QTNUMBERRANGE_H
