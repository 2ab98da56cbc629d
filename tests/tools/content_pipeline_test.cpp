#include "core/cp1250.h"
#include "tests/support/packed_archive.h"

#include <QTemporaryDir>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace orbita::test {
namespace {

namespace fs = std::filesystem;

const fs::path contentSource = fs::path(ORBITA_SOURCE_DIR) / "content" / "ORBITA";

TEST(ContentPipeline, ContentArchiveHoldsTheSourcesInWindows1250)
{
#ifndef ORBITA_CONTENT_BUILT
    GTEST_SKIP() << "the content is not built in this configuration (ORBITA_BUILD_CONTENT=OFF)";
#endif
    const auto members = ReadPackedArchive((fs::path(ORBITA_PROGRAM_DIR) / "ORBITA.DAT").string());
    ASSERT_TRUE(members) << "ORBITA.DAT is missing or unreadable";

    const auto source = ReadWholeFile((contentSource / "POMOC" / "LICENCJA.HTM").string());
    ASSERT_TRUE(source);
    const auto expected = Utf8ToCp1250(*source);
    ASSERT_TRUE(expected);
    ASSERT_NE(*expected, *source) << "the page holds Polish letters, so the conversion shows";

    const PackedMember* licence = nullptr;
    for (const PackedMember& member : *members)
        if (member.name == "POMOC/LICENCJA.HTM")
            licence = &member;
    ASSERT_NE(licence, nullptr);
    EXPECT_EQ(licence->data, *expected);

    // Every source file is in the archive, and nothing else is.
    std::set<std::string> sourceNames;
    for (const auto& entry : fs::recursive_directory_iterator(contentSource))
        if (entry.is_regular_file())
            sourceNames.insert(
                *Utf8ToCp1250(entry.path().lexically_relative(contentSource).generic_string()));
    std::set<std::string> memberNames;
    for (const PackedMember& member : *members)
        memberNames.insert(member.name);
    EXPECT_EQ(memberNames, sourceNames);
}

TEST(ContentPipeline, CharacterOutsideWindows1250FailsThePack)
{
    QTemporaryDir dir;
    const fs::path folder = fs::path(dir.path().toStdString()) / "ORBITA";
    fs::copy(contentSource, folder, fs::copy_options::recursive);
    WriteWholeFile((folder / "POMOC" / "WZORY.HTM").string(), "<P>H₂O</P>\r\n<P>Zbiór ℝ</P>\r\n");
    const std::string target = (fs::path(dir.path().toStdString()) / "ORBITA.DAT").string();

    // The same command as the build's content rule.
    const ToolRun run
        = RunTool({ QStringLiteral("archive"), QStringLiteral("pack"), QStringLiteral("--from-utf8"),
            QString::fromStdString(folder.string()), QString::fromStdString(target) });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.standardError.find("WZORY.HTM:1:"), std::string::npos) << run.standardError;
    EXPECT_NE(run.standardError.find("U+2082"), std::string::npos) << run.standardError;
    EXPECT_FALSE(fs::exists(target));

    fs::remove(folder / "POMOC" / "WZORY.HTM");
    EXPECT_EQ(RunTool({ QStringLiteral("archive"), QStringLiteral("pack"), QStringLiteral("--from-utf8"),
                          QString::fromStdString(folder.string()), QString::fromStdString(target) })
                  .exitCode,
        0);
    EXPECT_TRUE(fs::exists(target));
}

} // namespace
} // namespace orbita::test
