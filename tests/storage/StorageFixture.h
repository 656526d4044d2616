// The storage file tests' fixture: a fresh temporary folder as the prefix, with drive e:
// linked to its "e" folder, so the tests work on "E:\..." paths. Helpers write and read
// files byte for byte through their host paths, store and read protected files from and to
// their plaintext in memory, and list what a folder holds.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/Crypto.h"

// While it lives, no file of the process can grow beyond `bytes`: a write past that fails
// as on a full disk.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(unsigned long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    unsigned long m_softLimit = 0;
    void (*m_oldHandler)(int) = nullptr;
};

class StorageFiles : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::string Host(const std::string& winPath) const;
    void Write(const std::string& winPath, const std::string& bytes) const;
    std::string Read(const std::string& winPath) const;  // fails the test when missing
    bool Exists(const std::string& winPath) const;
    // Stores `plain` as the protected file under the key and vector (no plain copy on disk),
    // and reads one back, cut as the databases and the "Database Index" are read.
    void Store(const std::string& winPath, const std::string& plain, const Key& key,
               const Iv& iv) const;
    std::string Plain(const std::string& winPath, const Key& key, const Iv& iv) const;
    // The names in the host folder of a Windows folder path (sorted).
    std::vector<std::string> Names(const std::string& winDir) const;

    // A key and a vector for tests that need no particular ones.
    static Key TestKey(uint8_t seed);
    static Iv TestIv(uint8_t seed);

    std::string m_root;  // host path of the temporary folder
};
