// The check run on real files in a temporary prefix: what the user sees (message boxes,
// dialogs, sounds, the progress dialog's texts) and what is left on disk (the index line,
// no plaintext copy), for the refusals, the unchecked, changed and unchanged files, a cancel
// and damaged record lines.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "check/CheckTexts.h"
#include "platform/Clock.h"
#include "platform/Ui.h"
#include "storage/DatabaseIndex.h"
#include "storage/FileRecord.h"
#include "tests/check/CheckRunFixture.h"

namespace {

const auto Mb = MessageBoxEvent;
using CheckRunTest = CheckRunFixture;

}  // namespace

TEST_F(CheckRunTest, NoRecordsDoesNothing) {
    db.Store();
    const std::string before = db.IndexText();
    ASSERT_TRUE(Check());
    EXPECT_TRUE(Events().empty());
    EXPECT_EQ(db.IndexText(), before);
    ExpectNoPlaintextLeft();
}

TEST_F(CheckRunTest, UnchangedFilesGiveOnlyTheSummary) {
    db.AddFile("E:\\f\\a.txt", "hello, world\n");
    db.AddFile("E:\\f\\empty.dat", "");
    db.AddFile("E:\\f\\b.bin", std::string(100000, 'b'));
    db.Store();
    ASSERT_TRUE(Check());
    ASSERT_EQ(Events().size(), 2u);
    EXPECT_EQ(Events()[0], ProgressEvent(db.path));
    EXPECT_TRUE(IsDialogEvent(Events()[1], "CCheckingSummaryDlg"));
    ExpectSummary("3", "3", "0", "3", "0");
    EXPECT_EQ(prefix.ui.progressTitle, "Checking all files in Database: E:\\db\\test.qdb");
    EXPECT_EQ(prefix.ui.progressTexts[1051], "E:\\f\\b.bin");
    EXPECT_EQ(prefix.ui.progressTexts[1114], "0");
    EXPECT_EQ(prefix.ui.progressPos, 65000);
    EXPECT_FALSE(prefix.ui.progressOpen);
    // 100000 bytes are 1562 whole blocks: the text moved once, after 64,000 bytes.
    EXPECT_EQ(prefix.ui.progressTexts[1115], "36013 bytes. [35.17 KB]");
    EXPECT_EQ(prefix.ui.progressPolls, 1562);
    EXPECT_EQ(db.view.m_totalSize, 100013.0);
    ExpectNoPlaintextLeft();
}

TEST_F(CheckRunTest, ChangedDatabaseFileIsRefused) {
    db.AddFile("E:\\f\\a.txt", "a");
    db.AddFile("E:\\f\\b.txt", "b");
    db.Store();
    ASSERT_EQ(unlink(prefix.Host("E:\\f\\b.txt").c_str()), 0);
    std::string stored = prefix.ReadFile(db.path);
    stored[0] = char(stored[0] ^ 1);
    prefix.WriteFile(db.path, stored);
    const std::string before = db.IndexText();

    ASSERT_TRUE(Check());
    ASSERT_EQ(Events().size(), 1u);  // no listed file was opened
    EXPECT_EQ(Events()[0],
              Mb("E:\\db\\test.qdb database file has been changed and cannot be checked!",
                 "exclamation"));
    EXPECT_EQ(db.IndexText(), before);
    ExpectNoPlaintextLeft();  // the working copy is wiped too
}

TEST_F(CheckRunTest, DatabaseWithoutIndexLineIsChecked) {
    db.AddFile("E:\\f\\a.txt", "a");
    db.Store(false);
    ASSERT_TRUE(Check());
    ASSERT_EQ(Events().size(), 2u);
    ExpectSummary("1", "1", "0", "1", "0");
    EXPECT_EQ(db.IndexText(), db.otherIndexLine);
    ExpectNoPlaintextLeft();
}

