// The start of every benchmark program that needs a QApplication: headless
// unless a platform is chosen, the benchmarks run, then the program's own
// closing figures.
#ifndef BENCHMAIN_H
#define BENCHMAIN_H

#include <QApplication>
#include <benchmark/benchmark.h>
#include <functional>

namespace bench {

inline int runHeadless(int argc, char **argv, const std::function<void()> &before = {},
                       const std::function<void()> &after = {})
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (before)
        before();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (after)
        after();
    return 0;
}

} // namespace bench

#endif // BENCHMAIN_H
