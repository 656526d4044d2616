// The main window's commands as a user gives them: the paste keys wherever the focus was
// left (a check among them), the file dialogs' first folder, and drops and pastes reaching
// the database under the busy cursor.
#include <wx/dnd.h>
#include <wx/filedlg.h>
#include <wx/toolbar.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include <filesystem>

#include "check/CheckingSummaryDlg.h"
#include "gui/Commands.h"
#include "gui/DatabaseListView.h"
#include "gui/MainWindow.h"
#include "platform/Prefix.h"
#include "tests/gui/GuiTest.h"

using ListCommandsTest = WindowTest;

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

    // After a check, whose progress dialog disabled the window and so took its focus. Both
    // files are unchanged.
    Hook().ExpectView(
        "Checking Summary.",
        [](wxDialog* d) {
            EXPECT_EQ(ControlText(d, CCheckingSummaryDlg::IDC_FILES_CHECKED), "2");
            EXPECT_EQ(ControlText(d, CCheckingSummaryDlg::IDC_FILES_CHANGED), "0");
        },
        wxID_OK);
    Command(ID_CHECK_ALL_FILES);
    EXPECT_EQ(Hook().Pending(), 0u);
    EXPECT_TRUE(window->IsEnabled());  // the progress dialog gave the window back
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

TEST_F(ListCommandsTest, TheFileDialogsOpenInTheHomeFolderThenInTheLastOneChosen) {
    const std::string home = prefix.root + "/home";
    std::filesystem::create_directories(home);
    std::filesystem::create_directories(prefix.Host("E:\\databases"));
    const std::string chosen = prefix.Host("E:\\databases\\home database");
    const std::string previousHome = getenv("HOME") ? getenv("HOME") : "";
    setenv("HOME", home.c_str(), 1);
    // The add command leaves the process in the backup folder.
    std::filesystem::current_path(prefix.Host(prefix.BackupDir()));

    // The GTK dialog passes the hook twice: as a file dialog, then as a dialog. The name is
    // typed in and taken with Return, as a user would.
    Hook().Expect("the New Database dialog", [&](wxDialog* d) {
        auto* ask = dynamic_cast<wxFileDialog*>(d);
        EXPECT_TRUE(ask != nullptr);
        if (!ask)
            return int(wxID_CANCEL);
        EXPECT_EQ(FromWx(ask->GetDirectory()), home);
        ask->SetPath(wxString::FromUTF8(chosen));
        Hook().Expect("the New Database dialog on screen", [](wxDialog* shown) {
            shown->CallAfter([] { wxUIActionSimulator().Char(WXK_RETURN); });
            return int(wxID_NONE);
        });
        return int(wxID_NONE);
    });
    Command(ID_CREATE_DATABASE);
    EXPECT_TRUE(prefix.Exists("E:\\databases\\home database"));

    Hook().Expect("the Open Database dialog", [&](wxDialog* d) {
        auto* ask = dynamic_cast<wxFileDialog*>(d);
        EXPECT_TRUE(ask != nullptr);
        if (ask) {
            EXPECT_EQ(FromWx(ask->GetDirectory()), prefix.Host("E:\\databases"));
        }
        return int(wxID_CANCEL);
    });
    Command(ID_OPEN_DATABASE);

    std::filesystem::current_path(std::filesystem::temp_directory_path());
    setenv("HOME", previousHome.c_str(), 1);
}

// Dropped and pasted files reach the database under the busy cursor; a path no drive covers
// is reported and left out, and the work goes on.
TEST_F(ListCommandsTest, DropsAndPastesReachTheDatabaseUnderTheBusyCursor) {
    prefix.WriteFile("E:\\files\\dropped.txt", "d");
    prefix.WriteFile("E:\\files\\pasted.txt", "p");
    ASSERT_NO_FATAL_FAILURE(OpenDatabase());
    ui.busyAtBoxes.clear();
    std::filesystem::remove(platform::DosDevicesDir() + "/z:");
    auto* target = dynamic_cast<wxFileDropTarget*>(window->ListView()->GetDropTarget());
    ASSERT_NE(target, nullptr);
    wxArrayString names;
    names.Add("/etc/hostname");
    names.Add(wxString::FromUTF8(prefix.Host("E:\\files\\dropped.txt")));
    Hook().ExpectMessage(NoDriveText("/etc/hostname"));
    Hook().ExpectMessage("1 File successfully dropped into the database.");
    EXPECT_TRUE(target->OnDropFiles(10, 10, names));
    EXPECT_TRUE(PumpUntil([] { return Hook().Pending() == 0; }));
    EXPECT_EQ(ui.busyAtBoxes, (std::vector<bool>{true, true}));
    EXPECT_FALSE(wxIsBusy());
    ASSERT_EQ(window->ListModel()->m_records.size(), 1u);
    EXPECT_EQ(window->ListModel()->m_records[0].path, "E:\\files\\dropped.txt");

    ASSERT_NO_FATAL_FAILURE(PutFilesOnClipboard({prefix.Host("E:\\files\\pasted.txt")}));
    Hook().ExpectMessage("1 File successfully pasted into the database.");
    Command(ID_PASTE_FILES);
    EXPECT_EQ(ui.busyAtBoxes, (std::vector<bool>{true, true, true}));
    EXPECT_FALSE(wxIsBusy());
    EXPECT_EQ(window->ListView()->GetItemCount(), 2);
}
