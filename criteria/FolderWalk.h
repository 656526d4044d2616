// The folder walk of the add-by-criteria commands, shared by their pre-scans and their adds.
// A location is one folder, or "*" for the root of every drive from A: to Z:. Each start
// folder is walked depth-first and pre-order: every entry of a folder is handed over in the
// order the folder search returns it (so a folder's own files come before anything below
// it), then its subfolders are walked in that order, each completely before the next.
//
// An entry counts as a folder only by the folder table (WalkEntryIsFolder): any other entry
// is a file candidate. A symbolic link to a folder is not listed (platform/FindData.h), so
// links are never followed. A folder whose name begins with '.' is not entered. Each folder
// is entered once (by its identity, however it is reached), so the walk cannot loop, and it
// has no depth or size limit. The kernel's pseudo file systems (proc, sysfs, devtmpfs, ...)
// are never entered, nor is the program's own prefix (its stored files, the drive links, the
// C: drive), whatever drive reaches it. The start folders of one location are walked by one
// FolderWalk: a folder one of them entered is not entered again under a later one, so with
// "*" a folder that two drives reach is walked once, under the first.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>

#include "criteria/Criterion.h"
#include "platform/FileSystems.h"

// Whether an attribute value is a folder's: the ranges 0x10-0x17, 0x30-0x37, 0x810-0x817,
// 0x830-0x837, 0x2010-0x2013, 0x2030-0x2038, 0x2810-0x2813, 0x2830-0x2837, 0x4010-0x4013,
// 0x4030-0x4033, 0x6010-0x6013 and 0x6030-0x6033, bounds included.
bool WalkEntryIsFolder(uint32_t attributes);

class FolderWalkVisitor {
  public:
    // The start folder's search succeeded; false stops the walk before its first entry.
    virtual bool Started(const std::string& /*start*/) { return true; }
    // A folder's search begins (its path with the trailing backslash).
    virtual void Searching(const std::string& /*folder*/) {}
    // Each entry in search order ("." and ".." are never handed over); false stops the walk.
    virtual bool Entry(const WalkEntry& entry) = 0;

  protected:
    ~FolderWalkVisitor() = default;
};

enum class WalkResult {
    NotSearched,  // the start folder's search failed (or it lies on a pseudo file system)
    Walked,
    Stopped,  // the visitor stopped it
};

// The walk of the start folders of one location.
class FolderWalk {
  public:
    FolderWalk();
    // Walks the tree of one start folder, given with its trailing backslash. A start folder
    // inside the prefix, or entered already by this walk, is not searched.
    WalkResult Walk(const std::string& start, FolderWalkVisitor& visitor);

    // A folder's identity as the walk asks for it; tests put another in its place (a folder
    // mounted at a second place has the identity of the first). The previous one is returned.
    using FolderIdFn = bool (*)(const std::string& winPath, bool throughLink,
                                platform::FolderId& id);
    static FolderIdFn SetFolderIdProbe(FolderIdFn probe);

  private:
    bool InsidePrefix(const std::string& start, const platform::FolderId& id) const;

    std::unordered_set<platform::FolderId, platform::FolderIdHash> m_entered;
    platform::FolderId m_prefix;
    bool m_prefixKnown = false;
    std::string m_prefixReal;  // the prefix's host path with its links resolved, and a '/'
};

// Walks the tree of one start folder alone.
WalkResult WalkFolderTree(const std::string& start, FolderWalkVisitor& visitor);

// The start folders of a location, in order: the folder with a backslash added when it has
// none; for "*" the roots "A:\" to "Z:\".
class Locations {
  public:
    explicit Locations(const std::string& location);
    bool AllDrives() const { return m_allDrives; }
    // The next start folder; false when there is none left.
    bool Next(std::string& start);

  private:
    std::string m_location;
    bool m_allDrives;
    char m_drive = 'A';
    bool m_done = false;
};

// The full path of an entry as the add-by-criteria commands record it: every '/' turned
// into '\', however long the path.
std::string WalkFilePath(const WalkEntry& entry);
// Whether a record can hold the path of an entry: no line break, zero byte or 0x7F in it, and
// no backslash in its name (the record's path would name another file). A folder whose path
// no record can hold is not entered; the pre-scan names each such entry it passes over (a
// file or a folder), and the add passes over the same ones.
bool WalkPathRecordable(const WalkEntry& entry);
