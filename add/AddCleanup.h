// What the add of one file leaves behind when a step fails: nothing. Guards that wipe a
// plaintext copy, delete a ciphertext temporary or take a half-finished copy back out of
// "Backup File <n>" when the routine is left early, and the report of a failed write.
// None of them catches the file exception: they clean up while it passes.
#pragma once

#include <cstdint>
#include <string>

// Wipes (SecureDeleteFile) the plaintext file at `path` if the routine leaves before
// Release(). Declare it before the stream that writes the file, so the stream is closed
// first.
class WipeOnExit {
  public:
    WipeOnExit() = default;
    explicit WipeOnExit(std::string path) : m_path(std::move(path)) {}
    ~WipeOnExit();
    WipeOnExit(const WipeOnExit&) = delete;
    WipeOnExit& operator=(const WipeOnExit&) = delete;

    void Arm(const std::string& path) { m_path = path; }
    void Release() { m_path.clear(); }

  private:
    std::string m_path;
};

// Deletes the file at `path` (it holds only ciphertext) when the guard ends, unless
// Release() was called. Done() deletes it at once.
class RemoveOnExit {
  public:
    RemoveOnExit() = default;
    ~RemoveOnExit() { Done(); }
    RemoveOnExit(const RemoveOnExit&) = delete;
    RemoveOnExit& operator=(const RemoveOnExit&) = delete;

    void Arm(const std::string& path) { m_path = path; }
    void Done();

  private:
    std::string m_path;
};

// Cuts "Backup File <n>" back to the length it had before a copy was appended, unless the
// copy's index line was written (Commit()).
class TruncateOnExit {
  public:
    TruncateOnExit(std::string path, int64_t length) : m_path(std::move(path)), m_length(length) {}
    ~TruncateOnExit();
    TruncateOnExit(const TruncateOnExit&) = delete;
    TruncateOnExit& operator=(const TruncateOnExit&) = delete;

    void Commit() { m_path.clear(); }

  private:
    std::string m_path;
    int64_t m_length;
};

// Sets a file's length (truncate). False when it cannot.
bool TruncateFile(const std::string& winPath, int64_t length);

// A write or a close that failed (a full disk, as a rule) ends the command: raises the file
// exception for `fileName` with the cause of `err` (diskFull for ENOSPC; never "None.").
[[noreturn]] void ThrowWriteFailure(int err, const std::string& fileName);
