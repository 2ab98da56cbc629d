// orbita-tool test check and test pack: what a teacher's test package holds
// and every fault that would spoil a run, read with the test window's own
// rules (windows/test/test_logic.h).

#include "core/cp1250.h"
#include "data/archive_directory.h"
#include "data/text_lines.h"
#include "htmlview/markup_reader.h"
#include "tools/orbita_tool/command.h"
#include "windows/test/test_logic.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace orbita::tool {
namespace {

namespace fs = std::filesystem;

// The test as read from a package or a source folder.
struct TestSource {
    std::vector<std::string> lines; // Windows-1250
    std::function<bool(std::string_view)> memberExists; // a picture of that name can be read
    std::vector<std::string> problems; // found while reading, before the lines are checked
    bool readable = false;
};

// One problem: the line (from 1; 0 for the whole test) and the text in Polish.
struct Problem {
    std::size_t line = 0;
    std::string text;
};

std::string Utf8(std::string_view cp1250)
{
    return Cp1250ToUtf8(cp1250);
}

std::string Quoted(std::string_view cp1250)
{
    return "\xE2\x80\x9E" + Utf8(cp1250) + "\xE2\x80\x9D";
}

// A Windows-1250 TEST.TXT that was written as UTF-8: the answer key in its
// UTF-8 form, a byte-order mark, or Polish letters that read as valid UTF-8.
bool LooksLikeUtf8(const std::vector<std::string>& lines)
{
    std::string all;
    for (const std::string& line : lines)
        all += line + "\n";
    if (all.find("Odpowied\xC5\xBA=") != std::string::npos || all.starts_with("\xEF\xBB\xBF"))
        return true;
    const bool nonAscii = std::any_of(all.begin(), all.end(), [](char c) { return (c & 0x80) != 0; });
    return nonAscii && Utf8ToCp1250(all).has_value();
}

TestSource ReadPackage(const std::string& path)
{
    TestSource source;
    const ArchiveListing listing = ListArchive(path);
    if (listing.status != ListStatus::Ok) {
        source.problems.push_back("nie można odczytać pakietu: " + ListingProblemText(listing));
        return source;
    }
    auto lines = ReadTestLines(path);
    if (!lines) {
        source.problems.push_back("pakiet nie zawiera pliku TEST.TXT (albo nie da się go odczytać)");
        return source;
    }
    source.lines = std::move(*lines);
    source.readable = true;
    if (LooksLikeUtf8(source.lines))
        source.problems.push_back(
            "TEST.TXT jest zapisany w UTF-8, a program czyta go w Windows-1250 (polskie litery i klucz "
            "\xE2\x80\x9EOdpowied\xC5\xBA=\xE2\x80\x9D nie zostan\xC4\x85 rozpoznane)");
    source.memberExists = [path](std::string_view name) {
        ArchiveEntry entry;
        return FindArchiveEntry(path, name, entry);
    };
    return source;
}

// A source folder as `test pack` packs it: TEST.TXT and every other text in
// UTF-8, names converted to Windows-1250.
TestSource ReadFolder(const fs::path& folder)
{
    TestSource source;
    std::error_code error;
    std::set<std::string> members; // lower-cased, "\" between folders, as the program looks them up
    std::optional<fs::path> testFile;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (!it->is_regular_file(error))
            continue;
        const fs::path relative = it->path().lexically_relative(folder);
        std::string name = Utf8ToCp1250Lossy(relative.generic_string());
        std::replace(name.begin(), name.end(), '/', '\\');
        members.insert(Cp1250LowerText(name));
        if (Cp1250LowerText(name) == Cp1250LowerText(kTestMember))
            testFile = it->path();
    }
    if (error) {
        source.problems.push_back("nie można odczytać folderu: " + error.message());
        return source;
    }
    if (!testFile) {
        source.problems.push_back("folder nie zawiera pliku TEST.TXT");
        return source;
    }
    std::ifstream in(*testFile, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.eof() && in.fail()) {
        source.problems.push_back("nie można odczytać pliku TEST.TXT");
        return source;
    }
    std::string_view utf8 = text;
    if (utf8.starts_with("\xEF\xBB\xBF"))
        utf8.remove_prefix(3);
    std::size_t failedAt = 0;
    const auto converted = Utf8ToCp1250(utf8, &failedAt);
    if (!converted) {
        const auto line
            = 1 + std::count(utf8.begin(), utf8.begin() + static_cast<std::ptrdiff_t>(failedAt), '\n');
        source.problems.push_back("TEST.TXT, wiersz " + std::to_string(line)
            + ": to nie jest tekst UTF-8, kt\xC3\xB3ry da si\xC4\x99 zapisa\xC4\x87 w Windows-1250");
        return source;
    }
    source.lines = SplitTextLines(*converted);
    source.readable = true;
    source.memberExists = [members = std::move(members)](
                              std::string_view name) { return members.count(Cp1250LowerText(name)) > 0; };
    return source;
}

