// The file analysis as a user runs it, through the headless driver's `analyse`: files dropped
// on a new database with an encrypted backup and without one, changed, and shown in both
// displays; and the sample prefix written by another implementation, whose encrypted copy is
// read in place. No plaintext copy is left anywhere.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Prefix.h"
#include "platform/Registry.h"
#include "tests/e2e/E2eTest.h"
#include "tests/support/Json.h"

namespace fs = std::filesystem;

namespace {

class AnalyseScenario : public E2eTest {
  protected:
    void SetUp() override {
        E2eTest::SetUp();
        drive = root + "/e";
        fs::create_directories(drive);
    }
    std::vector<std::string> Driver(const std::vector<std::string>& args,
                                    const std::string& database = "") {
        std::vector<std::string> all = {"--prefix", prefix, "--password", password};
        if (!database.empty())
            all.insert(all.end(), {"--database", database});
        all.insert(all.end(), args.begin(), args.end());
        const DriverRun run = Drive(all);
        EXPECT_EQ(run.status, 0) << run.err;
        return run.lines;
    }
    void SetReg(const std::string& subkey, const std::string& value) {
        platform::SetPrefixRoot(prefix);
        ASSERT_TRUE(platform::RegWriteValue(subkey, value));
    }
    // The printed rows (the lines after the display's status and progress lines).
    static std::vector<std::string> Rows(const std::vector<std::string>& lines) {
        std::vector<std::string> rows;
        for (const std::string& line : lines)
            if (line.compare(0, 8, "{\"list\":") == 0)
                rows.push_back(line);
        return rows;
    }
    std::vector<std::string> Leftovers() const {
        std::vector<std::string> found;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            const std::string name = entry.path().filename().string();
            for (const char* part : {"123456789z", ".Ptemp", ".Ntemp"})
                if (name.find(part) != std::string::npos)
                    found.push_back(entry.path().string());
        }
        return found;
    }

    std::string drive, password = "analysis";
};

TEST_F(AnalyseScenario, AChangedFileBesideItsEncryptedCopyAndOneNotBackedUp) {
    Driver({"setup", "--drive", "e=" + drive});
    SetReg("Config5", "1");
    SetReg("Config17", "N");
    const std::string db = "E:\\db.qdb";
    Driver({"create-database", db});
    const std::string original = std::string("line one\n\x01\xff") + std::string(29, 'x');
    WriteHost(drive + "/a.txt", original);
    Driver({"drop", "E:\\a.txt"}, db);
    std::string now = original;
    now[9] = '\x02';
    WriteHost(drive + "/a.txt", now);

    // The text display shows 0x01 and 0x02 alike; the hex display tells them apart.
    const std::string ascii = "line one..." + std::string(29, 'x');
    EXPECT_EQ(
        Rows(Driver({"analyse", "E:\\a.txt", "text"}, db)),
        (std::vector<std::string>{
            "{\"list\":\"backup\",\"offset\":\"0\",\"texts\":[\"" + ascii + "\"],\"icon\":null}",
            "{\"list\":\"current\",\"offset\":\"0\",\"texts\":[\"" + ascii + "\"],\"icon\":0}"}));
    const std::vector<std::string> out = Driver({"analyse", "E:\\a.txt", "hex"}, db);
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
    Driver({"drop", "E:\\c.txt"}, db);
    EXPECT_EQ(
        Rows(Driver({"analyse", "E:\\c.txt", "hex"}, db)),
        (std::vector<std::string>{
            "{\"list\":\"backup\",\"offset\":\"\",\"texts\":[\"File was not backed up.\",\"\"],"
            "\"icon\":2}",
            "{\"list\":\"backup\",\"offset\":\"\",\"texts\":[\"\",\"\"],\"icon\":null}",
            "{\"list\":\"backup\",\"offset\":\"\",\"texts\":[\"To enable comparison in future, "
            "change your settings with the 'Configuration' menu.\",\"\"],\"icon\":null}",
            "{\"list\":\"current\",\"offset\":\"0\",\"texts\":[\"63 \",\"c\"],\"icon\":3}"}));
    EXPECT_TRUE(Leftovers().empty()) << Leftovers()[0];
}

// The sample prefix's 500-byte b.bin has a 512-byte encrypted copy: 16 rows of it, the last
// with 20 bytes, all as another implementation encrypted them.
TEST_F(AnalyseScenario, TheSamplePrefixsEncryptedCopyIsShownInPlace) {
    password = "correct horse";
    CopySamplePrefix(prefix);
    Driver({"setup", "--drive", "c=" + prefix + "/drive_c"});
    const std::string file = prefix + "/drive_c/Data/files/b.bin";
    const std::string b0 = ReadHost(file);
    ASSERT_EQ(500u, b0.size());
    WriteHost(file, b0.substr(0, 32) + "changed");

    const std::vector<std::string> rows =
        Rows(Driver({"analyse", "C:\\Data\\files\\b.bin", "hex"}, "C:\\Data\\sample.qdb"));
    ASSERT_EQ(rows.size(), 16u + 2u);
    std::string hex, ascii;
    for (size_t i = 480; i < 500; ++i) {
        char text[4];
        const auto byte = static_cast<unsigned char>(b0[i]);
        std::snprintf(text, sizeof text, "%02X ", byte);
        hex += text;
        ascii += byte >= 0x20 && byte <= 0x7E ? char(byte) : '.';
    }
    EXPECT_EQ(rows[15], "{\"list\":\"backup\",\"offset\":\"1E0\",\"texts\":[" + JsonString(hex) +
                            "," + JsonString(ascii) + "],\"icon\":null}");
    EXPECT_EQ(rows[16].substr(rows[16].size() - 10), ",\"icon\":0}");
    const std::string changed = "{\"list\":\"current\",\"offset\":\"20\",\"texts\":[\"63 68 ";
    EXPECT_EQ(rows[17].substr(0, changed.size()), changed);
    EXPECT_EQ(rows[17].substr(rows[17].size() - 10), ",\"icon\":1}");
    EXPECT_TRUE(Leftovers().empty()) << Leftovers()[0];
}

}  // namespace
