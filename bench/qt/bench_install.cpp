// Installing the built program folder into a fresh temporary folder: the copy
// of the executable, the content archive, the sounds, skins and tests, the
// program group and desktop shortcut, and the settings written to a fresh
// store. Each iteration starts from an empty target, store and HOME.

#include "core/registry.h"
#include "windows/settings/desktop_integration.h"
#include "windows/settings/settings_logic.h"
#include "windows/setup/install_logic.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

void BM_InstallProgramFolder(benchmark::State& state)
{
    const std::string source = ORBITA_PROGRAM_DIR;
    char pattern[] = "/tmp/orbita-bench-install-XXXXXX";
    if (!::mkdtemp(pattern))
        throw std::runtime_error("no temporary folder");
    const std::string root = pattern;
    std::uint64_t bytes = 0;
    for (const auto& entry : fs::recursive_directory_iterator(source))
        if (entry.is_regular_file())
            bytes += entry.file_size();
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string world = root + "/" + std::to_string(run++);
        fs::create_directories(world + "/home");
        ::setenv("HOME", (world + "/home").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (world + "/home/.local/share").c_str(), 1);
        ::setenv("ORBITA_CONFIG_DIR", (world + "/config").c_str(), 1);
        orbita::ReleaseRegistryConnection();
        state.ResumeTiming();

        orbita::InstallChoices choices;
        choices.sourceFolder = source;
        choices.sourceExecutable = source + "/orbita";
        choices.targetFolder = world + "/programs/Orbita";
        choices.desktopShortcut = true;
        choices.version = "3.5.1.0";
        orbita::PlatformDesktopIntegration integration(choices.targetFolder + "/orbita");
        orbita::Installation installation(choices,
            { &integration, [](std::string_view name) { return orbita::FindExecutableOnPath(name); } });
        installation.RunAll();
        if (!installation.Complete())
            state.SkipWithError(installation.Problems().front().c_str());
    }
    orbita::ReleaseRegistryConnection();
    fs::remove_all(root);
    state.counters["program_folder_MiB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
}
BENCHMARK(BM_InstallProgramFolder)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->Iterations(1)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
