// The status-bar progress of a loop over n units (bytes or rows): the total given to the bar
// and how many units make one step, by bands, so the bar moves a bounded number of times and
// its total fits the bar's 16-bit range.
#pragma once

#include <cstdint>

struct ProgressScale {
    unsigned long total = 0;  // for BeginProgress
    unsigned long step = 1;   // units per StepProgress
};

// Up to 65000 units the total is n, one step per unit. Above, one step is the smallest power
// of ten from 10 on that leaves a total below 65000: the bands 65000 < n < 650000 (n / 10 every
// 10), 650000 < n < 6500000 (n / 100 every 100) and so on, a bound itself going with the band
// above it. So the total never exceeds 65000, however large n is.
ProgressScale ScaleProgress(unsigned long n);

// A length read from a file (a double), cut to a whole number of units and kept in range.
unsigned long WholeUnits(double length);
