// "File Analysis: ": the rows, texts and marks of both lists in both displays, for files of
// sizes around a row's length and its multiples, backed up plain and encrypted; a changed
// byte, grown and shrunk files, files without a copy (no entry, no "Database Index" line, an
// entry of a longer path), Cancel at each point, what a file that cannot be read shows, and
// that no plaintext copy is ever made.
#include <gtest/gtest.h>

#include "app/MainFrame.h"
#include "check/ChangedFileDetailsDlg.h"
#include "check/FileAnalysisDlg.h"
#include "platform/File.h"
#include "storage/BackupIndex.h"
#include "storage/DatabaseIndex.h"
#include "tests/check/AcceptRestoreFixture.h"

namespace {

using D = CFileAnalysisDlg;
constexpr size_t kMiB = size_t(1) << 20;

// The dialog's window in a test: counts the dispatches, presses Cancel at the one it is told.
class TestWindow : public AnalysisWindow {
  public:
    explicit TestWindow(CFileAnalysisDlg& dlg) : m_dlg(dlg) { dlg.SetWindow(this); }
    void DispatchMessages() override {
        ++dispatches;
        EXPECT_TRUE(m_dlg.DisplayRunning());
        if (dispatches == cancelAt)
            m_dlg.OnCommand(D::IDC_CANCEL_ANALYSIS);
    }
    void ListsChanged() override { ++changes; }
    int dispatches = 0, cancelAt = 0, changes = 0;

  private:
    CFileAnalysisDlg& m_dlg;
};

// A row as "offset|text|text", and the rows' icons as one character each ('-' for none).
std::string RowText(const AnalysisList& list, uint64_t row) {
    std::string text = list.CellText(row, 0);
    for (size_t c = 1; c < list.Columns().size(); ++c) text += "|" + list.CellText(row, c);
    return text;
}
std::string Icons(const AnalysisList& list) {
    std::string icons;
    for (uint64_t row = 0; row < list.RowCount(); ++row) {
        const int icon = list.RowIcon(row);
        icons += icon < 0 ? '-' : char('0' + icon);
    }
    return icons;
}
std::string Pattern(size_t length, char from = 'a') {
    std::string bytes(length, ' ');
    for (size_t i = 0; i < length; ++i) bytes[i] = char(from + i % 26);
    return bytes;
}

class FileAnalysisTest : public AcceptRestoreFixture {
  protected:
    // One display of `path` through its button, on a fresh dialog unless `again`.
    CFileAnalysisDlg& Display(const std::string& path, bool hex, bool again = false) {
        if (!again) {
            p.frame.m_analysisPath = path;
            dlg = std::make_unique<CFileAnalysisDlg>(p.frame);
            window = std::make_unique<TestWindow>(*dlg);
        }
        p.ui.ClearEvents();
        dlg->OnCommand(hex ? D::IDC_HEX_DISPLAY : D::IDC_TEXT_DISPLAY);
        EXPECT_FALSE(dlg->DisplayRunning());
        EXPECT_EQ(dlg->m_cancelRequested, 0);
        return *dlg;
    }
    // b.txt (between two other files) backed up in `mode` with `original`, now holding `now`.
    void Backed(const std::string& mode, const std::string& original, const std::string& now) {
        BuildThree(mode, {"first", original, "third"});
        p.WriteFile(files[1], now);
    }

