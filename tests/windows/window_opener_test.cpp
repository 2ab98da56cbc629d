// The opener in use and the help topics of windows.

#include "tests/support/recording_window_opener.h"
#include "windows/window_opener.h"

#include <QWidget>
#include <gtest/gtest.h>

namespace orbita {
namespace {

TEST(WindowOpener, TheInstalledOpenerServesUntilItIsReplaced)
{
    WindowOpener& none = Opener();
    // Nothing installed: nothing opens, nothing is chosen, nothing holds a close back.
    EXPECT_EQ(none.ChooseElement(nullptr), std::nullopt);
    EXPECT_TRUE(none.ConfirmQuit(nullptr));
    {
        test::RecordingWindowOpener outer;
        EXPECT_EQ(&Opener(), &outer);
        {
            test::RecordingWindowOpener inner;
            Opener().OpenElement(nullptr, 26);
            EXPECT_EQ(inner.take(), QStringList { QStringLiteral("element 26") });
        }
        // The inner one gives the outer one back.
        EXPECT_EQ(&Opener(), &outer);
        EXPECT_TRUE(outer.calls.isEmpty());
    }
    EXPECT_EQ(&Opener(), &none);
}

TEST(WindowOpener, HelpTopicIsTheNearestWindowsOwn)
{
    test::RecordingWindowOpener windows;
    QWidget table;
    SetHelpTopic(table, QStringLiteral("O_GLOWNE"));
    QWidget element(&table, Qt::Dialog);
    SetHelpTopic(element, QStringLiteral("O_PIERWS"));
    QWidget appearance(&element, Qt::Dialog);
    QWidget tip(&table, Qt::Dialog);
    SetHelpTopic(tip, QStringLiteral("O_PORADA"));
    QWidget alone;
    EXPECT_EQ(HelpTopicOf(&table), QStringLiteral("O_GLOWNE"));
    EXPECT_EQ(HelpTopicOf(&element), QStringLiteral("O_PIERWS"));
    EXPECT_EQ(HelpTopicOf(&appearance), QStringLiteral("O_PIERWS"));
    EXPECT_EQ(HelpTopicOf(&tip), QStringLiteral("O_PORADA"));
    EXPECT_EQ(HelpTopicOf(&alone), QString());
    EXPECT_EQ(HelpTopicOf(nullptr), QString());
    ShowHelpFor(&appearance);
    ShowHelpFor(&alone);
    EXPECT_EQ(windows.owners, (QList<QWidget*> { &appearance, &alone }));
    EXPECT_EQ(windows.take(), (QStringList { QStringLiteral("help O_PIERWS"), QStringLiteral("help ") }));
}

} // namespace
} // namespace orbita
