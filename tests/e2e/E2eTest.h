// The end-to-end tests' common ground: a fresh temporary folder per test, the driver run with
// its arguments and scripted answers (its printed lines, exit status and error text collected),
// a writable copy of the shared sample prefix, and host file helpers.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

struct DriverRun {
    int status = -1;
    std::vector<std::string> lines;  // standard output, one entry a line
    std::string err;                 // standard error
};

std::string ReadHost(const std::string& path);
void WriteHost(const std::string& path, const std::string& bytes);
std::vector<std::string> Lines(const std::string& text);
// The line the driver prints for a message box with an OK button answered OK.
std::string MessageBoxLine(const std::string& text, const char* icon = "information");

class E2eTest : public ::testing::Test {
  protected:
    void SetUp() override;     // makes `root`; `prefix` is root + "/prefix"
    void TearDown() override;  // removes `root`, read-only copies included

    // Runs the driver with exactly these arguments; a non-empty `script` (answer lines) is
    // written to a file and passed with --script before them.
    DriverRun Drive(const std::vector<std::string>& args,
                    const std::vector<std::string>& script = {});

    // Copies the shared sample prefix (read-only as shipped) to `to`, made writable.
    void CopySamplePrefix(const std::string& to) const;

    std::string root, prefix;
};
