#include "core/version_marker.h"
#include "platform/shell_services.h"

#include <gtest/gtest.h>

namespace orbita {
namespace {

// This test program uses the marker as the program does, so the version must
// be found by scanning its own executable file.
TEST(VersionMarker, IsFoundInTheExecutableThatUsesIt)
{
    EXPECT_STREQ(VersionMarker(), "ORBITA-FILEVERSION:" ORBITA_FILE_VERSION);
    EXPECT_EQ(FileVersionText(ExecutablePath()), ORBITA_FILE_VERSION);
}

} // namespace
} // namespace orbita
