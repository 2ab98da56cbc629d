#include "core/cp1250.h"
#include "htmlview/markup_reader.h"
#include "windows/test/test_logic.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace orbita {
namespace {

std::string cp(const std::string& utf8)
{
    return *Utf8ToCp1250(utf8);
}

std::vector<std::string> cpLines(const std::vector<std::string>& utf8)
{
    std::vector<std::string> lines;
    for (const std::string& line : utf8)
        lines.push_back(cp(line));
    return lines;
}

// A test of `count` questions, each with three options and option 2 correct,
// followed by `grades` lines.
std::vector<std::string> sampleTest(int count, const std::vector<std::string>& grades = {})
{
    std::vector<std::string> lines
        = cpLines({ "Tytul=Budowa atomu", "Autor=Jan Kowalski", "Opis=Krótki test" });
    for (int n = 1; n <= count; ++n) {
        const std::string number = std::to_string(n);
        lines.push_back("Pytanie" + number + "=Pytanie numer " + number);
        for (int k = 1; k <= 3; ++k)
            lines.push_back("Opcja" + std::to_string(k) + "=Odpowiedz " + number + "." + std::to_string(k));
        lines.push_back(cp("Odpowiedź=2"));
    }
    for (const std::string& grade : grades)
        lines.push_back(cp(grade));
    return lines;
}

const std::vector<std::string> kSchoolGrades = { "Ocena1=0:Niedostateczny", "Ocena2=3:Dopuszczający",
    "Ocena3=5:Dostateczny", "Ocena4=7:Dobry", "Ocena5=8:Bardzo dobry", "Ocena6=10:Celujący" };

TEST(TestDescription, FirstThreeLinesWhateverTheirKeysAndValuesKeepTheirEquals)
{
    const auto lines = cpLines(
        { "Cokolwiek=Reakcje a=b", "x=Anna", "=opis=ze=znakami", "Pytanie1=p", "Opcja1=a", "Odpowiedź=1" });
    EXPECT_EQ(DescribeTest(lines), (TestDescription { "Reakcje a=b", "Anna", "opis=ze=znakami", 1 }));
}

TEST(TestDescription, DamagedMissingOrShortTestIsListedEmpty)
{
    EXPECT_EQ(DescribeTest(std::optional<std::vector<std::string>>()), TestDescription {});
    EXPECT_EQ(DescribeTest(std::vector<std::string> { "Tytul=A", "Pytanie1=p" }), TestDescription {});
    // A file that is no package at all reads as nothing, without throwing.
    EXPECT_FALSE(ReadTestLines("/nonexistent/pakiet.obt"));
    const std::string damaged
        = (std::filesystem::temp_directory_path() / ("orbita-damaged-" + std::to_string(::getpid()) + ".obt"))
              .string();
    std::ofstream(damaged, std::ios::binary) << "<html>404 Not Found</html>PK\x03\x04garbage";
    EXPECT_FALSE(ReadTestLines(damaged));
    EXPECT_EQ(DescribeTest(ReadTestLines(damaged)), TestDescription {});
    std::filesystem::remove(damaged);
}

TEST(TestQuestionCount, OnePassRunOfNumbersCaseSensitiveAndCapped)
{
    EXPECT_EQ(CountQuestions(sampleTest(10)), 10);
    // Numbering 1, 2, 4 counts 2.
    EXPECT_EQ(CountQuestions({ "T=", "A=", "O=", "Pytanie1=a", "Pytanie2=b", "Pytanie4=c" }), 2);
    // The run follows file order: 2 before 1 counts only 1.
    EXPECT_EQ(CountQuestions({ "T=", "A=", "O=", "Pytanie2=b", "Pytanie1=a" }), 1);
    // Lower-case keys count nothing.
    EXPECT_EQ(CountQuestions({ "T=", "A=", "O=", "pytanie1=a", "PYTANIE2=b" }), 0);
    // "Pytanie1=" is not found inside "Pytanie10=".
    EXPECT_EQ(CountQuestions({ "T=", "A=", "O=", "Pytanie10=a" }), 0);
    // 300 questions stop at 255 instead of wrapping to 44.
    EXPECT_EQ(CountQuestions(sampleTest(300)), kMaxTestQuestions);
}

TEST(TestQuestionPage, MarkupTextAndRemainingCount)
{
    const auto lines = sampleTest(10);
    const QuestionPage page = BuildQuestionPage(lines, 1);
    EXPECT_EQ(page.html,
        "<table width=\"100%\" cellpadding=\"5\" cellspacing=\"0\" border=\"0\"><tr><td width=\"8%\" "
        "align=\"center\" valign=\"top\">1:</td><td valign=\"top \"width=\"92%\">Pytanie numer "
        "1</td></tr><tr><td>"
        "</td></tr><tr><td align=\"center\" valign=\"top\"><input type=radio name=option "
        "value=\"1\"></td><td>"
        "Odpowiedz 1.1</td></tr><tr><td align=\"center\" valign=\"top\"><input type=radio name=option "
        "value=\"2\"></td><td>Odpowiedz 1.2</td></tr><tr><td align=\"center\" valign=\"top\"><input "
        "type=radio "
        "name=option value=\"3\"></td><td>Odpowiedz 1.3</td></tr></table>");
    EXPECT_EQ(page.correctOption, "2");
    EXPECT_EQ(page.questionText, "Pytanie numer 1");
    EXPECT_EQ(page.optionCount, 3);
    EXPECT_EQ(Cp1250ToUtf8(RemainingText(10, 1)), "Pozostało 9 pytań");
    EXPECT_EQ(Cp1250ToUtf8(RemainingText(10, 10)), "Pozostało 0 pytań");
}

TEST(TestQuestionPage, MarkupReaderFindsTheRadioControlsDespiteTheOddQuoting)
{
    const QuestionPage page = BuildQuestionPage(sampleTest(3), 2);
    html::MarkupReader reader(page.html);
    html::Token token;
    std::vector<std::string> values;
    std::string questionCellValign;
    while (reader.next(token)) {
        if (token.kind != html::TokenKind::StartTag)
            continue;
        if (token.element == html::ElementId::Td) {
            // The question cell: valign="top " with the width glued to it.
            const auto* width = html::GetAttribute(token.attributes, html::AttributeId::Width);
            const auto* valign = html::GetAttribute(token.attributes, html::AttributeId::Valign);
            if (width && width->text == "92%") {
                ASSERT_NE(valign, nullptr);
                questionCellValign = valign->text;
            }
        }
        if (token.element == html::ElementId::Input) {
            const auto* name = html::GetAttribute(token.attributes, html::AttributeId::Name);
            const auto* type = html::GetAttribute(token.attributes, html::AttributeId::Type);
            const auto* value = html::GetAttribute(token.attributes, html::AttributeId::Value);
            ASSERT_TRUE(name && type && value);
            EXPECT_EQ(name->text, "option");
            EXPECT_EQ(type->text, "radio");
            values.push_back(value->text);
        }
    }
    EXPECT_FALSE(reader.failed());
    EXPECT_EQ(questionCellValign, "top");
    EXPECT_EQ(values, (std::vector<std::string> { "1", "2", "3" }));
}

TEST(TestQuestionPage, OptionsAreFoundOnlyOnTheirOwnLineAndWithoutCase)
{
    // A blank line uses up number 2, so "Opcja2" on the third line is no option;
    // "OPCJA3" is found without case.
    const auto lines
        = cpLines({ "T=", "A=", "O=", "Pytanie1=Q", "opcja1=a", "", "Opcja2=b", "OPCJA4=d", "Odpowiedź=1" });
    const TestQuestion question = ReadQuestion(lines, 1);
    ASSERT_EQ(question.options.size(), 2u);
    EXPECT_EQ(question.options[0].text, "a");
    EXPECT_EQ(question.options[1].number, 4);
    EXPECT_EQ(question.strayLines, (std::vector<std::size_t> { 5, 6 }));
    EXPECT_EQ(question.answerLine, 8u);
}

TEST(TestQuestionPage, MissingOptionsOrAnswerNeverReadPastTheLines)
{
    // The answer right after the question: a page without controls.
    auto lines = cpLines({ "T=", "A=", "O=", "Pytanie1=Bez opcji", "Odpowiedź=1", "Pytanie2=Ostatnie",
        "Opcja1=a", "Opcja2=b" });
    EXPECT_EQ(BuildQuestionPage(lines, 1).optionCount, 0);
    // The last question has no answer line: the options end with the lines.
    const QuestionPage last = BuildQuestionPage(lines, 2);
    EXPECT_EQ(last.optionCount, 2);
    EXPECT_EQ(last.correctOption, "");
    // A question without its answer line does not take the next question's answer.
    lines = cpLines({ "T=", "A=", "O=", "Pytanie1=a", "Opcja1=x", "Pytanie2=b", "Opcja1=y", "Odpowiedź=1" });
    EXPECT_EQ(ReadQuestion(lines, 1).answer, "");
    EXPECT_FALSE(ReadQuestion(lines, 1).answerLine);
    EXPECT_EQ(ReadQuestion(lines, 2).answer, "1");
    // Nor that of a later question after a gap in the numbering.
    lines = cpLines({ "T=", "A=", "O=", "Pytanie1=a", "Opcja1=x", "pytanie5=b", "Opcja1=y", "Odpowiedź=1" });
    EXPECT_FALSE(ReadQuestion(lines, 1).answerLine);
}

TEST(TestCorrectAnswerPage, ShowsTheCorrectOptionAndStaysInsideTheQuestion)
{
    const auto lines = sampleTest(3);
    EXPECT_EQ(Cp1250ToUtf8(CorrectAnswerPage(lines, 2, "Pytanie numer 2", "2")),
        "<table width=\"100%\" cellpadding=\"5\" cellspacing=\"0\" border=\"0\"><tr><td width=\"90\" "
        "valign=\"top\"><u><font color=\"blue\">Pytanie:</font></u></td><td>Pytanie numer 2</td></tr><tr><td "
        "valign=\"top\"><u><font color=\"red\">Odpowiedź:</font></u></td><td>Odpowiedz "
        "2.2</td></tr></table>");
    // Option 9 does not exist: the text stays empty rather than coming from a later question.
    EXPECT_NE(CorrectAnswerPage(lines, 2, "Q", "9").find("</font></u></td><td></td>"), std::string::npos);
    EXPECT_NE(CorrectAnswerPage(lines, 7, "Q", "1").find("</font></u></td><td></td>"), std::string::npos);
}

TEST(TestGrades, ThresholdsOfASchoolScale)
{
    const GradeScale scale = ReadGrades(sampleTest(10, kSchoolGrades));
    const std::vector<std::pair<int, int>> expected
        = { { 0, 1 }, { 3, 1 }, { 4, 2 }, { 5, 3 }, { 6, 3 }, { 7, 4 }, { 8, 5 }, { 9, 5 }, { 10, 6 } };
    for (const auto& [correct, grade] : expected)
        EXPECT_EQ(GradeFor(scale, correct), grade) << correct << " correct";
    EXPECT_EQ(Cp1250ToUtf8(scale.description[6]), "Celujący");
}

TEST(TestGrades, UnreadableMissingAndOutOfOrderThresholds)
{
    auto gradeOf = [](const std::vector<std::string>& grades, int correct) {
        return GradeFor(ReadGrades(cpLines(grades)), correct);
    };
    // A non-numeric T4, one without ":" and one not at the line start count as missing.
    const std::vector<std::string> unreadable
        = { "Ocena2=3:a", "Ocena3=5:b", "Ocena4=siedem:c", "Ocena5=8", " Ocena6=10:f" };
    const GradeScale scale = ReadGrades(cpLines(unreadable));
    EXPECT_EQ(scale.threshold[3], 5);
    EXPECT_FALSE(scale.threshold[4]);
    EXPECT_FALSE(scale.threshold[5]);
    EXPECT_FALSE(scale.threshold[6]);
    EXPECT_EQ(scale.description[6], "f");
    EXPECT_EQ(gradeOf(unreadable, 7), 3);
    EXPECT_EQ(gradeOf(unreadable, 10), 3);
    // Missing T4: from T3 on the grade is 3 until T5.
    const std::vector<std::string> noFour = { "Ocena2=3:a", "Ocena3=5:b", "Ocena5=8:d", "Ocena6=10:e" };
    EXPECT_EQ(gradeOf(noFour, 7), 3);
    EXPECT_EQ(gradeOf(noFour, 8), 5);
    // Out of order: the highest grade reached wins, c ≤ T2 still gives 1.
    const std::vector<std::string> swapped = { "Ocena2=3:a", "Ocena3=7:b", "Ocena4=5:c" };
    EXPECT_EQ(gradeOf(swapped, 4), 2);
    EXPECT_EQ(gradeOf(swapped, 5), 4);
    EXPECT_EQ(gradeOf(swapped, 8), 4);
    // Without T2: 1 until a threshold is reached; with no grade lines at all: always 1.
    EXPECT_EQ(gradeOf({ "Ocena3=5:b" }, 4), 1);
    EXPECT_EQ(gradeOf({ "Ocena3=5:b" }, 5), 3);
    EXPECT_EQ(gradeOf({}, 10), 1);
    // The description is the first non-empty one of its grade; the threshold the first line's.
    const GradeScale twice = ReadGrades(cpLines({ "Ocena6=9:", "Ocena6=1:Celujący" }));
    EXPECT_EQ(twice.threshold[6], 9);
    EXPECT_EQ(Cp1250ToUtf8(twice.description[6]), "Celujący");
}

TEST(TestTime, ClockTextAndMonotonicSeconds)
{
    EXPECT_EQ(ElapsedText(0), "00:00:00");
    EXPECT_EQ(ElapsedText(125), "00:02:05");
    EXPECT_EQ(ElapsedText(3600 * 100 + 61), "100:01:01");
    EXPECT_EQ(Cp1250ToUtf8(ElapsedStatus(59)), "Upłynęło 00:00:59");
    EXPECT_EQ(ElapsedSeconds(1000, 3999), 2);
    EXPECT_EQ(ElapsedSeconds(5000, 1000), 0);
}

TEST(TestResultsPage, RowsVerbatimAndAverageGuarded)
{
    const GradeScale scale = ReadGrades(cpLines(kSchoolGrades));
    EXPECT_EQ(Cp1250ToUtf8(ResultsPage({ cp("Budowa atomu"), 9, 10, 125 }, scale)),
        "<table width=\"100%\" cellpadding=\"0\" cellspacing=\"0\"><tr><td width=\"50%\" "
        "valign=\"top\">Tytuł "
        "testu:</td><td width=\"50%\" valign=\"top\">Budowa atomu</td></tr><tr><td valign=\"top\">Poprawnych "
        "odpowiedzi:</td><td valign=\"top\">9</td></tr><tr><td valign=\"top\">Błędnych odpowiedzi:</td><td "
        "valign=\"top\">1</td></tr><tr><td valign=\"top\">Ilość pytań:</td><td "
        "valign=\"top\">10</td></tr><tr><td "
        "valign=\"top\">Czas wykonywania testu:</td><td valign=\"top\">00:02:05</td></tr><tr><td "
        "valign=\"top\">Średni czas odpowiedzi:</td><td valign=\"top\">12 sekund</td></tr><tr><td "
        "valign=\"top\">Ocena:</td><td valign=\"top\">5</td></tr></table><br><br>Bardzo dobry");
    EXPECT_NE(ResultsPage({ "T", 0, 0, 30 }, scale).find(">0 sekund<"), std::string::npos);
}

TEST(TestRunFlow, AllCorrectThenGrade)
{
    TestRun run(sampleTest(10, kSchoolGrades));
    ASSERT_TRUE(run.CanStart());
    TestRun::Step step = run.Start();
    EXPECT_EQ(step.kind, TestRun::Step::Kind::QuestionPage);
    EXPECT_EQ(Cp1250ToUtf8(step.remaining), "Pozostało 9 pytań");
    for (int n = 1; n < 10; ++n) {
        EXPECT_EQ(run.CurrentQuestion(), n);
        step = run.Answer({ "option=2" }, true);
        ASSERT_EQ(step.kind, TestRun::Step::Kind::QuestionPage);
    }
    EXPECT_EQ(Cp1250ToUtf8(step.remaining), "Pozostało 0 pytań");
    EXPECT_EQ(run.Answer({ "option=2" }, true).kind, TestRun::Step::Kind::Results);
    EXPECT_TRUE(run.Finished());
    EXPECT_EQ(run.CorrectAnswers(), 10);
    EXPECT_EQ(run.Grade(), 6);
    EXPECT_NE(run.ResultsPage(125).find(">12 sekund<"), std::string::npos);
}

TEST(TestRunFlow, WrongAnswersNothingSelectedAndRepeatedSubmits)
{
    TestRun run(sampleTest(3, kSchoolGrades));
    run.Start();
    EXPECT_EQ(run.Answer({}, true).kind, TestRun::Step::Kind::NothingSelected);
    EXPECT_EQ(run.CurrentQuestion(), 1);
    // A wrong answer with the correct answers shown: the correct-answer page, then Next.
    const TestRun::Step shown = run.Answer({ "option=1" }, true);
    ASSERT_EQ(shown.kind, TestRun::Step::Kind::CorrectAnswerPage);
    EXPECT_NE(shown.html.find("Odpowiedz 1.2"), std::string::npos);
    // A second submit of the same page is not counted against anything.
    EXPECT_EQ(run.Answer({ "option=2" }, true).kind, TestRun::Step::Kind::Ignored);
    EXPECT_EQ(run.Next().kind, TestRun::Step::Kind::QuestionPage);
    // Without the correct answers shown a wrong answer goes on at once.
    EXPECT_EQ(run.Answer({ "option=3" }, false).kind, TestRun::Step::Kind::QuestionPage);
    EXPECT_EQ(run.CurrentQuestion(), 3);
    // A wrong last answer goes straight to the results, even with the answers shown.
    EXPECT_EQ(run.Answer({ "option=1", "other=2" }, true).kind, TestRun::Step::Kind::Results);
    EXPECT_EQ(run.CorrectAnswers(), 0);
    EXPECT_EQ(run.Answer({ "option=2" }, true).kind, TestRun::Step::Kind::Ignored);
    EXPECT_EQ(run.Grade(), 1);
    // A new start begins again.
    run.Start();
    EXPECT_EQ(run.CurrentQuestion(), 1);
    EXPECT_FALSE(run.Finished());
}

TEST(TestRunFlow, EmptyTestIsRefusedAndAQuestionWithoutOptionsStillEnds)
{
    EXPECT_FALSE(TestRun(cpLines({ "T=", "A=", "O=", "pytanie1=a", "opcja1=x", "odpowiedź=1" })).CanStart());
    EXPECT_EQ(Cp1250ToUtf8(std::string(kEmptyTestText)), "Wybrany test nie zawiera żadnych pytań");
    // The last question has no options: Next past it gives the results, not an endless run.
    TestRun run(cpLines(
        { "T=Test", "A=", "O=", "Pytanie1=a", "Opcja1=x", "Odpowiedź=1", "Pytanie2=b", "Odpowiedź=1" }));
    run.Start();
    EXPECT_EQ(run.Answer({ "option=1" }, true).kind, TestRun::Step::Kind::QuestionPage);
    EXPECT_EQ(run.Next().kind, TestRun::Step::Kind::Results);
    EXPECT_EQ(run.Next().kind, TestRun::Step::Kind::Results);
    EXPECT_EQ(run.CorrectAnswers(), 1);
    // A question without an answer line counts every answer wrong, even an empty one.
    TestRun noAnswer(cpLines({ "T=", "A=", "O=", "Pytanie1=a", "Opcja1=x" }));
    noAnswer.Start();
    noAnswer.Answer({ "option=" }, false);
    EXPECT_EQ(noAnswer.CorrectAnswers(), 0);
}

TEST(TestLinks, OnlyWebAndMailGoOutside)
{
    EXPECT_EQ(RouteTestLink("http://example.org/a"), TestLinkAction::OpenExternally);
    EXPECT_EQ(RouteTestLink("HTTPS://example.org"), TestLinkAction::OpenExternally);
    EXPECT_EQ(RouteTestLink("mailto:nauczyciel@example.org"), TestLinkAction::OpenExternally);
    EXPECT_EQ(RouteTestLink("#odpowiedz"), TestLinkAction::LeaveToView);
    EXPECT_EQ(RouteTestLink("file:///etc/passwd"), TestLinkAction::Ignore);
    EXPECT_EQ(RouteTestLink("/usr/bin/xterm"), TestLinkAction::Ignore);
    EXPECT_EQ(RouteTestLink("skrypt.desktop"), TestLinkAction::Ignore);
    EXPECT_EQ(RouteTestLink(" http://x"), TestLinkAction::Ignore);
}

} // namespace
} // namespace orbita
