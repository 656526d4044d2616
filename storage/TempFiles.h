// The temporary files of one operation, removed however it ends (a file exception on its way
// to the command's end included): a plaintext copy is wiped, a ciphertext or backup-file copy
// is deleted. A file the operation puts in place, or removes itself, is handed over with Keep.
// Declare the guard before the streams on its files, so the streams are closed when it
// removes them. Nothing here raises: it may run while an exception is already on its way.
#pragma once

#include <string>
#include <vector>

class TempFiles {
  public:
    TempFiles() = default;
    ~TempFiles() { RemoveAll(); }
    TempFiles(const TempFiles&) = delete;
    TempFiles& operator=(const TempFiles&) = delete;

    void Wipe(const std::string& path) { m_files.push_back({path, true}); }
    void Delete(const std::string& path) { m_files.push_back({path, false}); }
    // The file is no longer temporary (renamed into place, or removed by the operation).
    void Keep(const std::string& path);
    // Deletes a held ciphertext file at once and forgets it.
    void DeleteNow(const std::string& path);
    // Removes every file still held, in the reverse order of registration.
    void RemoveAll();

    // Wipes a plaintext file when it exists; deletes it when it cannot be opened to wipe it.
    // Never raises.
    static void WipeIfPresent(const std::string& path);

  private:
    struct Entry {
        std::string path;
        bool wipe;
    };
    std::vector<Entry> m_files;
};
