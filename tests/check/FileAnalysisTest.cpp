// "File Analysis: ": the rows, texts and marks of both lists in both displays for sizes around a
// row's length and its multiples, backed up plain and encrypted; changed bytes, grown and shrunk
// files; which copy is shown (no entry, no "Database Index" line, a longer path's entry);
// Cancel at each point; a file that cannot be read; and that no plaintext copy is made.
#include <gtest/gtest.h>

#include <functional>

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

// A row as "offset|text|text"; the rows' icons as one character each ('-' for none).
std::string RowText(const AnalysisList& list, uint64_t row) {
    std::string text = list.CellText(row, 0);
    for (size_t c = 1; c < list.Columns().size(); ++c) text += "|" + list.CellText(row, c);
    return text;
}
std::string Icons(const AnalysisList& list) {
    std::string icons;
    for (uint64_t row = 0; row < list.RowCount(); ++row)
        icons += list.RowIcon(row) < 0 ? '-' : char('0' + list.RowIcon(row));
    return icons;
}
std::string Pattern(size_t length, char from = 'a') {
    std::string bytes(length, ' ');
    for (size_t i = 0; i < length; ++i) bytes[i] = char(from + i % 26);
    return bytes;
}

// The dialog on E:\b.txt, its window counting the dispatches and pressing Cancel at the one it
// is told.
class FileAnalysisTest : public AcceptRestoreFixture, public AnalysisWindow {
  protected:
    FileAnalysisTest() {
        p.frame.m_analysisPath = "E:\\b.txt";
        dlg.SetWindow(this);
    }
    void DispatchMessages() override {
        if (++dispatches == cancelAt)
            dlg.OnCommand(D::IDC_CANCEL_ANALYSIS);
        if (whileDisplaying)
            whileDisplaying(dispatches);
    }
    void ListsChanged() override {}

    // One display through its button; the dialog lives on for the next.
    D& Display(bool hex) {
        p.ui.ClearEvents();
        dispatches = 0;
        dlg.OnCommand(hex ? D::IDC_HEX_DISPLAY : D::IDC_TEXT_DISPLAY);
        EXPECT_FALSE(dlg.DisplayRunning());
        EXPECT_EQ(dlg.m_cancelRequested, 0);
        return dlg;
    }
    // E:\b.txt (between two other files) backed up in `mode` as `original`, now holding `now`.
    void Backed(const std::string& mode, const std::string& original, const std::string& now) {
        BuildThree(mode, {"first", original, "third"});
        p.WriteFile(files[1], now);
    }

    D dlg{p.frame};
    int dispatches = 0, cancelAt = 0;
    std::function<void(int)> whileDisplaying;
};