TEST_F(CheckRunTest, TimeAndAttributeChangesAreNotReported) {
    db.AddFile("E:\\f\\a.txt", "same bytes");
    db.Store();
    SetModifiedTime(prefix, "E:\\f\\a.txt", 1000000000);
    ASSERT_EQ(chmod(prefix.Host("E:\\f\\a.txt").c_str(), 0444), 0);
    ASSERT_TRUE(Check());
    ASSERT_EQ(Events().size(), 2u);
    ExpectSummary("1", "1", "0", "1", "0");
}

TEST_F(CheckRunTest, UpperCaseStoredDigestIsReported) {
    const std::string bytes = "upper";
    db.AddFile("E:\\f\\u.qzq", bytes);
    std::string digest = Md5Hex(bytes);
    for (char& c : digest) c = char(toupper(c));
    db.lines[0].replace(db.lines[0].find(Md5Hex(bytes)), 32, digest);
    db.Store();
    ASSERT_TRUE(Check());
    ASSERT_EQ(Events().size(), 4u);
    EXPECT_EQ(Events()[1], Mb("E:\\f\\u.qzq has been changed! ", "none"));
    EXPECT_TRUE(IsDialogEvent(Events()[2], "CChangedFileDetailsDlg"));
    ASSERT_EQ(details.size(), 1u);
    EXPECT_EQ(details[0].m_digestWhenAdded, digest);
    EXPECT_EQ(details[0].m_digestNow, Md5Hex(bytes));
    EXPECT_EQ(details[0].m_choice, 0);
    ExpectSummary("1", "1", "0", "0", "1");
}

TEST_F(CheckRunTest, DetailsDialogIsFilledFromRecordAndFile) {
    // Added at 23:30:05 UTC on 6 March 2004; changed at 23:59:59 UTC on 31 January 2005.
    prefix.WriteFile("E:\\f\\notes.qzq", "13 bytes long");
    SetModifiedTime(prefix, "E:\\f\\notes.qzq", 1078615805);
    db.AddRecordOf("E:\\f\\notes.qzq");
    db.Store();
    prefix.WriteFile("E:\\f\\notes.qzq", std::string(1025, 'n'));
    SetModifiedTime(prefix, "E:\\f\\notes.qzq", 1107215999);

    ASSERT_TRUE(Check());
    ASSERT_EQ(details.size(), 1u);
    const CChangedFileDetailsDlg& d = details[0];
    EXPECT_EQ(d.m_pathLine1, "E:\\f\\notes.qzq");
    EXPECT_EQ(d.m_pathLine2, "");
    EXPECT_EQ(d.m_pathLine3, "");
    EXPECT_EQ(d.m_lastCheckedText, "Database unchecked until now.");
    EXPECT_EQ(d.m_fileType, "QZQ File.");
    EXPECT_EQ(d.m_fileIcon.resource, 373);
    EXPECT_EQ(prefix.frame.m_changedFileIcon, d.m_fileIcon);
    EXPECT_EQ(d.m_sizeWhenAdded, "13 Bytes. ");
    EXPECT_EQ(d.m_sizeNow, "1025 Bytes.  [1.00 KB].");
    EXPECT_EQ(d.m_attributesWhenAdded, "");  // recorded 0x80, normal
    EXPECT_EQ(d.m_attributesNow, "");
    EXPECT_EQ(d.m_modifiedWhenAdded, "00:30:05   7.3.2004");
    EXPECT_EQ(d.m_modifiedNow, "00:59:59   1.2.2005");
    EXPECT_EQ(d.m_createdNow, d.m_createdWhenAdded);
    EXPECT_EQ(d.m_digestWhenAdded, Md5Hex("13 bytes long"));
    EXPECT_EQ(d.m_digestNow, Md5Hex(std::string(1025, 'n')));
    EXPECT_EQ(d.m_choice, 0);

    // A second check names the time of the first.
    FILETIME first;
    ASSERT_TRUE(IndexLastChecked(db.OwnIndexLine(), first));
    ASSERT_TRUE(Check());
    ASSERT_EQ(details.size(), 1u);
    EXPECT_EQ(details[0].m_lastCheckedText,
              "Database last checked:   " + FormatTimeText(first, false));
}

