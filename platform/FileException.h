// The framework's file exception: a failed open raises it with a cause (0-14) and the
// file's name. This header owns the cause numbers, the table of cause names shown after
// "\nReason: ", the mapping from errno, and the text the framework shows when such an
// exception ends a command.
#pragma once

#include <exception>
#include <string>

class CFileException : public std::exception {
  public:
    enum Cause {
        none = 0,
        genericException = 1,
        fileNotFound = 2,
        badPath = 3,
        tooManyOpenFiles = 4,
        accessDenied = 5,
        invalidFile = 6,
        removeCurrentDir = 7,
        directoryFull = 8,
        badSeek = 9,
        hardIO = 10,
        sharingViolation = 11,
        lockViolation = 12,
        diskFull = 13,
        endOfFile = 14,
    };

    CFileException(int cause, std::string fileName);

    int m_cause;
    std::string m_strFileName;

    const char* what() const noexcept override { return m_what.c_str(); }

    // The cause of a failed system call, from its errno.
    static int CauseFromErrno(int err);
    // Throws the exception for `fileName` with the cause of `err`.
    [[noreturn]] static void ThrowErrno(int err, const std::string& fileName);
    // A write or a close that failed (a full disk, as a rule) ends the command: the cause of
    // `err` (diskFull for ENOSPC), never "None." even when errno was not set.
    [[noreturn]] static void ThrowWriteError(int err, const std::string& fileName);

  private:
    std::string m_what;
};

// The cause name of the table, "None." to "EndOfFile."; "Generic." for a cause outside 0-14.
const char* FileErrorName(int cause);

// What the framework shows when a file exception ends a command: one message naming the
// file and the cause.
std::string FrameworkFileErrorText(const CFileException& e);
