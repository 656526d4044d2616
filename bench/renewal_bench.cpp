// Benchmark of the renewal of a backup copy (a change accepted with "Make this file the new
// backup."): a 15-byte file between two others in a 4 GiB "Backup File" store, against
// `cp --reflink=auto` of the store on the same file system, with and without a sync of the
// copy (the renewal syncs the new store before it commits it). The store is rewritten whole,
// so the renewal can be no faster than a copy of it. Prints one JSON line:
//   renewal_bench                    the renewals and the copies in turn, three of each
//   renewal_bench --scenario renew   the store made, then one renewal (for a whole-process
//   renewal_bench --scenario cp      timer), or the store made, then one copy of it
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "check/CheckRunState.h"
#include "storage/BackupIndex.h"
#include "tests/check/AcceptRestoreFixture.h"
#include "tests/support/Json.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint64_t kStoreBytes = uint64_t(4) << 30;

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A database of E:\a.txt, E:\b.txt (15 bytes) and E:\c.txt with plain backup copies, the
// third copy filling the store up to 4 GiB.
class Store : public AcceptRestoreFixture {
  public:
    Store() {
        BuildThree("P", {std::string(37, 'a'), "fifteen bytes\r\n", std::string(16, 'c')});
        const uint64_t third = kStoreBytes - 37 - 15;
        entries[2] = BuildBackupIndexLine(files[2], "P", CopyLengthFor("P", uint32_t(third)),
                                          uint32_t(third)) +
                     "\r\n";
        StoreBackupIndex(entries[0] + entries[1] + entries[2]);
        FILE* out = std::fopen(p.Host(BackupFilePath()).c_str(), "wb");
        if (!out)
            throw std::runtime_error("the store cannot be written");
        std::fwrite(copies[0].data(), 1, copies[0].size(), out);
        std::fwrite(copies[1].data(), 1, copies[1].size(), out);
        std::vector<char> block(size_t(64) << 20);
        for (uint64_t done = 0; done < third;) {
            for (size_t i = 0; i < block.size(); i += 4096) block[i] = char(done >> 12);
            const size_t n = size_t(std::min<uint64_t>(block.size(), third - done));
            if (std::fwrite(block.data(), 1, n, out) != n)
                throw std::runtime_error("the store cannot be written");
            done += n;
        }
        std::fclose(out);
    }
    void TestBody() override {}

    std::string StoreHostPath() const { return p.Host(BackupFilePath()); }

    // Accepts the changed b.txt with a new backup copy; the record moves to the end.
    double Renew(int round) {
        p.WriteFile(files[1], "changed " + std::to_string(100000 + round) + "\r\n");
        CheckRunState run = RunAt(files[1], round == 0 ? 2 : 3);
        const auto start = Clock::now();
        AcceptChangedFile(run, 1);
        const double seconds = Since(start);
        struct stat st {};
        // The new copy is 16 bytes where the old one was 15.
        if (stat(StoreHostPath().c_str(), &st) != 0 || uint64_t(st.st_size) != kStoreBytes + 1) {
            std::string said;
            for (const std::string& event : p.ui.Events()) said += "\n" + event;
            throw std::runtime_error("the renewal left a store of " + std::to_string(st.st_size) +
                                     " bytes" + said);
        }
        return seconds;
    }

    // `cp --reflink=auto` of the store beside it, synced too when asked; the copy removed.
    double Copy(bool sync) {
        const std::string from = StoreHostPath(), to = from + ".cp";
        const std::string command = "cp --reflink=auto '" + from + "' '" + to + "'" +
                                    (sync ? " && sync '" + to + "'" : std::string());
        const auto start = Clock::now();
        if (std::system(command.c_str()) != 0)
            throw std::runtime_error("cp failed");
        const double seconds = Since(start);
        std::remove(to.c_str());
        return seconds;
    }
};

}  // namespace

int main(int argc, char** argv) {
    const std::string scenario = argc > 2 && std::string(argv[1]) == "--scenario" ? argv[2] : "";
    try {
        Store store;
        if (scenario == "renew") {
            std::printf("{\"renewal_s\":%.3f}\n", store.Renew(0));
            return 0;
        }
        if (scenario == "cp") {
            std::printf("{\"cp_s\":%.3f}\n", store.Copy(false));
            return 0;
        }
        std::vector<double> renewals, copies, synced;
        for (int round = 0; round < 3; ++round) {
            renewals.push_back(store.Renew(round));
            copies.push_back(store.Copy(false));
            synced.push_back(store.Copy(true));
        }
        const double renewal = Median(renewals), cp = Median(copies), cpSync = Median(synced);
        std::printf(
            "{\"bench\":\"renewal\",\"store_bytes\":%llu,\"renewal_s\":%.3f,\"cp_reflink_s\":%.3f,"
            "\"cp_reflink_sync_s\":%.3f,\"ratio_vs_cp\":%.2f,\"ratio_vs_cp_sync\":%.2f}\n",
            static_cast<unsigned long long>(kStoreBytes), renewal, cp, cpSync, renewal / cp,
            renewal / cpSync);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "renewal_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
