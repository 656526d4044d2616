// The three change dialogs on screen: each filled model opens its view, whose controls
// must show the members' texts with the models' colours and marks, the template's labels
// and buttons, and the picture strip at the right edge; OK brings the choice back, the
// close box and Escape do not.
#include <wx/radiobut.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "check/ChangedFileDetailsDlg.h"
#include "check/CheckingSummaryDlg.h"
#include "check/RestoreDlg.h"
#include "gui/PictureStrip.h"
#include "gui/Resources.h"
#include "tests/gui/GuiTest.h"

namespace {

constexpr unsigned kBlue = RGB(0, 0, 255), kRed = RGB(255, 0, 0), kYellow = RGB(255, 255, 0);

bool HasLabel(wxWindow* window, const std::string& text) {
    for (wxWindow* child : window->GetChildren()) {
        auto* label = dynamic_cast<wxStaticText*>(child);
        if (label && FromWx(label->GetLabelText()) == text)
            return true;
        if (!dynamic_cast<wxDialog*>(child) && HasLabel(child, text))
            return true;
    }
    return false;
}

bool ShowsIcon(wxWindow* dialog, int id, int resource) {
    auto* icon = dynamic_cast<wxStaticBitmap*>(dialog->FindWindow(id));
    return icon && SamePicture(icon->GetBitmap(), IconBitmap(Icon::Resource(resource), 32));
}

bool Chosen(wxWindow* dialog, int id) {
    auto* radio = dynamic_cast<wxRadioButton*>(dialog->FindWindow(id));
    return radio && radio->GetValue();
}

void Choose(wxWindow* dialog, int id) {
    dynamic_cast<wxRadioButton*>(dialog->FindWindow(id))->SetValue(true);
}

// A value shown in `colour` beside the mark picture `icon`.
void ExpectMarked(wxWindow* dialog, int valueId, unsigned colour, int markId, int icon) {
    EXPECT_EQ(ControlColour(dialog, valueId), colour) << valueId;
    EXPECT_TRUE(ShowsIcon(dialog, markId, icon)) << markId;
}

// The strip stands at the right edge and runs the dialog's full height.
void ExpectStripAtRightEdge(wxWindow* dialog, int id) {
    auto* strip = dynamic_cast<PictureStrip*>(dialog->FindWindow(id));
    ASSERT_NE(strip, nullptr);
    const wxRect rect = strip->GetRect();
    EXPECT_EQ(rect.GetRight() + 1, dialog->GetClientSize().x);
    EXPECT_EQ(rect.y, 0);
    EXPECT_EQ(rect.height, dialog->GetClientSize().y);
    EXPECT_GT(rect.width, 40);
}

void FillDetails(CChangedFileDetailsDlg& d) {
    d.m_choice = 0;
    d.m_lastCheckedText = "Database last checked:   00:30:05   7.3.2004";
    d.m_pathLine1 = "E:\\data\\r&d notes.txt";
    d.m_fileType = "TXT File.";
    d.m_fileIcon = Icon::Resource(373);
    d.m_attributesWhenAdded = "Archive.";
    d.m_attributesNow = "";
    d.m_sizeWhenAdded = d.m_sizeNow = "2048 Bytes.  [2.00 KB].";
    d.m_createdWhenAdded = d.m_createdNow = "Indeterminate";
    d.m_modifiedWhenAdded = "10:00:00   1.1.2004";
    d.m_modifiedNow = "11:00:00   1.1.2004";
    d.m_digestWhenAdded = "0123456789abcdef0123456789abcdef";
    d.m_digestNow = "fedcba9876543210fedcba9876543210";
}

}  // namespace

using DialogViewsTest = GuiTest;

