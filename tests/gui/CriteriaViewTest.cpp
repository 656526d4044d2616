// "Add files to the database according to their attributes." on screen: the thirteen boxes
// with their texts and ids, the groups and the note, the location with its chooser and box
// 1122; OK brings the ticks and the location back into the model, Cancel does not. And the
// searching dialog: its texts, and no bar.
#include <wx/checkbox.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/gauge.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "criteria/AddByAttributesDlg.h"
#include "criteria/SearchProgressDlg.h"
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

}  // namespace

using CriteriaViewTest = GuiTest;

TEST_F(CriteriaViewTest, AttributesDialogShowsItsBoxesAndBringsTheChoicesBack) {
    CAddByAttributesDlg dialog;
    dialog.m_critAttributes[8] = 1;  // "Any "
    Hook().ExpectView(
        "Add files to the database according to their attributes.",
        [](wxDialog* d) {
            for (int i = 0; i < D::kBoxes; ++i) {
                auto* box = dynamic_cast<wxCheckBox*>(d->FindWindow(D::kBoxIds[i]));
                ASSERT_NE(box, nullptr) << D::kBoxIds[i];
                EXPECT_EQ(FromWx(box->GetLabelText()), D::kBoxTexts[i]);
                EXPECT_EQ(box->GetValue(), i == 8) << i;
            }
            const std::vector<std::string> labels = Labels(d);
            EXPECT_TRUE(Has(labels, "FAT32 and NT File Systems"));
            EXPECT_TRUE(Has(labels, "NT File System only"));
            EXPECT_TRUE(Has(labels,
                            "NOTE: Leaving all the boxes unchecked will add any file "
                            "which does not have any attributes set."));
            EXPECT_EQ(ControlText(d, D::IDC_NOTIFY_IF_LISTED),
                      "Notify if files have been listed previously.");
            EXPECT_EQ(ControlText(d, D::IDC_BROWSE), "Browse...");
            EXPECT_EQ(ControlText(d, IDOK), "OK");
            EXPECT_EQ(ControlText(d, IDCANCEL), "Cancel");
            wxWindowDC dc(d);
            wxBitmap shot(d->GetClientSize());
            wxMemoryDC memory(shot);
            memory.Blit(0, 0, shot.GetWidth(), shot.GetHeight(), &dc, 0, 0);
            memory.SelectObject(wxNullBitmap);
            shot.SaveFile(QUILL_TEST_OUTPUT_DIR "/add-by-attributes.png", wxBITMAP_TYPE_PNG);
            dynamic_cast<wxCheckBox*>(d->FindWindow(1136))->SetValue(false);
            dynamic_cast<wxCheckBox*>(d->FindWindow(1124))->SetValue(true);
            dynamic_cast<wxCheckBox*>(d->FindWindow(1290))->SetValue(true);
            dynamic_cast<wxCheckBox*>(d->FindWindow(D::IDC_NOTIFY_IF_LISTED))->SetValue(true);
            dynamic_cast<wxTextCtrl*>(d->FindWindow(D::IDC_LOCATION))->ChangeValue("E:\\Data");
        },
        wxID_OK);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    const int expected[13] = {0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    EXPECT_TRUE(std::equal(expected, expected + 13, dialog.m_critAttributes));
    EXPECT_EQ(dialog.m_critLocation, "E:\\Data");
    EXPECT_EQ(dialog.m_critNotifyIfListed, 1);

    Hook().ExpectView(
        "Add files to the database according to their attributes.",
        [](wxDialog* d) {
            EXPECT_EQ(ControlText(d, D::IDC_LOCATION), "E:\\Data");
            dynamic_cast<wxTextCtrl*>(d->FindWindow(D::IDC_LOCATION))->ChangeValue("*");
        },
        wxID_CANCEL);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.m_critLocation, "E:\\Data");
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