// The IMG SRC names of a piece of page markup.
std::vector<std::string> PictureNames(std::string_view markup)
{
    std::vector<std::string> names;
    html::MarkupReader reader(markup);
    html::Token token;
    while (reader.next(token)) {
        if (token.kind != html::TokenKind::StartTag || token.element != html::ElementId::Img)
            continue;
        if (const auto* src = html::GetAttribute(token.attributes, html::AttributeId::Src);
            src && !src->text.empty())
            names.push_back(src->text);
    }
    return names;
}

// A key found in a line without regard to letter case: `upperWord` + digits + "=".
struct KeyUse {
    std::size_t line = 0;
    int number = -1; // -1 when no digits follow (the answer key)
    bool exactCase = false;
    std::string written;
};

std::vector<KeyUse> FindKeys(const std::vector<std::string>& lines, std::string_view word, bool numbered)
{
    const std::string upperWord = AsciiUpperText(word);
    std::vector<KeyUse> uses;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string upper = AsciiUpperText(lines[i]);
        for (std::size_t at = upper.find(upperWord); at != std::string::npos;
             at = upper.find(upperWord, at + 1)) {
            std::size_t end = at + upperWord.size();
            int number = -1;
            if (numbered) {
                std::size_t digits = end;
                while (
                    digits < upper.size() && upper[digits] >= '0' && upper[digits] <= '9' && digits - end < 6)
                    ++digits;
                if (digits == end)
                    continue;
                number = std::stoi(upper.substr(end, digits - end));
                end = digits;
            }
            if (end >= upper.size() || upper[end] != '=')
                continue;
            uses.push_back({ i, number, lines[i].compare(at, word.size(), word) == 0,
                lines[i].substr(at, end + 1 - at) });
        }
    }
    return uses;
}