    std::unique_ptr<CFileAnalysisDlg> dlg;
    std::unique_ptr<TestWindow> window;
};

// Rows for sizes around R and its multiples: the backup list ends with the byte that reaches
// the copy's length (an encrypted copy: its plain size), the file now with what is left after
// its last whole row, possibly nothing. Identical bytes: every row ticked.
TEST_F(FileAnalysisTest, RowsForSizesAroundTheRowLength) {
    struct Case {
        size_t size;
        const char* mode;
        bool hex;
        uint64_t backupRows;
        const char* lastBackupOffset;
        size_t lastBackupBytes;
        uint64_t nowRows;
        const char* lastNowOffset;
    };
    const Case cases[] = {
        {0, "P", false, 1, "0", 0, 1, "0"},          {0, "N", true, 1, "0", 0, 1, "0"},
        {1, "N", true, 1, "0", 1, 1, "0"},           {31, "P", true, 1, "0", 31, 1, "0"},
        {32, "P", true, 1, "0", 32, 2, "20"},        {32, "N", true, 1, "0", 32, 2, "20"},
        {33, "P", true, 2, "20", 1, 2, "20"},        {127, "N", false, 1, "0", 127, 1, "0"},
        {128, "P", false, 1, "0", 128, 2, "128"},    {129, "N", false, 2, "128", 1, 2, "128"},
        {256, "P", false, 2, "128", 128, 3, "256"},  {256, "N", true, 8, "E0", 32, 9, "100"},
        {300, "P", false, 3, "256", 44, 3, "256"},   {300, "N", true, 10, "120", 12, 10, "120"},
        {1000, "N", false, 8, "896", 104, 8, "896"}, {1024, "N", true, 32, "3E0", 32, 33, "400"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.size) + c.mode + (c.hex ? " hex" : " text"));
        const std::string bytes = Pattern(c.size);
        Backed(c.mode, bytes, bytes);
        CFileAnalysisDlg& d = Display(files[1], c.hex);
        const size_t r = c.hex ? 32 : 128;

        ASSERT_EQ(d.m_backupList.RowCount(), c.backupRows);
        const uint64_t lastBackup = c.backupRows - 1;
        EXPECT_EQ(d.m_backupList.CellText(lastBackup, 0), c.lastBackupOffset);
        const std::string lastBytes = bytes.substr(lastBackup * r, c.lastBackupBytes);
        EXPECT_EQ(d.m_backupList.CellText(lastBackup, c.hex ? 2 : 1), lastBytes);
        EXPECT_EQ(Icons(d.m_backupList), std::string(c.backupRows, '-'));

        ASSERT_EQ(d.m_currentList.RowCount(), c.nowRows);
        EXPECT_EQ(d.m_currentList.CellText(c.nowRows - 1, 0), c.lastNowOffset);
        EXPECT_EQ(d.m_currentList.CellText(c.nowRows - 1, 1).size(),
                  (c.size % r) * (c.hex ? 3 : 1));
        EXPECT_EQ(Icons(d.m_currentList), std::string(c.nowRows, '0'));
        for (uint64_t row = 0; row < c.nowRows; ++row) {
            EXPECT_EQ(d.m_currentList.CellText(row, 1 + c.hex), bytes.substr(row * r, r)) << row;
            if (row < c.backupRows) {
                EXPECT_EQ(RowText(d.m_currentList, row), RowText(d.m_backupList, row)) << row;
            }
        }
    }
    EXPECT_TRUE(Leftovers().empty()) << Leftovers()[0];
}

TEST_F(FileAnalysisTest, TextsOfTheColumnsInBothDisplays) {
    std::string bytes = Pattern(200);
    bytes[0] = '\x0A';
    bytes[1] = '\xFF';
    bytes[2] = '.';
    bytes[3] = '\x7F';
    Backed("N", bytes, bytes);
    CFileAnalysisDlg& d = Display(files[1], true);
    ASSERT_EQ(d.m_currentList.Columns().size(), 3u);
    EXPECT_STREQ(d.m_currentList.Columns()[0].title, "Offset");
    EXPECT_EQ(d.m_currentList.Columns()[0].width, 60);
    EXPECT_STREQ(d.m_currentList.Columns()[1].title, "Bytes [Hex]");
    EXPECT_EQ(d.m_currentList.Columns()[1].width, 515);
    EXPECT_STREQ(d.m_backupList.Columns()[2].title, "ASCII");
    EXPECT_EQ(d.m_backupList.Columns()[2].width, 215);
    EXPECT_EQ(RowText(d.m_backupList, 0),
              "0|0A FF 2E 7F 65 66 67 68 69 6A 6B 6C 6D 6E 6F 70 71 72 73 74 75 76 77 78 79 7A "
              "61 62 63 64 65 66 |....efghijklmnopqrstuvwxyzabcdef");
    EXPECT_EQ(d.m_currentList.CellText(5, 0), "A0");
    EXPECT_EQ(d.m_currentList.CellText(6, 2), "klmnopqr");

    // Text after hex: only the text display's columns and rows.
    Display(files[1], false, true);
    ASSERT_EQ(d.m_backupList.Columns().size(), 2u);
    EXPECT_STREQ(d.m_backupList.Columns()[1].title, "ASCII");
    EXPECT_EQ(d.m_backupList.Columns()[1].width, 825);
    EXPECT_EQ(d.m_backupList.RowCount(), 2u);
    EXPECT_EQ(d.m_currentList.CellText(1, 0), "128");
    EXPECT_EQ(d.m_currentList.CellText(1, 2), "");
}

