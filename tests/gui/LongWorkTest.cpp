// Long work shows that it works, and waits its turn: accepting a change with a new backup
// copy closes the details dialog at once and copies the backup file through the kernel under
// the busy cursor with a moving status-bar bar, the window's events running meanwhile; a
// scheduled check due while another command runs waits for it, and the countdown says so; a
// prompt stands over its progress dialog and takes no Cancel away, and over a window drawn
// whole.
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/menu.h>
#include <wx/radiobut.h>
#include <wx/toolbar.h>
#include <wx/utils.h>

#include <string>
#include <vector>

#include "check/ChangedFileDetailsDlg.h"
#include "gui/Commands.h"
#include "gui/DatabaseListView.h"
#include "gui/MainWindow.h"
#include "gui/ProgressView.h"
#include "gui/StatusBar.h"
#include "platform/KernelCopy.h"
#include "schedule/Countdown.h"
#include "schedule/ScheduleEdits.h"
#include "tests/gui/GuiTest.h"

namespace {

// Whether a shown top-level window has this title.
bool Showing(const std::string& title) {
    for (wxWindow* top : wxTopLevelWindows)
        if (top->IsShown() && FromWx(top->GetLabel()) == title)
            return true;
    return false;
}

// The pixels of a part of the screen.
wxImage ScreenPart(const wxRect& rect) {
    wxScreenDC screen;
    wxBitmap part(rect.GetSize());
    wxMemoryDC memory(part);
    memory.Blit(0, 0, rect.width, rect.height, &screen, rect.x, rect.y);
    memory.SelectObject(wxNullBitmap);
    return part.ConvertToImage();
}

}  // namespace

class LongWorkTest : public WindowTest {
  protected:
    // A database holding these files (dropped on it), E:\\files\\small.txt changed since.
    void ListedThenChanged(const std::vector<std::string>& winPaths) {
        ASSERT_NO_FATAL_FAILURE(OpenDatabase());
        std::vector<std::string> hostPaths;
        for (const std::string& path : winPaths) hostPaths.push_back(prefix.Host(path));
        Hook().ExpectAnyMessage(nullptr);
        window->ListView()->DropHostFiles(hostPaths);
        ASSERT_TRUE(PumpUntil([] { return Hook().Pending() == 0; }));
        prefix.WriteFile("E:\\files\\small.txt", "changed");
    }
    // Scheduled checking on, every `seconds`, in the prompting mode.
    void StartScheduledChecking(const char* seconds) {
        for (const auto& [key, value] : {std::pair<const char*, const char*>{"Config8", "0"},
                                         {"Config9", "0"},
                                         {"Config10", seconds},
                                         {"Config11", "P"}})
            prefix.SetReg(key, value);
        window->RunViewCommand([this] { window->NoDatabaseModel().OnStartScheduledChecking(); });
    }
    // The menu bar: the strip between the window's client top and its toolbar.
    wxRect MenuBarRect() const {
        const wxRect tools = window->GetToolBar()->GetScreenRect();
        const int height = window->GetMenuBar()->GetSize().y;
        return wxRect(tools.x, tools.y - height, tools.width, height);
    }
};

TEST_F(LongWorkTest, AcceptingWithANewBackupShowsItWorks) {
    prefix.SetReg("Config17", "P");  // plain copies: the store is the files' bytes
    const std::string big(size_t(5 * platform::kCopyChunk + 100), 'b');
    prefix.WriteFile("E:\\files\\a big one.bin", big);
    prefix.WriteFile("E:\\files\\small.txt", "small");
    ASSERT_NO_FATAL_FAILURE(
        ListedThenChanged({"E:\\files\\small.txt", "E:\\files\\a big one.bin"}));

    // What the window shows at each chunk copied, and when its events run meanwhile; each
    // chunk takes a while, as on a large store.
    std::vector<int> barAtChunks;
    std::vector<bool> busyAtChunks, detailsAtChunks;
    size_t eventsRanAtChunk = 0;
    platform::CopyProgressScope chunks([&](int64_t) {
        QuillStatusBar* status = window->Status();
        barAtChunks.push_back(status->Bar() ? status->ProgressValue() : -1);
        busyAtChunks.push_back(wxIsBusy());
        detailsAtChunks.push_back(Showing("Changed file details."));
        if (barAtChunks.size() == 1)
            window->CallAfter([&] { eventsRanAtChunk = barAtChunks.size(); });
        wxMilliSleep(30);
    });
    Hook().ExpectMessage("E:\\files\\small.txt has been changed! ");
    Hook().ExpectView(
        "Changed file details.",
        [&](wxDialog* d) {
            dynamic_cast<wxRadioButton*>(d->FindWindow(CChangedFileDetailsDlg::IDC_CHOICE_RENEW))
                ->SetValue(true);
        },
        wxID_OK);
    Hook().ExpectView(
        "Checking Summary.", [](wxDialog*) {}, wxID_OK);
    Command(ID_CHECK_ALL_FILES);
    EXPECT_EQ(Hook().Pending(), 0u);

    // The copy before and after the small file's own went chunk by chunk: the dialog gone,
    // the bar moving with each chunk under the busy cursor, the events let run meanwhile.
    ASSERT_GE(barAtChunks.size(), 5u);
    for (size_t i = 0; i < barAtChunks.size(); ++i) {
        EXPECT_FALSE(detailsAtChunks[i]) << i;
        EXPECT_TRUE(busyAtChunks[i]) << i;
        EXPECT_GE(barAtChunks[i], 0) << i;
        if (i > 0) {
            EXPECT_NE(barAtChunks[i], barAtChunks[i - 1]) << i;
        }
    }
    EXPECT_GT(eventsRanAtChunk, 0u);
    EXPECT_LT(eventsRanAtChunk, barAtChunks.size());
    EXPECT_EQ(window->Status()->Bar(), nullptr);
    EXPECT_EQ(FromWx(window->Status()->GetStatusText(0)), "Ready");
    // The new copy stands where the old one stood.
    EXPECT_NE(prefix.ReadFile("C:\\Program Files\\Quillstead\\Backup Files\\Backup File 1")
                  .find("changed"),
              std::string::npos);
}

