// orbita-tool render: the page engine from the command line.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

namespace {

constexpr int kWideSide = 16385;

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

ToolRun RenderTool(const QStringList& args)
{
    QProcess process;
    process.start(QString::fromUtf8(ORBITA_TOOL), QStringList { QStringLiteral("render") } + args);
    process.waitForFinished(120000);
    return ToolRun { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        process.readAllStandardOutput().toStdString(), process.readAllStandardError().toStdString() };
}

void WriteText(const QString& path, const std::string& text)
{
    std::ofstream out(path.toStdString(), std::ios::binary);
    out << text;
}

// Whether the picture shows any pure red pixel.
bool HasRed(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == qRgb(255, 0, 0))
                return true;
    return false;
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
    // Neither Qt's warnings (such as a missing runtime folder) nor anything
    // else on stderr when all went well.
    EXPECT_EQ(run.err, "");
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

// A page far larger than a picture may be is drawn cut to 16384 px a side and
// 64 megapixels, and the tool says so; a smaller cut asked for is not told.
TEST(RenderTool, APictureIsCutToTheCapsWithAMessage)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString page = dir.filePath(QStringLiteral("big.html"));
    WriteText(page, "<img src=x.gif width=99999 height=99999>");
    const QString picture = dir.filePath(QStringLiteral("big.png"));
    const ToolRun run = RenderTool(
        { page, QStringLiteral("--width"), QStringLiteral("800"), QStringLiteral("-o"), picture });
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // Only the size is read: the picture is larger than the test would decode.
    EXPECT_EQ(QImageReader(picture).size(), QSize(16384, 4096)); // 64 megapixels
    EXPECT_NE(run.err.find("strona ma "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("obraz obejmuje jej lewą górną część, 16384 × 4096 px"), std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("QPainter"), std::string::npos) << run.err;

    // A tall page cut by --height: what was asked for, without a message.
    const QString tall = dir.filePath(QStringLiteral("tall.html"));
    WriteText(tall, "<img src=x.gif width=300 height=99999>");
    const ToolRun asked = RenderTool({ tall, QStringLiteral("--width"), QStringLiteral("800"),
        QStringLiteral("--height"), QStringLiteral("100"), QStringLiteral("-o"), picture });
    ASSERT_EQ(asked.exitCode, 0) << asked.err;
    EXPECT_EQ(QImageReader(picture).size(), QSize(800, 100));
    EXPECT_EQ(asked.err, "");
    // Without --height it is cut to 16384 px, and told.
    const ToolRun capped = RenderTool(
        { tall, QStringLiteral("--width"), QStringLiteral("800"), QStringLiteral("-o"), picture });
    ASSERT_EQ(capped.exitCode, 0) << capped.err;
    EXPECT_EQ(QImageReader(picture).size(), QSize(800, 16384));
    EXPECT_NE(capped.err.find("800 × 16384 px"), std::string::npos) << capped.err;

    // Widths beyond the cap are refused as arguments.
    EXPECT_EQ(
        RenderTool({ page, QStringLiteral("--width"), QStringLiteral("16385"), QStringLiteral("--text") })
            .exitCode,
        2);
}

// OUT.png is replaced only by a whole picture, through a temporary file
// beside it; what is not a regular file is refused and left alone.
TEST(RenderTool, ThePictureIsWrittenThroughATemporaryFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString page = dir.filePath(QStringLiteral("page.html"));
    WriteText(page, "<p>tekst");
    const QString fifo = dir.filePath(QStringLiteral("fifo.png"));
    ASSERT_EQ(::mkfifo(fifo.toStdString().c_str(), 0600), 0);
    const struct {
        QString output;
        std::string err;
    } cases[] = {
        { fifo, ": to nie jest zwykły plik" },
        { dir.path(), ": to jest folder, nie plik" },
        { dir.filePath(QStringLiteral("missing/out.png")), ": plik nie istnieje" },
    };
    for (const auto& c : cases) {
        const ToolRun run = RenderTool(
            { page, QStringLiteral("--width"), QStringLiteral("200"), QStringLiteral("-o"), c.output });
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find("nie można zapisać " + c.output.toStdString() + c.err), std::string::npos)
            << run.err;
    }
    const QString existing = dir.filePath(QStringLiteral("out.png"));
    WriteText(existing, "old");
    const ToolRun run = RenderTool(
        { page, QStringLiteral("--width"), QStringLiteral("200"), QStringLiteral("-o"), existing });
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(QImage(existing).width(), 200);
    EXPECT_EQ(
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
        QStringList({ QStringLiteral("fifo.png"), QStringLiteral("out.png"), QStringLiteral("page.html") }));
}

// Pictures of a page on disk come only from regular files inside the page's
// folder; anything else shows as the placeholder, and the page still renders.
TEST(RenderTool, PicturesComeOnlyFromRegularFilesInsideThePageFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("page/sub")));
    QImage red(20, 20, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    ASSERT_TRUE(red.save(dir.filePath(QStringLiteral("page/red.png"))));
    ASSERT_TRUE(red.save(dir.filePath(QStringLiteral("page/sub/red.png"))));
    ASSERT_TRUE(red.save(dir.filePath(QStringLiteral("outside.png"))));
    QImage wide(kWideSide, 1, QImage::Format_RGB32);
    wide.fill(qRgb(255, 0, 0));
    ASSERT_TRUE(wide.save(dir.filePath(QStringLiteral("page/wide.png"))));
    ASSERT_TRUE(QFile::link(
        dir.filePath(QStringLiteral("outside.png")), dir.filePath(QStringLiteral("page/link.png"))));
    ASSERT_EQ(::mkfifo(dir.filePath(QStringLiteral("page/fifo.png")).toStdString().c_str(), 0600), 0);
    const struct {
        std::string src;
        bool shown;
    } cases[] = {
        { "red.png", true },
        { "sub/red.png", true },
        { "sub/../red.png", true },
        { "../outside.png", false },
        { dir.filePath(QStringLiteral("outside.png")).toStdString(), false },
        { "link.png", false },
        { "fifo.png", false },
        { "/dev/zero", false },
        { "wide.png", false }, // wider than a picture may be
        { "missing.png", false },
    };
    const QString page = dir.filePath(QStringLiteral("page/page.html"));
    const QString picture = dir.filePath(QStringLiteral("out.png"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.src);
        WriteText(page, "<p>a<img src=\"" + c.src + "\">b");
        const ToolRun run = RenderTool(
            { page, QStringLiteral("--width"), QStringLiteral("200"), QStringLiteral("-o"), picture });
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(HasRed(QImage(picture)), c.shown);
    }
}

} // namespace
