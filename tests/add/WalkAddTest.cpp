// The add by attributes through the scripted seam on real trees: the files added in walk
// order with their records and backup copies, the closing texts byte for byte, the files
// listed already (announced or not, however long their paths), files that cannot be added,
// the "Unknown" open that ends the command, every drive, and a cancelled pre-scan.
#include <string>
#include <vector>

#include "add/AddByCriteria.h"
#include "add/OpenToAdd.h"
#include "platform/File.h"
#include "storage/FileRecord.h"
#include "storage/Md5.h"
#include "tests/add/WalkAddFixture.h"
#include "tests/support/TestTree.h"

namespace {

const std::string kDialog =
    "{\"event\":\"dialog\",\"class\":\"CAddByAttributesDlg\",\"members\":{\"m_critAttributes\":"
    "[0,0,0,0,0,0,0,0,0,0,0,0,0],\"m_critLocation\":\"\",\"m_critNotifyIfListed\":0},"
    "\"result\":\"ok\"}";
const std::string kSearching =
    "{\"event\":\"progress\",\"caption\":\"Searching for files to add.\"}";
const std::string kAdding =
    "{\"event\":\"progress\",\"caption\":\"Adding files to: C:\\\\Data\\\\Files.db\"}";

std::string Digest(const std::string& bytes) {
    Md5Context ctx;
    MD5Init(&ctx);
    MD5Update(&ctx, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    return DigestHex(MD5Final(&ctx));
}

bool g_openSucceeds(const std::string&, int&) {
    return true;
}

using WalkAddTest = WalkAddFixture;

}  // namespace

TEST_F(WalkAddTest, AddsTheMatchingFilesInWalkOrderWithTheirRecordsAndCopies) {
    prefix.WriteFile("E:\\d\\sub\\b.bin", Pattern(70000));
    prefix.WriteFile("E:\\d\\a.txt", Pattern(500));
    prefix.WriteFile("E:\\d\\.dot", "never");
    prefix.WriteFile("E:\\d\\.cache\\c.txt", "never");
    prefix.WriteFile("E:\\d\\sub2\\c", "");
    Choose("E:\\d");
    Run();

    EXPECT_EQ(DatabasePlain(),
              ExpectedRecord("E:\\d\\a.txt", Digest(Pattern(500)), "         500") +
                  ExpectedRecord("E:\\d\\sub\\b.bin", Digest(Pattern(70000)), "       70000") +
                  ExpectedRecord("E:\\d\\sub2\\c", Digest(""), "           0"));
    EXPECT_EQ(BackupIndexPlain(), ExpectedEntry("E:\\d\\a.txt", "N", "512.00", "500") +
                                      ExpectedEntry("E:\\d\\sub\\b.bin", "N", "70000.00", "70000") +
                                      ExpectedEntry("E:\\d\\sub2\\c", "N", "0.00", "0"));
    ASSERT_EQ(BackupFileBytes().size(), 512u + 70000u);
    EXPECT_EQ(DecryptCopy(0, 512, 500), Pattern(500));
    EXPECT_EQ(DecryptCopy(512, 70000, 70000), Pattern(70000));
    EXPECT_EQ(prefix.ui.Events(),
              (std::vector<std::string>{
                  kDialog, kSearching, kAdding,
                  Box("3 Files located in E:\\d\\ without any attributes\n \n\n successfully added "
                      "to the database.")}));
    EXPECT_EQ(Refills(), 1);
    EXPECT_EQ(view.m_recordCount, 3);
    EXPECT_EQ(view.m_critLocation, "E:\\d\\");
    ExpectDigestRefreshed();
    EXPECT_EQ(prefix.ReadFile("C:\\Data\\Files~.db"), prefix.ReadFile(kDatabase));
    ExpectNothingLeftBehind();
    EXPECT_FALSE(prefix.ui.progressOpen);
    EXPECT_FALSE(view.WorkFilesOpen());
}

TEST_F(WalkAddTest, TheThreeClosingTextsByteForByte) {
    AddByAttributes command;
    for (int i = 0; i < 13; ++i) view.m_critAttributes[i] = 0;
    view.m_critAttributes[2] = 1;  // read-only
    view.m_critAttributes[5] = 1;  // archive plus
    command.MakeCriterion(view);
    const WalkAddOutcome one{1, 2, false, "E:\\t\\"};
    EXPECT_EQ(command.AddedText(one),
              "1 File located in E:\\t\\ with\n \n -Read-only attributes\n -Archive plus any other "
              "attributes\n\n successfully added to the database.\n\n2 Files listed previously.");
    EXPECT_EQ(command.AddedText({2, 1, true, "Z:\\"}),
              "2 Files with\n \n -Read-only attributes\n -Archive plus any other attributes\n\n "
              "successfully added to the database.\n\n1 File listed previously.");
    EXPECT_EQ(command.AddedText({1, 0, false, "E:\\t\\"}),
              "1 File located in E:\\t\\ with\n \n -Read-only attributes\n -Archive plus any other "
              "attributes\n\n successfully added to the database.");

    // Every box but "Any ": one line each, in the texts' own order.
    for (int i = 0; i < 13; ++i) view.m_critAttributes[i] = i == 8 ? 0 : 1;
    command.MakeCriterion(view);
    EXPECT_EQ(command.NoneText({0, 0, false, "E:\\t"}),
              "There are no files  located in E:\\t with\n \n -Read-only attributes\n -Archive "
              "attributes\n -Hidden attributes\n -System attributes\n -Compressed attributes\n "
              "-Encrypted attributes\n -Compressed plus any other attributes\n -Encrypted plus any "
              "other attributes\n -Hidden plus any other attributes\n -Read-only plus any other "
              "attributes\n -System plus any other attributes\n -Archive plus any other "
              "attributes");

    // "Any " alone has no line.
    for (int i = 0; i < 13; ++i) view.m_critAttributes[i] = i == 8 ? 1 : 0;
    command.MakeCriterion(view);
    EXPECT_EQ(command.NoneText({0, 0, true, "*"}), "There are no files  without any attributes\n ");
    EXPECT_EQ(
        command.AllListedText({0, 3, false, "E:\\t\\"}),
        "All files  located in E:\\t\\ without any attributes\n \n\n were previously listed.");
}

TEST_F(WalkAddTest, NothingFoundOrAllListedSkipsTheWalkAndNamesThePrescansLocation) {
    prefix.WriteFile("E:\\t\\a.txt", "a");
    Choose("E:\\t", "[1,0,0,0,0,0,0,0,0,0,0,0,0]");  // hidden: nothing is
    Run();
    EXPECT_EQ(prefix.ui.Events(),
              (std::vector<std::string>{kDialog, kSearching,
                                        BoxLine("There are no files  located in E:\\t with\n \n "
                                                "-Hidden attributes",
                                                "exclamation")}));
    // No "Adding files." when nothing is to be added.
    ASSERT_EQ(prefix.ui.progressDialogs.size(), 1u);
    EXPECT_EQ(prefix.ui.progressDialogs[0].className, "CSearchProgressDlg");

    view.OnDropFiles({"E:\\t\\a.txt"});
    prefix.ui.ClearEvents();
    Choose("E:\\t");
    Run();
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"All files  located in E:\\t without any "
                                                 "attributes\n \n\n were previously listed."}));
    EXPECT_EQ(RecordPaths(), (std::vector<std::string>{"E:\\t\\a.txt"}));
    EXPECT_EQ(Refills(), 1);  // the drop's only
}

