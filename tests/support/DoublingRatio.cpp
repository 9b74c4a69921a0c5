#include "support/DoublingRatio.h"

#include <QtGlobal>

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
    for (int attempt = 0; attempt < 3 && (attempt == 0 || ratio >= 2.8); ++attempt) {
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
