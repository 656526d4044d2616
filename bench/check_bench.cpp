// The check's benchmark: "Check All Files In The Open Database" (page cache warm, no change
// found) against `md5sum -c` over the same files and sums, the two run in turn in one run,
// best of the rounds each; and the cancel latency, from the cancel poll that reports Cancel to
// the end of the command, while every worker of the pool is digesting. Scenarios:
//   big      200 files of 5 MiB
//   small    50,000 files of 1 KiB (bench/run.sh also runs it on one core: taskset -c 0)
//   skewed   2,000 files, 1 GiB in all, Zipf sizes: the r-th largest is 1/r of the largest
//            (about 131 MiB down to 66 KiB), in a fixed shuffled order
//   cancel   128 files of 8 MiB, Cancel in the middle of the first; then again with one
//            spinning thread per core besides
// Prints one JSON line per scenario.
//
//   check_bench [--scenario big|small|skewed|cancel|all] [--rounds R]
#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/Settings.h"
#include "check/DigestAhead.h"
#include "database/ListView.h"
#include "platform/File.h"
#include "platform/FindData.h"
#include "platform/Ui.h"
#include "storage/DatabaseIndex.h"
#include "storage/DatabaseIndexImage.h"
#include "storage/FileRecord.h"
#include "storage/Md5.h"
#include "storage/StoredDatabase.h"
#include "storage/Transaction.h"
#include "tests/support/TempPrefix.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

// A progress window that reports Cancel at a chosen poll and notes when it did.
class CancellingProgress : public ProgressWindow {
  public:
    CancellingProgress(std::unique_ptr<ProgressWindow> inner, long cancelAt,
                       Clock::time_point& cancelledAt)
        : m_inner(std::move(inner)), m_cancelAt(cancelAt), m_cancelledAt(cancelledAt) {}
    void SetTitle(const std::string& t) override { m_inner->SetTitle(t); }
    void SetItemText(int id, const std::string& t) override { m_inner->SetItemText(id, t); }
    void SetIcon(int id, const Icon& i) override { m_inner->SetIcon(id, i); }
    void SetPos(int pos) override { m_inner->SetPos(pos); }
    bool PollCancel() override {
        if (++m_polls != m_cancelAt)
            return false;
        m_cancelledAt = Clock::now();
        return true;
    }
    void Close() override { m_inner->Close(); }

  private:
    std::unique_ptr<ProgressWindow> m_inner;
    long m_polls = 0;
    long m_cancelAt;
    Clock::time_point& m_cancelledAt;
};

class BenchUi : public ScriptedUi {
  public:
    long cancelAt = 0;
    Clock::time_point cancelledAt;
    std::unique_ptr<ProgressWindow> CreateProgress(int templateId) override {
        auto inner = ScriptedUi::CreateProgress(templateId);
        if (cancelAt == 0)
            return inner;
        return std::make_unique<CancellingProgress>(std::move(inner), cancelAt, cancelledAt);
    }
};

// Deterministic bytes, different for every file.
void FillBytes(unsigned char* buf, size_t n, uint64_t seed) {
    uint64_t x = seed * 0x9E3779B97F4A7C15ULL + 1;
    for (size_t i = 0; i < n; i += 8) {
        x ^= x << 13, x ^= x >> 7, x ^= x << 17;
        std::memcpy(&buf[i], &x, std::min<size_t>(8, n - i));
    }
}

struct Listed {
    std::string name;
    std::string digest;
};

// Writes a file of `size` bytes; returns its record line and notes its digest.
std::string WriteListedFile(const std::string& winPath, uint64_t size, uint64_t seed,
                            std::string& digest) {
    static std::vector<unsigned char> buf(1 << 20);
    Md5Context ctx;
    MD5Init(&ctx);
    platform::CFile out;
    out.OpenOrThrow(winPath, "wb");
    uint64_t left = size, piece = 0;
    while (left > 0) {
        const size_t n = size_t(std::min<uint64_t>(left, buf.size()));
        FillBytes(buf.data(), n, seed * 100003 + piece++);
        MD5Update(&ctx, buf.data(), n);
        if (!out.Write(buf.data(), n))
            throw std::runtime_error("cannot write " + winPath);
        left -= n;
    }
    out.Close();
    digest = DigestHex(MD5Final(&ctx));
    platform::WIN32_FIND_DATA data;
    if (!platform::GetFindData(winPath, data))
        throw std::runtime_error("no find data");
    FileRecord record =
        MakeFileRecord(winPath, digest, FormatAddedSizeField(data.nFileSizeLow),
                       data.dwFileAttributes, data.ftLastWriteTime, data.ftCreationTime);
    return BuildFileRecordLine(record) + "\r\n";
}

