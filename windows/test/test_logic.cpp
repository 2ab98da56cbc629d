#include "windows/test/test_logic.h"

#include "core/cp1250.h"
#include "core/text_helpers.h"
#include "data/archive_members.h"

#include <charconv>
#include <cstdio>

namespace orbita {
namespace {

// "Odpowiedź=" in Windows-1250.
constexpr std::string_view kAnswerKey = "Odpowied\x9F=";

bool Contains(std::string_view text, std::string_view part)
{
    return text.find(part) != std::string_view::npos;
}

std::string Key(std::string_view word, int number)
{
    return std::string(word) + std::to_string(number) + "=";
}

// The first line at or after `from` that contains `part` as written.
std::optional<std::size_t> FindLine(
    const std::vector<std::string>& lines, std::string_view part, std::size_t from = 0)
{
    for (std::size_t i = from; i < lines.size(); ++i) {
        if (Contains(lines[i], part))
            return i;
    }
    return std::nullopt;
}

// The first line containing `upperPart` once its ASCII letters are upper-cased.
std::optional<std::size_t> FindLineNoCase(const std::vector<std::string>& lines, std::string_view upperPart)
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (Contains(AsciiUpperText(lines[i]), upperPart))
            return i;
    }
    return std::nullopt;
}

// A whole decimal number, blanks around it allowed.
std::optional<int> ParseThreshold(std::string_view text)
{
    text = TrimBlanks(text);
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

// True when the upper-cased line holds a question key: "PYTANIE", digits, "=".
bool HoldsQuestionKey(std::string_view upper)
{
    for (std::size_t at = upper.find("PYTANIE"); at != std::string_view::npos;
         at = upper.find("PYTANIE", at + 1)) {
        std::size_t end = at + 7;
        while (end < upper.size() && upper[end] >= '0' && upper[end] <= '9')
            ++end;
        if (end > at + 7 && end < upper.size() && upper[end] == '=')
            return true;
    }
    return false;
}

bool StartsWithNoCase(std::string_view text, std::string_view upperPrefix)
{
    return text.size() >= upperPrefix.size()
        && AsciiUpperText(text.substr(0, upperPrefix.size())) == upperPrefix;
}

} // namespace

std::string RunningTestCaption(std::string_view title)
{
    return std::string(kTestCaption) + " [" + std::string(title) + "]";
}

std::string LineValue(std::string_view line)
{
    const std::size_t equals = line.find('=');
    return equals == std::string_view::npos ? std::string() : std::string(line.substr(equals + 1));
}

int CountQuestions(const std::vector<std::string>& lines)
{
    if (lines.size() < 3)
        return 0;
    int count = 0;
    std::string key = Key("Pytanie", 1);
    for (const std::string& line : lines) {
        if (count == kMaxTestQuestions)
            break;
        if (Contains(line, key))
            key = Key("Pytanie", ++count + 1);
    }
    return count;
}

TestDescription DescribeTest(const std::optional<std::vector<std::string>>& lines)
{
    return lines ? DescribeTest(*lines) : TestDescription {};
}

TestDescription DescribeTest(const std::vector<std::string>& lines)
{
    if (lines.size() < 3)
        return {};
    return { LineValue(lines[0]), LineValue(lines[1]), LineValue(lines[2]), CountQuestions(lines) };
}

std::optional<std::vector<std::string>> ReadTestLines(const std::string& packagePath)
{
    try {
        return ReadArchiveLines(kTestMember, packagePath);
    } catch (...) {
        return std::nullopt;
    }
}

TestQuestion ReadQuestion(const std::vector<std::string>& lines, int n)
{
    TestQuestion question;
    question.number = n;
    question.line = FindLineNoCase(lines, Key("PYTANIE", n));
    if (!question.line)
        return question;
    question.text = LineValue(lines[*question.line]);
    for (int k = 1; *question.line + static_cast<std::size_t>(k) < lines.size(); ++k) {
        const std::size_t at = *question.line + static_cast<std::size_t>(k);
        const std::string& line = lines[at];
        if (Contains(line, kAnswerKey)) {
            question.answerLine = at;
            question.answer = LineValue(line);
            break;
        }
        const std::string upper = AsciiUpperText(line);
        if (HoldsQuestionKey(upper))
            break;
        if (Contains(upper, Key("OPCJA", k)))
            question.options.push_back({ k, at, LineValue(line) });
        else
            question.strayLines.push_back(at);
    }
    return question;
}

