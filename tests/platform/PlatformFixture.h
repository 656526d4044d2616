// The platform tests' own fixture: a fresh prefix in a temporary folder, set up as on a
// first start, with drive e: linked to <tmp>/e for the test's files; the process's current
// folder is put back and everything is removed afterwards. Small host-file helpers too, and
// a way to run part of a test in a child process.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "platform/Drives.h"
#include "platform/Prefix.h"

class PlatformTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char cwd[PATH_MAX];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        m_oldCwd = cwd;
        m_oldWinCwd = platform::GetCurrentDirectory();
        char tmpl[] = "/tmp/quill-platform-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        tmp = tmpl;
        platform::SetPrefixRoot(tmp + "/prefix");
        platform::FirstStartSetup();
        ASSERT_EQ(mkdir((tmp + "/e").c_str(), 0777), 0);
        ASSERT_TRUE(platform::SetDriveLink('e', tmp + "/e"));
    }

    void TearDown() override {
        platform::SetCurrentDirectory(m_oldWinCwd);
        ASSERT_EQ(chdir(m_oldCwd.c_str()), 0);
        const std::string cmd = "chmod -R u+rwx '" + tmp + "' && rm -rf '" + tmp + "'";
        ASSERT_EQ(system(cmd.c_str()), 0);
    }

    // Host path of a file under drive e: ("a.txt" -> <tmp>/e/a.txt).
    std::string E(const std::string& name) const { return tmp + "/e/" + name; }

    static void WriteHost(const std::string& path, const std::string& bytes) {
        std::ofstream out(path, std::ios::binary);
        out << bytes;
        ASSERT_TRUE(out.good()) << path;
    }

    static std::string ReadHost(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

    static bool HostExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

    // Runs `body` in a child process and gives its exit code (-1 when it did not exit).
    static int ChildExitCode(const std::function<int()>& body) {
        const pid_t pid = fork();
        if (pid == 0)
            _exit(body());
        int status = 0;
        if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
            return -1;
        return WEXITSTATUS(status);
    }

    std::string tmp;

  private:
    std::string m_oldCwd, m_oldWinCwd;
};
