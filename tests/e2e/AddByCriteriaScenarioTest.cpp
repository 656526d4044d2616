// A user's sessions with the three add-by-criteria commands through the headless driver:
// "According to Attributes" from a dialog left unanswered after its refusal to hidden files
// added, then every file with the hidden one announced as listed and a cancel answered No;
// "According to Contents", a whole word in text files only, then the same search again
// (everything listed); "According to Abilities / Functionality", libraries that use the
// network and cookie index files, with a library another program holds locked; and the list
// of what the database holds after each. Every printed line is compared whole.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/E2eTest.h"
#include "tests/support/AddEvents.h"
#include "tests/support/Json.h"

namespace fs = std::filesystem;

namespace {

class AddByCriteriaScenarioTest : public E2eTest {
  protected:
    void SetUp() override {
        E2eTest::SetUp();
        fs::create_directories(root + "/e");
        ASSERT_EQ(Drive({"--prefix", prefix, "setup", "--drive", "e=" + root + "/e"}).status, 0);
        fs::create_directories(prefix + "/drive_c/Data");
        ASSERT_EQ(
            Drive({"--prefix", prefix, "--password", "pw", "create-database", kDatabase}).status,
            0);
    }
    // Writes a file of drive E:, its folders too.
    void Write(const std::string& path, const std::string& bytes) {
        fs::create_directories(fs::path(root + "/e/" + path).parent_path());
        WriteHost(root + "/e/" + path, bytes);
    }
    DriverRun Run(const std::string& command, const std::vector<std::string>& script,
                  const std::string& extra = "") {
        std::vector<std::string> args = {"--prefix",   prefix,    "--password", "pw",
                                         "--database", kDatabase, command};
        if (!extra.empty())
            args.push_back(extra);
        return Drive(args, script);
    }
    std::vector<std::string> Listed() {
        std::vector<std::string> paths;
        for (const std::string& line : Run("list", {}).lines)
            paths.push_back(ParseJson(line).Find("record")->items.at(0).text);
        return paths;
    }

    const std::string kDatabase = "C:\\Data\\Files.db";
    const std::string kAdding = AddingEvent(kDatabase);
};

}  // namespace

TEST_F(AddByCriteriaScenarioTest, AttributesFromARefusedDialogToTheListOfWhatWasAdded) {
    Write("Data/a.txt", "alpha\n");
    Write("Data/h.txt", "hidden\n");
    Write("Data/sub/b.txt", "beta\n");
    Write("Data/.cache/c.txt", "never\n");
    Write("Data/z/big.bin", std::string(6400, 'z'));
    ASSERT_EQ(setxattr((root + "/e/Data/h.txt").c_str(), "user.DOSATTRIB", "0x2", 3, 0), 0);
    DriverRun run = Run("add-by-attributes", {});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines, (std::vector<std::string>{
                             AttributesDialogEvent(),
                             BoxEvent("Please enter the folder to add files from, or * to add "
                                      "files from all drives.",
                                      "exclamation"),
                             AttributesDialogEvent("", kNoBoxes, "cancel")}));

    run = Run("add-by-attributes", {AttributesAnswer("E:\\Data", kHiddenBoxes)});
    EXPECT_EQ(run.lines,
              (std::vector<std::string>{
                  AttributesDialogEvent(), kSearchingEvent, kAdding,
                  BoxEvent("1 File located in E:\\Data\\ with\n \n -Hidden attributes\n\n "
                           "successfully added to the database.")}));

    // Every file: h.txt is announced as listed; big.bin's digest is cancelled and No undoes
    // a.txt and sub\b.txt, added before it.
    run = Run("add-by-attributes", {AttributesAnswer("E:\\Data", kAnyBoxes, 1),
                                    R"({"cancel_at_poll":12,"progress":"CAddProgressDlg"})",
                                    R"({"messagebox":"ok"})", R"({"messagebox":"no"})"});
    EXPECT_EQ(run.lines, (std::vector<std::string>{
                             AttributesDialogEvent(), kSearchingEvent, kAdding,
                             BoxEvent("E:\\Data\\h.txt previously listed."),
                             BoxEvent("Would you like to keep the files added before you "
                                      "pressed Cancel?",
                                      "exclamation", "yesno", "no")}));
    EXPECT_EQ(Listed(), std::vector<std::string>{"E:\\Data\\h.txt"});
    EXPECT_EQ(Run("add-by-attributes", {}, "extra").status, 2);
}

