// The walk-and-add loop's texts.
#include "add/WalkAddMessages.h"

#include "platform/FileException.h"

const char* const kKeepFilesQuestion =
    "Would you like to keep the files added before you pressed Cancel?";

std::string FilesText(int count) {
    return std::to_string(count) + (count > 1 ? " Files" : " File");
}

std::string AddingFilesTitle(const std::string& databasePath) {
    return "Adding files to: " + databasePath;
}

std::string CouldNotAddText(const std::string& path, int cause) {
    return "Couldn't add " + path + "\nReason: " + FileErrorName(cause);
}

std::string OpenedWithoutCauseText(const std::string& path) {
    return path + " could not be opened.\n Reason: Unknown.";
}
