// The element window: opening it on iron up to its first painted details page,
// and one step to the next element (archive read, page build, layout and paint).
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_element_window
#include "core/registry.h"
#include "htmlview/html_view_widget.h"
#include "windows/element/element_form.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>

namespace orbita {
namespace {

void BM_OpenElementWindow(benchmark::State& state)
{
    for (auto _ : state) {
        TElementForm form(26);
        form.show();
        form.MainHtml->repaint();
        if (form.MainHtml->DocumentTitle().empty()) {
            state.SkipWithError("no page: the content archive was not found");
            break;
        }
        form.reject();
    }
}
BENCHMARK(BM_OpenElementWindow)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_StepToNextElement(benchmark::State& state)
{
    TElementForm form(1);
    form.show();
    for (auto _ : state) {
        if (TElementForm::CurrentElement() == TElementForm::kLastElement)
            form.FirstButtonClick();
        form.NextButtonClick();
        form.MainHtml->repaint();
        if (form.MainHtml->DocumentTitle().empty()) {
            state.SkipWithError("no page: the content archive was not found");
            break;
        }
    }
    form.reject();
}
BENCHMARK(BM_StepToNextElement)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
} // namespace orbita

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir root;
    QDir(root.path()).mkpath(QStringLiteral("config"));
    QDir(root.path()).mkpath(QStringLiteral("program"));
    qputenv("ORBITA_CONFIG_DIR", root.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("ORBITA_PROGRAM_DIR", root.filePath(QStringLiteral("program")).toLocal8Bit());
    QApplication app(argc, argv);
    // The content archive under the name this program looks for.
    const QString archive = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toUpper()
        + QStringLiteral(".DAT");
    QFile::link(QDir(QString::fromUtf8(ORBITA_PROGRAM_DIR)).filePath(QStringLiteral("ORBITA.DAT")),
        QDir(root.filePath(QStringLiteral("program"))).filePath(archive));
    orbita::WriteRegString(orbita::Hive::CurrentUser, "Software\\Orbita", "User", "Administrator");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
