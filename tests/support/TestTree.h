// Builders of the folder trees the walk tests search: folders and files on a test's drives,
// the DOS attributes a file carries (user.DOSATTRIB, as Samba and Wine write it), read-only
// files, and symbolic links.
#pragma once

#include <string>
#include <vector>

class TempPrefix;

// Makes the folder (and those above it) of a Windows path.
void MakeTestFolder(const TempPrefix& prefix, const std::string& winPath);
// Makes each file with `bytes`, its folders too.
void MakeTestFiles(const TempPrefix& prefix, const std::vector<std::string>& winPaths,
                   const std::string& bytes = "x");
// Stores the DOS attributes (hidden 0x2, system 0x4, archive 0x20, 0x2000) of a file.
void SetDosAttributes(const TempPrefix& prefix, const std::string& winPath, unsigned value);
// Takes the owner's write permission away (the read-only attribute 0x1).
void MakeReadOnly(const TempPrefix& prefix, const std::string& winPath);
// A symbolic link at `winPath` to the host path `target`.
void MakeLink(const TempPrefix& prefix, const std::string& winPath, const std::string& target);
// A drive letter linked to a new folder <root>/<letter> of the test.
void MakeTestDrive(TempPrefix& prefix, char letter);
