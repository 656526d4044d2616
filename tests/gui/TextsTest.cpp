// The gui's own texts and parsers: URI lists from file managers, help topics, the list's
// column texts, the progress dialogs' percent text and the breaking of long texts.
#include <gtest/gtest.h>

#include <set>

#include "gui/Commands.h"
#include "gui/FileLists.h"
#include "gui/HelpViewer.h"
#include "gui/ProgressView.h"
#include "gui/RecordColumns.h"
#include "gui/TextWrap.h"
#include "platform/Clock.h"

TEST(UriList, FileUrisBecomeHostPaths) {
    EXPECT_EQ(ParseUriList("file:///home/ann/a.txt\r\nfile:///tmp/b%20c%25.txt\r\n"),
              (std::vector<std::string>{"/home/ann/a.txt", "/tmp/b c%.txt"}));
    // GNOME's copied-files form: the first line says copy or cut.
    EXPECT_EQ(ParseUriList("copy\nfile:///x/%C3%A9t%C3%A9"),
              (std::vector<std::string>{"/x/\xC3\xA9t\xC3\xA9"}));
    EXPECT_EQ(ParseUriList("# comment\nfile://localhost/srv/f\n"),
              (std::vector<std::string>{"/srv/f"}));
    // Other hosts and schemes are not local files; a broken escape stays as it is.
    EXPECT_EQ(ParseUriList("file://server/share/a\nhttp://x/y\nsmb://h/s\nfile:///a%2\n"),
              (std::vector<std::string>{"/a%2"}));
    EXPECT_TRUE(ParseUriList("").empty());
    EXPECT_TRUE(ParseUriList("just some text").empty());
}

TEST(HelpTopics, TheTopicIsThePageNameOfTheHelpText) {
    EXPECT_EQ(HelpTopicOf("C:\\Program Files\\Quillstead\\Quillstead.chm::/filechanges.html>Main"),
              "filechanges");
    EXPECT_EQ(HelpTopicOf("Quillstead.chm::/quickstart.html>Main"), "quickstart");
    EXPECT_EQ(HelpTopicOf("Quillstead.chm"), "");
    EXPECT_EQ(HelpTopicOf("Quillstead.chm::/../../etc/passwd.html>Main"), "");
    EXPECT_EQ(HelpTopicOf("Quillstead.chm::/.html>Main"), "");
}

TEST(ListColumns, TitlesAndTexts) {
    const char* titles[] = {"Path",         "Digest value", "Size", "Attributes",
                            "Last written", "Created",      "Type"};
    for (int column = 0; column < COL_COUNT; ++column) {
        EXPECT_STREQ(RecordColumnTitle(column), titles[column]);
    }
    FileRecord record;
    ASSERT_TRUE(
        ParseFileRecordLine("E:\\data\\a.txt\x7f"
                            "0123456789abcdef0123456789abcdef\x7f"
                            "         512\x7f!\x7f"
                            "29633733\x7f-1073741824\x7f"
                            "0\x7f"
                            "0\x7f\r\n",
                            record));
    EXPECT_EQ(RecordColumnText(record, COL_PATH), "E:\\data\\a.txt");
    EXPECT_EQ(RecordColumnText(record, COL_DIGEST), "0123456789abcdef0123456789abcdef");
    EXPECT_EQ(RecordColumnText(record, COL_SIZE), "512");
    EXPECT_EQ(RecordColumnText(record, COL_ATTRIBUTES), "RA");  // code 0x21
    SYSTEMTIME st;
    ASSERT_TRUE(platform::FileTimeToSystemTime(record.LastWriteTime(), st));
    char expected[40];
    snprintf(expected, sizeof expected, "%02u.%02u.%04u %02u:%02u:%02u", st.wDay, st.wMonth,
             st.wYear, st.wHour, st.wMinute, st.wSecond);
    EXPECT_EQ(RecordColumnText(record, COL_LAST_WRITE), expected);
    EXPECT_EQ(RecordColumnText(record, COL_CREATION), "");  // a zero time
}

