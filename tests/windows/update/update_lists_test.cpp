// The update centre's Qt-free rules: list and version answers read under the
// safety rules for names and sizes from the network, the query addresses,
// the progress texts, the check list's states and the setup package's member
// names.

#include "windows/update/update_lists.h"

#include <gtest/gtest.h>

namespace orbita::update {
namespace {

TEST(UpdateLists, ALineIsAPackageOnlyWhenItIsExactlyASafeNameWithTheKindsExtension)
{
    const std::string longest(kMaxNameLength, 'a');
    const struct {
        std::string line;
        PackageKind kind;
        std::optional<std::string> name;
    } rows[] = {
        { "Zielony.obs", PackageKind::Skin, "Zielony" },
        { "Zielony.obs\r", PackageKind::Skin, "Zielony" }, // CR LF lines
        { "Zielony.OBS", PackageKind::Skin, "Zielony" }, // extension without case
        { "chemia_1-a.obt", PackageKind::Test, "chemia_1-a" },
        { longest + ".obt", PackageKind::Test, longest },
        { longest + "b.obt", PackageKind::Test, std::nullopt }, // 65 characters
        { "Zielony.obt", PackageKind::Skin, std::nullopt }, // the other kind
        { "Zielony", PackageKind::Skin, std::nullopt }, // no extension
        { ".obs", PackageKind::Skin, std::nullopt }, // empty name
        { "obs", PackageKind::Skin, std::nullopt },
        { "../Zielony.obs", PackageKind::Skin, std::nullopt },
        { "..obs", PackageKind::Skin, std::nullopt },
        { "/etc/passwd.obs", PackageKind::Skin, std::nullopt },
        { "a/b.obs", PackageKind::Skin, std::nullopt },
        { "a\\b.obs", PackageKind::Skin, std::nullopt },
        { "Zielony.v2.obs", PackageKind::Skin, std::nullopt },
        { "Zielony .obs", PackageKind::Skin, std::nullopt },
        { " Zielony.obs", PackageKind::Skin, std::nullopt },
        { "Zielony.obs ", PackageKind::Skin, std::nullopt },
        { "Ziel\tony.obs", PackageKind::Skin, std::nullopt },
        { std::string("Ziel\0ny.obs", 11), PackageKind::Skin, std::nullopt },
        { "Ziel\x1bony.obs", PackageKind::Skin, std::nullopt },
        { "Zielony.obs\r\r", PackageKind::Skin, std::nullopt },
        { "Zielon\xb9.obs", PackageKind::Skin, std::nullopt }, // a Windows-1250 letter
        { "a&b=c.obs", PackageKind::Skin, std::nullopt },
        { "a%2e.obs", PackageKind::Skin, std::nullopt },
    };
    for (const auto& row : rows)
        EXPECT_EQ(PackageNameOfLine(row.line, row.kind), row.name) << row.line;
}

TEST(UpdateLists, AListKeepsItsPackageLinesSortedAndCountsTheLinesItSkipped)
{
    const PackageList list
        = ParsePackageList("zolty.obs\r\nNiebieski.obs\r\n\r\n../evil.obs\r\nCzerwony.obs\r\nbez_kropki\r\n"
                           "Niebieski.obs\r\nczerwony.obs\r\n/abs.obs\r\nz spacja.obs\n\x01.obs\nOstatni.obs",
            PackageKind::Skin);
    EXPECT_FALSE(list.tooLarge);
    EXPECT_EQ(
        list.names, (std::vector<std::string> { "Czerwony", "czerwony", "Niebieski", "Ostatni", "zolty" }));
    EXPECT_EQ(list.skipped, 5U);
}

TEST(UpdateLists, AnEmptyListIsEmptyAndAnOversizedOneIsRefusedWhole)
{
    for (const char* answer : { "", "\r\n", "\n\n\n" }) {
        const PackageList list = ParsePackageList(answer, PackageKind::Test);
        EXPECT_FALSE(list.tooLarge);
        EXPECT_TRUE(list.names.empty());
        EXPECT_EQ(list.skipped, 0U);
    }
    std::string big;
    while (big.size() <= kMaxAnswerBytes)
        big += "Pakiet.obt\r\n";
    const PackageList tooLarge = ParsePackageList(big, PackageKind::Test);
    EXPECT_TRUE(tooLarge.tooLarge);
    EXPECT_TRUE(tooLarge.names.empty());
    big.resize(kMaxAnswerBytes - (kMaxAnswerBytes % 12)); // whole lines, within the cap
    EXPECT_EQ(ParsePackageList(big, PackageKind::Test).names, std::vector<std::string> { "Pakiet" });
}

TEST(UpdateLists, TheVersionBlockFollowsItsMarkerAndIsRefusedWhenAnyPartIsUnsound)
{
    const std::string digest(64, 'A');
    const struct {
        std::string answer;
        std::optional<VersionInfo> info;
    } rows[] = {
        { "Orbita\r\n3.5.2.0\r\nhttps://example.org/orbita-3.5.2.zip\r\n",
            VersionInfo { "3.5.2.0", "https://example.org/orbita-3.5.2.zip", "" } },
        { "komentarz\nORBITA\n 3.10.2.7 \nhttp://127.0.0.1:8080/s.zip\nsha256=" + digest + "\nreszta\n",
            VersionInfo { "3.10.2.7", "http://127.0.0.1:8080/s.zip", std::string(64, 'a') } },
        { "Orbita\n3.5.2.0\nhttp://h/s.zip\nsha256=" + digest.substr(1), // short digest: none
            VersionInfo { "3.5.2.0", "http://h/s.zip", "" } },
        { "Orbita\n3.5.2.0\nhttp://h/s.zip\nsha256=" + std::string(63, 'a') + "g",
            VersionInfo { "3.5.2.0", "http://h/s.zip", "" } },
        { "Orbita\n3.5.2.0\nhttp://h/s.zip", VersionInfo { "3.5.2.0", "http://h/s.zip", "" } }, // no line end
        { "", std::nullopt },
        { "3.5.2.0\nhttp://h/s.zip\n", std::nullopt }, // no marker
        { "Orbita 3\n3.5.2.0\nhttp://h/s.zip\n", std::nullopt },
        { "Orbita\n3.5.2.0\n", std::nullopt }, // no address
        { "Orbita\n3.5.2\nhttp://h/s.zip\n", std::nullopt },
        { "Orbita\n3.5.2.0.1\nhttp://h/s.zip\n", std::nullopt },
        { "Orbita\n3.5.x.0\nhttp://h/s.zip\n", std::nullopt },
        { "Orbita\n3..2.0\nhttp://h/s.zip\n", std::nullopt },
        { "Orbita\n3.5.2.65536\nhttp://h/s.zip\n", std::nullopt },
        { "Orbita\n3.5.2.000001\nhttp://h/s.zip\n", std::nullopt },
        { "Orbita\n\n3.5.2.0\nhttp://h/s.zip\n", std::nullopt },
        { "Orbita\n3.5.2.0\nfile:///etc/passwd\n", std::nullopt },
        { "Orbita\n3.5.2.0\nftp://h/s.zip\n", std::nullopt },
        { "Orbita\n3.5.2.0\n/s.zip\n", std::nullopt },
        { "Orbita\n3.5.2.0\nhttp://h/a b.zip\n", std::nullopt },
        { "Orbita\n3.5.2.0\nhttp://h/a\x01.zip\n", std::nullopt },
    };
    for (const auto& row : rows) {
        const std::optional<VersionInfo> info = ParseVersionBlock(row.answer);
        ASSERT_EQ(info.has_value(), row.info.has_value()) << row.answer;
        if (info) {
            EXPECT_EQ(info->version, row.info->version) << row.answer;
            EXPECT_EQ(info->setupAddress, row.info->setupAddress) << row.answer;
            EXPECT_EQ(info->sha256, row.info->sha256) << row.answer;
        }
    }
    std::string padded(kMaxAnswerBytes, '\n');
    EXPECT_FALSE(ParseVersionBlock(padded + "Orbita\n3.5.2.0\nhttp://h/s.zip\n"));
}

TEST(UpdateLists, TheSetupIsNamedByThreeNumbersAndStartedOnlyWithAMatchingDigest)
{
    EXPECT_EQ(ShortVersion("3.10.2.0"), "3.10.2");
    EXPECT_EQ(SetupFileName("3.5.2.0"), "orbita-3.5.2.zip");
    EXPECT_NE(NewVersionQuestion("3.10.2.0").find("programu \"Orbita\" 3.10.2. Jeśli"), std::string::npos);

    VersionInfo info { "3.5.2.0", "http://h/s.zip", std::string(64, 'a') };
    EXPECT_TRUE(MayStartSetup(info, std::string(64, 'A')));
    EXPECT_FALSE(MayStartSetup(info, std::string(63, 'a') + "b"));
    EXPECT_FALSE(MayStartSetup(info, ""));
    info.sha256.clear();
    EXPECT_FALSE(MayStartSetup(info, "")); // no digest given: never started
    info.setupAddress = "https://h/s.zip";
    EXPECT_FALSE(MayStartSetup(info, std::string(64, 'a'))); // https alone is not enough
}

TEST(UpdateLists, QueriesAppendTheirParameterPercentEncoded)
{
    const std::string base = "http://127.0.0.1:8080/support_orb3";
    EXPECT_EQ(ListQuery(base, PackageKind::Skin), base + "?akcja=orbita&operacja=pokaz&parametr=skory");
    EXPECT_EQ(ListQuery(base, PackageKind::Test), base + "?akcja=orbita&operacja=pokaz&parametr=testy");
    EXPECT_EQ(VersionQuery(base), base + "?akcja=orbita&operacja=pokaz&parametr=wersja");
    EXPECT_EQ(PackageQuery(base, PackageKind::Skin, "Zielony"),
        base + "?akcja=orbita&operacja=pobierz_skore&parametr=Zielony.obs");
    EXPECT_EQ(PackageQuery(base, PackageKind::Test, "a-b_c"),
        base + "?akcja=orbita&operacja=pobierz_test&parametr=a-b_c.obt");
    EXPECT_EQ(PercentEncode("a b&c=d#e/%\xc5\x82~"), "a%20b%26c%3Dd%23e%2F%25%C5%82~");
}

TEST(UpdateLists, ProgressTextsGroupThousandsAndNeverDivideByZero)
{
    EXPECT_EQ(GroupedNumber(0), "0");
    EXPECT_EQ(GroupedNumber(999), "999");
    EXPECT_EQ(GroupedNumber(1000), "1 000");
    EXPECT_EQ(GroupedNumber(1234567), "1 234 567");
    EXPECT_EQ(GroupedNumber(-5), "0");
    EXPECT_EQ(GroupedNumber(INT64_MAX), "9 223 372 036 854 775 807");

    EXPECT_EQ(SizeCaption(3072, 10240), "Skopiowano 3 KB z 10 KB");
    EXPECT_EQ(PercentCaption(3072, 10240), "30%");
    EXPECT_EQ(SizeCaption(500, 1023), "Skopiowano 0 KB z 0 KB");
    EXPECT_EQ(SizeCaption(5LL << 30, 6LL << 30), "Skopiowano 5 242 880 KB z 6 291 456 KB"); // past 32 bits
    EXPECT_EQ(PercentCaption(5LL << 30, 6LL << 30), "83%");
    EXPECT_EQ(SizeCaption(2048, 0), "Skopiowano 2 KB");
    EXPECT_EQ(PercentCaption(2048, 0), "");
}

TEST(UpdateLists, TheFileCounterOfThreeFilesCountsDownToTheLast)
{
    EXPECT_EQ(TotalCaption(1, 3), "Pozostało 2 z 3 plików");
    EXPECT_EQ(TotalCaption(2, 3), "Pozostało 1 z 3 plików");
    EXPECT_EQ(TotalCaption(3, 3), "To już ostatni plik...");
    EXPECT_EQ(TotalPercent(1, 3), 33);
    EXPECT_EQ(TotalPercent(2, 3), 66);
    EXPECT_EQ(TotalPercent(3, 3), 100);
    EXPECT_EQ(TotalPercent(0, 0), 0);
    EXPECT_EQ(ItemCountCaption(12), "12 składników");
}

TEST(UpdateLists, MarksCycleAndTheMenuCommandsTreatGreyItemsAsTheyShould)
{
    EXPECT_EQ(NextMark(Mark::Unticked), Mark::Grey);
    EXPECT_EQ(NextMark(Mark::Grey), Mark::Ticked);
    EXPECT_EQ(NextMark(Mark::Ticked), Mark::Unticked);

    const std::vector<Mark> start { Mark::Unticked, Mark::Grey, Mark::Ticked, Mark::Unticked };
    std::vector<Mark> marks = start;
    TickRest(marks);
    EXPECT_EQ(marks, (std::vector<Mark> { Mark::Ticked, Mark::Grey, Mark::Ticked, Mark::Ticked }));
    marks = start;
    TickAll(marks);
    EXPECT_EQ(marks, std::vector<Mark>(4, Mark::Ticked));
    marks = start;
    UntickAll(marks);
    EXPECT_EQ(marks, std::vector<Mark>(4, Mark::Unticked));
}

TEST(UpdateLists, SetupMemberNamesStayInsideTheTargetFolder)
{
    const struct {
        std::string name;
        std::optional<std::string> path;
        bool folder;
    } rows[] = {
        { "orbita", "orbita", false },
        { "KARNACJE\\Zielony.obs", "KARNACJE/Zielony.obs", false },
        { "KARNACJE\\", "KARNACJE", true },
        { "a\\b\\c.txt", "a/b/c.txt", false },
        { "..\\evil", std::nullopt, false },
        { "a\\..\\..\\evil", std::nullopt, false },
        { "a/../evil", std::nullopt, false }, // "/" separates too
        { "KARNACJE\\ZZ4/../x.obs", std::nullopt, false },
        { "/etc/passwd", std::nullopt, false },
        { "a/b", "a/b", false },
        { "a\\.\\b", std::nullopt, false },
        { "..", std::nullopt, false },
        { "\\etc\\passwd", std::nullopt, false },
        { "C:\\x", std::nullopt, false },
        { "a\\\\b", std::nullopt, false },
        { "", std::nullopt, false },
        { "\\", std::nullopt, false },
        { "a\nb", std::nullopt, false },
    };
    for (const auto& row : rows) {
        const std::optional<MemberPath> path = SafeMemberPath(row.name);
        ASSERT_EQ(path.has_value(), row.path.has_value()) << row.name;
        if (path) {
            EXPECT_EQ(path->path, *row.path) << row.name;
            EXPECT_EQ(path->folder, row.folder) << row.name;
        }
    }
}

} // namespace
} // namespace orbita::update
