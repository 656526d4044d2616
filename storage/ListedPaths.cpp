// The previously-listed rule's table of record lines.
#include "storage/ListedPaths.h"

#include <sys/stat.h>

#include <cstring>
#include <string_view>

#include "platform/Drives.h"
#include "storage/FileRecord.h"

namespace {

constexpr int kOffsetBits = 40;  // a plaintext of up to 1 TiB
constexpr uint64_t kOffsetMask = (uint64_t(1) << kOffsetBits) - 1;
constexpr size_t kFirstSlots = 1024;

char FoldCase(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// FNV-1a of the path with its letter case folded.
uint64_t FoldedHash(std::string_view path) {
    uint64_t hash = 14695981039346656037ull;
    for (char c : path) {
        hash ^= uint8_t(FoldCase(c));
        hash *= 1099511628211ull;
    }
    return hash;
}

uint64_t Tag(uint64_t hash) {
    return hash >> kOffsetBits;
}

// The path of the record line at `offset`; empty when the line has no separator.
std::string_view PathAt(const SecureText& plain, size_t offset) {
    const char* line = plain.data() + offset;
    const size_t rest = plain.size() - offset;
    const void* lf = std::memchr(line, '\n', rest);
    const size_t length = lf ? size_t(static_cast<const char*>(lf) - line) : rest;
    const void* sep = std::memchr(line, kFieldSeparator, length);
    return sep ? std::string_view(line, size_t(static_cast<const char*>(sep) - line))
               : std::string_view();
}

bool IsDrivePath(std::string_view path) {
    return path.size() >= 2 && path[1] == ':';
}

// The same path, the drive letter's case aside (the key's is upper case already).
bool SameListedPath(std::string_view listed, const std::string& key) {
    if (listed.size() != key.size())
        return false;
    if (IsDrivePath(listed) && listed[0] >= 'a' && listed[0] <= 'z')
        return char(listed[0] - 'a' + 'A') == key[0] &&
               listed.substr(1) == std::string_view(key).substr(1);
    return listed == key;
}

bool SameButForCase(std::string_view a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    return true;
}

// Whether two paths are one entry of the file system (a link is not the file it names).
bool SameEntry(const std::string& a, const std::string& b) {
    struct stat x, y;
    return lstat(platform::HostPath(a).c_str(), &x) == 0 &&
           lstat(platform::HostPath(b).c_str(), &y) == 0 && x.st_dev == y.st_dev &&
           x.st_ino == y.st_ino;
}

}  // namespace

std::string ListedPathKey(std::string path) {
    if (IsDrivePath(path) && path[0] >= 'a' && path[0] <= 'z')
        path[0] = char(path[0] - 'a' + 'A');
    return path;
}

void ListedPaths::Clear() {
    m_slots.clear();
    m_slots.shrink_to_fit();
    m_used = 0;
}

void ListedPaths::Insert(uint64_t hash, size_t offset) {
    const size_t mask = m_slots.size() - 1;
    size_t i = size_t(hash) & mask;
    while (m_slots[i] != 0) i = (i + 1) & mask;
    m_slots[i] = (Tag(hash) << kOffsetBits) | (uint64_t(offset) + 1);
    ++m_used;
}

// Twice the slots, each line placed again by the hash of its path.
void ListedPaths::Grow(const SecureText& plain) {
    std::vector<uint64_t> old;
    old.swap(m_slots);
    m_slots.assign(old.empty() ? kFirstSlots : old.size() * 2, 0);
    m_used = 0;
    for (uint64_t slot : old) {
        if (slot == 0)
            continue;
        const size_t offset = size_t((slot & kOffsetMask) - 1);
        Insert(FoldedHash(PathAt(plain, offset)), offset);
    }
}

void ListedPaths::Add(const SecureText& plain, size_t offset) {
    const std::string_view path = PathAt(plain, offset);
    if (path.data() == nullptr)
        return;
    if ((m_used + 1) * 2 > m_slots.size())
        Grow(plain);
    Insert(FoldedHash(path), offset);
}

bool ListedPaths::Lists(const SecureText& plain, const std::string& path) const {
    if (m_slots.empty())
        return false;
    const std::string key = ListedPathKey(path);
    const uint64_t hash = FoldedHash(key);
    const size_t mask = m_slots.size() - 1;
    std::vector<std::string> variants;
    for (size_t i = size_t(hash) & mask; m_slots[i] != 0; i = (i + 1) & mask) {
        if ((m_slots[i] >> kOffsetBits) != Tag(hash))
            continue;
        const std::string_view listed = PathAt(plain, size_t((m_slots[i] & kOffsetMask) - 1));
        if (SameListedPath(listed, key))
            return true;
        if (SameButForCase(listed, key))
            variants.emplace_back(listed);
    }
    for (const std::string& variant : variants)
        if (SameEntry(variant, key))
            return true;
    return false;
}
