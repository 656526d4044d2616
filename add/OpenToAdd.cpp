// Opening the file to add and its digest.
#include "add/OpenToAdd.h"

#include <cstdint>

#include "platform/FileException.h"
#include "storage/Md5.h"

namespace {

bool OpenForReading(const std::string& path, platform::CFile& file, int& cause) {
    // A folder is no file: the framework's open refuses it with AccessDenied.
    if (platform::IsDirectory(path)) {
        cause = CFileException::accessDenied;
        return false;
    }
    return file.Open(path, "rb", platform::Share::DenyNone, &cause);
}

bool DefaultFrameworkOpen(const std::string& path, int& cause) {
    platform::CFile probe;
    return OpenForReading(path, probe, cause);
}

FrameworkOpenFn g_frameworkOpen = DefaultFrameworkOpen;

}  // namespace

FrameworkOpenFn SetFrameworkOpen(FrameworkOpenFn open) {
    FrameworkOpenFn previous = g_frameworkOpen;
    g_frameworkOpen = open ? open : DefaultFrameworkOpen;
    return previous;
}

OpenOutcome OpenFileToAdd(const std::string& path, platform::CFile& file, int& cause) {
    int streamCause = 0;
    if (OpenForReading(path, file, streamCause))
        return OpenOutcome::Opened;
    cause = 0;
    if (g_frameworkOpen(path, cause))
        return OpenOutcome::FailedWithoutCause;
    return OpenOutcome::FailedWithCause;
}

std::string DigestFromStart(platform::CFile& file) {
    // The byte count is the stream's length: for a regular file that is the number a read
    // to its end would count, without reading it twice.
    const int64_t count = file.Length();
    const int64_t pieces = count / 64;
    unsigned char buffer[64];
    Md5Context context;
    MD5Init(&context);
    file.Seek(0, SEEK_SET);
    for (int64_t piece = 0; piece < pieces; ++piece) {
        size_t got = 0;
        for (; got < sizeof buffer; ++got) {
            const int c = file.GetC();
            if (c < 0)
                break;
            buffer[got] = static_cast<unsigned char>(c);
        }
        MD5Update(&context, buffer, got);
        if (got < sizeof buffer)
            break;  // the file became shorter meanwhile
    }
    // The rest, up to the end of the file (in pieces of at most 64 should it have grown).
    size_t tail = 0;
    for (int c; (c = file.GetC()) >= 0;) {
        buffer[tail++] = static_cast<unsigned char>(c);
        if (tail == sizeof buffer) {
            MD5Update(&context, buffer, tail);
            tail = 0;
        }
    }
    MD5Update(&context, buffer, tail);
    file.Seek(0, SEEK_SET);
    return DigestHex(MD5Final(&context));
}
