#pragma once

#include <QString>

#include <functional>

// How much longer work takes at twice the size (linear about 2, quadratic about 4), in processor seconds of this
// thread: the least of five runs of each, taken in turn, measured again up to four times while above 2.8 so that a
// passing load does not fail it. Each run does the work at a factor (1 or 2) of its size and returns its seconds
// (cpuSeconds around the work), or a negative number when it went wrong; the result is then -1.
namespace DoublingRatio {

double cpuSeconds();
double of(const std::function<double(int factor)> &run);
// Empty when the work grows linearly, twice its size taking less than 2.8 times as long; else what went wrong, naming
// the work ("the text": "twice the text took 3.9 times as long"). Under the sanitizers, whose own time would be
// measured, the work runs once at its size and only its success counts.
QString nonLinear(const std::function<double(int factor)> &run, const QString &what);

} // namespace DoublingRatio
