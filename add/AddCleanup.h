// What the add of one file leaves behind when a step fails: nothing. The guard that takes a
// half-finished copy back out of "Backup File <n>" when the routine is left early (the
// plaintext and ciphertext temporaries are storage/TempFiles.h's). It does not catch the file
// exception: it cleans up while the exception passes.
#pragma once

#include <cstdint>
#include <string>

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