// Stores the records as the database, and the "Database Index" with its line alone.
void StoreDatabase(TempPrefix& prefix, const std::string& path, const std::string& plain) {
    std::filesystem::create_directories(std::filesystem::path(prefix.Host(path)).parent_path());
    const Key& key = prefix.frame.Store().FileKey();
    StoredDatabase database(key, path);
    database.Replace(SecureText(plain.begin(), plain.end()));
    DatabaseIndexImage index(key, prefix.frame.Store().IndexIv(), prefix.BackupDir());
    FILETIME created{};
    created.dwHighDateTime = 30000000;
    Transaction tx(key);
    index.AddLine(BuildDatabaseIndexLine(path, 1, created, database.Stage(tx)));
    index.Stage(tx);
    tx.Commit();
}

void WarmCache(const std::string& hostDir, const std::vector<Listed>& files) {
    std::vector<char> buf(1 << 20);
    for (const Listed& f : files) {
        int fd = open((hostDir + "/" + f.name).c_str(), O_RDONLY);
        if (fd < 0)
            continue;
        while (read(fd, buf.data(), buf.size()) > 0) {
        }
        close(fd);
    }
}

unsigned Cores() {
    cpu_set_t cores;
    CPU_ZERO(&cores);
    return sched_getaffinity(0, sizeof cores, &cores) == 0 ? unsigned(CPU_COUNT(&cores)) : 1;
}

std::string Json(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.4f", v);
    return buf;
}

// One scenario's files, their database and the list view on it, and the md5sum sums file.
class Bench {
  public:
    Bench() : prefix("bench password"), view(prefix.frame) {
        SetUi(&ui);
        prefix.SetReg(settings::kAlert, "3");
        hostDir = prefix.root + "/e/bench";
        std::filesystem::create_directories(hostDir);
    }
    ~Bench() { SetUi(&prefix.ui); }

    void MakeFiles(const std::vector<uint64_t>& sizes) {
        std::string plain, sums;
        for (size_t i = 0; i < sizes.size(); ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "f%05zu.bin", i);
            Listed f{name, ""};
            plain += WriteListedFile("E:\\bench\\" + f.name, sizes[i], i, f.digest);
            sums += f.digest + "  " + f.name + "\n";
            files.push_back(f);
            bytes += sizes[i];
        }
        std::ofstream(hostDir + "/../sums.md5") << sums;
        StoreDatabase(prefix, dbPath, plain);
        view.m_databasePath = dbPath;
        view.m_recordCount = int(sizes.size());
        prefix.frame.m_openDatabasePath = dbPath;
        WarmCache(hostDir, files);
    }

    double TimeCheck() {
        ui.ClearEvents();
        auto t0 = Clock::now();
        const bool ran = RunCommand([&] { view.OnCheckAllFiles(); });
        const double s = Seconds(t0, Clock::now());
        // The progress dialog's caption and the summary, nothing else: no change was found.
        if (!ran || ui.Events().size() != 2)
            throw std::runtime_error("the check reported something: " +
                                     (ui.Events().empty() ? "" : ui.Events().back()));
        return s;
    }

    double TimeMd5sum() {
        const std::string command =
            "cd '" + hostDir + "' && md5sum -c --quiet ../sums.md5 > /dev/null";
        auto t0 = Clock::now();
        if (std::system(command.c_str()) != 0)
            throw std::runtime_error("md5sum -c failed");
        return Seconds(t0, Clock::now());
    }

    // Best of `rounds` each, the two in turn.
    std::string Compare(const char* scenario, int rounds) {
        double check = 1e30, md5sum = 1e30;
        for (int r = 0; r < rounds; ++r) {
            check = std::min(check, TimeCheck());
            md5sum = std::min(md5sum, TimeMd5sum());
        }
        return std::string("{\"bench\":\"check\",\"scenario\":\"") + scenario +
               "\",\"files\":" + std::to_string(files.size()) +
               ",\"bytes\":" + std::to_string(bytes) + ",\"cores\":" + std::to_string(Cores()) +
               ",\"workers\":" + std::to_string(DigestAhead::ForThisMachine().workers) +
               ",\"check_s\":" + Json(check) + ",\"md5sum_c_s\":" + Json(md5sum) +
               ",\"ratio_md5sum_c\":" + Json(check / md5sum) + "}";
    }

    // The latency of a Cancel at the given poll, worst of the rounds.
    double CancelLatencyMs(long poll, int rounds) {
        ui.cancelAt = poll;
        double worst = 0;
        for (int r = 0; r < rounds; ++r) {
            ui.ClearEvents();
            RunCommand([&] { view.OnCheckAllFiles(); });
            worst = std::max(worst, 1000 * Seconds(ui.cancelledAt, Clock::now()));
            if (ui.Events().size() != 1)
                throw std::runtime_error("the cancelled check showed more than its progress");
        }
        ui.cancelAt = 0;
        return worst;
    }

    BenchUi ui;
    TempPrefix prefix;
    CListview view;
    std::string hostDir;
    const std::string dbPath = "E:\\db\\bench.qdb";
    std::vector<Listed> files;
    uint64_t bytes = 0;
};

