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
#include "gui/FileLists.h"
#include "gui/NoDatabaseWindow.h"
#include "gui/Resources.h"
#include "gui/StatusBar.h"
#include "gui/WxText.h"
#include "gui/WxUi.h"
#include "platform/Drives.h"
#include "platform/Prefix.h"

namespace {

// The toolbar's tools: the command and its picture.
struct Tool {
    int command;
    const char* art;  // a wx stock picture, or null for the program's icon 370
};
const Tool kTools[] = {
    {ID_CREATE_DATABASE, wxART_NEW},
    {ID_OPEN_DATABASE, wxART_FILE_OPEN},
    {0, nullptr},  // a separator
    {ID_PASTE_FILES, wxART_PASTE},
    {ID_CHECK_ALL_FILES, nullptr},
};

// A menu text as a tool's label: no mnemonic, no trailing dots.
wxString ToolLabel(const char* text) {
    wxString label = wxString::FromUTF8(text);
    label.Replace("&", "");
    while (label.EndsWith(".")) label.RemoveLast();
    return label;
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
    SetMinClientSize(LeastClientSize());
    m_ui.AttachMainWindow(this, m_status);
    // A timer's tick runs as a command of the window, after the window has been repainted.
    // One that comes while another command runs is only noted by the view's model: its
    // countdown goes on, and a scheduled check waits for that command to end.
    m_ui.SetTickRunner([this](const std::function<void()>& tick) {
        m_noDatabase.SetOtherCommandRunning(m_commandDepth > 0);
        if (m_commandDepth > 0) {
            RunCommand(tick);
            return;
        }
        Update();
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
    auto* bar = new wxMenuBar;
    for (const Command& command : Commands()) {
        if (*command.menu == '\0')
            continue;
        const int at = bar->FindMenu(command.menu);
        wxMenu* menu = at == wxNOT_FOUND ? nullptr : bar->GetMenu(size_t(at));
        if (menu == nullptr) {
            menu = new wxMenu;
            bar->Append(menu, command.menu);
        }
        if (command.separatorBefore)
            menu->AppendSeparator();
        menu->Append(MenuId(command.id), wxString::FromUTF8(command.text));
    }
    wxMenu* file = bar->GetMenu(size_t(bar->FindMenu("&File")));
    file->AppendSeparator();
    file->Append(wxID_EXIT, "E&xit");
    SetMenuBar(bar);
}

void MainWindow::BuildToolBar() {
    wxToolBar* tools = CreateToolBar(wxTB_HORIZONTAL | wxTB_FLAT);
    const wxSize size(24, 24);
    for (const Tool& tool : kTools) {
        const Command* command = FindCommand(tool.command);
        if (command == nullptr) {
            tools->AddSeparator();
            continue;
        }
        const wxBitmap picture = tool.art ? wxArtProvider::GetBitmap(tool.art, wxART_TOOLBAR, size)
                                          : IconBitmap(Icon::Resource(370), 24);
        const wxString label = ToolLabel(command->text);
        tools->AddTool(MenuId(command->id), label, picture, label);
    }
    tools->Realize();
}

wxSize MainWindow::LeastClientSize() const {
    // The list's headers and a few of its rows under the toolbar, and the status bar's three
    // panes with their texts: small enough for an 800 x 600 screen.
    const wxSize character = GetTextExtent("M");
    return wxSize(character.x * 48, character.y * 18);
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
    if (id == wxID_EXIT)
        return true;
    const Command* command = FindCommand(id);
    if (command == nullptr || m_commandDepth > 0)
        return false;
    switch (command->when) {
        case CommandWhen::NoDatabase:
            return !m_list;
        case CommandWhen::Database:
            return m_list != nullptr;
        case CommandWhen::Never:
            return false;
    }
    return false;
}

void MainWindow::OnUpdateCommand(wxUpdateUIEvent& event) {
    const int id = CommandOfMenuId(event.GetId());
    if (FindCommand(id) == nullptr) {
        event.Skip();
        return;
    }
    event.Enable(Handles(id));
}

void MainWindow::OnCommand(wxCommandEvent& event) {
    const int id = CommandOfMenuId(event.GetId());
    if (!Handles(id)) {
        event.Skip();
        return;
    }
    if (id == wxID_EXIT) {
        Close();
        return;
    }
    const Command& command = *FindCommand(id);
    std::vector<std::string> args;
    if (command.argument == CommandArgument::NewDatabasePath ||
        command.argument == CommandArgument::DatabasePath) {
        std::string path;
        if (!AskDatabasePath(command.argument == CommandArgument::NewDatabasePath, path))
            return;
        args.push_back(path);
    }
    switch (id) {
        case ID_OPEN_DATABASE:
            OpenDatabase(args.at(0));
            break;
        case ID_CLOSE_DATABASE:
            CloseDatabase();
            break;
        default:
            RunTableCommand(command, args);
    }
}

void MainWindow::RunTableCommand(const Command& command, const std::vector<std::string>& args) {
    if (!Handles(command.id) || command.run == nullptr)
        return;
    RunViewCommand([&] {
        CommandContext context{m_model, m_noDatabase, m_list.get(), args};
        command.run(context);
    });
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
    return WindowsPathOfChoice(HostBytes(ask.GetPath()), winPath);
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
    if (m_noDatabase.CheckWaiting())
        CallAfter(&MainWindow::RunWaitingCheck);
}

void MainWindow::RunWaitingCheck() {
    if (m_commandDepth > 0 || !m_noDatabase.CheckWaiting())
        return;
    m_noDatabase.SetOtherCommandRunning(false);
    Update();
    RunViewCommand([this] { m_noDatabase.RunWaitingCheck(); });
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
    // A drop runs as the table's drop command does, when no other command is running.
    ShowView(new DatabaseListView(this, *m_list, [this](const std::function<void()>& command) {
        if (Handles(ID_DROP_FILES))
            RunViewCommand(command);
    }));
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
