#include "support/PeakMemory.h"

#include <QFile>

#include <malloc.h>

// A field of /proc/self/status in bytes ("VmRSS", "VmHWM"); -1 when absent.
static qint64 statusField(const QByteArray &field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    const QByteArray all = '\n' + status.readAll(), key = '\n' + field + ':';
    bool ok = false;
    const qint64 kb = all.contains(key) ? all.mid(all.indexOf(key) + key.size()).simplified().split(' ').value(0).toLongLong(&ok) : 0;
    return ok ? kb * 1024 : -1;
}

PeakMemory::PeakMemory()
{
    malloc_trim(0);
    // Writing 5 restarts the peak at the present size (Linux 4.0 and later).
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly) && clear.write("5") == 1) {
        clear.close();
        m_start = statusField("VmRSS");
    }
}

qint64 PeakMemory::rise() const
{
    return m_start < 0 ? -1 : statusField("VmHWM") - m_start;
}

qint64 PeakMemory::heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks + info.hblkhd);
}
