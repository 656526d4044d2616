// The file analysis's benchmark: the hex display of a 1 GiB file beside its 1 GiB backup copy,
// from the button to both lists ready with every mark known, against `cmp` of the same two
// files (they differ only near their end, so cmp reads them whole), with the copy stored plain
// and encrypted; the process's peak memory; and how long a Cancel takes to be seen, pressed
// at a few moments of a display, with the window letting its events run no more often than
// the dialog's window does. Page cache warm. Prints one JSON line.
//
//   file_analysis_bench [--mib N] [--rounds R]
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "check/FileAnalysisDlg.h"
#include "platform/File.h"
#include "storage/BackupIndex.h"
#include "storage/DatabaseIndex.h"
#include "storage/ProtectedFile.h"
#include "tests/support/TempPrefix.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t kChunk = size_t(1) << 20;
uint64_t mibBytes = 0;  // the files' length

double Seconds(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A window that lets nothing run but keeps the dialog window's pace, and presses Cancel at the
// first dispatch at or after `pressAt`.
class PacedWindow : public AnalysisWindow {
  public:
    PacedWindow(CFileAnalysisDlg& dlg, Clock::time_point pressAt) : m_dlg(dlg), m_pressAt(pressAt) {
        dlg.SetWindow(this);
    }
    void DispatchMessages() override {
        const Clock::time_point now = Clock::now();
        if (now - m_last < kDispatchInterval)
            return;
        m_last = now;
        if (now >= m_pressAt && !pressed) {
            pressed = true;
            m_dlg.OnCancelAnalysis();
        }
    }
    void ListsChanged() override {}
    bool pressed = false;

  private:
    CFileAnalysisDlg& m_dlg;
    Clock::time_point m_pressAt, m_last;
};

// Writes a file of `mib` MiB of the byte stream `next`, a MiB at a time.
template <class Next>
void WriteFile(TempPrefix& p, const std::string& winPath, size_t mib, Next next) {
    platform::CFile out;
    out.OpenOrThrow(winPath, "wb");
    std::vector<uint8_t> chunk(kChunk);
    for (size_t i = 0; i < mib; ++i) {
        next(chunk, i);
        out.Write(chunk.data(), chunk.size());
    }
    if (!out.Close())
        throw std::runtime_error("cannot write " + p.Host(winPath));
}

void StoreProtected(TempPrefix& p, const std::string& winPath, const std::string& plain,
                    const Iv& iv) {
    p.WriteFile("E:\\plain.tmp", plain);
    EncryptFileWithIv(p.frame.Store().FileKey(), winPath, "E:\\plain.tmp", iv);
    platform::RemoveFile("E:\\plain.tmp");
}

struct Pair {
    std::string database, file;
};

// A database whose backup pair `n` holds the copy of `file` (mode "P" or "N") of `original`.
Pair Build(TempPrefix& p, const std::string& n, const std::string& mode, size_t mib,
           std::string& indexText) {
    const std::string dir = p.BackupDir();
    Pair pair{"E:\\db" + n + ".qdb", "E:\\now.bin"};
    indexText += BuildDatabaseIndexLine(pair.database, unsigned(std::stoi(n)), FILETIME(),
                                        std::string(32, '0')) +
                 "\r\n";
    const std::string index = BackupIndexPath(dir, n);
    const double length = double(mib * kChunk);
    StoreProtected(p, index,
                   BuildBackupIndexLine(pair.file, mode, length, uint32_t(mib * kChunk)) + "\r\n",
                   IvFromText(index));
    CbcCipher cipher(p.frame.Store().FileKey(), IvFromText(index), true);
    WriteFile(p, BackupFilePath(dir, n), mib, [&](std::vector<uint8_t>& chunk, size_t i) {
        platform::CFile in;
        in.OpenOrThrow("E:\\original.bin", "rb");
        in.Seek(int64_t(i * kChunk), SEEK_SET);
        in.Read(chunk.data(), chunk.size());
        if (mode == "N")
            cipher.Process(chunk.data(), chunk.size());
    });
    return pair;
}

// One hex display: its seconds, and with Cancel pressed, the seconds from the press to its end.
struct Timing {
    double seconds = 0;
    double cancelSeen = -1;
};

Timing HexDisplay(TempPrefix& p, const Pair& pair, Clock::time_point pressAt) {
    p.frame.m_openDatabasePath = pair.database;
    p.frame.m_analysisPath = pair.file;
    CFileAnalysisDlg dlg(p.frame);
    PacedWindow window(dlg, pressAt);
    const Clock::time_point t0 = Clock::now();
    dlg.OnCommand(CFileAnalysisDlg::IDC_HEX_DISPLAY);
    const Clock::time_point t1 = Clock::now();
    const AnalysisList& now = dlg.m_currentList;
    if (now.RowCount() == 0 || (!window.pressed && now.ShownBytes() != mibBytes))
        throw std::runtime_error("the display did not finish");
    Timing timing;
    timing.seconds = Seconds(t0, t1);
    if (window.pressed)
        timing.cancelSeen = Seconds(pressAt, t1);
    return timing;
}

}  // namespace

