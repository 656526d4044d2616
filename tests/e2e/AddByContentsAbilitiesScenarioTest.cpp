// A user's sessions with "&Add > According to Contents" and "According to Abilities /
// Functionality" through the headless driver: a whole word searched in text files only, then
// the same search again (everything listed); libraries that use the network and cookie index
// files, with a library another program holds locked; and the list of what the database
// holds. Every printed line is compared whole.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/E2eTest.h"
#include "tests/support/Json.h"

namespace fs = std::filesystem;

namespace {

class AddByContentsAbilitiesScenarioTest : public E2eTest {
  protected:
    void SetUp() override {
        E2eTest::SetUp();
        fs::create_directories(root + "/e/Notes");
        fs::create_directories(root + "/e/Apps/Cache");
        ASSERT_EQ(Drive({"--prefix", prefix, "setup", "--drive", "e=" + root + "/e"}).status, 0);
        fs::create_directories(prefix + "/drive_c/Data");
        ASSERT_EQ(
            Drive({"--prefix", prefix, "--password", "pw", "create-database", kDatabase}).status,
            0);
    }
    DriverRun Run(const std::string& command, const std::vector<std::string>& script) {
        return Drive({"--prefix", prefix, "--password", "pw", "--database", kDatabase, command},
                     script);
    }
    std::vector<std::string> Listed() {
        std::vector<std::string> paths;
        for (const std::string& line : Run("list", {}).lines)
            paths.push_back(ParseJson(line).Find("record")->items.at(0).text);
        return paths;
    }

    const std::string kDatabase = "C:\\Data\\Files.db";
    const std::string kSearching =
        "{\"event\":\"progress\",\"caption\":\"Searching for files to add.\"}";
    const std::string kAdding =
        "{\"event\":\"progress\",\"caption\":\"Adding files to: C:\\\\Data\\\\Files.db\"}";
};

}  // namespace

TEST_F(AddByContentsAbilitiesScenarioTest, AWholeWordInTextFilesThenEverythingListed) {
    WriteHost(root + "/e/Notes/a.txt", "Meeting with Quill tomorrow\n");
    WriteHost(root + "/e/Notes/b.txt", "a quilled pen\n");
    WriteHost(root + "/e/Notes/c.md", "quill");
    WriteHost(root + "/e/Notes/d.bin", std::string("\0 quill ", 8));
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
    EXPECT_EQ(run.lines,
              (std::vector<std::string>{
                  dialog, kSearching, kAdding,
                  MessageBoxLine("2 Files located in E:\\Notes\\\n\n -Containing text: "
                                 "\" quill \"\n\n successfully added to the database.")}));
    run = Run("add-by-contents", {answer});
    EXPECT_EQ(run.lines,
              (std::vector<std::string>{dialog, kSearching,
                                        MessageBoxLine("All files located in E:\\Notes\n\n "
                                                       "-Containing text: \" quill \"\n\n "
                                                       "previously listed.")}));
    EXPECT_EQ(Listed(), (std::vector<std::string>{"E:\\Notes\\a.txt", "E:\\Notes\\c.md"}));
}

TEST_F(AddByContentsAbilitiesScenarioTest, NetworkLibrariesAndCookiesWithALockedLibrary) {
    WriteHost(root + "/e/Apps/net.dll", "MZ\x90 WSOCK32.DLL connect");
    WriteHost(root + "/e/Apps/tool.exe", "MZ\x90 kernel32.dll");
    WriteHost(root + "/e/Apps/held.dll", "MZ wininet.dll");
    WriteHost(root + "/e/Apps/Cache/index.dat", "");
    const int fd = open((root + "/e/Apps/held.dll").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    DriverRun run = Run(
        "add-by-abilities",
        {R"({"dialog":"CAddByAbilitiesDlg","set":{"m_critAbilityNetwork":1,"m_critAbilityCoreOs":0,)"
         R"("m_critAbilityCookies":1,"m_critLocation":"E:\\Apps","m_critNotifyIfListed":0}})"});
    close(fd);
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string held = MessageBoxLine(
        "Couldn't check E:\\Apps\\held.dll\nReason: SharingViolation. ", "exclamation");
    EXPECT_EQ(run.lines,
              (std::vector<std::string>{
                  R"({"event":"dialog","class":"CAddByAbilitiesDlg","members":{)"
                  R"("m_critAbilityNetwork":0,"m_critAbilityCoreOs":0,"m_critAbilityCookies":0,)"
                  R"("m_critLocation":"","m_critNotifyIfListed":0},"result":"ok"})",
                  kSearching, held, kAdding, held,
                  MessageBoxLine("2 Files located in E:\\Apps\\ with\n\n -Communication "
                                 "abilities\n\n -Cookies.\n\n successfully added to the "
                                 "database.")}));
    EXPECT_EQ(Listed(),
              (std::vector<std::string>{"E:\\Apps\\net.dll", "E:\\Apps\\Cache\\index.dat"}));
}
