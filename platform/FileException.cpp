// The framework's file exception: its cause numbers from errno, the table of cause names
// and the one message the framework shows when such an exception ends a command.
#include "platform/FileException.h"

#include <cerrno>
#include <utility>

namespace {

const char* const kCauseNames[] = {
    "None.",
    "Generic.",
    "FileNotFound.",
    "BadPath.",
    "TooManyOpenFiles.",
    "AccessDenied.",
    "InvalidFile.",
    "RemoveCurrentDir.",
    "DirectoryFull.",
    "BadSeek.",
    "No media in the disk drive.",
    "SharingViolation. ",
    "LockViolation.",
    "DiskFull.",
    "EndOfFile.",
};

}  // namespace

CFileException::CFileException(int cause, std::string fileName)
    : m_cause(cause), m_strFileName(std::move(fileName)) {
    m_what = FrameworkFileErrorText(*this);
}

int CFileException::CauseFromErrno(int err) {
    switch (err) {
        case 0:
            return none;
        case ENOENT:
            return fileNotFound;
        case ENOTDIR:
        case ENAMETOOLONG:
        case EINVAL:
        case ELOOP:
        case EXDEV:
            return badPath;
        case EMFILE:
        case ENFILE:
            return tooManyOpenFiles;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
        case EEXIST:
        case ENOTEMPTY:
            return accessDenied;
        case ESPIPE:
            return badSeek;
        case ENOMEDIUM:
            return hardIO;
        case EWOULDBLOCK:
        case EBUSY:
        case ETXTBSY:
            return sharingViolation;
        case ENOLCK:
            return lockViolation;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return diskFull;
        default:
            return genericException;
    }
}

void CFileException::ThrowErrno(int err, const std::string& fileName) {
    throw CFileException(CauseFromErrno(err), fileName);
}

void CFileException::ThrowWriteError(int err, const std::string& fileName) {
    int cause = err == ENOSPC ? int(diskFull) : CauseFromErrno(err);
    if (cause == none)
        cause = genericException;
    throw CFileException(cause, fileName);
}

const char* FileErrorName(int cause) {
    if (cause < 0 || cause >= int(sizeof kCauseNames / sizeof kCauseNames[0])) {
        return kCauseNames[CFileException::genericException];
    }
    return kCauseNames[cause];
}

std::string FrameworkFileErrorText(const CFileException& e) {
    return "Cannot access the file " + e.m_strFileName + ".\nReason: " + FileErrorName(e.m_cause);
}
