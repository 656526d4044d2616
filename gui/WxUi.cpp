// The seam's wx side. Every box and dialog ends the busy cursor first, so the pointer is
// an arrow wherever the user is asked something, and shows it again once answered while the
// command goes on. Boxes and dialogs fit the screen and stand in the middle of the main
// window.
#include "gui/WxUi.h"

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include "gui/DialogView.h"
#include "gui/FileLists.h"
#include "gui/HelpViewer.h"
#include "gui/MessageBoxView.h"
#include "gui/ProgressView.h"
#include "gui/Resources.h"
#include "gui/ScreenFit.h"
#include "gui/StatusBar.h"
#include "gui/ViewRegistry.h"
#include "gui/WxText.h"
#include "platform/Dialog.h"
#include "platform/Drives.h"
#include "platform/FileException.h"

class SeamTimer : public wxTimer {
  public:
    SeamTimer(WxUi& ui, std::function<void()> tick) : m_ui(ui), m_tick(std::move(tick)) {}
    void Notify() override { m_ui.RunTick(m_tick); }

  private:
    WxUi& m_ui;
    std::function<void()> m_tick;
};

// The arrow while the user is asked something; the busy cursor, if it was shown, after. A
// Cancel of a progress dialog pressed as the question opened counts once it is answered.
class WxUi::ArrowWhileAsking {
  public:
    explicit ArrowWhileAsking(WxUi& ui) : m_ui(ui), m_wasBusy(ui.m_busy) { m_ui.EndBusy(); }
    ~ArrowWhileAsking() {
        ProgressView::PromptAnswered();
        if (m_wasBusy)
            m_ui.BusyCursor();
    }

  private:
    WxUi& m_ui;
    bool m_wasBusy;
};

WxUi::WxUi() {
    RegisterAllDialogViews();
}

WxUi::~WxUi() {
    EndBusy();
    for (auto& [id, timer] : m_timers) timer->Stop();
}

void WxUi::AttachMainWindow(wxWindow* window, QuillStatusBar* statusBar) {
    m_mainWindow = window;
    m_statusBar = statusBar;
}

void WxUi::EndBusy() {
    if (!m_busy)
        return;
    m_busy = false;
    wxEndBusyCursor();
}

wxWindow* WxUi::DialogParent() const {
    // The latest modal dialog is the one on top; else a command's progress dialog, which
    // the prompt must not go behind.
    for (auto* node = wxTopLevelWindows.GetLast(); node; node = node->GetPrevious()) {
        auto* dialog = dynamic_cast<wxDialog*>(node->GetData());
        if (dialog && dialog->IsModal() && dialog->IsShown())
            return dialog;
    }
    if (wxDialog* progress = ProgressView::Latest())
        return progress;
    return m_mainWindow;
}

MbResult WxUi::MessageBox(const std::string& text, MbIcon icon, MbButtons buttons) {
    ArrowWhileAsking arrow(*this);
    long style = 0;
    switch (buttons) {
        case MbButtons::Ok:
            style = wxOK;
            break;
        case MbButtons::OkCancel:
            style = wxOK | wxCANCEL;
            break;
        case MbButtons::YesNo:
            style = wxYES_NO;
            break;
        case MbButtons::YesNoCancel:
            style = wxYES_NO | wxCANCEL;
            break;
    }
    switch (icon) {
        case MbIcon::None:
            style |= wxICON_NONE;
            break;
        case MbIcon::Information:
            style |= wxICON_INFORMATION;
            break;
        case MbIcon::Exclamation:
            style |= wxICON_EXCLAMATION;
            break;
        case MbIcon::Stop:
            style |= wxICON_ERROR;
            break;
        case MbIcon::Question:
            style |= wxICON_QUESTION;
            break;
    }
    MessageBoxView box(DialogParent(), ToWx(text), "Quillstead", style);
    CentreOn(box, m_mainWindow);
    switch (box.ShowModal()) {
        case wxID_OK:
            return MbResult::Ok;
        case wxID_YES:
            return MbResult::Yes;
        case wxID_NO:
            return MbResult::No;
        default:
            // The close box answers as Cancel does, or as No where there is no Cancel.
            if (buttons == MbButtons::YesNo)
                return MbResult::No;
            if (buttons == MbButtons::Ok)
                return MbResult::Ok;
            return MbResult::Cancel;
    }
}

