// A test's own prefix in a fresh temporary folder: set up as on a first start, with drive
// e: linked to <tmp>/e for the test's files, the scripted seam installed, and a frame whose
// key comes from a password. Removed again with everything in it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/MainFrame.h"
#include "tests/support/ScriptedUi.h"

class TempPrefix {
  public:
    explicit TempPrefix(const std::string& password = "test password");
    ~TempPrefix();

    std::string root;  // host path of the temporary folder (the prefix is root + "/prefix")
    ScriptedUi ui;
    CMainFrame frame;

    // The backup folder of the default settings, with its trailing backslash.
    std::string BackupDir() const { return "C:\\Program Files\\Quillstead\\Backup Files\\"; }

    std::string Host(const std::string& winPath) const;
    void WriteFile(const std::string& winPath, const std::string& bytes) const;
    std::string ReadFile(const std::string& winPath) const;  // throws when missing
    bool Exists(const std::string& winPath) const;
    void SetReg(const std::string& subkey, const std::string& value) const;
    // Takes the value out of the registry file, so reading it fails.
    void RemoveReg(const std::string& subkey) const;
    // Host paths of every file under the prefix and the drives' folders whose name holds
    // `part` (for "no plaintext copy is left" checks).
    std::vector<std::string> FilesNamed(const std::string& part) const;

  private:
    IUserInterface* m_previousUi = nullptr;
};

// The key of a password, derived once per process and then taken from a cache.
Key TestKey(const std::string& password);
