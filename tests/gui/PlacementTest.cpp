// Where dialogs stand and what they show, on any screen and under a window manager or none:
// every dialog and box opens whole (every control at its size with its label, no control
// over another) and in the middle of the main window, at its first opening and again;
// message boxes and the change dialogs holding paths of any length fit the screen, show the
// whole text (scrolled only when even wrapped it is taller than the screen) and keep it byte
// for byte; the help window (the topic's own page) and the progress dialogs stand in the
// middle of the main window too.
#include <wx/button.h>
#include <wx/display.h>
#include <wx/html/htmlwin.h>
#include <wx/sizer.h>

#include <algorithm>
#include <functional>

#include "app/NoDatabaseView.h"
#include "app/PasswordDlg.h"
#include "check/ChangedFileDetailsDlg.h"
#include "check/CheckingSummaryDlg.h"
#include "check/FileAnalysisDlg.h"
#include "check/RestoreDlg.h"
#include "criteria/AddByAbilitiesDlg.h"
#include "criteria/AddByAttributesDlg.h"
#include "criteria/AddByContentsDlg.h"
#include "gui/MainWindow.h"
#include "gui/MessageBoxView.h"
#include "gui/ProgressView.h"
#include "gui/WrappedText.h"
#include "platform/FileException.h"
#include "schedule/ScheduledCheckingDlg.h"
#include "tests/gui/GuiTest.h"

namespace {

// A path of about `length` bytes: folders under E:, the last one cut where the length ends.
std::string LongPath(size_t length, const std::string& folder = "folder of photographs") {
    std::string path = "E:";
    while (path.size() < length) path += "\\" + folder;
    return path.substr(0, length);
}

std::string Unbroken(wxString text) {
    text.Replace("\n", "");
    return FromWx(text);
}

}  // namespace

class PlacementTest : public WindowTest {
  protected:
    // A box that must show `text` whole (wrapped, or scrolled when `scrolls`), on the
    // screen and in the middle of the main window.
    void ExpectBox(const std::string& text, bool scrolls) {
        Hook().ExpectView(
            "Quillstead",
            [this, text, scrolls](wxDialog* d) {
                auto* box = dynamic_cast<MessageBoxView*>(d);
                ASSERT_NE(box, nullptr);
                EXPECT_EQ(FromWx(box->GetMessage()), text);
                EXPECT_EQ(FromWx(box->Text()->GetLabel()), text);
                EXPECT_EQ(box->Text()->Scrolls(), scrolls);
                EXPECT_EQ(Unbroken(box->Text()->ShownText()), Unbroken(ToWx(text)));
                ExpectCentredOn(d, window);
                ExpectWhole(d);
                SaveScreen("box" + std::to_string(++m_boxes));
            },
            wxID_OK);
    }
    int m_boxes = 0;
};

