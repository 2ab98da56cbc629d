// The openers through which the element windows reach the element and help
// windows, and the content archive they read.

#include "tests/platform/platform_test_environment.h"
#include "windows/element/element_links.h"

#include <QWidget>
#include <gtest/gtest.h>
#include <vector>

namespace orbita {
namespace {

TEST(ElementLinks, OpenersAreCalledWhenSetAndNothingHappensOtherwise)
{
    QWidget owner;
    std::vector<std::pair<QWidget*, int>> elements;
    QStringList topics;
    OpenElementWindow(&owner, 1); // none set: nothing to record, nothing fails
    OpenHelpTopic(&owner, QStringLiteral("O_SZUKAJ"));
    SetElementOpener([&](QWidget* o, int element) { elements.emplace_back(o, element); });
    SetHelpTopicHandler([&](QWidget*, const QString& topic) { topics << topic; });
    OpenElementWindow(&owner, 26);
    OpenElementWindow(nullptr, 118);
    OpenHelpTopic(&owner, QStringLiteral("O_SZUKAJ"));
    SetElementOpener({});
    SetHelpTopicHandler({});
    OpenElementWindow(&owner, 2);
    OpenHelpTopic(&owner, QStringLiteral("O_PIERWS"));
    EXPECT_EQ(elements, (std::vector<std::pair<QWidget*, int>> { { &owner, 26 }, { nullptr, 118 } }));
    EXPECT_EQ(topics, QStringList { QStringLiteral("O_SZUKAJ") });
}

TEST(ElementLinks, ContentArchiveIsNamedAfterTheExecutable)
{
    test::ScopedEnvironment environment;
    environment.set("ORBITA_PROGRAM_DIR", QStringLiteral("/opt/orbita"));
    // This test program is orbita_qt_tests.
    EXPECT_EQ(ContentArchivePath(), "/opt/orbita/ORBITA_QT_TESTS.DAT");
}

} // namespace
} // namespace orbita
