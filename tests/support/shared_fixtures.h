#pragma once

// The shared fixtures (third-party ZIP archives and HTML pages) live in
// ../shared/fixtures beside the clone, not in the repository. A clone on its
// own has no such folder: the tests that read it skip with a message that
// starts with kSharedFixturesMissing, which scripts/test.sh counts.

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace orbita::test {

inline constexpr const char* kSharedFixturesMissing = "skipped: ../shared/fixtures is not beside this clone";

// The shared folder: $ORBITA_SHARED_DIR when set, else ../shared beside the
// source tree that was built.
inline std::filesystem::path SharedDir()
{
    const char* fromEnvironment = std::getenv("ORBITA_SHARED_DIR");
    return fromEnvironment != nullptr && *fromEnvironment != '\0' ? std::filesystem::path(fromEnvironment)
                                                                  : std::filesystem::path(ORBITA_SHARED_DIR);
}

// A folder of the shared fixtures ("zip", "html"), with a trailing separator.
inline std::string SharedFixtures(const std::string& folder)
{
    return (SharedDir() / "fixtures" / folder).string() + "/";
}

inline bool HaveSharedFixtures(const std::string& folder)
{
    std::error_code error;
    return std::filesystem::is_directory(SharedDir() / "fixtures" / folder, error);
}

} // namespace orbita::test

// Skips the running test when the shared fixture folder is absent.
#define ORBITA_NEEDS_SHARED_FIXTURES(folder)                                                                 \
    do {                                                                                                     \
        if (!::orbita::test::HaveSharedFixtures(folder))                                                     \
            GTEST_SKIP() << ::orbita::test::kSharedFixturesMissing << " (looked for "                        \
                         << ::orbita::test::SharedFixtures(folder) << ")";                                   \
    } while (false)
