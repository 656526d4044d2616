// A database with its "Database Index" line and its backup pair, built directly in a test
// prefix, and a check run standing where the check hands a changed file over to the
// acceptance or the restore. Shared by the acceptance and restore tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "check/CheckRunState.h"
#include "database/ListView.h"
#include "tests/check/CheckTestHelpers.h"

class AcceptRestoreFixture : public ::testing::Test {
  protected:
    AcceptRestoreFixture();
    ~AcceptRestoreFixture() override;

    const std::string kDatabase = "E:\\db.qdb";

    // A file of the test drive and its record line as an add writes it (CR LF included).
    std::string AddedRecord(const std::string& path) const { return AddedRecordLine(p, path); }
    static std::string Digest(const std::string& bytes) { return Md5Hex(bytes); }

    // Stores the database from its plaintext, and its "Database Index" line (backup number
    // 1) with the digest of the stored file.
    void StoreDatabase(const std::string& plain);
    std::string DatabasePlain() const;
    std::string DatabaseIndexPlain() const { return DatabaseIndexText(p); }

    // "Backup Index 1" from its plaintext, and "Backup File 1" as given.
    std::string BackupIndexPath() const;
    std::string BackupFilePath() const;
    void StoreBackupIndex(const std::string& plain);
    std::string BackupIndexPlain() const;
    // A mode-"N" copy of the bytes, as an add makes it.
    std::string EncryptedCopy(const std::string& bytes) const;
    std::string DecryptedCopy(const std::string& copy, size_t plainSize) const;

    // The record line an acceptance must write, spelt out field by field.
    static std::string ExpectedRecord(const CheckRunState& run, const std::string& sizeText);

    // The check standing on record `begun` (1-based) after its path and stored digest, with
    // `moved` records moved to the end before; the file's find data and new digest taken now.
    CheckRunState RunAt(const std::string& path, int begun, int moved = 0);

    // Three files E:\a.txt, E:\b.txt, E:\c.txt of distinct lengths, listed in that order
    // and backed up in `mode` ("N" or "P"): their records, entries and copies as an add
    // writes them. The database is stored with its index line.
    // Other contents may be given for the three.
    void BuildThree(const std::string& mode, const std::vector<std::string>& contents = {});
    std::vector<std::string> files, originals, records, entries, copies;

    // Two plain-mode files whose index ends in a line so short that the last 16-byte block
    // holds the end of the line before it too: a long-named file, then E:\s.
    void BuildShortLastLine();
    std::string longPath, longEntry, shortEntry;

    // Runs the restore of `path` as the check does for choice 3 (the record's stored digest
    // as the check read it), the restore dialog answered with `mode` (or cancelled when mode
    // is -1). The events before the restore are cleared.
    void Restore(const std::string& path, int mode);

    // Files whose name holds a temporary suffix, anywhere under the prefix or the drives.
    std::vector<std::string> Leftovers() const;

    TempPrefix p;
    std::unique_ptr<CListview> view;
};
