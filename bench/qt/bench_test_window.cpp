// The test window: opening it with 50 packages listed (each package's
// TEST.TXT unpacked and read), starting a test up to its painted first
// question, and one answer through the form-submit event up to the painted
// next question. The packages are generated: 30 questions of four options.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_test_window
#include "core/cp1250.h"
#include "core/registry.h"
#include "htmlview/html_view_widget.h"
#include "platform/scripted_ui_services.h"
#include "platform/shell_services.h"
#include "tests/data/test_zip_writer.h"
#include "windows/test/test_form.h"

#include <QApplication>
#include <QDir>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <benchmark/benchmark.h>

namespace orbita {
namespace {

constexpr int kPackages = 50;
constexpr int kQuestions = 30;

std::string cp(const std::string& utf8)
{
    return Utf8ToCp1250Lossy(utf8);
}

std::string testText(int package)
{
    std::string text = "Tytul=Test numer " + std::to_string(package)
        + "\r\nAutor=Anna Nowak\r\nOpis=Budowa atomu, wiązania i obliczenia stechiometryczne\r\n";
    for (int n = 1; n <= kQuestions; ++n) {
        const std::string q = std::to_string(n);
        text += "Pytanie" + q + "=Ile elektronów walencyjnych ma atom pierwiastka <b>numer " + q
            + "</b> w stanie podstawowym?\r\n";
        for (int k = 1; k <= 4; ++k)
            text += "Opcja" + std::to_string(k) + "=" + std::to_string(k + n) + " elektrony\r\n";
        text += "Odpowiedź=" + std::to_string(1 + n % 4) + "\r\n";
    }
    text += "Ocena1=0:Niedostateczny\r\nOcena2=12:Dopuszczający\r\nOcena3=15:Dostateczny\r\n"
            "Ocena4=20:Dobry\r\nOcena5=25:Bardzo dobry\r\nOcena6=29:Celujący\r\n";
    return cp(text);
}

void writePackages(const std::string& folder)
{
    for (int i = 0; i < kPackages; ++i) {
        test::TestZipWriter zip;
        zip.members.push_back(test::Deflated("TEST.TXT", testText(i)));
        test::WriteBytes(folder + "Test_" + std::to_string(100 + i) + ".obt", zip.Build());
    }
}

void BM_OpenTestWindow(benchmark::State& state)
{
    for (auto _ : state) {
        TTestForm form;
        form.show();
        form.TestList->repaint();
        if (form.TestList->topLevelItemCount() != kPackages) {
            state.SkipWithError("packages not listed");
            break;
        }
        form.done(1);
    }
}
BENCHMARK(BM_OpenTestWindow)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_StartTest(benchmark::State& state)
{
    ScriptedUiServices ui;
    TTestForm form;
    form.show();
    form.TestList->setCurrentItem(form.TestList->topLevelItem(kPackages / 2));
    for (auto _ : state) {
        form.StartButtonClick();
        form.TestHtml->repaint();
        if (form.TestHtml->FormControlCount() != 4) {
            state.SkipWithError("no question page");
            break;
        }
        state.PauseTiming();
        ui.answerMessage(mrYes); // "Przerwij test": Yes
        form.StopButtonClick();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartTest)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_AnswerToNextQuestion(benchmark::State& state)
{
    TTestForm form;
    form.show();
    form.TestList->setCurrentItem(form.TestList->topLevelItem(0));
    form.StartButtonClick();
    for (auto _ : state) {
        if (form.CurrentPage() != TTestForm::Page::Test || form.Run()->CurrentQuestion() >= kQuestions) {
            state.PauseTiming();
            form.StartButtonClick(); // from the results back to the choice
            form.StartButtonClick(); // and a new run
            state.ResumeTiming();
        }
        static_cast<QRadioButton*>(form.TestHtml->ControlWidget(1))->setChecked(true);
        form.NextButtonClick(); // posts the submit
        QApplication::processEvents(); // the answer and the next page
        form.TestHtml->repaint();
    }
}
BENCHMARK(BM_AnswerToNextQuestion)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
} // namespace orbita

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir root;
    QDir(root.path()).mkpath(QStringLiteral("config"));
    QDir(root.path()).mkpath(QStringLiteral("program/TESTY"));
    QDir(root.path()).mkpath(QStringLiteral("data"));
    qputenv("ORBITA_CONFIG_DIR", root.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("ORBITA_PROGRAM_DIR", root.filePath(QStringLiteral("program")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", root.filePath(QStringLiteral("data")).toLocal8Bit());
    QApplication app(argc, argv);
    orbita::writePackages(orbita::ProgramFolder() + "TESTY/");
    orbita::WriteRegString(orbita::Hive::CurrentUser, "Software\\Orbita", "User", "Administrator");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
