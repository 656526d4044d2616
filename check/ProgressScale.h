// The status-bar progress of a loop over n units (bytes or rows): the total given to the bar
// and how many units make one step. Large loops are scaled down by bands, so the bar moves
// a bounded number of times; the bounds of the bands are exclusive.
#pragma once

#include <cstdint>

struct ProgressScale {
    unsigned long total = 0;  // for BeginProgress
    unsigned long step = 1;   // units per StepProgress
};

ProgressScale ScaleProgress(unsigned long n);

// A length read from a file (a double), cut to a whole number of units and kept in range.
unsigned long WholeUnits(double length);