int main(int argc, char** argv) {
    size_t mib = 1024;
    int rounds = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--mib"))
            mib = size_t(std::atol(argv[i + 1]));
        if (!std::strcmp(argv[i], "--rounds"))
            rounds = std::atoi(argv[i + 1]);
    }
    mibBytes = uint64_t(mib) * kChunk;
    TempPrefix p;
    uint64_t state = 0x9E3779B97F4A7C15ull;
    WriteFile(p, "E:\\original.bin", mib, [&](std::vector<uint8_t>& chunk, size_t) {
        for (size_t k = 0; k < chunk.size(); k += 8) {
            state ^= state << 13, state ^= state >> 7, state ^= state << 17;
            std::memcpy(chunk.data() + k, &state, 8);
        }
    });
    std::string indexText;
    const Pair plain = Build(p, "1", "P", mib, indexText);
    const Pair encrypted = Build(p, "2", "N", mib, indexText);
    StoreProtected(p, DatabaseIndexPath(p.BackupDir()), indexText, p.frame.Store().IndexIv());
    // The file now: the original with a few bytes changed near its end.
    WriteFile(p, "E:\\now.bin", mib, [&](std::vector<uint8_t>& chunk, size_t i) {
        platform::CFile in;
        in.OpenOrThrow("E:\\original.bin", "rb");
        in.Seek(int64_t(i * kChunk), SEEK_SET);
        in.Read(chunk.data(), chunk.size());
        if (i + 1 == mib)
            for (size_t k = kChunk - 4096; k < kChunk; k += 512) chunk[k] ^= 0x55;
    });

    const std::string cmp = "cmp -s '" + p.Host("E:\\now.bin") + "' '" +
                            p.Host(BackupFilePath(p.BackupDir(), "1")) + "'";
    const Clock::time_point never = Clock::now() + std::chrono::hours(24);
    std::vector<double> cmpTimes, plainTimes, encryptedTimes, ratios, encryptedRatios;
    for (int r = 0; r <= rounds; ++r) {
        const Clock::time_point t0 = Clock::now();
        const int status = std::system(cmp.c_str());
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 1)  // 1: the files differ
            throw std::runtime_error("cmp did not find the difference");
        const double c = Seconds(t0, Clock::now());
        const double h = HexDisplay(p, plain, never).seconds;
        const double e = HexDisplay(p, encrypted, never).seconds;
        if (r == 0)
            continue;  // the warm-up round
        cmpTimes.push_back(c);
        plainTimes.push_back(h);
        encryptedTimes.push_back(e);
        ratios.push_back(h / c);
        encryptedRatios.push_back(e / c);
    }

    // Cancel pressed at a few moments of an encrypted display: from the press to the end.
    double cancelMax = 0;
    for (int ms : {37, 150, 333, 500}) {
        const Timing timing =
            HexDisplay(p, encrypted, Clock::now() + std::chrono::milliseconds(ms));
        cancelMax = std::max(cancelMax, timing.cancelSeen);
    }

    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf(
        "{\"bench\":\"file_analysis\",\"mib\":%zu,\"rounds\":%d,\"cmp_s\":%.3f,"
        "\"hex_plain_s\":%.3f,\"hex_plain_ratio\":%.2f,\"hex_encrypted_s\":%.3f,"
        "\"hex_encrypted_ratio\":%.2f,\"peak_mb\":%.1f,\"cancel_seen_ms_max\":%.1f}\n",
        mib, rounds, Median(cmpTimes), Median(plainTimes), Median(ratios), Median(encryptedTimes),
        Median(encryptedRatios), double(usage.ru_maxrss) / 1024.0, cancelMax * 1000);
    return 0;
}
