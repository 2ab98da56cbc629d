// orbita-tool molar-mass, run as the built tool on the built program folder.

#include "tests/support/packed_archive.h"

#include <gtest/gtest.h>

namespace orbita {
namespace {

TEST(MolarMassCommand, PrintsTheMassAndTheTableOrTheError)
{
    const test::ToolRun hydrate
        = test::RunTool({ QStringLiteral("molar-mass"), QStringLiteral("CuSO4·5H2O") });
    ASSERT_EQ(hydrate.exitCode, 0) << hydrate.standardError;
    EXPECT_EQ(hydrate.standardOutput,
        "Masa molowa: 249,6770 g/mol\n"
        "Pierwiastek\tLiczba atomów\tMasa atomowa [g/mol]\tMasa [g/mol]\tUdział masowy [%]\n"
        "Cu\t1\t63,546\t63,5460\t25,45\n"
        "S\t1\t32,06\t32,0600\t12,84\n"
        "O\t9\t15,999\t143,9910\t57,67\n"
        "H\t10\t1,008\t10,0800\t4,04\n");

    const test::ToolRun unknown = test::RunTool({ QStringLiteral("molar-mass"), QStringLiteral("NaXy") });
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_EQ(unknown.standardError, "orbita-tool: Nieznany symbol pierwiastka „Xy” w pozycji 3\n");
    EXPECT_TRUE(unknown.standardOutput.empty());

    EXPECT_EQ(test::RunTool({ QStringLiteral("molar-mass") }).exitCode, 2);
}

} // namespace
} // namespace orbita
