// A database held in memory.
#include "storage/StoredDatabase.h"

#include <sys/stat.h>

#include <cstdint>

#include "platform/Drives.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "storage/FileDigest.h"
#include "storage/FileRecord.h"
#include "storage/Md5.h"
#include "storage/Transaction.h"

namespace {

char FoldCase(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool SameButForCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    return true;
}

// Whether two paths are one entry of the file system (a link is not the file it names).
bool SameFile(const std::string& a, const std::string& b) {
    struct stat x, y;
    return lstat(platform::HostPath(a).c_str(), &x) == 0 &&
           lstat(platform::HostPath(b).c_str(), &y) == 0 && x.st_dev == y.st_dev &&
           x.st_ino == y.st_ino;
}

}  // namespace

std::string ListedPathKey(std::string path) {
    if (path.size() >= 2 && path[1] == ':' && path[0] >= 'a' && path[0] <= 'z')
        path[0] = char(path[0] - 'a' + 'A');
    return path;
}

size_t StoredDatabase::FoldedHash::operator()(const std::string& path) const {
    uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (char c : path) {
        hash ^= uint8_t(FoldCase(c));
        hash *= 1099511628211ull;
    }
    return size_t(hash);
}

StoredDatabase::StoredDatabase(const Key& key, std::string path)
    : m_path(std::move(path)),
      m_image(key, IvFromText(m_path), LastBlockRule::ThroughFirstNewline) {
    LoadEmpty();
}

bool StoredDatabase::Load(int& cause) {
    if (!m_image.Load(m_path, cause))
        return false;
    m_storedDigest = m_image.LoadedDigest();
    IndexRecords();
    return true;
}

void StoredDatabase::LoadEmpty() {
    m_image.LoadEmpty();
    m_storedDigest = m_image.LoadedDigest();
    IndexRecords();
}

void StoredDatabase::IndexRecords() {
    m_listed.clear();
    m_listedMade = false;
    m_recordCount = 0;
    const SecureText& plain = m_image.Plain();
    for (size_t start = 0; start < plain.size(); ++m_recordCount) {
        const size_t end = plain.find('\n', start);
        start = end == SecureText::npos ? plain.size() : end + 1;
    }
}

void StoredDatabase::MakeListed() const {
    const SecureText& plain = m_image.Plain();
    size_t start = 0;
    while (start < plain.size()) {
        size_t end = plain.find('\n', start);
        end = end == SecureText::npos ? plain.size() : end + 1;
        const size_t sep = plain.find(kFieldSeparator, start);
        // Only a line with a separator can list a path.
        if (sep != SecureText::npos && sep < end)
            m_listed.insert(ListedPathKey(std::string(plain.data() + start, sep - start)));
        start = end;
    }
    m_listedMade = true;
}

bool StoredDatabase::Lists(const std::string& path) const {
    if (!m_listedMade)
        MakeListed();
    const std::string key = ListedPathKey(path);
    if (m_listed.count(key) != 0)
        return true;
    // Paths that differ in letter case alone share the key's bucket.
    const size_t bucket = m_listed.bucket(key);
    for (auto it = m_listed.begin(bucket); it != m_listed.end(bucket); ++it) {
        if (SameButForCase(*it, key) && SameFile(*it, key))
            return true;
    }
    return false;
}

void StoredDatabase::AppendRecord(const std::string& line) {
    const SecureText& plain = m_image.Plain();
    // A last record without its line break is ended first, so the new one starts a line.
    if (!plain.empty() && plain.back() != '\n')
        m_image.Append("\n", 1);
    m_image.Append(line);
    const size_t sep = line.find(kFieldSeparator);
    if (m_listedMade && sep != std::string::npos)
        m_listed.insert(ListedPathKey(line.substr(0, sep)));
    ++m_recordCount;
}

void StoredDatabase::Replace(const SecureText& plain) {
    m_image.Replace(plain);
    IndexRecords();
}

void StoredDatabase::KeepFirstRecords(int records) {
    const SecureText& plain = m_image.Plain();
    size_t end = 0;
    for (int i = 0; i < records && end < plain.size(); ++i) {
        const size_t lf = plain.find('\n', end);
        end = lf == SecureText::npos ? plain.size() : lf + 1;
    }
    m_image.Truncate(end);
    IndexRecords();
}

bool StoredDatabase::FileUnchangedSinceRead() const {
    return DigestOfFile(m_path) == m_storedDigest;
}

std::string StoredDatabase::Stage(Transaction& tx) {
    m_stagedDigest = m_image.StoredDigest();
    tx.Stage(m_path, m_image.Stored());
    return m_stagedDigest;
}

void StoredDatabase::MarkSaved() {
    if (!m_stagedDigest.empty())
        m_storedDigest = m_stagedDigest;
    m_stagedDigest.clear();
    m_image.MarkSaved();
}
