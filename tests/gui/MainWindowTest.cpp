// The main window: the no-database picture, then a created and opened database in the
// virtual list (with a screenshot that must be a real picture), the commands enabled by the
// active view, closing the database, the clean-up when the window closes or the session
// ends, and commands and timer ticks the window runs.
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/menu.h>
#include <wx/toolbar.h>

#include "gui/Commands.h"
#include "gui/DatabaseListView.h"
#include "gui/MainWindow.h"
#include "gui/NoDatabaseWindow.h"
#include "gui/StatusBar.h"
#include "platform/FileException.h"
#include "storage/ProtectedFile.h"
#include "tests/gui/GuiTest.h"

namespace {

const char* const kDatabase = "E:\\home database";
// The commands on an open database (and only there).
const int kDatabaseCommands[] = {ID_CLOSE_DATABASE,    ID_PASTE_FILES,     ID_CHECK_ALL_FILES,
                                 ID_ADD_BY_ATTRIBUTES, ID_ADD_BY_CONTENTS, ID_ADD_BY_ABILITIES};

bool Enabled(MainWindow* window, int id) {
    window->UpdateWindowUI(wxUPDATE_UI_RECURSE);
    wxMenuItem* item = window->GetMenuBar()->FindItem(MenuId(id));
    return item && item->IsEnabled();
}

// The share of the no-database view's gold ground in a picture.
double GoldShare(const wxImage& image) {
    const unsigned char* p = image.GetData();
    const int pixels = image.GetWidth() * image.GetHeight();
    int gold = 0;
    for (int i = 0; i < pixels; ++i, p += 3) gold += p[0] == 196 && p[1] == 150 && p[2] == 40;
    return pixels ? double(gold) / pixels : 0;
}

// The window's client area as drawn (for the main window: the active view); where a
// window's drawing cannot be read back, the screen under it.
wxBitmap Screenshot(wxWindow* window) {
    window->Update();
    Pump(50);
    const wxSize size = window->GetClientSize();
    wxBitmap shot(size);
    wxMemoryDC memory(shot);
    {
        wxClientDC client(window);
        memory.Blit(0, 0, size.x, size.y, &client, 0, 0);
    }
    memory.SelectObject(wxNullBitmap);
    if (DistinctColours(shot.ConvertToImage()) > 1)
        return shot;
    memory.SelectObject(shot);
    {
        wxScreenDC screen;
        const wxPoint origin = window->ClientToScreen(wxPoint(0, 0));
        memory.Blit(0, 0, size.x, size.y, &screen, origin.x, origin.y);
    }
    memory.SelectObject(wxNullBitmap);
    return shot;
}

}  // namespace

using MainWindowTest = WindowTest;

TEST_F(MainWindowTest, WithoutADatabaseThePictureAndItsCommands) {
    EXPECT_EQ(FromWx(window->GetTitle()), "Quillstead");
    EXPECT_NE(dynamic_cast<NoDatabaseWindow*>(window->ActiveView()), nullptr);
    EXPECT_EQ(window->ActiveView()->GetDropTarget(), nullptr);  // nothing can be dropped
    for (int id : {ID_CREATE_DATABASE, ID_OPEN_DATABASE, ID_SCHEDULED_CHECKING})
        EXPECT_TRUE(Enabled(window, id)) << id;
    for (int id : kDatabaseCommands) EXPECT_FALSE(Enabled(window, id)) << id;
    wxMenuBar* menus = window->GetMenuBar();
    EXPECT_EQ(menus->GetMenuLabel(1), "&Add");
    EXPECT_EQ(menus->GetMenuLabel(2), "&Checking");
    const std::pair<int, const char*> items[] = {
        {ID_ADD_BY_ATTRIBUTES, "According to Attributes"},
        {ID_ADD_BY_CONTENTS, "According to Contents"},
        {ID_ADD_BY_ABILITIES, "According to Abilities / Functionality"},
        {ID_PASTE_FILES, "Paste Files into the Database"},
        {ID_CHECK_ALL_FILES, "Check All Files In The Open Database"}};
    for (const auto& [id, label] : items) {
        wxMenuItem* item = menus->FindItem(MenuId(id));
        ASSERT_NE(item, nullptr) << label;
        EXPECT_EQ(FromWx(item->GetItemLabelText()), label);
    }

    // The paste keys do nothing here: no box, no change.
    Command(ID_EDIT_PASTE);
    Pump();

    const wxBitmap shot = Screenshot(window->ActiveView());
    EXPECT_GT(DistinctColours(shot.ConvertToImage()), 20u);
    EXPECT_GT(GoldShare(shot.ConvertToImage()), 0.3);
}