TEST_F(DialogViewsTest, ChangedFileDetailsShowsEveryPairWithItsColourAndMark) {
    CChangedFileDetailsDlg details;
    FillDetails(details);
    using D = CChangedFileDetailsDlg;
    Hook().ExpectView(
        "Changed file details.",
        [](wxDialog* d) {
            EXPECT_EQ(ControlText(d, D::IDC_LAST_CHECKED),
                      "Database last checked:   00:30:05   7.3.2004");
            EXPECT_EQ(ControlText(d, D::IDC_PATH1), "E:\\data\\r&d notes.txt");
            EXPECT_EQ(ControlText(d, D::IDC_PATH2), "");
            EXPECT_EQ(ControlText(d, D::IDC_PATH3), "");
            EXPECT_EQ(ControlText(d, D::IDC_FILE_TYPE), "TXT File.");
            EXPECT_EQ(ControlText(d, D::IDC_ATTR_ADDED), "Archive.");
            EXPECT_EQ(ControlText(d, D::IDC_ATTR_NOW), "");
            EXPECT_EQ(ControlText(d, D::IDC_SIZE_ADDED), "2048 Bytes.  [2.00 KB].");
            EXPECT_EQ(ControlText(d, D::IDC_SIZE_NOW), "2048 Bytes.  [2.00 KB].");
            EXPECT_EQ(ControlText(d, D::IDC_MODIFIED_NOW), "11:00:00   1.1.2004");
            EXPECT_EQ(ControlText(d, D::IDC_DIGEST_NOW), "fedcba9876543210fedcba9876543210");

            for (const char* label :
                 {"File name:", "File type:", "Attributes when added:", "Attributes  now:",
                  "Size when added:", "Size now:", "Creation time when added:",
                  "Creation time now:", "Modification time when added:", "Modification time now:",
                  "Digest value when added:", "Digest value now:"}) {
                EXPECT_TRUE(HasLabel(d, label)) << label;
            }
            // Each choice shows its template lines one under the other.
            EXPECT_EQ(ControlText(d, D::IDC_CHOICE_IGNORE),
                      "Ignore and continue to \ncheck to rest of the \ndatabase.");
            EXPECT_EQ(ControlText(d, D::IDC_CHOICE_RENEW),
                      "Calculate the new digest \nvalue and add to the\ndatabase. Make this "
                      "file\nthe new backup.");
            EXPECT_EQ(ControlText(d, D::IDC_CHOICE_KEEP),
                      "Calculate the new digest \nvalue and add to the\ndatabase. Leave the "
                      "\nbackup unchanged.");
            EXPECT_EQ(ControlText(d, D::IDC_CHOICE_RESTORE),
                      "Restore the original\nfile from backup.");
            EXPECT_TRUE(Chosen(d, D::IDC_CHOICE_IGNORE));

            // Equal pairs blue with the tick, different ones red with the cross; the values
            // when added always blue.
            ExpectMarked(d, D::IDC_ATTR_NOW, kRed, D::IDC_ATTR_MARK, 371);
            ExpectMarked(d, D::IDC_SIZE_NOW, kBlue, D::IDC_SIZE_MARK, 370);
            ExpectMarked(d, D::IDC_CREATED_NOW, kBlue, D::IDC_CREATED_MARK, 370);
            ExpectMarked(d, D::IDC_MODIFIED_NOW, kRed, D::IDC_MODIFIED_MARK, 371);
            ExpectMarked(d, D::IDC_DIGEST_NOW, kRed, D::IDC_DIGEST_MARK, 371);
            for (int id : {D::IDC_ATTR_ADDED, D::IDC_SIZE_ADDED, D::IDC_CREATED_ADDED,
                           D::IDC_MODIFIED_ADDED, D::IDC_DIGEST_ADDED}) {
                EXPECT_EQ(ControlColour(d, id), kBlue) << id;
            }
            EXPECT_TRUE(ShowsIcon(d, D::IDC_FILE_ICON, 373));

            EXPECT_EQ(ControlText(d, D::IDC_FURTHER_ANALYSIS), "Further analysis");
            EXPECT_EQ(ControlText(d, IDOK), "OK");
            EXPECT_EQ(ControlText(d, D::IDC_HELP_BUTTON), "Help");
            EXPECT_EQ(d->FindWindow(wxID_CANCEL), nullptr);
            ExpectStripAtRightEdge(d, D::IDC_BITMAP_FRAME);
            Choose(d, D::IDC_CHOICE_RESTORE);
        },
        wxID_OK);
    details.DoModal();
    EXPECT_EQ(details.m_choice, 3);
    // The texts came back as they went.
    EXPECT_EQ(details.m_pathLine1, "E:\\data\\r&d notes.txt");
    EXPECT_EQ(details.m_digestNow, "fedcba9876543210fedcba9876543210");
}

