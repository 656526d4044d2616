// "File Analysis: " on screen: the template's buttons, the two virtual lists filled by the
// display buttons with the model's columns, rows and icons, the buttons disabled while a
// display runs, and Escape during a display stopping it and closing the dialog.
#include <wx/listctrl.h>

#include "check/FileAnalysisDlg.h"
#include "platform/File.h"
#include "storage/BackupDigests.h"
#include "storage/BackupIndex.h"
#include "storage/DatabaseIndex.h"
#include "storage/Md5.h"
#include "storage/ProtectedFile.h"
#include "tests/gui/GuiTest.h"

namespace {

using D = CFileAnalysisDlg;

class FileAnalysisViewTest : public GuiTest {
  protected:
    // E:\b.txt backed up plain as `original` in the pair of the open database, holding `now`.
    void Backed(const std::string& original, const std::string& now) {
        const std::string dir = prefix.BackupDir();
        prefix.frame.m_openDatabasePath = "E:\\db.qdb";
        Store(DatabaseIndexPath(dir),
              BuildDatabaseIndexLine("E:\\db.qdb", 1, FILETIME(), std::string(32, '0')) + "\r\n",
              prefix.frame.Store().IndexIv());
        const std::string index = BackupIndexPath(dir, "1");
        Store(index,
              BuildBackupIndexLine("E:\\b.txt", "P", double(original.size()),
                                   uint32_t(original.size())) +
                  "\r\n",
              IvFromText(index));
        prefix.WriteFile(BackupFilePath(dir, "1"), original);
        const std::string digests = BackupDigestsPath(dir, "1");
        Md5Context md5;
        MD5Init(&md5);
        MD5Update(&md5, original.data(), original.size());
        Store(digests, BuildBackupDigestLine("E:\\b.txt", DigestHex(MD5Final(&md5))),
              IvFromText(digests));
        prefix.WriteFile("E:\\b.txt", now);
        prefix.frame.m_analysisPath = "E:\\b.txt";
    }
    void Store(const std::string& path, const std::string& plain, const Iv& iv) {
        prefix.WriteFile("E:\\plain.tmp", plain);
        EncryptFileWithIv(prefix.frame.Store().FileKey(), path, "E:\\plain.tmp", iv);
        platform::RemoveFile("E:\\plain.tmp");
    }
};

wxListCtrl* List(wxWindow* dialog, int id) {
    return dynamic_cast<wxListCtrl*>(dialog->FindWindow(id));
}

int Image(wxListCtrl* list, long row, int column) {
    wxListItem item;
    item.SetId(row);
    item.SetColumn(column);
    item.SetMask(wxLIST_MASK_IMAGE);
    list->GetItem(item);
    return item.GetImage();
}

// Each column has its title and is at least its design width, and wide enough for its texts
// in the list's font beside the row marks: the last offset, 32 hex bytes, a row's text.
void ExpectWideEnough(wxListCtrl* list, const std::vector<std::string>& titles,
                      const std::vector<int>& widths, size_t rowBytes) {
    ASSERT_EQ(list->GetColumnCount(), int(titles.size()));
    const int mark = 16;
    for (size_t i = 0; i < titles.size(); ++i) {
        wxListItem item;
        item.SetMask(wxLIST_MASK_TEXT);
        list->GetColumn(int(i), item);
        EXPECT_EQ(FromWx(item.GetText()), titles[i]);
        EXPECT_GE(list->GetColumnWidth(int(i)), widths[i]) << titles[i];
        std::string text = FromWx(list->GetItemText(0, int(i)));  // a row's text
        if (titles[i] == "Bytes [Hex]") {
            text.clear();
            for (size_t b = 0; b < rowBytes; ++b) text += "DD ";
        } else if (i == 0)
            text = FromWx(list->GetItemText(list->GetItemCount() - 1, 0));
        EXPECT_GE(list->GetColumnWidth(int(i)), list->GetTextExtent(ToWx(text)).x + mark)
            << titles[i];
    }
}

bool DisplayButtonsEnabled(wxWindow* d) {
    return d->FindWindow(wxID_OK)->IsEnabled() && d->FindWindow(D::IDC_HEX_DISPLAY)->IsEnabled() &&
           d->FindWindow(D::IDC_TEXT_DISPLAY)->IsEnabled();
}

}  // namespace

