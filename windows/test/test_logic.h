#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbita {

// The chemistry tests without their window: the lines of a test package's
// TEST.TXT, what the catalogue lists, the question pages, the judging of an
// answer, the grade and the results page, and the run from the first
// question to the results. All text is Windows-1250, as ReadArchiveLines
// gives it; the window (windows/test/test_form.h) shows what these decide.
//
// TEST.TXT is read as a plain list of lines. A value is the text after the
// first "=" of its line. Lines 1 to 3 are the title, the author and the
// description whatever their keys. A question is a line "PytanieN=<html>"
// followed at once by its lines "Opcja1=…", "Opcja2=…" and a line
// "Odpowiedź=k" naming the correct option; grades are lines beginning
// "OcenaG=<threshold>:<description>" for G = 1 to 6.

// The member of a test package that holds the test (found without regard to case).
inline constexpr std::string_view kTestMember = "TEST.TXT";
// The extension of a test package.
inline constexpr std::string_view kTestPackageExtension = ".obt";
// Questions are counted up to this number; later ones are never asked.
inline constexpr int kMaxTestQuestions = 255;

// ---------------------------------------------------------------------------
// Texts of the window and its boxes ("Test chemiczny", "Pozostało" … in
// Windows-1250).
inline constexpr std::string_view kTestCaption = "Test chemiczny";
inline constexpr std::string_view kNoTestSelectedText = "Przed rozpocz\xEA"
                                                        "ciem musisz wybra\xE6 test z listy";
inline constexpr std::string_view kNoTestSelectedTitle = "Nie wybrano testu";
inline constexpr std::string_view kEmptyTestText = "Wybrany test nie zawiera \xBF"
                                                   "adnych pyta\xF1";
inline constexpr std::string_view kEmptyTestTitle = "Pusty test";
inline constexpr std::string_view kNothingSelectedText = "Nie zaznaczy\xB3"
                                                         "e\x9C \xBF"
                                                         "adnej opcji";
inline constexpr std::string_view kNothingSelectedTitle = "Nic nie zaznaczono";
inline constexpr std::string_view kStopQuestionText = "Czy chcesz przerwa\xE6 aktualnie wykonywany test ?";
inline constexpr std::string_view kStopQuestionTitle = "Przerwij test";

// "Test chemiczny [title]".
std::string RunningTestCaption(std::string_view title);

// ---------------------------------------------------------------------------
// Reading TEST.TXT

// The text after the first "=" of the line, to its end; empty when the line
// has no "=".
std::string LineValue(std::string_view line);

// The number of questions: one pass over the lines with n = 1, 2, 3 …,
// advancing n each time a line contains "Pytanie" + n + "=" (letter case
// as written), so a gap ends the count (1, 2, 4 counts 2). At most
// kMaxTestQuestions. Fewer than three lines count 0.
int CountQuestions(const std::vector<std::string>& lines);

// What the catalogue lists for a package.
struct TestDescription {
    std::string title; // line 1's value
    std::string author; // line 2's value
    std::string description; // line 3's value
    int questionCount = 0;
    bool operator==(const TestDescription&) const = default;
};

// A package whose TEST.TXT could not be read (`lines` empty: no such member,
// a damaged or foreign file) or has fewer than three lines is listed with
// empty texts and 0 questions.
TestDescription DescribeTest(const std::optional<std::vector<std::string>>& lines);
TestDescription DescribeTest(const std::vector<std::string>& lines);

// Reads TEST.TXT of the package at `packagePath`; nothing when it cannot be
// read. Never throws.
std::optional<std::vector<std::string>> ReadTestLines(const std::string& packagePath);

// One question as the question page reads it. Line indexes count from 0.
struct TestOption {
    int number = 0; // k of "Opcja" + k + "="
    std::size_t line = 0;
    std::string text; // the line's value
};
struct TestQuestion {
    int number = 0;
    std::optional<std::size_t> line; // the question line; nothing when not found
    std::string text; // the question line's value
    std::vector<TestOption> options; // in page order
    // Lines between the question and its answer line that are no option k
    // on the k-th line after the question (each still uses up a number).
    std::vector<std::size_t> strayLines;
    std::optional<std::size_t> answerLine; // the first line containing "Odpowiedź=" (as written)
    std::string answer; // that line's value: the correct option; empty without one
};

// Reads question n: the first line containing "PYTANIE" + n + "=" without
// regard to letter case, then line k after it is option k when it contains
// "OPCJA" + k + "=" (case-insensitive), up to the first line containing
// "Odpowiedź=". The reading stops also at a line of any other question
// ("PYTANIE", digits, "=", without case) and after the last line, leaving
// the question without an answer; it never reads past the lines.
TestQuestion ReadQuestion(const std::vector<std::string>& lines, int n);

// ---------------------------------------------------------------------------
// Pages

// The page of question n (with its radio buttons named "option", values "1",
// "2" …) and what the run keeps of it.
struct QuestionPage {
    std::string html;
    std::string questionText;
    std::string correctOption;
    int optionCount = 0; // radio buttons on the page
};
QuestionPage BuildQuestionPage(const std::vector<std::string>& lines, int n);

// "Pozostało N pytań" with N = count − n.
std::string RemainingText(int count, int n);