TEST_F(DialogViewsTest, ChangedFileDetailsRadioOrderAndClosingWithoutOk) {
    using D = CChangedFileDetailsDlg;
    CChangedFileDetailsDlg details;
    FillDetails(details);
    // 1206 is choice 2, 1205 choice 3.
    Hook().ExpectView(
        "Changed file details.", [](wxDialog* d) { Choose(d, D::IDC_CHOICE_KEEP); }, wxID_OK);
    details.DoModal();
    EXPECT_EQ(details.m_choice, 2);

    // The close box leaves the choice as filled.
    details.m_choice = 0;
    Hook().ExpectView(
        "Changed file details.",
        [](wxDialog* d) {
            Choose(d, D::IDC_CHOICE_RESTORE);
            d->Close();
        },
        wxID_CANCEL);
    EXPECT_EQ(details.DoModal(), IDCANCEL);
    EXPECT_EQ(details.m_choice, 0);

    // So does Escape.
    Hook().ExpectView(
        "Changed file details.",
        [](wxDialog* d) {
            Choose(d, D::IDC_CHOICE_RENEW);
            wxKeyEvent escape(wxEVT_CHAR_HOOK);
            escape.m_keyCode = WXK_ESCAPE;
            d->GetEventHandler()->ProcessEvent(escape);
        },
        wxID_CANCEL);
    EXPECT_EQ(details.DoModal(), IDCANCEL);
    EXPECT_EQ(details.m_choice, 0);
}

TEST_F(DialogViewsTest, ChangedFileDetailsHelpOpensTheChangedFilesPage) {
    CChangedFileDetailsDlg details;
    FillDetails(details);
    bool helped = false;
    Hook().ExpectView(
        "Changed file details.",
        [&](wxDialog* d) {
            Hook().ExpectView(
                "Quillstead Help", [&](wxDialog*) { helped = true; }, wxID_CANCEL);
            Click(d, CChangedFileDetailsDlg::IDC_HELP_BUTTON);
            EXPECT_TRUE(d->IsShown());  // the dialog stays
        },
        wxID_OK);
    details.DoModal();
    EXPECT_TRUE(helped);
}

TEST_F(DialogViewsTest, RestoreOffersTwoModesWithOkCancelAndHelp) {
    using D = CRestoreDlg;
    prefix.frame.m_changedFileIcon = Icon::Resource(574);
    CRestoreDlg restore(&prefix.frame);
    restore.m_restoreMode = 1;
    restore.m_pathLine1 = std::string(92, 'a');
    restore.m_pathLine2 = std::string(92, 'b');
    restore.m_pathLine3 = "c.txt";
    Hook().ExpectView(
        "File restore from backup.",
        [](wxDialog* d) {
            EXPECT_EQ(ControlText(d, D::IDC_PATH1), std::string(92, 'a'));
            EXPECT_EQ(ControlText(d, D::IDC_PATH2), std::string(92, 'b'));
            EXPECT_EQ(ControlText(d, D::IDC_PATH3), "c.txt");
            EXPECT_TRUE(HasLabel(d, "File name:"));
            EXPECT_EQ(ControlText(d, D::IDC_MODE_DELETE),
                      "Restore the original file and delete the changed file.");
            EXPECT_EQ(ControlText(d, D::IDC_MODE_MOVE),
                      "Restore the original file and move the changed file to the 'Changed Files' "
                      "folder.");
            EXPECT_TRUE(Chosen(d, D::IDC_MODE_MOVE));
            EXPECT_FALSE(Chosen(d, D::IDC_MODE_DELETE));
            EXPECT_TRUE(ShowsIcon(d, D::IDC_FILE_ICON, 574));
            EXPECT_EQ(ControlText(d, IDOK), "OK");
            EXPECT_EQ(ControlText(d, IDCANCEL), "Cancel");
            EXPECT_EQ(ControlText(d, D::IDC_HELP_BUTTON), "Help");
            ExpectStripAtRightEdge(d, D::IDC_BITMAP_FRAME);
            Choose(d, D::IDC_MODE_DELETE);
        },
        wxID_OK);
    EXPECT_EQ(restore.DoModal(), IDOK);
    EXPECT_EQ(restore.m_restoreMode, 0);

    restore.m_restoreMode = 1;
    Hook().ExpectView(
        "File restore from backup.", [](wxDialog* d) { Choose(d, D::IDC_MODE_DELETE); },
        wxID_CANCEL);
    EXPECT_EQ(restore.DoModal(), IDCANCEL);
    EXPECT_EQ(restore.m_restoreMode, 1);
}