TEST_F(CheckRunTest, FirstChangeIgnoredSecondAcceptedThenTheRestChecked) {
    for (const char* name : {"a", "b", "c", "d"})
        db.AddFile(std::string("E:\\f\\") + name + ".txt", name);
    db.Store();
    prefix.WriteFile("E:\\f\\b.txt", "B");
    prefix.WriteFile("E:\\f\\c.txt", "C");
    ASSERT_EQ(unlink(prefix.Host("E:\\f\\d.txt").c_str()), 0);
    prefix.ui.AddScriptLine(R"({"dialog":"CChangedFileDetailsDlg","set":{"m_choice":0}})");
    prefix.ui.AddScriptLine(R"({"dialog":"CChangedFileDetailsDlg","set":{"m_choice":2}})");

    ASSERT_TRUE(Check());
    ASSERT_EQ(Events().size(), 7u);
    EXPECT_EQ(Events()[1], Mb("E:\\f\\b.txt has been changed! ", "none"));
    EXPECT_EQ(Events()[3], Mb("E:\\f\\c.txt has been changed! ", "none"));
    // The pass goes on with the record after the accepted one, and meets it no more.
    EXPECT_EQ(Events()[5], Mb("Couldn't check E:\\f\\d.txt\nReason: FileNotFound.", "exclamation"));
    ExpectSummary("4", "3", "1", "1", "2");
    ExpectNoPlaintextLeft();
    // The list was filled again: the accepted record is the last.
    ASSERT_EQ(db.view.m_records.size(), 4u);
    EXPECT_EQ(db.view.m_records.back().path, "E:\\f\\c.txt");
    EXPECT_EQ(db.view.m_records.back().digest, Md5Hex("C"));

    // The next check is not refused and finds the accepted file unchanged.
    ASSERT_TRUE(Check());
    ASSERT_EQ(Events().size(), 5u);
    EXPECT_EQ(Events()[1], Mb("E:\\f\\b.txt has been changed! ", "none"));
    EXPECT_EQ(Events()[3], Mb("Couldn't check E:\\f\\d.txt\nReason: FileNotFound.", "exclamation"));
    FILETIME checked;
    EXPECT_TRUE(IndexLastChecked(db.OwnIndexLine(), checked));
}

TEST_F(CheckRunTest, IndexLineTakesTheCheckTimeAndASecondCheckRenewsOnlyTheHalves) {
    db.AddFile("E:\\f\\a.txt", "a");
    db.Store();
    const std::string five = db.createdIndexLine.substr(0, db.createdIndexLine.size() - 1);

    for (int round = 0; round < 2; ++round) {
        const uint64_t before = FileTimeToU64(platform::GetSystemTimeAsFileTime());
        ASSERT_TRUE(Check());
        const uint64_t after = FileTimeToU64(platform::GetSystemTimeAsFileTime());
        const std::string index = db.IndexText();
        ASSERT_EQ(index.rfind(db.otherIndexLine, 0), 0u);
        const std::string line = index.substr(db.otherIndexLine.size());
        FILETIME checked;
        ASSERT_TRUE(IndexLastChecked(line, checked));
        EXPECT_GE(FileTimeToU64(checked), before);
        EXPECT_LE(FileTimeToU64(checked), after);
        EXPECT_EQ(line, five + "\x7f" + FormatTimeHalf(checked.dwHighDateTime) + "\x7f" +
                            FormatTimeHalf(checked.dwLowDateTime) + "\x7f\n");
        usleep(20000);
    }
}

TEST_F(CheckRunTest, LongPathsAndDamagedLines) {
    std::string folder = "E:\\";
    for (int i = 0; i < 4; ++i) folder += std::string(100, char('k' + i)) + "\\";
    const std::string longPath = folder + "long.txt";  // far beyond a 400-byte line
    db.AddFile("E:\\f\\a.txt", "a");
    db.AddLine("damaged line without separators\r\n");
    db.AddFile(longPath, "l");
    db.AddLine(
        "E:\\f\\short\x7f"
        "abc\r\n");
    db.Store();
    ASSERT_TRUE(Check());
    ASSERT_EQ(Events().size(), 4u);
    EXPECT_EQ(
        Events()[1],
        Mb("Couldn't check damaged line without separators\nReason: InvalidFile.", "exclamation"));
    EXPECT_EQ(Events()[2], Mb("Couldn't check E:\\f\\short\nReason: InvalidFile.", "exclamation"));
    ExpectSummary("4", "2", "2", "2", "0");
    EXPECT_EQ(prefix.ui.progressTexts[1051], "E:\\f\\short");
    ExpectNoPlaintextLeft();
}