std::vector<uint64_t> SkewedSizes(size_t count, uint64_t total) {
    double harmonic = 0;
    for (size_t r = 1; r <= count; ++r) harmonic += 1.0 / double(r);
    std::vector<uint64_t> sizes(count);
    uint64_t sum = 0;
    for (size_t i = 0; i < count; ++i) {
        const size_t rank = (i * 7919) % count + 1;  // a fixed shuffle
        sizes[i] = uint64_t(double(total) / harmonic / double(rank));
        sum += sizes[i];
    }
    sizes[0] += total - sum;  // exactly `total` in all
    return sizes;
}

std::string RunCancel(int rounds) {
    Bench b;
    b.MakeFiles(std::vector<uint64_t>(128, 8ull << 20));
    const long middle = long((8ull << 20) / 64 / 2);
    const double busy = b.CancelLatencyMs(middle, rounds);
    // Again with every core also taken by a spinning thread.
    std::atomic<bool> spin{true};
    std::vector<std::thread> spinners;
    for (unsigned i = 0; i < std::thread::hardware_concurrency(); ++i) {
        spinners.emplace_back([&spin] {
            volatile uint64_t x = 0;
            while (spin.load(std::memory_order_relaxed)) x = x + 1;
        });
    }
    const double loaded = b.CancelLatencyMs(middle, rounds);
    spin = false;
    for (std::thread& t : spinners) t.join();
    return "{\"bench\":\"check_cancel\",\"files\":128,\"bytes\":" + std::to_string(b.bytes) +
           ",\"workers\":" + std::to_string(DigestAhead::ForThisMachine().workers) +
           ",\"cancel_latency_ms\":" + Json(busy) +
           ",\"cancel_latency_spinning_cores_ms\":" + Json(loaded) +
           ",\"target_cancel_latency_ms\":100}";
}

}  // namespace

int main(int argc, char** argv) {
    std::string scenario = "all";
    int rounds = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string opt = argv[i];
        if (opt == "--scenario")
            scenario = argv[i + 1];
        if (opt == "--rounds")
            rounds = std::atoi(argv[i + 1]);
    }
    const bool all = scenario == "all";
    try {
        if (all || scenario == "big") {
            Bench b;
            b.MakeFiles(std::vector<uint64_t>(200, 5ull << 20));
            std::printf("%s\n", b.Compare("big", rounds).c_str());
        }
        if (all || scenario == "small") {
            Bench b;
            b.MakeFiles(std::vector<uint64_t>(50000, 1024));
            std::printf("%s\n", b.Compare("small", rounds).c_str());
        }
        if (all || scenario == "skewed") {
            Bench b;
            b.MakeFiles(SkewedSizes(2000, 1ull << 30));
            std::printf("%s\n", b.Compare("skewed", rounds).c_str());
        }
        if (all || scenario == "cancel")
            std::printf("%s\n", RunCancel(rounds).c_str());
        std::fflush(stdout);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "check_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
