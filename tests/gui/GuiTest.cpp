// The window tests' application and shared helpers.
#include "tests/gui/GuiTest.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/display.h>
#include <wx/image.h>
#include <wx/listctrl.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <set>

#include "gui/Commands.h"
#include "gui/DialogView.h"
#include "gui/MainWindow.h"
#include "gui/WrappedText.h"
#include "gui/WxText.h"
#include "platform/Prefix.h"

void DialogHook::Expect(const std::string& what, Handler handler) {
    m_expected.emplace_back(what, std::move(handler));
}

void DialogHook::ExpectMessage(const std::string& text, int answer) {
    Expect("message box \"" + text + "\"", [text, answer](wxDialog* dialog) {
        auto* box = dynamic_cast<wxMessageDialogBase*>(dialog);
        EXPECT_TRUE(box != nullptr) << "a message box was expected";
        if (box) {
            EXPECT_EQ(FromWx(box->GetMessage()), text);
            EXPECT_EQ(FromWx(box->GetTitle()), "Quillstead");
        }
        return answer;
    });
}

void DialogHook::ExpectAnyMessage(std::string* seen, int answer, long* style) {
    Expect("a message box", [seen, answer, style](wxDialog* dialog) {
        auto* box = dynamic_cast<wxMessageDialogBase*>(dialog);
        EXPECT_TRUE(box != nullptr) << "a message box was expected";
        if (box && seen)
            *seen = FromWx(box->GetMessage());
        if (box && style)
            *style = box->GetMessageDialogStyle();
        return answer;
    });
}

void DialogHook::ExpectView(const std::string& title, std::function<void(wxDialog*)> check,
                            int result) {
    Expect("dialog \"" + title + "\"", [title, check, result](wxDialog* dialog) {
        EXPECT_EQ(FromWx(dialog->GetTitle()), title);
        dialog->CallAfter([dialog, check, result] {
            check(dialog);
            if (result == wxID_OK)
                Click(dialog, wxID_OK);  // through the OK button, as a click would go
            if (dialog->IsModal())
                dialog->EndModal(result);
        });
        return int(wxID_NONE);
    });
}

int DialogHook::Enter(wxDialog* dialog) {
    if (m_expected.empty()) {
        std::string text = FromWx(dialog->GetTitle());
        if (auto* box = dynamic_cast<wxMessageDialogBase*>(dialog))
            text += ": " + FromWx(box->GetMessage());
        ADD_FAILURE() << "unexpected modal dialog: " << text;
        return wxID_CANCEL;
    }
    auto handler = std::move(m_expected.front().second);
    m_expected.pop_front();
    return handler(dialog);
}

void DialogHook::VerifyAllSeen() {
    for (const auto& expected : m_expected) ADD_FAILURE() << "never shown: " << expected.first;
    m_expected.clear();
}

DialogHook& Hook() {
    static DialogHook hook;
    return hook;
}

void Pump(int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    do {
        wxTheApp->Yield(true);
        wxTheApp->ProcessPendingEvents();
        wxTheApp->ProcessIdle();
        if (milliseconds > 0)
            wxMilliSleep(2);
    } while (std::chrono::steady_clock::now() < end);
}

bool PumpUntil(const std::function<bool()>& done, int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done() && std::chrono::steady_clock::now() < end) Pump(5);
    return done();
}

std::string ControlText(wxWindow* parent, int id) {
    wxWindow* control = parent->FindWindow(DialogView::WindowId(id));
    if (!control)
        return "<no control " + std::to_string(id) + ">";
    if (auto* edit = dynamic_cast<wxTextCtrl*>(control))
        return FromWx(edit->GetValue());
    if (auto* text = dynamic_cast<wxStaticText*>(control))
        return FromWx(text->GetLabelText());
    if (auto* other = dynamic_cast<wxControl*>(control))
        return FromWx(other->GetLabelText());
    return FromWx(control->GetLabel());
}

unsigned ControlColour(wxWindow* parent, int id) {
    wxWindow* control = parent->FindWindow(DialogView::WindowId(id));
    if (!control)
        return 0xFFFFFFFFu;
    const wxColour c = control->GetForegroundColour();
    return unsigned(c.Red()) | (unsigned(c.Green()) << 8) | (unsigned(c.Blue()) << 16);
}

bool SamePicture(const wxBitmap& a, const wxBitmap& b) {
    if (!a.IsOk() || !b.IsOk() || a.GetSize() != b.GetSize())
        return false;
    wxImage x = a.ConvertToImage(), y = b.ConvertToImage();
    const size_t bytes = size_t(x.GetWidth()) * x.GetHeight() * 3;
    if (memcmp(x.GetData(), y.GetData(), bytes) != 0)
        return false;
    if (x.HasAlpha() != y.HasAlpha())
        return false;
    return !x.HasAlpha() || memcmp(x.GetAlpha(), y.GetAlpha(), bytes / 3) == 0;
}

