// Benchmark of the paste: 10,000 and then 20,000 files of 4 KiB pasted into an empty
// database, each backed up encrypted (mode "N"), against `aide --init` with MD5 only on the
// same 10,000 files (when aide is installed). A bulk add must stay linear in the number of
// files: the time per file at 20,000 against 10,000 shows it. Prints one JSON line.
#include <limits.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/NoDatabaseView.h"
#include "database/ListView.h"
#include "platform/File.h"
#include "tests/support/Json.h"
#include "tests/support/TempPrefix.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The files of the run, 4 KiB each, 100 to a folder (E:\files\dNNN\fNNNNN.bin), as a user's
// files lie; the peer slows down sharply on one folder of thousands of files.
std::vector<std::string> MakeFiles(TempPrefix& prefix, int count) {
    std::vector<std::string> files;
    std::string bytes(4096, '\0');
    for (int i = 0; i < count; ++i) {
        for (size_t k = 0; k < bytes.size(); ++k) bytes[k] = char((k * 31 + size_t(i) * 7) & 0xFF);
        char name[64];
        std::snprintf(name, sizeof name, "E:\\files\\d%03d\\f%05d.bin", i / 100, i);
        prefix.WriteFile(name, bytes);
        files.push_back(name);
    }
    return files;
}

// Seconds of one paste of `count` files into a new database; the aide peer's seconds on the
// same files through `aideSeconds` (negative when aide is not there).
double PasteSeconds(int count, double* aideSeconds) {
    TempPrefix prefix("bench password");
    prefix.SetReg("Config2", "0");
    prefix.SetReg("Config5", "1");
    prefix.SetReg("Config17", "N");
    CCNoflview noDatabase(prefix.frame);
    if (!noDatabase.CreateDatabase("E:\\Bench.db"))
        throw std::runtime_error("the database could not be created");
    CListview view(prefix.frame);
    if (!view.OpenDatabase("E:\\Bench.db"))
        throw std::runtime_error("the database could not be opened");
    const std::vector<std::string> files = MakeFiles(prefix, count);
    std::string clipboard = "{\"clipboard\":[";
    for (size_t i = 0; i < files.size(); ++i) clipboard += (i ? "," : "") + JsonString(files[i]);
    prefix.ui.AddScriptLine(clipboard + "]}");

    const auto start = Clock::now();
    view.OnPasteFiles();
    const double seconds = Since(start);
    if (view.m_filesAdded != count)
        throw std::runtime_error("not every file was added");

    if (aideSeconds) {
        *aideSeconds = -1;
        // aide walks the real folder, not the drive's link to it.
        char* real = realpath(prefix.Host("E:\\files").c_str(), nullptr);
        const std::string dir = real ? real : "";
        std::free(real);
        const std::string conf = prefix.root + "/aide.conf";
        std::ofstream(conf) << "database_out=file:" << prefix.root << "/aide.db.new\n"
                            << "gzip_dbout=no\n"
                            << dir << " md5\n";
        if (std::system("command -v aide >/dev/null 2>&1") == 0) {
            const auto aideStart = Clock::now();
            const std::string command = "aide --init -c " + conf + " >/dev/null 2>&1";
            if (std::system(command.c_str()) == 0)
                *aideSeconds = Since(aideStart);
        }
    }
    return seconds;
}

}  // namespace

int main() {
    try {
        double aide = -1;
        const double small = PasteSeconds(10000, &aide);
        const double large = PasteSeconds(20000, nullptr);
        std::printf(
            "{\"bench\":\"paste\",\"files\":10000,\"seconds\":%.3f,\"aide_init_seconds\":%s,"
            "\"ratio_to_aide\":%s,\"per_file_us_10000\":%.1f,\"per_file_us_20000\":%.1f,"
            "\"per_file_ratio_20000_to_10000\":%.3f}\n",
            small, aide < 0 ? "null" : std::to_string(aide).c_str(),
            aide <= 0 ? "null" : std::to_string(small / aide).c_str(), small / 10000 * 1e6,
            large / 20000 * 1e6, (large / 20000) / (small / 10000));
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "paste_bench: %s\n", e.what());
        return 1;
    }
}
