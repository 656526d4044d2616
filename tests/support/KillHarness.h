// The kill tests' harness. A command runs in a child process, each time from the same copy of
// the test's prefix, and is interrupted in one of four ways (the harness's mode):
//   Stop       it ends itself at the k-th point where the stored files change (k = 1, 2, ...
//              until the command completes), then it is killed at moments spread over it;
//   PowerLoss  the power goes at the k-th point, and once more after the command's end:
//              every write not made durable by a sync (of the file, and of its folder after
//              a name changed in it) is lost;
//   DiskFull   every write from the n-th on fails with ENOSPC (n = 1, 2, ... until the
//              command makes fewer writes), then the power goes;
//   IoError    the n-th write or sync alone fails with EIO, then the power goes.
// After each interruption the next start's recovery runs (in PowerLoss, DiskFull and IoError
// the power goes once more at its end, and it runs again) and every stored file is held to
// the rules: each database decrypts, its records parse and its digest is its "Database Index"
// line's; each backup pair agrees with itself (the backup file is exactly its entries'
// copies, the digests one line for each), every record has its one entry, every copy is a
// version its file had and has the digest kept for it, and no copy there was at the start
// is lost; no plaintext, staged, temporary or recovery file is left. A failed write ends
// either as the command would have ended without it (it could do without that write) or in a
// message that names a file and the cause ("DiskFull." for a full disk), and then nothing
// says it succeeded.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

class TempPrefix;

class KillHarness {
  public:
    enum class Mode { Stop, PowerLoss, DiskFull, IoError };

    KillHarness(TempPrefix& prefix, Mode mode = Mode::Stop) : m_p(prefix), m_mode(mode) {}
    ~KillHarness();

    // Writes a file of the test's drives; its bytes are a version its copy may hold.
    void Write(const std::string& winPath, const std::string& bytes);
    bool IsVersion(const std::string& winPath, const std::string& bytes) const;
    // The prefix as it is now is where every run starts; the copies it holds must stay.
    void Snapshot();

    // Runs `command` in a child, each time from the snapshot, interrupted as the mode says.
    // After each interruption the recovery and the inspection, then `after` with the name of
    // the point the child stopped at ("" after a kill, a failed write or a power loss after
    // the end). Returns the names of the points a whole run passes.
    std::vector<std::string> EveryInterruption(const std::function<void()>& command,
                                               const std::function<void(const std::string&)>& after,
                                               int kills = 6);

  private:
    struct Child;
    struct Outcome;
    Outcome RunChild(const std::function<void()>& command, const Child& how);
    void Interrupted(const std::string& trace, bool recoverOnPowerLoss,
                     const std::function<void(const std::string&)>& after,
                     const std::string& where);
    std::vector<std::string> StopOrLosePower(const std::function<void()>& command,
                                             const std::function<void(const std::string&)>& after,
                                             int kills);
    std::vector<std::string> FailEveryWrite(const std::function<void()>& command,
                                            const std::function<void(const std::string&)>& after);
    void BackToSnapshot();
    void RecoverAndInspect();
    void InspectPair(const std::string& database, const std::string& n,
                     const std::vector<std::string>& recordPaths);

    TempPrefix& m_p;
    Mode m_mode;
    std::map<std::string, std::set<std::string>> m_versions;  // each file's versions' MD5s
    std::map<std::string, std::set<std::string>> m_copies;    // each database's copied files
};

// Every mode, for tests run once in each, named after the mode.
::testing::internal::ParamGenerator<KillHarness::Mode> EveryKillMode();
std::string KillModeName(const ::testing::TestParamInfo<KillHarness::Mode>& info);