int WxUi::RunModal(CDialog& dialog) {
    ArrowWhileAsking arrow(*this);
    const ViewFactory* factory = FindDialogView(dialog.ClassName());
    if (!factory) {
        MessageBox(std::string("The window of the dialog ") + dialog.ClassName() +
                       " is not part of this program, so it cannot be shown.",
                   MbIcon::Stop, MbButtons::Ok);
        return IDCANCEL;
    }
    DialogView* view = (*factory)(DialogParent(), dialog);
    view->Load();
    CentreOn(*view, m_mainWindow);
    const int result = view->ShowModal();
    view->Destroy();
    return result == wxID_OK ? IDOK : IDCANCEL;
}

std::unique_ptr<ProgressWindow> WxUi::CreateProgress(int templateId) {
    return std::make_unique<ProgressView>(m_mainWindow, templateId);
}

void WxUi::StatusProgressBegin(const std::string& caption, int total, COLORREF colour,
                               bool defaultColour) {
    if (m_statusBar)
        m_statusBar->BeginProgress(caption, total, colour, defaultColour);
}

void WxUi::StatusProgressStep() {
    if (m_statusBar)
        m_statusBar->StepProgress();
}

void WxUi::StatusProgressEnd() {
    if (m_statusBar)
        m_statusBar->EndProgress();
}

void WxUi::SetStatusText(const std::string& text) {
    if (m_statusBar)
        m_statusBar->SetPaneText(text);
}

void WxUi::BusyCursor() {
    if (m_busy)
        return;
    m_busy = true;
    wxBeginBusyCursor();
}

void WxUi::PlaySoundResource(const std::string& name) {
    const std::string path = ResourcePath("sounds/" + name + ".wav");
    m_soundsPlayed.push_back(path);
    m_sound.Play(path);
}

void WxUi::PlaySoundFile(const std::string& winPath) {
    const std::string path = platform::HostPath(winPath);
    m_soundsPlayed.push_back(path);
    m_sound.Play(path);
}

IUserInterface::ClipboardState WxUi::GetClipboardFiles(std::vector<std::string>& files) {
    std::vector<std::string> hostPaths;
    const ClipboardState state = ReadClipboardFiles(hostPaths);
    files.clear();
    if (state != ClipboardState::Files)
        return state;
    files = WindowsPathsOf(hostPaths);
    return files.empty() ? ClipboardState::NoFiles : ClipboardState::Files;
}

void WxUi::ShowHelp(const std::string& helpText) {
    EndBusy();
    const std::string topic = HelpTopicOf(helpText);
    const std::string page = HelpPagePath(topic);
    if (page.empty()) {
        MessageBox("The help topic " + (topic.empty() ? helpText : topic) + " is not available.",
                   MbIcon::Information, MbButtons::Ok);
        return;
    }
    wxWindow* parent = DialogParent();
    ShowHelpPage(page, parent != m_mainWindow ? parent : nullptr, m_mainWindow);
}

void WxUi::ReportFileException(const CFileException& e) {
    MessageBox(FrameworkFileErrorText(e), MbIcon::Stop, MbButtons::Ok);
}

void WxUi::SetTimer(int id, unsigned milliseconds, std::function<void()> tick) {
    RetireTimer(id);
    auto timer = std::make_unique<SeamTimer>(*this, std::move(tick));
    timer->Start(int(milliseconds));
    m_timers[id] = std::move(timer);
}

void WxUi::KillTimer(int id) {
    RetireTimer(id);
}

// A file exception ends the tick, as it ends a command, and is reported.
void WxUi::RunTick(const std::function<void()>& tick) {
    // The tick may kill or set its own timer: it runs from a copy.
    const std::function<void()> copy = tick;
    if (m_tickRunner)
        m_tickRunner(copy);
    else
        RunCommand(copy);
}

void WxUi::SetPaneText(int pane, const std::string& text) {
    if (m_statusBar)
        m_statusBar->SetStatusText(ToWx(text), pane);
}

// A close that cannot be refused: the window may be in the middle of a command.
void WxUi::CloseMainWindow() {
    if (m_mainWindow)
        m_mainWindow->Close(true);
}

void WxUi::RetireTimer(int id) {
    auto it = m_timers.find(id);
    if (it == m_timers.end())
        return;
    // A tick may kill or reset its own timer: the timer is only stopped here and deleted
    // when the events are idle again.
    it->second->Stop();
    m_retired.push_back(std::move(it->second));
    m_timers.erase(it);
    if (m_retired.size() == 1)
        m_later.CallAfter([this] { m_retired.clear(); });
}
