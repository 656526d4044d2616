// "Add files to the database according to their attributes." on screen: the thirteen boxes
// with their texts and ids, the groups and the note, the location with its chooser and box
// 1122; OK brings the ticks and the location back into the model. The contents and abilities
// dialogs: their controls, the search text's limit, and what OK brings back. And the
// searching dialog: its texts, and no bar.
#include <wx/checkbox.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/gauge.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "criteria/AddByAbilitiesDlg.h"
#include "criteria/AddByAttributesDlg.h"
#include "criteria/AddByContentsDlg.h"
#include "criteria/SearchProgressDlg.h"
#include "gui/CriteriaView.h"
#include "gui/ProgressView.h"
#include "tests/gui/GuiTest.h"

namespace {

using D = CAddByAttributesDlg;

std::vector<std::string> Labels(wxWindow* window) {
    std::vector<std::string> labels;
    for (wxWindow* child : window->GetChildren()) {
        if (auto* box = dynamic_cast<wxStaticBox*>(child))
            labels.push_back(FromWx(box->GetLabelText()));
        else if (auto* text = dynamic_cast<wxStaticText*>(child)) {
            // A wrapped text is the same text with line breaks for blanks.
            std::string label = FromWx(text->GetLabelText());
            std::replace(label.begin(), label.end(), '\n', ' ');
            labels.push_back(label);
        }
        for (const std::string& l : Labels(child)) labels.push_back(l);
    }
    return labels;
}

bool Has(const std::vector<std::string>& all, const std::string& one) {
    return std::find(all.begin(), all.end(), one) != all.end();
}

template <class Control>
Control* Find(wxDialog* d, int id) {
    return dynamic_cast<Control*>(d->FindWindow(id));
}

}  // namespace

using CriteriaViewTest = GuiTest;