// A record cut right after its 32-character digest still names its file and digest: the
// file is checked (and a change reported); one character less is a damaged line.
TEST_F(CheckRunTest, RecordCutRightAfterItsDigestIsChecked) {
    db.AddFile("E:\\f\\a.txt", "a");
    db.AddFile("E:\\f\\b.txt", "b");
    db.AddFile("E:\\f\\c.txt", "c");
    db.lines[0] = "E:\\f\\a.txt" + kSep + Md5Hex("a") + "\r\n";
    db.lines[1] = "E:\\f\\b.txt" + kSep + Md5Hex("b").substr(0, 31) + "\r\n";
    db.lines[2] = "E:\\f\\c.txt" + kSep + Md5Hex("c");  // the database's end
    db.Store();
    prefix.WriteFile("E:\\f\\c.txt", "C");
    ASSERT_TRUE(Check());
    ASSERT_EQ(Events().size(), 5u);
    EXPECT_EQ(Events()[1], Mb("Couldn't check E:\\f\\b.txt\nReason: InvalidFile.", "exclamation"));
    EXPECT_EQ(Events()[2], Mb("E:\\f\\c.txt has been changed! ", "none"));
    ASSERT_EQ(details.size(), 1u);
    EXPECT_EQ(details[0].m_digestWhenAdded, Md5Hex("c"));
    EXPECT_EQ(details[0].m_digestNow, Md5Hex("C"));
    ExpectSummary("3", "2", "1", "1", "1");
    ExpectNoPlaintextLeft();
}

// Two lines of this database in the index: the first is its line, as for every reader of the
// index; a later line with another digest does not refuse the check.
TEST_F(CheckRunTest, FirstOfTwoIndexLinesHoldsTheDigest) {
    db.AddFile("E:\\f\\a.txt", "a");
    db.laterIndexLine = CreatedIndexLine(db.path, 5, std::string(32, '0')) + "\n";
    db.Store();
    ASSERT_TRUE(Check());
    ASSERT_EQ(Events().size(), 2u);
    ExpectSummary("1", "1", "0", "1", "0");
    ExpectNoPlaintextLeft();
}

