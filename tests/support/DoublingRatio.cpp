#include "support/DoublingRatio.h"


#include <ctime>

double DoublingRatio::cpuSeconds()
{
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + now.tv_nsec / 1e9;
}

double DoublingRatio::of(const std::function<double(int factor)> &run)
{
    double ratio = 0;
    for (int attempt = 0; attempt < 5 && (attempt == 0 || ratio >= 2.8); ++attempt) {
        double once = 1e9, twice = 1e9;
        for (int i = 0; i < 5; ++i) {
            once = qMin(once, run(1));
            twice = qMin(twice, run(2));
        }
        if (once <= 0 || twice < 0)
            return -1;
        ratio = twice / once;
    }
    return ratio;
}

QString DoublingRatio::nonLinear(const std::function<double(int factor)> &run, const QString &what)
{
#ifdef __SANITIZE_ADDRESS__
    if (run(1) < 0)
        return QStringLiteral("%1 went wrong").arg(what);
    return QString();
#else
    const double ratio = of(run);
    if (ratio < 0)
        return QStringLiteral("%1 went wrong").arg(what);
    if (ratio >= 2.8)
        return QStringLiteral("twice %1 took %2 times as long").arg(what).arg(ratio);
    return QString();
#endif
}
