#include "platform/scripted_ui_services.h"
#include "tests/platform/platform_test_environment.h"
#include "windows/main/tool_windows.h"
#include "windows/program_window_opener.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace orbita {
namespace {

class ProgramToolRun : public test::PlatformTest { };

TEST_F(ProgramToolRun, StartsProgramsAndReportsWhatCannotBeRun)
{
    // A program that leaves a mark, to see that it really ran.
    const QString mark = path("home/ran");
    const QString script = path("home/tool.sh");
    {
        QFile file(script);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("#!/bin/sh\ntouch '%1'\n").arg(mark).toUtf8());
    }
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const struct {
        QString target;
        bool reported;
        bool runsScript;
    } rows[] = {
        { script, false, true },
        { QStringLiteral("true"), false, false }, // found on PATH
        { QStringLiteral("   "), true, false },
        { QStringLiteral("no-such-program-orbita --x"), true, false },
        { path("home/missing.sh"), true, false },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.target.toStdString());
        QFile::remove(mark);
        ScriptedUiServices ui;
        if (row.reported)
            ui.answerMessage(mrOk);
        ProgramWindowOpener windows;
        windows.RunTool(nullptr, row.target);
        EXPECT_TRUE(ui.finished());
        if (row.reported) {
            ASSERT_EQ(ui.requests().size(), 1U);
            EXPECT_EQ(ui.requests().at(0).icon, MessageIcon::Error);
            EXPECT_TRUE(ui.requests().at(0).text.contains(row.target));
        }
        if (row.runsScript) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(mark); }, 60000));
        }
    }
}

TEST(ToolWindowsKeys, QtKeysBecomeVirtualKeys)
{
    const struct {
        int qtKey;
        int virtualKey;
    } rows[] = { { Qt::Key_Return, 0x0D }, { Qt::Key_Enter, 0x0D }, { Qt::Key_Escape, 0x1B },
        { Qt::Key_F1, 0x70 }, { Qt::Key_F12, 0x7B }, { Qt::Key_A, 'A' }, { Qt::Key_Z, 'Z' }, { Qt::Key_1, 0 },
        { Qt::Key_Space, 0 }, { Qt::Key_F13, 0 } };
    for (const auto& row : rows)
        EXPECT_EQ(VirtualKeyOf(row.qtKey), row.virtualKey) << row.qtKey;
}

} // namespace
} // namespace orbita
