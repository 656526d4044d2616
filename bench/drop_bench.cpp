// Benchmark of the drop: 1,000 and then 2,000 files of 4 KiB dropped into an empty database,
// each backed up in mode "N", in a temporary prefix. Every add reads and rewrites the whole
// database, so the time per file grows with the database; the ratio shows by how much.
// Prints one JSON line.
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/NoDatabaseView.h"
#include "database/ListView.h"
#include "platform/File.h"
#include "tests/support/TempPrefix.h"

namespace {

// Seconds per file of one drop of `count` files into a new database.
double SecondsPerFile(int count) {
    TempPrefix prefix("bench password");
    prefix.SetReg("Backup\\Backup Files Directory", prefix.BackupDir());
    prefix.SetReg("Config1", "~");
    prefix.SetReg("Config2", "1");
    prefix.SetReg("Config4", "1");
    prefix.SetReg("Config5", "1");
    prefix.SetReg("Config17", "N");
    if (!platform::CreateDirectory("C:\\Data"))
        throw std::runtime_error("the folder C:\\Data could not be made");
    CCNoflview noDatabase(prefix.frame);
    if (!noDatabase.CreateDatabase("C:\\Data\\Bench.db"))
        throw std::runtime_error("the database could not be created");
    CListview view(prefix.frame);
    if (!view.OpenDatabase("C:\\Data\\Bench.db"))
        throw std::runtime_error("the database could not be opened");

    std::vector<std::string> files;
    std::string bytes(4096, '\0');
    for (int i = 0; i < count; ++i) {
        for (size_t k = 0; k < bytes.size(); ++k) bytes[k] = char((k * 31 + i * 7) & 0xFF);
        char name[64];
        std::snprintf(name, sizeof name, "E:\\files\\f%05d.bin", i);
        prefix.WriteFile(name, bytes);
        files.push_back(name);
    }

    const auto start = std::chrono::steady_clock::now();
    try {
        view.OnDropFiles(files);
    } catch (const std::exception& e) {
        throw std::runtime_error("the drop of " + std::to_string(count) +
                                 " files ended: " + e.what());
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (view.m_filesAdded != count)
        throw std::runtime_error("not every file was added");
    return elapsed.count() / count;
}

}  // namespace

int main() {
    try {
        const double small = SecondsPerFile(1000);
        const double large = SecondsPerFile(2000);
        std::printf(
            "{\"bench\":\"drop\",\"ms_per_file_1000\":%.3f,\"ms_per_file_2000\":%.3f,"
            "\"ratio_2000_to_1000\":%.3f}\n",
            small * 1000, large * 1000, large / small);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "drop_bench: %s\n", e.what());
        return 1;
    }
}
