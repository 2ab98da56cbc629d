// The installer and uninstaller windows reach help through the window opener.

#include "tests/platform/platform_test_environment.h"
#include "tests/support/recording_window_opener.h"
#include "windows/setup/install_form.h"
#include "windows/setup/uninstall_form.h"

#include <QPushButton>
#include <QTest>
#include <functional>
#include <memory>

namespace orbita {
namespace {

class SetupForms : public test::PlatformTest { };

TEST_F(SetupForms, HelpButtonAndF1OpenTheWindowsTopic)
{
    const struct {
        std::function<std::unique_ptr<QWidget>()> create;
        QString topic;
    } rows[] = {
        { [] { return std::make_unique<TInstallForm>(); }, QStringLiteral("help O_INST") },
        { [] { return std::make_unique<TUninstallForm>(); }, QStringLiteral("help O_USUN") },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.topic.toStdString());
        test::RecordingWindowOpener windows;
        const std::unique_ptr<QWidget> window = row.create();
        window->show();
        auto* help = window->findChild<QPushButton*>(QStringLiteral("PomocPrzycisk"));
        ASSERT_NE(help, nullptr);
        EXPECT_EQ(help->text(), QStringLiteral("Pomo&c"));
        help->click();
        QTest::keyClick(help, Qt::Key_F1);
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(windows.ownedBy(window.get()));
        EXPECT_EQ(windows.take(), QStringList(2, row.topic));
        QTest::keyClick(help, Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible());
    }
}

} // namespace
} // namespace orbita
