// The add by contents and the add by abilities through the scripted seam on real trees: what
// they add and their closing texts, " Bytes" after a large run's steps, the dialog closed
// before the no-files box, listed and added files however long their paths, a file that
// cannot be opened once the add runs ("Unknown": what was added is kept), a Cancel during a
// large scan, and every drive.
#include <string>
#include <vector>

#include "platform/File.h"
#include "tests/add/WalkAddFixture.h"
#include "tests/support/Json.h"
#include "tests/support/TestTree.h"

namespace {

class AddByContentsAbilitiesTest : public WalkAddFixture {
  protected:
    void Contents(const std::string& location, const std::string& text, int wholeWord = 0,
                  int notify = 0) {
        prefix.ui.AddScriptLine(
            "{\"dialog\":\"CAddByContentsDlg\",\"set\":{\"m_critBareText\":" + JsonString(text) +
            ",\"m_critWholeWord\":" + std::to_string(wholeWord) + ",\"m_critLocation\":" +
            JsonString(location) + ",\"m_critNotifyIfListed\":" + std::to_string(notify) + "}}");
        RunCommand([this] { view.OnAddByContents(); });
    }
    void Abilities(const std::string& location, const char* which, int notify = 0) {
        prefix.ui.AddScriptLine("{\"dialog\":\"CAddByAbilitiesDlg\",\"set\":{" +
                                std::string(which) + ",\"m_critLocation\":" + JsonString(location) +
                                ",\"m_critNotifyIfListed\":" + std::to_string(notify) + "}}");
        RunCommand([this] { view.OnAddByAbilities(); });
    }
    // Once the add begins: `path` is locked against reading.
    void LockWhenAdding(const std::string& path) {
        prefix.ui.onEvent = [this, path](const std::string& line) {
            if (line.find("Adding files to: ") != std::string::npos) {
                ASSERT_TRUE(held.Open(path, "rb", platform::Share::DenyAll));
            }
            if (line.find("\"messagebox\"") != std::string::npos)
                openAtBoxes.push_back(prefix.ui.progressOpen);
        };
    }
    platform::CFile held;
    std::vector<bool> openAtBoxes;
    const char* const kAll =
        "\"m_critAbilityNetwork\":1,\"m_critAbilityCoreOs\":1,\"m_critAbilityCookies\":1";
};

}  // namespace

TEST_F(AddByContentsAbilitiesTest, ContentsAddsWhatHoldsTheWordWithBytesAfterLargeSteps) {
    prefix.WriteFile("E:\\d\\a.txt", "the cat sat");
    prefix.WriteFile("E:\\d\\b.txt", "the category");
    prefix.WriteFile("E:\\d\\.dot", "cat");
    prefix.WriteFile("E:\\d\\big.bin", std::string(70000, 'x') + " cat");
    prefix.WriteFile("E:\\d\\sub\\c.txt", "cat");
    Contents("E:\\d", "cat", 1);
    EXPECT_EQ(RecordPaths(),
              (std::vector<std::string>{"E:\\d\\a.txt", "E:\\d\\big.bin", "E:\\d\\sub\\c.txt"}));
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"3 Files located in E:\\d\\\n\n -Containing "
                                                 "text: \" cat \"\n\n successfully added to "
                                                 "the database."}));
    // 70018 bytes: every piece is a step; a.txt's 11 bytes are a tail.
    const std::vector<std::string>& bytes = prefix.ui.progressTextsShown.at(1115);
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_EQ(bytes[0], "70007 bytes. [68.37 KB]");
    EXPECT_EQ(bytes[1], "69943 Bytes [68.30 KB]");
    EXPECT_EQ(bytes.back(), "0 bytes.");
    ExpectDigestRefreshed();
    ExpectNothingLeftBehind();
}

TEST_F(AddByContentsAbilitiesTest, ADialogClosesBeforeTheNoFilesBox) {
    prefix.WriteFile("E:\\n\\a.txt", "a cat");
    LockWhenAdding("E:\\n\\a.txt");
    Contents("E:\\n", "cat");
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"Couldn't check E:\\n\\a.txt\nReason: "
                                                 "SharingViolation. ",
                                                 "There are no files located in E:\\n\\\n\n "
                                                 "-Containing text: \"cat\""}));
    EXPECT_EQ(openAtBoxes, (std::vector<bool>{true, false}));
    EXPECT_TRUE(RecordPaths().empty());
}

