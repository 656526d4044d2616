// The scripted user-interface seam of the tests and the driver. It records every event as
// the JSON line the driver prints and answers modal events from a script of JSON lines:
//   {"messagebox":"yes"}            answers the next message box ("ok","cancel","yes","no")
//   {"dialog":"CRestoreDlg","set":{"m_restoreMode":0}}  the next dialog of that class: the
//                                   members set as if typed, then OK (or "result":"cancel",
//                                   which leaves the members as filled)
//   {"cancel_at_poll":N}            the N-th cancel poll (from 1) of the next progress dialog;
//                                   with "progress":"CAddProgressDlg" (or "CCheckProgressDlg",
//                                   "CSearchProgressDlg") of the next dialog of that class
//   {"clipboard":["E:\\a.txt"]} or {"clipboard":null}
// Each kind of event takes the first line of its kind. An event with no line left takes its
// default (the default button; a dialog closed with OK, members as filled; an empty
// clipboard file list is "no files"); a dialog shown again, unanswered, exactly as it was
// last shown unanswered (the same dialog with the same members, as after a refused choice)
// is cancelled. An array member of a dialog ("m_critAttributes":[0,1,...]) takes an array
// with one whole number for each of its items. An answer a message box does not offer, or a
// member a dialog does not have, is a mistake of the script and throws.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Ui.h"
#include "tests/support/Json.h"

class ScriptedUi : public IUserInterface {
  public:
    ScriptedUi();
    ~ScriptedUi() override;

    // One script line; throws std::invalid_argument for a line it cannot read.
    void AddScriptLine(const std::string& jsonLine);
    void LoadScriptFile(const std::string& path);

    // Every event so far, one JSON line each (no trailing newline).
    const std::vector<std::string>& Events() const { return m_events; }
    void ClearEvents() { m_events.clear(); }
    // Called with each event line as it happens (the driver prints it).
    std::function<void(const std::string&)> onEvent;
    // Called for each dialog after its members were set from the script and before it
    // "closes" (tests may inspect or change the model there).
    std::function<void(CDialog&)> onDialog;
    // Called at each cancel poll of a progress dialog with the poll's number (from 1).
    std::function<void(long)> onPoll;

    // What the last progress dialog showed (not printed): title, item texts, bar, cancel polls.
    std::string progressTitle;
    std::map<int, std::string> progressTexts;
    int progressPos = 0;
    long progressPolls = 0;
    // Every bar position and every item text the last progress dialog was given, in order.
    std::vector<int> progressPositions;
    std::map<int, std::vector<std::string>> progressTextsShown;
    bool progressOpen = false;
    // Every progress dialog so far, in order: its class, its title, every item text it was
    // given and its cancel polls.
    struct ProgressRecord {
        std::string className;
        std::string title;
        std::map<int, std::vector<std::string>> texts;
        long polls = 0;
    };
    std::vector<ProgressRecord> progressDialogs;
    // Status-bar pane 0 as it stands, and the status-bar progress.
    std::string statusText;
    // The other panes as they stand (not printed: the countdown changes them every second).
    std::map<int, std::string> paneTexts;
    // Called when the main window is closed (the driver runs the frame's close handler).
    std::function<void()> onCloseMainWindow;
    bool statusProgressActive = false;
    int statusProgressTotal = 0;
    int statusProgressSteps = 0;
    // The timers set and not killed, by id (a test may run a tick itself).
    struct Timer {
        unsigned milliseconds = 0;
        std::function<void()> tick;
    };
    std::map<int, Timer> timers;
    // Delivers one tick of a timer that is set, as the window's timer would (the tick may kill
    // or set its own timer); false when the timer is not set.
    bool Tick(int id);

    // IUserInterface
    MbResult MessageBox(const std::string& text, MbIcon icon, MbButtons buttons) override;
    int RunModal(CDialog& dialog) override;
    std::unique_ptr<ProgressWindow> CreateProgress(int templateId) override;
    void StatusProgressBegin(const std::string& caption, int total, COLORREF colour,
                             bool defaultColour) override;
    void StatusProgressStep() override;
    void StatusProgressEnd() override;
    void SetStatusText(const std::string& text) override;
    void BusyCursor() override {}
    void PlaySoundResource(const std::string& name) override;
    void PlaySoundFile(const std::string& winPath) override;
    ClipboardState GetClipboardFiles(std::vector<std::string>& files) override;
    void ShowHelp(const std::string& helpText) override;
    void ReportFileException(const CFileException& e) override;
    void SetTimer(int id, unsigned milliseconds, std::function<void()> tick) override;
    void KillTimer(int id) override;
    void SetPaneText(int pane, const std::string& text) override;
    void CloseMainWindow() override;

    // Emits one event line (used by the seam itself and by the driver for its own lines).
    void Emit(const std::string& jsonLine);

  private:
    struct Answer;
    class Progress;
    // The first answer of a kind ("messagebox", "dialog", ...), taken from the script;
    // false when none is left. A dialog answer must also name the dialog's class.
    bool TakeAnswer(const std::string& kind, const std::string& dialogClass, Answer& answer);

    std::deque<Answer>* m_answers;
    std::vector<std::string> m_events;
    // The dialog last shown without an answer, and its members then.
    const CDialog* m_lastUnanswered = nullptr;
    std::string m_lastUnansweredMembers;
};
