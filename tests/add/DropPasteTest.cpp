// The drop and paste commands: the files added in the list's order, the refill, the
// summaries, a folder in the drop, and the clipboard without files or held by another
// program.
#include <string>
#include <vector>

#include "platform/File.h"
#include "platform/FileException.h"
#include "platform/Ui.h"
#include "tests/add/AddFixture.h"

namespace {

class DropPasteTest : public AddFixture {
  protected:
    void SetUp() override {
        AddFixture::SetUp();
        prefix.WriteFile(kA, "alpha\n");
        prefix.WriteFile(kB, "beta\n");
        prefix.WriteFile(kC, "gamma\n");
    }
    std::vector<std::string> Paths() const {
        std::vector<std::string> paths;
        for (const FileRecord& r : view.m_records) paths.push_back(r.path);
        return paths;
    }
    const std::string kA = "E:\\a.txt", kB = "E:\\b.txt", kC = "E:\\c.txt";
};

TEST_F(DropPasteTest, DropAddsInOrderRefillsAndSummarises) {
    view.OnDropFiles({kA, kB, kC});
    EXPECT_EQ(view.m_filesAdded, 3);
    EXPECT_EQ(view.m_filesPreviouslyListed, 0);
    EXPECT_EQ(Refills(), 1);
    EXPECT_EQ(Paths(), (std::vector<std::string>{kA, kB, kC}));
    EXPECT_EQ(prefix.ui.Events(), std::vector<std::string>{
                                      BoxEvent("3 Files successfully dropped into the database.")});
    ExpectNothingLeftBehind();
}

TEST_F(DropPasteTest, DuplicateWithinOneDropCountsOnceEach) {
    view.OnDropFiles({kA, kB, kA});
    EXPECT_EQ(Refills(), 1);
    EXPECT_EQ(Paths(), (std::vector<std::string>{kA, kB}));
    EXPECT_EQ(prefix.ui.Events(),
              (std::vector<std::string>{BoxEvent("E:\\a.txt previously listed."),
                                        BoxEvent("2 Files successfully dropped into the database.\n"
                                                 "1 File listed previously.")}));
}

TEST_F(DropPasteTest, OneNewAndOneListed) {
    view.OnDropFiles({kA});
    prefix.ui.ClearEvents();
    view.OnDropFiles({kB, kA});
    EXPECT_EQ(Refills(), 2);
    EXPECT_EQ(prefix.ui.Events(),
              (std::vector<std::string>{BoxEvent("E:\\a.txt previously listed."),
                                        BoxEvent("1 File successfully dropped into the database.\n"
                                                 "1 File listed previously.")}));
}

TEST_F(DropPasteTest, AllListedBeginsWithALineBreakAndDoesNotRefill) {
    view.OnDropFiles({kA, kB});
    const std::string database = prefix.ReadFile(kDatabase);
    prefix.ui.ClearEvents();
    view.OnDropFiles({kB, kA});
    EXPECT_EQ(view.m_filesAdded, 0);
    EXPECT_EQ(view.m_filesPreviouslyListed, 2);
    EXPECT_EQ(Refills(), 1);
    EXPECT_EQ(prefix.ui.Events(),
              (std::vector<std::string>{BoxEvent("E:\\b.txt previously listed."),
                                        BoxEvent("E:\\a.txt previously listed."),
                                        BoxEvent("\n2 Files listed previously.")}));
    EXPECT_EQ(prefix.ReadFile(kDatabase), database);
}

TEST_F(DropPasteTest, EmptyDropShowsAnEmptySummary) {
    view.OnDropFiles({});
    EXPECT_EQ(Refills(), 0);
    EXPECT_EQ(prefix.ui.Events(), std::vector<std::string>{BoxEvent("")});
}

TEST_F(DropPasteTest, FolderEndsTheDropAndEarlierFilesStayAdded) {
    ASSERT_TRUE(platform::CreateDirectory("E:\\Folder"));
    const bool completed = RunCommand([&] { view.OnDropFiles({kA, "E:\\Folder", kB}); });
    EXPECT_FALSE(completed);
    EXPECT_EQ(Refills(), 0);
    EXPECT_EQ(prefix.ui.Events(),
              std::vector<std::string>{
                  "{\"event\":\"framework-report\",\"cause\":5,\"file\":\"E:\\\\Folder\","
                  "\"text\":\"Cannot access the file E:\\\\Folder.\\nReason: AccessDenied.\"}"});
    view.OnInitialUpdate();
    EXPECT_EQ(Paths(), std::vector<std::string>{kA});
    ExpectNothingLeftBehind();
}

TEST_F(DropPasteTest, PasteAddsTheClipboardFiles) {
    prefix.ui.AddScriptLine("{\"clipboard\":[\"E:\\\\a.txt\",\"E:\\\\b.txt\"]}");
    view.OnPasteFiles();
    EXPECT_EQ(Refills(), 1);
    EXPECT_EQ(Paths(), (std::vector<std::string>{kA, kB}));
    EXPECT_EQ(prefix.ui.Events(),
              std::vector<std::string>{BoxEvent("2 Files successfully pasted into the database.")});

    prefix.ui.ClearEvents();
    prefix.ui.AddScriptLine("{\"clipboard\":[\"E:\\\\c.txt\",\"e:\\\\a.txt\"]}");
    view.OnPasteFiles();
    EXPECT_EQ(prefix.ui.Events(),
              (std::vector<std::string>{BoxEvent("e:\\a.txt previously listed."),
                                        BoxEvent("1 File successfully pasted into the database.\n"
                                                 "1 File listed previously.")}));
}

TEST_F(DropPasteTest, ClipboardWithoutFilesChangesNothing) {
    view.OnDropFiles({kA});
    const std::string database = prefix.ReadFile(kDatabase);
    prefix.ui.ClearEvents();
    view.m_filesAdded = 7;
    prefix.ui.AddScriptLine("{\"clipboard\":null}");
    view.OnPasteFiles();
    EXPECT_EQ(view.m_filesAdded, 0);
    EXPECT_EQ(Refills(), 1);
    EXPECT_EQ(prefix.ui.Events(),
              std::vector<std::string>{BoxEvent("There are no files on the clipboard.")});
    EXPECT_EQ(prefix.ReadFile(kDatabase), database);
}

// A clipboard another program holds open.
class HeldClipboardUi : public ScriptedUi {
  public:
    ClipboardState GetClipboardFiles(std::vector<std::string>& files) override {
        files.clear();
        return ClipboardState::Unavailable;
    }
};

TEST_F(DropPasteTest, HeldClipboardAddsNothingAndShowsAnEmptySummary) {
    HeldClipboardUi held;
    SetUi(&held);
    view.OnPasteFiles();
    SetUi(&prefix.ui);
    EXPECT_EQ(Refills(), 0);
    EXPECT_EQ(held.Events(), std::vector<std::string>{BoxEvent("")});
    EXPECT_EQ(DatabasePlain(), "");
}

}  // namespace
