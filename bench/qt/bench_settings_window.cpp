// The settings window: opening it up to its first paint, for the
// Administrator with 20 accounts, 10 skin packages (copies of the shipped
// one, the selected one's README read) and 10 tools.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_settings_window
#include "core/settings.h"
#include "windows/settings/settings_form.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <vector>

namespace orbita {
namespace {

// Counts nothing on the desktop: the integration page reads no real folders.
class NoIntegration final : public DesktopIntegration {
public:
    bool Exists(IntegrationItem) const override { return false; }
    std::vector<std::string> Create(IntegrationItem) override { return {}; }
    std::vector<std::string> Remove(IntegrationItem) override { return {}; }
};

void BM_OpenSettingsWindow(benchmark::State& state)
{
    NoIntegration integration;
    for (auto _ : state) {
        TSettingsForm form(nullptr, &integration);
        form.show();
        form.repaint();
        if (form.Model().Skins().size() != 10 || form.Model().Tools().size() != 10) {
            state.SkipWithError("settings not prepared");
            break;
        }
        form.reject();
    }
}
BENCHMARK(BM_OpenSettingsWindow)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
} // namespace orbita

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir root;
    for (const char* folder : { "config", "program/KARNACJE", "data" })
        QDir(root.path()).mkpath(QString::fromLatin1(folder));
    qputenv("ORBITA_CONFIG_DIR", root.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("ORBITA_PROGRAM_DIR", root.filePath(QStringLiteral("program")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", root.filePath(QStringLiteral("data")).toLocal8Bit());
    const QString shipped = QStringLiteral(ORBITA_PROGRAM_DIR "/KARNACJE/Niebieski.obs");
    for (int i = 0; i < 10; ++i)
        QFile::copy(shipped, root.filePath(QStringLiteral("program/KARNACJE/Karnacja%1.obs").arg(i)));
    using namespace orbita;
    CreateAccount(kAdministratorAccount);
    SetCurrentUserName(kAdministratorAccount);
    for (int i = 1; i < 20; ++i)
        CreateAccount("Uczen" + std::to_string(i));
    std::vector<ToolEntry> tools;
    for (int i = 0; i < 10; ++i)
        tools.push_back({ "&Narzedzie " + std::to_string(i), "/usr/bin/narzedzie" + std::to_string(i) });
    RewriteTools(tools, kAdministratorAccount);
    WriteString(Setting::SkinFile, "Karnacja3.obs", kAdministratorAccount);
    WriteInteger(Setting::UseSkin, 1, kAdministratorAccount);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