// Rows compare by what they show: a change among non-printable bytes is ticked in the text
// display and crossed in the hex display; a printable change is crossed in both.
TEST_F(FileAnalysisTest, AChangedByteInBothDisplays) {
    std::string original = Pattern(300);
    original[40] = '\x01';
    std::string now = original;
    now[40] = '\x02';
    Backed("P", original, now);
    EXPECT_EQ(Icons(Display(files[1], false).m_currentList), "000");
    EXPECT_EQ(Icons(Display(files[1], true, true).m_currentList), "0100000000");

    now[290] = 'Z';
    p.WriteFile(files[1], now);
    EXPECT_EQ(Icons(Display(files[1], false, true).m_currentList), "001");
    EXPECT_EQ(Icons(Display(files[1], true, true).m_currentList), "0100000001");
}

// A grown file's further rows are compared with empty text: crossed, but a final empty row
// ticked. A shrunk file: the backup list has more rows, which nothing marks.
TEST_F(FileAnalysisTest, GrownAndShrunkFiles) {
    const std::string original = Pattern(256);
    Backed("N", original, original + Pattern(1024, 'A'));
    CFileAnalysisDlg& d = Display(files[1], false);
    EXPECT_EQ(d.m_backupList.RowCount(), 2u);
    EXPECT_EQ(Icons(d.m_currentList), "00111111110");
    EXPECT_EQ(d.m_currentList.CellText(10, 0), "1280");

    p.WriteFile(files[1], original.substr(0, 200));
    Display(files[1], false, true);
    EXPECT_EQ(d.m_backupList.RowCount(), 2u);
    EXPECT_EQ(Icons(d.m_currentList), "01");
    EXPECT_EQ(RowText(d.m_currentList, 1), "128|" + original.substr(128, 72));
}

// Marks are made a block at a time: rows on both sides of a block's edge, an encrypted copy
// decrypted in place far into it.
TEST_F(FileAnalysisTest, MarksAcrossBlocksOfALargeEncryptedCopy) {
    const std::string original = Pattern(2 * kMiB + kMiB / 2);
    std::string now = original;
    now[kMiB - 1] = '#';
    now[kMiB] = '#';
    now[2 * kMiB + 5] = '#';
    Backed("N", original, now);
    CFileAnalysisDlg& d = Display(files[1], true);
    const uint64_t rows = original.size() / 32 + 1;
    ASSERT_EQ(d.m_currentList.RowCount(), rows);
    std::string expected(rows, '0');
    for (size_t at : {kMiB - 1, kMiB, 2 * kMiB + 5}) expected[at / 32] = '1';
    EXPECT_EQ(Icons(d.m_currentList), expected);
    EXPECT_EQ(d.m_backupList.CellText(kMiB / 32, 2), original.substr(kMiB, 32));
    EXPECT_EQ(d.m_currentList.CellText(kMiB / 32, 2), now.substr(kMiB, 32));
    EXPECT_EQ(window->dispatches, 1 + 3);  // the backup list, then each of the file's blocks
}

TEST_F(FileAnalysisTest, AFileWithoutAnEntryShowsTheNotBackedUpRows) {
    BuildThree("N");
    p.WriteFile("E:\\d.txt", Pattern(40));
    for (bool hex : {false, true}) {
        CFileAnalysisDlg& d = Display("E:\\d.txt", hex);
        const std::string empty = hex ? "|" : "";
        EXPECT_EQ(RowText(d.m_backupList, 0), "|File was not backed up." + empty);
        EXPECT_EQ(RowText(d.m_backupList, 1), "|" + empty);
        EXPECT_EQ(RowText(d.m_backupList, 2),
                  "|To enable comparison in future, change your settings with the 'Configuration' "
                  "menu." +
                      empty);
        EXPECT_EQ(Icons(d.m_backupList), "2--");
        EXPECT_EQ(d.m_backupList.CellIcon(0, 1), 2);
        EXPECT_EQ(d.m_backupList.CellIcon(0, 0), -1);
        EXPECT_EQ(Icons(d.m_currentList), hex ? "33" : "3");
        EXPECT_EQ(d.m_currentList.CellIcon(0, 0), 3);
        EXPECT_EQ(d.m_currentList.CellIcon(0, hex ? 2 : 1), 3);
        EXPECT_TRUE(p.ui.Events().size() == 5u) << p.ui.Events().size();  // no message box
    }
}

