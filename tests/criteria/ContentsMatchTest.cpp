// The contents test on real files, with its search made by the dialog's hand-over: whole
// word at the start and end of a file and across the border of the blocks it is read in,
// match case without locale, text files only, the exact-size case, the size bound, texts of
// one and no character, files that cannot be opened, a file of more than 4 GiB, and Cancel.
#include <gtest/gtest.h>
#include <unistd.h>

#include "criteria/AddByContentsDlg.h"
#include "criteria/ContentsCriterion.h"
#include "criteria/CriterionFile.h"
#include "criteria/SearchProgressDlg.h"
#include "database/ListView.h"
#include "platform/File.h"
#include "tests/support/AddEvents.h"
#include "tests/support/TempPrefix.h"

namespace {

using Verdict = Criterion::Verdict;
constexpr int kWhole = 1, kCase = 2, kTextOnly = 4;
constexpr size_t kBlock = FileBlocks::kBlock;

class ContentsMatchTest : public ::testing::Test {
  protected:
    // The search the dialog hands over for a typed text and its options.
    ContentsQuery Query(const std::string& text, int options) {
        CAddByContentsDlg dialog;
        dialog.m_critBareText = text;
        dialog.m_critWholeWord = options & kWhole ? 1 : 0;
        dialog.m_critMatchCase = options & kCase ? 1 : 0;
        dialog.m_critTextFilesOnly = options & kTextOnly ? 1 : 0;
        dialog.HandOver(view);
        return ContentsQuery::FromView(view);
    }
    Verdict Test(const std::string& content, const std::string& text, int options) {
        prefix.WriteFile(kPath, content);
        return TestFileContents(kPath, content.size(), Query(text, options), progress);
    }
    bool Matches(const std::string& content, const std::string& text, int options) {
        return Test(content, text, options) == Verdict::Match;
    }

    const std::string kPath = "E:\\c\\f.txt";
    TempPrefix prefix;
    CListview view{prefix.frame};
    CSearchProgressDlg progress;
};

}  // namespace

TEST_F(ContentsMatchTest, WholeWordCaseTextFilesAndTheExactSize) {
    const std::string x(kBlock - 2, 'x');
    const struct {
        std::string content, text;
        int options;
        bool match;
    } kCases[] = {
        {"the cat sat", "cat", kWhole, true},
        {"the category", "cat", kWhole, false},
        {"cat food", "cat", kWhole, true},
        {"a cat", "cat", kWhole, true},
        {"cat", "cat", kWhole, true},
        {"tomcat's", "cat", kWhole, false},
        {"the\tcat\tsat", "cat", kWhole, false},
        {"x catalog", "cat", kWhole, false},
        {"Concatenate", "cat", 0, true},
        {"Concatenate", "CAT", 0, true},
        {"Concatenate", "CAT", kCase, false},
        // No locale: bytes from 0x80 up equal only themselves.
        {"caf\xC3\xA9!", "CAF\xC3\xA9", 0, true},
        {"caf\xC3\xA9!", "caf\xC3\x89", 0, false},
        {"abc\r\ncat", "cat", kTextOnly, false},
        {"cat\r\n", "cat", kTextOnly, true},
        // A text that starts before the stop matches whatever follows it.
        {"my caf\xC3\xA9", "caf\xC3\xA9", kTextOnly, true},
        {"cat \r\n", "cat", kWhole | kTextOnly, true},
        {"a cat", "cat", kWhole | kTextOnly, true},
        {"a\x01 cat", "cat", kWhole | kTextOnly, false},
        // Exactly the typed text's length: one comparison of the whole file.
        // One byte longer: the text bounded by the file's start or its end alone.
        {" cat", "cat", kWhole, true},
        {"cat ", "cat", kWhole, true},
        {"xcat", "cat", kWhole, false},
        {"cau", "cat", 0, false},
        {"cau", "cat", kWhole, false},
        {"CAT", "cat", kWhole, true},
        {"\tcat", "\tcat", kTextOnly, false},
        // A one-character text finds the files holding it; an empty one finds nothing, but
        // with whole word it is the pattern of two blanks.
        {"abxc", "x", kCase, true},
        {"abc", "x", 0, false},
        {"any", "", 0, false},
        {" any", "", kWhole, true},
        {"a  b", "", kWhole, true},
        {"ab", "", kWhole, false},
        // Across the border of two blocks, and at the end of a file of more than one.
        {x + " cat y", "cat", kWhole, true},
        {x + "Xcat", "xcat", 0, true},
        {x + "+ cat", "cat", kWhole, true},
        {x + "+ cat", "cat", kWhole | kTextOnly, true},
        {x + "\x01 cat", "cat", kWhole | kTextOnly, false},
        {x + "ca\x01t", "ca\x01t", kTextOnly, true},
        {x + '\x01' + "cat", "cat", kTextOnly, false},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(Matches(c.content, c.text, c.options), c.match)
            << c.content.substr(c.content.size() > 40 ? c.content.size() - 12 : 0) << " / "
            << c.text << " / " << c.options;
}

TEST_F(ContentsMatchTest, FilesThatCannotBeOpenedAndTheSizeBound) {
    prefix.WriteFile("E:\\c\\short", "ca");
    prefix.WriteFile("E:\\c\\long", "a cat");
    platform::CFile heldShort, heldLong;
    ASSERT_TRUE(heldShort.Open("E:\\c\\short", "rb", platform::Share::DenyAll));
    ASSERT_TRUE(heldLong.Open("E:\\c\\long", "rb", platform::Share::DenyAll));
    // Shorter than the typed text with whole word: never opened, so nothing is said.
    EXPECT_EQ(TestFileContents("E:\\c\\short", 2, Query("cat", kWhole), progress),
              Verdict::NoMatch);
    EXPECT_EQ(TestFileContents("E:\\c\\long", 5, Query("cat", kWhole), progress), Verdict::NoMatch);
    OpenWithoutCause withoutCause;
    EXPECT_EQ(TestFileContents("E:\\c\\long", 5, Query("cat", 0), progress), Verdict::EndCommand);
    EXPECT_EQ(prefix.ui.Events(),
              (std::vector<std::string>{
                  BoxEvent("Couldn't check E:\\c\\long\nReason: SharingViolation. ", "exclamation"),
                  BoxEvent("E:\\c\\long could not be opened.\n Reason: Unknown.", "stop")}));
}

TEST_F(ContentsMatchTest, AFileOfMoreThan4GiBIsSearchedWhole) {
    prefix.WriteFile(kPath, "cat");
    ASSERT_EQ(truncate(prefix.Host(kPath).c_str(), (off_t(1) << 32) + 1), 0);
    // Its low 32 bits alone (1 byte) would have it hold no three-byte text.
    EXPECT_EQ(TestFileContents(kPath, (uint64_t(1) << 32) + 1, Query("cat", 0), progress),
              Verdict::Match);
}

TEST_F(ContentsMatchTest, CancelIsSeenBeforeEachBlock) {
    prefix.ui.AddScriptLine("{\"cancel_at_poll\":3}");
    progress.Create();
    EXPECT_EQ(Test(std::string(5 * kBlock, 'x') + "cat", "cat", 0), Verdict::Cancelled);
    EXPECT_EQ(prefix.ui.progressPolls, 3);
    progress.Close();
}
