// The two dialog models of the check: the summary's fill, marks and colours for every
// outcome, and the details dialog's pair colours and marks, file-type fallbacks, top line
// and push buttons.
#include <gtest/gtest.h>

#include "app/MainFrame.h"
#include "check/ChangedFileDetailsDlg.h"
#include "check/CheckingSummaryDlg.h"
#include "database/ListView.h"
#include "tests/support/TempPrefix.h"

namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kYellow = RGB(255, 255, 0);

COLORREF ColourOf(const CDialog& dlg, int id) {
    COLORREF c = 0x12345678;
    EXPECT_TRUE(dlg.TextColour(id, c)) << id;
    return c;
}

int IconOf(const CDialog& dlg, int id) {
    return dlg.ControlIcon(id).resource;
}

// Records the data exchange's member names and values, in order.
class RecordingExchange : public DataExchange {
  public:
    RecordingExchange() : DataExchange(false) {}
    void Text(int id, const char* member, std::string& value) override {
        seen += std::to_string(id) + " " + member + "=" + value + "\n";
    }
    void Int(int id, const char* member, int& value) override {
        seen += std::to_string(id) + " " + member + "=" + std::to_string(value) + "\n";
    }
    std::string seen;
};

SYSTEMTIME At(int y, int mo, int d, int h, int mi, int s) {
    SYSTEMTIME st;
    st.wYear = uint16_t(y), st.wMonth = uint16_t(mo), st.wDay = uint16_t(d);
    st.wHour = uint16_t(h), st.wMinute = uint16_t(mi), st.wSecond = uint16_t(s);
    return st;
}

}  // namespace

TEST(CheckingSummary, FillAndExchange) {
    CCheckingSummaryDlg dlg;
    const std::string path = "C:\\" + std::string(200, 'd');
    dlg.Fill(path, 7, 6, 2, 1, At(2010, 6, 30, 23, 0, 1));
    RecordingExchange dx;
    dlg.DoDataExchange(dx);
    EXPECT_EQ(dx.seen, "1177 m_pathLine1=" + path.substr(0, 92) + "\n" +
                           "1178 m_pathLine2=" + path.substr(92, 92) + "\n" +
                           "1179 m_pathLine3=" + path.substr(184) + "\n" +
                           "1216 m_filesCheckedText=6\n"
                           "1218 m_filesChangedText=2\n"
                           "1217 m_filesIdenticalText=4\n"
                           "1215 m_checkedTimeText=00:00:01   1.7.2010\n"
                           "1223 m_filesUncheckedText=1\n"
                           "1222 m_expectedCountText=7\n"
                           "1254 m_filesListedText=7\n");
    EXPECT_EQ(dlg.TemplateId(), 303);
    EXPECT_EQ(IconOf(dlg, CCheckingSummaryDlg::IDC_DATABASE_ICON), 128);
    EXPECT_TRUE(dlg.ControlIcon(CCheckingSummaryDlg::IDC_BITMAP_FRAME).IsNull());
}

// Each count's text and mark: blue with a tick when all is well, a changed file red in
// "changed" and "identical", an unchecked file yellow in "unchecked" and red in "checked".
TEST(CheckingSummary, ColoursAndMarksForEveryOutcome) {
    constexpr int kText[] = {1216, 1217, 1218, 1223};  // checked, identical, changed, unchecked
    constexpr int kMark[] = {1219, 1220, 1221, 1224};
    struct Case {
        const char* name;
        int listed, checked, changed, unchecked;
        const char* identical;
        COLORREF colour[4];
        int mark[4];
    };
    const Case cases[] = {
        {"all well", 3, 3, 0, 0, "3", {kBlue, kBlue, kBlue, kBlue}, {370, 370, 370, 370}},
        {"no records", 0, 0, 0, 0, "0", {kBlue, kBlue, kBlue, kBlue}, {370, 370, 370, 370}},
        {"unchecked", 4, 3, 0, 1, "3", {kRed, kBlue, kBlue, kYellow}, {371, 370, 370, 395}},
        {"changed", 4, 4, 1, 0, "3", {kBlue, kRed, kRed, kBlue}, {370, 371, 371, 370}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CCheckingSummaryDlg dlg;
        dlg.Fill("C:\\a.qdb", c.listed, c.checked, c.changed, c.unchecked, At(2010, 1, 1, 0, 0, 0));
        EXPECT_EQ(dlg.m_filesListedText, std::to_string(c.listed));
        EXPECT_EQ(dlg.m_filesIdenticalText, c.identical);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(ColourOf(dlg, kText[i]), c.colour[i]) << kText[i];
            EXPECT_EQ(IconOf(dlg, kMark[i]), c.mark[i]) << kMark[i];
        }
        COLORREF unused;
        EXPECT_FALSE(dlg.TextColour(1254, unused));
        EXPECT_FALSE(dlg.TextColour(1215, unused));
    }
}

