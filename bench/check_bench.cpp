// The check's benchmark: "Check All Files In The Open Database" over 2,000 files of 512 KiB
// (1 GiB in all, page cache warm, no change found) against md5sum and against aide --check
// with a configuration that records and compares only MD5, each over the same files; and
// the cancel latency, from the cancel poll that reports Cancel to the end of the command,
// in the middle of a 1 GiB file. Prints one JSON line.
//
//   check_bench [--files N] [--file-size BYTES] [--cancel-size BYTES] [--rounds R]
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Settings.h"
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
void FillBytes(std::vector<unsigned char>& buf, uint64_t seed) {
    uint64_t x = seed * 0x9E3779B97F4A7C15ULL + 1;
    for (size_t i = 0; i + 8 <= buf.size(); i += 8) {
        x ^= x << 13, x ^= x >> 7, x ^= x << 17;
        std::memcpy(&buf[i], &x, 8);
    }
}

// Writes a file of `size` bytes and returns its record line.
std::string WriteListedFile(const std::string& winPath, uint64_t size, uint64_t seed) {
    std::vector<unsigned char> buf(1 << 20);
    Md5Context ctx;
    MD5Init(&ctx);
    platform::CFile out;
    out.OpenOrThrow(winPath, "wb");
    uint64_t left = size, piece = 0;
    while (left > 0) {
        FillBytes(buf, seed * 100003 + piece++);
        size_t n = size_t(std::min<uint64_t>(left, buf.size()));
        MD5Update(&ctx, buf.data(), n);
        if (!out.Write(buf.data(), n))
            throw std::runtime_error("cannot write " + winPath);
        left -= n;
    }
    out.Close();
    platform::WIN32_FIND_DATA data;
    if (!platform::GetFindData(winPath, data))
        throw std::runtime_error("no find data");
    FileRecord record =
        MakeFileRecord(winPath, DigestHex(MD5Final(&ctx)), FormatAddedSizeField(data.nFileSizeLow),
                       data.dwFileAttributes, data.ftLastWriteTime, data.ftCreationTime);
    return BuildFileRecordLine(record) + "\r\n";
}

// Stores the records as the database, and the "Database Index" with its line alone.
void StoreDatabase(TempPrefix& prefix, const std::string& path, const std::string& plain) {
    std::filesystem::create_directories(std::filesystem::path(prefix.Host(path)).parent_path());
    const Key& key = prefix.frame.m_fileKey;
    StoredDatabase database(key, path);
    database.Replace(SecureText(plain.begin(), plain.end()));
    DatabaseIndexImage index(key, prefix.frame.m_indexIv, prefix.BackupDir());
    FILETIME created{};
    created.dwHighDateTime = 30000000;
    Transaction tx(key);
    index.AddLine(BuildDatabaseIndexLine(path, 1, created, database.Stage(tx)));
    index.Stage(tx);
    tx.Commit();
}

void WarmCache(const std::string& hostDir, const std::vector<std::string>& names) {
    std::vector<char> buf(1 << 20);
    for (const std::string& name : names) {
        int fd = open((hostDir + "/" + name).c_str(), O_RDONLY);
        if (fd < 0)
            continue;
        while (read(fd, buf.data(), buf.size()) > 0) {
        }
        close(fd);
    }
}

double TimeCommand(const std::string& command, int rounds, int* status = nullptr) {
    double best = 1e30;
    for (int r = 0; r < rounds; ++r) {
        auto t0 = Clock::now();
        int rc = std::system(command.c_str());
        best = std::min(best, Seconds(t0, Clock::now()));
        if (status)
            *status = rc;
    }
    return best;
}

double TimeCheck(BenchUi& ui, CListview& view, int rounds) {
    double best = 1e30;
    for (int r = 0; r < rounds; ++r) {
        ui.ClearEvents();
        auto t0 = Clock::now();
        bool ran = RunCommand([&] { view.OnCheckAllFiles(); });
        best = std::min(best, Seconds(t0, Clock::now()));
        // The progress dialog's caption and the summary, nothing else: no change was found.
        if (!ran || ui.Events().size() != 2)
            throw std::runtime_error("the check reported something: " +
                                     (ui.Events().empty() ? "" : ui.Events().back()));
    }
    return best;
}

std::string Json(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.4f", v);
    return buf;
}

}  // namespace

