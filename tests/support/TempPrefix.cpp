// A test's own prefix in a fresh temporary folder, removed again with everything in it.
// Derived keys are cached per password for the whole process: deriving one takes
// 600,000 rounds, which is slow under the sanitizers.
#include "tests/support/TempPrefix.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "platform/Drives.h"
#include "platform/Prefix.h"
#include "platform/Registry.h"
#include "storage/Crypto.h"

namespace fs = std::filesystem;

namespace {

Key CachedKey(const std::string& password) {
    static std::mutex mutex;
    static std::map<std::string, Key> keys;
    std::lock_guard<std::mutex> lock(mutex);
    auto it = keys.find(password);
    if (it == keys.end())
        it = keys.emplace(password, DeriveKey(password)).first;
    return it->second;
}

std::string MakeTempRoot() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/quillstead-test-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data()))
        throw std::runtime_error("mkdtemp failed for " + pattern);
    return std::string(buf.data());
}

// Gives the owner full rights on every folder and file below `root` (links not followed),
// so that whatever a test made read-only can be removed.
void MakeWritable(const std::string& root) {
    std::error_code ec;
    fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, ec);
    for (fs::recursive_directory_iterator
             it(root, fs::directory_options::skip_permission_denied, ec),
         end;
         !ec && it != end; it.increment(ec)) {
        if (it->is_symlink(ec))
            continue;
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        ec.clear();
    }
}

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The seam of the innermost TempPrefix, so that one ending gives the seam back to the one
// around it (Ui() itself cannot be asked while none is installed).
IUserInterface* g_installedUi = nullptr;

}  // namespace

Key TestKey(const std::string& password) {
    return CachedKey(password);
}

TempPrefix::TempPrefix(const std::string& password) : root(MakeTempRoot()) {
    platform::SetPrefixRoot(root + "/prefix");
    platform::FirstStartSetup();
    fs::create_directories(root + "/e");
    platform::SetDriveLink('e', root + "/e");
    m_previousUi = g_installedUi;
    g_installedUi = &ui;
    SetUi(&ui);
    frame.SetKey(CachedKey(password));
}

TempPrefix::~TempPrefix() {
    frame.m_checkWorkFile.reset();
    if (&Ui() == &ui)
        SetUi(nullptr);
    MakeWritable(root);
    std::error_code ec;
    fs::remove_all(root, ec);
}

std::string TempPrefix::Host(const std::string& winPath) const {
    return platform::HostPath(winPath);
}

void TempPrefix::WriteFile(const std::string& winPath, const std::string& bytes) const {
    const fs::path host(Host(winPath));
    std::error_code ec;
    fs::create_directories(host.parent_path(), ec);
    std::ofstream out(host, std::ios::binary | std::ios::trunc);
    if (!out)
        throw std::runtime_error("cannot write " + host.string());
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + host.string());
}

std::string TempPrefix::ReadFile(const std::string& winPath) const {
    const std::string host = Host(winPath);
    std::ifstream in(host, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + host);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool TempPrefix::Exists(const std::string& winPath) const {
    struct stat st;
    return lstat(Host(winPath).c_str(), &st) == 0;
}

void TempPrefix::SetReg(const std::string& subkey, const std::string& value) const {
    if (!platform::RegWriteValue(subkey, value))
        throw std::runtime_error("cannot write the setting " + subkey);
}

void TempPrefix::RemoveReg(const std::string& subkey) const {
    // The key's section ("[...\<subkey>]" and its value line) is left out of the file.
    const std::string file = platform::RegistryFilePath();
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + file);
    const std::string header = Lower("[HKEY_CURRENT_USER\\Software\\Quillstead\\" + subkey + "]");
    std::string out, line;
    bool skipping = false;
    while (std::getline(in, line)) {
        std::string bare = line;
        if (!bare.empty() && bare.back() == '\r')
            bare.pop_back();
        if (!bare.empty() && bare[0] == '[')
            skipping = Lower(bare) == header;
        if (!skipping)
            out += line + "\n";
    }
    in.close();
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(out.data(), static_cast<std::streamsize>(out.size()));
}

std::vector<std::string> TempPrefix::FilesNamed(const std::string& part) const {
    std::vector<std::string> found;
    std::error_code ec;
    for (fs::recursive_directory_iterator
             it(root, fs::directory_options::skip_permission_denied, ec),
         end;
         !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.find(part) != std::string::npos && !it->is_directory(ec))
            found.push_back(it->path().string());
    }
    return found;
}