TEST_F(AddByCriteriaScenarioTest, ContentsAWholeWordInTextFilesThenEverythingListed) {
    Write("Notes/a.txt", "Meeting with Quill tomorrow\n");
    Write("Notes/b.txt", "a quilled pen\n");
    Write("Notes/c.md", "quill");
    Write("Notes/d.bin", std::string("\0 quill ", 8));
    const std::string answer =
        R"({"dialog":"CAddByContentsDlg","set":{"m_critBareText":"quill","m_critMatchCase":0,)"
        R"("m_critWholeWord":1,"m_critTextFilesOnly":1,"m_critLocation":"E:\\Notes",)"
        R"("m_critNotifyIfListed":1}})";
    const std::string dialog =
        R"({"event":"dialog","class":"CAddByContentsDlg","members":{"m_critBareText":"",)"
        R"("m_critMatchCase":0,"m_critWholeWord":0,"m_critTextFilesOnly":0,"m_critLocation":"",)"
        R"("m_critNotifyIfListed":0},"result":"ok"})";
    DriverRun run = Run("add-by-contents", {answer});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.lines, (std::vector<std::string>{
                             dialog, kSearchingEvent, kAdding,
                             BoxEvent("2 Files located in E:\\Notes\\\n\n -Containing text: \" "
                                      "quill \"\n\n successfully added to the database.")}));
    EXPECT_EQ(Run("add-by-contents", {answer}).lines,
              (std::vector<std::string>{dialog, kSearchingEvent,
                                        BoxEvent("All files located in E:\\Notes\n\n -Containing "
                                                 "text: \" quill \"\n\n previously listed.")}));
    EXPECT_EQ(Listed(), (std::vector<std::string>{"E:\\Notes\\a.txt", "E:\\Notes\\c.md"}));
}

TEST_F(AddByCriteriaScenarioTest, AbilitiesNetworkLibrariesAndCookiesWithALockedLibrary) {
    Write("Apps/net.dll", "MZ\x90 WSOCK32.DLL connect");
    Write("Apps/tool.exe", "MZ\x90 kernel32.dll");
    Write("Apps/held.dll", "MZ wininet.dll");
    Write("Apps/Cache/index.dat", "");
    const int fd = open((root + "/e/Apps/held.dll").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    DriverRun run = Run(
        "add-by-abilities",
        {R"({"dialog":"CAddByAbilitiesDlg","set":{"m_critAbilityNetwork":1,"m_critAbilityCoreOs":0,)"
         R"("m_critAbilityCookies":1,"m_critLocation":"E:\\Apps","m_critNotifyIfListed":0}})"});
    close(fd);
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string held =
        BoxEvent("Couldn't check E:\\Apps\\held.dll\nReason: SharingViolation. ", "exclamation");
    EXPECT_EQ(run.lines,
              (std::vector<std::string>{
                  R"({"event":"dialog","class":"CAddByAbilitiesDlg","members":{)"
                  R"("m_critAbilityNetwork":0,"m_critAbilityCoreOs":0,"m_critAbilityCookies":0,)"
                  R"("m_critLocation":"","m_critNotifyIfListed":0},"result":"ok"})",
                  kSearchingEvent, held, kAdding, held,
                  BoxEvent("2 Files located in E:\\Apps\\ with\n\n -Communication abilities\n\n "
                           "-Cookies.\n\n successfully added to the database.")}));
    EXPECT_EQ(Listed(),
              (std::vector<std::string>{"E:\\Apps\\net.dll", "E:\\Apps\\Cache\\index.dat"}));
}