TEST_F(CriteriaViewTest, AttributesDialogShowsItsBoxesAndBringsTheChoicesBack) {
    CAddByAttributesDlg dialog;
    dialog.m_critAttributes[8] = 1;  // "Any "
    dialog.m_critLocation = "E:\\Old";
    Hook().ExpectView(
        "Add files to the database according to their attributes.",
        [](wxDialog* d) {
            for (int i = 0; i < D::kBoxes; ++i) {
                auto* box = Find<wxCheckBox>(d, D::kBoxIds[i]);
                ASSERT_NE(box, nullptr) << D::kBoxIds[i];
                EXPECT_EQ(FromWx(box->GetLabelText()), D::kBoxTexts[i]);
                EXPECT_EQ(box->GetValue(), i == 8) << i;
            }
            const std::vector<std::string> labels = Labels(d);
            for (const char* label : {"FAT32 and NT File Systems", "NT File System only",
                                      "NOTE: Leaving all the boxes unchecked will add any file "
                                      "which does not have any attributes set."})
                EXPECT_TRUE(Has(labels, label)) << label;
            EXPECT_EQ(ControlText(d, D::IDC_NOTIFY_IF_LISTED),
                      "Notify if files have been listed previously.");
            EXPECT_EQ(ControlText(d, D::IDC_LOCATION), "E:\\Old");
            EXPECT_EQ(ControlText(d, D::IDC_BROWSE), "Browse...");
            EXPECT_EQ(ControlText(d, IDOK), "OK");
            EXPECT_EQ(ControlText(d, IDCANCEL), "Cancel");
            wxWindowDC dc(d);
            wxBitmap shot(d->GetClientSize());
            wxMemoryDC memory(shot);
            memory.Blit(0, 0, shot.GetWidth(), shot.GetHeight(), &dc, 0, 0);
            memory.SelectObject(wxNullBitmap);
            shot.SaveFile(QUILL_TEST_OUTPUT_DIR "/add-by-attributes.png", wxBITMAP_TYPE_PNG);
            for (int id : {1136, 1124, 1290, int(D::IDC_NOTIFY_IF_LISTED)})
                Find<wxCheckBox>(d, id)->SetValue(id != 1136);
            Find<wxTextCtrl>(d, D::IDC_LOCATION)->ChangeValue("E:\\Data");
        },
        wxID_OK);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    const int expected[13] = {0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    EXPECT_TRUE(std::equal(expected, expected + 13, dialog.m_critAttributes));
    EXPECT_EQ(dialog.m_critLocation, "E:\\Data");
    EXPECT_EQ(dialog.m_critNotifyIfListed, 1);
}

TEST_F(CriteriaViewTest, ContentsAndAbilitiesDialogsShowTheirChoicesAndBringThemBack) {
    using C = CAddByContentsDlg;
    CAddByContentsDlg contents;
    contents.m_critTextFilesOnly = 1;
    Hook().ExpectView(
        "Add files to the database according to their contents.",
        [](wxDialog* d) {
            EXPECT_EQ(ControlText(d, C::IDC_MATCH_CASE), "Match case.");
            EXPECT_EQ(ControlText(d, C::IDC_WHOLE_WORD), "Whole word.");
            EXPECT_EQ(ControlText(d, C::IDC_ALL_FILES), "Search all files.");
            EXPECT_EQ(ControlText(d, C::IDC_TEXT_FILES_ONLY),
                      "Search files which only contain text.");
            EXPECT_TRUE(Has(Labels(d), "Text to search for:"));
            EXPECT_TRUE(Find<wxRadioButton>(d, C::IDC_TEXT_FILES_ONLY)->GetValue());
            auto* text = Find<wxTextCtrl>(d, C::IDC_SEARCH_TEXT);
            text->SetFocus();
            text->WriteText(wxString(1024, 'a'));
            text->WriteText("b");  // the edit takes no 1025th character
            EXPECT_EQ(FromWx(text->GetValue()), std::string(1024, 'a'));
            text->ChangeValue("the cat");
            Find<wxCheckBox>(d, C::IDC_WHOLE_WORD)->SetValue(true);
            Find<wxRadioButton>(d, C::IDC_ALL_FILES)->SetValue(true);
            Find<wxTextCtrl>(d, C::IDC_LOCATION)->ChangeValue("*");
        },
        wxID_OK);
    EXPECT_EQ(contents.DoModal(), IDOK);
    EXPECT_EQ(contents.m_critBareText, "the cat");
    EXPECT_EQ(contents.m_critWholeWord, 1);
    EXPECT_EQ(contents.m_critMatchCase, 0);
    EXPECT_EQ(contents.m_critTextFilesOnly, 0);
    EXPECT_EQ(contents.m_critLocation, "*");

    using A = CAddByAbilitiesDlg;
    CAddByAbilitiesDlg abilities;
    Hook().ExpectView(
        "Add files according to their abilities / functionality.",
        [](wxDialog* d) {
            EXPECT_EQ(ControlText(d, A::IDC_NETWORK),
                      "The ability to communicate across a network, the internet, or with other "
                      "applications on your system.");
            EXPECT_EQ(ControlText(d, A::IDC_CORE_OS), "Core operating system functionality.");
            EXPECT_EQ(ControlText(d, A::IDC_COOKIES), "Cookie Index Files.");
            Find<wxCheckBox>(d, A::IDC_COOKIES)->SetValue(true);
            Find<wxTextCtrl>(d, A::IDC_LOCATION)->ChangeValue("E:\\x");
        },
        wxID_OK);
    EXPECT_EQ(abilities.DoModal(), IDOK);
    EXPECT_EQ(abilities.m_critAbilityCookies, 1);
    EXPECT_EQ(abilities.m_critAbilityNetwork + abilities.m_critAbilityCoreOs, 0);
    EXPECT_EQ(abilities.m_critLocation, "E:\\x");
}

TEST_F(CriteriaViewTest, SearchingDialogShowsTheFolderAndWhatWasFoundWithoutABar) {
    ProgressView view(nullptr, CSearchProgressDlg::IDD);
    wxDialog* d = view.Window();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(FromWx(d->GetTitle()), "Searching for files to add.");
    view.SetItemText(CSearchProgressDlg::IDC_FOLDER, "E:\\Data\\");
    view.SetItemText(CSearchProgressDlg::IDC_FOUND_COUNT, "12");
    view.SetItemText(CSearchProgressDlg::IDC_FOUND_SIZE, "2048 bytes. [2.00 KB]");
    EXPECT_EQ(ControlText(d, CSearchProgressDlg::IDC_FOLDER), "E:\\Data\\");
    EXPECT_EQ(ControlText(d, CSearchProgressDlg::IDC_FOUND_COUNT), "12");
    EXPECT_EQ(ControlText(d, CSearchProgressDlg::IDC_FOUND_SIZE), "2048 bytes. [2.00 KB]");
    const std::vector<std::string> labels = Labels(d);
    EXPECT_TRUE(Has(labels, "Files found:"));
    EXPECT_TRUE(Has(labels, "Size of the files found:"));
    for (wxWindow* child : d->GetChildren()) {
        if (dynamic_cast<wxGauge*>(child)) {
            EXPECT_FALSE(child->IsShown());
        }
    }
    view.Close();
}

TEST_F(CriteriaViewTest, BrowseOpensAtTheTypedFolderElseAtHome) {
    prefix.WriteFile("E:\\Photos\\a.jpg", "a");
    EXPECT_EQ(FromWx(CriteriaView::BrowseStartFolder("E:\\Photos")), prefix.Host("E:\\Photos"));
    EXPECT_EQ(FromWx(CriteriaView::BrowseStartFolder("E:\\Photos\\")),
              prefix.Host("E:\\Photos") + "/");
    for (const char* typed : {"", "*", "E:\\No such folder", "E:\\Photos\\a.jpg", "Photos"})
        EXPECT_EQ(CriteriaView::BrowseStartFolder(typed), wxGetHomeDir()) << typed;
}