TEST_F(MainWindowTest, AnOpenDatabaseInTheListWithItsCommands) {
    prefix.WriteFile("E:\\files\\a.txt", "alpha");
    ASSERT_NO_FATAL_FAILURE(OpenDatabase());
    DatabaseListView* list = window->ListView();
    EXPECT_TRUE(list->HasFlag(wxLC_VIRTUAL));
    EXPECT_TRUE(list->HasFlag(wxLC_REPORT));
    ASSERT_EQ(list->GetColumnCount(), 7);
    wxListItem column;
    column.SetMask(wxLIST_MASK_TEXT);
    list->GetColumn(0, column);
    EXPECT_EQ(FromWx(column.GetText()), "Path");
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_NE(list->GetDropTarget(), nullptr);

    for (int id : kDatabaseCommands) EXPECT_TRUE(Enabled(window, id)) << id;
    for (int id : {ID_CREATE_DATABASE, ID_OPEN_DATABASE, ID_SCHEDULED_CHECKING})
        EXPECT_FALSE(Enabled(window, id)) << id;
    EXPECT_EQ(window->Model().m_openDatabasePath, kDatabase);
    EXPECT_TRUE(window->Model().m_databaseOpen);

    // The list shows the model's rows when they change, however many.
    CListview* model = window->ListModel();
    FileRecord record;
    ASSERT_TRUE(
        ParseFileRecordLine("E:\\files\\a.txt\x7f"
                            "2c1743a391305fbf367df8e4f069f9f9\x7f           5\x7f \x7f"
                            "30000000\x7f"
                            "0\x7f"
                            "0\x7f"
                            "0\x7f",
                            record));
    model->m_records.assign(100000, record);
    model->m_onRefilled();
    EXPECT_EQ(list->GetItemCount(), 100000);
    EXPECT_EQ(FromWx(list->GetItemText(99999, 0)), "E:\\files\\a.txt");
    EXPECT_EQ(FromWx(list->GetItemText(5, 2)), "5");
    Pump(50);

    const wxBitmap shot = Screenshot(window);
    ASSERT_TRUE(shot.IsOk());
    const std::string file = std::string(QUILL_TEST_OUTPUT_DIR) + "/main-window.png";
    ASSERT_TRUE(shot.SaveFile(wxString::FromUTF8(file), wxBITMAP_TYPE_PNG));
    const wxImage image = shot.ConvertToImage();
    EXPECT_GT(DistinctColours(image), 8u) << "the screenshot is all one colour";
    // It shows the list, not the no-database picture's gold.
    EXPECT_LT(GoldShare(image), 0.05);

    window->CloseDatabase();
    EXPECT_NE(dynamic_cast<NoDatabaseWindow*>(window->ActiveView()), nullptr);
    EXPECT_EQ(window->ListModel(), nullptr);
    EXPECT_FALSE(window->Model().m_databaseOpen);
    EXPECT_TRUE(window->Model().m_openDatabasePath.empty());
    EXPECT_TRUE(Enabled(window, ID_SCHEDULED_CHECKING));
}

TEST_F(MainWindowTest, ClosingTheWindowOrTheSessionRemovesTheLeftOverWorkingCopy) {
    ASSERT_NO_FATAL_FAILURE(OpenDatabase());
    const std::string copy = DatabaseWorkCopyPath(kDatabase);
    prefix.WriteFile(copy, "plain records");
    window->EndSession();
    EXPECT_FALSE(prefix.Exists(copy));
    prefix.WriteFile(copy, "plain records");
    window->Close(true);
    Pump();
    EXPECT_FALSE(prefix.Exists(copy));
}

TEST_F(MainWindowTest, AFileExceptionOfACommandIsReported) {
    ASSERT_NO_FATAL_FAILURE(OpenDatabase());
    Hook().ExpectMessage(FrameworkFileErrorText(CFileException(5, "E:\\x")));
    window->RunViewCommand([] { throw CFileException(5, "E:\\x"); });
    EXPECT_FALSE(window->CommandRunning());
}

TEST_F(MainWindowTest, AClosingWindowWaitsForTheRunningCommand) {
    ASSERT_NO_FATAL_FAILURE(OpenDatabase());
    bool stillThere = false;
    window->RunViewCommand([&] {
        EXPECT_FALSE(window->Close(false));  // refused while the command runs
        EXPECT_TRUE(window->IsShown());
        window->Close(true);  // the session ends: it cannot be refused
        Pump();
        stillThere = window->ListModel() != nullptr;
    });
    EXPECT_TRUE(stillThere);
    Pump();
    EXPECT_TRUE(WindowGone());
}

// Scheduled checking's timers tick as commands of the window: a tick that comes while another
// command runs is only noted, and a tick that closes the main window (a scheduled check's
// inconsistency) has the window go once it has returned.
TEST_F(MainWindowTest, TimerTicksRunAsCommandsAndMayCloseTheWindow) {
    int ticks = 0;
    bool asCommand = false;
    ui.SetTimer(99, 5, [&] {
        ++ticks;
        asCommand = window->CommandRunning();
    });
    ASSERT_TRUE(PumpUntil([&] { return ticks > 0; }));
    EXPECT_TRUE(asCommand);
    // During another command the ticks still come (the countdown goes on); what they would
    // start waits for the command (see the scheduled checking tests).
    const int before = ticks;
    window->RunViewCommand([] { Pump(60); });
    EXPECT_GT(ticks, before);
    ui.KillTimer(99);

    bool modelsInTick = false;
    ui.SetTimer(98, 5, [&] {
        ui.KillTimer(98);
        ui.CloseMainWindow();
        modelsInTick = window->Model().HasKey();  // the window's models are still there
    });
    ASSERT_TRUE(PumpUntil([&] { return WindowGone(); }));
    EXPECT_TRUE(modelsInTick);
}

TEST_F(MainWindowTest, TheWindowKeepsItsListAndStatusBarUsable) {
    OpenDatabase();
    window->SetSize(200, 120);
    Pump(100);
    const wxSize least = window->LeastClientSize();
    EXPECT_LE(least.x, 640);  // fits an 800 x 600 screen with its frame and bars
    EXPECT_GE(window->GetClientSize().x, least.x);
    EXPECT_GE(window->GetClientSize().y, least.y);
    // The list shows its headers and rows, the status bar its three panes.
    const wxSize list = window->ActiveView()->GetClientSize();
    EXPECT_GE(list.y, 6 * window->GetCharHeight());
    EXPECT_GT(window->Status()->GetSize().y, 0);
    EXPECT_EQ(window->Status()->GetFieldsCount(), 3);
}
