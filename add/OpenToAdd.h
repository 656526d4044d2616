// Opening the file to add and its digest. The file is read through a buffered stream, one
// byte at a time. When the stream cannot open it, the framework's own open is tried to learn
// the cause; a folder cannot be opened (its cause is AccessDenied).
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

// The MD5 digest of the open file as 32 lower-case hexadecimal characters, fed as
// floor(count / 64) pieces of 64 bytes and then the rest; the stream is put back at the
// file's start.
std::string DigestFromStart(platform::CFile& file);
