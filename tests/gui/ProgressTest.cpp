// The progress indicators: the two progress dialogs (texts, bar, percent, Cancel that only
// raises a flag, the main window disabled while one is up, the cheap cancel poll) and the
// status-bar progress in pane 0, each redrawn at most 50 times a second.
#include <wx/gauge.h>
#include <wx/stattext.h>

#include <chrono>

#include "app/ProgressDialogs.h"
#include "gui/ColourBar.h"
#include "gui/MainWindow.h"
#include "gui/ProgressView.h"
#include "gui/RedrawGate.h"
#include "gui/StatusBar.h"
#include "tests/gui/GuiTest.h"

namespace {

std::vector<std::string> Labels(wxWindow* window) {
    std::vector<std::string> labels;
    for (wxWindow* child : window->GetChildren()) {
        auto* text = dynamic_cast<wxStaticText*>(child);
        if (text && text->GetId() < 0)
            labels.push_back(FromWx(text->GetLabelText()));
    }
    return labels;
}

}  // namespace

using ProgressTest = WindowTest;

TEST_F(ProgressTest, TheCheckingDialogShowsItsTextsAndDisablesTheMainWindow) {
    auto progress = ui.CreateProgress(102);
    auto* view = dynamic_cast<ProgressView*>(progress.get());
    ASSERT_NE(view, nullptr);
    wxDialog* dialog = view->Window();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(FromWx(dialog->GetTitle()), "Checking all files in database.");
    EXPECT_EQ(Labels(dialog), (std::vector<std::string>{"Remaining number of files to check:",
                                                        "Remaining quantity of data to check:"}));
    EXPECT_FALSE(window->IsEnabled());
    EXPECT_TRUE(dialog->IsShown());
    EXPECT_EQ(ControlText(dialog, 1004), "0%");

    progress->SetItemText(1051, "E:\\data\\report & notes.txt");
    progress->SetItemText(1114, "12");
    progress->SetItemText(1115, "1024 bytes.");
    progress->SetIcon(1200, Icon::Resource(373));
    progress->SetPos(32500);
    EXPECT_EQ(ControlText(dialog, 1051), "E:\\data\\report & notes.txt");
    EXPECT_EQ(ControlText(dialog, 1114), "12");
    EXPECT_EQ(ControlText(dialog, 1115), "1024 bytes.");
    EXPECT_EQ(ControlText(dialog, 1004), "50%");
    wxGauge* gauge = nullptr;
    for (wxWindow* child : dialog->GetChildren()) {
        if (!gauge)
            gauge = dynamic_cast<wxGauge*>(child);
    }
    ASSERT_NE(gauge, nullptr);
    EXPECT_EQ(gauge->GetRange(), 65000);
    EXPECT_EQ(gauge->GetValue(), 32500);

    progress->Close();
    EXPECT_EQ(view->Window(), nullptr);
    EXPECT_TRUE(window->IsEnabled());
    progress->Close();  // twice is harmless
    EXPECT_TRUE(window->IsEnabled());
}

TEST_F(ProgressTest, TheAddingDialogThroughItsModel) {
    {
        CAddProgressDlg model;
        model.Create();
        ASSERT_TRUE(model.IsOpen());
        EXPECT_FALSE(window->IsEnabled());
        model.SetWindowText("Adding files.");
        model.SetItemText(1005, "E:\\a.txt");
        model.SetPos(65000);
        wxDialog* dialog = nullptr;
        for (wxWindow* top : wxTopLevelWindows) {
            auto* d = dynamic_cast<wxDialog*>(top);
            if (d && d->IsShown() && d->FindWindow(1005))
                dialog = d;
        }
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(FromWx(dialog->GetTitle()), "Adding files.");
        EXPECT_EQ(Labels(dialog),
                  (std::vector<std::string>{"Remaining number of files to add:",
                                            "Remaining quantity of data to process:"}));
        EXPECT_EQ(ControlText(dialog, 1005), "E:\\a.txt");
        EXPECT_EQ(ControlText(dialog, 1004), "100%");
        EXPECT_EQ(dialog->FindWindow(1051), nullptr);
    }
    // The model's destructor closed the window and gave the main window back.
    EXPECT_TRUE(window->IsEnabled());
}

TEST_F(ProgressTest, CancelOnlyRaisesAFlagThatThePollReturnsOnce) {
    auto progress = ui.CreateProgress(102);
    auto* view = dynamic_cast<ProgressView*>(progress.get());
    wxDialog* dialog = view->Window();
    wxWindow* cancel = dialog->FindWindow(wxID_CANCEL);
    ASSERT_NE(cancel, nullptr);
    Click(cancel, wxID_CANCEL);
    // The dialog stays up; the poll answers true once, then false again.
    EXPECT_TRUE(dialog->IsShown());
    int trues = 0;
    for (int i = 0; i < 3 * CancelPoll::kPollsPerClockRead; ++i) trues += progress->PollCancel();
    EXPECT_EQ(trues, 1);
    EXPECT_TRUE(dialog->IsShown());

    // The close box is Cancel too, and leaves the dialog where it is.
    dialog->Close();
    Pump();
    EXPECT_TRUE(dialog->IsShown());
    EXPECT_TRUE(progress->PollCancel());
    EXPECT_FALSE(progress->PollCancel());
    progress->Close();
}