size_t DistinctColours(const wxImage& image) {
    std::set<uint32_t> colours;
    const unsigned char* p = image.GetData();
    for (int i = 0; i < image.GetWidth() * image.GetHeight() && colours.size() < 1000; ++i) {
        colours.insert(uint32_t(p[3 * i]) << 16 | uint32_t(p[3 * i + 1]) << 8 | p[3 * i + 2]);
    }
    return colours.size();
}

void Click(wxWindow* window, int id) {
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(window);
    window->GetEventHandler()->ProcessEvent(click);
}

namespace {

// The controls a user reads or presses: a wrapped text or a list is one, whatever it holds.
void Leaves(wxWindow* window, std::vector<wxWindow*>& leaves) {
    for (wxWindow* child : window->GetChildren()) {
        if (!child->IsShown() || child->IsTopLevel())
            continue;
        if (dynamic_cast<wxStaticBox*>(child)) {
            Leaves(child, leaves);  // the box holds its controls
            continue;
        }
        leaves.push_back(child);
        if (!dynamic_cast<WrappedText*>(child) && !dynamic_cast<wxControl*>(child) &&
            !dynamic_cast<wxListCtrl*>(child))
            Leaves(child, leaves);
    }
}

std::string Named(wxWindow* control) {
    wxString label = control->GetLabel();
    label.Replace("\n", " ");
    return FromWx(control->GetClassInfo()->GetClassName()) + " \"" + FromWx(label).substr(0, 40) +
           "\" #" + std::to_string(control->GetId());
}

}  // namespace

void ExpectWhole(wxWindow* dialog) {
    // Where a window's client is on the screen is known once it is mapped and framed.
    Pump(100);
    PumpUntil([dialog] {
        return dialog->GetScreenRect().Contains(
            wxRect(dialog->ClientToScreen(wxPoint(0, 0)), dialog->GetClientSize()));
    });
    const wxRect area = wxDisplay(0u).GetClientArea();
    const wxRect whole = dialog->GetScreenRect();
    EXPECT_TRUE(area.Contains(whole))
        << "the dialog " << FromWx(dialog->GetLabel()) << " at " << whole.x << "," << whole.y << " "
        << whole.width << "x" << whole.height << " is not wholly on the screen";
    const wxRect client(dialog->ClientToScreen(wxPoint(0, 0)), dialog->GetClientSize());
    std::vector<wxWindow*> leaves;
    Leaves(dialog, leaves);
    EXPECT_FALSE(leaves.empty());
    for (size_t i = 0; i < leaves.size(); ++i) {
        wxWindow* control = leaves[i];
        const wxRect rect = control->GetScreenRect();
        EXPECT_TRUE(client.Contains(rect)) << Named(control) << " is cut off by the dialog's edge";
        for (size_t j = 0; j < i; ++j)
            EXPECT_FALSE(rect.Intersects(leaves[j]->GetScreenRect()))
                << Named(control) << " covers " << Named(leaves[j]);
        const wxSize best = control->GetBestSize();
        const bool pressed = dynamic_cast<wxAnyButton*>(control) ||
                             dynamic_cast<wxRadioButton*>(control) ||
                             dynamic_cast<wxCheckBox*>(control);
        if (pressed) {
            EXPECT_FALSE(control->GetLabel().empty()) << Named(control);
        }
        auto* text = dynamic_cast<wxStaticText*>(control);
        const bool elides = text && text->HasFlag(wxST_ELLIPSIZE_MIDDLE | wxST_ELLIPSIZE_START |
                                                  wxST_ELLIPSIZE_END);
        if (pressed || (text && !elides)) {
            EXPECT_GE(rect.width, best.x) << Named(control) << " is narrower than its text";
            EXPECT_GE(rect.height, best.y) << Named(control) << " is lower than its text";
        }
        if (auto* wrapped = dynamic_cast<WrappedText*>(control)) {
            if (!wrapped->Scrolls()) {
                EXPECT_GE(rect.height, best.y) << Named(control) << " hides lines of its text";
            }
            EXPECT_GE(rect.width, best.x) << Named(control) << " is narrower than its lines";
        }
    }
}

