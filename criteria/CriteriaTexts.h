// The texts the add-by-criteria pre-scans show: the refusals of a location, the searching
// dialog's caption, the drives "*" cannot search, and the free-space question.
#pragma once

#include <cstdint>
#include <string>

// The location's refusals.
std::string NoLocationText();
std::string NotAFullFolderText(const std::string& location);
std::string NoSuchDriveText(const std::string& location);
std::string NotASearchableFolderText(const std::string& location);

// A file or a folder the walk passes over because no record can hold its path.
std::string PassedOverNameText(const std::string& path);

// The searching dialog's caption.
extern const char* const kSearchingCaption;

// A drive that has its link but whose root cannot be searched, met while searching "*".
std::string DriveNotSearchedText(char drive);

// The backup copies would need more than the backup folder's drive has free.
std::string FreeSpaceQuestion(uint64_t needed, uint64_t available, const std::string& backupDir);

// "%d" of a count.
std::string CountText(long long count);

// A number of bytes as the searching and adding dialogs show it: "%.2lf" cut at its last
// '.', then `unit` (" bytes."), then " [" + "%.2lf" of it in KB, MB or GB + " KB]" (" MB]",
// " GB]") strictly between 1024, 1048576 and 1073741824 bytes and above. Less than one byte
// (a figure the files' changes took below nothing) shows as 0.
std::string BytesFigureText(double bytes, const char* unit);