int main(int argc, char** argv) {
    long files = 2000;
    uint64_t fileSize = 512 * 1024;
    uint64_t cancelSize = 1ULL << 30;
    int rounds = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string opt = argv[i];
        if (opt == "--files")
            files = std::atol(argv[i + 1]);
        if (opt == "--file-size")
            fileSize = std::strtoull(argv[i + 1], nullptr, 10);
        if (opt == "--cancel-size")
            cancelSize = std::strtoull(argv[i + 1], nullptr, 10);
        if (opt == "--rounds")
            rounds = std::atoi(argv[i + 1]);
    }

    try {
        TempPrefix prefix("bench password");
        BenchUi ui;
        SetUi(&ui);
        prefix.SetReg(settings::kAlert, "3");

        // The listed files and their database.
        const std::string hostDir = prefix.root + "/e/bench";
        std::filesystem::create_directories(hostDir);
        std::vector<std::string> names;
        std::string plain;
        for (long i = 0; i < files; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "f%05ld.bin", i);
            names.push_back(name);
            plain += WriteListedFile(std::string("E:\\bench\\") + name, fileSize, uint64_t(i));
        }
        const std::string dbPath = "E:\\db\\bench.qdb";
        StoreDatabase(prefix, dbPath, plain);
        CListview view(prefix.frame);
        view.m_databasePath = dbPath;
        view.m_recordCount = int(files);
        prefix.frame.m_openDatabasePath = dbPath;

        WarmCache(hostDir, names);
        const double checkSeconds = TimeCheck(ui, view, rounds);
        const double md5sumSeconds =
            TimeCommand("cd '" + hostDir + "' && md5sum -- *.bin > /dev/null", rounds);

        // aide, recording and comparing MD5 only.
        std::string aideJson = "\"aide_s\":null,\"ratio_aide\":null,\"aide_note\":";
        if (std::system("command -v aide > /dev/null 2>&1") == 0) {
            const std::string conf = prefix.root + "/aide.conf";
            std::ofstream(conf) << "database_in=file:" << prefix.root << "/aide.db\n"
                                << "database_out=file:" << prefix.root << "/aide.db.new\n"
                                << "gzip_dbout=no\nMd5Only = md5\n"
                                << hostDir << " Md5Only\n";
            int rc = std::system(("aide --init -c '" + conf + "' > /dev/null 2>&1 && mv '" +
                                  prefix.root + "/aide.db.new' '" + prefix.root + "/aide.db'")
                                     .c_str());
            int status = -1;
            const double aideSeconds =
                rc == 0 ? TimeCommand("aide --check -c '" + conf + "' > /dev/null 2>&1", rounds,
                                      &status)
                        : 0;
            if (rc == 0 && status == 0) {
                aideJson = "\"aide_s\":" + Json(aideSeconds) +
                           ",\"ratio_aide\":" + Json(checkSeconds / aideSeconds) +
                           ",\"aide_note\":\"md5 only, 1 worker\"";
            } else {
                aideJson += "\"aide could not run\"";
            }
        } else {
            aideJson += "\"aide is not installed\"";
        }

        // Cancel latency in the middle of one large file.
        for (const std::string& name : names) std::remove((hostDir + "/" + name).c_str());
        const std::string bigPath = "E:\\bench\\big.bin";
        const std::string bigDb = "E:\\db\\big.qdb";
        StoreDatabase(prefix, bigDb, WriteListedFile(bigPath, cancelSize, 7));
        CListview bigView(prefix.frame);
        bigView.m_databasePath = bigDb;
        bigView.m_recordCount = 1;
        prefix.frame.m_openDatabasePath = bigDb;
        WarmCache(hostDir, {"big.bin"});
        ui.cancelAt = long(cancelSize / 64 / 2);
        double latencyMs = 0;
        for (int r = 0; r < rounds; ++r) {
            ui.ClearEvents();
            RunCommand([&] { bigView.OnCheckAllFiles(); });
            latencyMs = std::max(latencyMs, 1000 * Seconds(ui.cancelledAt, Clock::now()));
        }
        SetUi(&prefix.ui);

        std::printf(
            "{\"bench\":\"check\",\"files\":%ld,\"bytes\":%llu,\"check_s\":%s,\"md5sum_s\":%s,"
            "\"ratio_md5sum\":%s,\"target_ratio_md5sum\":1.5,%s,\"cancel_latency_ms\":%s,"
            "\"target_cancel_latency_ms\":100}\n",
            files, (unsigned long long)(uint64_t(files) * fileSize), Json(checkSeconds).c_str(),
            Json(md5sumSeconds).c_str(), Json(checkSeconds / md5sumSeconds).c_str(),
            aideJson.c_str(), Json(latencyMs).c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "check_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
