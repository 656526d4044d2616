// The main window's menus, toolbar, views and command routing.
#include "gui/MainWindow.h"

#include <wx/accel.h>
#include <wx/artprov.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/menu.h>
#include <wx/sizer.h>
#include <wx/toolbar.h>
#include <wx/utils.h>

#include "gui/Commands.h"
#include "gui/DatabaseListView.h"
#include "gui/NoDatabaseWindow.h"
#include "gui/Resources.h"
#include "gui/StatusBar.h"
#include "gui/WxText.h"
#include "gui/WxUi.h"
#include "platform/Drives.h"
#include "platform/Prefix.h"

namespace {

// The commands of this program that are not built yet: shown, never enabled.
bool NotBuilt(int id) {
    return id == ID_ADD_BY_ATTRIBUTES || id == ID_ADD_BY_CONTENTS || id == ID_ADD_BY_ABILITIES ||
           id == ID_REMOVE_SELECTED;
}

}  // namespace

MainWindow::MainWindow(WxUi& ui)
    : wxFrame(nullptr, wxID_ANY, "Quillstead", wxDefaultPosition, wxSize(1000, 700)),
      m_ui(ui),
      m_noDatabase(m_model) {
    wxIcon icon;
    icon.CopyFromBitmap(IconBitmap(Icon::Resource(128), 32));
    SetIcon(icon);
    BuildMenus();
    BuildToolBar();
    m_status = new QuillStatusBar(this);
    SetStatusBar(m_status);
    SetSizer(new wxBoxSizer(wxVERTICAL));
    ShowView(new NoDatabaseWindow(this));
    m_ui.AttachMainWindow(this, m_status);
    // A timer's tick runs as a command of the window; one that comes while another command
    // runs is let go (the timer ticks again).
    m_ui.SetTickRunner([this](const std::function<void()>& tick) {
        if (m_commandDepth == 0)
            RunViewCommand(tick);
    });

    wxAcceleratorEntry keys[] = {
        wxAcceleratorEntry(wxACCEL_CTRL, 'V', MenuId(ID_EDIT_PASTE)),
        wxAcceleratorEntry(wxACCEL_SHIFT, WXK_INSERT, MenuId(ID_EDIT_PASTE)),
    };
    SetAcceleratorTable(wxAcceleratorTable(2, keys));

    Bind(wxEVT_MENU, &MainWindow::OnCommand, this);
    Bind(wxEVT_UPDATE_UI, &MainWindow::OnUpdateCommand, this);
    Bind(wxEVT_CLOSE_WINDOW, &MainWindow::OnClose, this);
    Bind(wxEVT_ACTIVATE, &MainWindow::OnActivate, this);
}

MainWindow::~MainWindow() {
    m_ui.SetTickRunner(nullptr);
    m_ui.AttachMainWindow(nullptr, nullptr);
    // No tick reaches the view once it is gone.
    m_noDatabase.StopScheduledChecking();
    // The list's window goes before the model it shows.
    if (m_view) {
        m_view->Destroy();
        m_view = nullptr;
    }
}

void MainWindow::BuildMenus() {
    auto* file = new wxMenu;
    file->Append(MenuId(ID_CREATE_DATABASE), "&New Database...");
    file->Append(MenuId(ID_OPEN_DATABASE), "&Open Database...");
    file->Append(MenuId(ID_CLOSE_DATABASE), "&Close Database");
    file->AppendSeparator();
    file->Append(wxID_EXIT, "E&xit");

    auto* add = new wxMenu;
    add->Append(MenuId(ID_ADD_BY_ATTRIBUTES), "According to Attributes");
    add->Append(MenuId(ID_ADD_BY_CONTENTS), "According to Contents");
    add->Append(MenuId(ID_ADD_BY_ABILITIES), "According to Abilities / Functionality");
    add->AppendSeparator();
    add->Append(MenuId(ID_PASTE_FILES), "Paste Files into the Database");

    auto* checking = new wxMenu;
    checking->Append(MenuId(ID_CHECK_ALL_FILES), "Check All Files In The Open Database");
    checking->Append(MenuId(ID_SCHEDULED_CHECKING), "Scheduled Checking...");

    auto* bar = new wxMenuBar;
    bar->Append(file, "&File");
    bar->Append(add, "&Add");
    bar->Append(checking, "&Checking");
    SetMenuBar(bar);
}

