// The seam on wx: message boxes, a dialog without a view, the file-exception report, a help
// topic without a page, sounds, timers and the clipboard's files.
#include <wx/dataobj.h>
#include <wx/msgdlg.h>

#include <chrono>
#include <filesystem>

#include "platform/Dialog.h"
#include "platform/FileException.h"
#include "platform/Prefix.h"
#include "tests/gui/GuiTest.h"

namespace {

class NoViewDlg : public CDialog {
  public:
    NoViewDlg() : CDialog(999) {}
    const char* ClassName() const override { return "CNoViewDlg"; }
    void DoDataExchange(DataExchange&) override {}
};

}  // namespace

using SeamTest = GuiTest;

TEST_F(SeamTest, MessageBoxesHaveTheirIconsButtonsAndAnswers) {
    struct Case {
        const char* text;
        MbIcon icon;
        MbButtons buttons;
        int answer;
        MbResult result;
        long has, lacks;  // style bits the box must and must not have
    };
    const Case cases[] = {
        {"Replace it?", MbIcon::Question, MbButtons::YesNo, wxID_YES, MbResult::Yes,
         wxYES_NO | wxICON_QUESTION, wxCANCEL},
        {"Stop.", MbIcon::Stop, MbButtons::OkCancel, wxID_CANCEL, MbResult::Cancel,
         wxICON_ERROR | wxOK | wxCANCEL, 0},
        {"x", MbIcon::Exclamation, MbButtons::YesNoCancel, wxID_NO, MbResult::No,
         wxICON_EXCLAMATION | wxCANCEL, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        long style = 0;
        std::string text;
        Hook().ExpectAnyMessage(&text, c.answer, &style);
        EXPECT_EQ(ui.MessageBox(c.text, c.icon, c.buttons), c.result);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(style & c.has, c.has);
        EXPECT_EQ(style & c.lacks, 0);
    }

    // An empty box is shown as it is.
    Hook().ExpectMessage("");
    EXPECT_EQ(ui.MessageBox("", MbIcon::Information, MbButtons::Ok), MbResult::Ok);
}

TEST_F(SeamTest, EscapeAndTheCloseBoxNeverAnswerYes) {
    const std::pair<MbButtons, MbResult> cases[] = {
        {MbButtons::Ok, MbResult::Ok},
        {MbButtons::OkCancel, MbResult::Cancel},
        {MbButtons::YesNo, MbResult::No},
        {MbButtons::YesNoCancel, MbResult::Cancel},
    };
    for (const auto& [buttons, result] : cases) {
        for (bool escape : {true, false}) {
            Hook().ExpectView(
                "Quillstead",
                [escape](wxDialog* box) {
                    if (escape) {
                        wxKeyEvent key(wxEVT_CHAR_HOOK);
                        key.m_keyCode = WXK_ESCAPE;
                        box->GetEventHandler()->ProcessEvent(key);
                    } else {
                        box->Close();
                    }
                    EXPECT_FALSE(box->IsModal());
                },
                wxID_NONE);
            EXPECT_EQ(ui.MessageBox("Go on?", MbIcon::Question, buttons), result)
                << int(buttons) << (escape ? " Escape" : " close box");
        }
    }
}

TEST_F(SeamTest, ADialogWithoutAViewIsRefusedClearly) {
    NoViewDlg dialog;
    Hook().ExpectMessage(
        "The window of the dialog CNoViewDlg is not part of this program, so it cannot be "
        "shown.");
    EXPECT_EQ(ui.RunModal(dialog), IDCANCEL);
}

TEST_F(SeamTest, AFileExceptionIsReportedWithItsTextAndTheStopIcon) {
    CFileException e(CFileException::sharingViolation, "E:\\locked.txt");
    long style = 0;
    std::string text;
    Hook().ExpectAnyMessage(&text, wxID_OK, &style);
    ui.ReportFileException(e);
    EXPECT_EQ(text, FrameworkFileErrorText(e));
    EXPECT_TRUE(style & wxICON_ERROR);

    // RunCommand reports through the seam in use.
    Hook().ExpectMessage(FrameworkFileErrorText(e));
    EXPECT_FALSE(RunCommand([&] { throw CFileException(e); }));
}

// The help's own page is shown in the placement test.
TEST_F(SeamTest, AHelpTopicWithoutAPageIsReported) {
    Hook().ExpectMessage("The help topic nothing is not available.");
    ui.ShowHelp("Quillstead.chm::/nothing.html>Main");
}

TEST_F(SeamTest, SoundsStartWithoutWaiting) {
    const auto start = std::chrono::steady_clock::now();
    ui.PlaySoundResource("clm");
    ui.PlaySoundResource("zaaz");
    ui.PlaySoundResource("rml");
    prefix.WriteFile("E:\\alert.wav", "not really a wave");
    ui.PlaySoundFile("E:\\alert.wav");
    ui.PlaySoundFile("E:\\missing.wav");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    ASSERT_EQ(ui.SoundsPlayed().size(), 5u);
    EXPECT_EQ(ui.SoundsPlayed()[0], std::string(QUILL_RES_DIR) + "/sounds/clm.wav");
    EXPECT_EQ(ui.SoundsPlayed()[2], std::string(QUILL_RES_DIR) + "/sounds/rml.wav");
    EXPECT_EQ(ui.SoundsPlayed()[3], prefix.Host("E:\\alert.wav"));
}

TEST_F(SeamTest, TimersTickUntilKilledEvenFromTheirOwnTick) {
    int ticks = 0;
    ui.SetTimer(7, 10, [&] {
        if (++ticks == 3)
            ui.KillTimer(7);
    });
    EXPECT_TRUE(ui.HasTimer(7));
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }));
    Pump(60);
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(ui.HasTimer(7));

    // Setting a timer again replaces it; a tick's file exception is reported.
    Hook().ExpectMessage(FrameworkFileErrorText(CFileException(2, "E:\\gone")));
    ui.SetTimer(8, 10, [&] {
        ui.KillTimer(8);
        throw CFileException(2, "E:\\gone");
    });
    EXPECT_TRUE(PumpUntil([&] { return Hook().Pending() == 0; }));
}

