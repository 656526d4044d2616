// Accepting changes and restoring files as a user does it, through the headless driver: files
// dropped on a new database with encrypted and plain backups, changed, and checked with each
// choice; and the sample prefix written by another implementation, whose encrypted backup
// copies are restored. The restored bytes are compared with the originals, and the backup
// files with what the acceptance writes.
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Prefix.h"
#include "platform/Registry.h"
#include "storage/BackupIndex.h"
#include "storage/Crypto.h"
#include "storage/ProtectedFile.h"
#include "tests/e2e/E2eTest.h"
#include "tests/support/TempPrefix.h"

namespace fs = std::filesystem;

namespace {

const std::string kSep(1, '\x7f');
const char* const kBackupDir = "C:\\Program Files\\Quillstead\\Backup Files\\";

bool Has(const std::vector<std::string>& lines, const std::string& line) {
    for (const std::string& l : lines)
        if (l == line)
            return true;
    return false;
}

class AcceptRestoreScenario : public E2eTest {
  protected:
    void SetUp() override {
        E2eTest::SetUp();
        drive = root + "/e";
        fs::create_directories(drive);
    }

    // Runs the driver with the answers of `script` (JSON lines) and returns its lines.
    std::vector<std::string> Driver(const std::vector<std::string>& args,
                                    const std::vector<std::string>& script = {},
                                    const std::string& database = "") {
        std::vector<std::string> all = {"--prefix", prefix};
        if (!password.empty())
            all.insert(all.end(), {"--password", password});
        if (!database.empty())
            all.insert(all.end(), {"--database", database});
        all.insert(all.end(), args.begin(), args.end());
        const DriverRun run = Drive(all, script);
        EXPECT_EQ(run.status, 0) << run.err;
        return run.lines;
    }

    void SetReg(const std::string& subkey, const std::string& value) {
        platform::SetPrefixRoot(prefix);
        ASSERT_TRUE(platform::RegWriteValue(subkey, value));
    }

    // The mode-"N" copy of some bytes under the database's backup index vector.
    std::string EncryptedCopy(const std::string& bytes, const std::string& n = "1") {
        platform::SetPrefixRoot(prefix);
        WriteHost(drive + "/plain.tmp", bytes);
        EncryptFileWithIv(TestKey(password), "E:\\cipher.tmp", "E:\\plain.tmp",
                          IvFromText(BackupIndexPath(kBackupDir, n)));
        const std::string copy = ReadHost(drive + "/cipher.tmp");
        fs::remove(drive + "/plain.tmp");
        fs::remove(drive + "/cipher.tmp");
        return copy;
    }
    std::string BackupIndexPlain(const std::string& n = "1") {
        platform::SetPrefixRoot(prefix);
        DecryptLinesWithIv(TestKey(password), BackupIndexPath(kBackupDir, n), "E:\\plain.tmp",
                           IvFromText(BackupIndexPath(kBackupDir, n)));
        const std::string plain = ReadHost(drive + "/plain.tmp");
        fs::remove(drive + "/plain.tmp");
        return plain;
    }
    std::string BackupFileBytes(const std::string& n = "1") {
        return ReadHost(prefix + "/drive_c/Program Files/Quillstead/Backup Files/Backup File " + n);
    }