// The backup list ends with the byte that reaches the copy's length (an encrypted copy: its
// plain size first), the file now with what is left after its last whole row, possibly
// nothing. Identical bytes: every row of the file ticked, the same texts in both lists.
TEST_F(FileAnalysisTest, RowsForSizesAroundTheRowLength) {
    struct Case {
        size_t size;
        const char* mode;
        bool hex;
        uint64_t backupRows;
        const char* lastBackupOffset;
        uint64_t nowRows;
        const char* lastNowOffset;
    };
    const Case cases[] = {
        {0, "P", false, 1, "0", 1, "0"},        {0, "N", true, 1, "0", 1, "0"},
        {1, "N", true, 1, "0", 1, "0"},         {31, "P", true, 1, "0", 1, "0"},
        {32, "N", true, 1, "0", 2, "20"},       {33, "P", true, 2, "20", 2, "20"},
        {127, "N", false, 1, "0", 1, "0"},      {128, "P", false, 1, "0", 2, "128"},
        {129, "N", false, 2, "128", 2, "128"},  {256, "P", false, 2, "128", 3, "256"},
        {256, "N", true, 8, "E0", 9, "100"},    {300, "P", false, 3, "256", 3, "256"},
        {300, "N", true, 10, "120", 10, "120"}, {1000, "N", false, 8, "896", 8, "896"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.size) + c.mode + (c.hex ? " hex" : " text"));
        const std::string bytes = Pattern(c.size);
        Backed(c.mode, bytes, bytes);
        D& d = Display(c.hex);
        const size_t r = c.hex ? 32 : 128;
        ASSERT_EQ(d.m_backupList.RowCount(), c.backupRows);
        EXPECT_EQ(d.m_backupList.CellText(c.backupRows - 1, 0), c.lastBackupOffset);
        EXPECT_EQ(Icons(d.m_backupList), std::string(c.backupRows, '-'));
        ASSERT_EQ(d.m_currentList.RowCount(), c.nowRows);
        EXPECT_EQ(d.m_currentList.CellText(c.nowRows - 1, 0), c.lastNowOffset);
        EXPECT_EQ(Icons(d.m_currentList), std::string(c.nowRows, '0'));
        for (uint64_t row = 0; row < c.nowRows; ++row) {
            EXPECT_EQ(d.m_currentList.CellText(row, 1 + c.hex), bytes.substr(row * r, r)) << row;
            EXPECT_EQ(RowText(d.m_currentList, row),
                      row < c.backupRows ? RowText(d.m_backupList, row)
                                         : c.lastNowOffset + std::string(c.hex ? "||" : "|"));
        }
    }
    EXPECT_TRUE(Leftovers().empty()) << Leftovers()[0];
}

// The rows' texts in both displays (non-printable bytes as '.'), and the marks: a change
// among non-printable bytes ticked in the text display and crossed in the hex display, a
// printable one crossed in both; a grown file's further rows compared with empty text,
// crossed but a final empty row ticked; a shrunk file's further backup rows, which nothing
// marks; a large encrypted copy marked a block at a time, on both sides of a block's edge.
TEST_F(FileAnalysisTest, TextsAndMarksOfChangedGrownAndShrunkFiles) {
    std::string original = Pattern(300);
    original.replace(0, 4, "\x0A\xFF.\x7F");
    original[40] = '\x01';
    std::string now = original, printable;
    now[40] = '\x02';
    printable = now;
    printable[290] = 'Z';
    const std::string big = Pattern(2 * kMiB + kMiB / 2);
    std::string bigNow = big, bigIcons(big.size() / 32 + 1, '0');
    for (size_t at : {kMiB - 1, kMiB, 2 * kMiB + 5}) {
        bigNow[at] = '#';
        bigIcons[at / 32] = '1';
    }
    const struct {
        std::string original, now;
        bool hex;
        uint64_t backupRows;
        std::string lastOffset, icons;
    } cases[] = {
        {original, now, true, 10, "120", "0100000000"},
        {original, now, false, 3, "256", "000"},
        {original, printable, false, 3, "256", "001"},
        {original, printable, true, 10, "120", "0100000001"},
        {Pattern(256), Pattern(256) + Pattern(1024, 'A'), false, 2, "1280", "00111111110"},
        {Pattern(256), Pattern(200), false, 2, "128", "01"},
        {big, bigNow, true, big.size() / 32, "280000", bigIcons},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.icons.substr(0, 20));
        Backed("N", c.original, c.now);
        D& d = Display(c.hex);
        EXPECT_EQ(d.m_backupList.Columns().size(), c.hex ? 3u : 2u);
        EXPECT_EQ(d.m_backupList.RowCount(), c.backupRows);
        EXPECT_EQ(d.m_currentList.CellText(d.m_currentList.RowCount() - 1, 0), c.lastOffset);
        EXPECT_EQ(Icons(d.m_currentList), c.icons);
        if (&c == &cases[0]) {
            EXPECT_EQ(RowText(d.m_backupList, 0),
                      "0|0A FF 2E 7F 65 66 67 68 69 6A 6B 6C 6D 6E 6F 70 71 72 73 74 75 76 77 78 "
                      "79 7A 61 62 63 64 65 66 |....efghijklmnopqrstuvwxyzabcdef");
            EXPECT_EQ(RowText(d.m_currentList, 5),
                      "A0|65 66 67 68 69 6A 6B 6C 6D 6E 6F 70 71 72 73 74 75 "
                      "76 77 78 79 7A 61 62 63 64 65 66 67 68 69 6A |"
                      "efghijklmnopqrstuvwxyzabcdefghij");
        }
        if (&c == &cases[1]) {
            EXPECT_EQ(RowText(d.m_currentList, 2), "256|" + original.substr(256));
        }
    }
    // The large copy decrypted in place far into it; the backup list, then each of the file's
    // blocks between dispatches.
    EXPECT_EQ(dlg.m_backupList.CellText(kMiB / 32, 2), big.substr(kMiB, 32));
    EXPECT_EQ(dispatches, 1 + 3);
}

