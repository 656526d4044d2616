// The bands of the status-bar progress scaling.
#include "check/ProgressScale.h"

namespace {
constexpr unsigned long kBarUnits = 65000;
}  // namespace

ProgressScale ScaleProgress(unsigned long n) {
    ProgressScale scale;
    scale.total = n;
    scale.step = 1;
    if (n <= kBarUnits)
        return scale;
    // The loop goes on only while step <= n / 65000, far below 2^64 / 10: no overflow.
    unsigned long step = 10;
    while (n / step >= kBarUnits) step *= 10;
    scale.total = n / step;
    scale.step = step;
    return scale;
}

unsigned long WholeUnits(double length) {
    if (!(length > 0))
        return 0;
    if (length >= 18446744073709551615.0)
        return ~0UL;
    return static_cast<unsigned long>(length);
}
