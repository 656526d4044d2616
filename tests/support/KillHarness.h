// The kill tests' harness. A command runs in a child process that ends itself at the k-th
// point where the stored files change (k = 1, 2, ... until the command completes), then in
// children killed at moments spread over the command; every run starts from the same copy of
// the test's prefix. After each interruption the next start's recovery runs and every stored
// file is held to the rules: each database decrypts, its records parse and its digest is its
// "Database Index" line's; each backup pair agrees with itself (the backup file is exactly
// its entries' copies, the digests one line for each), every record has its one entry and
// every copy is a version its file had and has the digest kept for it; no plaintext, staged,
// temporary or recovery file is left.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

class TempPrefix;

class KillHarness {
  public:
    explicit KillHarness(TempPrefix& prefix) : m_p(prefix) {}
    ~KillHarness();

    // Writes a file of the test's drives; its bytes are a version its copy may hold.
    void Write(const std::string& winPath, const std::string& bytes);
    bool IsVersion(const std::string& winPath, const std::string& bytes) const;
    // The prefix as it is now is where every run starts.
    void Snapshot();

    // Runs `command` in a child, each time from the snapshot. After each interruption the
    // recovery and the inspection, then `after` with the name of the point the child
    // stopped at ("" after a kill). Returns the names of the points a whole run passes.
    std::vector<std::string> EveryInterruption(const std::function<void()>& command,
                                               const std::function<void(const std::string&)>& after,
                                               int kills = 6);

  private:
    // Runs the command stopped at point `stopAt` (0: none) or killed after `killAfterUs`;
    // true when it did not complete. `passed` gets the points it passed.
    bool Child(const std::function<void()>& command, int stopAt, long killAfterUs,
               std::vector<std::string>& passed);
    void BackToSnapshot();
    void RecoverAndInspect();
    void InspectPair(const std::string& database, const std::string& n,
                     const std::vector<std::string>& recordPaths);

    TempPrefix& m_p;
    std::map<std::string, std::set<std::string>> m_versions;  // each file's versions' MD5s
};
