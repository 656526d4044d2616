// The wipe of a plaintext copy: four rounds over the file's length, each a pass of 0x00
// bytes and a pass of 0xFF bytes, every pass pushed to the file before the next begins,
// the last one forced to the disk, then the file is deleted; and the wipe of a copy that may
// or may not be there. A symbolic link is never
// followed: it is only removed, so a link planted under a copy's name cannot turn the wipe
// on the file it points at.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/Durable.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "storage/ProtectedFile.h"

void SecureDeleteFile(const std::string& path) {
    if (platform::IsSymbolicLink(path)) {
        if (!platform::RemoveFile(path))
            throw CFileException(platform::LastFileErrorCause(), path);
        return;
    }
    platform::CFile file;
    file.OpenOrThrow(path, "r+bn");
    const uint32_t length = uint32_t(file.Length());

    std::vector<uint8_t> pass(std::min<size_t>(length, size_t(64) << 10));
    for (int round = 0; round < 4; ++round) {
        for (uint8_t fill : {uint8_t(0x00), uint8_t(0xFF)}) {
            if (!pass.empty())
                std::memset(pass.data(), fill, pass.size());
            file.Seek(0, SEEK_SET);
            for (uint32_t left = length; left > 0;) {
                size_t n = std::min<size_t>(left, pass.size());
                if (!file.Write(pass.data(), n))
                    break;  // the delete below still runs
                left -= uint32_t(n);
            }
            file.Flush();
        }
    }
    file.Sync();
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
