// Where dialogs stand: message boxes and the change dialogs holding paths of any length fit
// the screen with every button on it, show the whole text (scrolled only when even wrapped
// it is taller than the screen) and keep it byte for byte; and every box, dialog, progress
// dialog and help window (the topic's own page) stands in the middle of the main window.
#include <wx/button.h>
#include <wx/display.h>
#include <wx/html/htmlwin.h>

#include <algorithm>
#include <functional>

#include "check/ChangedFileDetailsDlg.h"
#include "check/CheckingSummaryDlg.h"
#include "gui/MainWindow.h"
#include "gui/MessageBoxView.h"
#include "gui/ProgressView.h"
#include "gui/WrappedText.h"
#include "platform/FileException.h"
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

// The dialog and every button of it lie wholly on the screen.
void ExpectOnScreen(wxWindow* dialog) {
    const wxRect rect = dialog->GetScreenRect();
    EXPECT_TRUE(wxDisplay(0u).GetClientArea().Contains(rect)) << "the dialog";
    int buttons = 0;
    std::function<void(wxWindow*)> visit = [&](wxWindow* window) {
        for (wxWindow* child : window->GetChildren()) {
            if (auto* button = dynamic_cast<wxButton*>(child)) {
                ++buttons;
                EXPECT_TRUE(rect.Contains(button->GetScreenRect()))
                    << FromWx(button->GetLabelText());
            }
            visit(child);
        }
    };
    visit(dialog);
    EXPECT_GT(buttons, 0);
}

// The dialog stands in the middle of `window`, unless that would take it off the screen:
// then it is moved just onto it.
void ExpectCentredOn(wxWindow* dialog, wxWindow* window) {
    const wxRect area = wxDisplay(0u).GetClientArea();
    wxRect expected = dialog->GetScreenRect().CentreIn(window->GetScreenRect());
    expected.x = std::clamp(expected.x, area.x, area.GetRight() + 1 - expected.width);
    expected.y = std::clamp(expected.y, area.y, area.GetBottom() + 1 - expected.height);
    const wxPoint at = dialog->GetScreenPosition();
    EXPECT_NEAR(at.x, expected.x, 1) << FromWx(dialog->GetLabel());
    EXPECT_NEAR(at.y, expected.y, 1) << FromWx(dialog->GetLabel());
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
                ExpectOnScreen(d);
                ExpectCentredOn(d, window);
            },
            wxID_OK);
    }
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
                EXPECT_EQ(last->Scrolls(), length > 20000);
                EXPECT_EQ(Unbroken(last->ShownText()), path.substr(184));
                ExpectOnScreen(d);
                ExpectCentredOn(d, window);
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
}