// No line of the open database in the "Database Index", though another database's line (one
// whose path merely begins with it among them) leads to a pair with an entry for the file.
TEST_F(FileAnalysisTest, NoIndexLineOfTheOpenDatabaseShowsTheNotBackedUpRows) {
    Backed("P", "backed up", "backed up");
    StoreDatabaseIndex(p, CreatedIndexLine(kDatabase + "2", 1, std::string(32, 'a')) + "\r\n" +
                              CreatedIndexLine("E:\\other.qdb", 1, std::string(32, 'b')) + "\r\n");
    CFileAnalysisDlg& d = Display(files[1], false);
    EXPECT_EQ(Icons(d.m_backupList), "2--");
    EXPECT_EQ(Icons(d.m_currentList), "3");

    platform::RemoveFile(DatabaseIndexPath(p.BackupDir()));
    Display(files[1], true, true);
    EXPECT_EQ(Icons(d.m_backupList), "2--");
}

// The entry is the first whose path is the whole path: one of a longer path that begins with
// it is passed over, and of two entries the first is taken, its copy after all before it.
TEST_F(FileAnalysisTest, TheEntryIsTheFirstOfTheWholePath) {
    const std::string path = "E:\\b.txt";
    p.WriteFile(path, "current");
    StoreDatabase(AddedRecord(path));
    StoreBackupIndex(BuildBackupIndexLine(path + ".bak", "P", 5.0, 5) + "\r\n" +
                     BuildBackupIndexLine(path, "N", 16.0, 7) + "\r\n" +
                     BuildBackupIndexLine(path, "P", 7.0, 7) + "\r\n");
    p.WriteFile(BackupFilePath(), "other" + EncryptedCopy("earlier") + "later!!");
    CFileAnalysisDlg& d = Display(path, false);
    EXPECT_EQ(RowText(d.m_backupList, 0), "0|earlier");
    EXPECT_EQ(Icons(d.m_currentList), "1");
}

TEST_F(FileAnalysisTest, CancelBeforeDuringAndAfter) {
    const std::string original = Pattern(2 * kMiB + 100);
    std::string now = original;
    now[kMiB + 10] = '!';
    Backed("P", original, now);
    const std::string zero = "0|";

    // Before any display: one empty row "0" in each list, ticked; the next display is whole.
    p.frame.m_analysisPath = files[1];
    dlg = std::make_unique<CFileAnalysisDlg>(p.frame);
    window = std::make_unique<TestWindow>(*dlg);
    dlg->OnCommand(D::IDC_CANCEL_ANALYSIS);
    CFileAnalysisDlg& d = Display(files[1], false, true);
    EXPECT_EQ(RowText(d.m_backupList, 0), zero);
    EXPECT_EQ(d.m_backupList.RowCount(), 1u);
    EXPECT_EQ(RowText(d.m_currentList, 0), zero);
    EXPECT_EQ(Icons(d.m_currentList), "0");
    Display(files[1], false, true);
    EXPECT_EQ(d.m_currentList.RowCount(), now.size() / 128 + 1);

    // During the backup list: the file's list keeps no bytes either.
    window->dispatches = 0;
    window->cancelAt = 1;
    Display(files[1], true, true);
    EXPECT_EQ(RowText(d.m_backupList, 0), "0||");
    EXPECT_EQ(RowText(d.m_currentList, 0), "0||");
    EXPECT_EQ(d.m_currentList.RowCount(), 1u);

    // During the file's list, after its first block: its rows so far and an empty row, crossed
    // against the backup's row there.
    window->dispatches = 0;
    window->cancelAt = 3;
    Display(files[1], true, true);
    EXPECT_EQ(d.m_backupList.RowCount(), original.size() / 32 + 1);
    ASSERT_EQ(d.m_currentList.RowCount(), kMiB / 32 + 1);
    EXPECT_EQ(RowText(d.m_currentList, kMiB / 32), "100000||");
    EXPECT_EQ(Icons(d.m_currentList), std::string(kMiB / 32, '0') + "1");
    EXPECT_EQ(p.ui.Events().back(), "{\"event\":\"status\",\"text\":\"Ready\"}");
}

