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

using C = std::vector<std::string>;
using ScheduleScenario = E2eTest;

// A printed line as its event and its text, caption, resource or class, and for a summary
// its checked, changed and identical counts.
std::string Outline(const std::string& line) {
    const JsonValue v = ParseJson(line);
    std::string text = v.Find("event")->text + " ";
    for (const char* key : {"text", "caption", "resource", "class"})
        if (const JsonValue* field = v.Find(key))
            text += field->text;
    if (text == "dialog CCheckingSummaryDlg") {
        const JsonValue& m = *v.Find("members");
        text += " " + m.Find("m_filesCheckedText")->text + "/" +
                m.Find("m_filesChangedText")->text + "/" + m.Find("m_filesIdenticalText")->text;
    }
    return text;
}

}  // namespace

TEST_F(ScheduleScenario, TwoScheduledDatabasesAreCheckedAtOneTick) {
    const auto run = [&](std::vector<std::string> args, const C& script = {}) {
        args.insert(args.begin(), {"--prefix", prefix, "--password", "pass word"});
        return Drive(args, script);
    };
    fs::create_directories(root + "/e");
    ASSERT_EQ(run({"setup", "--drive", "e=" + root + "/e"}).status, 0);
    C outline;
    for (const std::string name : {"one", "two"}) {
        const std::string db = "E:\\" + name + ".qdb", file = "E:\\" + name + ".txt";
        WriteHost(root + "/e/" + name + ".txt", name + "\n");
        ASSERT_EQ(run({"create-database", db}).lines, C{});
        run({"--database", db, "drop", file});
        EXPECT_EQ(run({"schedule-add", db}).lines, C{});
        WriteHost(root + "/e/" + name + ".txt", name + ", changed\n");
        outline.insert(outline.end(),
                       {"progress Checking all files in Database: " + db, "sound clm",
                        "messagebox " + file + " has been changed! ",
                        "dialog CChangedFileDetailsDlg", "dialog CCheckingSummaryDlg 1/1/0"});
    }
    EXPECT_EQ(run({"schedule-list"}).lines,
              (C{R"({"scheduled":"E:\\one.qdb"})", R"({"scheduled":"E:\\two.qdb"})"}));

    const DriverRun tick =
        run({"schedule-tick"}, {R"({"dialog":"CChangedFileDetailsDlg","set":{"m_choice":2}})"});
    EXPECT_EQ(tick.status, 0);
    C printed;
    for (const std::string& line : tick.lines) printed.push_back(Outline(line));
    EXPECT_EQ(printed, outline);

    EXPECT_EQ(run({"schedule-remove", "E:\\two.qdb"}).lines, C{});
    EXPECT_EQ(run({"schedule-list"}).lines, C{R"({"scheduled":"E:\\one.qdb"})"});
    EXPECT_EQ(run({"--database", "E:\\one.qdb", "schedule-tick"}).status, 2);
}
