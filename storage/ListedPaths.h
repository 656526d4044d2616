// The previously-listed rule over a database's plaintext: which paths its records list. A path
// is listed as the file system names files: the whole path, letter case included, the drive
// letter's aside; a record whose path differs from it in letter case alone lists it too when
// both are one entry of the file system (one that ignores letter case, or two hard links of one
// file), so the same file is never added twice under such names.
//
// The table holds no copy of the paths: each entry is the place of a record line in the
// plaintext, with a piece of its path's hash, in one open-addressed array (paths that differ in
// letter case alone hash alike). So a walk of any number of files keeps a few bytes a record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "storage/SecureText.h"

class ListedPaths {
  public:
    // Lists nothing.
    void Clear();
    // Lists the record line that starts at `offset` of `plain` (the text before its first
    // 0x7F is its path; a line without one lists nothing).
    void Add(const SecureText& plain, size_t offset);
    // Whether a record of `plain` lists `path`.
    bool Lists(const SecureText& plain, const std::string& path) const;

  private:
    void Insert(uint64_t hash, size_t offset);
    void Grow(const SecureText& plain);

    std::vector<uint64_t> m_slots;  // 0: empty; else the hash's top bits, then offset + 1
    size_t m_used = 0;
};

// A path as the rule keeps it: the drive letter upper-cased.
std::string ListedPathKey(std::string path);
