// A database for the check's tests, written directly: record lines made from the files'
// present state (or given as bytes), encrypted under the database's vector, and its line
// in the "Database Index" with the digest of the stored file. Also the list view on it.
#pragma once

#include <string>
#include <vector>

#include "database/ListView.h"
#include "tests/check/CheckTestHelpers.h"

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

    // The decrypted "Database Index", and this database's line in it after a check.
    std::string IndexText() const { return DatabaseIndexText(prefix); }
    std::string OwnIndexLine() const { return IndexText().substr(otherIndexLine.size()); }

    TempPrefix& prefix;
    const std::string path;
    std::vector<std::string> lines;
    std::string otherIndexLine;    // the other database's line, kept unchanged by a check
    std::string createdIndexLine;  // this database's line as written by Store
    std::string laterIndexLine;    // a line written after this database's, when not empty
    CListview view;
};
