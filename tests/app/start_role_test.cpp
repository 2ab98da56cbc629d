#include "app/start_role.h"

#include <gtest/gtest.h>

namespace orbita {
namespace {

TEST(StartRole, FileNameComesBeforeEveryArgument)
{
    struct Case {
        const char* file;
        const char* argument;
        StartRole role;
    };
    const Case cases[] = {
        { "REMOVEME", "", StartRole::SelfRemoval },
        { "removeme", "/INSTALL", StartRole::SelfRemoval },
        { "ReMoveMe.exe", "/UNINSTALL", StartRole::SelfRemoval },
        { "REMOVEME.EXE", "/SLIM", StartRole::SelfRemoval },
        { "removeme2", "", StartRole::Application },
        { "orbita", "/UNINSTALL", StartRole::Uninstall },
        { "orbita", "/uninstall", StartRole::Uninstall },
        { "orbita", "/install", StartRole::Install },
        { "orbita", "/Install", StartRole::Install },
        { "orbita", "/INSTALLX", StartRole::Application },
        { "orbita", "INSTALL", StartRole::Application },
        { "orbita", "", StartRole::Application },
        { "orbita", "/SLIM", StartRole::Application },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseStartRole(c.file, c.argument), c.role) << c.file << " " << c.argument;
}

TEST(StartRole, RemovalSwitchesMatchExactlyWithCase)
{
    EXPECT_EQ(ChooseRemovalScope("/SLIM"), RemovalScope::Slim);
    EXPECT_EQ(ChooseRemovalScope("/FULL"), RemovalScope::Full);
    EXPECT_EQ(ChooseRemovalScope("/slim"), RemovalScope::CopyOnly);
    EXPECT_EQ(ChooseRemovalScope("/Full"), RemovalScope::CopyOnly);
    EXPECT_EQ(ChooseRemovalScope(""), RemovalScope::CopyOnly);
}

} // namespace
} // namespace orbita