// The page showing the correct option after a wrong answer to question n:
// the question text and the text of the option `correctOption` of the line
// "Pytanie" + n + "=" (letter case as written); the option text is empty
// when either line is not found before the question's answer line.
std::string CorrectAnswerPage(const std::vector<std::string>& lines, int n, std::string_view questionText,
    std::string_view correctOption);

// The answer in a form submission's entries ("option=2" …): the text after
// "=" of the first entry; nothing when there are no entries.
std::optional<std::string> SubmittedAnswer(const std::vector<std::string>& entries);

// ---------------------------------------------------------------------------
// Grades

// One grade line as read, for the grade rule and for the check tool.
struct GradeLine {
    int grade = 0; // 1 to 6
    std::size_t line = 0;
    bool atLineStart = false; // the line begins with "Ocena" + g + "="
    std::optional<int> threshold; // nothing when unreadable (not at the start, no ":", not a number)
    std::string description; // after the first ":"; empty without one
};

// The thresholds and descriptions of grades 1 to 6 (index = grade; index 0
// unused).
struct GradeScale {
    std::optional<int> threshold[7]; // from the first line of each grade; nothing when missing or unreadable
    std::string description[7]; // the first non-empty description of each grade
    std::vector<GradeLine> lines; // every grade line in file order
};

// Every line containing "Ocena" + g + "=" (letter case as written),
// searched from the first line. The threshold stands from the eighth
// character up to the first ":".
GradeScale ReadGrades(const std::vector<std::string>& lines);

// The grade for `correct` answers. With T2 < T3 < … < T6 all present: 1 when
// correct ≤ T2, 2 below T3, 3 below T4, 4 below T5, 5 below T6, else 6. In
// general: 1 when T2 is present and correct ≤ T2; otherwise the highest g in
// 3 … 6 whose threshold is present and ≤ correct; otherwise 2 when T2 is
// present, 1 when not.
int GradeFor(const GradeScale& scale, int correct);

// ---------------------------------------------------------------------------
// Time

// "hh:mm:ss", each part at least two digits (hours may grow past 99);
// negative seconds count as 0.
std::string ElapsedText(std::int64_t seconds);
// "Upłynęło hh:mm:ss".
std::string ElapsedStatus(std::int64_t seconds);
// Whole seconds between two readings of a monotonic clock in milliseconds
// (0 when the clock seems to run backwards).
std::int64_t ElapsedSeconds(std::int64_t startMs, std::int64_t nowMs);

// ---------------------------------------------------------------------------
// Results

struct TestResults {
    std::string title;
    int correct = 0;
    int count = 0;
    std::int64_t seconds = 0;
};
// The results page: title, correct and wrong answers, the count, the time,
// the average seconds per answer (0 for 0 questions), the grade and its
// description.
std::string ResultsPage(const TestResults& results, const GradeScale& scale);

// ---------------------------------------------------------------------------
// The run

// One run of a test, from the first question to the results.
class TestRun {
public:
    explicit TestRun(std::vector<std::string> lines);

    // A test without questions cannot be run (kEmptyTestText).
    bool CanStart() const { return m_count > 0; }
    int QuestionCount() const { return m_count; }
    const std::string& Title() const { return m_title; }
    const std::vector<std::string>& Lines() const { return m_lines; }

    // What the window shows next.
    struct Step {
        enum class Kind {
            QuestionPage, // load `html`, set the progress label to `remaining`
            CorrectAnswerPage, // load `html`; Next then builds the next question
            Results, // the run has ended: show ResultsPage()
            NothingSelected, // kNothingSelectedText box, the question stays
            Ignored, // a submission that belongs to no question on screen
        };
        Kind kind = Kind::Ignored;
        std::string html;
        std::string remaining;
    };

    // Starts again at the first question (correct count 0); Results when the
    // test has no questions.
    Step Start();
    // The Next button on a page without controls (the correct-answer page,
    // or a question without options): the next question, or the results
    // once past the last one.
    Step Next();
    // A form submission with its entries. Only the first submission for the
    // question on screen counts; a later one is Ignored. A correct answer
    // counts; a wrong one with `showCorrect` gives the correct-answer page
    // (except after the last question, which goes straight to the results).
    Step Answer(const std::vector<std::string>& entries, bool showCorrect);

    int CurrentQuestion() const { return m_current; }
    int CorrectAnswers() const { return m_correct; }
    const std::string& CorrectOption() const { return m_correctOption; }
    const std::string& QuestionText() const { return m_questionText; }
    bool Finished() const { return m_finished; }

    // The results page for a run that took `seconds`.
    std::string ResultsPage(std::int64_t seconds) const;
    // The grade the correct answers give.
    int Grade() const;

private:
    Step advance();

    std::vector<std::string> m_lines;
    GradeScale m_scale;
    std::string m_title;
    int m_count = 0;
    int m_current = 0;
    int m_correct = 0;
    std::string m_correctOption;
    std::string m_questionText;
    bool m_awaitingAnswer = false;
    bool m_finished = false;
};

// ---------------------------------------------------------------------------
// Links

// What a link clicked in a test page does: http://, https:// and mailto:
// addresses (scheme in any letter case) go to the desktop's handler; "#…"
// stays in the view; anything else (files, other schemes, relative names)
// is ignored, since packages come from the network.
enum class TestLinkAction { OpenExternally, LeaveToView, Ignore };
TestLinkAction RouteTestLink(std::string_view target);

} // namespace orbita
