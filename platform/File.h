// File streams with the C open modes, on Windows-style paths. A stream is buffered, so
// reading or writing one byte at a time is cheap. Text mode ("t", or no "b") turns "\n"
// into "\r\n" on writes and "\r\n" into "\n" on reads, as on Windows. Every open takes a
// lock on the file: a shared lock normally, an exclusive one when the file is shared with
// nobody, so an open that meets another holder's conflicting lock fails with the
// sharing-violation cause. Only plain files open: a folder, a device or a pipe is refused
// with the access-denied cause. This file also owns the plain file operations (exists, remove,
// rename, replace, copy, make folder). Both reach the disk through the file-system seam
// (FileSystem.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace platform {

enum class Share {
    DenyNone,  // others may open it too (shared lock)
    DenyAll,   // shared with nobody (exclusive lock)
};

class CFile {
  public:
    CFile() = default;
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // fopen-style modes: "r", "w", "a", "r+", "w+", "a+", each with "b" or "t"; "x" with "w"
    // creates the file only when no file or link of that name exists, and "n" never opens
    // through a symbolic link. A file the open creates has the mode 0600.
    // Returns false on failure and sets *cause (the CFileException cause) when given.
    bool Open(const std::string& winPath, const char* mode, Share share = Share::DenyNone,
              int* cause = nullptr);
    // As Open, but a failure raises CFileException with the cause and the path.
    void OpenOrThrow(const std::string& winPath, const char* mode, Share share = Share::DenyNone);

    bool IsOpen() const { return m_fd >= 0; }
    // Flushes and closes; false when the flush or close failed (e.g. disk full).
    bool Close();
    const std::string& GetFilePath() const { return m_path; }

    // Reading. GetC returns the next byte (0-255) or -1 at the end or on error.
    int GetC() {
        if (m_rpos < m_rlen)
            return m_buf[m_rpos++];
        return GetCSlow();
    }
    size_t Read(void* dst, size_t n);
    // Reads one whole line, its line break included (in text mode "\r\n" arrives as "\n").
    // False when nothing was left to read. Lines are never cut.
    bool ReadLine(std::string& line);
    // Puts the last byte read back (as seeking one byte back does).
    bool UngetC();

    // Writing. Each returns false when the write failed.
    bool PutC(int c) {
        if (m_wlen < m_wcap && (c != '\n' || !m_text)) {
            m_buf[m_wlen++] = static_cast<unsigned char>(c);
            return true;
        }
        return PutCSlow(c);
    }
    bool Write(const void* src, size_t n);
    bool PutS(const std::string& s) { return Write(s.data(), s.size()); }
    bool Flush();
    // Flushes and forces the data to the disk.
    bool Sync();
    // Flushes and sets the file's length (what lies past it goes; a longer file reads zeros
    // there); false when it cannot.
    bool SetLength(int64_t length);

    // Positions (in bytes of the file). whence: SEEK_SET, SEEK_CUR, SEEK_END.
    bool Seek(int64_t offset, int whence);
    int64_t Tell() const;
    // The file's current length in bytes.
    int64_t Length() const;
    bool AtEnd();

    int Fd() const { return m_fd; }

  private:
    int GetCSlow();
    bool PutCSlow(int c);
    bool FillBuffer();
    bool FlushWrite();
    bool WriteRaw(const unsigned char* p, size_t n);
    void StartWriting();
    void DropReadAhead();

    int m_fd = -1;
    std::string m_path;
    bool m_text = false;
    bool m_append = false;
    bool m_canRead = false;
    bool m_canWrite = false;
    bool m_writeFailed = false;  // a write failed since the open (Close reports it)
    std::vector<unsigned char> m_buf;
    size_t m_rpos = 0, m_rlen = 0;  // read window, as the caller sees the bytes
    size_t m_rawLen = 0;            // bytes of the file the read window stands for
    // Text reads: the window indexes of each "\n" that was "\r\n" in the file.
    std::vector<size_t> m_crDropped;
    size_t m_wlen = 0;      // bytes waiting to be written
    size_t m_wcap = 0;      // room for them; 0 unless the buffer is in write use
    int64_t m_filePos = 0;  // file offset of m_buf[0]
};

// Plain file operations on Windows-style paths.
bool FileExists(const std::string& winPath);  // any kind of entry
bool IsDirectory(const std::string& winPath);
bool RemoveFile(const std::string& winPath);  // DeleteFile: not a folder
// MoveFile: fails when the target exists (as rename() does on Windows). Across file systems
// the file is copied and the source removed; the copy is written at `copyTemp` (made afresh)
// when one is given, so that a caller who noted that name can have it cleaned up after an
// interruption, else under a free name beside the target.
bool RenameFile(const std::string& from, const std::string& to,
                const std::string& copyTemp = std::string());
// Atomic replace: the target, if any, is replaced in one step.
bool ReplaceFile(const std::string& from, const std::string& to);
// CopyFile; with failIfExists false an existing target is overwritten. The copy is written at
// `copyTemp` (made afresh) when one is given, as RenameFile's.
bool CopyFile(const std::string& from, const std::string& to, bool failIfExists,
              const std::string& copyTemp = std::string());
bool CreateDirectory(const std::string& winPath);
// The last system error of these operations, as a CFileException cause.
int LastFileErrorCause();

}  // namespace platform
