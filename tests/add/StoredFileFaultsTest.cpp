// What a user's own doing, or someone else's, must not turn against the stored files: a link
// planted under a working copy's name, a database altered behind the program's back, a file
// name too long for the design's temporary names, and a database that was away for a while.
#include <sys/stat.h>
#include <unistd.h>

#include "app/MainFrame.h"
#include "storage/DatabaseIndex.h"
#include "tests/add/AddFixture.h"

namespace {

class StoredFileFaultsTest : public AddFixture {};

// A link named like the working copy points at a user's file: nothing is written through it,
// and the close's clean-up removes only the link.
TEST_F(StoredFileFaultsTest, APlantedLinkNeverReachesItsTarget) {
    prefix.WriteFile("E:\\important.txt", "precious");
    ASSERT_EQ(0, symlink(prefix.Host("E:\\important.txt").c_str(),
                         prefix.Host(kDatabase + ".123456789z").c_str()));
    prefix.WriteFile("E:\\a.txt", "alpha\n");
    view.OnDropFiles({"E:\\a.txt"});
    view.OnCheckAllFiles();
    prefix.frame.m_openDatabasePath = kDatabase;
    prefix.frame.OnClose();
    EXPECT_EQ("precious", prefix.ReadFile("E:\\important.txt"));
    EXPECT_FALSE(prefix.Exists(kDatabase + ".123456789z"));
}

// One byte of the stored database flipped by someone else, or the whole file emptied: the
// drop and the walk refuse it with the check's message, store nothing, and leave the index's
// digest as it was, so the check refuses it too (an emptied one, though the list it fills
// then shows no file).
TEST_F(StoredFileFaultsTest, ADatabaseChangedBehindTheProgramIsRefusedByEveryCommand) {
    prefix.WriteFile("E:\\a.txt", "alpha\n");
    view.OnDropFiles({"E:\\a.txt"});
    const std::string written = prefix.ReadFile(kDatabase);
    const std::string refusal = BoxEvent(
        kDatabase + " database file has been changed and cannot be checked!", "exclamation");
    std::string flipped = written;
    flipped[3] = char(flipped[3] ^ 1);
    for (const std::string& stored : {flipped, std::string()}) {
        prefix.WriteFile(kDatabase, stored);
        view.OnInitialUpdate();
        const std::string index = prefix.ReadFile(DatabaseIndexPath(prefix.BackupDir()));

        prefix.WriteFile("E:\\b.txt", "beta\n");
        prefix.ui.ClearEvents();
        view.OnDropFiles({"E:\\b.txt"});
        EXPECT_EQ(std::vector<std::string>{refusal}, prefix.ui.Events());
        prefix.ui.ClearEvents();
        prefix.ui.AddScriptLine(AttributesAnswer("E:\\"));
        view.OnAddByAttributes();
        EXPECT_EQ((std::vector<std::string>{AttributesDialogEvent(), refusal}), prefix.ui.Events());
        EXPECT_EQ(stored, prefix.ReadFile(kDatabase));
        EXPECT_EQ(index, prefix.ReadFile(DatabaseIndexPath(prefix.BackupDir())));

        prefix.ui.ClearEvents();
        view.OnCheckAllFiles();
        EXPECT_EQ(std::vector<std::string>{refusal}, prefix.ui.Events());
    }
}

// A name of 250 bytes: the design's ".Ntemp" beside it in the backup folder would pass the
// file system's limit; the file is added with its backup copy all the same.
TEST_F(StoredFileFaultsTest, ALongNameIsBackedUpWhole) {
    const std::string path = "E:\\" + std::string(250, 'n');
    prefix.WriteFile(path, Pattern(500));
    view.OnDropFiles({path});
    EXPECT_EQ(ExpectedEntry(path, "N", "512.00", "500"), BackupIndexPlain());
    EXPECT_EQ(Pattern(500), DecryptCopy(0, 512, 500));
}

// After a check ended because the database was away (a removable drive out), the next check
// checks.
TEST_F(StoredFileFaultsTest, ACheckAfterTheDatabaseCameBackChecks) {
    prefix.WriteFile("E:\\a.txt", "alpha\n");
    view.OnDropFiles({"E:\\a.txt"});
    const std::string host = prefix.Host(kDatabase);
    ASSERT_EQ(0, rename(host.c_str(), (host + ".away").c_str()));
    EXPECT_FALSE(RunCommand([this] { view.OnCheckAllFiles(); }));
    ASSERT_EQ(0, rename((host + ".away").c_str(), host.c_str()));
    prefix.ui.ClearEvents();
    view.OnCheckAllFiles();
    ASSERT_FALSE(prefix.ui.Events().empty());
    EXPECT_NE(std::string::npos, prefix.ui.Events().back().find("CCheckingSummaryDlg"));
}

}  // namespace
