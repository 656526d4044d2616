// The schedule's line: written and read.
#include "schedule/ScheduleLine.h"

#include <vector>

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

namespace {
bool IsWholeNumber(const std::string& text) {
    const size_t digits = !text.empty() && text[0] == '-' ? 1 : 0;
    return text.size() > digits &&
           text.find_first_not_of("0123456789", digits) == std::string::npos;
}
}  // namespace

bool ScheduleLineIsWhole(const std::string& line) {
    if (line.size() < 2 || line.back() != '\n' || line[line.size() - 2] != kFieldSeparator)
        return false;
    std::vector<std::string> fields;
    for (size_t start = 0, sep; (sep = line.find(kFieldSeparator, start)) != std::string::npos;
         start = sep + 1)
        fields.push_back(line.substr(start, sep - start));
    return fields.size() == 5 && !fields[0].empty() && IsWholeNumber(fields[1]) &&
           IsWholeNumber(fields[2]) && IsWholeNumber(fields[3]);
}