// The bar over a file of 200,000 bytes: a move and a remaining-data text after every 64,000
// bytes, then the bar's end. The recorded total sets the share; beyond about 4.16 GB the
// share is below one unit and its fractions add up instead of leaving the bar standing.
TEST_F(CheckRunTest, BarStepsAndRemainingDataOverALargeFile) {
    const struct {
        const char* recorded;  // the size field, 12 characters
        std::vector<int> positions;
        std::vector<std::string> remaining;
    } cases[] = {
        {"      200000",
         {20800, 41600, 62400, 65000},
         {"136000 bytes. [132.81 KB]", "72000 bytes. [70.31 KB]", "8000 bytes. [7.81 KB]"}},
        {"  6500000000",
         {0, 1, 1, 65000},
         {"6499936000 bytes. [6.05 GB]", "6499872000 bytes. [6.05 GB]",
          "6499808000 bytes. [6.05 GB]"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.recorded);
        db.lines.clear();
        db.AddFile("E:\\f\\big.bin", std::string(200000, 'z'));
        const size_t size = db.lines[0].find(kSep, db.lines[0].find(kSep) + 1) + 1;
        db.lines[0].replace(size, 12, c.recorded);
        db.Store();
        ASSERT_TRUE(Check());
        ExpectSummary("1", "1", "0", "1", "0");
        EXPECT_EQ(prefix.ui.progressPositions, c.positions);
        EXPECT_EQ(prefix.ui.progressTextsShown[1115], c.remaining);
    }
}

TEST_F(CheckRunTest, LineOfADatabaseWhosePathBeginsWithThisOneIsNotTaken) {
    db.AddFile("E:\\f\\a.txt", "a");
    FILETIME created;
    db.laterIndexLine = BuildDatabaseIndexLine(db.path + "2", 3, created, std::string(32, 'd')) +
                        "\x7f"
                        "31129600\x7f"
                        "-2147483647\x7f\n";
    db.Store();
    prefix.WriteFile("E:\\f\\a.txt", "b");
    ASSERT_TRUE(Check());
    ASSERT_EQ(Events().size(), 4u);
    EXPECT_EQ(Events()[1], Mb("E:\\f\\a.txt has been changed! ", "none"));
    ASSERT_EQ(details.size(), 1u);
    EXPECT_EQ(details[0].m_lastCheckedText, "Database unchecked until now.");
}

TEST_F(CheckRunTest, ProgressShowsLongPathsByTheirEnds) {
    const std::string path = "E:\\" + std::string(100, 'q') + "\\" + std::string(17, 'p');
    ASSERT_EQ(path.size(), 121u);
    db.AddFile(path, "p");
    db.Store();
    ASSERT_TRUE(Check());
    EXPECT_EQ(prefix.ui.progressTexts[1051], "E:\\~..." + path.substr(8));
}

TEST_F(CheckRunTest, EmptyFilesOnlyStillFillTheBar) {
    db.AddFile("E:\\f\\e1", "");
    db.AddFile("E:\\f\\e2", "");
    db.Store();
    ASSERT_TRUE(Check());
    EXPECT_EQ(prefix.ui.progressPos, 65000);
    EXPECT_EQ(db.view.m_totalSize, 0.0);
    ExpectSummary("2", "2", "0", "2", "0");
}

TEST_F(CheckRunTest, AlertSoundsByTheSetting) {
    db.AddFile("E:\\f\\a.txt", "a");
    db.Store();
    prefix.WriteFile("E:\\f\\a.txt", "changed");
    const std::string changed = Mb("E:\\f\\a.txt has been changed! ", "none");

    prefix.SetReg("Config13", "0");
    ASSERT_TRUE(Check());
    ASSERT_GE(Events().size(), 3u);
    EXPECT_EQ(Events()[1], "{\"event\":\"sound\",\"resource\":\"clm\"}");
    EXPECT_EQ(Events()[2], changed);

    prefix.SetReg("Config13", "4");
    prefix.SetReg("Config14", "E:\\sounds\\alert.wav");
    ASSERT_TRUE(Check());
    EXPECT_EQ(Events()[1], "{\"event\":\"sound\",\"file\":\"E:\\\\sounds\\\\alert.wav\"}");

    // An unreadable WAV setting is reported and leaves the alert silent.
    prefix.RemoveReg("Config14");
    ASSERT_TRUE(Check());
    EXPECT_EQ(Events()[0], Mb("Registry error.", "stop"));
    EXPECT_EQ(Events()[2], changed);

    prefix.RemoveReg("Config13");
    prefix.SetReg("Config14", "E:\\sounds\\alert.wav");
    ASSERT_TRUE(Check());
    EXPECT_EQ(Events()[0], Mb("Registry error.", "stop"));
    EXPECT_EQ(Events()[2], changed);

    prefix.SetReg("Config13", "3");
    ASSERT_TRUE(Check());
    EXPECT_EQ(Events()[1], changed);
}

TEST_F(CheckRunTest, MissingIndexEndsTheCommandWithoutLeavingPlaintext) {
    db.AddFile("E:\\f\\a.txt", "a");
    db.Store();
    ASSERT_EQ(unlink(prefix.Host(DatabaseIndexPath(prefix.BackupDir())).c_str()), 0);
    EXPECT_FALSE(Check());
    ASSERT_EQ(Events().size(), 1u);
    EXPECT_EQ(Events()[0].rfind("{\"event\":\"framework-report\",\"cause\":2,", 0), 0u);
    ExpectNoPlaintextLeft();
}
