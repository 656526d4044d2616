// The criterion of the add by abilities, `TestFileAbilities`. An entry matches when one of
// the chosen tests succeeds; they are applied in this order, each only when chosen:
//  1. cookie index file: the entry's name is "index.dat", case included (folders too);
//  2. network: a file (not a folder) of at least 10 bytes with an executable extension
//     ("exe", "dll" or "ocx" after the last '.' of its path, any letter case) whose bytes name
//     one of "wininet.dll", "WSOCK32.dll", "WINSOCK.DLL", "MSWSOCK.dll", "WS2THK.DLL" and
//     "ws2_32.dll", letter case ignored, wholly inside the file. The file is opened as
//     CriterionFile.h says ("Couldn't check" fails this test only; "Unknown" ends the
//     command);
//  3. core system: a file (not a folder) with an executable extension whose path has
//     "WINDOWS" (7 characters) or "WINNT" (5), case included, two characters after its first
//     ':' (the first folder of its drive, or the start of that folder's name), whatever its
//     size.
// The whole file is searched, however large, and Cancel is polled while it is read.
#pragma once

#include <cstdint>
#include <string>

#include "criteria/Criterion.h"

class CListview;

struct Abilities {
    bool network = false;  // m_critAbilityNetwork
    bool coreOs = false;   // m_critAbilityCoreOs
    bool cookies = false;  // m_critAbilityCookies

    static Abilities FromView(const CListview& view);
};

// The network library names, in the order they are searched.
extern const char* const kNetworkLibraries[6];

// Whether the text after the last '.' of a path is "exe", "dll" or "ocx" (any letter case).
bool HasExecutableExtension(const std::string& path);
// Whether the path has "WINDOWS" or "WINNT" two characters after its first ':'.
bool IsCoreSystemPath(const std::string& path);

Criterion::Verdict TestFileAbilities(const WalkEntry& entry, const Abilities& abilities,
                                     CProgressDlg& progress);

class AbilitiesCriterion : public Criterion {
  public:
    explicit AbilitiesCriterion(const Abilities& abilities) : m_abilities(abilities) {}
    bool TestsFolders() const override { return true; }
    Verdict Test(const WalkEntry& entry, CriterionContext& context) override;

  private:
    Abilities m_abilities;
};