TEST_F(WalkAddTest, ListedFilesAreAnnouncedOnlyWhenAskedAndCountedInTheSummary) {
    // Paths far beyond 400 characters are compared whole; A.TXT is a.txt, letter case ignored.
    const std::string folder = "E:\\n\\" + std::string(150, 'f') + "\\" + std::string(150, 'g') +
                               "\\" + std::string(150, 'h');
    prefix.WriteFile(folder + "\\A.TXT", "upper");
    prefix.WriteFile(folder + "\\a.txt", "lower");
    prefix.WriteFile(folder + "\\b.txt", "b");
    for (int notify : {1, 0}) {
        prefix.ui.ClearEvents();
        Choose("E:\\n", kAny, notify);
        Run();
        std::vector<std::string> expected;
        if (notify == 1)
            expected.push_back(folder + "\\a.txt previously listed.");
        // The second time nothing is walked: the location is named as it was chosen.
        expected.push_back(notify == 1 ? "2 Files located in E:\\n\\ without any attributes\n "
                                         "\n\n successfully added to the database.\n\n1 File "
                                         "listed previously."
                                       : "All files  located in E:\\n without any attributes\n "
                                         "\n\n were previously listed.");
        EXPECT_EQ(Boxes(), expected) << notify;
        EXPECT_EQ(RecordPaths(),
                  (std::vector<std::string>{folder + "\\A.TXT", folder + "\\b.txt"}));
    }
}

