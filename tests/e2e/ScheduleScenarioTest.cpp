// Scheduled checking as a user sets it up, through the headless driver: two new databases
// with a file each, both put into the checking schedule, both files changed, and a tick of
// timer 10 that checks the two in turn with their prompts (the first change accepted, the
// second ignored), then one database taken out of the schedule again.
#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/E2eTest.h"
#include "tests/support/Json.h"

namespace fs = std::filesystem;

namespace {

class ScheduleScenarioTest : public E2eTest {
  protected:
    void SetUp() override {
        E2eTest::SetUp();
        fs::create_directories(root + "/e");
        ASSERT_EQ(Run({"setup", "--drive", "e=" + root + "/e"}).status, 0);
    }

    DriverRun Run(const std::vector<std::string>& command,
                  const std::vector<std::string>& script = {}) {
        std::vector<std::string> args = {"--prefix", prefix, "--password", "pass word"};
        args.insert(args.end(), command.begin(), command.end());
        return Drive(args, script);
    }

    // What a tick printed, one entry a line: the event's kind and its text, caption or class,
    // and for a summary its checked, changed and identical counts.
    static std::vector<std::string> Outline(const DriverRun& run) {
        std::vector<std::string> outline;
        for (const std::string& line : run.lines) {
            const JsonValue v = ParseJson(line);
            const std::string event = v.Find("event")->text;
            std::string text = event + " ";
            for (const char* key : {"text", "caption", "resource", "class"})
                if (const JsonValue* field = v.Find(key))
                    text += field->text;
            if (text == "dialog CCheckingSummaryDlg") {
                const JsonValue& m = *v.Find("members");
                text += " " + m.Find("m_filesCheckedText")->text + "/" +
                        m.Find("m_filesChangedText")->text + "/" +
                        m.Find("m_filesIdenticalText")->text;
            }
            outline.push_back(text);
        }
        return outline;
    }
};

}  // namespace

TEST_F(ScheduleScenarioTest, TwoScheduledDatabasesAreCheckedAtOneTick) {
    WriteHost(root + "/e/a.txt", "alpha\n");
    WriteHost(root + "/e/b.txt", "beta\n");
    for (const char* db : {"E:\\one.qdb", "E:\\two.qdb"})
        ASSERT_EQ(Run({"create-database", db}).lines, std::vector<std::string>{});
    Run({"--database", "E:\\one.qdb", "drop", "E:\\a.txt"});
    Run({"--database", "E:\\two.qdb", "drop", "E:\\b.txt"});
    EXPECT_EQ(Run({"schedule-add", "E:\\one.qdb"}).lines, std::vector<std::string>{});
    EXPECT_EQ(Run({"schedule-add", "E:\\two.qdb"}).lines, std::vector<std::string>{});
    EXPECT_EQ(Run({"schedule-list"}).lines,
              (std::vector<std::string>{R"({"scheduled":"E:\\one.qdb"})",
                                        R"({"scheduled":"E:\\two.qdb"})"}));

    WriteHost(root + "/e/a.txt", "alpha, changed\n");
    WriteHost(root + "/e/b.txt", "beta, changed\n");
    DriverRun tick =
        Run({"schedule-tick"}, {R"({"dialog":"CChangedFileDetailsDlg","set":{"m_choice":2}})"});
    EXPECT_EQ(tick.status, 0);
    EXPECT_EQ(Outline(tick), (std::vector<std::string>{
                                 "progress Checking all files in Database: E:\\one.qdb",
                                 "sound clm",
                                 "messagebox E:\\a.txt has been changed! ",
                                 "dialog CChangedFileDetailsDlg",
                                 "dialog CCheckingSummaryDlg 1/1/0",
                                 "progress Checking all files in Database: E:\\two.qdb",
                                 "sound clm",
                                 "messagebox E:\\b.txt has been changed! ",
                                 "dialog CChangedFileDetailsDlg",
                                 "dialog CCheckingSummaryDlg 1/1/0",
                             }));

    EXPECT_EQ(Run({"schedule-remove", "E:\\two.qdb"}).lines, std::vector<std::string>{});
    EXPECT_EQ(Run({"schedule-list"}).lines,
              std::vector<std::string>{R"({"scheduled":"E:\\one.qdb"})"});
    EXPECT_EQ(Run({"--database", "E:\\one.qdb", "schedule-tick"}).status, 2);
}
