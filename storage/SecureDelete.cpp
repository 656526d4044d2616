// The wipe of a plaintext copy: four rounds over the file's length, each a pass of 0x00
// bytes and a pass of 0xFF bytes, every pass pushed to the file before the next begins,
// the last one forced to the disk, then the file is deleted; the wipe of a copy that may or
// may not be there; and the wipe of a copy through the stream it was made with. Only a file
// the program made is ever overwritten: a regular file with one name, owned by this user,
// opened without following a link. Anything else under a copy's name (a symbolic link, a
// second link to another file, someone else's file) only loses that name, so nothing planted
// there can turn the wipe on the file it points at.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/Durable.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "storage/ProtectedFile.h"

namespace {

// Overwrites the open file's first `length` bytes four times over; false when a write failed.
bool Overwrite(platform::CFile& file, uint32_t length) {
    std::vector<uint8_t> pass(std::min<size_t>(length, size_t(64) << 10));
    bool ok = true;
    for (int round = 0; round < 4; ++round) {
        for (uint8_t fill : {uint8_t(0x00), uint8_t(0xFF)}) {
            if (!pass.empty())
                std::memset(pass.data(), fill, pass.size());
            file.Seek(0, SEEK_SET);
            for (uint32_t left = length; left > 0;) {
                size_t n = std::min<size_t>(left, pass.size());
                if (!file.Write(pass.data(), n)) {
                    ok = false;
                    break;  // the delete still runs
                }
                left -= uint32_t(n);
            }
            ok = file.Flush() && ok;
        }
    }
    return file.Sync() && ok;
}

}  // namespace

void SecureDeleteFile(const std::string& path) {
    platform::CFile file;
    int cause = 0;
    if (!file.Open(path, "r+bn", platform::Share::DenyNone, &cause)) {
        // Not a regular file reached without a link: only the name goes.
        if (platform::FileExists(path) && !platform::IsSymbolicLink(path) &&
            platform::FileLength(path) >= 0)
            throw CFileException(cause, path);
        if (!platform::RemoveFile(path))
            throw CFileException(platform::LastFileErrorCause(), path);
        return;
    }
    if (platform::IsOwnSingleLinkFile(file.Fd()))
        Overwrite(file, uint32_t(file.Length()));
    file.Close();
    if (!platform::RemoveFile(path))
        throw CFileException(platform::LastFileErrorCause(), path);
}

void WipeIfPresent(const std::string& path) noexcept {
    if (path.empty() || !platform::FileExists(path))
        return;
    try {
        SecureDeleteFile(path);
    } catch (...) {
        platform::RemoveFile(path);  // it could not be opened for the wipe: at least the name goes
    }
}

void WipeOpenFile(platform::CFile& file, const std::string& path) noexcept {
    if (file.IsOpen()) {
        if (platform::IsOwnSingleLinkFile(file.Fd()))
            Overwrite(file, uint32_t(file.Length()));
        file.Close();
    }
    platform::RemoveFile(path);
}
