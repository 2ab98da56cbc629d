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

// The program carries its version; other files and missing ones give the dash.
TEST(VersionCommand, PrintsTheCompiledInVersionOrTheDash)
{
    int code = -1;
    EXPECT_EQ(runVersion({ QStringLiteral(ORBITA_APP) }, &code), QStringLiteral("3.5.1.0"));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(runVersion({ QStringLiteral("/nonexistent/orbita") }), QStringLiteral("—"));
    QTemporaryFile plain;
    ASSERT_TRUE(plain.open());
    plain.write("ORBITA-FILEVERSION:\nno digits here");
    plain.close();
    EXPECT_EQ(runVersion({ plain.fileName() }), QStringLiteral("—"));
    runVersion({}, &code);
    EXPECT_EQ(code, 2);
}

} // namespace