TEST_F(SeamTest, TheClipboardsFilesComeAsWindowsPaths) {
    prefix.WriteFile("E:\\one.txt", "1");
    prefix.WriteFile("E:\\two words.txt", "2");
    std::vector<std::string> files;

    ASSERT_NO_FATAL_FAILURE(
        PutFilesOnClipboard({prefix.Host("E:\\one.txt"), prefix.Host("E:\\two words.txt")}));
    ASSERT_EQ(ui.GetClipboardFiles(files), IUserInterface::ClipboardState::Files);
    EXPECT_EQ(files, (std::vector<std::string>{"E:\\one.txt", "E:\\two words.txt"}));

    // The form a GTK file manager offers.
    auto* uris = new wxCustomDataObject(wxDataFormat("x-special/gnome-copied-files"));
    const std::string text = "copy\nfile://" + prefix.Host("E:\\one.txt");
    uris->SetData(text.size(), text.data());
    ASSERT_NO_FATAL_FAILURE(PutOnClipboard(uris));
    ASSERT_EQ(ui.GetClipboardFiles(files), IUserInterface::ClipboardState::Files);
    EXPECT_EQ(files, (std::vector<std::string>{"E:\\one.txt"}));

    ASSERT_NO_FATAL_FAILURE(PutOnClipboard(new wxTextDataObject("E:\\one.txt")));
    EXPECT_EQ(ui.GetClipboardFiles(files), IUserInterface::ClipboardState::NoFiles);
    EXPECT_TRUE(files.empty());
}

TEST_F(SeamTest, APathNoDriveCoversIsLeftOutWithAMessage) {
    // Without the z: link only e: covers a host path.
    std::filesystem::remove(platform::DosDevicesDir() + "/z:");
    prefix.WriteFile("E:\\kept.txt", "k");
    ASSERT_NO_FATAL_FAILURE(PutFilesOnClipboard({"/etc/hostname", prefix.Host("E:\\kept.txt")}));
    Hook().ExpectMessage(NoDriveText("/etc/hostname"));
    std::vector<std::string> files;
    ASSERT_EQ(ui.GetClipboardFiles(files), IUserInterface::ClipboardState::Files);
    EXPECT_EQ(files, (std::vector<std::string>{"E:\\kept.txt"}));
}