    std::string drive, password;
};

// Three files dropped on a new database, a.txt and b.txt backed up encrypted and c.txt plain;
// all three changed. One check renews a.txt's and c.txt's copies (choice 1) and accepts b.txt
// keeping its copy (choice 2); the next check finds nothing changed; after b.txt changes
// again a restore brings back what it held when it was first added.
TEST_F(AcceptRestoreScenario, AcceptWithAndWithoutNewBackupThenRestoreTheFirstContent) {
    password = "scenario password";
    Driver({"setup", "--drive", "e=" + drive});
    SetReg("Config5", "1");
    SetReg("Config17", "N");
    const std::string db = "E:\\db.qdb";
    Driver({"create-database", db});
    const std::string a0(500, 'a'), b0 = "first content of b\n", c0(33, 'c');
    WriteHost(drive + "/a.txt", a0);
    WriteHost(drive + "/b.txt", b0);
    WriteHost(drive + "/c.txt", c0);
    Driver({"drop", "E:\\a.txt", "E:\\b.txt"}, {}, db);
    SetReg("Config17", "P");
    Driver({"drop", "E:\\c.txt"}, {}, db);
    ASSERT_EQ(EncryptedCopy(a0) + EncryptedCopy(b0) + c0, BackupFileBytes());

    const std::string a1(700, 'A'), b1 = "second content of b\n", c1 = "c is now shorter";
    WriteHost(drive + "/a.txt", a1);
    WriteHost(drive + "/b.txt", b1);
    WriteHost(drive + "/c.txt", c1);
    // Renewals take the mode Config17 holds now: c.txt's new copy is encrypted.
    SetReg("Config17", "N");
    std::vector<std::string> out =
        Driver({"check"},
               {R"({"dialog":"CChangedFileDetailsDlg","set":{"m_choice":1}})",
                R"({"dialog":"CChangedFileDetailsDlg","set":{"m_choice":2}})",
                R"({"dialog":"CChangedFileDetailsDlg","set":{"m_choice":1}})"},
               db);
    EXPECT_TRUE(Has(out, MessageBoxLine("E:\\c.txt has been changed! ", "none"))) << out.size();
    EXPECT_EQ(EncryptedCopy(a1) + EncryptedCopy(b0) + EncryptedCopy(c1), BackupFileBytes());
    EXPECT_EQ("E:\\a.txt" + kSep + "N" + kSep + "704.00" + kSep + "700\n" + "E:\\b.txt" + kSep +
                  "N" + kSep + "32.00" + kSep + "19\r\n" + "E:\\c.txt" + kSep + "N" + kSep +
                  "16.00" + kSep + "16\n",
              BackupIndexPlain());

    // The accepted records are last and unchanged now: the next check reports nothing.
    out = Driver({"check"}, {}, db);
    for (const std::string& line : out)
        EXPECT_EQ(std::string::npos, line.find("has been changed")) << line;

    WriteHost(drive + "/b.txt", "third content");
    out = Driver({"check"},
                 {R"({"dialog":"CChangedFileDetailsDlg","set":{"m_choice":3}})",
                  R"({"dialog":"CRestoreDlg","set":{"m_restoreMode":0}})"},
                 db);
    EXPECT_EQ(b0, ReadHost(drive + "/b.txt"));
    EXPECT_TRUE(Has(out, MessageBoxLine("E:\\b.txt successfully restored.")));
    EXPECT_TRUE(Has(out, "{\"event\":\"progress\",\"caption\":\"Restoring File...\"}"));
    EXPECT_TRUE(Has(out, "{\"event\":\"status\",\"text\":\"Ready\"}"));
}

// Plain copies: the renewed entry prints its length without decimals, and restoring with the
// changed file moved aside keeps it in the changed-files folder as ".CHANGED", then
// ".CHANGED1".
TEST_F(AcceptRestoreScenario, PlainBackupsRenewedAndRestoredWithTheChangedFileMovedAside) {
    password = "plain";
    Driver({"setup", "--drive", "e=" + drive});
    SetReg("Config5", "1");
    SetReg("Config17", "P");
    const std::string db = "E:\\plain.qdb";
    Driver({"create-database", db});
    WriteHost(drive + "/x.txt", "x0");
    WriteHost(drive + "/y.txt", std::string(500, 'y'));
    Driver({"drop", "E:\\x.txt", "E:\\y.txt"}, {}, db);

    const std::string y1(500, 'Y');
    WriteHost(drive + "/y.txt", y1);
    Driver({"check"}, {R"({"dialog":"CChangedFileDetailsDlg","set":{"m_choice":1}})"}, db);
    EXPECT_EQ("x0" + y1, BackupFileBytes());
    EXPECT_EQ("E:\\x.txt" + kSep + "P" + kSep + "2.00" + kSep + "2\r\n" + "E:\\y.txt" + kSep + "P" +
                  kSep + "500" + kSep + "500\n",
              BackupIndexPlain());

    const std::string changed = prefix + "/drive_c/Program Files/Quillstead/Changed Files/";
    for (const char* content : {"x1", "x2"}) {
        WriteHost(drive + "/x.txt", content);
        const std::vector<std::string> out =
            Driver({"check"},
                   {R"({"dialog":"CChangedFileDetailsDlg","set":{"m_choice":3}})",
                    R"({"dialog":"CRestoreDlg","set":{"m_restoreMode":1}})"},
                   db);
        EXPECT_EQ("x0", ReadHost(drive + "/x.txt"));
        EXPECT_TRUE(Has(out,
                        "{\"event\":\"dialog\",\"class\":\"CRestoreDlg\",\"members\":{"
                        "\"m_restoreMode\":1,\"m_pathLine1\":\"E:\\\\x.txt\",\"m_pathLine2\":"
                        "\"\",\"m_pathLine3\":\"\"},\"result\":\"ok\"}"));
    }
    EXPECT_EQ("x1", ReadHost(changed + "x.txt.CHANGED"));
    EXPECT_EQ("x2", ReadHost(changed + "x.txt.CHANGED1"));
}

// The sample prefix, written by another implementation: its encrypted copies come back byte
// for byte, the 500-byte b.bin from a 512-byte copy.
TEST_F(AcceptRestoreScenario, RestoresTheSamplePrefixsEncryptedCopies) {
    password = "correct horse";
    CopySamplePrefix(prefix);
    Driver({"setup", "--drive", "c=" + prefix + "/drive_c"});
    const std::string files = prefix + "/drive_c/Data/files/";
    const std::string b0 = ReadHost(files + "b.bin"), c0 = ReadHost(files + "c.log");
    ASSERT_EQ(500u, b0.size());
    WriteHost(files + "b.bin", "changed b");
    WriteHost(files + "c.log", "changed c");

    const std::vector<std::string> out =
        Driver({"check"},
               {R"({"dialog":"CChangedFileDetailsDlg","set":{"m_choice":3}})",
                R"({"dialog":"CRestoreDlg","set":{"m_restoreMode":0}})",
                R"({"dialog":"CChangedFileDetailsDlg","set":{"m_choice":3}})",
                R"({"dialog":"CRestoreDlg","set":{"m_restoreMode":0}})"},
               "C:\\Data\\sample.qdb");
    EXPECT_EQ(b0, ReadHost(files + "b.bin"));
    EXPECT_EQ(c0, ReadHost(files + "c.log"));
    std::vector<std::string> restore;
    bool inRestore = false;
    for (const std::string& line : out) {
        if (line.find("CRestoreDlg") != std::string::npos &&
            line.find("b.bin") != std::string::npos)
            inRestore = true;
        if (inRestore)
            restore.push_back(line);
        if (inRestore && line.find("successfully restored") != std::string::npos)
            break;
    }
    EXPECT_EQ((std::vector<std::string>{
                  "{\"event\":\"dialog\",\"class\":\"CRestoreDlg\",\"members\":{"
                  "\"m_restoreMode\":1,\"m_pathLine1\":\"C:\\\\Data\\\\files\\\\b.bin\","
                  "\"m_pathLine2\":\"\",\"m_pathLine3\":\"\"},\"result\":\"ok\"}",
                  "{\"event\":\"progress\",\"caption\":\"Initiating File Restoration...\"}",
                  "{\"event\":\"status\",\"text\":\"Processing...\"}",
                  "{\"event\":\"progress\",\"caption\":\"Restoring File...\"}",
                  "{\"event\":\"status\",\"text\":\"Processing...\"}",
                  "{\"event\":\"status\",\"text\":\"Ready\"}",
                  MessageBoxLine("C:\\Data\\files\\b.bin successfully restored.")}),
              restore);
    // The restore touches neither the database nor the backup pair.
    EXPECT_EQ(
        ReadHost(std::string(QUILL_VECTORS_DIR) +
                 "/sample-prefix/drive_c/Program Files/Quillstead/Backup Files/Backup File 1"),
        BackupFileBytes());
}

}  // namespace
