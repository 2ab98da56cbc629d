// The content archive the element windows read.

#include "platform/shell_services.h"
#include "tests/platform/platform_test_environment.h"

#include <gtest/gtest.h>

namespace orbita {
namespace {

TEST(ElementLinks, ContentArchiveIsNamedAfterTheExecutable)
{
    test::ScopedEnvironment environment;
    environment.set("ORBITA_PROGRAM_DIR", QStringLiteral("/opt/orbita"));
    // This test program is orbita_qt_tests.
    EXPECT_EQ(ContentArchivePath(), "/opt/orbita/ORBITA_QT_TESTS.DAT");
}

} // namespace
} // namespace orbita
