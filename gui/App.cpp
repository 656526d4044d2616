// The program's entry: the prefix's lock (one program per prefix: a second start on the same
// prefix says so and ends), the seam on wx, the program's start (app/StartUp.h: the prefix
// set up, the password screen until the typed password's key opens the protected files or
// the user quits, the recovery of whatever an interruption left), then the main window,
// maximised, with the no-database view. Any command-line argument asks for background mode, which
// this program does not offer yet: it is noted, and the program starts as usual.
#include <wx/app.h>
#include <wx/image.h>
#include <wx/msgdlg.h>

#include <memory>
#include <string>

#include "app/PasswordDlg.h"
#include "app/ProtectedStore.h"
#include "gui/MainWindow.h"
#include "gui/WxUi.h"
#include "platform/InstanceLock.h"
#include "platform/Ui.h"

class QuillApp : public wxApp {
  public:
    bool OnInit() override {
        wxInitAllImageHandlers();
        m_backgroundMode = argc > 1;
        SetAppDisplayName("Quillstead");
        std::string lockRefused;
        if (!m_lock.Acquire(lockRefused)) {
            wxMessageBox(wxString::FromUTF8(lockRefused), "Quillstead", wxOK | wxICON_ERROR);
            return false;
        }
        m_ui = std::make_unique<WxUi>();
        SetUi(m_ui.get());

        PasswordScreen screen;
        std::unique_ptr<ProtectedStore> store = StartUp(screen);
        m_ui->EndBusy();
        if (!store)
            return false;

        auto* frame = new MainWindow(*m_ui);
        frame->Model().SetStore(std::move(store));
        SetTopWindow(frame);
        frame->Maximize(true);
        frame->Show();

        Bind(wxEVT_END_SESSION, [frame](wxCloseEvent& event) {
            if (wxTheApp->GetTopWindow() == frame)
                frame->EndSession();
            event.Skip();
        });
        return true;
    }

    int OnExit() override {
        SetUi(nullptr);
        m_ui.reset();
        return wxApp::OnExit();
    }

    bool BackgroundMode() const { return m_backgroundMode; }

  private:
    platform::InstanceLock m_lock;  // held until the program ends
    std::unique_ptr<WxUi> m_ui;
    bool m_backgroundMode = false;
};

wxIMPLEMENT_APP(QuillApp);
