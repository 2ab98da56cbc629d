#include "platform/qt_text.h"

#include <gtest/gtest.h>

namespace orbita {
namespace {

TEST(QtText, PolishTextCrossesTheWidgetBoundaryBothWays)
{
    const std::string cp1250 = "Informacje o pierwiastku [\xAF"
                               "elazo]";
    const QString text = FromCp1250(cp1250);
    EXPECT_EQ(text, QStringLiteral("Informacje o pierwiastku [Żelazo]"));
    EXPECT_EQ(ToCp1250(text), cp1250);
    EXPECT_EQ(ToCp1250(QStringLiteral("x\u20BDy")), "x?y");
}

} // namespace
} // namespace orbita
