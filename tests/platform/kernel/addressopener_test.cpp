// Opening addresses: the test hook receives them in place of the desktop, and
// an address that names nothing is refused without asking the desktop.

#include "platform/kernel/addressopener.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ShellOpenTest, HookReceivesTheAddressAndAnswers)
{
    std::vector<std::string> opened;
    SetShellOpenHook([&opened](const std::string& Address) {
        opened.push_back(Address);
        return Address != "refused://";
    });
    EXPECT_TRUE(ShellOpen("http://www.tamsvik.example"));
    EXPECT_FALSE(ShellOpen("refused://"));
    SetShellOpenHook({});
    EXPECT_EQ(opened, (std::vector<std::string>{"http://www.tamsvik.example", "refused://"}));
}

TEST(ShellOpenTest, EmptyAddressIsRefused)
{
    SetShellOpenHook({});
    EXPECT_FALSE(ShellOpen(""));
}

} // namespace
