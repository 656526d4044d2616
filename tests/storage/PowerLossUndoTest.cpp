// What the storage takes back stays taken back after a power loss, even when the file it takes
// back had already reached the disk (as a journal commit of the file system may do at any
// moment): a transaction's staged file undone, and a noted plaintext file wiped when its note
// goes.
#include "platform/Durable.h"
#include "platform/File.h"
#include "storage/PlaintextNote.h"
#include "storage/RecoveryRecord.h"
#include "storage/Transaction.h"
#include "tests/storage/StorageFixture.h"
#include "tests/support/SimulatedDisk.h"

namespace {

using PowerLossUndo = StorageFiles;

TEST_F(PowerLossUndo, WhatIsTakenBackStaysTakenBack) {
    Write("E:\\one", "old one");
    SimulatedDisk disk(m_root);
    {
        Transaction tx(TestKey(5));
        tx.Stage("E:\\one", "new one");
        ASSERT_TRUE(platform::SyncFolderOf("E:\\one"));
        tx.Abort();
    }
    {
        PlaintextNote note(TestKey(5), "E:\\one.Ptemp");
        platform::CFile plain;
        ASSERT_TRUE(plain.Open("E:\\one.Ptemp", "wbx"));
        ASSERT_TRUE(plain.PutS("plaintext") && plain.Sync() && plain.Close());
        ASSERT_TRUE(platform::SyncFolderOf("E:\\one.Ptemp"));
    }
    disk.PowerLoss();
    RecoverPlaintextNotes(TestKey(5));  // the next start
    RecoverTransaction(TestKey(5));
    EXPECT_EQ(Names("E:\\"), (std::vector<std::string>{"one"}));
    EXPECT_EQ(Read("E:\\one"), "old one");
    EXPECT_TRUE(PlaintextNotePaths().empty());
    EXPECT_TRUE(TransactionRecordPaths().empty());
}

}  // namespace
