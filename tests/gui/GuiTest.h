// What the window tests share: the wx application they run in, the modal-dialog hook that
// answers the dialogs a test expects and fails the test on any other (never blocking), event
// pumping, reading controls and pictures back, the clipboard's files, and a fixture with a
// temporary prefix and the seam on wx installed, and one with a main window over it.
#pragma once

#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/image.h>
#include <wx/modalhook.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "gui/WxText.h"
#include "gui/WxUi.h"
#include "tests/support/TempPrefix.h"

class wxDataObject;

// Answers modal dialogs in the order the test expects them. A handler returns the result
// the dialog should give without being shown, or wxID_NONE to let it run (the handler then
// schedules its own checks and ends it). A dialog nobody expects fails the test and is
// answered with wxID_CANCEL at once.
class DialogHook : public wxModalDialogHook {
  public:
    using Handler = std::function<int(wxDialog*)>;

    void Expect(const std::string& what, Handler handler);
    // A message box with this exact text, answered with `answer`.
    void ExpectMessage(const std::string& text, int answer = wxID_OK);
    // A message box whose text is handed to `seen`, answered with `answer`.
    void ExpectAnyMessage(std::string* seen, int answer = wxID_OK, long* style = nullptr);
    // A dialog of a view: runs `check` once it is up, then ends it with `result`
    // (wxID_OK goes through the view's OK, so the exchange back happens).
    void ExpectView(const std::string& title, std::function<void(wxDialog*)> check, int result);

    size_t Pending() const { return m_expected.size(); }
    // Fails the test for expectations left over, and forgets them.
    void VerifyAllSeen();

  protected:
    int Enter(wxDialog* dialog) override;

  private:
    std::deque<std::pair<std::string, Handler>> m_expected;
};

DialogHook& Hook();

// Lets the waiting events run for at least `milliseconds` (and once at least), idle work
// (deferred deletions) included.
void Pump(int milliseconds = 0);
// Pumps until `done` holds or `milliseconds` pass; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, int milliseconds = 5000);

// The text of a static text, edit or button of a window, by id.
std::string ControlText(wxWindow* parent, int id);
// The foreground colour of a control as 0x00BBGGRR.
unsigned ControlColour(wxWindow* parent, int id);
// Whether two bitmaps hold the same pixels.
bool SamePicture(const wxBitmap& a, const wxBitmap& b);
// How many colours a picture holds (counting stops at 1000).
size_t DistinctColours(const wxImage& image);
// Sends a button click with this id to `window`, as a press of the button would.
void Click(wxWindow* window, int id);

// The dialog (a box, a view, a progress window) as a user must see it: within the work area,
// every control inside the dialog, no two overlapping, each button, radio button and check
// box at least its best size with its label, each text at least its best size (the whole text
// drawn) unless it elides or scrolls within its own area.
void ExpectWhole(wxWindow* dialog);
// Waits for the window manager to frame and place the dialog, then expects it in the middle
// of `on` (within a few pixels), moved wholly onto the work area where it would leave it.
void ExpectCentredOn(wxWindow* dialog, wxWindow* on);
// Saves a picture of the screen as <test output>/<name>-<width>.png when QUILL_GUI_SHOTS is
// set (with ImageMagick's import, for a person to look at).
void SaveScreen(const std::string& name);

// Puts `data` on the clipboard (which takes it over).
void PutOnClipboard(wxDataObject* data);
// Puts these host files on the clipboard as a file list.
void PutFilesOnClipboard(const std::vector<std::string>& hostPaths);
// The message for a host path that no drive covers.
std::string NoDriveText(const std::string& hostPath);

// The seam on wx, noting at each message box whether the busy cursor was showing.
class NotingUi : public WxUi {
  public:
    MbResult MessageBox(const std::string& text, MbIcon icon, MbButtons buttons) override;
    std::vector<bool> busyAtBoxes;
};

class GuiTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    TempPrefix prefix;
    NotingUi ui;
};

class MainWindow;

// A main window with the prefix's key, shown and raised away from the screen's middle (so
// that centring on it can be told apart).
class WindowTest : public GuiTest {
  protected:
    void SetUp() override;
    // Creates the database and opens it in the window.
    void OpenDatabase();
    // Sends the window a command of its menus.
    void Command(int id);
    // Whether the window is no longer among the top-level windows.
    bool WindowGone() const;

    MainWindow* window = nullptr;
};
