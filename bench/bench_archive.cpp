// Throughput of the package archive reader.
//   (a) every member of a 60 MB, 2,000-member deflated archive through
//       ReadArchiveStream, against a minimal loop that walks the directory
//       once and raw-inflates the same members with zlib and crc32;
//   (b) ReadArchiveLines of a 1 KB member near the end of a 2,000-entry
//       directory (the archive reopened every time), against a minimal
//       reopen-walk-inflate;
//   (c) the older-method decoders (shrink, reduce, implode) on large fixture
//       members, in MB/s of output.
// The archives of (a) and (b) are built once in a temporary folder. The
// fixtures of (c) are read from ORBITA_BENCH_FIXTURES (default: the shared
// fixtures folder beside the repository).

#include "data/archive_directory.h"
#include "data/archive_members.h"
#include "tests/data/test_zip_writer.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>
#include <zlib.h>

namespace {

using orbita::test::Deflated;
using orbita::test::TestZipWriter;

std::string VariedText(std::size_t size, std::uint32_t seed)
{
    static const char* words[] = { "wodór", "hel", "lit", "beryl", "bor", "węgiel", "azot", "tlen", "fluor",
        "neon", "sód", "magnez", "glin", "krzem", "fosfor", "siarka", "chlor", "argon", "potas", "wapń",
        "masa", "atomowa", "gęstość", "temperatura", "topnienia", "wrzenia", "elektroujemność", "<td>",
        "</td>", "<tr>", "\r\n" };
    std::string out;
    out.reserve(size + 32);
    while (out.size() < size) {
        seed = seed * 1664525u + 1013904223u;
        out += words[(seed >> 8) % (sizeof words / sizeof *words)];
        out += ' ';
        if ((seed >> 20) % 4 == 0)
            out += std::to_string(seed % 100000);
    }
    out.resize(size);
    return out;
}

struct BenchArchives {
    std::filesystem::path folder;
    std::string big; // (a): 2,000 members, about 60 MB in all
    std::vector<std::string> names; // member names of `big`
    std::uint64_t bigBytes = 0;
    std::string lookup; // (b): 2,000 entries, a 1 KB member near the end
    std::string lookupName;