void MainWindow::BuildToolBar() {
    wxToolBar* tools = CreateToolBar(wxTB_HORIZONTAL | wxTB_FLAT);
    const wxSize size(24, 24);
    tools->AddTool(MenuId(ID_CREATE_DATABASE), "New Database",
                   wxArtProvider::GetBitmap(wxART_NEW, wxART_TOOLBAR, size), "New Database");
    tools->AddTool(MenuId(ID_OPEN_DATABASE), "Open Database",
                   wxArtProvider::GetBitmap(wxART_FILE_OPEN, wxART_TOOLBAR, size), "Open Database");
    tools->AddSeparator();
    tools->AddTool(MenuId(ID_PASTE_FILES), "Paste Files into the Database",
                   wxArtProvider::GetBitmap(wxART_PASTE, wxART_TOOLBAR, size),
                   "Paste Files into the Database");
    tools->AddTool(MenuId(ID_CHECK_ALL_FILES), "Check All Files In The Open Database",
                   IconBitmap(Icon::Resource(370), 24), "Check All Files In The Open Database");
    tools->Realize();
}

DatabaseListView* MainWindow::ListView() {
    return dynamic_cast<DatabaseListView*>(m_view);
}

void MainWindow::ShowView(wxWindow* view) {
    if (m_view)
        m_view->Destroy();
    m_view = view;
    GetSizer()->Clear();
    GetSizer()->Add(view, 1, wxEXPAND);
    Layout();
    view->SetFocus();
}

void MainWindow::FocusView() {
    if (m_view && IsShown() && IsEnabled())
        m_view->SetFocus();
}

void MainWindow::OnActivate(wxActivateEvent& event) {
    event.Skip();
    if (!event.GetActive())
        return;
    // A window that was disabled while it had the focus (a progress dialog's owner) comes
    // back with none: the keys would reach nobody.
    CallAfter([this] {
        wxWindow* focus = FindFocus();
        if (!focus || wxGetTopLevelParent(focus) != this)
            FocusView();
    });
}

bool MainWindow::Handles(int id) const {
    if (NotBuilt(id))
        return false;
    if (m_commandDepth > 0)
        return false;
    switch (id) {
        case ID_CREATE_DATABASE:
        case ID_OPEN_DATABASE:
        case ID_SCHEDULED_CHECKING:
            return !m_list;  // the no-database view's commands
        case ID_CLOSE_DATABASE:
        case ID_PASTE_FILES:
        case ID_EDIT_PASTE:
        case ID_CHECK_ALL_FILES:
            return m_list != nullptr;  // the list view's commands
        case wxID_EXIT:
            return true;
        default:
            return false;
    }
}

void MainWindow::OnUpdateCommand(wxUpdateUIEvent& event) {
    const int id = CommandOfMenuId(event.GetId());
    switch (id) {
        case ID_CREATE_DATABASE:
        case ID_OPEN_DATABASE:
        case ID_CLOSE_DATABASE:
        case ID_ADD_BY_ATTRIBUTES:
        case ID_ADD_BY_CONTENTS:
        case ID_ADD_BY_ABILITIES:
        case ID_PASTE_FILES:
        case ID_CHECK_ALL_FILES:
        case ID_REMOVE_SELECTED:
        case ID_SCHEDULED_CHECKING:
            event.Enable(Handles(id));
            break;
        default:
            event.Skip();
    }
}

