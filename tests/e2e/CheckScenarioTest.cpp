// "Check All Files In The Open Database" as a user runs it, through the headless driver, on a
// copy of the sample prefix written by another implementation: one listed file changed, the
// lines the driver prints compared exactly, and the "Database Index" afterwards.
#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "check/CheckTexts.h"
#include "platform/Clock.h"
#include "platform/FindData.h"
#include "platform/Prefix.h"
#include "storage/Crypto.h"
#include "storage/DatabaseIndex.h"
#include "storage/FileRecord.h"
#include "storage/ProtectedFile.h"
#include "tests/e2e/E2eTest.h"

namespace fs = std::filesystem;

namespace {

const char* const kSampleKey = "4bd7b7701931afe577309633e15831891d2204e92216c49210eb0be8d3bba549";

class CheckScenario : public E2eTest {
  protected:
    void SetUp() override {
        E2eTest::SetUp();
        CopySamplePrefix(prefix);
        const DriverRun setup =
            Drive({"--prefix", prefix, "setup", "--drive", "c=" + prefix + "/drive_c"});
        ASSERT_EQ(setup.lines, std::vector<std::string>{});
        ASSERT_EQ(setup.status, 0);
    }

    std::string Host(const std::string& relative) const { return prefix + "/drive_c/" + relative; }

    std::string IndexText() const {
        Key key;
        for (size_t i = 0; i < key.size(); ++i)
            key[i] = uint8_t(std::stoi(std::string(kSampleKey + 2 * i, 2), nullptr, 16));
        platform::SetPrefixRoot(prefix);
        std::string plain;
        EXPECT_TRUE(DecryptFileToMemory(key,
                                        "C:\\Program Files\\Quillstead\\Backup Files\\"
                                        "Database Index",
                                        IvFromText("Database Index"), plain));
        return plain;
    }
};

}  // namespace

TEST_F(CheckScenario, OneChangedFileIsReportedAndTheSummaryShown) {
    const std::string before = IndexText();
    WriteHost(Host("Data/files/a.txt"), "changed content\n");
    struct timespec times[2] = {{1107215999, 0}, {1107215999, 0}};  // 23:59:59 UTC 31.1.2005
    ASSERT_EQ(utimensat(AT_FDCWD, Host("Data/files/a.txt").c_str(), times, 0), 0);

    platform::SetPrefixRoot(prefix);
    platform::WIN32_FIND_DATA now;
    ASSERT_TRUE(platform::GetFindData("C:\\Data\\files\\a.txt", now));
    const std::string createdNow = FormatTimeText(now.ftCreationTime, true);

    const FILETIME start = platform::GetSystemTimeAsFileTime();
    const DriverRun run = Drive({"--prefix", prefix, "--password", "correct horse", "--database",
                                 "C:\\Data\\sample.qdb", "check"});
    const FILETIME end = platform::GetSystemTimeAsFileTime();
    ASSERT_EQ(run.status, 0);
    const std::vector<std::string>& lines = run.lines;
    ASSERT_EQ(lines.size(), 4u);

    EXPECT_EQ(
        lines[0],
        R"({"event":"progress","caption":"Checking all files in Database: C:\\Data\\sample.qdb"})");
    EXPECT_EQ(lines[1],
              R"({"event":"messagebox","text":"C:\\Data\\files\\a.txt has been changed! ",)"
              R"("icon":"none","buttons":"ok","answer":"ok"})");
    EXPECT_EQ(lines[2],
              R"({"event":"dialog","class":"CChangedFileDetailsDlg","members":{)"
              R"("m_pathLine1":"C:\\Data\\files\\a.txt","m_pathLine2":"","m_pathLine3":"",)"
              R"("m_attributesNow":"","m_attributesWhenAdded":"Archive.",)"
              R"("m_digestNow":"8df67db76ba5bd9b1a226a7944a1fe68",)"
              R"("m_digestWhenAdded":"a0f2a3c1dcd5b1cac71bf0c03f2ff1bd",)"
              R"("m_fileType":"plain text document.",)"
              R"("m_sizeNow":"16 Bytes. ","m_sizeWhenAdded":"13 Bytes. ",)"
              R"("m_modifiedNow":"00:59:59   1.2.2005",)"
              R"("m_modifiedWhenAdded":"03:01:39   6.9.2024",)"
              R"("m_createdNow":")" +
                  createdNow +
                  R"(",)"
                  R"("m_createdWhenAdded":"08:17:50   16.10.2023",)"
                  R"("m_choice":0,"m_lastCheckedText":"Database unchecked until now."},)"
                  R"("result":"ok"})");

    // The summary, whose time lies between the start and the end of the run.
    std::string checkedTime;
    for (uint64_t t = FileTimeToU64(start) / 10000000; t <= FileTimeToU64(end) / 10000000; ++t) {
        const std::string text = FormatTimeText(U64ToFileTime(t * 10000000), false);
        if (lines[3].find(text) != std::string::npos)
            checkedTime = text;
    }
    EXPECT_EQ(lines[3],
              R"({"event":"dialog","class":"CCheckingSummaryDlg","members":{)"
              R"("m_pathLine1":"C:\\Data\\sample.qdb","m_pathLine2":"","m_pathLine3":"",)"
              R"("m_filesCheckedText":"4","m_filesChangedText":"1","m_filesIdenticalText":"3",)"
              R"("m_checkedTimeText":")" +
                  checkedTime +
                  R"(","m_filesUncheckedText":"0",)"
                  R"("m_expectedCountText":"4","m_filesListedText":"4"},"result":"ok"})");

    // The database's own line takes the check time; the other database's line stays.
    const std::vector<std::string> was = Lines(before);
    const std::vector<std::string> after = Lines(IndexText());
    ASSERT_EQ(was.size(), 2u);
    ASSERT_EQ(after.size(), 2u);
    FILETIME checked;
    ASSERT_TRUE(IndexLastChecked(after[0], checked));
    EXPECT_GE(FileTimeToU64(checked), FileTimeToU64(start));
    EXPECT_LE(FileTimeToU64(checked), FileTimeToU64(end));
    EXPECT_EQ(after[0], was[0] + "\x7f" + FormatTimeHalf(checked.dwHighDateTime) + "\x7f" +
                            FormatTimeHalf(checked.dwLowDateTime) + "\x7f");
    // The line of C:\Data\sample.qdb2, whose path begins with this one's, is not touched.
    EXPECT_EQ(after[1], was[1]);
    EXPECT_TRUE(fs::exists(Host("Data/sample.qdb")));
    EXPECT_FALSE(fs::exists(Host("Data/sample.qdb.123456789z")));
}
