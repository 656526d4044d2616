// The walk-and-add loop's own texts.
#pragma once

#include <string>

// "%d" of a count of files, then " File", and "s" when it is more than one (the closing
// texts' "3 Files").
std::string FilesText(int count);
// The question after Cancel.
extern const char* const kKeepFilesQuestion;
// "Adding files to: " + the database's path, the progress dialog's title.
std::string AddingFilesTitle(const std::string& databasePath);
// A file that cannot be opened: "Couldn't add " + path + "\nReason: " + the cause's name.
std::string CouldNotAddText(const std::string& path, int cause);
// A file that cannot be opened although the framework's open of it succeeds: the command
// ends.
std::string OpenedWithoutCauseText(const std::string& path);