TEST_F(PlacementTest, MessageBoxesWithLongPathsFitTheScreen) {
    const std::string path = LongPath(1142);
    const struct {
        std::string text;
        bool scrolls;
    } cases[] = {
        {"Couldn't back up " + path +
             " into C:\\Program Files\\Quillstead\\Backup Files\\Backup "
             "File 1\nReason: A sharing violation occurred.",
         false},
        {LongPath(1142, "x") + " previously listed.", false},
        {std::string(1142, 'a') + " could not be opened for reading, so it was not added.", false},
        {LongPath(40000) + " previously listed.", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        ExpectBox(c.text, c.scrolls);
        EXPECT_EQ(ui.MessageBox(c.text, MbIcon::Exclamation, MbButtons::OkCancel), MbResult::Ok);
    }
    // The framework's report of a file exception too.
    const CFileException e(CFileException::accessDenied, path);
    ExpectBox(FrameworkFileErrorText(e), false);
    ui.ReportFileException(e);
}

TEST_F(PlacementTest, TheChangedFileDetailsOfALongPathFitTheScreen) {
    using D = CChangedFileDetailsDlg;
    for (size_t length : {1142, 40000}) {
        SCOPED_TRACE(length);
        const std::string path = LongPath(length);
        CChangedFileDetailsDlg details;
        details.m_choice = 0;
        details.m_pathLine1 = path.substr(0, 92);
        details.m_pathLine2 = path.substr(92, 92);
        details.m_pathLine3 = path.substr(184);
        Hook().ExpectView(
            "Changed file details.",
            [&](wxDialog* d) {
                EXPECT_EQ(ControlText(d, D::IDC_PATH1), path.substr(0, 92));
                EXPECT_EQ(ControlText(d, D::IDC_PATH3), path.substr(184));
                auto* last = dynamic_cast<WrappedText*>(d->FindWindow(D::IDC_PATH3));
                ASSERT_NE(last, nullptr);
                // A small screen scrolls a shorter path too.
                if (length > 20000) {
                    EXPECT_TRUE(last->Scrolls());
                }
                EXPECT_EQ(Unbroken(last->ShownText()), path.substr(184));
                ExpectCentredOn(d, window);
                ExpectWhole(d);
            },
            wxID_OK);
        EXPECT_EQ(details.DoModal(), IDOK);
        EXPECT_EQ(details.m_pathLine1 + details.m_pathLine2 + details.m_pathLine3, path);
    }
}

TEST_F(PlacementTest, EveryDialogStandsInTheMiddleOfTheMainWindow) {
    // A dialog view, a box over it, and the help over it.
    CCheckingSummaryDlg summary;
    summary.m_pathLine1 = "E:\\databases\\home";
    Hook().ExpectView(
        "Checking Summary.",
        [this](wxDialog* d) {
            ExpectCentredOn(d, window);
            Hook().ExpectView(
                "Quillstead", [this](wxDialog* box) { ExpectCentredOn(box, window); }, wxID_OK);
            ui.MessageBox("Over the summary.", MbIcon::Information, MbButtons::Ok);
            // Over a modal dialog the help is modal too, and shows the topic's own page.
            Hook().ExpectView(
                "Quillstead Help",
                [this](wxDialog* help) {
                    ExpectCentredOn(help, window);
                    auto* html =
                        dynamic_cast<wxHtmlWindow*>(help->GetChildren().GetFirst()->GetData());
                    ASSERT_NE(html, nullptr);
                    EXPECT_NE(html->GetOpenedPage().Find("filechanges.html"), wxNOT_FOUND);
                    EXPECT_NE(html->ToText().Find("Restore the original file"), wxNOT_FOUND);
                },
                wxID_CANCEL);
            ui.ShowHelp("C:\\Program Files\\Quillstead\\Quillstead.chm::/filechanges.html>Main");
        },
        wxID_OK);
    summary.DoModal();

    // The help of its own, and a progress dialog.
    ui.ShowHelp("Quillstead.chm::/filechanges.html>Main");
    wxWindow* help = nullptr;
    for (wxWindow* top : wxTopLevelWindows) {
        if (top->GetLabel() == "Quillstead Help")
            help = top;
    }
    ASSERT_NE(help, nullptr);
    ExpectCentredOn(help, window);
    help->Destroy();

    auto progress = ui.CreateProgress(102);
    auto* view = dynamic_cast<ProgressView*>(progress.get());
    ASSERT_NE(view, nullptr);
    ExpectCentredOn(view->Window(), window);
    ExpectWhole(view->Window());
}

TEST_F(PlacementTest, EveryDialogOpensWholeAndCentredEachTime) {
    const std::string path = LongPath(260);
    CChangedFileDetailsDlg details;
    details.m_choice = 0;
    details.m_pathLine1 = path.substr(0, 92);
    details.m_pathLine2 = path.substr(92, 92);
    details.m_pathLine3 = path.substr(184);
    details.m_lastCheckedText = "Database last checked:   00:30:05   7.3.2004";
    details.m_fileType = "TXT File.";
    details.m_attributesWhenAdded = details.m_attributesNow = "System, Read only, Archive, Hidden.";
    details.m_sizeWhenAdded = "1073741825 Bytes.  [1.00 GB].";
    details.m_sizeNow = "2048 Bytes.  [2.00 KB].";
    details.m_createdWhenAdded = details.m_createdNow = "Indeterminate";
    details.m_modifiedWhenAdded = "23:59:59   31.12.2004";
    details.m_modifiedNow = "00:30:05   7.3.2004";
    details.m_digestWhenAdded = "0123456789abcdef0123456789abcdef";
    details.m_digestNow = "fedcba9876543210fedcba9876543210";
    CCheckingSummaryDlg summary;
    summary.m_pathLine1 = path.substr(0, 92);
    summary.m_pathLine2 = path.substr(92, 92);
    summary.m_pathLine3 = path.substr(184);
    summary.m_checkedTimeText = "00:30:05   7.3.2004";
    for (std::string* count : {&summary.m_filesListedText, &summary.m_filesCheckedText,
                               &summary.m_filesIdenticalText, &summary.m_expectedCountText})
        *count = "4294967295";
    summary.m_filesChangedText = summary.m_filesUncheckedText = "0";
    CRestoreDlg restore;
    restore.m_pathLine1 = details.m_pathLine1;
    restore.m_pathLine2 = details.m_pathLine2;
    restore.m_pathLine3 = details.m_pathLine3;
    CFileAnalysisDlg analysis(prefix.frame);
    prefix.frame.m_analysisPath = path;
    CAddByAttributesDlg attributes;
    CAddByContentsDlg contents;
    CAddByAbilitiesDlg abilities;
    CCNoflview view(prefix.frame);
    CScheduledCheckingDlg scheduling(view);
    CPasswordDlg password;
    const std::pair<CDialog*, std::string> dialogs[] = {
        {&details, "Changed file details."},
        {&summary, "Checking Summary."},
        {&restore, "File restore from backup."},
        {&analysis, "File Analysis: " + path},
        {&attributes, "Add files to the database according to their attributes."},
        {&contents, ""},
        {&abilities, "Add files according to their abilities / functionality."},
        {&scheduling, "Scheduled Checking"},
        {&password, "Quillstead"},
    };
    for (const auto& [dialog, title] : dialogs) {
        for (int opening = 1; opening <= 2; ++opening) {
            SCOPED_TRACE(std::string(dialog->ClassName()) + " opening " + std::to_string(opening));
            const std::string name = dialog->ClassName();
            Hook().Expect(name, [this, title = title, name, opening](wxDialog* d) {
                if (!title.empty()) {
                    EXPECT_EQ(FromWx(d->GetTitle()), title);
                }
                d->CallAfter([this, d, name, opening] {
                    ExpectCentredOn(d, window);
                    ExpectWhole(d);
                    SaveScreen(name + std::to_string(opening));
                    d->EndModal(wxID_CANCEL);
                });
                return int(wxID_NONE);
            });
            dialog->DoModal();
        }
    }
    // A box's last line and a long path's end are shown, at each opening.
    const std::string text = "Couldn't check " + path + "\nReason: FileNotFound.";
    for (int opening = 1; opening <= 2; ++opening) {
        ExpectBox(text, false);
        ui.MessageBox(text, MbIcon::Exclamation, MbButtons::Ok);
    }
}