std::vector<Problem> CheckLines(
    const std::vector<std::string>& lines, const std::function<bool(std::string_view)>& memberExists)
{
    std::vector<Problem> problems;
    auto report = [&problems](std::size_t index, std::string text) {
        problems.push_back({ index + 1, std::move(text) });
    };
    if (lines.size() < 3)
        problems.push_back({ 0, "plik ma mniej ni\xC5\xBC trzy wiersze (tytu\xC5\x82, autor, opis)" });

    // Keys written in another letter case than the program looks for.
    const std::pair<std::string_view, bool> keys[]
        = { { "Pytanie", true }, { "Opcja", true }, { "Odpowied\x9F", false }, { "Ocena", true } };
    for (const auto& [word, numbered] : keys) {
        for (const KeyUse& use : FindKeys(lines, word, numbered)) {
            if (!use.exactCase)
                report(use.line,
                    "klucz " + Quoted(use.written)
                        + " ma inn\xC4\x85 wielko\xC5\x9B\xC4\x87 liter ni\xC5\xBC "
                        + Quoted(std::string(word) + (numbered ? std::to_string(use.number) : "") + "=")
                        + "; program go nie rozpozna");
        }
    }

    // Question numbers: 1, 2, 3 … in file order.
    const int count = CountQuestions(lines);
    int expected = 1;
    for (const KeyUse& use : FindKeys(lines, "Pytanie", true)) {
        if (!use.exactCase)
            continue;
        if (use.number == expected && expected <= kMaxTestQuestions) {
            ++expected;
            continue;
        }
        if (use.number == expected) {
            report(use.line,
                "test ma wi\xC4\x99"
                "cej ni\xC5\xBC "
                    + std::to_string(kMaxTestQuestions) + " pyta\xC5\x84; pytania od "
                    + std::to_string(use.number)
                    + ". nie b\xC4\x99"
                      "d\xC4\x85 zadane");
        } else {
            report(use.line,
                "pytanie numer " + std::to_string(use.number) + " stoi tam, gdzie oczekiwano numeru "
                    + std::to_string(expected)
                    + " (przerwa, powt\xC3\xB3rzenie lub z\xC5\x82"
                      "a kolejno\xC5\x9B\xC4\x87); "
                    + "pytania od tego miejsca nie b\xC4\x99"
                      "d\xC4\x85 zadane");
        }
        break;
    }
    if (count == 0 && lines.size() >= 3)
        problems.push_back({ 0,
            "test nie zawiera \xC5\xBC"
            "adnych pyta\xC5\x84 (klucz \xE2\x80\x9EPytanie1=\xE2\x80\x9D)" });

    for (int n = 1; n <= count; ++n) {
        const TestQuestion question = ReadQuestion(lines, n);
        if (!question.line)
            continue;
        const std::string name = "pytanie " + std::to_string(n);
        for (const std::size_t stray : question.strayLines)
            report(stray,
                name + ": ten wiersz nie jest opcj\xC4\x85 numer " + std::to_string(stray - *question.line)
                    + " (opcje Opcja1=, Opcja2= \xE2\x80\xA6 musz\xC4\x85 sta\xC4\x87 zaraz po pytaniu, bez "
                      "przerw)");
        if (question.options.empty())
            report(*question.line,
                name
                    + " nie ma \xC5\xBC"
                      "adnej opcji");
        if (!question.answerLine) {
            report(*question.line, name + " nie ma wiersza \xE2\x80\x9EOdpowied\xC5\xBA=\xE2\x80\x9D");
        } else {
            const bool amongOptions = std::any_of(question.options.begin(), question.options.end(),
                [&](const TestOption& option) { return std::to_string(option.number) == question.answer; });
            if (!amongOptions)
                report(*question.answerLine,
                    name + ": odpowied\xC5\xBA " + Quoted(question.answer)
                        + " nie jest numerem \xC5\xBC"
                          "adnej z jego opcji");
            const auto next = n < count ? ReadQuestion(lines, n + 1).line : std::nullopt;
            const std::size_t end = next ? *next : lines.size();
            for (std::size_t i = *question.answerLine + 1; i < end; ++i) {
                if (lines[i].find("Odpowied\x9F=") != std::string::npos)
                    report(i, name + ": druga odpowied\xC5\xBA (liczy si\xC4\x99 pierwsza)");
            }
        }
        std::vector<std::pair<std::size_t, std::string>> texts = { { *question.line, question.text } };
        for (const TestOption& option : question.options)
            texts.emplace_back(option.line, option.text);
        for (const auto& [line, text] : texts) {
            for (const std::string& picture : PictureNames(text)) {
                if (!memberExists || !memberExists(picture))
                    report(line, "obrazka " + Quoted(picture) + " nie ma w pakiecie");
            }
        }
    }

    // Grade thresholds.
    const GradeScale scale = ReadGrades(lines);
    bool seen[7] = {};
    for (const GradeLine& grade : scale.lines) {
        const std::string key = Quoted("Ocena" + std::to_string(grade.grade) + "=");
        if (seen[grade.grade])
            report(grade.line, "drugi wiersz " + key + " (pr\xC3\xB3g bierze si\xC4\x99 z pierwszego)");
        else if (!grade.atLineStart && grade.grade >= 2)
            report(
                grade.line, key + " nie stoi na pocz\xC4\x85tku wiersza; pr\xC3\xB3g nie zostanie odczytany");
        else if (!grade.threshold && grade.grade >= 2)
            report(grade.line,
                "pr\xC3\xB3g oceny " + std::to_string(grade.grade)
                    + " nie jest liczb\xC4\x85 zako\xC5\x84"
                      "czon\xC4\x85 dwukropkiem");
        seen[grade.grade] = true;
    }
    std::optional<std::pair<int, int>> previous; // grade, threshold
    for (int g = 2; g <= 6; ++g) {
        if (!seen[g])
            problems.push_back({ 0,
                "brak wiersza " + Quoted("Ocena" + std::to_string(g) + "=") + " (pr\xC3\xB3g oceny "
                    + std::to_string(g) + ")" });
        if (!scale.threshold[g])
            continue;
        const int threshold = *scale.threshold[g];
        const auto line = std::find_if(scale.lines.begin(), scale.lines.end(), [g](const GradeLine& l) {
            return l.grade == g;
        })->line;
        if (previous && threshold <= previous->second)
            report(line,
                "pr\xC3\xB3g oceny " + std::to_string(g) + " (" + std::to_string(threshold)
                    + ") nie jest wi\xC4\x99kszy ni\xC5\xBC pr\xC3\xB3g oceny "
                    + std::to_string(previous->first) + " (" + std::to_string(previous->second) + ")");
        if (g >= 3 && threshold > count)
            report(line,
                "pr\xC3\xB3g oceny " + std::to_string(g) + " (" + std::to_string(threshold)
                    + ") przekracza liczb\xC4\x99 pyta\xC5\x84 (" + std::to_string(count)
                    + "); tej oceny nie mo\xC5\xBCna dosta\xC4\x87");
        previous = { g, threshold };
    }
    std::stable_sort(
        problems.begin(), problems.end(), [](const Problem& a, const Problem& b) { return a.line < b.line; });
    return problems;
}

