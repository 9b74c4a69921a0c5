#pragma once

#include <QtGlobal>

// How much resident memory an operation takes at its peak, from Linux's record of the process: constructing one gives
// freed memory back to the system and restarts the record of the peak; rise() is then the peak resident size since,
// above the size at the start, or -1 where the system keeps no peak that can be restarted.
class PeakMemory
{
public:
    PeakMemory();
    qint64 rise() const;
    // The bytes the allocator has handed out and not taken back (mallinfo2).
    static qint64 heapInUse();

private:
    qint64 m_start = -1;
};

