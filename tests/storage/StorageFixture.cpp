// The storage file tests' fixture: the temporary prefix and drive e:, and byte helpers.
#include "tests/storage/StorageFixture.h"

#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/Drives.h"
#include "platform/Prefix.h"
#include "storage/ProtectedFile.h"
#include "storage/ProtectedImage.h"

namespace fs = std::filesystem;

void StorageFiles::SetUp() {
    char pattern[] = "/tmp/quill-storage-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_root = pattern;
    fs::create_directories(m_root + "/prefix/dosdevices");
    fs::create_directories(m_root + "/e");
    platform::SetPrefixRoot(m_root + "/prefix");
    ASSERT_TRUE(platform::SetDriveLink('e', m_root + "/e"));
}

void StorageFiles::TearDown() {
    std::error_code ignored;
    if (!m_root.empty())
        fs::remove_all(m_root, ignored);
}

std::string StorageFiles::Host(const std::string& winPath) const {
    return platform::HostPath(winPath);
}

void StorageFiles::Write(const std::string& winPath, const std::string& bytes) const {
    std::ofstream out(Host(winPath), std::ios::binary | std::ios::trunc);
    ASSERT_TRUE(out.good()) << winPath;
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

std::string StorageFiles::Read(const std::string& winPath) const {
    std::ifstream in(Host(winPath), std::ios::binary);
    EXPECT_TRUE(in.good()) << winPath << " is missing";
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

void StorageFiles::Store(const std::string& winPath, const std::string& plain, const Key& key,
                         const Iv& iv) const {
    ProtectedImage image(key, iv, LastBlockRule::ThroughFirstNewline);
    image.LoadEmpty();
    image.Append(plain);
    Write(winPath, image.Stored());
}

std::string StorageFiles::Plain(const std::string& winPath, const Key& key, const Iv& iv) const {
    std::string plain;
    EXPECT_TRUE(DecryptFileToMemory(key, winPath, iv, plain)) << winPath;
    return plain;
}

bool StorageFiles::Exists(const std::string& winPath) const {
    std::error_code ec;
    return fs::symlink_status(Host(winPath), ec).type() != fs::file_type::not_found;
}

std::vector<std::string> StorageFiles::Names(const std::string& winDir) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Host(winDir)))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

Key StorageFiles::TestKey(uint8_t seed) {
    Key key;
    for (size_t i = 0; i < key.size(); ++i) key[i] = uint8_t(seed * 31 + i * 7);
    return key;
}

Iv StorageFiles::TestIv(uint8_t seed) {
    Iv iv;
    for (size_t i = 0; i < iv.size(); ++i) iv[i] = uint8_t(seed * 13 + i * 5 + 1);
    return iv;
}

FileSizeLimit::FileSizeLimit(unsigned long bytes) {
    m_oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit limit;
    getrlimit(RLIMIT_FSIZE, &limit);
    m_softLimit = limit.rlim_cur;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    rlimit limit;
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = m_softLimit;
    setrlimit(RLIMIT_FSIZE, &limit);
    signal(SIGXFSZ, m_oldHandler);
}