TEST_F(AddByContentsAbilitiesTest, ListedFilesAreKnownHoweverLongTheirPaths) {
    const std::string folder = "E:\\l\\" + std::string(200, 'f') + "\\" + std::string(200, 'g');
    prefix.WriteFile(folder + "\\a.txt", "a cat");
    prefix.WriteFile(folder + "\\index.dat", "");
    view.OnDropFiles({folder + "\\a.txt", folder + "\\index.dat"});
    prefix.WriteFile(folder + "\\b.txt", "cat");
    prefix.ui.ClearEvents();
    Contents("E:\\l", "cat", 0, 1);
    EXPECT_EQ(Boxes(), (std::vector<std::string>{
                           folder + "\\a.txt previously listed.",
                           "1 File located in E:\\l\\\n\n -Containing text: \"cat\"\n\n "
                           "successfully added to the database.\n\n1 File listed previously."}));
    EXPECT_EQ(RecordPaths().back(), folder + "\\b.txt");

    WithoutWholeMachine();
    prefix.ui.ClearEvents();
    Abilities("*", "\"m_critAbilityCookies\":1");
    EXPECT_EQ(Boxes(),
              (std::vector<std::string>{"All files\n\n -Cookies. were previously listed."}));
    EXPECT_EQ(RecordPaths().size(), 3u);
}

TEST_F(AddByContentsAbilitiesTest, AnUnknownOpenEndsTheCommandAndKeepsWhatWasAdded) {
    prefix.WriteFile("E:\\u\\a.txt", "cat");
    prefix.WriteFile("E:\\u\\b.txt", "cat");
    LockWhenAdding("E:\\u\\b.txt");
    {
        OpenWithoutCause withoutCause;
        Contents("E:\\u", "cat");
    }
    EXPECT_EQ(prefix.ui.Events().back(),
              BoxEvent("E:\\u\\b.txt could not be opened.\n Reason: Unknown.", "stop"));
    EXPECT_EQ(RecordPaths(), (std::vector<std::string>{"E:\\u\\a.txt"}));
    ExpectDigestRefreshed();
    ExpectNothingLeftBehind();
    EXPECT_FALSE(prefix.ui.progressOpen);
}

TEST_F(AddByContentsAbilitiesTest, CancelDuringALargeScanThenNoTakesTheRunsFilesOut) {
    prefix.WriteFile("E:\\k\\a.txt", "cat");
    prefix.WriteFile("E:\\k\\big.bin", std::string(3 << 20, 'x') + "cat");
    // Polls: a.txt (its whole content is one comparison, its digest has no piece), big.bin,
    // then big.bin's blocks.
    prefix.ui.AddScriptLine("{\"cancel_at_poll\":5,\"progress\":\"CAddProgressDlg\"}");
    prefix.ui.AddScriptLine("{\"messagebox\":\"no\"}");
    Contents("E:\\k", "cat");
    EXPECT_EQ(Boxes(), (std::vector<std::string>{
                           "Would you like to keep the files added before you pressed Cancel?"}));
    EXPECT_EQ(prefix.ui.progressDialogs.back().polls, 5);
    EXPECT_TRUE(RecordPaths().empty());
    EXPECT_EQ(Refills(), 1);
    ExpectDigestRefreshed();
    ExpectNothingLeftBehind();
}

TEST_F(AddByContentsAbilitiesTest, AbilitiesAddSystemFilesAndCookiesButNoFolderOrDotName) {
    prefix.WriteFile("E:\\WINDOWS\\sys.dll", "MZ");
    prefix.WriteFile("E:\\WINDOWS\\.hidden.dll", "MZ");
    prefix.WriteFile("E:\\WINDOWS\\cookies\\index.dat", "");
    prefix.WriteFile("E:\\WINDOWS\\net.txt", "ws2_32.dll");
    prefix.WriteFile("E:\\WINDOWS\\held.exe", "wininet.dll");
    MakeTestFolder(prefix, "E:\\WINDOWS\\index.dat");
    platform::CFile lock;
    ASSERT_TRUE(lock.Open("E:\\WINDOWS\\held.exe", "rb", platform::Share::DenyAll));
    Abilities("E:\\WINDOWS", kAll);
    const std::string check = "Couldn't check E:\\WINDOWS\\held.exe\nReason: SharingViolation. ";
    EXPECT_EQ(Boxes(),
              (std::vector<std::string>{
                  check, check, "Couldn't add E:\\WINDOWS\\held.exe\nReason: SharingViolation. ",
                  "2 Files located in E:\\WINDOWS\\ with\n\n -Communication "
                  "abilities\n\n -Core operating system functionality\n\n -Cookies.\n\n "
                  "successfully added to the database."}));
    EXPECT_EQ(RecordPaths(), (std::vector<std::string>{"E:\\WINDOWS\\sys.dll",
                                                       "E:\\WINDOWS\\cookies\\index.dat"}));
}
