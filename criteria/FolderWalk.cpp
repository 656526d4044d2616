// The folder walk: an explicit stack of folders, each searched once, its entries handed over
// in search order and its subfolders kept to be walked after them; the set of folders
// entered, by identity, keeps the walk from entering one twice, and the prefix's identity
// (and, for a start folder, its resolved path) keeps it out of the program's own files.
#include "criteria/FolderWalk.h"

#include <sys/stat.h>

#include <cstdlib>
#include <vector>

#include "platform/Drives.h"
#include "platform/FileSystems.h"
#include "platform/Prefix.h"
#include "storage/FileRecord.h"

namespace {

struct Range {
    uint32_t low, high;
};

constexpr Range kFolderRanges[] = {
    {0x10, 0x17},     {0x30, 0x37},     {0x810, 0x817},   {0x830, 0x837},
    {0x2010, 0x2013}, {0x2030, 0x2038}, {0x2810, 0x2813}, {0x2830, 0x2837},
    {0x4010, 0x4013}, {0x4030, 0x4033}, {0x6010, 0x6013}, {0x6030, 0x6033},
};

FolderWalk::FolderIdFn g_folderId = platform::GetFolderId;

// realpath(3) of a host path, with a trailing '/'; empty when it cannot be resolved.
std::string ResolvedFolder(const std::string& hostPath) {
    char* real = realpath(hostPath.c_str(), nullptr);
    if (!real)
        return std::string();
    std::string resolved = real;
    free(real);
    if (resolved.back() != '/')
        resolved += '/';
    return resolved;
}

struct Frame {
    std::string folder;  // with its trailing backslash
    platform::FolderId id;
    std::vector<std::string> subfolders;
    size_t next = 0;
};

// Hands over every entry of a folder whose search has returned its first entry in `data`,
// and keeps the subfolders to enter. False when the visitor stopped the walk.
bool SearchFolder(platform::FindFile& find, platform::WIN32_FIND_DATA& data, Frame& frame,
                  FolderWalkVisitor& visitor) {
    visitor.Searching(frame.folder);
    do {
        const WalkEntry entry{data, frame.folder, WalkEntryIsFolder(data.dwFileAttributes)};
        if (!visitor.Entry(entry))
            return false;
        if (entry.isFolder && !entry.DotName() && WalkPathRecordable(entry))
            frame.subfolders.push_back(data.cFileName);
    } while (find.Next(data));
    return true;
}

}  // namespace

bool WalkEntryIsFolder(uint32_t attributes) {
    for (const Range& r : kFolderRanges) {
        if (attributes >= r.low && attributes <= r.high)
            return true;
    }
    return false;
}

FolderWalk::FolderIdFn FolderWalk::SetFolderIdProbe(FolderIdFn probe) {
    FolderIdFn previous = g_folderId;
    g_folderId = probe ? probe : platform::GetFolderId;
    return previous;
}

FolderWalk::FolderWalk() {
    const std::string prefix = platform::PrefixRoot();
    m_prefixReal = ResolvedFolder(prefix);
    struct stat st;
    m_prefixKnown = stat(prefix.c_str(), &st) == 0;
    if (m_prefixKnown) {
        m_prefix.device = uint64_t(st.st_dev);
        m_prefix.inode = uint64_t(st.st_ino);
    }
}

// A start folder is inside the prefix when its resolved path lies below the prefix's, or when
// it is the prefix folder itself reached at another place.
bool FolderWalk::InsidePrefix(const std::string& start, const platform::FolderId& id) const {
    if (m_prefixKnown && id == m_prefix)
        return true;
    const std::string resolved = ResolvedFolder(platform::HostPath(start));
    return !m_prefixReal.empty() && !resolved.empty() &&
           resolved.compare(0, m_prefixReal.size(), m_prefixReal) == 0;
}

WalkResult FolderWalk::Walk(const std::string& start, FolderWalkVisitor& visitor) {
    Frame root;
    root.folder = start;
    // The start folder is the user's choice: it may be reached through a link.
    if (g_folderId(start, true, root.id)) {
        if (platform::OnKernelFileSystem(root.id) || InsidePrefix(start, root.id) ||
            m_entered.count(root.id) != 0)
            return WalkResult::NotSearched;
    }
    platform::FindFile find;
    platform::WIN32_FIND_DATA data;
    if (!find.First(start + "*.*", data))
        return WalkResult::NotSearched;
    if (!visitor.Started(start))
        return WalkResult::Stopped;

    m_entered.insert(root.id);
    if (!SearchFolder(find, data, root, visitor))
        return WalkResult::Stopped;
    find.Close();

    std::vector<Frame> stack;
    stack.push_back(std::move(root));
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next == top.subfolders.size()) {
            stack.pop_back();
            continue;
        }
        Frame frame;
        frame.folder = top.folder + top.subfolders[top.next++] + "\\";
        // A folder gone since its parent was searched, or turned into a link, is passed over.
        if (!g_folderId(frame.folder, false, frame.id))
            continue;
        if (frame.id.device != top.id.device && platform::OnKernelFileSystem(frame.id))
            continue;
        if ((m_prefixKnown && frame.id == m_prefix) || !m_entered.insert(frame.id).second)
            continue;
        if (find.First(frame.folder + "*.*", data)) {
            if (!SearchFolder(find, data, frame, visitor))
                return WalkResult::Stopped;
            find.Close();
        }
        stack.push_back(std::move(frame));
    }
    return WalkResult::Walked;
}

WalkResult WalkFolderTree(const std::string& start, FolderWalkVisitor& visitor) {
    FolderWalk walk;
    return walk.Walk(start, visitor);
}

Locations::Locations(const std::string& location)
    : m_location(location), m_allDrives(location == "*") {}

bool Locations::Next(std::string& start) {
    if (m_done)
        return false;
    if (m_allDrives) {
        if (m_drive > 'Z') {
            m_done = true;
            return false;
        }
        start = std::string(1, m_drive++) + ":\\";
        return true;
    }
    m_done = true;
    if (m_location.empty())
        return false;
    start = m_location;
    if (start.back() != '\\')
        start += '\\';
    return true;
}

bool WalkPathRecordable(const WalkEntry& entry) {
    return entry.Name().find('\\') == std::string::npos && IsRecordablePath(entry.Path());
}

std::string WalkFilePath(const WalkEntry& entry) {
    std::string path = entry.Path();
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}
