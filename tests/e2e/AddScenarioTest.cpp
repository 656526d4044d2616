// A user's sessions with the add commands through the headless driver, on a prefix set up
// with a drive of the test's own files and a new database: files dropped and pasted, a folder
// in a drop; "According to Attributes" from a dialog left unanswered after its refusal to
// hidden files added, then every file with the hidden one announced as listed and a cancel
// answered No; "According to Contents", a whole word in text files only, then the same search
// again (everything listed); "According to Abilities / Functionality", libraries that use the
// network and cookie index files, with a library another program holds locked; and the list
// of what the database holds after each. Every printed line is compared whole.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/FindData.h"
#include "platform/Prefix.h"
#include "tests/e2e/E2eTest.h"
#include "tests/support/AddEvents.h"
#include "tests/support/Json.h"

namespace fs = std::filesystem;

namespace {

class AddScenarioTest : public E2eTest {
  protected:
    void SetUp() override {
        E2eTest::SetUp();
        fs::create_directories(root + "/e/Folder");
        ASSERT_EQ(Drive({"--prefix", prefix, "setup", "--drive", "e=" + root + "/e"}).status, 0);
        fs::create_directories(prefix + "/drive_c/Data");
        platform::SetPrefixRoot(prefix);
        const DriverRun created =
            Drive({"--prefix", prefix, "--password", kPassword, "create-database", kDatabase});
        ASSERT_EQ(created.status, 0);
        ASSERT_EQ(created.lines, std::vector<std::string>{});
    }
    // Writes a file of drive E:, its folders too.
    void Write(const std::string& path, const std::string& bytes) {
        fs::create_directories(fs::path(root + "/e/" + path).parent_path());
        WriteHost(root + "/e/" + path, bytes);
    }
    // Runs a command on the database with the script's answers and the command's arguments.
    DriverRun OnDatabase(const std::string& command, const std::vector<std::string>& script,
                         const std::vector<std::string>& arguments = {}) {
        std::vector<std::string> args = {"--prefix",   prefix,    "--password", kPassword,
                                         "--database", kDatabase, command};
        args.insert(args.end(), arguments.begin(), arguments.end());
        return Drive(args, script);
    }
    std::vector<std::string> Listed() {
        std::vector<std::string> paths;
        for (const std::string& line : OnDatabase("list", {}).lines)
            paths.push_back(ParseJson(line).Find("record")->items.at(0).text);
        return paths;
    }
    // The list line of a file of the E: drive added with the given digest and size field.
    static std::string ListLine(const std::string& path, const std::string& digest,
                                const std::string& sizeField) {
        platform::WIN32_FIND_DATA find;
        EXPECT_TRUE(platform::GetFindData(path, find)) << path;
        auto half = [](uint32_t v) { return JsonString(std::to_string(int32_t(v))); };
        return "{\"record\":[" + JsonString(path) + "," + JsonString(digest) + "," +
               JsonString(sizeField) + "," + JsonString("\x80") + "," +
               half(find.ftLastWriteTime.dwHighDateTime) + "," +
               half(find.ftLastWriteTime.dwLowDateTime) + "," +
               half(find.ftCreationTime.dwHighDateTime) + "," +
               half(find.ftCreationTime.dwLowDateTime) + "]}";
    }

    const std::string kPassword = "pass word";
    const std::string kDatabase = "C:\\Data\\Files.db";
    const std::string kAdding = AddingEvent(kDatabase);
};

}  // namespace

TEST_F(AddScenarioTest, DropPasteAndList) {
    Write("a.txt", "alpha\n");
    Write("b.txt", "beta\n");
    Write("c.txt", "gamma\n");
    Write("d.txt", "");

    DriverRun run = OnDatabase("drop", {}, {"E:\\a.txt", "E:\\b.txt", "e:\\a.txt"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines,
              (std::vector<std::string>{BoxEvent("e:\\a.txt previously listed."),
                                        BoxEvent("2 Files successfully dropped into the database.\n"
                                                 "1 File listed previously.")}));

    run = OnDatabase("drop", {}, {"E:\\b.txt"});
    EXPECT_EQ(run.lines, (std::vector<std::string>{BoxEvent("E:\\b.txt previously listed."),
                                                   BoxEvent("\n1 File listed previously.")}));

    run = OnDatabase("paste", {R"({"clipboard":["E:\\c.txt"]})"});
    EXPECT_EQ(run.lines,
              std::vector<std::string>{BoxEvent("1 File successfully pasted into the database.")});

    run = OnDatabase("paste", {R"({"clipboard":null})"});
    EXPECT_EQ(run.lines,
              std::vector<std::string>{BoxEvent("There are no files on the clipboard.")});

    run = OnDatabase("drop", {}, {"E:\\d.txt", "E:\\Folder", "E:\\never.txt"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines,
              std::vector<std::string>{
                  "{\"event\":\"framework-report\",\"cause\":5,\"file\":\"E:\\\\Folder\","
                  "\"text\":\"Cannot access the file E:\\\\Folder.\\nReason: AccessDenied.\"}"});

    run = OnDatabase("list", {});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines,
              (std::vector<std::string>{
                  ListLine("E:\\a.txt", "9f9f90dbe3e5ee1218c86b8839db1995", "           6"),
                  ListLine("E:\\b.txt", "f0cf2a92516045024a0c99147b28f05b", "           5"),
                  ListLine("E:\\c.txt", "303febb9068384eca46b5b6516843b35", "           6"),
                  ListLine("E:\\d.txt", "d41d8cd98f00b204e9800998ecf8427e", "           0")}));

    // Nothing plain is left in the prefix or beside the files.
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(name.find("123456789z"), std::string::npos) << entry.path();
        EXPECT_EQ(name.find(".Ntemp"), std::string::npos) << entry.path();
    }
}

