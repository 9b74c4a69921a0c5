#pragma once

#include <functional>

// How much longer work takes at twice the size (linear about 2, quadratic about 4), in processor seconds of this
// thread: the least of five runs of each, taken in turn, measured again up to twice while above 2.8 so that a passing
// load does not fail it. Each run does the work at a factor (1 or 2) of its size and returns its seconds (cpuSeconds
// around the work), or a negative number when it went wrong; the result is then -1.
namespace DoublingRatio {

double cpuSeconds();
double of(const std::function<double(int factor)> &run);

} // namespace DoublingRatio
