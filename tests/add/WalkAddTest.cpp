// The add by attributes through the scripted seam on real trees: the files added in walk
// order with their records and backup copies, the closing texts of the three add-by-criteria
// commands byte for byte, the files listed already (announced or not, however long their
// paths), files that cannot be added, the "Unknown" open that ends the command, every drive,
// and a cancelled pre-scan.
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "add/AddByCriteria.h"
#include "add/AddFileRead.h"
#include "criteria/CriteriaTexts.h"
#include "platform/File.h"
#include "platform/Prefix.h"
#include "storage/Md5.h"
#include "tests/add/WalkAddFixture.h"
#include "tests/support/TestTree.h"

namespace {

const std::string kDialog = AttributesDialogEvent();

std::string Digest(const std::string& bytes) {
    Md5Context ctx;
    MD5Init(&ctx);
    MD5Update(&ctx, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    return DigestHex(MD5Final(&ctx));
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
    EXPECT_EQ(
        prefix.ui.Events(),
        (std::vector<std::string>{
            kDialog, kSearchingEvent, kAdding,
            BoxEvent("3 Files located in E:\\d\\ without any attributes\n \n\n successfully added "
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

TEST_F(WalkAddTest, TheClosingTextsOfTheThreeCommandsByteForByte) {
    // Each command with its criterion made from the view's hand-over fields as they stand.
    auto made = [this](std::unique_ptr<WalkAddCommand> command) {
        command->MakeCriterion(view);
        return command;
    };
    auto attributes = [&](std::vector<int> ticked) {
        std::fill(view.m_critAttributes, view.m_critAttributes + 13, 0);
        for (int box : ticked) view.m_critAttributes[box] = 1;
        return made(std::make_unique<AddByAttributes>());
    };
    const auto readOnlyArchivePlus = attributes({2, 5});
    const auto everyBoxButAny = attributes({0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12});
    const auto any = attributes({8});
    view.m_critSearchText = " cat ";
    const auto contents = made(std::make_unique<AddByContents>());
    view.m_critAbilityCookies = 1;
    const auto cookies = made(std::make_unique<AddByAbilities>());
    EXPECT_EQ(readOnlyArchivePlus->AddedText({1, 2, false, "E:\\t\\"}),
              "1 File located in E:\\t\\ with\n \n -Read-only attributes\n -Archive plus any other "
              "attributes\n\n successfully added to the database.\n\n2 Files listed previously.");
    EXPECT_EQ(readOnlyArchivePlus->AddedText({2, 1, true, "Z:\\"}),
              "2 Files with\n \n -Read-only attributes\n -Archive plus any other attributes\n\n "
              "successfully added to the database.\n\n1 File listed previously.");
    // One line a box, in the texts' own order; "Any " alone has none.
    EXPECT_EQ(
        everyBoxButAny->NoneText({0, 0, false, "E:\\t"}),
        "There are no files  located in E:\\t with\n \n -Read-only attributes\n -Archive "
        "attributes\n -Hidden attributes\n -System attributes\n -Compressed attributes\n "
        "-Encrypted attributes\n -Compressed plus any other attributes\n -Encrypted plus any "
        "other attributes\n -Hidden plus any other attributes\n -Read-only plus any other "
        "attributes\n -System plus any other attributes\n -Archive plus any other attributes");
    EXPECT_EQ(any->NoneText({0, 0, true, "*"}), "There are no files  without any attributes\n ");
    EXPECT_EQ(contents->NoneText({0, 0, true, "*"}),
              "There are no files\n\n -Containing text: \" cat \"");
    EXPECT_EQ(contents->AllListedText({0, 2, false, "E:\\t"}),
              "All files located in E:\\t\n\n -Containing text: \" cat \"\n\n previously listed.");
    EXPECT_EQ(cookies->NoneText({0, 0, true, "*"}), "There are no files\n\n -Cookies.");
    EXPECT_EQ(cookies->AllListedText({0, 1, false, "E:\\x\\"}),
              "All files located in E:\\x\\ with\n\n -Cookies. were previously listed.");
}

TEST_F(WalkAddTest, NothingFoundOrAllListedSkipsTheWalkAndNamesThePrescansLocation) {
    prefix.WriteFile("E:\\t\\a.txt", "a");
    Choose("E:\\t", kHiddenBoxes);  // hidden: nothing is
    Run();
    EXPECT_EQ(prefix.ui.Events(),
              (std::vector<std::string>{kDialog, kSearchingEvent,
                                        BoxEvent("There are no files  located in E:\\t with\n \n "
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
    // Paths far beyond 400 characters are compared whole; A.TXT and a.txt are two files, and
    // a path listed with its drive letter in lower case is the walk's path.
    const std::string folder = "E:\\n\\" + std::string(150, 'f') + "\\" + std::string(150, 'g') +
                               "\\" + std::string(150, 'h');
    prefix.WriteFile(folder + "\\A.TXT", "upper");
    prefix.WriteFile(folder + "\\a.txt", "lower");
    prefix.WriteFile(folder + "\\b.txt", "b");
    view.OnDropFiles({"e" + folder.substr(1) + "\\b.txt"});
    for (int notify : {1, 0}) {
        prefix.ui.ClearEvents();
        Choose("E:\\n", kAnyBoxes, notify);
        Run();
        std::vector<std::string> expected;
        if (notify == 1)
            expected.push_back(folder + "\\b.txt previously listed.");
        // The second time nothing is walked: the location is named as it was chosen.
        expected.push_back(notify == 1 ? "2 Files located in E:\\n\\ without any attributes\n "
                                         "\n\n successfully added to the database.\n\n1 File "
                                         "listed previously."
                                       : "All files  located in E:\\n without any attributes\n "
                                         "\n\n were previously listed.");
        EXPECT_EQ(Boxes(), expected) << notify;
        EXPECT_EQ(RecordPaths(),
                  (std::vector<std::string>{"e" + folder.substr(1) + "\\b.txt", folder + "\\A.TXT",
                                            folder + "\\a.txt"}));
    }
}

TEST_F(WalkAddTest, AFileThatCannotBeAddedIsNamedAndTheWalkGoesOn) {
    prefix.WriteFile("E:\\h\\a.txt", "a");
    prefix.WriteFile("E:\\h\\held.txt", "held");
    prefix.WriteFile("E:\\h\\real\\r.txt", "r");
    prefix.WriteFile("E:\\h\\line\nbreak.txt", "cannot be recorded");
    MakeLink(prefix, "E:\\h\\link", prefix.Host("E:\\h\\real"));
    MakeLink(prefix, "E:\\h\\dangling", prefix.Host("E:\\h\\gone"));
    MakeLink(prefix, "E:\\h\\tofile", "a.txt");
    std::ofstream(prefix.Host("E:\\h") + "/back\\slash.txt") << "names another file";
    platform::CFile held;
    ASSERT_TRUE(held.Open("E:\\h\\held.txt", "rb", platform::Share::DenyAll));
    Choose("E:\\h");
    Run();
    held.Close();
    EXPECT_EQ(Boxes(),
              (std::vector<std::string>{
                  PassedOverNameText("E:\\h\\back\\slash.txt"),
                  PassedOverNameText("E:\\h\\line\nbreak.txt"),
                  "Couldn't add E:\\h\\held.txt\nReason: SharingViolation. ",
                  "3 Files located in E:\\h\\ without any attributes\n \n\n successfully added to "
                  "the database."}));
    // Links to folders and dangling links are passed over; a link to a file is that file.
    EXPECT_EQ(RecordPaths(),
              (std::vector<std::string>{"E:\\h\\a.txt", "E:\\h\\tofile", "E:\\h\\real\\r.txt"}));
    ExpectNothingLeftBehind();

    // A folder holding only such a file, and a folder of such a name: nothing to add, and each
    // is named once.
    prefix.ui.ClearEvents();
    prefix.WriteFile("E:\\o\\line\nbreak.txt", "cannot be recorded");
    prefix.WriteFile("E:\\o\\line\nbreak\\a.txt", "in a folder no record can hold");
    Choose("E:\\o");
    Run();
    EXPECT_EQ(Boxes(), (std::vector<std::string>{
                           PassedOverNameText("E:\\o\\line\nbreak"),
                           PassedOverNameText("E:\\o\\line\nbreak.txt"),
                           "There are no files  located in E:\\o without any attributes\n "}));
}

// A file removed while it is read is not added, and its copy leaves "Backup File 1": the
// next file's copy starts where the one before it ends.
TEST_F(WalkAddTest, AFileGoneBeforeItsRecordLeavesNoCopyBehind) {
    prefix.WriteFile("E:\\g\\a.txt", "alpha");
    prefix.WriteFile("E:\\g\\b.bin", Pattern(1000));
    prefix.WriteFile("E:\\g\\c.txt", "gamma");
    // Polls of "Adding files.": a.txt's entry, b.bin's, then one before each of its pieces.
    prefix.ui.onPoll = [this](long poll) {
        if (prefix.ui.progressDialogs.back().className == "CAddProgressDlg" && poll == 5) {
            ASSERT_EQ(unlink(prefix.Host("E:\\g\\b.bin").c_str()), 0);
        }
    };
    Choose("E:\\g");
    Run();
    prefix.ui.onPoll = nullptr;
    EXPECT_EQ(Boxes(),
              (std::vector<std::string>{"Couldn't add E:\\g\\b.bin\nReason: FileNotFound.",
                                        "2 Files located in E:\\g\\ without any attributes\n \n\n "
                                        "successfully added to the database."}));
    EXPECT_EQ(RecordPaths(), (std::vector<std::string>{"E:\\g\\a.txt", "E:\\g\\c.txt"}));
    EXPECT_EQ(BackupIndexPlain(), ExpectedEntry("E:\\g\\a.txt", "N", "16.00", "5") +
                                      ExpectedEntry("E:\\g\\c.txt", "N", "16.00", "5"));
    ASSERT_EQ(BackupFileBytes().size(), 32u);
    EXPECT_EQ(DecryptCopy(16, 16, 5), "gamma");
    ExpectNothingLeftBehind();
}

TEST_F(WalkAddTest, AnOpenWithoutACauseEndsTheCommandAndKeepsWhatWasAdded) {
    prefix.WriteFile("E:\\u\\a.txt", Pattern(100));
    prefix.WriteFile("E:\\u\\b.txt", "b");
    prefix.WriteFile("E:\\u\\c.txt", "c");
    platform::CFile held;
    ASSERT_TRUE(held.Open("E:\\u\\b.txt", "rb", platform::Share::DenyAll));
    {
        OpenWithoutCause withoutCause;
        Choose("E:\\u");
        Run();
    }
    EXPECT_EQ(prefix.ui.Events(),
              (std::vector<std::string>{
                  kDialog, kSearchingEvent, kAdding,
                  BoxEvent("E:\\u\\b.txt could not be opened.\n Reason: Unknown.", "stop")}));
    EXPECT_EQ(RecordPaths(), (std::vector<std::string>{"E:\\u\\a.txt"}));
    EXPECT_EQ(BackupIndexPlain(), ExpectedEntry("E:\\u\\a.txt", "N", "112.00", "100"));
    ExpectDigestRefreshed();
    ExpectNothingLeftBehind();
    EXPECT_FALSE(prefix.ui.progressOpen);
    EXPECT_EQ(Refills(), 1);
}

// Drive H: reaches the other drives' folders and the prefix (whose C: drive holds the database
// and the backup store): every folder is walked once, under the first drive that reaches it,
// and nothing of the prefix is.
TEST_F(WalkAddTest, EveryDriveIsWalkedInTurnEachFolderOnceAndThePrefixNever) {
    WithoutWholeMachine();
    for (char drive : {'g', 'f'}) MakeTestDrive(prefix, drive);
    ASSERT_TRUE(platform::SetDriveLink('h', prefix.root));
    for (const char* path :
         {"G:\\ro.txt", "F:\\sub\\ro.txt", "E:\\ro.txt", "C:\\Data\\ro.txt", "H:\\ro.txt"}) {
        prefix.WriteFile(path, path);
        MakeReadOnly(prefix, path);
    }
    prefix.WriteFile("F:\\rw.txt", "written");
    Choose("*", "[0,0,1,0,0,0,0,0,0,0,0,0,0]");
    Run();
    EXPECT_EQ(RecordPaths(), (std::vector<std::string>{"E:\\ro.txt", "F:\\sub\\ro.txt",
                                                       "G:\\ro.txt", "H:\\ro.txt"}));
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"4 Files with\n \n -Read-only attributes\n\n "
                                                 "successfully added to the database."}));
    EXPECT_EQ(view.m_foundCount, 4);
}

TEST_F(WalkAddTest, AHostPathIsWalkedAsTheFolderOnTheWholeMachinesDrive) {
    prefix.WriteFile("E:\\p\\a.txt", "a");
    std::string folder = "Z:" + prefix.Host("E:\\p");
    std::replace(folder.begin(), folder.end(), '/', '\\');
    Choose(prefix.Host("E:\\p") + "/");
    Run();
    EXPECT_EQ(RecordPaths(), (std::vector<std::string>{folder + "\\a.txt"}));
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"1 File located in " + folder +
                                                 "\\ without any attributes\n \n\n successfully "
                                                 "added to the database."}));
}

// Another program changes the database while a long walk adds: the next store finds it and
// refuses, and the other program's bytes are never overwritten.
TEST_F(WalkAddTest, ADatabaseChangedDuringTheWalkIsRefusedAndNotOverwritten) {
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        prefix.WriteFile("E:\\w\\" + std::string(name), name);
    view.OnDropFiles({"E:\\w\\b.txt"});
    prefix.ui.ClearEvents();
    std::string changed;
    // Each file is stored once added; the box of the listed b.txt comes after a.txt's store.
    SetAddCommitPace(1, std::chrono::milliseconds(0), std::chrono::hours(1));
    prefix.ui.onEvent = [&](const std::string& line) {
        if (line.find("previously listed.") == std::string::npos)
            return;
        changed = prefix.ReadFile(kDatabase);
        changed[5] = char(changed[5] ^ 1);
        prefix.WriteFile(kDatabase, changed);
    };
    Choose("E:\\w", kAnyBoxes, 1);
    Run();
    SetAddCommitPace(kAddCommitAfterFiles, kAddCommitAtMostEvery, kAddCommitAtLeastEvery);
    prefix.ui.onEvent = nullptr;
    EXPECT_EQ(Boxes(), (std::vector<std::string>{
                           "E:\\w\\b.txt previously listed.",
                           kDatabase + " database file has been changed and cannot be checked!"}));
    EXPECT_EQ(prefix.ReadFile(kDatabase), changed);
    EXPECT_FALSE(prefix.ui.progressOpen);
    EXPECT_FALSE(view.WorkFilesOpen());
    ExpectNothingLeftBehind();
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