// What the test holds, for the teacher to read through.
void PrintSummary(const std::vector<std::string>& lines)
{
    const TestDescription description = DescribeTest(lines);
    std::printf("Tytu\xC5\x82: %s\nAutor: %s\nOpis: %s\nLiczba pyta\xC5\x84: %d\n",
        Utf8(description.title).c_str(), Utf8(description.author).c_str(),
        Utf8(description.description).c_str(), description.questionCount);
    for (int n = 1; n <= description.questionCount; ++n) {
        const TestQuestion question = ReadQuestion(lines, n);
        std::printf(
            "\nPytanie %d (wiersz %zu): %s\n", n, question.line.value_or(0) + 1, Utf8(question.text).c_str());
        for (const TestOption& option : question.options)
            std::printf("  %s%d) %s\n", std::to_string(option.number) == question.answer ? "*" : " ",
                option.number, Utf8(option.text).c_str());
        std::printf(
            "  Odpowied\xC5\xBA: %s\n", question.answerLine ? Utf8(question.answer).c_str() : "(brak)");
    }
    const GradeScale scale = ReadGrades(lines);
    std::printf("\nProgi ocen:");
    for (int g = 2; g <= 6; ++g)
        std::printf(" %d: %s%s", g, scale.threshold[g] ? std::to_string(*scale.threshold[g]).c_str() : "brak",
            g < 6 ? "," : "\n");
    std::printf("Ocena za liczb\xC4\x99 poprawnych odpowiedzi:");
    for (int first = 0; first <= description.questionCount;) {
        const int grade = GradeFor(scale, first);
        int last = first;
        while (last < description.questionCount && GradeFor(scale, last + 1) == grade)
            ++last;
        std::printf(" %s \xE2\x86\x92 %d%s",
            (first == last ? std::to_string(first)
                           : std::to_string(first) + "\xE2\x80\x93" + std::to_string(last))
                .c_str(),
            grade, last == description.questionCount ? "\n" : ",");
        first = last + 1;
    }
}

// Checks the package or folder at `path`; prints the problems on stderr.
// True when none were found.
bool CheckTest(const std::string& path, bool printSummary)
{
    std::error_code error;
    const bool folder = fs::is_directory(path, error);
    const TestSource source = folder ? ReadFolder(path) : ReadPackage(path);
    std::vector<Problem> problems;
    for (const std::string& problem : source.problems)
        problems.push_back({ 0, problem });
    if (source.readable) {
        if (printSummary)
            PrintSummary(source.lines);
        for (Problem& problem : CheckLines(source.lines, source.memberExists))
            problems.push_back(std::move(problem));
    }
    for (const Problem& problem : problems) {
        if (problem.line > 0)
            std::fprintf(stderr, "%s: wiersz %zu: %s\n", path.c_str(), problem.line, problem.text.c_str());
        else
            std::fprintf(stderr, "%s: %s\n", path.c_str(), problem.text.c_str());
    }
    if (problems.empty())
        std::printf("%s: nie znaleziono problem\xC3\xB3w\n", path.c_str());
    else
        std::fprintf(stderr, "%s: znalezione problemy: %zu\n", path.c_str(), problems.size());
    return problems.empty();
}

int CheckCommand(const std::vector<std::string>& args)
{
    if (args.size() != 1 || args[0].empty()) {
        std::fputs("usage: orbita-tool test check FILE.obt|FOLDER\n", stderr);
        return 2;
    }
    return CheckTest(args[0], true) ? 0 : 1;
}

int PackCommand(const std::vector<std::string>& args)
{
    if (args.size() != 2 || args[0].empty() || args[1].empty()) {
        std::fputs("usage: orbita-tool test pack FOLDER FILE.obt\n", stderr);
        return 2;
    }
    std::error_code error;
    if (!fs::is_directory(args[0], error)) {
        std::fprintf(stderr, "orbita-tool: %s: to nie jest folder\n", args[0].c_str());
        return 1;
    }
    if (!CheckTest(args[0], false)) {
        std::fprintf(stderr, "orbita-tool: pakiet %s nie zosta\xC5\x82 zbudowany\n", args[1].c_str());
        return 1;
    }
    // The folder is packed as every package is: texts and names from UTF-8 to Windows-1250.
    const auto& commands = Commands();
    const auto pack = std::find_if(
        commands.begin(), commands.end(), [](const Command& c) { return c.name == "archive pack"; });
    if (pack == commands.end()) {
        std::fputs("orbita-tool: the archive pack command is missing\n", stderr);
        return 1;
    }
    return pack->run({ "--from-utf8", args[0], args[1] });
}

const CommandRegistrar checkRegistrar(Command { "test check",
    "test check FILE.obt|FOLDER   show a chemistry test (a package, or its source folder in UTF-8) and "
    "report "
    "in Polish every fault that would spoil a run; exit 1 when one is found",
    CheckCommand });
const CommandRegistrar packRegistrar(Command { "test pack",
    "test pack FOLDER FILE.obt   check the test of FOLDER and, when it has no faults, pack it as archive "
    "pack "
    "--from-utf8 does",
    PackCommand });

} // namespace
} // namespace orbita::tool
