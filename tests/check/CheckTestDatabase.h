// A database for the check's tests, written directly: record lines made from the files'
// present state (or given as bytes), encrypted under the database's vector, and its line
// in the "Database Index" with the digest of the stored file. Also the list view on it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "database/ListView.h"
#include "tests/support/TempPrefix.h"

class CheckTestDatabase {
  public:
    explicit CheckTestDatabase(TempPrefix& prefix, std::string path = "E:\\db\\test.qdb");

    // Writes the file and adds its record as an add would write it now.
    void AddFile(const std::string& winPath, const std::string& bytes);
    // Adds the record of a file as it stands now.
    void AddRecordOf(const std::string& winPath);
    // Adds a record line as given (its line break included).
    void AddLine(const std::string& line) { lines.push_back(line); }
    // Encrypts the database; with `indexLine` writes its five-field "Database Index" line
    // after a line of another database. Sets up the list view on it.
    void Store(bool indexLine = true);

    // The decrypted "Database Index".
    std::string IndexText() const;
    std::string RecordLine(size_t i) const { return lines.at(i); }

    TempPrefix& prefix;
    const std::string path;
    std::vector<std::string> lines;
    std::string otherIndexLine;    // the other database's line, kept unchanged by a check
    std::string createdIndexLine;  // this database's line as written by Store
    std::string laterIndexLine;    // a line written after this database's, when not empty
    CListview view;
};

// MD5 of bytes as 32 lower-case hexadecimal characters.
std::string Md5Hex(const std::string& bytes);
// Sets a file's last-write time (seconds since 1970, UTC).
void SetModifiedTime(const TempPrefix& prefix, const std::string& winPath, long long unixSeconds);
