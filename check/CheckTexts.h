// The texts the check and its dialogs show, as pure functions: times one hour after UTC,
// sizes with their KB/MB/GB bracket, the remaining-data text of the progress dialog, the
// attribute texts of a recorded code byte and of a current attribute word, a path cut into
// the three lines of the change dialogs, and the path as the progress dialog shows it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/WinTypes.h"

// "%c%c:%c%c:%c%c   %d.%d.%d" of the moment one hour after the UTC time `ft`. With
// `indeterminateTest`, a text whose year (its last four characters) is below 1970 becomes
// "Indeterminate". A time that no calendar date can hold is "Indeterminate" as well.
std::string FormatTimeText(const FILETIME& ft, bool indeterminateTest);
// The same form for a UTC system time, without the "Indeterminate" test.
std::string FormatTimeText(const SYSTEMTIME& st);

// A size in bytes: "%.2lf" cut at its last '.', then " Bytes. ", then a bracket such as
// " [1.00 KB]." for sizes strictly between the bounds 1024, 1048576 and 1073741824.
std::string FormatSizeText(double bytes);

// The progress dialog's remaining-data text: "%.2lf" cut at its last '.', " bytes.", and a
// bracket such as " [1.00 KB]" beyond the same exclusive bounds; below 1 byte "0 bytes.".
std::string RemainingDataText(double bytes);

// The attribute text of a recorded attribute code byte; empty for a code of no combination.
std::string AttributeCodeText(unsigned char code);
// The attribute text of a current attribute word, which must be one of the listed words
// exactly; empty otherwise (0x80, 0x10, 0x2020, ...).
std::string AttributeWordText(uint32_t word);

// The three path lines of the change dialogs: the first 92 characters, the next 92 and the
// rest. Joining them gives the path back.
void SplitPathLines(const std::string& path, std::string& l1, std::string& l2, std::string& l3);

// The file text of the checking progress dialog: a path longer than 120 characters is shown
// as its first 3 characters, "~..." and its last 113.
std::string ProgressPathText(const std::string& path);