TEST_F(AddScenarioTest, DropAndPasteNeedAnOpenDatabase) {
    EXPECT_EQ(Drive({"--prefix", prefix, "--password", kPassword, "drop", "E:\\a.txt"}).status, 2);
    EXPECT_EQ(Drive({"--prefix", prefix, "--password", kPassword, "paste"}).status, 2);
    EXPECT_EQ(OnDatabase("drop", {}).status, 2);
    EXPECT_EQ(OnDatabase("paste", {}, {"E:\\a.txt"}).status, 2);
}

TEST_F(AddScenarioTest, AttributesFromARefusedDialogToTheListOfWhatWasAdded) {
    Write("Data/a.txt", "alpha\n");
    Write("Data/h.txt", "hidden\n");
    Write("Data/sub/b.txt", "beta\n");
    Write("Data/.cache/c.txt", "never\n");
    Write("Data/z/big.bin", std::string(6400, 'z'));
    ASSERT_EQ(setxattr((root + "/e/Data/h.txt").c_str(), "user.DOSATTRIB", "0x2", 3, 0), 0);
    DriverRun run = OnDatabase("add-by-attributes", {});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines, (std::vector<std::string>{
                             AttributesDialogEvent(),
                             BoxEvent("Please enter the folder to add files from, or * to add "
                                      "files from all drives.",
                                      "exclamation"),
                             AttributesDialogEvent("", kNoBoxes, "cancel")}));

    run = OnDatabase("add-by-attributes", {AttributesAnswer("E:\\Data", kHiddenBoxes)});
    EXPECT_EQ(run.lines,
              (std::vector<std::string>{
                  AttributesDialogEvent(), kSearchingEvent, kAdding,
                  BoxEvent("1 File located in E:\\Data\\ with\n \n -Hidden attributes\n\n "
                           "successfully added to the database.")}));

    // Every file: h.txt is announced as listed; big.bin's digest is cancelled and No undoes
    // a.txt and sub\b.txt, added before it.
    run = OnDatabase("add-by-attributes", {AttributesAnswer("E:\\Data", kAnyBoxes, 1),
                                           R"({"cancel_at_poll":12,"progress":"CAddProgressDlg"})",
                                           R"({"messagebox":"ok"})", R"({"messagebox":"no"})"});
    EXPECT_EQ(run.lines, (std::vector<std::string>{
                             AttributesDialogEvent(), kSearchingEvent, kAdding,
                             BoxEvent("E:\\Data\\h.txt previously listed."),
                             BoxEvent("Would you like to keep the files added before you "
                                      "pressed Cancel?",
                                      "exclamation", "yesno", "no")}));
    EXPECT_EQ(Listed(), std::vector<std::string>{"E:\\Data\\h.txt"});
    EXPECT_EQ(OnDatabase("add-by-attributes", {}, {"extra"}).status, 2);
}

TEST_F(AddScenarioTest, ContentsAWholeWordInTextFilesThenEverythingListed) {
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
    DriverRun run = OnDatabase("add-by-contents", {answer});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.lines, (std::vector<std::string>{
                             dialog, kSearchingEvent, kAdding,
                             BoxEvent("2 Files located in E:\\Notes\\\n\n -Containing text: \" "
                                      "quill \"\n\n successfully added to the database.")}));
    EXPECT_EQ(OnDatabase("add-by-contents", {answer}).lines,
              (std::vector<std::string>{dialog, kSearchingEvent,
                                        BoxEvent("All files located in E:\\Notes\n\n -Containing "
                                                 "text: \" quill \"\n\n previously listed.")}));
    EXPECT_EQ(Listed(), (std::vector<std::string>{"E:\\Notes\\a.txt", "E:\\Notes\\c.md"}));
}

TEST_F(AddScenarioTest, AbilitiesNetworkLibrariesAndCookiesWithALockedLibrary) {
    Write("Apps/net.dll", "MZ\x90 WSOCK32.DLL connect");
    Write("Apps/tool.exe", "MZ\x90 kernel32.dll");
    Write("Apps/held.dll", "MZ wininet.dll");
    Write("Apps/Cache/index.dat", "");
    const int fd = open((root + "/e/Apps/held.dll").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    DriverRun run = OnDatabase(
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
