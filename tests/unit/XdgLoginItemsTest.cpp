#include "platform/linux/XdgLoginItems.h"

#include <gtest/gtest.h>

namespace {

TEST(XdgLoginItems, TheProgramPathIsQuotedAndEscapedForTheExecKey) {
    const std::pair<const char*, const char*> cases[] = {
        {"/home/a b/pinlet", R"("/home/a b/pinlet")"},
        {"/x/100%/p", R"("/x/100%%/p")"},
        {"/x/$HOME/\"q\"/`c`", R"("/x/\\$HOME/\\"q\\"/\\`c\\`")"},
        {R"(/x\y)", R"("/x\\\\y")"},
    };
    for (const auto& [path, exec] : cases) {
        EXPECT_EQ(platform::linux_desktop::desktopEntryExec(path), exec);
    }
}

} // namespace