TEST_F(FileAnalysisViewTest, DisplaysFillBothListsWithTheirColumnsRowsAndMarks) {
    std::string original(70, 'q'), now = original;
    now[40] = '#';
    Backed(original, now);
    CFileAnalysisDlg dlg(prefix.frame);
    Hook().ExpectView(
        "File Analysis: E:\\b.txt",
        [&](wxDialog* d) {
            EXPECT_EQ(ControlText(d, D::IDC_HEX_DISPLAY) + ControlText(d, D::IDC_TEXT_DISPLAY) +
                          ControlText(d, IDOK) + ControlText(d, D::IDC_CANCEL_ANALYSIS) +
                          ControlText(d, D::IDC_HELP_BUTTON),
                      "Hex DisplayText DisplayOKCancelHelp");
            EXPECT_EQ(d->FindWindow(wxID_CANCEL), nullptr);
            EXPECT_EQ(d->GetChildren().front(), d->FindWindow(wxID_OK));  // first in tab order
            wxListCtrl* backup = List(d, D::IDC_BACKUP_LIST);
            wxListCtrl* current = List(d, D::IDC_CURRENT_LIST);
            ASSERT_TRUE(backup && current);
            EXPECT_EQ(backup->GetColumnCount(), 0);
            EXPECT_EQ(current->GetItemCount(), 0);

            bool disabledDuring = false;
            d->CallAfter([&] { disabledDuring = !DisplayButtonsEnabled(d); });
            Click(d, D::IDC_HEX_DISPLAY);
            EXPECT_TRUE(disabledDuring);
            EXPECT_TRUE(DisplayButtonsEnabled(d));
            ASSERT_EQ(backup->GetColumnCount(), 3);
            ExpectWideEnough(backup, {"Offset", "Bytes [Hex]", "ASCII"}, {60, 515, 215}, 32);
            ExpectWideEnough(current, {"Offset", "Bytes [Hex]", "ASCII"}, {60, 515, 215}, 32);
            EXPECT_EQ(backup->GetItemCount(), 3);
            ASSERT_EQ(current->GetItemCount(), 3);
            EXPECT_EQ(FromWx(current->GetItemText(1, 0)), "20");
            EXPECT_EQ(FromWx(current->GetItemText(1, 2)),
                      std::string(8, 'q') + "#" + std::string(23, 'q'));
            EXPECT_EQ(FromWx(backup->GetItemText(2, 1)), "71 71 71 71 71 71 ");
            for (int column : {0, 1, 2}) {
                EXPECT_EQ(Image(current, 0, column), 0);
                EXPECT_EQ(Image(current, 1, column), 1);
            }
            EXPECT_EQ(Image(backup, 1, 1), -1);

            Click(d, D::IDC_TEXT_DISPLAY);
            ASSERT_EQ(current->GetColumnCount(), 2);
            ExpectWideEnough(current, {"Offset", "ASCII"}, {60, 825}, 128);
            EXPECT_EQ(current->GetItemCount(), 1);
            EXPECT_EQ(Image(current, 0, 1), 1);

            // Without a copy: the warning beside "File was not backed up.", question marks.
            prefix.frame.m_analysisPath = "E:\\new.txt";
            prefix.WriteFile("E:\\new.txt", "new");
            Click(d, D::IDC_TEXT_DISPLAY);
            ASSERT_EQ(backup->GetItemCount(), 3);
            EXPECT_EQ(FromWx(backup->GetItemText(0, 1)), "File was not backed up.");
            EXPECT_EQ(Image(backup, 0, 1), 2);
            EXPECT_EQ(Image(current, 0, 1), 3);
        },
        wxID_OK);
    EXPECT_EQ(dlg.DoModal(), IDOK);
}

// Escape while a display runs stops it as Cancel does, then closes the dialog.
TEST_F(FileAnalysisViewTest, EscapeDuringADisplayStopsItAndCloses) {
    Backed(std::string(5000, 'a'), std::string(5000, 'a'));
    CFileAnalysisDlg dlg(prefix.frame);
    Hook().ExpectView(
        "File Analysis: E:\\b.txt",
        [&](wxDialog* d) {
            d->CallAfter([d] {
                wxKeyEvent escape(wxEVT_CHAR_HOOK);
                escape.m_keyCode = WXK_ESCAPE;
                d->GetEventHandler()->ProcessEvent(escape);
                EXPECT_TRUE(d->IsModal());  // not while the display runs
            });
            Click(d, D::IDC_HEX_DISPLAY);
            EXPECT_EQ(List(d, D::IDC_CURRENT_LIST)->GetItemCount(), 1);
            EXPECT_TRUE(PumpUntil([d] { return !d->IsModal(); }, 2000));
        },
        wxID_CANCEL);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}