// An encrypted copy whose backup file ends inside its last block, or one bit of whose bytes
// is flipped, is not the file that was backed up: no row of it is shown, the display says
// why, and nothing is marked.
TEST_F(FileAnalysisTest, AnEncryptedCopyCutInsideABlockIsNotShown) {
    const std::string original = Pattern(40);
    Backed("N", original, original.substr(0, 32));
    const std::string backup = p.ReadFile(BackupFilePath());
    p.WriteFile(BackupFilePath(), backup.substr(0, backup.size() - 17));  // inside a block
    p.ui.ClearEvents();
    D& d = Display(true);
    EXPECT_EQ(p.ui.Events().back(),
              MessageBoxEvent("Couldn't analyse E:\\b.txt.\nThe backup files of " + kDatabase +
                                  " are damaged: " + BackupFilePath() + " holds 63 bytes, while " +
                                  BackupIndexPath() + " lists 80 bytes of copies.",
                              "exclamation"));
    EXPECT_EQ(Icons(d.m_currentList), "");

    // Whole, but with a bit flipped: not the file as it was backed up either.
    std::string flipped = backup;
    flipped[flipped.size() - 20] = char(flipped[flipped.size() - 20] ^ 0x08);
    p.WriteFile(BackupFilePath(), flipped);
    Display(false);
    EXPECT_EQ(
        p.ui.Events().back(),
        MessageBoxEvent("Couldn't analyse E:\\b.txt.\nIts backup copy in " + BackupFilePath() +
                            " was made before copies had digests, and it does not have the "
                            "digest of the file's record: it cannot be vouched for.",
                        "exclamation"));
}

// The copy is the first entry of the whole path in the pair of the open database's own line:
// without an entry, a line (another database's, one whose path begins with the open one's,
// or none at all) or the backup folder's setting, the not-backed-up rows show.
TEST_F(FileAnalysisTest, WhichCopyIsShown) {
    const std::string path = "E:\\b.txt";
    p.WriteFile(path, "earlier");
    StoreDatabase(AddedRecord(path));
    p.WriteFile(path, "current");
    StoreBackupIndex(BuildBackupIndexLine(path + ".bak", "P", 5.0, 5) + "\r\n" +
                     BuildBackupIndexLine(path, "N", 16.0, 7) + "\r\n" +
                     BuildBackupIndexLine(path, "P", 7.0, 7) + "\r\n");
    p.WriteFile(BackupFilePath(), "other" + EncryptedCopy("earlier") + "later!!");
    D& d = Display(false);
    EXPECT_EQ(RowText(d.m_backupList, 0) + " " + Icons(d.m_currentList), "0|earlier 1");

    const std::string notBackedUp =
        "|File was not backed up.||To enable comparison in future, change your settings with the "
        "'Configuration' menu. 2-- 3";
    auto shown = [&] {
        Display(false);
        return RowText(d.m_backupList, 0) + RowText(d.m_backupList, 1) +
               RowText(d.m_backupList, 2) + " " + Icons(d.m_backupList) + " " +
               Icons(d.m_currentList);
    };
    // Both entries begin with "E:\b.tx", neither is its entry.
    p.frame.m_analysisPath = "E:\\b.tx";
    p.WriteFile("E:\\b.tx", "current");
    EXPECT_EQ(shown(), notBackedUp);
    p.frame.m_analysisPath = path;
    StoreDatabaseIndex(p, CreatedIndexLine(kDatabase + "2", 1, std::string(32, 'a')) + "\r\n" +
                              CreatedIndexLine("E:\\other.qdb", 1, std::string(32, 'b')) + "\r\n");
    EXPECT_EQ(shown(), notBackedUp);
    EXPECT_EQ(p.ui.Events().size(), 5u);  // no message box
    platform::RemoveFile(DatabaseIndexPath(p.BackupDir()));
    EXPECT_EQ(shown(), notBackedUp);
    p.RemoveReg("Backup\\Backup Files Directory");
    EXPECT_EQ(shown(), notBackedUp);
    EXPECT_EQ(p.ui.Events()[1], MessageBoxEvent("Registry error.", "stop"));
    // In the hex display the texts stand in "Bytes [Hex]"; the warning beside its text only.
    Display(true);
    EXPECT_EQ(RowText(d.m_backupList, 0), "|File was not backed up.|");
    EXPECT_EQ(std::make_pair(d.m_backupList.CellIcon(0, 0), d.m_backupList.CellIcon(0, 1)),
              std::make_pair(-1, 2));
    EXPECT_EQ(d.m_currentList.CellIcon(0, 2), 3);
}

