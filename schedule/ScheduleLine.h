// The line of the "Database Checking Schedule", with its writer and its reader side by side.
// One line per scheduled database: the database's path, then the interval's hours, minutes
// and seconds and the checking mode that the schedule had when the database was added, each
// field followed by 0x7F, and a line feed. The interval and mode fields belong to the
// schedule's own options; every reader here takes only the path, the text before the line's
// first 0x7F.
#pragma once

#include <string>

struct ScheduleFields {
    std::string hours, minutes, seconds;  // as the settings Config8, Config9, Config10 hold them
    std::string mode;                     // Config11: "P" prompting, "N" logging
};

// The line of a database, without its line feed.
std::string BuildScheduleLine(const std::string& databasePath, const ScheduleFields& fields);
// The scheduled database's path: the text before the line's first 0x7F (the whole line,
// without its line break, when it has none).
std::string ScheduledPathOf(const std::string& line);
// Whether a line read back is one the program writes: a path, three whole numbers and a mode,
// each followed by 0x7F, then the line feed.
bool ScheduleLineIsWhole(const std::string& line);
// Whether the line is the database's: the whole path followed by 0x7F, letter case kept.
bool ScheduleLineBelongsTo(const std::string& line, const std::string& databasePath);
