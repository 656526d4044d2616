// The criteria dialog's model: which locations are refused and with which text, the
// hand-over of the attributes dialog's choices, and its members as a script sees them (the
// boxes as one array of 13 ints); the contents dialog's pattern and its text's limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <utility>
#include <vector>

#include "criteria/AddByAttributesDlg.h"
#include "criteria/AddByContentsDlg.h"
#include "database/ListView.h"
#include "tests/support/Json.h"
#include "tests/support/TempPrefix.h"
#include "tests/support/TestTree.h"

namespace {

class CriteriaDlgTest : public ::testing::Test {
  protected:
    TempPrefix prefix;
};

}  // namespace

TEST_F(CriteriaDlgTest, LocationsAreAcceptedOrRefusedWithTheirText) {
    MakeTestFiles(prefix, {"E:\\Data\\a.txt"});
    const struct {
        const char* location;
        std::string refusal;
    } kCases[] = {
        {"*", ""},
        {"E:\\Data", ""},
        {"E:\\Data\\", ""},
        {"E:\\", ""},
        {"E:", ""},
        // The host tells names by their case: there is no such folder.
        {"e:\\data", "e:\\data is not a folder that can be searched."},
        {"", "Please enter the folder to add files from, or * to add files from all drives."},
        {"Data",
         "Data is not a full folder path. Please enter a folder such as C:\\Data\\, or * "
         "to add files from all drives."},
        {"E:Data",
         "E:Data is not a full folder path. Please enter a folder such as C:\\Data\\, "
         "or * to add files from all drives."},
        {"**",
         "** is not a full folder path. Please enter a folder such as C:\\Data\\, or * to "
         "add files from all drives."},
        {"Q:\\Data", "The drive of Q:\\Data does not exist."},
        {"E:\\Missing", "E:\\Missing is not a folder that can be searched."},
        {"E:\\Data\\a.txt", "E:\\Data\\a.txt is not a folder that can be searched."},
    };
    for (const auto& c : kCases) {
        CAddByAttributesDlg dialog;
        dialog.m_critLocation = c.location;
        EXPECT_EQ(dialog.LocationRefusal(), c.refusal) << c.location;
    }
}

// A path of this system is the folder on Z:, the whole machine; refusals name it so.
TEST_F(CriteriaDlgTest, AHostPathIsTheFolderOnTheWholeMachinesDrive) {
    MakeTestFiles(prefix, {"E:\\Data\\a.txt"});
    const std::string data = prefix.Host("E:\\Data");
    std::string onZ = "Z:" + data;
    std::replace(onZ.begin(), onZ.end(), '/', '\\');
    for (const auto& [typed, taken] : std::vector<std::pair<std::string, std::string>>{
             {data, onZ}, {data + "//", onZ}, {"/", "Z:\\"}, {"/no//such/", "Z:\\no\\such"}}) {
        CAddByAttributesDlg dialog;
        dialog.m_critLocation = typed;
        dialog.TakeHostLocation();
        EXPECT_EQ(dialog.m_critLocation, taken) << typed;
        EXPECT_EQ(dialog.LocationRefusal(), taken == onZ || taken == "Z:\\"
                                                ? ""
                                                : taken + " is not a folder that can be searched.")
            << typed;
    }
    CAddByAttributesDlg typed;
    typed.m_critLocation = "E:/Data";
    typed.TakeHostLocation();
    EXPECT_EQ(typed.m_critLocation, "E:/Data");
}

TEST_F(CriteriaDlgTest, TheBoxesAreOneArrayForTheScriptAndGoToTheViewWhenHandedOver) {
    CAddByAttributesDlg dialog;
    dialog.m_critAttributes[1] = 1;
    prefix.ui.AddScriptLine(
        "{\"dialog\":\"CAddByAttributesDlg\",\"set\":{\"m_critLocation\":\"E:\\\\Data\","
        "\"m_critNotifyIfListed\":1,\"m_critAttributes\":[1,0,0,0,0,0,0,0,0,0,0,0,7]}}");
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(prefix.ui.Events().back(),
              "{\"event\":\"dialog\",\"class\":\"CAddByAttributesDlg\",\"members\":{"
              "\"m_critAttributes\":[0,1,0,0,0,0,0,0,0,0,0,0,0],\"m_critLocation\":\"\","
              "\"m_critNotifyIfListed\":0},\"result\":\"ok\"}");
    const int expected[13] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7};
    EXPECT_TRUE(std::equal(expected, expected + 13, dialog.m_critAttributes));

    CListview view(prefix.frame);
    dialog.HandOver(view);
    const int handed[13] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    EXPECT_TRUE(std::equal(handed, handed + 13, view.m_critAttributes));
    EXPECT_EQ(view.m_critLocation, "E:\\Data");
    EXPECT_EQ(view.m_critNotifyIfListed, 1);

    // An array of the wrong length, or a plain number for it, is a mistake of the script.
    for (const char* wrong : {"[1,0]", "[1,0,0,0,0,0,0,0,0,0,0,0,0,0]", "1",
                              "[1,0,0,0,0,0,0,0,0,0,"
                              "0,0,\"x\"]"}) {
        prefix.ui.AddScriptLine(std::string("{\"dialog\":\"CAddByAttributesDlg\",\"set\":{"
                                            "\"m_critAttributes\":") +
                                wrong + "}}");
        EXPECT_THROW(dialog.DoModal(), std::invalid_argument) << wrong;
    }
}

TEST_F(CriteriaDlgTest, AnUnansweredDialogShownAgainAsItWasIsCancelled) {
    CAddByAttributesDlg dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    dialog.m_critLocation = "E:\\";
    EXPECT_EQ(dialog.DoModal(), IDOK);  // shown otherwise than last time
}

TEST_F(CriteriaDlgTest, TheContentsDialogHandsOverThePatternAndKeeps1024Characters) {
    CAddByContentsDlg dialog;
    const std::string text = std::string(1023, 'a') + "\xC3\xA9\xC3\xA9";  // 1025 characters
    prefix.ui.AddScriptLine(
        "{\"dialog\":\"CAddByContentsDlg\",\"set\":{\"m_critBareText\":" + JsonString(text) +
        ",\"m_critWholeWord\":1,\"m_critTextFilesOnly\":1}}");
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_critBareText, std::string(1023, 'a') + "\xC3\xA9");

    CListview view(prefix.frame);
    for (int wholeWord : {1, 0}) {
        dialog.m_critBareText = "cat";
        dialog.m_critWholeWord = wholeWord;
        dialog.HandOver(view);
        EXPECT_EQ(view.m_critSearchText, wholeWord ? " cat " : "cat");
        EXPECT_EQ(view.m_critPaddedText, wholeWord ? " cat " : "");
        EXPECT_EQ(view.m_critBareText, "cat");
        EXPECT_EQ(view.m_critStartText, "cat ");
        EXPECT_EQ(view.m_critEndText, " cat");
        EXPECT_EQ(view.m_critWholeWord, wholeWord);
        EXPECT_EQ(view.m_critTextFilesOnly, 1);
    }
}
