#ifndef PEAKMEMORY_H
#define PEAKMEMORY_H

#include <QtGlobal>

// How much resident memory an operation takes at its peak, from Linux's
// record of the process: constructing one gives freed memory back to the
// system and restarts the record of the peak; rise() is then the peak
// resident size since, above the size at the start.
class PeakMemory
{
public:
    PeakMemory();

    // Whether the system keeps a peak that can be restarted.
    bool isAvailable() const { return m_start >= 0; }
    qint64 rise() const;

    // Resident bytes now and at the peak; -1 when unknown.
    static qint64 resident();
    static qint64 peak();

private:
    qint64 m_start = -1;
};

#endif // PEAKMEMORY_H
