// A backup pair that does not agree with itself is never repaired by guessing, and no copy
// is restored that is not the file that was backed up: an index emptied, cut or removed
// leaves every copy where it was through the next drop (which adds without copies and says
// why), and each copy restores byte for byte once the index is back; a flipped bit in a copy
// or a backup file cut at a copy's end restores nothing wrong; a file of more than 4 GiB is
// backed up whole and restored whole; a mode that begins with "N" encrypts as the readers
// decrypt.
#include <sys/statvfs.h>
#include <unistd.h>

#include <functional>

#include "app/MainFrame.h"
#include "platform/Durable.h"
#include "platform/File.h"
#include "storage/BackupDigests.h"
#include "tests/check/AcceptRestoreFixture.h"

namespace {

class DamagedPairTest : public AcceptRestoreFixture {
  protected:
    // Three files added as a user adds them, in `mode`: copies with their digests.
    void AddThree(const std::string& mode) {
        p.SetReg("Config17", mode);
        p.SetReg("Config2", "0");
        files = {"E:\\a.txt", "E:\\b.txt", "E:\\c.txt"};
        originals = {std::string(37, 'a'), Pattern(500), std::string(16, 'c')};
        for (const std::string& f : {BackupIndexPath(), BackupFilePath(), DigestsPath()})
            platform::RemoveFile(f);
        StoreDatabase("");
        for (size_t i = 0; i < files.size(); ++i) {
            p.WriteFile(files[i], originals[i]);
            view->AddOneFileToDatabase(files[i]);
        }
        ASSERT_TRUE(p.Exists(DigestsPath()));
        p.ui.ClearEvents();
    }
    static std::string Pattern(size_t n) {
        std::string s(n, '\0');
        for (size_t i = 0; i < n; ++i) s[i] = char(i * 7 + 3);
        return s;
    }
    // The last message of a restore of `file` (changed first) in `mode`.
    std::string RestoreSays(const std::string& file, int mode = 0) {
        p.WriteFile(file, "changed");
        Restore(file, mode);
        return p.ui.Events().back();
    }
    void ExpectEveryCopyRestores() {
        for (size_t i = 0; i < files.size(); ++i) {
            EXPECT_EQ(RestoreSays(files[i]),
                      MessageBoxEvent(files[i] + " successfully restored.", "information"));
            EXPECT_EQ(originals[i], p.ReadFile(files[i]));
        }
    }
    std::string DigestsPath() const { return BackupDigestsPath(p.BackupDir(), "1"); }
    std::string Damaged(const std::string& what) {
        return "The backup files of E:\\db.qdb are damaged: " + what + ".";
    }
};

TEST_F(DamagedPairTest, ADamagedIndexLosesNoCopyToADrop) {
    const std::string index = BackupIndexPath(), backup = BackupFilePath();
    const auto lists = [&](const char* bytes) {
        return backup + " holds 576 bytes, while " + index + " lists " + bytes +
               " bytes of copies";  // 48 + 512 + 16
    };
    struct Case {
        const char* name;
        std::function<void(std::string&)> damage;  // null: removed
        std::string what;
    };
    const Case cases[] = {
        {"emptied", [](std::string& s) { s.clear(); }, lists("0")},
        {"cut in half", [](std::string& s) { s.resize(s.size() / 2 + 1); },
         index + " is not a whole number of blocks"},
        {"cut at a block", [](std::string& s) { s.resize(s.size() / 32 * 16); }, lists("48")},
        {"removed", nullptr, index + " is missing, while " + backup + " holds 576 bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AddThree("N");
        const std::string before = p.ReadFile(index), bytes = p.ReadFile(backup);
        std::string damaged = before;
        if (c.damage) {
            c.damage(damaged);
            p.WriteFile(index, damaged);
        } else {
            platform::RemoveFile(index);
        }
        p.WriteFile("E:\\d.txt", "a new file");
        view->OnDropFiles({"E:\\d.txt"});
        EXPECT_EQ(
            p.ui.Events(),
            (std::vector<std::string>{
                MessageBoxEvent(Damaged(c.what) + "\nThey are left as they are, and files "
                                                  "are added without backup copies.",
                                "exclamation"),
                MessageBoxEvent("1 File successfully dropped into the database.", "information")}));
        // Nothing of the pair moved: the backup file, the damaged index, the digests.
        EXPECT_EQ(bytes, p.ReadFile(backup));
        EXPECT_EQ(c.damage ? damaged : std::string(), c.damage ? p.ReadFile(index) : "");
        EXPECT_EQ(c.damage != nullptr, p.Exists(index));
        // Put back, the index finds every copy, each the file that was backed up.
        p.WriteFile(index, before);
        ExpectEveryCopyRestores();
    }
}

TEST_F(DamagedPairTest, AFlippedBitInACopyRestoresNothing) {
    for (const char* mode : {"N", "P"}) {
        for (const int restoreMode : {0, 1}) {
            SCOPED_TRACE(std::string(mode) + std::to_string(restoreMode));
            AddThree(mode);
            std::string bytes = p.ReadFile(BackupFilePath());
            const size_t inB = mode[0] == 'N' ? 48 + 300 : 37 + 300;
            bytes[inB] = char(bytes[inB] ^ 0x10);
            p.WriteFile(BackupFilePath(), bytes);
            EXPECT_EQ(RestoreSays(files[1], restoreMode),
                      MessageBoxEvent("Couldn't restore E:\\b.txt.\nIts backup copy in " +
                                          BackupFilePath() + " is damaged and cannot be restored.",
                                      "exclamation"));
            EXPECT_EQ("changed", p.ReadFile(files[1]));
            EXPECT_TRUE(p.FilesNamed(".CHANGED").empty());
            EXPECT_TRUE(Leftovers().empty()) << Leftovers()[0];
            // The copies beside it are whole.
            EXPECT_EQ(RestoreSays(files[2]),
                      MessageBoxEvent("E:\\c.txt successfully restored.", "information"));
        }
    }
}

// What a lost append leaves: a backup file that ends exactly where a copy ends. The pair
// takes no copy more, the copies it holds still restore, and the one it lost is not restored.
TEST_F(DamagedPairTest, ABackupFileCutAtACopysEndKeepsWhatItHolds) {
    AddThree("N");
    const std::string bytes = p.ReadFile(BackupFilePath()).substr(0, 48 + 512);
    p.WriteFile(BackupFilePath(), bytes);
    p.WriteFile("E:\\d.txt", "a new file");
    view->OnDropFiles({"E:\\d.txt"});
    EXPECT_EQ(p.ui.Events().at(0),
              MessageBoxEvent(Damaged(BackupFilePath() + " holds 560 bytes, while " +
                                      BackupIndexPath() + " lists 576 bytes of copies") +
                                  "\nThey are left as they are, and files are added without "
                                  "backup copies.",
                              "exclamation"));
    EXPECT_EQ(bytes, p.ReadFile(BackupFilePath()));
    EXPECT_EQ(RestoreSays(files[1]),
              MessageBoxEvent("E:\\b.txt successfully restored.", "information"));
    EXPECT_EQ(RestoreSays(files[2]),
              MessageBoxEvent("Couldn't restore E:\\c.txt.\nIts backup copy in " +
                                  BackupFilePath() + " is incomplete.",
                              "exclamation"));
    EXPECT_EQ("changed", p.ReadFile(files[2]));
}

// "NX" begins with "N": every reader decrypts such a copy, so the add encrypts it, and its
// entry keeps the setting's text.
TEST_F(DamagedPairTest, AModeThatBeginsWithNIsEncrypted) {
    AddThree("NX");
    const std::string entry = files[0] + kSep + "NX" + kSep + "48.00" + kSep + "37\r\n";
    EXPECT_EQ(BackupIndexPlain().substr(0, entry.size()), entry);
    EXPECT_EQ(48u + 512u + 16u, p.ReadFile(BackupFilePath()).size());
    ExpectEveryCopyRestores();
}

// A sparse file of 4 GiB and one byte: its copy holds all of it (the size field its low 32
// bits, 1), and it comes back whole. Skipped where the disk has no room for the copy.
TEST_F(DamagedPairTest, AFileOfFourGiBAndOneByteRestoresWhole) {
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "no threads here: the race detector's build leaves it out";
#endif
    struct statvfs fs;
    ASSERT_EQ(0, statvfs(p.root.c_str(), &fs));
    if (uint64_t(fs.f_bavail) * fs.f_frsize < (uint64_t(6) << 30))
        GTEST_SKIP() << "less than 6 GiB free";
    p.SetReg("Config17", "N");
    p.SetReg("Config2", "0");
    StoreDatabase("");
    const std::string big = "E:\\big.img";
    const uint64_t size = (uint64_t(1) << 32) + 1;
    p.WriteFile(big, "");
    ASSERT_EQ(0, truncate(p.Host(big).c_str(), off_t(size - 1)));
    {
        platform::CFile end;
        ASSERT_TRUE(end.Open(big, "ab"));
        ASSERT_TRUE(end.Write("x", 1) && end.Close());
    }
    view->AddOneFileToDatabase(big);
    EXPECT_EQ(BackupIndexPlain(), big + kSep + "N" + kSep + "4294967312.00" + kSep + "1\r\n");
    EXPECT_EQ(int64_t(size + 15), platform::FileLength(BackupFilePath()));

    platform::RemoveFile(big);
    EXPECT_EQ(RestoreSays(big), MessageBoxEvent(big + " successfully restored.", "information"));
    EXPECT_EQ(int64_t(size), platform::FileLength(big));
    platform::CFile restored;
    ASSERT_TRUE(restored.Open(big, "rb"));
    restored.Seek(int64_t(size - 2), SEEK_SET);
    EXPECT_EQ(0, restored.GetC());
    EXPECT_EQ('x', restored.GetC());
}

}  // namespace
