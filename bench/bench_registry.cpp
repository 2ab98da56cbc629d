// Cost of one access to the configuration store through the public
// operations, on a store of 200 values (the size of a used profile).
#include "core/registry.h"
#include "core/settings.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

constexpr const char* kKey = "Software\\Orbita\\Administrator\\Placement";

class StoreFolder {
public:
    StoreFolder()
    {
        char pattern[] = "/tmp/orbita-bench-registry-XXXXXX";
        if (::mkdtemp(pattern))
            m_path = pattern;
        ::setenv("ORBITA_CONFIG_DIR", m_path.c_str(), 1);
        for (int i = 0; i < 200; ++i)
            orbita::WriteRegInteger(orbita::Hive::CurrentUser, kKey, "Value" + std::to_string(i), i);
    }
    ~StoreFolder()
    {
        orbita::ReleaseRegistryConnection();
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    StoreFolder(const StoreFolder&) = delete;
    StoreFolder& operator=(const StoreFolder&) = delete;

private:
    std::string m_path;
};

void ReadRegInteger(benchmark::State& state)
{
    StoreFolder store;
    int i = 0;
    for (auto _ : state) {
        const auto value
            = orbita::ReadRegInteger(orbita::Hive::CurrentUser, kKey, "Value" + std::to_string(i % 200));
        if (value != i % 200) {
            state.SkipWithError("wrong value read");
            break;
        }
        ++i;
    }
}
BENCHMARK(ReadRegInteger);

// The same read when every access opens the store anew: what the cached
// per-thread connection saves.
void ReadRegIntegerReopening(benchmark::State& state)
{
    StoreFolder store;
    for (auto _ : state) {
        orbita::ReleaseRegistryConnection();
        benchmark::DoNotOptimize(orbita::ReadRegInteger(orbita::Hive::CurrentUser, kKey, "Value7"));
    }
}
BENCHMARK(ReadRegIntegerReopening);

void ReadRegString(benchmark::State& state)
{
    StoreFolder store;
    orbita::WriteRegString(orbita::Hive::CurrentUser, "Software\\Orbita", "User", "Administrator");
    for (auto _ : state)
        benchmark::DoNotOptimize(orbita::CurrentUserName());
}
BENCHMARK(ReadRegString);

// One committed transaction, synced to disk, per call.
void WriteRegInteger(benchmark::State& state)
{
    StoreFolder store;
    int i = 0;
    for (auto _ : state) {
        orbita::WriteRegInteger(orbita::Hive::CurrentUser, kKey, "Value" + std::to_string(i % 200), i);
        ++i;
    }
}
BENCHMARK(WriteRegInteger);

} // namespace

BENCHMARK_MAIN();
