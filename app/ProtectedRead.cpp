// Reading a protected file into memory, or the file exception with its cause.
#include "app/ProtectedRead.h"

#include "platform/File.h"
#include "platform/FileException.h"
#include "storage/ProtectedFile.h"

std::string ReadProtectedFile(const Key& key, const std::string& path, const Iv& iv) {
    std::string plain;
    if (DecryptFileToMemory(key, path, iv, plain))
        return plain;
    // Learn why by opening it.
    platform::CFile probe;
    int cause = CFileException::genericException;
    if (probe.Open(path, "rb", platform::Share::DenyNone, &cause))
        cause = probe.Length() % 16 != 0 ? CFileException::invalidFile
                                         : CFileException::genericException;
    throw CFileException(cause, path);
}
