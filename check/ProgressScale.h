// The scaling of the progress bars. The status-bar progress of a loop over n units (bytes or
// rows): the total given to the bar and how many units make one step, by bands, so the bar
// moves a bounded number of times and its total fits the bar's 16-bit range. The check's
// dialog bar (0..65000): the share of it that 64,000 digested bytes stand for, and how far
// each 64,000 bytes move it when that share is below one unit.
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

// The share of the check's bar (0..65000) that 64,000 digested bytes stand for, for a total
// recorded size T: 65000000 / (T / 64) in single precision, at most the whole bar; the whole
// bar for T below 64,000 bytes (0 included).
float CheckBarShare(double totalSize);

// How far the check's bar moves at the next 64,000 bytes, after `stepsBefore` such steps.
// A share of at least one unit moves it by the share truncated; a smaller share moves it by
// the whole units that the shares so far add up to, so the bar still moves in proportion
// instead of standing still. 0 for a share or a count that is not a finite positive number.
int CheckBarAmount(float share, double stepsBefore);