TEST_F(DialogViewsTest, CheckingSummaryMarksEachCount) {
    using D = CCheckingSummaryDlg;
    CCheckingSummaryDlg summary;
    summary.m_pathLine1 = "E:\\databases\\home";
    summary.m_checkedTimeText = "00:30:05   7.3.2004";
    summary.m_filesListedText = summary.m_expectedCountText = "3";
    summary.m_filesCheckedText = "2";
    summary.m_filesUncheckedText = "1";
    summary.m_filesIdenticalText = "1";
    summary.m_filesChangedText = "1";
    Hook().ExpectView(
        "Checking Summary.",
        [](wxDialog* d) {
            EXPECT_EQ(ControlText(d, D::IDC_PATH1), "E:\\databases\\home");
            EXPECT_EQ(ControlText(d, D::IDC_CHECKED_TIME), "00:30:05   7.3.2004");
            EXPECT_EQ(ControlText(d, 1253), "Total number of files listed:");
            EXPECT_EQ(ControlText(d, D::IDC_FILES_LISTED), "3");
            EXPECT_EQ(ControlText(d, D::IDC_FILES_CHECKED), "2");
            EXPECT_EQ(ControlText(d, D::IDC_FILES_UNCHECKED), "1");
            EXPECT_EQ(ControlText(d, D::IDC_FILES_IDENTICAL), "1");
            EXPECT_EQ(ControlText(d, D::IDC_FILES_CHANGED), "1");
            EXPECT_EQ(ControlText(d, D::IDC_EXPECTED_COUNT), "3");
            EXPECT_FALSE(d->FindWindow(D::IDC_EXPECTED_COUNT)->IsShown());
            for (const char* label : {"Database:", "Checked:", "Files Checked:", "Files Unchecked:",
                                      "Files Identical:", "Files Changed:"}) {
                EXPECT_TRUE(HasLabel(d, label)) << label;
            }
            ExpectMarked(d, D::IDC_FILES_CHECKED, kRed, D::IDC_CHECKED_MARK, 371);
            ExpectMarked(d, D::IDC_FILES_IDENTICAL, kRed, D::IDC_IDENTICAL_MARK, 371);
            ExpectMarked(d, D::IDC_FILES_CHANGED, kRed, D::IDC_CHANGED_MARK, 371);
            ExpectMarked(d, D::IDC_FILES_UNCHECKED, kYellow, D::IDC_UNCHECKED_MARK, 395);
            EXPECT_TRUE(ShowsIcon(d, D::IDC_DATABASE_ICON, 128));
            EXPECT_EQ(ControlText(d, IDOK), "OK");
            EXPECT_EQ(d->FindWindow(wxID_CANCEL), nullptr);
            ExpectStripAtRightEdge(d, D::IDC_BITMAP_FRAME);
        },
        wxID_OK);
    summary.DoModal();

    // All well: every count blue with the tick.
    summary.m_filesCheckedText = "3";
    summary.m_filesUncheckedText = "0";
    summary.m_filesIdenticalText = "3";
    summary.m_filesChangedText = "0";
    Hook().ExpectView(
        "Checking Summary.",
        [](wxDialog* d) {
            ExpectMarked(d, D::IDC_FILES_CHECKED, kBlue, D::IDC_CHECKED_MARK, 370);
            ExpectMarked(d, D::IDC_FILES_IDENTICAL, kBlue, D::IDC_IDENTICAL_MARK, 370);
            ExpectMarked(d, D::IDC_FILES_CHANGED, kBlue, D::IDC_CHANGED_MARK, 370);
            ExpectMarked(d, D::IDC_FILES_UNCHECKED, kBlue, D::IDC_UNCHECKED_MARK, 370);
        },
        wxID_OK);
    summary.DoModal();
}

TEST_F(DialogViewsTest, TextsComeBackByteForByteThroughOk) {
    // A Latin-1 name and a path cut inside a UTF-8 character cannot be shown as they are;
    // OK must still hand the very bytes back, or the restore would name another file.
    using D = CChangedFileDetailsDlg;
    CChangedFileDetailsDlg details;
    FillDetails(details);
    const std::string path = "E:\\caf\xE9\\" + std::string(83, 'x') + "\xC3\xA4.txt";
    details.m_pathLine1 = path.substr(0, 92);  // ends with the first byte of "\xC3\xA4"
    details.m_pathLine2 = path.substr(92);
    Hook().ExpectView(
        "Changed file details.",
        [](wxDialog* d) { EXPECT_NE(ControlText(d, D::IDC_PATH1).find("caf"), std::string::npos); },
        wxID_OK);
    details.DoModal();
    EXPECT_EQ(details.m_pathLine1 + details.m_pathLine2 + details.m_pathLine3, path);
}
