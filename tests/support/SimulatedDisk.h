// A file system for tests that does every operation for real and keeps what it needs to take
// back whatever was not made durable, so a test can cut the power at any moment: the data a
// file was given since its last sync, and each folder's entry changes (a file made, removed,
// renamed in or out, replaced) since the last sync of that folder. A power loss puts each such
// file back to its content as of its last sync and undoes the entry changes, newest first.
// It can also fail a write: a full disk fails every write from the n-th on with ENOSPC; an
// I/O error fails the n-th write or sync alone with EIO (a failed sync makes nothing durable).
// Only files below the root it is given are watched. It puts itself in use while it lives.
#pragma once

#include <sys/types.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"

class SimulatedDisk final : public platform::FileSystem {
  public:
    explicit SimulatedDisk(const std::string& root);
    ~SimulatedDisk() override;
    SimulatedDisk(const SimulatedDisk&) = delete;
    SimulatedDisk& operator=(const SimulatedDisk&) = delete;

    enum class Fault { None, DiskFull, IoError };
    // The fault from the n-th operation it counts (0: none, the operations only counted).
    void FailAt(Fault fault, int n);
    // The operations a fault counts that were made so far (writes; for an I/O error, writes
    // and syncs), and whether the fault happened.
    int Counted() const;
    bool FaultHappened() const { return m_faultHappened; }
    // The host path the failed operation was made on.
    const std::string& FaultPath() const { return m_faultPath; }

    // Takes back everything that was not made durable.
    void PowerLoss();

    int Open(const std::string& hostPath, int flags, mode_t mode) override;
    int Close(int fd) override;
    ssize_t ReadAt(int fd, void* data, size_t length, off_t offset) override;
    ssize_t Write(int fd, const void* data, size_t length) override;
    ssize_t WriteAt(int fd, const void* data, size_t length, off_t offset) override;
    ssize_t CopyRange(int in, off_t inOffset, int out, off_t outOffset, size_t length) override;
    int Sync(int fd) override;
    int Truncate(int fd, off_t length) override;
    int Rename(const std::string& from, const std::string& to, bool replace) override;
    int Remove(const std::string& hostPath) override;
    int MakeFolder(const std::string& hostPath, mode_t mode) override;

  private:
    using Id = std::pair<dev_t, ino_t>;
    // What left a name: an open descriptor of the file (its content is read back when the name
    // is made again) or the text of a symbolic link.
    struct Kept {
        ~Kept();
        int fd = -1;
        bool isLink = false;
        std::string link;
        mode_t mode = 0600;
    };
    struct Change {
        enum Kind { Made, MadeFolder, Removed, MovedOut, MovedIn } kind;
        Id folder;
        std::string path;
        std::shared_ptr<Kept> kept;      // Removed, MovedOut: what the name held
        std::shared_ptr<Kept> replaced;  // MovedIn: the file the rename replaced
    };
    struct Unsynced {
        int fd = -1;  // an O_PATH descriptor of the file
        std::string content;
    };

    bool Watched(const std::string& path, Id* folder) const;
    bool WatchedFd(int fd) const;
    std::shared_ptr<Kept> Keep(const std::string& path) const;
    void MakeAgain(const std::string& path, const Kept& kept) const;
    // Notes the file's content before its first change since its last sync.
    void BeforeChange(int fd);
    // Whether this write (or sync) is the one to fail; sets errno when it is.
    bool Fails(int fd, bool isSync);
    void Undo(const Change& change) const;

    std::string m_root;
    platform::FileSystem& m_system;
    mutable std::mutex m_mutex;
    std::map<int, std::string> m_fds;  // watched descriptors and their paths
    std::map<Id, Unsynced> m_unsynced;
    std::vector<Change> m_changes;
    Fault m_fault = Fault::None;
    int m_failAt = 0;
    int m_writes = 0, m_syncs = 0;
    bool m_faultHappened = false;
    std::string m_faultPath;
};