void ExpectCentredOn(wxWindow* dialog, wxWindow* on) {
    const wxRect area = wxDisplay(0u).GetClientArea();
    auto expected = [&] {
        wxRect rect = dialog->GetScreenRect().CentreIn(on->GetScreenRect());
        rect.x = std::clamp(rect.x, area.x, area.GetRight() + 1 - rect.width);
        rect.y = std::clamp(rect.y, area.y, area.GetBottom() + 1 - rect.height);
        return rect.GetPosition();
    };
    constexpr int kSlack = 3;
    auto centred = [&] {
        const wxPoint at = dialog->GetScreenPosition(), want = expected();
        return std::abs(at.x - want.x) <= kSlack && std::abs(at.y - want.y) <= kSlack;
    };
    // A window manager frames and places a window some moments after it is mapped.
    Pump(100);
    PumpUntil(centred, 3000);
    const wxPoint at = dialog->GetScreenPosition(), want = expected();
    EXPECT_NEAR(at.x, want.x, kSlack) << FromWx(dialog->GetLabel());
    EXPECT_NEAR(at.y, want.y, kSlack) << FromWx(dialog->GetLabel());
}

void SaveScreen(const std::string& name) {
    if (!getenv("QUILL_GUI_SHOTS"))
        return;
    Pump(300);  // drawn
    // The X server's own picture of the screen, window manager's frames included.
    const wxSize display = wxGetDisplaySize();
    const std::string file =
        std::string(QUILL_TEST_OUTPUT_DIR) + "/" + name + "-" + std::to_string(display.x) + ".png";
    EXPECT_EQ(0, std::system(("import -window root '" + file + "'").c_str())) << file;
}

void PutOnClipboard(wxDataObject* data) {
    if (!wxTheClipboard->Open()) {
        delete data;
        FAIL() << "the clipboard cannot be opened";
    }
    wxTheClipboard->SetData(data);
    wxTheClipboard->Close();
}

void PutFilesOnClipboard(const std::vector<std::string>& hostPaths) {
    auto* data = new wxFileDataObject;
    for (const std::string& path : hostPaths) data->AddFile(wxString::FromUTF8(path));
    PutOnClipboard(data);
}

std::string NoDriveText(const std::string& hostPath) {
    return hostPath +
           " is on no drive of Quillstead and was left out.\nTo use it, link a drive letter to "
           "its folder in " +
           platform::DosDevicesDir() + ".";
}

MbResult NotingUi::MessageBox(const std::string& text, MbIcon icon, MbButtons buttons) {
    busyAtBoxes.push_back(IsBusy() && wxIsBusy());
    return WxUi::MessageBox(text, icon, buttons);
}

void GuiTest::SetUp() {
    SetUi(&ui);
}

void GuiTest::TearDown() {
    Hook().VerifyAllSeen();
    for (wxWindow* window : wxTopLevelWindows) window->Destroy();
    Pump();
    ui.EndBusy();
    SetUi(&prefix.ui);
}

void WindowTest::SetUp() {
    GuiTest::SetUp();
    window = new MainWindow(ui);
    window->Model().SetKey(prefix.frame.Store().FileKey());
    // Away from the screen's middle, and smaller than the screen.
    const wxRect area = wxDisplay(0u).GetClientArea();
    window->SetSize(area.x + area.width / 16, area.y + area.height / 20, area.width * 5 / 8,
                    area.height * 5 / 8);
    window->Show();
    window->Raise();
    Pump(50);
}

void WindowTest::OpenDatabase() {
    ASSERT_TRUE(window->CreateDatabase("E:\\home database"));
    ASSERT_TRUE(window->OpenDatabase("E:\\home database"));
    ASSERT_NE(window->ListView(), nullptr);
}

void WindowTest::Command(int id) {
    wxCommandEvent command(wxEVT_MENU, MenuId(id));
    window->GetEventHandler()->ProcessEvent(command);
}

bool WindowTest::WindowGone() const {
    for (wxWindow* top : wxTopLevelWindows)
        if (top == window)
            return false;
    return true;
}

// ---- the application -------------------------------------------------------------------

class TestApp : public wxApp {
  public:
    bool OnInit() override { return true; }
};

wxIMPLEMENT_APP_NO_MAIN(TestApp);

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new TestApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        fprintf(stderr, "the window tests need a display\n");
        return 1;
    }
    wxInitAllImageHandlers();
    // A failed wx assertion fails the test instead of showing its own dialog.
    wxSetAssertHandler([](const wxString& file, int line, const wxString& function,
                          const wxString& condition, const wxString& message) {
        ADD_FAILURE() << "wx assertion " << FromWx(condition) << " (" << FromWx(message) << ") in "
                      << FromWx(function) << " at " << FromWx(file) << ":" << line;
    });
    Hook().Register();
    const int result = RUN_ALL_TESTS();
    Hook().Unregister();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
