// The settings read and the "%d" parse.
#include <gtest/gtest.h>

#include "app/Settings.h"
#include "tests/support/TempPrefix.h"

namespace {

const char kRegistryError[] =
    R"({"event":"messagebox","text":"Registry error.","icon":"stop","buttons":"ok","answer":"ok"})";

TEST(ReadSetting, GivesTheStoredTextWithoutAnyMessage) {
    TempPrefix t;
    t.SetReg("Config14", "C:\\Sounds\\bell \"loud\".wav");
    std::string value = "old";
    EXPECT_TRUE(ReadSetting(settings::kAlertWav, value));
    EXPECT_EQ(value, "C:\\Sounds\\bell \"loud\".wav");
    // The first start wrote the backup folder.
    std::string dir;
    EXPECT_TRUE(ReadSetting(settings::kBackupDir, dir));
    EXPECT_EQ(dir, t.BackupDir());
    EXPECT_TRUE(t.ui.Events().empty());
}

TEST(ReadSetting, MissingValueShowsRegistryErrorAndKeepsTheValue) {
    TempPrefix t;
    std::string value = "kept";
    EXPECT_FALSE(ReadSetting("Config99", value));
    EXPECT_EQ(value, "kept");
    ASSERT_EQ(t.ui.Events().size(), 1u);
    EXPECT_EQ(t.ui.Events()[0], kRegistryError);

    // Each failed read shows its own box.
    std::string empty;
    EXPECT_FALSE(ReadSetting("No Such Key", empty));
    EXPECT_EQ(empty, "");
    EXPECT_EQ(t.ui.Events().size(), 2u);
}

TEST(ScanInt, ReadsAsPercentD) {
    struct Case {
        const char* text;
        int value;
    } cases[] = {
        {"0", 0},
        {"42", 42},
        {"  42", 42},
        {"\t\n\v\f\r 7", 7},
        {"-7", -7},
        {"+3", 3},
        {"12abc", 12},
        {"1 2", 1},
        {"007", 7},
        {"-0", 0},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        // Numbers beyond int stop at its bounds.
        {"99999999999999999999", 2147483647},
        {"-99999999999999999999", -2147483647 - 1},
    };
    for (const Case& c : cases) {
        int value = 99;
        EXPECT_TRUE(ScanInt(c.text, value)) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(ScanInt, NothingReadLeavesTheValue) {
    for (const char* text : {"", "   ", "abc", "-", "+", " - 1", "x12",
                             "\x7f"
                             "1"}) {
        int value = 99;
        EXPECT_FALSE(ScanInt(text, value)) << text;
        EXPECT_EQ(value, 99) << text;
    }
}

TEST(ScanInt, TheTextEndsAtItsFirstNul) {
    int value = 5;
    EXPECT_FALSE(ScanInt(std::string("\0"
                                     "12",
                                     3),
                         value));
    EXPECT_EQ(value, 5);
    EXPECT_TRUE(ScanInt(std::string("3\0"
                                    "4",
                                    3),
                        value));
    EXPECT_EQ(value, 3);
}

}  // namespace
