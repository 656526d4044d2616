// The end-to-end tests' common ground: the temporary folder, the driver run and the sample
// prefix copy (see E2eTest.h).
#include "tests/e2e/E2eTest.h"

#include <stdlib.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/Json.h"

namespace fs = std::filesystem;

namespace {

std::string Quote(const std::string& arg) {
    std::string out = "'";
    for (char c : arg) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

}  // namespace

std::string ReadHost(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteHost(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string MessageBoxLine(const std::string& text, const char* icon) {
    return "{\"event\":\"messagebox\",\"text\":" + JsonString(text) + ",\"icon\":\"" + icon +
           "\",\"buttons\":\"ok\",\"answer\":\"ok\"}";
}

void E2eTest::SetUp() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/quill-e2e-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root = pattern;
    prefix = root + "/prefix";
}

void E2eTest::TearDown() {
    if (root.empty())
        return;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        if (!it->is_symlink())
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(root, ec);
}

DriverRun E2eTest::Drive(const std::vector<std::string>& args,
                         const std::vector<std::string>& script) {
    std::string cmd = Quote(QUILL_DRIVER);
    if (!script.empty()) {
        std::string text;
        for (const std::string& line : script) text += line + "\n";
        WriteHost(root + "/script.jsonl", text);
        cmd += " --script " + Quote(root + "/script.jsonl");
    }
    for (const std::string& a : args) cmd += " " + Quote(a);
    cmd += " >" + Quote(root + "/out") + " 2>" + Quote(root + "/err");
    DriverRun run;
    const int raw = std::system(cmd.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.lines = Lines(ReadHost(root + "/out"));
    run.err = ReadHost(root + "/err");
    return run;
}

void E2eTest::CopySamplePrefix(const std::string& to) const {
    fs::copy(QUILL_VECTORS_DIR "/sample-prefix", to, fs::copy_options::recursive);
    for (auto& entry : fs::recursive_directory_iterator(to))
        fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add);
    fs::permissions(to, fs::perms::owner_write, fs::perm_options::add);
}
