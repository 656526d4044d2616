// The user-interface seam: everything the commands need of the screen, the speakers and
// the clipboard, behind one small interface. gui/ implements it on wxWidgets; the tests
// and the driver implement it with a script. Commands reach it through Ui().
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/WinTypes.h"

class CDialog;
class CFileException;

enum class MbIcon { None, Information, Exclamation, Stop, Question };
enum class MbButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MbResult { Ok, Cancel, Yes, No };

// A modeless progress dialog as the seam shows it. The window disables its owner while
// it is up. Ids are the template's control ids (1004 percent text, 1005/1051 file text,
// 1114, 1115, 1200 icon).
class ProgressWindow {
  public:
    virtual ~ProgressWindow() = default;
    virtual void SetTitle(const std::string& title) = 0;
    virtual void SetItemText(int id, const std::string& text) = 0;
    virtual void SetIcon(int id, const Icon& icon) = 0;
    // Moves the bar (0..65000) and the percent text; pumps the waiting messages first.
    virtual void SetPos(int pos) = 0;
    // Called per 64-byte block: must cost a few nanoseconds. Pumps the messages only every
    // few milliseconds. Returns true once after Cancel was pressed, clearing that flag.
    virtual bool PollCancel() = 0;
    // Re-enables the owner and destroys the window.
    virtual void Close() = 0;
};

class IUserInterface {
  public:
    virtual ~IUserInterface() = default;

    virtual MbResult MessageBox(const std::string& text, MbIcon icon,
                                MbButtons buttons = MbButtons::Ok) = 0;
    // Runs a dialog model modally; IDOK or IDCANCEL (the close box is IDCANCEL).
    virtual int RunModal(CDialog& dialog) = 0;
    // Creates and shows a modeless progress dialog of template `templateId` (102 checking,
    // 108 adding), its bar at 0.
    virtual std::unique_ptr<ProgressWindow> CreateProgress(int templateId) = 0;

    // Status-bar pane 0 and its progress bar.
    virtual void StatusProgressBegin(const std::string& caption, int total, COLORREF colour,
                                     bool defaultColour) = 0;
    virtual void StatusProgressStep() = 0;
    // Destroys the bar (the caption stays until SetStatusText).
    virtual void StatusProgressEnd() = 0;
    // Sets pane 0 and redraws the status bar at once.
    virtual void SetStatusText(const std::string& text) = 0;
    // Sets another pane of the status bar (1 or 2).
    virtual void SetPaneText(int pane, const std::string& text) = 0;
    // Moves (shows) the busy cursor.
    virtual void BusyCursor() = 0;

    // Alert sounds, never waited for: a WAVE resource of the program ("clm", "zaaz",
    // "rml") or a WAV file named by a Windows path.
    virtual void PlaySoundResource(const std::string& name) = 0;
    virtual void PlaySoundFile(const std::string& winPath) = 0;

    // The clipboard's file list as Windows-style paths.
    enum class ClipboardState { Unavailable, NoFiles, Files };
    virtual ClipboardState GetClipboardFiles(std::vector<std::string>& files) = 0;

    // Opens a help topic: `helpText` is the install folder + "Quillstead.chm::/<topic>.html>Main".
    virtual void ShowHelp(const std::string& helpText) = 0;

    // The framework's report of a file exception that ended a command.
    virtual void ReportFileException(const CFileException& e) = 0;

    // Timers on the views' windows; `tick` runs on the user-interface thread.
    virtual void SetTimer(int id, unsigned milliseconds, std::function<void()> tick) = 0;
    virtual void KillTimer(int id) = 0;

    // WM_CLOSE to the main window: the frame's close handler runs, and the window goes (and
    // the program ends) once the running command or timer handler has returned.
    virtual void CloseMainWindow() = 0;
};

// The seam in use. SetUi does not take ownership.
IUserInterface& Ui();
void SetUi(IUserInterface* ui);

// Runs one command the way the framework does: a file exception that escapes it ends the
// command and is reported through the seam. Returns false when that happened.
bool RunCommand(const std::function<void()>& command);
