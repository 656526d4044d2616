// The prefix itself: a relative prefix is resolved once to an absolute path, whatever folder
// the program moves to afterwards.
#include <cstdlib>

#include "platform/File.h"
#include "tests/platform/PlatformFixture.h"

using namespace platform;

namespace {

std::string CurrentFolder() {
    char cwd[PATH_MAX];
    return getcwd(cwd, sizeof cwd) ? cwd : "";
}

}  // namespace

using Prefix = PlatformTest;

TEST_F(Prefix, ARelativePrefixIsResolvedOnceAgainstTheCurrentFolder) {
    ASSERT_EQ(mkdir((tmp + "/work").c_str(), 0700), 0);
    ASSERT_EQ(chdir((tmp + "/work").c_str()), 0);
    const std::string work = CurrentFolder();
    struct Case {
        const char* given;
        std::string root;
    };
    const Case cases[] = {
        {"rel", work + "/rel"},
        {"./a/../rel/./p/", work + "/rel/p"},
        {"../up", work.substr(0, work.rfind('/')) + "/up"},
        {".", work},
        {"/abs/olute//", "/abs/olute"},
    };
    for (const Case& c : cases) {
        SetPrefixRoot(c.given);
        EXPECT_EQ(PrefixRoot(), c.root) << c.given;
    }

    // The environment's prefix, read when first asked for.
    ASSERT_EQ(setenv("QUILLSTEAD_PREFIX", "from env", 1), 0);
    SetPrefixRoot("");
    EXPECT_EQ(PrefixRoot(), work + "/from env");
    unsetenv("QUILLSTEAD_PREFIX");

    // A prefix set up from a relative path stays where it was once the folder changes.
    SetPrefixRoot("rel");
    FirstStartSetup();
    ASSERT_EQ(chdir(tmp.c_str()), 0);
    EXPECT_EQ(PrefixRoot(), work + "/rel");
    EXPECT_EQ(HostPath("C:\\x"), work + "/rel/dosdevices/c:/x");
    EXPECT_TRUE(IsDirectory("C:\\Program Files\\Quillstead\\Backup Files"));
}
