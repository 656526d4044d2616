// The file analysis as a user runs it, through the headless driver's `analyse`: files dropped
// on a new database with an encrypted backup and without one, changed, and shown in both
// displays. No plaintext copy is left anywhere.
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Prefix.h"
#include "platform/Registry.h"
#include "tests/e2e/E2eTest.h"

namespace fs = std::filesystem;

namespace {

// The printed rows (after the display's status and progress lines).
std::vector<std::string> Rows(const std::vector<std::string>& lines) {
    std::vector<std::string> rows;
    for (const std::string& line : lines)
        if (line.compare(0, 8, "{\"list\":") == 0)
            rows.push_back(line);
    return rows;
}

class AnalyseScenario : public E2eTest {
  protected:
    std::vector<std::string> Driver(const std::vector<std::string>& args, bool database = true) {
        std::vector<std::string> all = {"--prefix", prefix, "--password", "analysis"};
        if (database)
            all.insert(all.end(), {"--database", "E:\\db.qdb"});
        all.insert(all.end(), args.begin(), args.end());
        const DriverRun run = Drive(all);
        EXPECT_EQ(run.status, 0) << run.err;
        return run.lines;
    }
    void SetReg(const std::string& subkey, const std::string& value) {
        platform::SetPrefixRoot(prefix);
        ASSERT_TRUE(platform::RegWriteValue(subkey, value));
    }
};

TEST_F(AnalyseScenario, AChangedFileBesideItsEncryptedCopyAndOneNotBackedUp) {
    const std::string drive = root + "/e";
    fs::create_directories(drive);
    Driver({"setup", "--drive", "e=" + drive}, false);
    SetReg("Config5", "1");
    SetReg("Config17", "N");
    Driver({"create-database", "E:\\db.qdb"}, false);
    const std::string original = std::string("line one\n\x01\xff") + std::string(29, 'x');
    WriteHost(drive + "/a.txt", original);
    Driver({"drop", "E:\\a.txt"});
    std::string now = original;
    now[9] = '\x02';
    WriteHost(drive + "/a.txt", now);

    // The text display shows 0x01 and 0x02 alike; the hex display tells them apart.
    const std::string ascii = "line one..." + std::string(29, 'x');
    EXPECT_EQ(
        Rows(Driver({"analyse", "E:\\a.txt", "text"})),
        (std::vector<std::string>{
            "{\"list\":\"backup\",\"offset\":\"0\",\"texts\":[\"" + ascii + "\"],\"icon\":null}",
            "{\"list\":\"current\",\"offset\":\"0\",\"texts\":[\"" + ascii + "\"],\"icon\":0}"}));
    const std::vector<std::string> out = Driver({"analyse", "E:\\a.txt", "hex"});
    EXPECT_EQ(out.front(),
              "{\"event\":\"status\",\"text\":\"Initiating File Analysis [Hex details]...\"}");
    std::string x8, row0Tail = " FF ";
    for (int i = 0; i < 8; ++i) x8 += "78 ";
    for (int i = 0; i < 21; ++i) row0Tail += "78 ";
    const std::string row0 = "6C 69 6E 65 20 6F 6E 65 0A 0";
    EXPECT_EQ(Rows(out), (std::vector<std::string>{
                             "{\"list\":\"backup\",\"offset\":\"0\",\"texts\":[\"" + row0 + "1" +
                                 row0Tail + "\",\"" + ascii.substr(0, 32) + "\"],\"icon\":null}",
                             "{\"list\":\"backup\",\"offset\":\"20\",\"texts\":[\"" + x8 +
                                 "\",\"xxxxxxxx\"],\"icon\":null}",
                             "{\"list\":\"current\",\"offset\":\"0\",\"texts\":[\"" + row0 + "2" +
                                 row0Tail + "\",\"" + ascii.substr(0, 32) + "\"],\"icon\":1}",
                             "{\"list\":\"current\",\"offset\":\"20\",\"texts\":[\"" + x8 +
                                 "\",\"xxxxxxxx\"],\"icon\":0}"}));

    // A file added without a backup copy.
    SetReg("Config5", "0");
    WriteHost(drive + "/c.txt", "c");
    Driver({"drop", "E:\\c.txt"});
    EXPECT_EQ(
        Rows(Driver({"analyse", "E:\\c.txt", "hex"})),
        (std::vector<std::string>{
            "{\"list\":\"backup\",\"offset\":\"\",\"texts\":[\"File was not backed up.\",\"\"],"
            "\"icon\":2}",
            "{\"list\":\"backup\",\"offset\":\"\",\"texts\":[\"\",\"\"],\"icon\":null}",
            "{\"list\":\"backup\",\"offset\":\"\",\"texts\":[\"To enable comparison in future, "
            "change your settings with the 'Configuration' menu.\",\"\"],\"icon\":null}",
            "{\"list\":\"current\",\"offset\":\"0\",\"texts\":[\"63 \",\"c\"],\"icon\":3}"}));
    for (const auto& entry : fs::recursive_directory_iterator(root))
        for (const char* part : {"123456789z", ".Ptemp", ".Ntemp"})
            EXPECT_EQ(entry.path().filename().string().find(part), std::string::npos);
}

}  // namespace