TEST_F(WalkAddTest, AFileThatCannotBeAddedIsNamedAndTheWalkGoesOn) {
    prefix.WriteFile("E:\\h\\a.txt", "a");
    prefix.WriteFile("E:\\h\\held.txt", "held");
    prefix.WriteFile("E:\\h\\real\\r.txt", "r");
    prefix.WriteFile("E:\\h\\line\nbreak.txt", "cannot be recorded");
    MakeLink(prefix, "E:\\h\\link", prefix.Host("E:\\h\\real"));
    platform::CFile held;
    ASSERT_TRUE(held.Open("E:\\h\\held.txt", "rb", platform::Share::DenyAll));
    Choose("E:\\h");
    Run();
    held.Close();
    EXPECT_EQ(Boxes(),
              (std::vector<std::string>{
                  "Couldn't add E:\\h\\held.txt\nReason: SharingViolation. ",
                  UnrecordablePathMessage("E:\\h\\line\nbreak.txt"),
                  "Couldn't add E:\\h\\link\nReason: AccessDenied.",
                  "2 Files located in E:\\h\\ without any attributes\n \n\n successfully added to "
                  "the database."}));
    EXPECT_EQ(RecordPaths(), (std::vector<std::string>{"E:\\h\\a.txt", "E:\\h\\real\\r.txt"}));
    ExpectNothingLeftBehind();
}

TEST_F(WalkAddTest, AnOpenWithoutACauseEndsTheCommandAndKeepsWhatWasAdded) {
    prefix.WriteFile("E:\\u\\a.txt", Pattern(100));
    prefix.WriteFile("E:\\u\\b.txt", "b");
    prefix.WriteFile("E:\\u\\c.txt", "c");
    platform::CFile held;
    ASSERT_TRUE(held.Open("E:\\u\\b.txt", "rb", platform::Share::DenyAll));
    const FrameworkOpenFn previous = SetFrameworkOpen(g_openSucceeds);
    Choose("E:\\u");
    Run();
    SetFrameworkOpen(previous);
    EXPECT_EQ(prefix.ui.Events(),
              (std::vector<std::string>{
                  kDialog, kSearching, kAdding,
                  BoxLine("E:\\u\\b.txt could not be opened.\n Reason: Unknown.", "stop")}));
    EXPECT_EQ(RecordPaths(), (std::vector<std::string>{"E:\\u\\a.txt"}));
    EXPECT_EQ(BackupIndexPlain(), ExpectedEntry("E:\\u\\a.txt", "N", "112.00", "100"));
    ExpectDigestRefreshed();
    ExpectNothingLeftBehind();
    EXPECT_FALSE(prefix.ui.progressOpen);
    EXPECT_EQ(Refills(), 1);
}

TEST_F(WalkAddTest, EveryDriveIsWalkedInTurnAndTheTextsNameNone) {
    WithoutWholeMachine();
    for (char drive : {'g', 'f'}) MakeTestDrive(prefix, drive);
    for (const char* path : {"G:\\ro.txt", "F:\\sub\\ro.txt", "E:\\ro.txt"}) {
        prefix.WriteFile(path, path);
        MakeReadOnly(prefix, path);
    }
    prefix.WriteFile("F:\\rw.txt", "written");
    Choose("*", "[0,0,1,0,0,0,0,0,0,0,0,0,0]");
    Run();
    EXPECT_EQ(RecordPaths(),
              (std::vector<std::string>{"E:\\ro.txt", "F:\\sub\\ro.txt", "G:\\ro.txt"}));
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"3 Files with\n \n -Read-only attributes\n\n "
                                                 "successfully added to the database."}));
}

TEST_F(WalkAddTest, ACancelledPrescanTouchesNothing) {
    prefix.WriteFile("E:\\x\\a.txt", "a");
    const std::string before = prefix.ReadFile(kDatabase);
    prefix.ui.AddScriptLine("{\"dialog\":\"CAddByAttributesDlg\",\"result\":\"cancel\"}");
    Run();
    EXPECT_EQ(prefix.ui.Events().size(), 1u);
    EXPECT_EQ(prefix.ReadFile(kDatabase), before);
    EXPECT_EQ(Refills(), 0);
    EXPECT_FALSE(prefix.Exists("C:\\Data\\Files~.db"));
}
