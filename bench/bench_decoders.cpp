// Throughput of the older-method decoders on the largest fixture members.
// The fixtures are found through --shared-dir=DIR or $ORBITA_SHARED_DIR, else
// in ../shared from the working folder (the repository, for scripts/bench.sh).

#include "data/decoder.h"
#include "tests/data/fixture_zip.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string g_sharedDir = "../shared";

class MemoryInput final : public orbita::DecoderInput {
public:
    explicit MemoryInput(const std::string& data)
        : m_data(data)
    {
    }
    std::size_t Read(std::uint8_t* buffer, std::size_t capacity) override
    {
        const std::size_t size = std::min(capacity, m_data.size() - m_at);
        std::memcpy(buffer, m_data.data() + m_at, size);
        m_at += size;
        return size;
    }

private:
    const std::string& m_data;
    std::size_t m_at = 0;
};

class DiscardingOutput final : public orbita::DecoderOutput {
public:
    bool Write(const std::uint8_t* data, std::size_t size) override
    {
        benchmark::DoNotOptimize(data);
        total += size;
        return true;
    }
    std::uint64_t total = 0;
};

void DecodeMember(benchmark::State& state, const std::string& archive, const std::string& name)
{
    const std::vector<orbita::test::ZipMember> members
        = orbita::test::ReadZipMembers(orbita::test::ReadWholeFile(g_sharedDir + "/fixtures/zip/" + archive));
    const auto member = std::find_if(
        members.begin(), members.end(), [&](const orbita::test::ZipMember& m) { return m.name == name; });
    if (member == members.end()) {
        state.SkipWithError("fixture member not found; give --shared-dir=DIR or ORBITA_SHARED_DIR");
        return;
    }
    for (auto _ : state) {
        MemoryInput in(member->compressed);
        DiscardingOutput out;
        orbita::DecodeStatus status;
        if (member->method == 1)
            status = orbita::Unshrink(in, out, member->uncompressedSize);
        else if (member->method <= 5)
            status = orbita::Unreduce(in, out, member->method - 1, member->uncompressedSize);
        else
            status = orbita::Explode(
                in, out, (member->flags & 2) != 0, (member->flags & 4) != 0, member->uncompressedSize);
        if (status != orbita::DecodeStatus::Done || out.total != member->uncompressedSize) {
            state.SkipWithError("decoding failed");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * member->uncompressedSize));
    state.counters["MB/s"] = benchmark::Counter(
        static_cast<double>(member->uncompressedSize) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
    state.SetLabel(archive + " " + name + ", " + std::to_string(member->compressed.size()) + " -> "
        + std::to_string(member->uncompressedSize) + " bytes");
}

BENCHMARK_CAPTURE(DecodeMember, Unshrink, std::string("d2s-PKZ110ES.ZIP"), std::string("TEST.EXE"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeMember, UnreduceFactor1, std::string("sc-Zip.reduce1.zip"), std::string("TEST.EXE"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeMember, UnreduceFactor2, std::string("d2s-PKZ80B2.ZIP"), std::string("TEST.EXE"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeMember, UnreduceFactor3, std::string("sc-Zip.reduce3.zip"), std::string("TEST.EXE"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeMember, UnreduceFactor4, std::string("d2s-PKZ80B4.ZIP"), std::string("TEST.EXE"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeMember, Explode8kThreeTrees, std::string("d2s-IMPLODE.ZIP"), std::string("TEST.BMP"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(
    DecodeMember, Explode8kThreeTreesText, std::string("cc-moby-imploded.zip"), std::string("moby.134"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(
    DecodeMember, Explode4kTwoTrees, std::string("sc-Zip.implode.zip"), std::string("EXE/TEST.EXE"))
    ->Unit(benchmark::kMillisecond);

// The costliest input per bit for unshrink: nothing but partial clears
// (18 bits each, every one walking the whole string table), then one byte.
void UnshrinkOnlyClears(benchmark::State& state)
{
    std::string stream;
    std::uint64_t bits = 0;
    int count = 0;
    auto put = [&](std::uint32_t code) {
        bits |= std::uint64_t { code } << count;
        count += 9;
        while (count >= 8) {
            stream.push_back(static_cast<char>(bits & 0xFF));
            bits >>= 8;
            count -= 8;
        }
    };
    while (stream.size() < 1000000) {
        put(256);
        put(2);
    }
    put('a');
    stream.push_back(static_cast<char>(bits & 0xFF));
    for (auto _ : state) {
        MemoryInput in(stream);
        DiscardingOutput out;
        if (orbita::Unshrink(in, out, 1) != orbita::DecodeStatus::Done) {
            state.SkipWithError("decoding failed");
            return;
        }
    }
    state.counters["input MB/s"] = benchmark::Counter(
        static_cast<double>(stream.size()) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(UnshrinkOnlyClears)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (const char* fromEnvironment = std::getenv("ORBITA_SHARED_DIR"))
        g_sharedDir = fromEnvironment;
    std::vector<char*> rest;
    const std::string flag = "--shared-dir=";
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], flag.c_str(), flag.size()) == 0)
            g_sharedDir = argv[i] + flag.size();
        else
            rest.push_back(argv[i]);
    }
    int restCount = static_cast<int>(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    if (benchmark::ReportUnrecognizedArguments(restCount, rest.data()))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
