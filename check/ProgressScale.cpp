// The bands of the status-bar progress scaling.
#include "check/ProgressScale.h"

ProgressScale ScaleProgress(unsigned long n) {
    struct Band {
        unsigned long low, high, step;
    };
    static const Band bands[] = {
        {65000UL, 650000UL, 10UL},
        {650000UL, 6500000UL, 100UL},
        {6500000UL, 65000000UL, 1000UL},
        {65000000UL, 650000000UL, 10000UL},
    };
    ProgressScale scale;
    scale.total = n;
    scale.step = 1;
    for (const Band& band : bands) {
        if (n > band.low && n < band.high) {
            scale.total = n / band.step;
            scale.step = band.step;
        }
    }
    return scale;
}

unsigned long WholeUnits(double length) {
    if (!(length > 0))
        return 0;
    if (length >= 18446744073709551615.0)
        return ~0UL;
    return static_cast<unsigned long>(length);
}
