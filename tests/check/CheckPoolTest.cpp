// The check with its files digested ahead by several workers: the user sees what a check on
// one thread shows, line for line (reports, dialogs, the bar's moves, the remaining-data
// texts, the cancel polls), with or without a cancel; a file changed, put back or deleted
// while "Changed file details." is up is reported as it is when its record is reached; and a
// cancel in the middle of a large file ends the workers with the command.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <tuple>

#include "storage/DatabaseIndex.h"
#include "tests/check/CheckRunFixture.h"

namespace {

const auto Mb = MessageBoxEvent;

// The pool's workers alive in this process.
size_t Workers() {
    size_t n = 0;
    if (DIR* dir = opendir("/proc/self/task")) {
        while (dirent* e = readdir(dir)) {
            std::ifstream comm(std::string("/proc/self/task/") + e->d_name + "/comm");
            std::string name;
            n += std::getline(comm, name) && name == "digest ahead";
        }
        closedir(dir);
    }
    return n;
}

// Everything the check showed: events, the bar's positions, the texts, the cancel polls.
using Shown = std::tuple<std::vector<std::string>, std::vector<int>,
                         std::map<int, std::vector<std::string>>, long>;

class CheckPoolTest : public CheckRunFixture {
  protected:
    // Each from the database as stored, never checked before, each details dialog answered
    // with "ignore"; the summary's time of the check left out.
    Shown CheckShowing() {
        db.Store();
        for (int i = 0; i < 3; ++i) AnswerDetails(prefix, 0);
        EXPECT_TRUE(Check());
        Shown shown{Events(), prefix.ui.progressPositions, prefix.ui.progressTextsShown,
                    prefix.ui.progressPolls};
        for (std::string& event : std::get<0>(shown)) {
            const size_t time = event.find("\"m_checkedTimeText\":\"");
            if (time != std::string::npos)
                event.erase(time, event.find('"', time + 21) + 1 - time);
        }
        return shown;
    }
};

// Unchanged, changed, deleted and unreadable files, a damaged line and a folder: the events
// in record order, each change reported once, and the same events, bar and texts with every
// pool, cancelled or not.
TEST_F(CheckPoolTest, WhatTheUserSeesIsTheSameOnEveryPool) {
    db.AddFile("E:\\f\\a.txt", "alpha");
    db.AddFile("E:\\f\\big.bin", std::string(200000, 'z'));
    db.AddFile("E:\\f\\b.txt", "b");
    db.AddFile("E:\\f\\gone.txt", "g");
    db.AddLine("damaged line\r\n");
    db.AddFile("E:\\f\\mid.bin", std::string(130000, 'm'));
    // A file that opens but whose read fails: the process's own memory, from address 0.
    db.AddFile("E:\\f\\empty", "");
    db.AddLine("Z:\\proc\\self\\mem" + db.lines.back().substr(db.lines.back().find(kSep)));
    db.AddFile("E:\\f\\folder", "");
    for (int i = 0; i < 6; ++i) db.AddFile("E:\\f\\c" + std::to_string(i), std::string(i, 'c'));
    db.AddFile("E:\\f\\last.txt", "last");
    db.Store();
    prefix.WriteFile("E:\\f\\b.txt", "B");
    ASSERT_EQ(unlink(prefix.Host("E:\\f\\gone.txt").c_str()), 0);
    prefix.WriteFile("E:\\f\\mid.bin", std::string(130000, 'M'));
    ASSERT_EQ(unlink(prefix.Host("E:\\f\\folder").c_str()), 0);
    ASSERT_EQ(mkdir(prefix.Host("E:\\f\\folder").c_str(), 0700), 0);
    prefix.WriteFile("E:\\f\\last.txt", "LAST");

    const std::vector<std::string> expected = {
        ProgressEvent(db.path),
        Mb("E:\\f\\b.txt has been changed! ", "none"),
        "CChangedFileDetailsDlg",
        Mb("Couldn't check E:\\f\\gone.txt\nReason: FileNotFound.", "exclamation"),
        Mb("Couldn't check damaged line\nReason: InvalidFile.", "exclamation"),
        Mb("E:\\f\\mid.bin has been changed! ", "none"),
        "CChangedFileDetailsDlg",
        Mb("Couldn't check Z:\\proc\\self\\mem\nReason: Generic.", "exclamation"),
        Mb("Couldn't check E:\\f\\folder\nReason: AccessDenied.", "exclamation"),
        Mb("E:\\f\\last.txt has been changed! ", "none"),
        "CChangedFileDetailsDlg",
        "CCheckingSummaryDlg",
    };
    Shown first, cancelled;
    for (const Pool& pool : kPools) {
        SCOPED_TRACE(pool.name);
        ScopedDigestLimits limits(pool.limits);
        const Shown shown = CheckShowing();
        const std::vector<std::string>& events = std::get<0>(shown);
        ASSERT_EQ(events.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            if (expected[i].front() == '{')
                EXPECT_EQ(events[i], expected[i]);
            else
                EXPECT_TRUE(IsDialogEvent(events[i], expected[i].c_str()));
        }
        ExpectSummary("16", "12", "4", "9", "3");
        EXPECT_EQ(std::get<3>(shown), 200000 / 64 + 130000 / 64);
        // A cancel in the middle of mid.bin: the reports before it, no summary.
        prefix.ui.AddScriptLine("{\"cancel_at_poll\":4000}");
        const Shown stopped = CheckShowing();
        EXPECT_EQ(std::get<0>(stopped),
                  std::vector<std::string>(events.begin(), events.begin() + 5));
        EXPECT_EQ(std::get<3>(stopped), 4000);
        if (&pool == &kPools[0]) {
            first = shown;
            cancelled = stopped;
        }
        EXPECT_TRUE(shown == first);
        EXPECT_TRUE(stopped == cancelled);
        ExpectNoPlaintextLeft();
    }
}

// While the first report's dialog is up, a file already digested ahead is changed, a changed
// one is put back as it was and a third is deleted: each is reported as it is when its record
// is reached.
TEST_F(CheckPoolTest, AFileChangedWhileADialogIsUpIsReportedAsItIsThen) {
    for (const Pool& pool : kPools) {
        SCOPED_TRACE(pool.name);
        ScopedDigestLimits limits(pool.limits);
        db.lines.clear();
        db.AddFile("E:\\f\\first.bin", std::string(1 << 20, '1'));  // long enough to digest
        db.AddFile("E:\\f\\same.txt", "same");                      // the rest ahead
        db.AddFile("E:\\f\\later.txt", "later");
        db.AddFile("E:\\f\\back.txt", "back");
        db.AddFile("E:\\f\\gone.txt", "gone");
        db.Store();
        prefix.WriteFile("E:\\f\\first.bin", std::string(1 << 20, '2'));
        prefix.WriteFile("E:\\f\\back.txt", "changed before the check");
        whileDetailsShown = [this](const CChangedFileDetailsDlg& shown) {
            if (shown.m_pathLine1 != "E:\\f\\first.bin")
                return;
            prefix.WriteFile("E:\\f\\later.txt", "changed meanwhile");
            prefix.WriteFile("E:\\f\\back.txt", "back");
            ASSERT_EQ(unlink(prefix.Host("E:\\f\\gone.txt").c_str()), 0);
        };
        ASSERT_TRUE(Check());
        ASSERT_EQ(Events().size(), 7u);
        EXPECT_EQ(Events()[1], Mb("E:\\f\\first.bin has been changed! ", "none"));
        EXPECT_EQ(Events()[3], Mb("E:\\f\\later.txt has been changed! ", "none"));
        EXPECT_EQ(Events()[5],
                  Mb("Couldn't check E:\\f\\gone.txt\nReason: FileNotFound.", "exclamation"));
        ASSERT_EQ(details.size(), 2u);
        EXPECT_EQ(details[1].m_digestNow, Md5Hex("changed meanwhile"));
        EXPECT_EQ(details[1].m_sizeNow, "17 Bytes. ");
        ExpectSummary("5", "4", "1", "2", "2");
    }
}

// Cancel in the middle of a large file, with every pool (the workers digesting the files
// after it): the command ends with its workers, shows no summary and no later file, closes
// the progress dialog and still records the time.
TEST_F(CheckPoolTest, CancelWithDigestsInFlightEndsTheWorkers) {
    db.AddFile("E:\\f\\big.bin", std::string(4 << 20, 'x'));
    for (int i = 0; i < 16; ++i)
        db.AddFile("E:\\f\\next" + std::to_string(i), std::string(256 * 1024, char('a' + i)));
    db.AddFile("E:\\f\\gone.txt", "g");
    db.Store();
    ASSERT_EQ(unlink(prefix.Host("E:\\f\\gone.txt").c_str()), 0);
    for (const Pool& pool : kPools) {
        SCOPED_TRACE(pool.name);
        ScopedDigestLimits limits(pool.limits);
        prefix.ui.AddScriptLine("{\"cancel_at_poll\":30000}");
        ASSERT_TRUE(Check());
        EXPECT_EQ(Workers(), 0u);
        ASSERT_EQ(Events().size(), 1u);
        EXPECT_EQ(prefix.ui.progressPolls, 30000);
        EXPECT_FALSE(prefix.ui.progressOpen);
        EXPECT_TRUE(summaries.empty());
        FILETIME checked;
        EXPECT_TRUE(IndexLastChecked(db.OwnIndexLine(), checked));
        ExpectNoPlaintextLeft();
    }
}

}  // namespace
