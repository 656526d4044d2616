// A transaction interrupted by a failure inside this very process: before its commit mark it
// is undone, after it it is finished — never undone half-way — and its record goes.
#include <filesystem>
#include <stdexcept>

#include "storage/RecoveryRecord.h"
#include "storage/StopPoints.h"
#include "storage/Transaction.h"
#include "tests/storage/StorageFixture.h"
#include "tests/storage/StorageHelpers.h"

namespace {

const char* g_failAt = nullptr;
void FailHere(const char* where) {
    if (g_failAt != nullptr && std::string(where) == g_failAt)
        throw std::runtime_error(where);
}

using TransactionFailure = StorageFiles;

TEST_F(TransactionFailure, UndoneBeforeItsMarkFinishedAfterIt) {
    const struct {
        const char* failAt;
        const char* first;
        const char* second;
    } cases[] = {
        {"staged", "old one", "old two"},           // the second file not staged yet
        {"commit recorded", "new one", "new two"},  // marked, nothing renamed yet
        {"staged file in place", "new one", "new two"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failAt);
        Write("E:\\one", "old one");
        Write("E:\\two", "old two");
        g_failAt = c.failAt;
        SetStorageStopHook(FailHere);
        EXPECT_THROW(
            {
                Transaction tx(TestKey(3));
                tx.Stage("E:\\one", "new one");
                tx.Stage("E:\\two", "new two");
                tx.Commit();
            },
            std::runtime_error);
        SetStorageStopHook(nullptr);
        EXPECT_EQ(Read("E:\\one"), c.first);
        EXPECT_EQ(Read("E:\\two"), c.second);
        EXPECT_EQ(Names("E:\\"), (std::vector<std::string>{"one", "two"}));
        EXPECT_TRUE(TransactionRecordPaths().empty());
    }
}

}  // namespace
