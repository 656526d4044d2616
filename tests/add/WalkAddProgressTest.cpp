// The bar and the texts of "Adding files.": the factors F and K at the bounds of a small run
// (below 64,000 bytes) and of more than one piece per step (above 416,000 bytes), the steps
// of pieces and of tails, and what a run of 63,999, 64,000 and 0 bytes shows from start to
// end.
#include <string>
#include <vector>

#include "add/WalkAddProgress.h"
#include "tests/add/WalkAddFixture.h"

TEST(WalkAddProgressTest, FactorsAtTheBoundsOfTheRuns) {
    const struct {
        double bytes;
        bool small;
        float k;
    } kCases[] = {
        {63999, true, 1},   {64000, false, 1},  {416000, false, 1},
        {416001, false, 2}, {1e9, false, 2404},
    };
    for (const auto& c : kCases) {
        WalkAddProgress bar(c.bytes);
        EXPECT_EQ(bar.SmallRun(), c.small) << c.bytes;
        EXPECT_EQ(bar.K(), c.k) << c.bytes;
        EXPECT_EQ(bar.F(), float(65000000.0 / (c.bytes / 64))) << c.bytes;
    }
    WalkAddProgress none(0);
    EXPECT_FALSE(none.Moves());
    EXPECT_EQ(none.Piece(), 0);
    none.Tail(63);
    EXPECT_EQ(none.TailStep(), 0);
    EXPECT_EQ(none.Remaining(), 0);
}

TEST(WalkAddProgressTest, PiecesAndTailsStepAsTheirRunSays) {
    // Large, two pieces a step: 10 every second piece, the counter running on.
    WalkAddProgress large(832000);
    std::vector<int> steps;
    for (int i = 0; i < 5; ++i) steps.push_back(large.Piece());
    EXPECT_EQ(steps, (std::vector<int>{0, 10, 0, 10, 0}));
    EXPECT_EQ(large.Remaining(), 832000 - 256);
    // Tails gather until they make trunc(K) x 64 bytes: then one step of 1, once a file.
    large.Tail(63);
    EXPECT_EQ(large.TailStep(), 0);
    large.Tail(63);
    large.Tail(63);
    EXPECT_EQ(large.TailStep(), 1);
    EXPECT_EQ(large.TailStep(), 0);
    EXPECT_EQ(large.Remaining(), 832000 - 256 - 189);

    WalkAddProgress small(6400);  // F = 650,000: 650 a piece
    EXPECT_EQ(small.Piece(), 650);
    small.Tail(40);
    EXPECT_EQ(small.TailStep(), 0);
    small.Tail(40);
    EXPECT_EQ(small.TailStep(), 650);
    EXPECT_EQ(small.Remaining(), 6400 - 64 - 80);
}

namespace {

using WalkAddBarTest = WalkAddFixture;

}  // namespace

TEST_F(WalkAddBarTest, ASmallRunStepsEveryPieceALargeOneByTenEveryTruncKPieces) {
    const struct {
        size_t size;
        int pieces, step;
        const char* first;
    } kRuns[] = {
        {63999, 999, 65, "63935 bytes. [62.44 KB]"},   // a tail of 63; 65 a piece
        {64000, 1000, 10, "63936 bytes. [62.44 KB]"},  // K = 1: 10 a piece, no tail
    };
    for (const auto& run : kRuns) {
        SCOPED_TRACE(run.size);
        const std::string path = "E:\\b" + std::to_string(run.size) + "\\f.bin";
        prefix.WriteFile(path, Pattern(run.size));
        Choose(path.substr(0, path.rfind('\\')));
        Run();
        EXPECT_EQ(RecordPaths().back(), path);
        std::vector<int> expected;
        for (int i = 1; i <= run.pieces; ++i) expected.push_back(run.step * i);
        expected.push_back(65000);
        EXPECT_EQ(prefix.ui.progressPositions, expected);
        const auto& shown = prefix.ui.progressDialogs.back();
        EXPECT_EQ(shown.title, "Adding files to: C:\\Data\\Files.db");
        EXPECT_EQ(shown.texts.at(1005), std::vector<std::string>{path});
        EXPECT_EQ(shown.texts.at(1114), std::vector<std::string>{"0"});
        const std::vector<std::string>& bytes = shown.texts.at(1115);
        ASSERT_EQ(bytes.size(), size_t(run.pieces) + 2u);
        EXPECT_EQ(bytes[0], run.first);
        EXPECT_EQ(bytes[run.pieces - 1], run.step == 65 ? "63 bytes." : "0 bytes.");
        EXPECT_EQ(bytes[run.pieces], "0 bytes.");  // the tail, or the end
        EXPECT_EQ(bytes.back(), "0 bytes.");
    }
    // 1024 bytes and below have no bracket.
    EXPECT_EQ(prefix.ui.progressDialogs[1].texts.at(1115)[982], "1087 bytes. [1.06 KB]");
    EXPECT_EQ(prefix.ui.progressDialogs[1].texts.at(1115)[983], "1023 bytes.");
}

TEST_F(WalkAddBarTest, NothingMovesWhenTheFilesHoldNoBytes) {
    prefix.WriteFile("E:\\z\\a", "");
    prefix.WriteFile("E:\\z\\b", "");
    Choose("E:\\z");
    Run();
    EXPECT_EQ(RecordPaths(), (std::vector<std::string>{"E:\\z\\a", "E:\\z\\b"}));
    const auto& shown = prefix.ui.progressDialogs.back();
    EXPECT_EQ(shown.className, "CAddProgressDlg");
    EXPECT_EQ(shown.title, "Adding files to: C:\\Data\\Files.db");
    EXPECT_TRUE(shown.texts.empty());
    EXPECT_TRUE(prefix.ui.progressPositions.empty());
}

// A listed file met on the walk gives its count back: the remaining files count down only for
// the files added.
TEST_F(WalkAddBarTest, AListedFileLeavesTheRemainingFilesAsTheyWere) {
    for (const char* name : {"E:\\l\\a.txt", "E:\\l\\b.txt", "E:\\l\\c.txt"})
        prefix.WriteFile(name, name);
    view.OnDropFiles({"E:\\l\\a.txt"});
    Choose("E:\\l");
    Run();
    const auto& shown = prefix.ui.progressDialogs.back();
    EXPECT_EQ(shown.texts.at(1005),
              (std::vector<std::string>{"E:\\l\\a.txt", "E:\\l\\b.txt", "E:\\l\\c.txt"}));
    EXPECT_EQ(shown.texts.at(1114), (std::vector<std::string>{"1", "1", "0"}));
}
