// The abilities criterion: the cookie name, the network libraries named in an executable's
// bytes, and the core system folders.
#include "criteria/AbilitiesCriterion.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "criteria/ByteSearch.h"
#include "criteria/CriterionFile.h"
#include "criteria/FolderWalk.h"
#include "database/ListView.h"

namespace {

using Verdict = Criterion::Verdict;

constexpr uint64_t kSmallestSearched = 10;

// Whether one of the libraries is named in the first `size` bytes of the file.
Verdict NamesLibrary(platform::CFile& file, uint64_t size, CProgressDlg& progress) {
    static const NamesFinder finder(
        std::vector<std::string>(kNetworkLibraries, kNetworkLibraries + 6));
    // The bytes before a '.' not yet looked at, and those after it, are kept for the next
    // block.
    FileBlocks blocks(file, size, finder.MaxBefore() + finder.MaxFrom());
    uint64_t next = 0;  // the first '.' position not yet looked at
    while (true) {
        if (!blocks.Next(next >= finder.MaxBefore() ? next - finder.MaxBefore() : 0, progress))
            return Verdict::Cancelled;
        const uint64_t end = blocks.End();
        // A '.' is looked at once every name around it is in hand, or no more bytes come.
        const uint64_t to =
            blocks.Finished() ? end : (end >= finder.MaxFrom() ? end - finder.MaxFrom() : 0);
        const uint64_t base = blocks.Base();
        if (to > next &&
            finder.Find(blocks.Data(), size_t(end - base), size_t(next - base), size_t(to - base)))
            return Verdict::Match;
        next = std::max(next, to);
        if (blocks.Finished())
            return Verdict::NoMatch;
    }
}

}  // namespace

const char* const kNetworkLibraries[6] = {"wininet.dll", "WSOCK32.dll", "WINSOCK.DLL",
                                          "MSWSOCK.dll", "WS2THK.DLL",  "ws2_32.dll"};

Abilities Abilities::FromView(const CListview& view) {
    Abilities a;
    a.network = view.m_critAbilityNetwork == 1;
    a.coreOs = view.m_critAbilityCoreOs == 1;
    a.cookies = view.m_critAbilityCookies == 1;
    return a;
}

bool HasExecutableExtension(const std::string& path) {
    const size_t dot = path.rfind('.');
    const std::string extension = dot == std::string::npos ? std::string() : path.substr(dot + 1);
    if (extension.size() != 3)
        return false;
    std::string lower = extension;
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = char(c + 0x20);
    }
    return lower == "exe" || lower == "dll" || lower == "ocx";
}

bool IsCoreSystemPath(const std::string& path) {
    const size_t colon = path.find(':');
    const size_t at = colon == std::string::npos ? 1 : colon + 2;
    if (at > path.size())
        return false;
    return path.compare(at, 7, "WINDOWS") == 0 || path.compare(at, 5, "WINNT") == 0;
}

Criterion::Verdict TestFileAbilities(const WalkEntry& entry, const Abilities& abilities,
                                     CProgressDlg& progress) {
    const std::string path = WalkFilePath(entry);
    const uint64_t size = entry.find.Size();
    bool match = abilities.cookies && entry.Name() == "index.dat";
    const bool executable = HasExecutableExtension(path);
    if (abilities.network && !entry.isFolder && size >= kSmallestSearched && executable) {
        platform::CFile file;
        switch (OpenFileToCheck(path, file)) {
            case CriterionOpen::Opened: {
                const Verdict found = NamesLibrary(file, size, progress);
                if (found == Verdict::Cancelled)
                    return found;
                match = match || found == Verdict::Match;
                break;
            }
            case CriterionOpen::NotChecked:
                break;
            case CriterionOpen::EndCommand:
                return Verdict::EndCommand;
        }
    }
    if (abilities.coreOs && !entry.isFolder && executable && IsCoreSystemPath(path))
        match = true;
    return match ? Verdict::Match : Verdict::NoMatch;
}

Criterion::Verdict AbilitiesCriterion::Test(const WalkEntry& entry, CriterionContext& context) {
    return TestFileAbilities(entry, m_abilities, context.progress);
}
