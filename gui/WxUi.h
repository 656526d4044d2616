// The user-interface seam on wxWidgets: message boxes (MessageBoxView, title "Quillstead"),
// dialog models through their registered views, the modeless progress dialogs, the main
// window's status bar, the busy cursor, sounds (libcanberra), the clipboard's files, help
// pages, the framework's file-exception report and timers.
#pragma once

#include <wx/event.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "gui/Sound.h"
#include "platform/Ui.h"

class wxWindow;
class QuillStatusBar;
class SeamTimer;

class WxUi : public IUserInterface {
  public:
    WxUi();
    ~WxUi() override;

    // The main window and its status bar (null before it exists and after it is gone).
    void AttachMainWindow(wxWindow* window, QuillStatusBar* statusBar);
    // Ends the busy cursor a command has shown (after the command, before a box).
    void EndBusy();
    bool IsBusy() const { return m_busy; }

    MbResult MessageBox(const std::string& text, MbIcon icon, MbButtons buttons) override;
    int RunModal(CDialog& dialog) override;
    std::unique_ptr<ProgressWindow> CreateProgress(int templateId) override;
    void StatusProgressBegin(const std::string& caption, int total, COLORREF colour,
                             bool defaultColour) override;
    void StatusProgressStep() override;
    void StatusProgressEnd() override;
    void SetStatusText(const std::string& text) override;
    void BusyCursor() override;
    void PlaySoundResource(const std::string& name) override;
    void PlaySoundFile(const std::string& winPath) override;
    ClipboardState GetClipboardFiles(std::vector<std::string>& files) override;
    void ShowHelp(const std::string& helpText) override;
    void ReportFileException(const CFileException& e) override;
    void SetTimer(int id, unsigned milliseconds, std::function<void()> tick) override;
    void KillTimer(int id) override;
    void SetPaneText(int pane, const std::string& text) override;
    void CloseMainWindow() override;

    // Runs each timer's tick: the main window runs it as one of its commands (and lets it go
    // while another command runs). Without one, a tick runs through RunCommand.
    using TickRunner = std::function<void(const std::function<void()>& tick)>;
    void SetTickRunner(TickRunner runner) { m_tickRunner = std::move(runner); }
    void RunTick(const std::function<void()>& tick);

    // The window a box or a dialog belongs to: the topmost modal dialog, else the main window.
    wxWindow* DialogParent() const;
    // The sound files handed to the player so far (host paths), for the tests.
    const std::vector<std::string>& SoundsPlayed() const { return m_soundsPlayed; }
    bool HasTimer(int id) const { return m_timers.count(id) != 0; }

  private:
    class ArrowWhileAsking;
    void RetireTimer(int id);

    wxWindow* m_mainWindow = nullptr;
    QuillStatusBar* m_statusBar = nullptr;
    bool m_busy = false;
    SoundPlayer m_sound;
    std::vector<std::string> m_soundsPlayed;
    TickRunner m_tickRunner;
    std::map<int, std::unique_ptr<SeamTimer>> m_timers;
    std::vector<std::unique_ptr<SeamTimer>> m_retired;  // stopped, deleted once idle
    wxEvtHandler m_later;                               // its pending calls go with the seam
};
