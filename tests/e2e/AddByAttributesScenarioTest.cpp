// A user's session with "&Add > According to Attributes" through the headless driver: a
// dialog left unanswered after its refusal, hidden files added from a folder, then every
// file with the hidden one announced as listed, a cancel answered No, and the list of what
// the database holds, every printed line compared whole.
#include <sys/xattr.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/E2eTest.h"
#include "tests/support/Json.h"

namespace fs = std::filesystem;

namespace {

class AddByAttributesScenarioTest : public E2eTest {
  protected:
    void SetUp() override {
        E2eTest::SetUp();
        for (const char* folder : {"/e/Data/sub", "/e/Data/.cache", "/e/Data/z"})
            fs::create_directories(root + folder);
        WriteHost(root + "/e/Data/a.txt", "alpha\n");
        WriteHost(root + "/e/Data/h.txt", "hidden\n");
        WriteHost(root + "/e/Data/sub/b.txt", "beta\n");
        WriteHost(root + "/e/Data/.cache/c.txt", "never\n");
        WriteHost(root + "/e/Data/z/big.bin", std::string(6400, 'z'));
        ASSERT_EQ(setxattr((root + "/e/Data/h.txt").c_str(), "user.DOSATTRIB", "0x2", 3, 0), 0);
        ASSERT_EQ(Drive({"--prefix", prefix, "setup", "--drive", "e=" + root + "/e"}).status, 0);
        fs::create_directories(prefix + "/drive_c/Data");
        ASSERT_EQ(
            Drive({"--prefix", prefix, "--password", "pw", "create-database", kDatabase}).status,
            0);
    }

    DriverRun Add(const std::vector<std::string>& script,
                  const std::vector<std::string>& args = {}) {
        std::vector<std::string> all = {"--prefix",   prefix,    "--password",       "pw",
                                        "--database", kDatabase, "add-by-attributes"};
        all.insert(all.end(), args.begin(), args.end());
        return Drive(all, script);
    }

    static std::string Answer(const std::string& location, const char* boxes, int notify) {
        return "{\"dialog\":\"CAddByAttributesDlg\",\"set\":{\"m_critLocation\":" +
               JsonString(location) + ",\"m_critNotifyIfListed\":" + std::to_string(notify) +
               ",\"m_critAttributes\":" + boxes + "}}";
    }
    static std::string DialogLine(const std::string& result = "ok") {
        return "{\"event\":\"dialog\",\"class\":\"CAddByAttributesDlg\",\"members\":{"
               "\"m_critAttributes\":[0,0,0,0,0,0,0,0,0,0,0,0,0],\"m_critLocation\":\"\","
               "\"m_critNotifyIfListed\":0},\"result\":\"" +
               result + "\"}";
    }

    const std::string kDatabase = "C:\\Data\\Files.db";
    const std::string kSearching =
        "{\"event\":\"progress\",\"caption\":\"Searching for files to add.\"}";
    const std::string kAdding =
        "{\"event\":\"progress\",\"caption\":\"Adding files to: C:\\\\Data\\\\Files.db\"}";
};

}  // namespace

TEST_F(AddByAttributesScenarioTest, FromARefusedDialogToTheListOfWhatWasAdded) {
    DriverRun run = Add({});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines,
              (std::vector<std::string>{
                  DialogLine(),
                  MessageBoxLine("Please enter the folder to add files from, or * to add files "
                                 "from all drives.",
                                 "exclamation"),
                  DialogLine("cancel")}));

    run = Add({Answer("E:\\Data", "[1,0,0,0,0,0,0,0,0,0,0,0,0]", 0)});
    EXPECT_EQ(run.lines,
              (std::vector<std::string>{
                  DialogLine(), kSearching, kAdding,
                  MessageBoxLine("1 File located in E:\\Data\\ with\n \n -Hidden "
                                 "attributes\n\n successfully added to the database.")}));

    // Every file: h.txt is announced as listed; big.bin's digest is cancelled and No undoes
    // a.txt and sub\b.txt, added before it.
    run = Add({Answer("E:\\Data", "[0,0,0,0,0,0,0,0,1,0,0,0,0]", 1),
               R"({"cancel_at_poll":12,"progress":"CAddProgressDlg"})", R"({"messagebox":"ok"})",
               R"({"messagebox":"no"})"});
    EXPECT_EQ(
        run.lines,
        (std::vector<std::string>{
            DialogLine(), kSearching, kAdding, MessageBoxLine("E:\\Data\\h.txt previously listed."),
            "{\"event\":\"messagebox\",\"text\":\"Would you like to keep the files added "
            "before you pressed Cancel?\",\"icon\":\"exclamation\",\"buttons\":\"yesno\","
            "\"answer\":\"no\"}"}));

    run = Drive({"--prefix", prefix, "--password", "pw", "--database", kDatabase, "list"});
    ASSERT_EQ(run.lines.size(), 1u);
    EXPECT_EQ(run.lines[0].rfind("{\"record\":[\"E:\\\\Data\\\\h.txt\",", 0), 0u) << run.lines[0];

    run = Add({}, {"extra"});
    EXPECT_EQ(run.status, 2) << run.err;
}
