// The add tests' common ground: a temporary prefix with every setting the add reads, an
// empty database C:\Data\Files.db (backup number 1) open in a list view, and readers of
// everything the add writes (decrypted in memory, so the readers leave no copy behind).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/NoDatabaseView.h"
#include "database/ListView.h"
#include "tests/support/AddEvents.h"
#include "tests/support/TempPrefix.h"

class AddFixture : public ::testing::Test {
  protected:
    AddFixture();
    void SetUp() override;

    // The file contents the tests add: byte i is (7 i + 3) mod 256.
    static std::string Pattern(size_t size);

    // The record line an add writes for a file of the E: drive, CR LF included, the times
    // taken from the file as it stands. The attribute code is 0x80 (a plain file).
    std::string ExpectedRecord(const std::string& path, const std::string& digest,
                               const std::string& sizeField) const;
    // The "Backup Index 1" line of a file, CR LF included.
    static std::string ExpectedEntry(const std::string& path, const std::string& mode,
                                     const std::string& copyLength, const std::string& size);

    std::string DatabasePlain() const;     // the database's records
    std::string IndexLine() const;         // its "Database Index" line ("" when none)
    std::string BackupIndexPlain() const;  // "Backup Index 1", decrypted
    std::string BackupFileBytes() const;   // "Backup File 1" as it lies
    // The plain bytes of an encrypted copy at `offset`, `copyLength` long, cut to `size`.
    std::string DecryptCopy(size_t offset, size_t copyLength, double size);

    // Rewrites the "Database Index" without the open database's line.
    void DropIndexLine();

    // The index line's digest is that of the database as it is stored now.
    void ExpectDigestRefreshed() const;
    // Neither a plaintext working copy nor a ".Ntemp" file lies anywhere.
    void ExpectNothingLeftBehind() const;

    int Refills() const { return m_refills; }

    static const std::string kSep;
    const std::string kDatabase = "C:\\Data\\Files.db";
    const std::string kBackupIndex;
    const std::string kBackupFile;

    TempPrefix prefix;
    CCNoflview noDatabase;
    CListview view;

  private:
    int m_refills = 0;
};