QuestionPage BuildQuestionPage(const std::vector<std::string>& lines, int n)
{
    const TestQuestion question = ReadQuestion(lines, n);
    QuestionPage page;
    page.questionText = question.text;
    page.correctOption = question.answer;
    page.optionCount = static_cast<int>(question.options.size());
    const std::string number = std::to_string(n);
    page.html = "<table width=\"100%\" cellpadding=\"5\" cellspacing=\"0\" border=\"0\">"
                "<tr><td width=\"8%\" align=\"center\" valign=\"top\">"
        + number + ":</td><td valign=\"top \"width=\"92%\">" + question.text + "</td></tr><tr><td></td></tr>";
    for (const TestOption& option : question.options) {
        page.html += "<tr><td align=\"center\" valign=\"top\"><input type=radio name=option value=\""
            + std::to_string(option.number) + "\"></td><td>" + option.text + "</td></tr>";
    }
    page.html += "</table>";
    return page;
}

std::string RemainingText(int count, int n)
{
    // "Pozostało N pytań"
    return "Pozosta\xB3o " + std::to_string(count - n) + " pyta\xF1";
}

std::string CorrectAnswerPage(const std::vector<std::string>& lines, int n, std::string_view questionText,
    std::string_view correctOption)
{
    std::string optionText;
    if (const auto questionLine = FindLine(lines, Key("Pytanie", n))) {
        const std::string optionKey = "Opcja" + std::string(correctOption) + "=";
        for (std::size_t i = *questionLine + 1; i < lines.size() && !Contains(lines[i], kAnswerKey); ++i) {
            if (Contains(lines[i], optionKey)) {
                optionText = LineValue(lines[i]);
                break;
            }
        }
    }
    return "<table width=\"100%\" cellpadding=\"5\" cellspacing=\"0\" border=\"0\"><tr><td width=\"90\" "
           "valign=\"top\"><u><font color=\"blue\">Pytanie:</font></u></td><td>"
        + std::string(questionText)
        + "</td></tr><tr><td valign=\"top\"><u><font color=\"red\">Odpowied\x9F:</font></u></td><td>"
        + optionText + "</td></tr></table>";
}

std::optional<std::string> SubmittedAnswer(const std::vector<std::string>& entries)
{
    if (entries.empty())
        return std::nullopt;
    return LineValue(entries.front());
}

GradeScale ReadGrades(const std::vector<std::string>& lines)
{
    GradeScale scale;
    bool seen[7] = {};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        for (int g = 1; g <= 6; ++g) {
            const std::string key = Key("Ocena", g);
            if (!Contains(line, key))
                continue;
            GradeLine grade;
            grade.grade = g;
            grade.line = i;
            grade.atLineStart = line.starts_with(key);
            const std::size_t colon = line.find(':');
            if (colon != std::string::npos) {
                grade.description = line.substr(colon + 1);
                if (grade.atLineStart && colon >= key.size())
                    grade.threshold
                        = ParseThreshold(std::string_view(line).substr(key.size(), colon - key.size()));
            }
            if (!seen[g])
                scale.threshold[g] = grade.threshold;
            seen[g] = true;
            if (scale.description[g].empty())
                scale.description[g] = grade.description;
            scale.lines.push_back(std::move(grade));
        }
    }
    return scale;
}

int GradeFor(const GradeScale& scale, int correct)
{
    const std::optional<int>& lowest = scale.threshold[2];
    if (lowest && correct <= *lowest)
        return 1;
    for (int g = 6; g >= 3; --g) {
        if (scale.threshold[g] && *scale.threshold[g] <= correct)
            return g;
    }
    return lowest ? 2 : 1;
}

