// Opening the file to add. When the stream cannot open it, the framework's own open is tried
// to learn the cause; a folder cannot be opened (its cause is AccessDenied).
#pragma once

#include <string>

#include "platform/File.h"

enum class OpenOutcome {
    Opened,              // `file` is open for binary reading at its start
    FailedWithCause,     // `cause` says why
    FailedWithoutCause,  // the framework's open succeeded: no cause to tell
};

OpenOutcome OpenFileToAdd(const std::string& path, platform::CFile& file, int& cause);

// The framework's open, retried after the stream's open failed: false with the cause when
// it fails too. Tests may put another in its place; the previous one is returned.
using FrameworkOpenFn = bool (*)(const std::string& path, int& cause);
FrameworkOpenFn SetFrameworkOpen(FrameworkOpenFn open);
