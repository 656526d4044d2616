// The abilities test: the core system paths and the executable extensions, then real
// entries: cookie index files, the network libraries (letter case, the 10-byte gate, a name
// cut by the end of the file or split by a block's border), a locked library (named, or
// ending the command when nothing tells why), a folder, and several abilities at once.
#include <gtest/gtest.h>

#include "criteria/AbilitiesCriterion.h"
#include "criteria/CriterionFile.h"
#include "criteria/FolderWalk.h"
#include "criteria/SearchProgressDlg.h"
#include "platform/File.h"
#include "platform/FindData.h"
#include "tests/support/AddEvents.h"
#include "tests/support/TempPrefix.h"
#include "tests/support/TestTree.h"

namespace {

using Verdict = Criterion::Verdict;

class AbilitiesMatchTest : public ::testing::Test {
  protected:
    // The test of the entry at `path` (written with `content` unless null).
    Verdict Test(const std::string& path, const char* content, const Abilities& abilities,
                 size_t size = std::string::npos) {
        if (content)
            prefix.WriteFile(path,
                             size == std::string::npos ? content : std::string(content, size));
        platform::WIN32_FIND_DATA data;
        EXPECT_TRUE(platform::GetFindData(path, data)) << path;
        const std::string folder = path.substr(0, path.rfind('\\') + 1);
        const WalkEntry entry{data, folder, WalkEntryIsFolder(data.dwFileAttributes)};
        return TestFileAbilities(entry, abilities, progress);
    }

    const Abilities kNetwork{true, false, false};
    const Abilities kCoreOs{false, true, false};
    const Abilities kCookies{false, false, true};
    TempPrefix prefix;
    CSearchProgressDlg progress;
};

}  // namespace

TEST_F(AbilitiesMatchTest, CoreSystemPathsAndExecutableExtensions) {
    const struct {
        const char* path;
        bool core;
    } kCases[] = {
        {"C:\\WINDOWS\\system32\\kernel32.dll", true},
        {"C:\\WINNT\\notepad.EXE", true},
        {"C:\\Windows\\explorer.exe", false},
        {"C:\\WINDOWS.OLD\\setup.exe", true},
        {"C:\\WINNT4\\x.ocx", true},
        {"D:\\Backup\\WINDOWS\\x.dll", false},
        {"C:\\WINDOWS\\readme.txt", false},
        {"C:\\WINDOWS\\dll", false},
        {"C:", false},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(HasExecutableExtension(c.path) && IsCoreSystemPath(c.path), c.core) << c.path;
}

TEST_F(AbilitiesMatchTest, EachAbilityAndItsGates) {
    const std::string x(FileBlocks::kBlock - 9, 'x');
    const struct {
        const char* path;
        std::string content;
        Abilities abilities;
        Verdict verdict;
    } kCases[] = {
        {"E:\\a\\index.dat", "", kCookies, Verdict::Match},
        {"E:\\b\\INDEX.DAT", "", kCookies, Verdict::NoMatch},
        {"E:\\a\\index.dat.bak", "", kCookies, Verdict::NoMatch},
        {"C:\\WINDOWS\\empty.dll", "", kCoreOs, Verdict::Match},
        {"E:\\n\\a.dll", "MZ..Ws2_32.DLL..", kNetwork, Verdict::Match},
        {"E:\\n\\a.txt", "MZ..WINSOCK.DLL..", kNetwork, Verdict::NoMatch},
        {"E:\\n\\nine.exe", "ws2_32.dl", kNetwork, Verdict::NoMatch},
        {"E:\\n\\ten.dll", "ws2_32.dll", kNetwork, Verdict::Match},
        {"E:\\n\\cut.exe", "MZ......WSOCK32.d", kNetwork, Verdict::NoMatch},
        {"E:\\n\\last.OCX", "MZ......mswsock.DLL", kNetwork, Verdict::Match},
        {"E:\\n\\border.dll", x + "wininet.dll", kNetwork, Verdict::Match},
        {"E:\\n\\other.dll", x + "kernel32.dll ws2_32.dl", kNetwork, Verdict::NoMatch},
        {"E:\\n\\any.dll", "", Abilities{}, Verdict::NoMatch},
        {"C:\\WINDOWS\\net.dll", "WS2THK.DLL", Abilities{true, true, true}, Verdict::Match},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(Test(c.path, c.content.c_str(), c.abilities, c.content.size()), c.verdict)
            << c.path;
    // A folder is never searched, nor a system file, though its name may be index.dat.
    MakeTestFolder(prefix, "C:\\WINDOWS\\x.dll");
    EXPECT_EQ(Test("C:\\WINDOWS\\x.dll", nullptr, Abilities{true, true, false}), Verdict::NoMatch);
    MakeTestFolder(prefix, "E:\\f\\index.dat");
    EXPECT_EQ(Test("E:\\f\\index.dat", nullptr, kCookies), Verdict::Match);
    EXPECT_TRUE(prefix.ui.Events().empty());
}

TEST_F(AbilitiesMatchTest, ALockedLibraryIsNamedAndStillASystemFile) {
    prefix.WriteFile("C:\\WINDOWS\\held.dll", "ws2_32.dll");
    platform::CFile held;
    ASSERT_TRUE(held.Open("C:\\WINDOWS\\held.dll", "rb", platform::Share::DenyAll));
    EXPECT_EQ(Test("C:\\WINDOWS\\held.dll", nullptr, kNetwork), Verdict::NoMatch);
    EXPECT_EQ(Test("C:\\WINDOWS\\held.dll", nullptr, Abilities{true, true, false}), Verdict::Match);
    const std::string box =
        BoxEvent("Couldn't check C:\\WINDOWS\\held.dll\nReason: SharingViolation. ", "exclamation");
    // When nothing tells why it cannot be opened, the command ends.
    OpenWithoutCause withoutCause;
    EXPECT_EQ(Test("C:\\WINDOWS\\held.dll", nullptr, Abilities{true, true, false}),
              Verdict::EndCommand);
    EXPECT_EQ(
        prefix.ui.Events(),
        (std::vector<std::string>{
            box, box,
            BoxEvent("C:\\WINDOWS\\held.dll could not be opened.\n Reason: Unknown.", "stop")}));
}