TEST(ChangedFileDetails, PairsAreBlueTicksWhenEqualAndRedCrossesOtherwise) {
    CChangedFileDetailsDlg dlg;
    EXPECT_EQ(dlg.m_choice, -1);
    EXPECT_EQ(dlg.TemplateId(), 295);
    dlg.m_sizeNow = dlg.m_sizeWhenAdded = "13 Bytes. ";
    dlg.m_attributesWhenAdded = "Archive.";
    dlg.m_attributesNow = "";  // e.g. a current word of 0x2020
    dlg.m_digestWhenAdded = "A0F2A3C1DCD5B1CAC71BF0C03F2FF1BD";
    dlg.m_digestNow = "a0f2a3c1dcd5b1cac71bf0c03f2ff1bd";
    dlg.m_modifiedNow = dlg.m_modifiedWhenAdded = "Indeterminate";
    dlg.m_createdWhenAdded = "00:00:01   1.7.2010";
    dlg.m_createdNow = "00:00:02   1.7.2010";

    EXPECT_EQ(ColourOf(dlg, 1184), kBlue);
    EXPECT_EQ(IconOf(dlg, 1191), 370);
    EXPECT_EQ(ColourOf(dlg, 1182), kRed);
    EXPECT_EQ(IconOf(dlg, 1192), 371);
    EXPECT_EQ(ColourOf(dlg, 1186), kRed);  // the comparison is case-sensitive
    EXPECT_EQ(IconOf(dlg, 1190), 371);
    EXPECT_EQ(ColourOf(dlg, 1188), kBlue);
    EXPECT_EQ(IconOf(dlg, 1189), 370);
    EXPECT_EQ(ColourOf(dlg, 1195), kRed);
    EXPECT_EQ(IconOf(dlg, 1196), 371);
    for (int id : {1181, 1183, 1185, 1187, 1194}) EXPECT_EQ(ColourOf(dlg, id), kBlue) << id;
    COLORREF c;
    for (int id : {1177, 1180, 1215, 1203}) EXPECT_FALSE(dlg.TextColour(id, c)) << id;
    EXPECT_TRUE(dlg.ControlIcon(1120).IsNull());

    dlg.m_fileIcon = Icon::Resource(373);
    EXPECT_EQ(IconOf(dlg, 1200), 373);
}

TEST(ChangedFileDetails, ExchangeFollowsTheMembers) {
    CChangedFileDetailsDlg dlg;
    dlg.m_pathLine1 = "E:\\a.txt";
    dlg.m_choice = 0;
    dlg.m_lastCheckedText = "Database unchecked until now.";
    RecordingExchange dx;
    dlg.DoDataExchange(dx);
    EXPECT_EQ(dx.seen,
              "1177 m_pathLine1=E:\\a.txt\n1178 m_pathLine2=\n1179 m_pathLine3=\n"
              "1182 m_attributesNow=\n1181 m_attributesWhenAdded=\n1186 m_digestNow=\n"
              "1185 m_digestWhenAdded=\n1180 m_fileType=\n1184 m_sizeNow=\n"
              "1183 m_sizeWhenAdded=\n1188 m_modifiedNow=\n1187 m_modifiedWhenAdded=\n"
              "1195 m_createdNow=\n1194 m_createdWhenAdded=\n1203 m_choice=0\n"
              "1215 m_lastCheckedText=Database unchecked until now.\n");
}

TEST(ChangedFileDetails, FileTypeFallbacks) {
    std::string type;
    Icon icon;
    CChangedFileDetailsDlg::FileTypeAndIcon("E:\\notes\\README", type, icon);
    EXPECT_EQ(type, "No file extension .");
    EXPECT_EQ(icon.resource, 373);

    // A '.' in a folder's name is no extension of the file.
    CChangedFileDetailsDlg::FileTypeAndIcon("E:\\v1.2\\README", type, icon);
    EXPECT_EQ(type, "No file extension .");

    CChangedFileDetailsDlg::FileTypeAndIcon("E:\\data\\x.qzqzv", type, icon);
    EXPECT_EQ(type, "QZQZv File.");
    EXPECT_EQ(icon.resource, 373);

    CChangedFileDetailsDlg::FileTypeAndIcon("E:\\bin\\tool.exe", type, icon);
    EXPECT_EQ(icon.file, "E:\\bin\\tool.exe");
    EXPECT_EQ(icon.index, 0);
    EXPECT_EQ(icon.resource, 0);
}

TEST(ChangedFileDetails, LastCheckedLine) {
    const std::string created = std::string("C:\\d.qdb\x7f") + "3\x7f" + "29623250\x7f" +
                                "-196199296\x7f" + std::string(32, 'a') + "\x7f";
    EXPECT_EQ(CChangedFileDetailsDlg::LastCheckedTextOf(created + "\r\n"),
              "Database unchecked until now.");
    // Checked at 23:59:59 UTC on 31 January 2005 (low half 4166527360 printed signed).
    EXPECT_EQ(CChangedFileDetailsDlg::LastCheckedTextOf(created + "\x7f" + "29689840\x7f" +
                                                        "-128439936\x7f\n"),
              "Database last checked:   00:59:59   1.2.2005");
}

TEST(ChangedFileDetails, HelpAndFurtherAnalysis) {
    TempPrefix prefix;
    CListview view(prefix.frame);
    CChangedFileDetailsDlg dlg(&view);
    dlg.m_pathLine1 = std::string(92, 'p');
    dlg.m_pathLine2 = "q";
    dlg.OnCommand(CChangedFileDetailsDlg::IDC_FURTHER_ANALYSIS);
    EXPECT_EQ(prefix.frame.m_analysisPath, std::string(92, 'p') + "q");

    prefix.SetReg("Install Directory", "C:\\Q\\");
    prefix.ui.ClearEvents();
    dlg.OnCommand(CChangedFileDetailsDlg::IDC_HELP_BUTTON);
    ASSERT_EQ(prefix.ui.Events().size(), 1u);
    EXPECT_NE(
        prefix.ui.Events()[0].find(JsonString("C:\\Q\\Quillstead.chm::/filechanges.html>Main")),
        std::string::npos);
}
