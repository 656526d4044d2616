// The schedule's line: written and read.
#include "schedule/ScheduleLine.h"

#include "storage/FileRecord.h"

std::string BuildScheduleLine(const std::string& databasePath, const ScheduleFields& fields) {
    std::string line;
    for (const std::string* field :
         {&databasePath, &fields.hours, &fields.minutes, &fields.seconds, &fields.mode}) {
        line += *field;
        line += kFieldSeparator;
    }
    return line;
}

std::string ScheduledPathOf(const std::string& line) {
    const size_t sep = line.find(kFieldSeparator);
    if (sep != std::string::npos)
        return line.substr(0, sep);
    const size_t end = line.find_first_of("\r\n");
    return line.substr(0, end);
}

bool ScheduleLineBelongsTo(const std::string& line, const std::string& databasePath) {
    return line.size() > databasePath.size() && line[databasePath.size()] == kFieldSeparator &&
           line.compare(0, databasePath.size(), databasePath) == 0;
}
