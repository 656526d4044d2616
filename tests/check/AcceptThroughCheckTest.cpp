// Acceptances and restores chosen during a real check, on one thread and with files digested
// ahead by several workers (a large file after them is being read when the first dialog
// comes): each changed file is reported once and every record visited once, the accepted
// records move to the end in the order accepted, and the next check finds them unchanged.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/MainFrame.h"
#include "check/ChangedFileDetailsDlg.h"
#include "database/ListView.h"
#include "platform/FindData.h"
#include "tests/check/AcceptRestoreFixture.h"
#include "tests/check/CheckRunFixture.h"

namespace {

class AcceptThroughCheckTest : public AcceptRestoreFixture,
                               public ::testing::WithParamInterface<unsigned> {
  protected:
    ScopedDigestLimits m_limits{{GetParam(), 3, 128ull << 20, 4096}};
};

size_t CountHolding(const std::vector<std::string>& events, const std::string& part) {
    return static_cast<size_t>(std::count_if(events.begin(), events.end(), [&](const auto& e) {
        return e.find(part) != std::string::npos;
    }));
}

TEST_P(AcceptThroughCheckTest, EachAcceptedRecordMovesToTheEndAndIsFoundUnchangedNextTime) {
    BuildThree("N");
    p.WriteFile("E:\\d.txt", "dddd");
    records.push_back(AddedRecord("E:\\d.txt"));
    p.WriteFile("E:\\e.bin", std::string(1 << 20, 'e'));
    records.push_back(AddedRecord("E:\\e.bin"));
    StoreDatabase(records[0] + records[1] + records[2] + records[3] + records[4]);
    ASSERT_TRUE(view->OpenDatabase(kDatabase));
    p.WriteFile(files[0], "changed a");
    p.WriteFile(files[2], "changed c");
    p.WriteFile(files[1], "changed b");
    AnswerDetails(p, 2);
    AnswerDetails(p, 3, 0);
    AnswerDetails(p, 1);
    p.ui.ClearEvents();
    view->OnCheckAllFiles();

    const std::vector<std::string> events = p.ui.Events();
    EXPECT_EQ(1u, CountHolding(events, "E:\\\\a.txt has been changed! "));
    EXPECT_EQ(1u, CountHolding(events, "E:\\\\b.txt has been changed! "));
    EXPECT_EQ(1u, CountHolding(events, "E:\\\\c.txt has been changed! "));
    EXPECT_EQ(0u, CountHolding(events, "E:\\\\d.txt has been changed! "));
    EXPECT_EQ(1u, CountHolding(events, "E:\\\\b.txt successfully restored."));
    EXPECT_EQ(1u, CountHolding(events,
                               "\"m_filesCheckedText\":\"5\",\"m_filesChangedText\":\"3\","
                               "\"m_filesIdenticalText\":\"2\""));
    EXPECT_EQ(originals[1], p.ReadFile(files[1]));

    // b.txt, d.txt and e.bin keep their places; a.txt then c.txt follow, renewed.
    std::vector<std::string> order;
    for (const FileRecord& record : view->m_records) order.push_back(record.path);
    EXPECT_EQ((std::vector<std::string>{files[1], "E:\\d.txt", "E:\\e.bin", files[0], files[2]}),
              order);
    EXPECT_EQ(Digest("changed a"), view->m_records[3].digest);
    EXPECT_EQ("9", view->m_records[4].size);
    // The records passed over keep their bytes; the accepted ones are rewritten in full.
    std::string renewed;
    for (const std::string& file : {files[0], files[2]}) {
        CheckRunState now;
        now.path = file;
        now.newDigest = Digest(p.ReadFile(file));
        ASSERT_TRUE(platform::GetFindData(file, now.findData));
        renewed += ExpectedRecord(now, "9");
    }
    EXPECT_EQ(records[1] + records[3] + records[4] + renewed, DatabasePlain());

    p.ui.ClearEvents();
    view->OnCheckAllFiles();
    EXPECT_EQ(0u, CountHolding(p.ui.Events(), "has been changed"));
    EXPECT_EQ(1u, CountHolding(p.ui.Events(), "\"m_filesChangedText\":\"0\""));
    EXPECT_TRUE(Leftovers().empty()) << Leftovers()[0];
}

// A file written to while its details are up is read again, and its details shown again,
// before it becomes its own new backup: the record and the copy hold what was shown last.
TEST_P(AcceptThroughCheckTest, AFileChangedWhileItsDetailsAreUpIsShownAgainBeforeItIsAccepted) {
    BuildThree("N");
    ASSERT_TRUE(view->OpenDatabase(kDatabase));
    p.WriteFile(files[0], "seen first");
    AnswerDetails(p, 1);
    AnswerDetails(p, 1);
    std::vector<std::string> shown;
    p.ui.onDialog = [&](CDialog& dialog) {
        auto* details = dynamic_cast<CChangedFileDetailsDlg*>(&dialog);
        if (!details)
            return;
        shown.push_back(details->m_digestNow);
        if (shown.size() == 1)
            p.WriteFile(files[0], "written while shown");
    };
    view->OnCheckAllFiles();
    p.ui.onDialog = nullptr;
    EXPECT_EQ((std::vector<std::string>{Digest("seen first"), Digest("written while shown")}),
              shown);
    EXPECT_EQ(Digest("written while shown"), view->m_records[2].digest);
    EXPECT_EQ("19", view->m_records[2].size);
    const std::string index = BackupIndexPlain();
    EXPECT_EQ(0u, index.find(files[0] + kSep + "N" + kSep + "32.00" + kSep + "19\n"));
    EXPECT_EQ("written while shown", DecryptedCopy(p.ReadFile(BackupFilePath()).substr(0, 32), 19));
}

// The check on its own thread, and four workers ahead of it.
INSTANTIATE_TEST_SUITE_P(Pools, AcceptThroughCheckTest, ::testing::Values(0u, 4u));

}  // namespace