TEST_F(FileAnalysisTest, CancelBeforeDuringAndAfterADisplay) {
    const std::string original = Pattern(2 * kMiB + 100);
    std::string now = original;
    now[kMiB + 10] = '!';
    Backed("P", original, now);
    // Before any display: one empty row "0" in each list, ticked; the next display is whole.
    dlg.OnCommand(D::IDC_CANCEL_ANALYSIS);
    D& d = Display(false);
    EXPECT_EQ(RowText(d.m_backupList, 0) + " " + RowText(d.m_currentList, 0), "0| 0|");
    EXPECT_EQ(Icons(d.m_backupList) + Icons(d.m_currentList), "-0");
    EXPECT_EQ(Display(false).m_currentList.RowCount(), now.size() / 128 + 1);

    // During the backup list: the file's list keeps no bytes either.
    cancelAt = 1;
    Display(true);
    EXPECT_EQ(RowText(d.m_backupList, 0) + " " + RowText(d.m_currentList, 0), "0|| 0||");
    EXPECT_EQ(d.m_currentList.RowCount(), 1u);

    // During the file's list, after its first block: its rows so far and an empty row, crossed
    // against the backup's row there.
    cancelAt = 3;
    Display(true);
    EXPECT_EQ(d.m_backupList.RowCount(), original.size() / 32 + 1);
    EXPECT_EQ(RowText(d.m_currentList, kMiB / 32), "100000||");
    EXPECT_EQ(Icons(d.m_currentList), std::string(kMiB / 32, '0') + "1");
}

// The status texts and progress captions, the progress counted by rows, and a file that cannot
// be read: named with the cause, the lists left as they were.
TEST_F(FileAnalysisTest, StatusProgressAndFilesThatCannotBeRead) {
    Backed("P", Pattern(300), Pattern(300));
    D& d = Display(false);
    EXPECT_EQ(
        p.ui.Events(),
        (std::vector<std::string>{
            "{\"event\":\"status\",\"text\":\"Initiating File Analysis [Text details]...\"}",
            "{\"event\":\"progress\",\"caption\":\"Analysing Backup File [Text details]...\"}",
            "{\"event\":\"status\",\"text\":\"Ready\"}",
            "{\"event\":\"progress\",\"caption\":\"Analysing File [Text details]...\"}",
            "{\"event\":\"status\",\"text\":\"Ready\"}"}));
    EXPECT_EQ(std::make_pair(p.ui.statusProgressTotal, p.ui.statusProgressSteps),
              std::make_pair(2, 2));

    platform::RemoveFile(files[1]);
    Display(true);
    EXPECT_EQ(p.ui.Events()[1], "{\"event\":\"status\",\"text\":\"Ready\"}");
    EXPECT_EQ(p.ui.Events().back(),
              MessageBoxEvent("Couldn't analyse E:\\b.txt.\nE:\\b.txt could not be read.\n"
                              "Reason: FileNotFound.",
                              "exclamation"));
    EXPECT_EQ(std::make_pair(d.m_backupList.Columns().size(), d.m_currentList.RowCount()),
              std::make_pair(size_t(2), uint64_t(3)));
    p.WriteFile(files[1], "back");
    platform::RemoveFile(BackupFilePath());
    Display(true);
    EXPECT_EQ(p.ui.Events().back(),
              MessageBoxEvent("Couldn't analyse E:\\b.txt.\n" + BackupFilePath() +
                                  " could not be read.\nReason: FileNotFound.",
                              "exclamation"));
}

