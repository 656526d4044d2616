// The fixture of the check run's scenario tests: a test prefix with the alert silenced, a
// database built directly, the details and summary dialogs as the check filled them, the run
// as the framework runs a command, and the events' texts. Also the digest pool's limits for
// a test (several workers on any machine), restored when the test ends.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "check/ChangedFileDetailsDlg.h"
#include "check/CheckingSummaryDlg.h"
#include "check/DigestAhead.h"
#include "tests/check/CheckTestDatabase.h"

inline std::string ProgressEvent(const std::string& databasePath) {
    return "{\"event\":\"progress\",\"caption\":" +
           JsonString("Checking all files in Database: " + databasePath) + "}";
}

inline bool IsDialogEvent(const std::string& event, const char* cls) {
    return event.rfind(std::string("{\"event\":\"dialog\",\"class\":\"") + cls + "\"", 0) == 0;
}

// The pool's limits while it lives.
class ScopedDigestLimits {
  public:
    explicit ScopedDigestLimits(const DigestAhead::Limits& limits) {
        DigestAhead::SetLimitsForThisMachine(&limits);
    }
    ~ScopedDigestLimits() { DigestAhead::SetLimitsForThisMachine(nullptr); }
};

// The pools a check runs with in a test; the first is the pass's own thread alone.
struct Pool {
    const char* name;
    DigestAhead::Limits limits;
};
inline const Pool kPools[] = {
    {"one thread", {0}},
    {"four workers, a window of three files and 150,000 bytes, 4 KiB reads", {4, 3, 150000, 4096}},
    {"four workers", {4}},
};

class CheckRunFixture : public ::testing::Test {
  protected:
    CheckRunFixture() : db(prefix) {
        prefix.SetReg("Config13", "3");
        prefix.SetReg("Config14", "");
        prefix.ui.onDialog = [this](CDialog& dlg) {
            if (auto* d = dynamic_cast<CChangedFileDetailsDlg*>(&dlg)) {
                details.push_back(*d);
                if (whileDetailsShown)
                    whileDetailsShown(*d);
            }
            if (auto* s = dynamic_cast<CCheckingSummaryDlg*>(&dlg))
                summaries.push_back(*s);
        };
    }

    // Runs the command as the framework does; false when a file exception ended it.
    bool Check() {
        prefix.ui.ClearEvents();
        details.clear();
        summaries.clear();
        return RunCommand([this] { db.view.OnCheckAllFiles(); });
    }

    const std::vector<std::string>& Events() const { return prefix.ui.Events(); }

    void ExpectNoPlaintextLeft() const {
        EXPECT_TRUE(prefix.FilesNamed("123456789z").empty());
        EXPECT_TRUE(prefix.FilesNamed("Database Index1").empty());
        EXPECT_EQ(prefix.frame.m_checkWorkFile, nullptr);
    }

    void ExpectSummary(const char* listed, const char* checked, const char* unchecked,
                       const char* identical, const char* changed) {
        ASSERT_EQ(summaries.size(), 1u);
        const CCheckingSummaryDlg& s = summaries[0];
        EXPECT_EQ(s.m_filesListedText, listed);
        EXPECT_EQ(s.m_expectedCountText, listed);
        EXPECT_EQ(s.m_filesCheckedText, checked);
        EXPECT_EQ(s.m_filesUncheckedText, unchecked);
        EXPECT_EQ(s.m_filesIdenticalText, identical);
        EXPECT_EQ(s.m_filesChangedText, changed);
        EXPECT_EQ(s.m_pathLine1, db.path);
    }

    TempPrefix prefix;
    CheckTestDatabase db;
    std::vector<CChangedFileDetailsDlg> details;
    std::vector<CCheckingSummaryDlg> summaries;
    // Called while "Changed file details." is up, with the dialog as filled.
    std::function<void(const CChangedFileDetailsDlg&)> whileDetailsShown;
};
