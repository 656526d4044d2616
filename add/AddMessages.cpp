// The texts of the add of one file and of the drop and paste commands.
#include "add/AddMessages.h"

#include "platform/FileException.h"

const char* const kNoFilesOnClipboard = "There are no files on the clipboard.";

std::string PreviouslyListedMessage(const std::string& path) {
    return path + " previously listed.";
}

std::string NotOpenedForReadingMessage(const std::string& path) {
    return path + " could not be opened for reading, so it was not added.";
}

std::string BackupFileNotOpenedMessage(const std::string& path, const std::string& backupFile,
                                       int cause) {
    return "Couldn't back up " + path + " into " + backupFile + "\nReason: " + FileErrorName(cause);
}

std::string DamagedPairAddMessage(const std::string& damaged) {
    return damaged + "\nThey are left as they are, and files are added without backup copies.";
}

std::string NoIndexLineMessage(const std::string& databasePath) {
    return databasePath + " has no line in the Database Index, so no backup copy was made.";
}

namespace {
std::string CountOfFiles(int count) {
    return std::to_string(count) + (count > 1 ? " Files" : " File");
}
}  // namespace

std::string AddSummaryText(int added, int listed, const std::string& how) {
    std::string text;
    if (added > 0)
        text += CountOfFiles(added) + " successfully " + how + " into the database.";
    if (listed > 0)
        text += "\n" + CountOfFiles(listed) + " listed previously.";
    return text;
}