void MainWindow::OnCommand(wxCommandEvent& event) {
    const int id = CommandOfMenuId(event.GetId());
    if (!Handles(id)) {
        event.Skip();
        return;
    }
    std::string path;
    switch (id) {
        case ID_CREATE_DATABASE:
            if (AskDatabasePath(true, path))
                CreateDatabase(path);
            break;
        case ID_OPEN_DATABASE:
            if (AskDatabasePath(false, path))
                OpenDatabase(path);
            break;
        case ID_CLOSE_DATABASE:
            CloseDatabase();
            break;
        case ID_PASTE_FILES:
        case ID_EDIT_PASTE:
            RunViewCommand([this] {
                m_ui.BusyCursor();  // reading the clipboard may wait for its owner
                m_list->OnPasteFiles();
            });
            break;
        case ID_CHECK_ALL_FILES:
            RunViewCommand([this] { m_list->OnCheckAllFiles(); });
            break;
        case ID_SCHEDULED_CHECKING:
            RunViewCommand([this] { m_noDatabase.OnScheduledChecking(); });
            break;
        case wxID_EXIT:
            Close();
            break;
    }
}

bool MainWindow::AskDatabasePath(bool create, std::string& winPath) {
    // Never the process's current folder: the add command makes that the backup folder.
    if (m_lastFolder.empty() || !wxFileName::DirExists(m_lastFolder))
        m_lastFolder = wxGetHomeDir();
    wxFileDialog ask(this, create ? "New Database" : "Open Database", m_lastFolder, wxString(),
                     "All files (*)|*", create ? wxFD_SAVE : (wxFD_OPEN | wxFD_FILE_MUST_EXIST));
    if (ask.ShowModal() != wxID_OK)
        return false;
    m_lastFolder = wxFileName(ask.GetPath()).GetPath();
    const std::string host = HostBytes(ask.GetPath());
    auto windows = platform::WindowsPath(host);
    if (!windows) {
        m_ui.MessageBox(host +
                            " is on no drive of Quillstead.\nTo use it, link a drive letter "
                            "to its folder in " +
                            platform::DosDevicesDir() + ".",
                        MbIcon::Exclamation, MbButtons::Ok);
        return false;
    }
    winPath = *windows;
    return true;
}

void MainWindow::RunViewCommand(const std::function<void()>& command) {
    ++m_commandDepth;
    RunCommand(command);
    --m_commandDepth;
    m_ui.EndBusy();
    if (m_commandDepth > 0)
        return;
    if (m_closeWhenIdle) {
        Destroy();
        return;
    }
    FocusView();
}

bool MainWindow::CreateDatabase(const std::string& winPath) {
    bool created = false;
    RunViewCommand([&] { created = m_noDatabase.CreateDatabase(winPath); });
    return created;
}

bool MainWindow::OpenDatabase(const std::string& winPath) {
    auto list = std::make_unique<CListview>(m_model);
    bool opened = false;
    RunViewCommand([&] { opened = list->OpenDatabase(winPath); });
    if (!opened)
        return false;
    m_list = std::move(list);
    m_model.m_databaseOpen = true;
    ShowView(new DatabaseListView(
        this, *m_list, [this](const std::function<void()>& command) { RunViewCommand(command); }));
    return true;
}

void MainWindow::CloseDatabase() {
    if (!m_list)
        return;
    ShowView(new NoDatabaseWindow(this));
    m_list.reset();
    m_model.m_databaseOpen = false;
    m_model.m_openDatabasePath.clear();
}

void MainWindow::EndSession() {
    m_model.OnEndSession();
}

void MainWindow::OnClose(wxCloseEvent& event) {
    // A running command works on the views' models: the window stays until it is over.
    // When the close cannot be refused (the session ends), the clean-up happens now and the
    // window goes once the command has returned.
    if (m_commandDepth > 0) {
        if (event.CanVeto()) {
            event.Veto();
            return;
        }
        m_model.OnClose();
        m_closeWhenIdle = true;
        Hide();
        return;
    }
    m_model.OnClose();
    Destroy();
}