// The display's status texts and progress captions, and its progress counted by rows.
TEST_F(FileAnalysisTest, StatusTextsAndProgress) {
    Backed("P", Pattern(300), Pattern(300));
    Display(files[1], false);
    EXPECT_EQ(
        p.ui.Events(),
        (std::vector<std::string>{
            "{\"event\":\"status\",\"text\":\"Initiating File Analysis [Text details]...\"}",
            "{\"event\":\"progress\",\"caption\":\"Analysing Backup File [Text details]...\"}",
            "{\"event\":\"status\",\"text\":\"Ready\"}",
            "{\"event\":\"progress\",\"caption\":\"Analysing File [Text details]...\"}",
            "{\"event\":\"status\",\"text\":\"Ready\"}"}));
    EXPECT_EQ(p.ui.statusProgressTotal, 2);
    EXPECT_EQ(p.ui.statusProgressSteps, 2);
    EXPECT_GE(window->changes, 4);
}

// A file that cannot be read is named with the cause, and the lists stay as they were.
TEST_F(FileAnalysisTest, AFileThatCannotBeReadLeavesTheLists) {
    Backed("P", Pattern(300), Pattern(300));
    CFileAnalysisDlg& d = Display(files[1], false);
    platform::RemoveFile(files[1]);
    Display(files[1], true, true);
    EXPECT_EQ(p.ui.Events().back(),
              MessageBoxEvent("Couldn't analyse E:\\b.txt.\nE:\\b.txt could not be read.\n"
                              "Reason: FileNotFound.",
                              "exclamation"));
    EXPECT_EQ(p.ui.Events()[1], "{\"event\":\"status\",\"text\":\"Ready\"}");
    EXPECT_EQ(d.m_backupList.Columns().size(), 2u);
    EXPECT_EQ(d.m_currentList.RowCount(), 3u);

    p.WriteFile(files[1], "back");
    platform::RemoveFile(BackupFilePath());
    Display(files[1], true, true);
    EXPECT_EQ(p.ui.Events().back(),
              MessageBoxEvent("Couldn't analyse E:\\b.txt.\n" + BackupFilePath() +
                                  " could not be read.\nReason: FileNotFound.",
                              "exclamation"));
    EXPECT_EQ(d.m_currentList.RowCount(), 3u);
}

// Without the backup folder's setting the display goes on: no copy can be found.
TEST_F(FileAnalysisTest, ARegistryErrorStillShowsTheFile) {
    Backed("P", "same", "same");
    p.RemoveReg("Backup\\Backup Files Directory");
    CFileAnalysisDlg& d = Display(files[1], false);
    EXPECT_EQ(p.ui.Events()[1], MessageBoxEvent("Registry error.", "stop"));
    EXPECT_EQ(Icons(d.m_backupList), "2--");
    EXPECT_EQ(RowText(d.m_currentList, 0), "0|same");
}

TEST_F(FileAnalysisTest, CaptionHelpAndFurtherAnalysis) {
    Backed("N", Pattern(40), Pattern(40));
    p.frame.m_analysisPath = files[1];
    CFileAnalysisDlg analysis(p.frame);
    EXPECT_TRUE(analysis.OnInitDialog());
    EXPECT_EQ(analysis.m_caption, "File Analysis: E:\\b.txt");
    p.SetReg("Install Directory", "C:\\Q\\");
    p.ui.ClearEvents();
    analysis.OnCommand(D::IDC_HELP_BUTTON);
    EXPECT_EQ(p.ui.Events(),
              (std::vector<std::string>{"{\"event\":\"help\",\"text\":"
                                        "\"C:\\\\Q\\\\Quillstead.chm::/filechanges.html>Main\"}"}));

    // "Further analysis" names the file in the frame and runs the dialog modally.
    CChangedFileDetailsDlg details(view.get());
    details.m_pathLine1 = files[1];
    std::string shown;
    p.ui.onDialog = [&](CDialog& dialog) {
        auto& opened = dynamic_cast<CFileAnalysisDlg&>(dialog);
        opened.OnCommand(D::IDC_HEX_DISPLAY);
        shown = RowText(opened.m_currentList, 1) + " " + Icons(opened.m_currentList);
    };
    p.frame.m_analysisPath.clear();
    details.OnCommand(CChangedFileDetailsDlg::IDC_FURTHER_ANALYSIS);
    p.ui.onDialog = nullptr;
    EXPECT_EQ(p.frame.m_analysisPath, files[1]);
    EXPECT_EQ(shown, "20|67 68 69 6A 6B 6C 6D 6E |ghijklmn 00");
    EXPECT_TRUE(Leftovers().empty()) << Leftovers()[0];
}

}  // namespace
