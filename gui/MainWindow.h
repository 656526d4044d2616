// The main window: the frame model `CMainFrame` behind a wx frame with its menus, toolbar and
// three-pane status bar, and the two views: the picture while no database is open
// (`CCNoflview`) and the open database's list (`CListview`). Commands are enabled only
// where the active view handles them; each runs through RunCommand, so a file exception
// that ends one is reported. The paste keys are the frame's, and the keyboard focus goes
// back to the active view after every command and whenever the window is activated without
// a focused child, so they work whatever was on screen before. The file dialogs open in the
// folder last chosen in them, at first in the user's home folder. A timer's tick that comes
// while a command runs does not run its scheduled check then: the check runs once the
// command has ended. Closing the window and the end of the session clean up through the
// frame model.
#pragma once

#include <wx/frame.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/CommandTable.h"
#include "app/MainFrame.h"
#include "app/NoDatabaseView.h"
#include "database/ListView.h"

class WxUi;
class QuillStatusBar;
class DatabaseListView;

class MainWindow : public wxFrame {
  public:
    explicit MainWindow(WxUi& ui);
    ~MainWindow() override;

    CMainFrame& Model() { return m_model; }
    CCNoflview& NoDatabaseModel() { return m_noDatabase; }
    CListview* ListModel() { return m_list.get(); }
    QuillStatusBar* Status() { return m_status; }
    // The active view's window: the picture or the list.
    wxWindow* ActiveView() { return m_view; }
    DatabaseListView* ListView();
    bool DatabaseOpen() const { return m_list != nullptr; }
    bool CommandRunning() const { return m_commandDepth > 0; }
    // The smallest the window's client may be: the list, its headers and the status bar
    // stay usable.
    wxSize LeastClientSize() const;

    // The database commands with their paths given (the menu asks for them first).
    bool CreateDatabase(const std::string& winPath);
    bool OpenDatabase(const std::string& winPath);
    void CloseDatabase();
    // Runs a command of a view: through RunCommand, with the busy cursor ended afterwards.
    void RunViewCommand(const std::function<void()>& command);
    // Runs a command of the table with its arguments, when it is enabled.
    void RunTableCommand(const Command& command, const std::vector<std::string>& args);
    // WM_ENDSESSION: the frame model's clean-up.
    void EndSession();

  private:
    void BuildMenus();
    void BuildToolBar();
    void ShowView(wxWindow* view);
    // Gives the keyboard focus to the active view.
    void FocusView();
    bool AskDatabasePath(bool create, std::string& winPath);
    bool Handles(int id) const;

    // Runs the scheduled checks whose tick came while another command ran.
    void RunWaitingCheck();
    void OnCommand(wxCommandEvent& event);
    void OnUpdateCommand(wxUpdateUIEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnActivate(wxActivateEvent& event);

    WxUi& m_ui;
    CMainFrame m_model;
    CCNoflview m_noDatabase;
    std::unique_ptr<CListview> m_list;
    QuillStatusBar* m_status = nullptr;
    wxWindow* m_view = nullptr;
    int m_commandDepth = 0;
    bool m_closeWhenIdle = false;  // closed while a command ran
    wxString m_lastFolder;         // where the file dialogs open (empty: the home folder)
};
