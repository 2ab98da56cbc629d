// orbita-tool element-page, run as the built program on the built program
// folder and on folders that lack the archive or the database.

#include "core/cp1250.h"
#include "data/text_lines.h"
#include "tests/data/test_zip_writer.h"
#include "windows/element/element_page.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace orbita {
namespace {

struct ToolOutput {
    int exitCode = -1;
    std::string out;
    std::string err;
};

ToolOutput RunElementPage(const QString& programFolder, const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ORBITA_PROGRAM_DIR"), programFolder);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(ORBITA_TOOL), QStringList{QStringLiteral("element-page")} + arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    ToolOutput run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}

// The Polish names and the number of properties of the shipped database, read
// from its UTF-8 source.
struct SourceFacts {
    std::vector<std::string> names = std::vector<std::string>(kLastElement + 1); // Windows-1250
    int properties = 0;
};

SourceFacts ReadSourceFacts()
{
    std::ifstream in(ORBITA_SOURCE_DIR "/content/ORBITA/UKLAD/DANE.TXT", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    SourceFacts facts;
    for (const std::string& line : SplitTextLines(text.str())) {
        if (line.starts_with('['))
            ++facts.properties;
        else if (facts.properties == 1 && ElementLineKey(line))
            facts.names.at(*ElementLineKey(line)) = Utf8ToCp1250Lossy(*LineValueText(line));
    }
    return facts;
}

std::size_t Count(const std::string& text, std::string_view what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST(ElementPageCommand, PrintsEveryElementsPagesFromTheProgramFolder)
{
#ifndef ORBITA_CONTENT_BUILT
    GTEST_SKIP() << "the content archive is not built";
#else
    const QString folder = QStringLiteral(ORBITA_PROGRAM_DIR);
    const std::string archive = std::string(ORBITA_PROGRAM_DIR) + "/ORBITA.DAT";
    const SourceFacts facts = ReadSourceFacts();
    ASSERT_GE(facts.properties, 20);
    for (int element = kFirstElement; element <= kLastElement; ++element) {
        SCOPED_TRACE(element);
        const QString number = QString::number(element);
        const ElementPage expected = BuildElementPage(archive, element, true, {});
        ASSERT_TRUE(expected.name.has_value());
        EXPECT_EQ(*expected.name, facts.names.at(element));

        const ToolOutput display = RunElementPage(folder, {number});
        EXPECT_EQ(display.exitCode, 0) << display.err;
        EXPECT_EQ(display.out, expected.displayPage);
        EXPECT_NE(display.out.find("<title>" + facts.names.at(element) + "</title>"), std::string::npos);
        EXPECT_EQ(Count(display.out, "<tr>"), static_cast<std::size_t>(facts.properties));
        EXPECT_EQ(Count(display.out, "</td></tr>"), static_cast<std::size_t>(facts.properties));
        EXPECT_EQ(Count(display.out, "ORB_KORESPONDENCJA"), 1u);

        const ToolOutput exported = RunElementPage(folder, {number, QStringLiteral("--export")});
        EXPECT_EQ(exported.exitCode, 0) << exported.err;
        EXPECT_EQ(exported.out, expected.exportPage + "\r\n");
        EXPECT_EQ(Count(exported.out, "ORB_KORESPONDENCJA"), 0u);
    }
    // The option may come first.
    EXPECT_EQ(RunElementPage(folder, {QStringLiteral("--export"), QStringLiteral("26")}).out,
        BuildElementPage(archive, 26, true, {}).exportPage + "\r\n");
#endif
}

TEST(ElementPageCommand, RefusesWhatIsNotAnElementOrHasNoDatabase)
{
    QTemporaryDir empty;
    QTemporaryDir withoutDatabase;
    ASSERT_TRUE(empty.isValid() && withoutDatabase.isValid());
    test::TestZipWriter zip;
    zip.members = {test::Deflated("UKLAD\\1.HTM", "<p>Wodór</p>")};
    test::WriteBytes(withoutDatabase.filePath(QStringLiteral("ORBITA.DAT")).toStdString(), zip.Build());
    // An archive that holds an element database of its own (one element).
    QTemporaryDir own;
    ASSERT_TRUE(own.isValid());
    test::TestZipWriter ownZip;
    ownZip.members = {test::Deflated("UKLAD\\DANE.TXT", "[Nazwa polska]\r\n1=Wodor\r\n")};
    test::WriteBytes(own.filePath(QStringLiteral("ORBITA.DAT")).toStdString(), ownZip.Build());

    struct Case {
        const char* what;
        QString folder;
        QStringList arguments;
        int exitCode;
        const char* message; // part of the standard error
    };
    const std::vector<Case> cases = {
        {"0", own.path(), {QStringLiteral("0")}, 1, "no element 0"},
        {"119", own.path(), {QStringLiteral("119")}, 1, "no element 119"},
        {"not a number", own.path(), {QStringLiteral("abc")}, 1, "no element abc"},
        {"negative", own.path(), {QStringLiteral("-5")}, 1, "no element -5"},
        {"leading zero counts as its number", own.path(), {QStringLiteral("01")}, 0, ""},
        {"no archive", empty.path(), {QStringLiteral("1")}, 1, "ORBITA.DAT does not exist"},
        {"no database in the archive", withoutDatabase.path(), {QStringLiteral("1")}, 1,
            "cannot read UKLAD\\DANE.TXT"},
        {"no number", own.path(), {}, 2, "usage"},
        {"two numbers", own.path(), {QStringLiteral("1"), QStringLiteral("2")}, 2, "usage"},
        {"the option twice", own.path(), {QStringLiteral("--export"), QStringLiteral("--export")}, 1,
            "no element --export"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ToolOutput run = RunElementPage(c.folder, c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        if (c.exitCode != 0) {
            EXPECT_TRUE(run.out.empty());
        }
    }
    const ToolOutput fromOwn = RunElementPage(own.path(), {QStringLiteral("1")});
    EXPECT_NE(fromOwn.out.find("<title>Wodor</title>"), std::string::npos);
}

} // namespace
} // namespace orbita
