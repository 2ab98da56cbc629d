#include <QProcess>
#include <QStringList>
#include <QTemporaryFile>
#include <gtest/gtest.h>

namespace {

QString runVersion(const QStringList& arguments, int* exitCode = nullptr)
{
    QProcess tool;
    tool.start(QStringLiteral(ORBITA_TOOL), QStringList { QStringLiteral("version") } + arguments);
    EXPECT_TRUE(tool.waitForFinished(60000));
    if (exitCode)
        *exitCode = tool.exitCode();
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

// The program carries its version; a readable file without one gives the
// dash; a missing file, a folder or a device is an error.
TEST(VersionCommand, PrintsTheCompiledInVersionOrTheDash)
{
    int code = -1;
    EXPECT_EQ(runVersion({ QStringLiteral(ORBITA_APP) }, &code), QStringLiteral("3.5.1.0"));
    EXPECT_EQ(code, 0);
    for (const char* unreadable : { "/nonexistent/orbita", "/tmp", "/dev/zero" }) {
        EXPECT_EQ(runVersion({ QString::fromUtf8(unreadable) }, &code), QString()) << unreadable;
        EXPECT_EQ(code, 1) << unreadable;
    }
    QTemporaryFile plain;
    ASSERT_TRUE(plain.open());
    plain.write("ORBITA-FILEVERSION:\nno digits here");
    plain.close();
    EXPECT_EQ(runVersion({ plain.fileName() }), QStringLiteral("—"));
    runVersion({}, &code);
    EXPECT_EQ(code, 2);
}

} // namespace
