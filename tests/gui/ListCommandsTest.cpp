// The main window's commands as a user gives them: the paste keys wherever the focus was
// left.
#include <wx/toolbar.h>
#include <wx/uiaction.h>

#include "gui/Commands.h"
#include "gui/DatabaseListView.h"
#include "gui/MainWindow.h"
#include "tests/gui/GuiTest.h"

class ListCommandsTest : public GuiTest {
  protected:
    void SetUp() override {
        GuiTest::SetUp();
        window = new MainWindow(ui);
        window->Model().SetKey(prefix.frame.m_fileKey);
        window->Show();
        window->Raise();
        Pump(50);
    }
    void OpenDatabase() {
        ASSERT_TRUE(window->CreateDatabase("E:\\home database"));
        ASSERT_TRUE(window->OpenDatabase("E:\\home database"));
    }

    MainWindow* window = nullptr;
};

TEST_F(ListCommandsTest, ThePasteKeysWorkWhereverTheFocusWasLeft) {
    for (const char* name : {"a", "b", "c", "d", "e"})
        prefix.WriteFile(std::string("E:\\files\\") + name + ".txt", name);
    ASSERT_NO_FATAL_FAILURE(OpenDatabase());
    // Pastes the file with the keys; the list has the focus afterwards.
    auto pasteByKeys = [&](const char* name, int key, int modifiers) {
        SCOPED_TRACE(name);
        ASSERT_NO_FATAL_FAILURE(
            PutFilesOnClipboard({prefix.Host(std::string("E:\\files\\") + name + ".txt")}));
        Hook().ExpectMessage("1 File successfully pasted into the database.");
        wxUIActionSimulator().Char(key, modifiers);
        EXPECT_TRUE(PumpUntil([] { return Hook().Pending() == 0; }, 3000));
        EXPECT_EQ(wxWindow::FindFocus(), window->ListView());
    };

    // After a drop.
    Hook().ExpectMessage("1 File successfully dropped into the database.");
    window->ListView()->DropHostFiles({prefix.Host("E:\\files\\a.txt")});
    EXPECT_TRUE(PumpUntil([] { return Hook().Pending() == 0; }));
    pasteByKeys("b", 'v', wxMOD_CONTROL);

    // After a check, whose progress dialog disabled the window and so took its focus.
    Hook().ExpectView(
        "Checking Summary.", [](wxDialog*) {}, wxID_OK);
    wxCommandEvent check(wxEVT_MENU, MenuId(ID_CHECK_ALL_FILES));
    window->GetEventHandler()->ProcessEvent(check);
    pasteByKeys("c", WXK_INSERT, wxMOD_SHIFT);

    // With the focus on the toolbar.
    window->GetToolBar()->SetFocus();
    Pump(20);
    pasteByKeys("d", 'v', wxMOD_CONTROL);

    // Activated again with the focus nowhere.
    window->Disable();
    window->Enable();
    auto* other = new wxFrame(nullptr, wxID_ANY, "Another window");
    other->Show();
    other->Raise();
    Pump(100);
    other->Destroy();
    window->Raise();
    Pump(100);
    pasteByKeys("e", 'v', wxMOD_CONTROL);
    EXPECT_EQ(window->ListView()->GetItemCount(), 5);
}