// A tick of the scheduled check while the "Scheduled Checking" dialog is open: the countdown
// goes on, then says that the check waits instead of showing 0:00:00, and the check runs as
// soon as the dialog has closed (an empty database: it ends the schedule at once).
TEST_F(LongWorkTest, ACheckDueDuringADialogWaitsForItAndSaysSo) {
    ASSERT_TRUE(window->CreateDatabase("E:\\empty"));
    ASSERT_TRUE(AddToSchedule(window->Model(), "E:\\empty"));
    StartScheduledChecking("2");
    auto pane = [this] { return FromWx(window->Status()->GetStatusText(kCountdownPane)); };
    EXPECT_EQ(pane(), "Next scheduled check in 0:00:02");

    std::vector<std::string> seen;
    Hook().ExpectView(
        "Scheduled Checking",
        [&](wxDialog*) {
            PumpUntil(
                [&] {
                    if (seen.empty() || seen.back() != pane())
                        seen.push_back(pane());
                    return pane() == kCheckWaitingText;
                },
                5000);
            EXPECT_TRUE(window->NoDatabaseModel().CheckWaiting());
            Pump(1200);  // the countdown's ticks keep saying so
            EXPECT_EQ(pane(), kCheckWaitingText);
        },
        wxID_OK);
    Command(ID_SCHEDULED_CHECKING);
    EXPECT_EQ(Hook().Pending(), 0u);
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[seen.size() - 2], "Next scheduled check in 0:00:01");
    EXPECT_EQ(seen.back(), kCheckWaitingText);
    // The waiting check runs once the dialog is gone: the empty database stops the schedule.
    EXPECT_TRUE(PumpUntil([&] { return !ui.HasTimer(10); }, 3000));
    EXPECT_FALSE(window->NoDatabaseModel().CheckWaiting());
    EXPECT_EQ(pane(), "");
}

// A prompt of a command belongs to the command's progress dialog, so the window manager keeps
// it above; a Cancel whose press the prompt cut short (it opened between the button's press
// and release) counts once the prompt is answered, and a whole click counts once.
TEST_F(LongWorkTest, APromptStandsOverItsProgressDialogAndTakesNoCancelAway) {
    auto progress = ui.CreateProgress(102);
    auto* view = dynamic_cast<ProgressView*>(progress.get());
    ASSERT_NE(view, nullptr);
    wxWindow* cancel = view->Window()->FindWindow(wxID_CANCEL);
    ASSERT_NE(cancel, nullptr);
    auto press = [cancel] {
        wxMouseEvent down(wxEVT_LEFT_DOWN);
        down.SetEventObject(cancel);
        cancel->GetEventHandler()->ProcessEvent(down);
    };
    auto prompt = [this, view] {
        Hook().Expect("the prompt", [view](wxDialog* d) {
            EXPECT_EQ(d->GetParent(), view->Window());
            return int(wxID_OK);
        });
        ui.MessageBox("E:\\files\\small.txt has been changed! ", MbIcon::None, MbButtons::Ok);
    };

    press();
    prompt();
    EXPECT_TRUE(progress->PollCancel());
    EXPECT_FALSE(progress->PollCancel());

    press();
    Click(cancel, wxID_CANCEL);
    prompt();
    EXPECT_TRUE(progress->PollCancel());
    EXPECT_FALSE(progress->PollCancel());

    // Without a press nothing counts.
    prompt();
    EXPECT_FALSE(progress->PollCancel());
    progress->Close();
}

// A scheduled check's first prompt comes over a window drawn whole: its menu bar and toolbar
// show their labels and pictures.
TEST_F(LongWorkTest, AScheduledCheckPromptsOverAWindowDrawnWhole) {
    prefix.WriteFile("E:\\files\\small.txt", "small");
    ASSERT_NO_FATAL_FAILURE(ListedThenChanged({"E:\\files\\small.txt"}));
    window->CloseDatabase();
    ASSERT_TRUE(AddToSchedule(window->Model(), "E:\\home database"));
    StartScheduledChecking("1");

    size_t menuColours = 0, toolColours = 0;
    Hook().ExpectView(
        "Quillstead",
        [&](wxDialog*) {
            Pump(100);
            menuColours = DistinctColours(ScreenPart(MenuBarRect()));
            toolColours = DistinctColours(ScreenPart(window->GetToolBar()->GetScreenRect()));
        },
        wxID_OK);
    Hook().ExpectView(
        "Changed file details.", [](wxDialog*) {}, wxID_OK);
    Hook().ExpectView(
        "Checking Summary.", [](wxDialog*) {}, wxID_OK);
    EXPECT_TRUE(PumpUntil([] { return Hook().Pending() == 0; }, 5000));
    window->NoDatabaseModel().StopScheduledChecking();
    EXPECT_GT(menuColours, 2u) << "the menu bar is blank";
    EXPECT_GT(toolColours, 8u) << "the toolbar is blank";
}
