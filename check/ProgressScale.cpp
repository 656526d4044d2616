// The scaling of the status-bar progress and of the check's dialog bar.
#include "check/ProgressScale.h"

#include <cmath>

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

float CheckBarShare(double totalSize) {
    if (!(totalSize >= 64000.0))
        return float(kBarUnits);
    const float share = float(65000000.0 / (totalSize / 64.0));
    return share >= float(kBarUnits) ? float(kBarUnits) : share;
}

int CheckBarAmount(float share, double stepsBefore) {
    if (!(share > 0) || !std::isfinite(share) || !(stepsBefore >= 0) || !std::isfinite(stepsBefore))
        return 0;
    if (share >= 1)
        return int(share);
    // The whole units k + 1 shares reach, less those k shares reached: the fractions add up
    // and the amounts so far always total floor((k + 1) * share).
    const double s = share;
    return int(std::floor((stepsBefore + 1) * s) - std::floor(stepsBefore * s));
}