TEST_F(ProgressTest, PollsLetEventsRunOnlyEveryFewMilliseconds) {
    auto progress = ui.CreateProgress(108);
    auto* view = dynamic_cast<ProgressView*>(progress.get());
    const long before = view->Pumps();
    // A burst of polls well inside one interval: the clock is read at most a few times and
    // events run at most once or twice.
    for (int i = 0; i < 10 * CancelPoll::kPollsPerClockRead; ++i) progress->PollCancel();
    EXPECT_LE(view->Pumps() - before, 2);

    // Once the interval has passed, the next clock read lets them run.
    wxMilliSleep(2 * CancelPoll::kPumpInterval.count());
    const long waited = view->Pumps();
    for (int i = 0; i < CancelPoll::kPollsPerClockRead; ++i) progress->PollCancel();
    EXPECT_EQ(view->Pumps(), waited + 1);

    // A bar move that redraws (the first one does) lets them run first.
    progress->SetPos(100);
    EXPECT_EQ(view->Pumps(), waited + 2);
    progress->Close();
}

TEST_F(ProgressTest, TheStatusBarProgressInPaneZero) {
    QuillStatusBar* status = window->Status();
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->GetFieldsCount(), 3);
    EXPECT_EQ(FromWx(status->GetStatusText(0)), "Ready");

    window->Model().BeginProgress("Analysing File [Hex details]...", 3);
    ColourBar* bar = status->Bar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(FromWx(status->GetStatusText(0)), "Analysing File [Hex details]...");
    EXPECT_EQ(bar->GetRange(), 3);
    EXPECT_EQ(bar->GetBarColour(), wxColour(255, 0, 255));
    wxRect pane;
    ASSERT_TRUE(status->GetFieldRect(0, pane));
    EXPECT_TRUE(pane.Contains(bar->GetRect().GetTopLeft()));
    window->Model().StepProgress();
    window->Model().StepProgress();
    EXPECT_EQ(status->ProgressValue(), 2);
    EXPECT_TRUE(PumpUntil([bar] { return bar->GetValue() == 2; }));

    ui.StatusProgressBegin("Initiating File Analysis [Text details]...", 10, 0xF700AA, false);
    EXPECT_EQ(status->Bar()->GetBarColour(), wxColour(0xAA, 0x00, 0xF7));
    ui.StatusProgressEnd();
    EXPECT_EQ(status->Bar(), nullptr);
    EXPECT_EQ(FromWx(status->GetStatusText(0)), "Initiating File Analysis [Text details]...");
    ui.SetStatusText("Processing...");
    EXPECT_EQ(FromWx(status->GetStatusText(0)), "Processing...");

    window->Model().BeginProgress("Restoring File...", 2);
    window->Model().EndProgress();
    EXPECT_EQ(status->Bar(), nullptr);
    EXPECT_EQ(FromWx(status->GetStatusText(0)), "Ready");
}

TEST(RedrawGate, AtMostOneRedrawEveryTwentyMilliseconds) {
    using std::chrono::milliseconds;
    RedrawGate gate;
    const RedrawGate::Clock::time_point t0{};
    EXPECT_EQ(gate.Wait(t0), 1);
    EXPECT_TRUE(gate.Take(t0));  // the first redraw may always happen
    EXPECT_FALSE(gate.Take(t0 + milliseconds(1)));
    EXPECT_EQ(gate.Wait(t0 + milliseconds(1)), 19);
    EXPECT_FALSE(gate.Take(t0 + milliseconds(19)));
    EXPECT_TRUE(gate.Take(t0 + milliseconds(20)));
    EXPECT_EQ(gate.Wait(t0 + milliseconds(45)), 1);
    EXPECT_TRUE(gate.Take(t0 + milliseconds(45)));
    EXPECT_EQ(gate.Redraws(), 3);
}

// Bars stepped far faster than the eye follows redraw at most once every 20 ms, count every
// step, and show the last one soon after the steps stop.
TEST_F(ProgressTest, ManyStepsRedrawAtMostFiftyTimesASecond) {
    using Clock = std::chrono::steady_clock;
    const auto bound = [](Clock::time_point start) {
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        return long(ms / RedrawGate::kInterval.count() + 2);
    };

    QuillStatusBar* status = window->Status();
    window->Model().BeginProgress("Restoring File...", 65000);
    Clock::time_point start = Clock::now();
    for (int i = 0; i < 65000; ++i) window->Model().StepProgress();
    EXPECT_LE(status->Redraws(), bound(start));
    EXPECT_EQ(status->ProgressValue(), 65000);
    ColourBar* bar = status->Bar();
    EXPECT_TRUE(PumpUntil([bar] { return bar->GetValue() == 65000; }));
    window->Model().EndProgress();

    auto progress = ui.CreateProgress(108);
    auto* view = dynamic_cast<ProgressView*>(progress.get());
    const long pumps = view->Pumps();
    start = Clock::now();
    for (int pos = 1; pos <= 19500; ++pos) progress->SetPos(pos);
    EXPECT_LE(view->Redraws(), bound(start));
    EXPECT_LE(view->Pumps() - pumps, bound(start));
    EXPECT_TRUE(PumpUntil([view] { return ControlText(view->Window(), 1004) == "30%"; }));
    progress->Close();
}
