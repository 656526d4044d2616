// A walk of a real system folder as a user runs it through the headless driver: every file of
// Z:\usr\share (its regular files, and its links to files as the files they name; nothing
// whose name begins with '.' or lies in such a folder) is added with the digest md5sum gives
// it, no message box but the closing one is shown, and a check then finds every file identical.
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/Prefix.h"
#include "platform/Registry.h"
#include "tests/e2e/E2eTest.h"
#include "tests/support/Json.h"

namespace fs = std::filesystem;

namespace {

const char* const kFolder = "/usr/share";

// What md5sum gives for each file a walk adds, by its Windows path on Z:.
std::map<std::string, std::string> Md5sumOfTheFolder() {
    const std::string command = std::string("find ") + kFolder +
                                " -path '*/.*' -prune -o \\( -type f -o -xtype f \\) -print0 "
                                "| xargs -0 -r md5sum";
    std::map<std::string, std::string> digests;
    FILE* out = popen(command.c_str(), "r");
    if (!out)
        return digests;
    std::string text;
    char buffer[65536];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, out)) > 0;) text.append(buffer, n);
    pclose(out);
    for (const std::string& line : Lines(text)) {
        if (line.size() < 35 || line[0] == '\\')
            continue;  // a name md5sum had to escape: none is expected here
        std::string path = "Z:" + line.substr(34);
        for (char& c : path)
            if (c == '/')
                c = '\\';
        digests[path] = line.substr(0, 32);
    }
    return digests;
}

class SystemFolderScenario : public E2eTest {
  protected:
    DriverRun OnDatabase(const std::vector<std::string>& args,
                         const std::vector<std::string>& script = {}) {
        std::vector<std::string> all = {"--prefix",      prefix,       "--password",
                                        "system folder", "--database", "E:\\db.qdb"};
        all.insert(all.end(), args.begin(), args.end());
        DriverRun run = Drive(all, script);
        EXPECT_EQ(run.status, 0) << run.err;
        return run;
    }
    std::vector<std::string> MessageBoxes(const DriverRun& run) {
        std::vector<std::string> texts;
        for (const std::string& line : run.lines) {
            const JsonValue event = ParseJson(line);
            const JsonValue* kind = event.Find("event");
            if (kind && kind->text == "messagebox")
                texts.push_back(event.Find("text")->text);
        }
        return texts;
    }
};

}  // namespace

TEST_F(SystemFolderScenario, EveryFileOfUsrShareIsAddedAsMd5sumDigestsItAndFoundIdentical) {
    const std::map<std::string, std::string> expected = Md5sumOfTheFolder();
    if (expected.empty())
        GTEST_SKIP() << "no " << kFolder << " to walk, or no md5sum";
    fs::create_directories(root + "/e");
    ASSERT_EQ(Drive({"--prefix", prefix, "setup", "--drive", "e=" + root + "/e"}).status, 0);
    platform::SetPrefixRoot(prefix);
    ASSERT_TRUE(platform::RegWriteValue("Config5", "0"));  // no backup copies of the folder
    ASSERT_EQ(
        Drive({"--prefix", prefix, "--password", "system folder", "create-database", "E:\\db.qdb"})
            .status,
        0);

    const DriverRun added =
        OnDatabase({"add-by-attributes"},
                   {R"({"dialog":"CAddByAttributesDlg","set":{"m_critLocation":"Z:\\usr\\share",)"
                    R"("m_critAttributes":[0,0,0,0,0,0,0,0,1,0,0,0,0]}})"});
    EXPECT_EQ(MessageBoxes(added),
              std::vector<std::string>{std::to_string(expected.size()) +
                                       " Files located in Z:\\usr\\share\\ without any "
                                       "attributes\n \n\n successfully added to the database."});

    std::map<std::string, std::string> recorded;
    for (const std::string& line : OnDatabase({"list"}).lines) {
        const JsonValue record = ParseJson(line);
        const std::vector<JsonValue>& fields = record.Find("record")->items;
        recorded[fields.at(0).text] = fields.at(1).text;
    }
    EXPECT_EQ(recorded.size(), expected.size());
    size_t shown = 0;
    for (const auto& [path, digest] : expected) {
        auto it = recorded.find(path);
        const std::string got = it == recorded.end() ? "(not recorded)" : it->second;
        if (got != digest && ++shown <= 10)
            ADD_FAILURE() << path << ": " << got << " instead of " << digest;
    }
    EXPECT_EQ(shown, 0u);

    const DriverRun checked = OnDatabase({"check"});
    EXPECT_TRUE(MessageBoxes(checked).empty());
    const std::string count = std::to_string(expected.size());
    const std::string& summary = checked.lines.back();
    EXPECT_NE(summary.find("\"m_filesCheckedText\":\"" + count + "\""), std::string::npos)
        << summary;
    EXPECT_NE(summary.find("\"m_filesChangedText\":\"0\""), std::string::npos) << summary;
    EXPECT_NE(summary.find("\"m_filesIdenticalText\":\"" + count + "\""), std::string::npos)
        << summary;
}
