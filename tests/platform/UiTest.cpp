// The seam: commands run by RunCommand end at a file exception, which is reported through
// the seam; dialog models run through it; a missing seam stops the program plainly.
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/Dialog.h"
#include "platform/FileException.h"
#include "platform/Ui.h"

namespace {

class RecordingUi : public IUserInterface {
  public:
    std::vector<std::string> reports;
    std::vector<std::string> dialogs;

    MbResult MessageBox(const std::string&, MbIcon, MbButtons) override { return MbResult::Ok; }
    int RunModal(CDialog& dialog) override {
        dialogs.push_back(dialog.ClassName());
        return IDCANCEL;
    }
    std::unique_ptr<ProgressWindow> CreateProgress(int) override { return nullptr; }
    void StatusProgressBegin(const std::string&, int, COLORREF, bool) override {}
    void StatusProgressStep() override {}
    void StatusProgressEnd() override {}
    void SetStatusText(const std::string&) override {}
    void BusyCursor() override {}
    void PlaySoundResource(const std::string&) override {}
    void PlaySoundFile(const std::string&) override {}
    ClipboardState GetClipboardFiles(std::vector<std::string>&) override {
        return ClipboardState::NoFiles;
    }
    void ShowHelp(const std::string&) override {}
    void ReportFileException(const CFileException& e) override {
        reports.push_back(FrameworkFileErrorText(e));
    }
    void SetTimer(int, unsigned, std::function<void()>) override {}
    void KillTimer(int) override {}
    void SetPaneText(int, const std::string&) override {}
    void CloseMainWindow() override {}
};

class TestDlg : public CDialog {
  public:
    TestDlg() : CDialog(140) {}
    const char* ClassName() const override { return "CTestDlg"; }
    void DoDataExchange(DataExchange&) override {}
};

class UiSeam : public ::testing::Test {
  protected:
    void SetUp() override { SetUi(&ui); }
    void TearDown() override { SetUi(nullptr); }
    RecordingUi ui;
};

}  // namespace

TEST_F(UiSeam, RunCommandReportsAFileExceptionAndStops) {
    int steps = 0;
    EXPECT_TRUE(RunCommand([&] { ++steps; }));
    EXPECT_FALSE(RunCommand([&] {
        ++steps;
        throw CFileException(CFileException::fileNotFound, "C:\\Data\\a.txt");
        ++steps;
    }));
    EXPECT_EQ(steps, 2);
    ASSERT_EQ(ui.reports.size(), 1u);
    EXPECT_EQ(ui.reports[0], "Cannot access the file C:\\Data\\a.txt.\nReason: FileNotFound.");
    // Anything else is not the framework's to report.
    EXPECT_THROW(RunCommand([] { throw std::runtime_error("other"); }), std::runtime_error);
    EXPECT_EQ(ui.reports.size(), 1u);
}

TEST_F(UiSeam, DoModalRunsThroughTheSeam) {
    TestDlg dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(ui.dialogs, std::vector<std::string>{"CTestDlg"});
    EXPECT_EQ(&Ui(), &ui);
}

TEST(UiSeamDeath, NoSeamStopsWithAMessage) {
    SetUi(nullptr);
    EXPECT_DEATH(Ui(), "no user interface has been installed");
}