    BenchArchives()
    {
        folder
            = std::filesystem::temp_directory_path() / ("orbita-bench-archive-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        TestZipWriter zip;
        std::uint32_t seed = 7;
        for (int i = 0; i < 2000; ++i) {
            seed = seed * 1664525u + 1013904223u;
            const std::size_t size = 10000 + seed % 40000; // 10 to 50 KB, 30 KB on average
            names.push_back("TRESC\\STRONA" + std::to_string(i) + ".HTM");
            const std::string text = VariedText(size, seed);
            bigBytes += text.size();
            zip.members.push_back(Deflated(names.back(), text));
        }
        big = (folder / "big.dat").string();
        orbita::test::WriteBytes(big, zip.Build());

        TestZipWriter small;
        for (int i = 0; i < 2000; ++i) {
            const std::string name = "UKLAD\\" + std::to_string(i) + ".HTM";
            small.members.push_back(Deflated(
                name, i == 1990 ? VariedText(1024, 5) : VariedText(200, static_cast<std::uint32_t>(i))));
            if (i == 1990)
                lookupName = name;
        }
        lookup = (folder / "lookup.dat").string();
        orbita::test::WriteBytes(lookup, small.Build());
        // The reader keeps the directory only of an archive that has not
        // changed for two seconds, as the installed archives have not.
        std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    }
    ~BenchArchives() { std::filesystem::remove_all(folder); }
};

const BenchArchives& Archives()
{
    static const BenchArchives archives;
    return archives;
}

std::uint32_t Le32(const unsigned char* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t Le16(const unsigned char* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

// The baseline: no end-record search (the archive has no comment), the
// directory read in one piece, each member read whole and inflated straight
// into its buffer.
struct RawMember {
    std::string name;
    std::uint32_t offset, compressedSize, size, crc;
};

std::vector<RawMember> RawDirectory(std::FILE* file)
{
    unsigned char end[22];
    std::fseek(file, -22, SEEK_END);
    if (std::fread(end, 1, 22, file) != 22)
        std::abort();
    const std::uint32_t dirSize = Le32(end + 12);
    const std::uint32_t dirOffset = Le32(end + 16);
    std::vector<unsigned char> dir(dirSize);
    std::fseek(file, dirOffset, SEEK_SET);
    if (std::fread(dir.data(), 1, dir.size(), file) != dir.size())
        std::abort();
    std::vector<RawMember> members;
    for (std::size_t at = 0; at + 46 <= dir.size();) {
        const unsigned char* p = dir.data() + at;
        const std::size_t n = Le16(p + 28);
        members.push_back({ std::string(reinterpret_cast<const char*>(p + 46), n), Le32(p + 42), Le32(p + 20),
            Le32(p + 24), Le32(p + 16) });
        at += 46 + n + Le16(p + 30) + Le16(p + 32);
    }
    return members;
}

// `block` 0 inflates the member in one call; otherwise the compressed bytes
// are fed in blocks of that size, as the reader feeds them.
std::string RawInflate(std::FILE* file, const RawMember& m, std::size_t block = 0)
{
    unsigned char local[30];
    std::fseek(file, m.offset, SEEK_SET);
    if (std::fread(local, 1, 30, file) != 30)
        std::abort();
    std::fseek(file, m.offset + 30 + Le16(local + 26) + Le16(local + 28), SEEK_SET);
    std::string in(m.compressedSize, '\0');
    if (std::fread(in.data(), 1, in.size(), file) != in.size())
        std::abort();
    std::string out(m.size, '\0');
    z_stream z {};
    inflateInit2(&z, -15);
    z.next_in = reinterpret_cast<Bytef*>(in.data());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    if (block == 0) {
        z.avail_in = static_cast<uInt>(in.size());
        if (inflate(&z, Z_FINISH) != Z_STREAM_END)
            std::abort();
    } else {
        int rc = Z_OK;
        for (std::size_t at = 0; rc != Z_STREAM_END; at += block) {
            if (at >= in.size())
                std::abort();
            z.next_in = reinterpret_cast<Bytef*>(in.data() + at);
            z.avail_in = static_cast<uInt>(std::min(block, in.size() - at));
            rc = inflate(&z, Z_NO_FLUSH);
            if (rc != Z_OK && rc != Z_STREAM_END)
                std::abort();
        }
    }
    inflateEnd(&z);
    if (crc32(0, reinterpret_cast<const Bytef*>(out.data()), static_cast<uInt>(out.size())) != m.crc)
        std::abort();
    return out;
}

void BM_ReadArchiveStream_AllMembers(benchmark::State& state)
{
    const BenchArchives& a = Archives();
    for (auto _ : state) {
        for (const std::string& name : a.names) {
            auto bytes = orbita::ReadArchiveStream(a.big, name);
            if (!bytes)
                state.SkipWithError("member not read");
            benchmark::DoNotOptimize(bytes);
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * a.bigBytes));
}
BENCHMARK(BM_ReadArchiveStream_AllMembers)->Unit(benchmark::kMillisecond)->UseRealTime();

// The two parts of the above: the lookup by name (a directory walk per
// member) and the two-pass read of entries listed once.
void BM_Parts_LookupAllMembers(benchmark::State& state)
{
    const BenchArchives& a = Archives();
    for (auto _ : state) {
        for (const std::string& name : a.names) {
            orbita::ArchiveEntry entry;
            benchmark::DoNotOptimize(orbita::FindArchiveEntry(a.big, name, entry));
        }
    }
}
BENCHMARK(BM_Parts_LookupAllMembers)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Parts_ReadListedEntries(benchmark::State& state)
{
    const BenchArchives& a = Archives();
    const orbita::ArchiveListing listing = orbita::ListArchive(a.big);
    for (auto _ : state) {
        for (const orbita::ArchiveEntry& entry : listing.entries) {
            orbita::MemberRead read = orbita::ReadArchiveEntry(a.big, entry);
            benchmark::DoNotOptimize(read.bytes);
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * a.bigBytes));
}
BENCHMARK(BM_Parts_ReadListedEntries)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Baseline_WalkAndInflateAllMembers(benchmark::State& state)
{
    const BenchArchives& a = Archives();
    for (auto _ : state) {
        std::FILE* file = std::fopen(a.big.c_str(), "rb");
        for (const RawMember& m : RawDirectory(file)) {
            auto bytes = RawInflate(file, m);
            benchmark::DoNotOptimize(bytes);
        }
        std::fclose(file);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * a.bigBytes));
}
BENCHMARK(BM_Baseline_WalkAndInflateAllMembers)->Unit(benchmark::kMillisecond)->UseRealTime();

// For reference: the same loop feeding zlib 2048-byte input blocks, the
// reader's block size (it pumps window messages after each one).
void BM_Reference_WalkAndInflate2KBlocks(benchmark::State& state)
{
    const BenchArchives& a = Archives();
    for (auto _ : state) {
        std::FILE* file = std::fopen(a.big.c_str(), "rb");
        for (const RawMember& m : RawDirectory(file)) {
            auto bytes = RawInflate(file, m, 2048);
            benchmark::DoNotOptimize(bytes);
        }
        std::fclose(file);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * a.bigBytes));
}
BENCHMARK(BM_Reference_WalkAndInflate2KBlocks)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadArchiveLines_NearEndOfDirectory(benchmark::State& state)
{
    const BenchArchives& a = Archives();
    for (auto _ : state) {
        auto lines = orbita::ReadArchiveLines(a.lookupName, a.lookup);
        if (!lines)
            state.SkipWithError("member not read");
        benchmark::DoNotOptimize(lines);
    }
}
BENCHMARK(BM_ReadArchiveLines_NearEndOfDirectory)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_Baseline_ReopenWalkInflate(benchmark::State& state)
{
    const BenchArchives& a = Archives();
    for (auto _ : state) {
        std::FILE* file = std::fopen(a.lookup.c_str(), "rb");
        for (const RawMember& m : RawDirectory(file)) {
            if (m.name == a.lookupName) {
                auto bytes = RawInflate(file, m);
                benchmark::DoNotOptimize(bytes);
                break;
            }
        }
        std::fclose(file);
    }
}
BENCHMARK(BM_Baseline_ReopenWalkInflate)->Unit(benchmark::kMicrosecond)->UseRealTime();

std::string FixturePath(const char* file)
{
    const char* folder = std::getenv("ORBITA_BENCH_FIXTURES");
    return std::string(folder != nullptr ? folder : ORBITA_SHARED_DIR "/fixtures/zip") + "/" + file;
}

// Decodes the listed members of a fixture with the given method; MB/s of output.
void DecodeFixtureMembers(benchmark::State& state, const char* file, int method)
{
    const std::string path = FixturePath(file);
    const orbita::ArchiveListing listing = orbita::ListArchive(path);
    std::vector<orbita::ArchiveEntry> members;
    std::uint64_t bytes = 0;
    for (const orbita::ArchiveEntry& entry : listing.entries) {
        if (entry.method == method || (method == 5 && entry.method >= 2 && entry.method <= 5)) {
            members.push_back(entry);
            bytes += entry.size;
        }
    }
    if (members.empty()) {
        state.SkipWithError(("no members in " + path).c_str());
        return;
    }
    for (auto _ : state) {
        for (const orbita::ArchiveEntry& entry : members) {
            orbita::MemberRead read = orbita::ReadArchiveEntry(path, entry);
            if (!read.Ok())
                state.SkipWithError("member not decoded");
            benchmark::DoNotOptimize(read.bytes);
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["members"] = static_cast<double>(members.size());
}

void BM_Unshrink_PKZ110ES(benchmark::State& state)
{
    DecodeFixtureMembers(state, "d2s-PKZ110ES.ZIP", 1);
}
BENCHMARK(BM_Unshrink_PKZ110ES)->Unit(benchmark::kMillisecond)->UseRealTime();
void BM_Unreduce_PKZ80B4(benchmark::State& state)
{
    DecodeFixtureMembers(state, "d2s-PKZ80B4.ZIP", 5);
}
BENCHMARK(BM_Unreduce_PKZ80B4)->Unit(benchmark::kMillisecond)->UseRealTime();
void BM_Explode_MobyImploded(benchmark::State& state)
{
    DecodeFixtureMembers(state, "cc-moby-imploded.zip", 6);
}
BENCHMARK(BM_Explode_MobyImploded)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