std::string ElapsedText(std::int64_t seconds)
{
    if (seconds < 0)
        seconds = 0;
    char text[40];
    std::snprintf(text, sizeof text, "%02lld:%02d:%02d", static_cast<long long>(seconds / 3600),
        static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
    return text;
}

std::string ElapsedStatus(std::int64_t seconds)
{
    // "Upłynęło "
    return "Up\xB3yn\xEA\xB3o " + ElapsedText(seconds);
}

std::int64_t ElapsedSeconds(std::int64_t startMs, std::int64_t nowMs)
{
    return nowMs > startMs ? (nowMs - startMs) / 1000 : 0;
}

std::string ResultsPage(const TestResults& results, const GradeScale& scale)
{
    const int grade = GradeFor(scale, results.correct);
    const std::int64_t average = results.count > 0 ? results.seconds / results.count : 0;
    return "<table width=\"100%\" cellpadding=\"0\" cellspacing=\"0\"><tr><td width=\"50%\" valign=\"top\">"
           "Tytu\xB3 testu:</td><td width=\"50%\" valign=\"top\">"
        + results.title + "</td></tr>"
        + "<tr><td valign=\"top\">Poprawnych odpowiedzi:</td><td valign=\"top\">"
        + std::to_string(results.correct) + "</td></tr>"
        + "<tr><td valign=\"top\">B\xB3\xEA"
          "dnych odpowiedzi:</td><td valign=\"top\">"
        + std::to_string(results.count - results.correct) + "</td></tr>"
        + "<tr><td valign=\"top\">Ilo\x9C\xE6 pyta\xF1:</td><td valign=\"top\">"
        + std::to_string(results.count) + "</td></tr>"
        + "<tr><td valign=\"top\">Czas wykonywania testu:</td><td valign=\"top\">"
        + ElapsedText(results.seconds) + "</td></tr>"
        + "<tr><td valign=\"top\">\x8Credni czas odpowiedzi:</td><td valign=\"top\">"
        + std::to_string(average) + " sekund</td></tr>"
        + "<tr><td valign=\"top\">Ocena:</td><td valign=\"top\">" + std::to_string(grade)
        + "</td></tr></table><br><br>" + scale.description[grade];
}

TestRun::TestRun(std::vector<std::string> lines)
    : m_lines(std::move(lines))
    , m_scale(ReadGrades(m_lines))
{
    const TestDescription description = DescribeTest(m_lines);
    m_title = description.title;
    m_count = description.questionCount;
}

TestRun::Step TestRun::Start()
{
    m_current = 0;
    m_correct = 0;
    m_finished = false;
    m_awaitingAnswer = false;
    return advance();
}

TestRun::Step TestRun::Next()
{
    return advance();
}

TestRun::Step TestRun::advance()
{
    m_correctOption.clear();
    m_awaitingAnswer = false;
    if (m_finished || m_current >= m_count) {
        m_finished = true;
        return { Step::Kind::Results, {}, {} };
    }
    ++m_current;
    QuestionPage page = BuildQuestionPage(m_lines, m_current);
    m_correctOption = std::move(page.correctOption);
    m_questionText = std::move(page.questionText);
    m_awaitingAnswer = true;
    return { Step::Kind::QuestionPage, std::move(page.html), RemainingText(m_count, m_current) };
}

TestRun::Step TestRun::Answer(const std::vector<std::string>& entries, bool showCorrect)
{
    if (m_finished || !m_awaitingAnswer)
        return { Step::Kind::Ignored, {}, {} };
    const std::optional<std::string> answer = SubmittedAnswer(entries);
    if (!answer)
        return { Step::Kind::NothingSelected, {}, {} };
    m_awaitingAnswer = false;
    // A question without an answer line has no correct option: every answer is wrong.
    const bool correct = !m_correctOption.empty() && *answer == m_correctOption;
    if (correct)
        ++m_correct;
    if (m_current >= m_count) {
        m_finished = true;
        return { Step::Kind::Results, {}, {} };
    }
    if (!correct && showCorrect)
        return { Step::Kind::CorrectAnswerPage,
            CorrectAnswerPage(m_lines, m_current, m_questionText, m_correctOption), {} };
    return advance();
}

std::string TestRun::ResultsPage(std::int64_t seconds) const
{
    return orbita::ResultsPage({ m_title, m_correct, m_count, seconds }, m_scale);
}

int TestRun::Grade() const
{
    return GradeFor(m_scale, m_correct);
}

TestLinkAction RouteTestLink(std::string_view target)
{
    if (StartsWithNoCase(target, "HTTP://") || StartsWithNoCase(target, "HTTPS://")
        || StartsWithNoCase(target, "MAILTO:"))
        return TestLinkAction::OpenExternally;
    if (target.starts_with('#'))
        return TestLinkAction::LeaveToView;
    return TestLinkAction::Ignore;
}

} // namespace orbita
