// orbita-tool render: the page engine from the command line.
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace {

struct ToolRun {
    int exitCode = -1;
    std::string out;
};

ToolRun RenderTool(const QStringList& args)
{
    QProcess process;
    process.start(QString::fromUtf8(ORBITA_TOOL), QStringList { QStringLiteral("render") } + args);
    process.waitForFinished(60000);
    return ToolRun { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        process.readAllStandardOutput().toStdString() };
}

TEST(RenderTool, TextPictureAndErrors)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString page = dir.filePath(QStringLiteral("page.html"));
    {
        std::ofstream out(page.toStdString(), std::ios::binary);
        out << "<h1>Tytul</h1><p>jeden dwa trzy<table><tr><td>a<td>b</table>koniec";
    }
    struct Case {
        QStringList args;
        int exitCode;
        std::string text; // expected standard output (for --text)
    };
    const Case cases[] = {
        { { page, QStringLiteral("--width"), QStringLiteral("600"), QStringLiteral("--text") }, 0,
            "Tytul\njeden dwa trzy\na\nb\nkoniec\n" },
        { { page, QStringLiteral("--width"), QStringLiteral("600") }, 2, "" }, // neither -o nor --text
        { { dir.filePath(QStringLiteral("missing.html")), QStringLiteral("--text") }, 1, "" },
        { { page, QStringLiteral("--width"), QStringLiteral("x"), QStringLiteral("--text") }, 2, "" },
    };
    for (const Case& c : cases) {
        const ToolRun run = RenderTool(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args.join(QLatin1Char(' ')).toStdString();
        if (c.exitCode == 0) {
            EXPECT_EQ(run.out, c.text);
        }
    }

    const QString picture = dir.filePath(QStringLiteral("out.png"));
    const ToolRun run = RenderTool(
        { page, QStringLiteral("--width"), QStringLiteral("333"), QStringLiteral("-o"), picture });
    ASSERT_EQ(run.exitCode, 0);
    const QImage image(picture);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 333);
    EXPECT_GT(image.height(), 60);

    // A page that the layout refuses: the error text, and still success.
    const QString wide = dir.filePath(QStringLiteral("wide.html"));
    {
        std::ofstream out(wide.toStdString(), std::ios::binary);
        out << "<table><tr>";
        for (int i = 0; i < 31; ++i)
            out << "<td>x";
        out << "</table>";
    }
    const ToolRun refused = RenderTool({ wide, QStringLiteral("--text") });
    EXPECT_EQ(refused.exitCode, 0);
    EXPECT_EQ(refused.out, "Table has too many Columns\n");
}

} // namespace
