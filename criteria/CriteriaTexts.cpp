// The pre-scans' texts.
#include "criteria/CriteriaTexts.h"

#include <cstdio>

const char* const kSearchingCaption = "Searching for files to add.";

std::string NoLocationText() {
    return "Please enter the folder to add files from, or * to add files from all drives.";
}

std::string NotAFullFolderText(const std::string& location) {
    return location +
           " is not a full folder path. Please enter a folder such as C:\\Data\\, or * to add "
           "files from all drives.";
}

std::string NoSuchDriveText(const std::string& location) {
    return "The drive of " + location + " does not exist.";
}

std::string NotASearchableFolderText(const std::string& location) {
    return location + " is not a folder that can be searched.";
}

std::string PassedOverNameText(const std::string& path) {
    return path +
           " was passed over: its name holds a line break, a backslash, a zero byte or the byte "
           "0x7F, which no record can hold.";
}

std::string DriveNotSearchedText(char drive) {
    return std::string("Drive ") + drive + ": cannot be searched, so its files are not added.";
}

std::string FreeSpaceQuestion(uint64_t needed, uint64_t available, const std::string& backupDir) {
    return "The backup copies of the files to add need " + std::to_string(needed) +
           " bytes, but the drive of the backup folder " + backupDir + " has only " +
           std::to_string(available) +
           " bytes free.\nPress OK to add the files all the same, or Cancel to add nothing.";
}

std::string CountText(long long count) {
    return std::to_string(count);
}

namespace {

// "%.2lf" of a value, of any length.
std::string Fixed2(double value) {
    const int n = std::snprintf(nullptr, 0, "%.2f", value);
    if (n <= 0)
        return std::string();
    std::string text(size_t(n) + 1, '\0');
    std::snprintf(&text[0], text.size(), "%.2f", value);
    text.resize(size_t(n));
    return text;
}

}  // namespace

std::string BytesFigureText(double bytes, const char* unit) {
    if (!(bytes >= 1))
        return std::string("0") + unit;
    std::string text = Fixed2(bytes);
    const size_t dot = text.rfind('.');
    if (dot != std::string::npos)
        text.erase(dot);
    text += unit;
    constexpr double kKilo = 1024.0, kMega = 1048576.0, kGiga = 1073741824.0;
    if (bytes > kKilo && bytes < kMega)
        text += " [" + Fixed2(bytes / kKilo) + " KB]";
    else if (bytes > kMega && bytes < kGiga)
        text += " [" + Fixed2(bytes / kMega) + " MB]";
    else if (bytes > kGiga)
        text += " [" + Fixed2(bytes / kGiga) + " GB]";
    return text;
}
