// The clock as a FILETIME (100 ns since 1601-01-01 UTC) and the conversions between
// FILETIMEs, host times and SYSTEMTIMEs. No time-zone conversion happens anywhere here.
#pragma once

#include <ctime>

#include "platform/WinTypes.h"

namespace platform {

FILETIME GetSystemTimeAsFileTime();
SYSTEMTIME GetSystemTime();

// The UTC calendar form of a FILETIME; false for values past the year 30827.
bool FileTimeToSystemTime(const FILETIME& ft, SYSTEMTIME& st);
bool SystemTimeToFileTime(const SYSTEMTIME& st, FILETIME& ft);

FILETIME FileTimeFromUnix(const struct timespec& ts);

}  // namespace platform
