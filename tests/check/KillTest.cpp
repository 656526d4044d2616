// An interruption at any moment of an add, a drop, a database's creation, an acceptance or a
// restore (a kill, a power loss, a full disk or a failed write) leaves, after the next start's
// recovery, stored files that hold to the kill harness's rules; then a check refuses nothing,
// and a file restored from its copy comes back as a version it really had.
#include <gtest/gtest.h>

#include "add/AddFileRead.h"
#include "app/MainFrame.h"
#include "app/NoDatabaseView.h"
#include "database/ListView.h"
#include "tests/check/CheckTestHelpers.h"
#include "tests/support/KillHarness.h"

namespace {

const std::string kDatabase = "E:\\db.qdb";
const std::vector<std::string> kFiles = {"E:\\a.txt", "E:\\b.bin", "E:\\c.txt"};

class KillTest : public ::testing::TestWithParam<KillHarness::Mode> {
  protected:
    void SetUp() override {
        p.SetReg("Config5", "1");
        p.SetReg("Config17", "N");
        p.SetReg("Config2", "0");
        const std::vector<std::string> contents = {"alpha\n", std::string(70000, 'b'), "gamma"};
        for (size_t i = 0; i < kFiles.size(); ++i) kill.Write(kFiles[i], contents[i]);
        ASSERT_TRUE(CCNoflview(p.frame).CreateDatabase(kDatabase));
        CListview view(p.frame);
        ASSERT_TRUE(view.OpenDatabase(kDatabase));
        view.OnDropFiles(kFiles);
    }

    // The command on the open database's list view; after each interruption a check, then
    // b.bin spoilt and restored as a version it had.
    void EveryInterruption(const std::function<void(CListview&)>& command) {
        kill.EveryInterruption(
            [this, command] {
                CListview view(p.frame);
                view.OpenDatabase(kDatabase);
                command(view);
            },
            [this](const std::string&) {
                p.ui.ClearEvents();
                CListview view(p.frame);
                ASSERT_TRUE(view.OpenDatabase(kDatabase));
                view.OnCheckAllFiles();
                for (const std::string& event : p.ui.Events())
                    EXPECT_EQ(std::string::npos, event.find("has been changed and cannot"));
                p.WriteFile(kFiles[1], "spoilt");
                AnswerDetails(p, 3, 0);
                view.OnCheckAllFiles();
                EXPECT_TRUE(kill.IsVersion(kFiles[1], p.ReadFile(kFiles[1])));
            });
    }
    // A check answered with `choice` (and `mode`).
    std::function<void(CListview&)> Check(int choice, int mode = -1) {
        return [this, choice, mode](CListview& v) {
            AnswerDetails(p, choice, mode);
            v.OnCheckAllFiles();
        };
    }

    TempPrefix p;
    KillHarness kill{p, GetParam()};
};

TEST_P(KillTest, AddDropAndCreate) {
    kill.Write("E:\\d.txt", std::string(40000, 'd'));
    kill.Write("E:\\e.txt", "epsilon");
    kill.Snapshot();
    EveryInterruption([](CListview& v) { v.AddOneFileToDatabase("E:\\d.txt"); });
    EveryInterruption([](CListview& v) { v.OnDropFiles({"E:\\d.txt", "E:\\e.txt"}); });
    // A drop that stores after every file: its later copies are each a new transaction's.
    EveryInterruption([](CListview& v) {
        SetAddCommitPace(1, std::chrono::milliseconds(0), std::chrono::milliseconds(0));
        v.OnDropFiles({"E:\\d.txt", "E:\\e.txt"});
    });
    EveryInterruption([this](CListview&) { CCNoflview(p.frame).CreateDatabase("E:\\db2.qdb"); });
}

TEST_P(KillTest, AcceptWithAndWithoutANewBackup) {
    kill.Write(kFiles[1], std::string(90000, 'B'));
    kill.Snapshot();
    EveryInterruption(Check(1));
    EveryInterruption(Check(2));
}

TEST_P(KillTest, RestoreInBothModes) {
    kill.Write(kFiles[1], "changed b");
    kill.Snapshot();
    EveryInterruption(Check(3, 0));
    EveryInterruption(Check(3, 1));
}

INSTANTIATE_TEST_SUITE_P(Every, KillTest, EveryKillMode(), KillModeName);

}  // namespace
