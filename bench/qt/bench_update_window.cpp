// The update centre: a list of 200 skin packages from the query on a loopback
// stand-in of the update service (tests/windows/update/update_test_server.py)
// to the painted check list, 20 of the packages already on disk (grey).
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_update_window
#include "platform/scripted_ui_services.h"
#include "windows/update/update_form.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace orbita {
namespace {

void BM_SkinListFromQueryToPaint(benchmark::State& state)
{
    ScriptedUiServices ui; // a failure would be recorded, never shown
    TUpdateForm form;
    form.show();
    for (auto _ : state) {
        form.SkinButtonClick();
        form.repaint();
        if (form.ListBox->count() != 200 || form.Notebook->currentWidget() != form.Skladnik
            || !ui.requests().empty()) {
            state.SkipWithError("the list did not arrive");
            break;
        }
        form.CancelButtonClick();
    }
    form.reject();
}
BENCHMARK(BM_SkinListFromQueryToPaint)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
} // namespace orbita

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir root;
    for (const char* folder : { "config", "program/KARNACJE", "data", "run", "service" })
        QDir(root.path()).mkpath(QString::fromLatin1(folder));
    QFile::setPermissions(
        root.filePath(QStringLiteral("run")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("ORBITA_CONFIG_DIR", root.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("ORBITA_PROGRAM_DIR", root.filePath(QStringLiteral("program")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", root.filePath(QStringLiteral("data")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", root.filePath(QStringLiteral("run")).toLocal8Bit());
    qputenv("no_proxy", "*");
    QByteArray list;
    for (int i = 0; i < 200; ++i) {
        const QString name = QStringLiteral("Karnacja_%1.obs").arg(i, 3, 10, QLatin1Char('0'));
        list += name.toLatin1() + "\r\n";
        if (i % 10 == 0) {
            QFile onDisk(root.filePath(QStringLiteral("program/KARNACJE/") + name));
            if (onDisk.open(QIODevice::WriteOnly))
                onDisk.write("skin");
        }
    }
    QFile answer(root.filePath(QStringLiteral("service/skory.txt")));
    if (!answer.open(QIODevice::WriteOnly) || answer.write(list) != list.size())
        return 1;
    answer.close();

    QProcess server;
    server.start(QStringLiteral("python3"),
        { QStringLiteral(ORBITA_SOURCE_DIR "/tests/windows/update/update_test_server.py"),
            root.filePath(QStringLiteral("service")) });
    if (!server.waitForStarted(10000) || !server.waitForReadyRead(20000))
        return 1;
    const QList<QByteArray> words = server.readLine().trimmed().split(' ');
    if (words.size() != 2)
        return 1;
    qputenv("ORBITA_UPDATE_URL", "http://127.0.0.1:" + words[1] + "/support_orb3");

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    server.closeWriteChannel();
    server.waitForFinished(5000);
    return 0;
}