TEST(ListColumns, AttributeLettersOfEveryCodeKind) {
    EXPECT_EQ(AttributeLetters(0x08), "");
    EXPECT_EQ(AttributeLetters(0x01), "R");
    EXPECT_EQ(AttributeLetters(0x27), "RHSA");
    EXPECT_EQ(AttributeLetters('d'), "C");
    EXPECT_EQ(AttributeLetters('k'), "RHAC");
    EXPECT_EQ(AttributeLetters('l'), "E");
    EXPECT_EQ(AttributeLetters('q'), "RAE");
    EXPECT_EQ(AttributeLetters('z'), "");
}

TEST(ListColumns, TypeKeyIsTheTextAfterTheLastDot) {
    EXPECT_EQ(TypeKeyOf("E:\\a.txt"), "txt");
    EXPECT_EQ(TypeKeyOf("E:\\a.tar.GZ"), "GZ");
    EXPECT_EQ(TypeKeyOf("E:\\README"), " ");
    EXPECT_EQ(TypeKeyOf(".profile"), " ");
}

TEST(ProgressTexts, PercentOfTheBar) {
    EXPECT_EQ(ProgressView::PercentText(0), "0%");
    EXPECT_EQ(ProgressView::PercentText(649), "0%");
    EXPECT_EQ(ProgressView::PercentText(650), "1%");
    EXPECT_EQ(ProgressView::PercentText(32500), "50%");
    EXPECT_EQ(ProgressView::PercentText(65000), "100%");
    EXPECT_EQ(ProgressView::PercentText(70000), "100%");
}

TEST(CommandIds, EachCommandHasItsOwnMenuIdBelowTheLimit) {
    const int commands[] = {ID_CHECK_ALL_FILES, ID_REMOVE_SELECTED,  ID_ADD_BY_ATTRIBUTES,
                            ID_ADD_BY_CONTENTS, ID_ADD_BY_ABILITIES, ID_PASTE_FILES,
                            ID_EDIT_PASTE,      ID_CREATE_DATABASE,  ID_OPEN_DATABASE,
                            ID_CLOSE_DATABASE};
    std::set<int> seen;
    for (int command : commands) {
        const int id = MenuId(command);
        EXPECT_LT(id, 0x7fff) << command;
        EXPECT_TRUE(id < 4999 || id > 5999) << command;  // clear of wx's own ids
        EXPECT_TRUE(seen.insert(id).second) << command;
        EXPECT_EQ(CommandOfMenuId(id), command);
    }
    EXPECT_EQ(CommandOfMenuId(5006), 5006);  // wx's own ids are left alone
}

TEST(TextWrap, WordsStayWholeAndLongRunsBreakAfterBackslashes) {
    // Every character 10 pixels wide.
    const ExtentsOf tenEach = [](const wxString& line) {
        wxArrayInt extents;
        for (size_t i = 0; i < line.length(); ++i) extents.push_back(10 * int(i + 1));
        return extents;
    };
    struct Case {
        const char* text;
        int width;
        const char* shown;
    };
    const Case cases[] = {
        {"fits", 40, "fits"},
        {"one two three", 80, "one two \nthree"},
        // The space may stand past the width.
        {"abcdefghij klm", 100, "abcdefghij \nklm"},
        // A path longer than a line fills each line up to its last backslash that fits.
        {"open E:\\aaaa\\bbbb\\cccc\\dddd.txt now", 100,
         "open E:\\\naaaa\\bbbb\\\ncccc\\\ndddd.txt \nnow"},
        {"/home/ann/very/long", 60, "/home/\nann/\nvery/\nlong"},
        // A run without any breaks between any two characters, one at least on each line.
        {"abcdefghijklmnopqrstuvwxyz", 100, "abcdefghij\nklmnopqrst\nuvwxyz"},
        {"abc", 5, "a\nb\nc"},
        // The text's own line ends stay; each line is broken on its own.
        {"ab\n\ncd efgh", 40, "ab\n\ncd \nefgh"},
        {"", 40, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WrapToWidth(c.text, c.width, tenEach), c.shown) << c.text;
    }
    // No width: nothing is broken.
    EXPECT_EQ(WrapToWidth("a b c", 0, tenEach), "a b c");
}