// A file changed after its rows were compared: a row drawn then shows a note and no mark,
// whether its bytes changed (during the display, or after it at the same size and
// modification time), only its times, or another file took its name; the next display shows
// the file as it is.
TEST_F(FileAnalysisTest, AFileChangedAfterItsRowsWereComparedShowsANoteAndNoMark) {
    const std::string note = AnalysisList::kChangedNote;
    const std::string big = Pattern(kMiB + 100);
    std::string bigChanged = big;
    bigChanged[0] = 'A';
    for (const std::string change : {"during", "bytes", "times", "name"}) {
        SCOPED_TRACE(change);
        const std::string& before = change == "during" ? big : "hello world";
        const std::string& after = change == "during" ? bigChanged : "HELLO world";
        Backed("P", before, before);
        SetModifiedTime(p, files[1], 1000000000);
        // The first block is compared between the second dispatch and the third.
        whileDisplaying = [&](int dispatch) {
            if (change == "during" && dispatch == 3)
                p.WriteFile(files[1], after);
        };
        D& d = Display(true);
        whileDisplaying = nullptr;
        if (change == "bytes") {
            p.WriteFile(files[1], after);
            SetModifiedTime(p, files[1], 1000000000);
        } else if (change != "during") {
            // The rows drawn before the change are those compared.
            EXPECT_EQ(RowText(d.m_currentList, 0), RowText(d.m_backupList, 0));
            if (change == "times") {
                SetModifiedTime(p, files[1], 1000000001);
            } else {
                p.WriteFile("E:\\new.txt", after);
                ASSERT_EQ(rename(p.Host("E:\\new.txt").c_str(), p.Host(files[1]).c_str()), 0);
            }
        }
        EXPECT_EQ(RowText(d.m_currentList, 0), "0|" + note + "|");
        EXPECT_EQ(d.m_currentList.RowIcon(0), kNoIcon);
        const std::string& now = change == "times" ? before : after;
        EXPECT_EQ(RowText(Display(false).m_currentList, 0), "0|" + now.substr(0, 128));
        EXPECT_EQ(d.m_currentList.RowIcon(0), change == "times" ? kIconSame : kIconDifferent);
    }
}

TEST_F(FileAnalysisTest, HelpAndFurtherAnalysis) {
    Backed("N", Pattern(40), Pattern(40));
    p.SetReg("Install Directory", "C:\\Q\\");
    p.ui.ClearEvents();
    dlg.OnCommand(D::IDC_HELP_BUTTON);
    EXPECT_EQ(p.ui.Events(),
              (std::vector<std::string>{"{\"event\":\"help\",\"text\":"
                                        "\"C:\\\\Q\\\\Quillstead.chm::/filechanges.html>Main\"}"}));

    // "Further analysis" names the file in the frame and runs the dialog modally.
    CChangedFileDetailsDlg details(view.get());
    details.m_pathLine1 = files[1];
    std::string shown;
    p.ui.onDialog = [&](CDialog& dialog) {
        auto& opened = dynamic_cast<D&>(dialog);
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
