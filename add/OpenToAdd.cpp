// Opening the file to add.
#include "add/OpenToAdd.h"

#include "platform/FileException.h"

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
