// Filling the list of the open database: OnInitialUpdate (decrypt in memory, read every
// record line) for a database of 100,000 records against one of 1,000, in the same run.
// The window's list is virtual, so its own cost does not grow with the records; this is the
// part that does. Prints {"bench":"list_fill",...}; the time per record must not grow.
#include <chrono>
#include <cstdio>
#include <string>

#include "app/NoDatabaseView.h"
#include "database/ListView.h"
#include "storage/DatabaseFiles.h"
#include "storage/FileRecord.h"
#include "tests/support/TempPrefix.h"

namespace {
using Clock = std::chrono::steady_clock;

// A database of `count` records, committed with its digest in the index, open in `view`.
void BuildDatabase(TempPrefix& prefix, CListview& view, const std::string& path, int count) {
    CCNoflview noDatabase(prefix.frame);
    noDatabase.CreateDatabase(path);
    {
        DatabaseFiles files(prefix.frame.Store().FileKey(), prefix.frame.Store().IndexIv(),
                            prefix.BackupDir(), path);
        int cause = 0;
        files.Open(cause);
        FILETIME t = U64ToFileTime(133402241263719653ULL);
        for (int i = 0; i < count; ++i) {
            FileRecord r = MakeFileRecord("E:\\files\\folder " + std::to_string(i / 100) +
                                              "\\file " + std::to_string(i) + ".txt",
                                          "ad65672db074ec757613c2728446d5db",
                                          FormatAddedSizeField(uint32_t(i * 37)), 0x20, t, t);
            files.Database().AppendRecord(BuildFileRecordLine(r) + "\r\n");
        }
        files.Commit();
    }
    view.OpenDatabase(path);
}

double SecondsPerFill(CListview& view) {
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        auto t0 = Clock::now();
        view.OnInitialUpdate();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
    }
    return best;
}
}  // namespace

int main() {
    TempPrefix prefix;
    CListview small(prefix.frame), large(prefix.frame);
    BuildDatabase(prefix, small, "E:\\small.qdb", 1000);
    BuildDatabase(prefix, large, "E:\\large.qdb", 100000);
    const double s = SecondsPerFill(small), l = SecondsPerFill(large);
    std::printf(
        "{\"bench\":\"list_fill\",\"records_small\":%d,\"fill_small_ms\":%.3f,\"records_large\":%d,"
        "\"fill_large_ms\":%.3f,\"time_ratio\":%.1f,\"per_record_ratio\":%.3f}\n",
        small.m_recordCount, s * 1000, large.m_recordCount, l * 1000, l / s,
        (l / 100000) / (s / 1000));
    return small.m_recordCount == 1000 && large.m_recordCount == 100000 ? 0 : 1;
}
