#include "data/decoder.h"
#include "tests/data/fixture_zip.h"
#include "tests/data/sha256.h"
#include "tests/support/shared_fixtures.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace orbita {
namespace {

// Compressed bytes handed out in blocks of a chosen size; records a request
// made after the end was reported.
class BlockInput final : public DecoderInput {
public:
    BlockInput(std::string_view data, std::size_t blockSize)
        : m_data(data)
        , m_blockSize(blockSize)
    {
    }
    std::size_t Read(std::uint8_t* buffer, std::size_t capacity) override
    {
        if (m_endReported)
            m_askedAfterEnd = true;
        const std::size_t size = std::min({ capacity, m_blockSize, m_data.size() - m_at });
        std::copy_n(m_data.data() + m_at, size, buffer);
        m_at += size;
        m_endReported = size == 0;
        return size;
    }
    bool AskedAfterEnd() const { return m_askedAfterEnd; }

private:
    std::string_view m_data;
    std::size_t m_blockSize;
    std::size_t m_at = 0;
    bool m_endReported = false;
    bool m_askedAfterEnd = false;
};

// Collects the output; refuses the write numbered `refuseAt` (1-based) and
// records any write after a refusal.
class CollectingOutput final : public DecoderOutput {
public:
    explicit CollectingOutput(int refuseAt = 0)
        : m_refuseAt(refuseAt)
    {
    }
    bool Write(const std::uint8_t* data, std::size_t size) override
    {
        if (m_refused)
            m_writtenAfterRefusal = true;
        ++m_writes;
        if (m_writes == m_refuseAt) {
            m_refused = true;
            return false;
        }
        bytes.append(reinterpret_cast<const char*>(data), size);
        return true;
    }
    int Writes() const { return m_writes; }
    bool WrittenAfterRefusal() const { return m_writtenAfterRefusal; }

    std::string bytes;

private:
    int m_refuseAt;
    int m_writes = 0;
    bool m_refused = false;
    bool m_writtenAfterRefusal = false;
};

DecodeStatus DecodeMember(
    int method, std::uint32_t flags, DecoderInput& in, DecoderOutput& out, std::uint64_t size)
{
    if (method == 1)
        return Unshrink(in, out, size);
    if (method >= 2 && method <= 5)
        return Unreduce(in, out, method - 1, size);
    return Explode(in, out, (flags & 2) != 0, (flags & 4) != 0, size);
}

struct Decoded {
    DecodeStatus status;
    std::string bytes;
    int writes;
    bool askedAfterEnd;
};

Decoded Decode(
    int method, std::uint32_t flags, std::string_view data, std::uint64_t size, std::size_t blockSize = 2048)
{
    BlockInput in(data, blockSize);
    CollectingOutput out;
    const DecodeStatus status = DecodeMember(method, flags, in, out, size);
    return { status, std::move(out.bytes), out.Writes(), in.AskedAfterEnd() };
}

const char* StatusName(DecodeStatus status)
{
    switch (status) {
    case DecodeStatus::Done:
        return "Done";
    case DecodeStatus::Stopped:
        return "Stopped";
    case DecodeStatus::Truncated:
        return "Truncated";
    case DecodeStatus::Malformed:
        return "Malformed";
    case DecodeStatus::NoMemory:
        return "NoMemory";
    }
    return "?";
}

// A fixture member of one of the older methods with its published digest.
struct FixtureCase {
    test::ManifestRow row;
    test::ZipMember member;
};

const std::vector<FixtureCase>& LegacyFixtureCases()
{
    static const std::vector<FixtureCase> cases = [] {
        std::vector<FixtureCase> found;
        std::map<std::string, std::vector<test::ZipMember>> archives;
        for (const test::ManifestRow& row :
            test::ReadManifestRows(test::ReadWholeFile(test::SharedFixtures("zip") + "MANIFEST.md"))) {
            if (row.method < 1 || row.method > 6 || row.sha256.empty())
                continue;
            auto archive = archives.find(row.archive);
            if (archive == archives.end())
                archive = archives
                              .emplace(row.archive,
                                  test::ReadZipMembers(
                                      test::ReadWholeFile(test::SharedFixtures("zip") + row.archive)))
                              .first;
            test::ZipMember member;
            if (row.index < archive->second.size())
                member = archive->second[row.index];
            found.push_back({ row, member });
        }
        return found;
    }();
    return cases;
}

const FixtureCase& FindCase(const std::string& archive, const std::string& name)
{
    for (const FixtureCase& c : LegacyFixtureCases()) {
        if (c.row.archive == archive && c.member.name == name)
            return c;
    }
    static const FixtureCase missing {};
    ADD_FAILURE() << "no fixture member " << archive << " / " << name;
    return missing;
}

TEST(LegacyDecoders, EveryFixtureMemberDecodesToItsPublishedDigest)
{
    ORBITA_NEEDS_SHARED_FIXTURES("zip");
    const std::vector<FixtureCase>& cases = LegacyFixtureCases();
    std::array<int, 7> perMethod {};
    for (const FixtureCase& c : cases) {
        SCOPED_TRACE(c.row.archive + " #" + std::to_string(c.row.index) + " " + c.row.name);
        ASSERT_EQ(c.member.method, c.row.method) << "manifest row does not match the central directory";
        ASSERT_EQ(c.member.localMethod, c.row.method);
        ASSERT_EQ(c.member.flags, c.row.flags);
        ASSERT_EQ(c.member.uncompressedSize, c.row.uncompressedSize);
        const Decoded result
            = Decode(c.row.method, c.member.flags, c.member.compressed, c.member.uncompressedSize);
        EXPECT_EQ(StatusName(result.status), std::string("Done"));
        EXPECT_EQ(result.bytes.size(), c.member.uncompressedSize);
        EXPECT_EQ(test::Sha256Hex(result.bytes), c.row.sha256);
        // Output leaves in full 32 KB runs (the reader's window), not byte by byte.
        EXPECT_EQ(static_cast<std::uint64_t>(result.writes), (c.member.uncompressedSize + 32767) / 32768);
        EXPECT_FALSE(result.askedAfterEnd);
        ++perMethod[static_cast<std::size_t>(c.row.method)];
    }
    for (int method = 1; method <= 6; ++method)
        EXPECT_GT(perMethod[static_cast<std::size_t>(method)], 0) << "no fixture member of method " << method;
}

TEST(LegacyDecoders, DecodingDoesNotDependOnTheInputBlockSize)
{
    ORBITA_NEEDS_SHARED_FIXTURES("zip");
    const std::vector<std::pair<std::string, std::string>> members
        = { { "oldunzip-example-s.zip", "S.BIN" }, { "oldunzip-example-r.zip", "R.BIN" },
              { "oldunzip-example-i.zip", "I.BIN" }, { "zip2-legacy-implode.zip", "first.txt" },
              { "d2s-PKZ80B2.ZIP", "TEST.GIF" }, { "sc-Zip.reduce1.zip", "TEST.EXE" } };
    for (const auto& [archive, name] : members) {
        const FixtureCase& c = FindCase(archive, name);
        for (const std::size_t blockSize :
            { std::size_t { 1 }, std::size_t { 3 }, std::size_t { 4095 }, std::size_t { 1 } << 20 }) {
            SCOPED_TRACE(archive + " " + name + " blocks of " + std::to_string(blockSize));
            const Decoded result = Decode(
                c.row.method, c.member.flags, c.member.compressed, c.member.uncompressedSize, blockSize);
            EXPECT_EQ(StatusName(result.status), std::string("Done"));
            EXPECT_EQ(test::Sha256Hex(result.bytes), c.row.sha256);
        }
    }
}

// Members small enough to decode once per prefix length and per flipped bit.
const std::vector<std::pair<std::string, std::string>> kSmallMembers = {
    { "oldunzip-example-s.zip", "S.BIN" }, // shrink
    { "cc-moby-imploded.zip", "moby.122" }, // shrink
    { "oldunzip-example-r.zip", "R.BIN" }, // reduce, factor 4
    { "zip2-legacy-reduce.zip", "first.txt" }, // reduce, factor 4
    { "d2s-PKZ80B2.ZIP", "TEST.GIF" }, // reduce, factor 2
    { "oldunzip-example-i.zip", "I.BIN" }, // implode, 4 KB, two trees
    { "zip2-legacy-implode.zip", "first.txt" }, // implode, 8 KB, three trees
};

TEST(LegacyDecoders, EveryShorterPrefixIsTruncated)
{
    ORBITA_NEEDS_SHARED_FIXTURES("zip");
    for (const auto& [archive, name] : kSmallMembers) {
        const FixtureCase& c = FindCase(archive, name);
        const std::string_view data = c.member.compressed;
        for (std::size_t length = 0; length < data.size(); ++length) {
            SCOPED_TRACE(archive + " " + name + " cut to " + std::to_string(length));
            const Decoded result = Decode(c.row.method, c.member.flags, data.substr(0, length),
                c.member.uncompressedSize, length % 2 == 0 ? 2048 : 7);
            ASSERT_EQ(StatusName(result.status), std::string("Truncated"));
            EXPECT_LT(result.bytes.size(), c.member.uncompressedSize);
            EXPECT_FALSE(result.askedAfterEnd);
        }
    }
}

TEST(LegacyDecoders, FlippedBitsEndCleanly)
{
    ORBITA_NEEDS_SHARED_FIXTURES("zip");
    struct Corpus {
        std::string archive;
        std::string name;
        std::size_t bitStride;
    };
    std::vector<Corpus> corpora;
    for (const auto& [archive, name] : kSmallMembers)
        corpora.push_back({ archive, name, 1 });
    corpora.push_back({ "sc-Zip.reduce1.zip", "TEST.EXE", 97 });
    corpora.push_back({ "sc-Zip.reduce3.zip", "TEST.EXE", 97 });
    corpora.push_back({ "sc-Zip.implode.zip", "EXE/TEST.EXE", 53 });
    for (const Corpus& corpus : corpora) {
        const FixtureCase& c = FindCase(corpus.archive, corpus.name);
        const std::string original
            = Decode(c.row.method, c.member.flags, c.member.compressed, c.member.uncompressedSize).bytes;
        int unchanged = 0;
        int flips = 0;
        for (std::size_t bit = 0; bit < c.member.compressed.size() * 8; bit += corpus.bitStride) {
            std::string data = c.member.compressed;
            data[bit / 8] = static_cast<char>(data[bit / 8] ^ (1 << (bit % 8)));
            const Decoded result = Decode(c.row.method, c.member.flags, data, c.member.uncompressedSize);
            ++flips;
            if (result.status == DecodeStatus::Done && result.bytes == original)
                ++unchanged;
            if (result.status == DecodeStatus::Done) {
                ASSERT_EQ(result.bytes.size(), c.member.uncompressedSize) << corpus.archive << " bit " << bit;
            } else {
                ASSERT_TRUE(
                    result.status == DecodeStatus::Malformed || result.status == DecodeStatus::Truncated)
                    << corpus.archive << " bit " << bit << ": " << StatusName(result.status);
            }
        }
        // The decoders must depend on their input: most flips change the result.
        EXPECT_LT(unchanged, flips / 2) << corpus.archive;
    }
}

TEST(LegacyDecoders, RefusedOutputStopsAtOnce)
{
    ORBITA_NEEDS_SHARED_FIXTURES("zip");
    const std::vector<std::pair<std::string, std::string>> members
        = { { "d2s-PKZ110ES.ZIP", "TEST.BMP" }, { "d2s-PKZ80B2.ZIP", "TEST.BMP" },
              { "d2s-PKZ80B4.ZIP", "TEST.BMP" }, { "d2s-IMPLODE.ZIP", "TEST.BMP" },
              { "sc-Zip.reduce1.zip", "TEST.EXE" }, { "sc-Zip.implode.zip", "EXE/TEST.EXE" } };
    for (const auto& [archive, name] : members) {
        const FixtureCase& c = FindCase(archive, name);
        const int runs = static_cast<int>((c.member.uncompressedSize + 32767) / 32768);
        // The first runs, and the last one, which leaves at the final flush.
        for (const int refuseAt : { 1, 2, 3, runs }) {
            if (refuseAt > runs)
                continue;
            SCOPED_TRACE(archive + " " + name + " refusing write " + std::to_string(refuseAt));
            BlockInput in(c.member.compressed, 2048);
            CollectingOutput out(refuseAt);
            EXPECT_EQ(
                StatusName(DecodeMember(c.row.method, c.member.flags, in, out, c.member.uncompressedSize)),
                std::string("Stopped"));
            EXPECT_EQ(out.Writes(), refuseAt);
            EXPECT_FALSE(out.WrittenAfterRefusal());
        }
    }
}

// Bits in the order the older methods read them: each value's lowest bit first.
class BitWriter {
public:
    void Put(std::uint32_t value, int count)
    {
        for (int i = 0; i < count; ++i) {
            if (m_used == 0)
                m_bytes.push_back('\0');
            if ((value >> i) & 1)
                m_bytes.back() = static_cast<char>(m_bytes.back() | (1 << m_used));
            m_used = (m_used + 1) % 8;
        }
    }
    // A Shannon-Fano code, whose first bit is its most significant one.
    void PutCode(std::uint32_t code, int length)
    {
        for (int i = length - 1; i >= 0; --i)
            Put((code >> i) & 1, 1);
    }
    const std::string& Bytes() const { return m_bytes; }

private:
    std::string m_bytes;
    int m_used = 0;
};

// Shrink streams of 9-bit codes (widened where a row says so).
TEST(Unshrink, HandWrittenCodeStreams)
{
    struct Row {
        const char* what;
        std::vector<std::pair<std::uint32_t, int>> codes; // code, width
        std::uint64_t size;
        DecodeStatus status;
        std::string expected; // when Done
    };
    const std::vector<Row> rows = {
        { "literals", { { 'a', 9 }, { 'b', 9 }, { 'c', 9 } }, 3, DecodeStatus::Done, "abc" },
        { "a code for the string being defined (KwKwK)", { { 'a', 9 }, { 257, 9 } }, 3, DecodeStatus::Done,
            "aaa" },
        { "an entry built from the previous string and the next first byte",
            { { 'a', 9 }, { 'b', 9 }, { 257, 9 }, { 258, 9 } }, 6, DecodeStatus::Done, "ababba" },
        { "a free slot beyond the next one", { { 'a', 9 }, { 258, 9 } }, 3, DecodeStatus::Malformed, "" },
        { "a table code before any entry exists", { { 257, 9 } }, 2, DecodeStatus::Malformed, "" },
        { "widening to 10 bits", { { 'a', 9 }, { 256, 9 }, { 1, 9 }, { 'b', 10 }, { 257, 10 } }, 4,
            DecodeStatus::Done, "abab" },
        { "widening past 13 bits",
            { { 256, 9 }, { 1, 9 }, { 256, 10 }, { 1, 10 }, { 256, 11 }, { 1, 11 }, { 256, 12 }, { 1, 12 },
                { 256, 13 }, { 1, 13 } },
            1, DecodeStatus::Malformed, "" },
        { "an unknown command", { { 'a', 9 }, { 256, 9 }, { 3, 9 } }, 2, DecodeStatus::Malformed, "" },
        { "a partial clear frees leaf strings",
            { { 'a', 9 }, { 'b', 9 }, { 'c', 9 }, { 256, 9 }, { 2, 9 }, { 258, 9 } }, 5,
            DecodeStatus::Malformed, "" },
        { "a partial clear keeps strings that others extend; the waiting string gets the lowest free slot",
            { { 'a', 9 }, { 'b', 9 }, { 257, 9 }, { 'c', 9 }, { 256, 9 }, { 2, 9 }, { 257, 9 }, { 'd', 9 },
                { 'e', 9 }, { 258, 9 }, { 259, 9 } },
            14, DecodeStatus::Done, "ababcabdecaabd" },
        { "a string whose last extension a clear freed survives that clear",
            { { 'a', 9 }, { 'b', 9 }, { 257, 9 }, { 'c', 9 }, { 256, 9 }, { 2, 9 }, { 257, 9 } }, 7,
            DecodeStatus::Done, "ababcab" },
        { "... and is freed by the next one",
            { { 'a', 9 }, { 'b', 9 }, { 257, 9 }, { 'c', 9 }, { 256, 9 }, { 2, 9 }, { 256, 9 }, { 2, 9 },
                { 257, 9 } },
            7, DecodeStatus::Done, "ababccc" },
        { "an entry for a string the clear freed follows that slot's new content",
            { { 'a', 9 }, { 'b', 9 }, { 'c', 9 }, { 258, 9 }, { 256, 9 }, { 2, 9 }, { 'x', 9 }, { 'y', 9 },
                { 257, 9 } },
            10, DecodeStatus::Done, "abcbcxyxyx" },
        { "an entry for a freed string that took the freed slot itself loops",
            { { 'a', 9 }, { 'b', 9 }, { 257, 9 }, { 256, 9 }, { 2, 9 }, { 'x', 9 }, { 257, 9 } }, 10,
            DecodeStatus::Malformed, "" },
        { "output stops at the announced size", { { 'a', 9 }, { 'b', 9 }, { 257, 9 } }, 3, DecodeStatus::Done,
            "aba" },
        { "the input ends early", { { 'a', 9 }, { 'b', 9 } }, 3, DecodeStatus::Truncated, "" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        BitWriter stream;
        for (const auto& [code, width] : row.codes)
            stream.Put(code, width);
        const Decoded result = Decode(1, 0, stream.Bytes(), row.size);
        EXPECT_EQ(StatusName(result.status), std::string(StatusName(row.status)));
        if (row.status == DecodeStatus::Done) {
            EXPECT_EQ(result.bytes, row.expected);
        }
    }
}

// A reduced stream whose follower sets are all empty except those given, so
// that every other byte is 8 literal bits.
std::string ReducedStream(
    const std::map<int, std::string>& sets, const std::vector<std::pair<std::uint32_t, int>>& fields)
{
    BitWriter stream;
    for (int set = 255; set >= 0; --set) {
        const auto found = sets.find(set);
        const std::string followers = found == sets.end() ? std::string() : found->second;
        stream.Put(static_cast<std::uint32_t>(followers.size()), 6);
        for (const char follower : followers)
            stream.Put(static_cast<std::uint8_t>(follower), 8);
    }
    for (const auto& [value, width] : fields)
        stream.Put(value, width);
    return stream.Bytes();
}

TEST(Unreduce, RepetitionsPerFactor)
{
    using namespace std::string_literals;
    struct Row {
        const char* what;
        int factor;
        std::vector<std::uint32_t> bytes; // bytes of the follower-coded stream
        std::uint64_t size;
        std::string expected;
    };
    const std::vector<Row> rows = {
        { "the marker followed by 0 is the marker byte", 1, { 'a', 144, 0, 'b' }, 3,
            "a\x90"
            "b" },
        { "length 2+3 at distance 2, overlapping", 1, { 'a', 'b', 144, 0x02, 1 }, 7, "abababa" },
        { "distance reaching before the first byte copies zeros", 1, { 'a', 'b', 144, 0x02, 3 }, 7,
            "ab\0\0ab\0"s },
        { "factor 1 length all ones takes one more byte", 1, { 'x', 144, 0x7F, 3, 0 }, 1 + 127 + 3 + 3,
            std::string(1 + 127 + 3 + 3, 'x') },
        { "factor 1 distance high bit", 1, { 'y', 144, 0x80, 0xFF }, 4, "y\0\0\0"s },
        { "factor 2 mask 0x3F", 2, { 'p', 'q', 144, 0x01, 1 }, 6, "pqpqpq" },
        { "factor 2 distance bits above the length", 2, { 'p', 144, 0x40, 0xFF }, 4, "p\0\0\0"s },
        { "factor 2 length all ones", 2, { 'z', 144, 0x3F, 1, 0 }, 1 + 63 + 1 + 3,
            std::string(1 + 63 + 1 + 3, 'z') },
        { "factor 3 mask 0x1F, three distance bits", 3, { 'm', 144, 0xE0, 0xFF, 'n' }, 5, "m\0\0\0n"s },
        { "factor 3 length all ones", 3, { 'k', 144, 0x1F, 0, 0 }, 1 + 31 + 3, std::string(1 + 31 + 3, 'k') },
        { "factor 4 mask 0x0F, the full 4 KB distance", 4, { 'r', 144, 0xF0, 0xFF }, 4, "r\0\0\0"s },
        { "factor 4 length all ones", 4, { 's', 144, 0x0F, 2, 0 }, 1 + 15 + 2 + 3,
            std::string(1 + 15 + 2 + 3, 's') },
        { "a repetition is cut at the announced size", 4, { 't', 144, 0x0F, 200, 0 }, 10,
            std::string(10, 't') },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<std::pair<std::uint32_t, int>> fields;
        for (const std::uint32_t byte : row.bytes)
            fields.emplace_back(byte, 8);
        const Decoded result = Decode(row.factor + 1, 0, ReducedStream({}, fields), row.size);
        EXPECT_EQ(StatusName(result.status), std::string("Done"));
        EXPECT_EQ(result.bytes, row.expected);
    }
}

TEST(Unreduce, ZerosBeforeTheStartAcrossTheWholeWindow)
{
    // 10 bytes, then a repetition of 3+200 bytes from 4096 back, which starts
    // 4086 bytes before the first byte: 203 zeros follow.
    std::vector<std::pair<std::uint32_t, int>> fields;
    for (int i = 0; i < 10; ++i)
        fields.emplace_back('0' + i, 8);
    for (const std::uint32_t byte : { 144u, 0x0Fu | 0xF0u, 200u - 15u, 0xFFu })
        fields.emplace_back(byte, 8);
    const Decoded result = Decode(5, 0, ReducedStream({}, fields), 10 + 203);
    EXPECT_EQ(StatusName(result.status), std::string("Done"));
    EXPECT_EQ(result.bytes, "0123456789" + std::string(203, '\0'));
}

TEST(Unreduce, FollowerSets)
{
    struct Row {
        const char* what;
        std::map<int, std::string> sets;
        std::vector<std::pair<std::uint32_t, int>> fields;
        std::uint64_t size;
        DecodeStatus status;
        std::string expected;
    };
    const std::vector<Row> rows = {
        { "an index into the set of the previous byte (0 at the start)", { { 0, "xyz" } },
            { { 0, 1 }, { 2, 2 }, { 'q', 8 } }, 2, DecodeStatus::Done, "zq" },
        { "flag 1 means a literal despite a set", { { 0, "xyz" } }, { { 1, 1 }, { 'w', 8 } }, 1,
            DecodeStatus::Done, "w" },
        { "a one-entry set takes a one-bit index", { { 0, "k" }, { 'k', "kl" } },
            { { 0, 1 }, { 0, 1 }, { 0, 1 }, { 1, 1 } }, 2, DecodeStatus::Done, "kl" },
        { "a five-bit index into a set of 32", { { 0, std::string(31, 'a') + "b" } }, { { 0, 1 }, { 31, 5 } },
            1, DecodeStatus::Done, "b" },
        { "an index past the set", { { 0, "xyz" } }, { { 0, 1 }, { 3, 2 } }, 1, DecodeStatus::Malformed, "" },
        { "a set of more than 32", { { 7, std::string(33, 'a') } }, {}, 1, DecodeStatus::Malformed, "" },
        { "the sets end early", {}, {}, 1, DecodeStatus::Truncated, "" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::string stream = ReducedStream(row.sets, row.fields);
        if (row.status == DecodeStatus::Truncated)
            stream.resize(100);
        const Decoded result = Decode(2, 0, stream, row.size);
        EXPECT_EQ(StatusName(result.status), std::string(StatusName(row.status)));
        EXPECT_EQ(result.bytes, row.expected);
    }
}

// A tree description that gives all 64 values six bits: a complete code in
// which value v has the code 63 - v.
void PutFlatTree(BitWriter& stream)
{
    stream.Put(3, 8);
    for (int i = 0; i < 4; ++i)
        stream.Put(0xF5, 8);
}

TEST(Explode, HandWrittenItemStreams)
{
    using namespace std::string_literals;
    struct Item {
        bool literal;
        std::uint32_t value; // the literal, or the length value
        std::uint32_t distance; // distance less one
    };
    struct Row {
        const char* what;
        bool window8k;
        std::vector<Item> items;
        std::uint64_t size;
        std::string expected;
    };
    const std::vector<Row> rows = {
        { "literals", false, { { true, 'a', 0 }, { true, 'b', 0 } }, 2, "ab" },
        { "minimum match 2 without a literal tree", false,
            { { true, 'a', 0 }, { true, 'b', 0 }, { false, 0, 1 } }, 4, "abab" },
        { "overlapping match", false, { { true, 'a', 0 }, { false, 3, 0 } }, 6, "aaaaaa" },
        { "match reaching zeros before the start", false,
            { { true, 'a', 0 }, { true, 'b', 0 }, { false, 3, 3 } }, 7, "ab\0\0ab\0"s },
        { "high distance bits above six low bits", false, { { true, 'a', 0 }, { false, 0, 64 } }, 3,
            "a\0\0"s },
        { "high distance bits above seven low bits", true, { { true, 'a', 0 }, { false, 0, 128 } }, 3,
            "a\0\0"s },
        { "the whole 8 KB window", true, { { true, 'a', 0 }, { false, 0, 8191 } }, 3, "a\0\0"s },
        { "length 63 takes 8 more bits", false, { { true, 'c', 0 }, { false, 63, 0 } }, 1 + 65 + 7,
            std::string(73, 'c') },
        { "a match is cut at the announced size", false, { { true, 'd', 0 }, { false, 63, 0 } }, 5,
            std::string(5, 'd') },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        BitWriter stream;
        PutFlatTree(stream);
        PutFlatTree(stream);
        const int lowBits = row.window8k ? 7 : 6;
        for (const Item& item : row.items) {
            stream.Put(item.literal ? 1 : 0, 1);
            if (item.literal) {
                stream.Put(item.value, 8);
                continue;
            }
            stream.Put(item.distance & ((1u << lowBits) - 1), lowBits);
            stream.PutCode(63 - (item.distance >> lowBits), 6);
            stream.PutCode(63 - item.value, 6);
            if (item.value == 63)
                stream.Put(7, 8);
        }
        const Decoded result = Decode(6, row.window8k ? 2 : 0, stream.Bytes(), row.size);
        EXPECT_EQ(StatusName(result.status), std::string("Done"));
        EXPECT_EQ(result.bytes, row.expected);
    }
}

TEST(Explode, TreeDescriptions)
{
    struct Row {
        const char* what;
        std::vector<std::uint32_t> description; // bytes after the count byte
        DecodeStatus status;
    };
    const std::vector<Row> rows = {
        { "all 64 values with six bits", { 0xF5, 0xF5, 0xF5, 0xF5 }, DecodeStatus::Done },
        { "one value of 1 bit, one of 2, two of 7, sixty of 8", { 0x00, 0x01, 0x16, 0xF7, 0xF7, 0xF7, 0xB7 },
            DecodeStatus::Done },
        { "too few values", { 0xF5, 0xF5, 0xF5 }, DecodeStatus::Malformed },
        { "too many values", { 0xF5, 0xF5, 0xF5, 0xF5, 0x05 }, DecodeStatus::Malformed },
        { "over-subscribed: 64 values of 5 bits", { 0xF4, 0xF4, 0xF4, 0xF4 }, DecodeStatus::Malformed },
        { "a short code after longer ones that do not fill its place", { 0x00, 0xF5, 0xF5, 0xF5, 0xE5 },
            DecodeStatus::Malformed },
        { "lengths that fit but put a short code inside the longer ones: one of 1 bit, 63 of 7",
            { 0x00, 0xF6, 0xF6, 0xF6, 0xE6 }, DecodeStatus::Malformed },
        { "incomplete but a prefix code: 64 values of 7 bits", { 0xF6, 0xF6, 0xF6, 0xF6 },
            DecodeStatus::Done },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        BitWriter stream;
        stream.Put(static_cast<std::uint32_t>(row.description.size() - 1), 8);
        for (const std::uint32_t byte : row.description)
            stream.Put(byte, 8);
        PutFlatTree(stream);
        // One literal: the stream is only Done when both trees were accepted.
        stream.Put(1, 1);
        stream.Put('x', 8);
        const Decoded result = Decode(6, 0, stream.Bytes(), 1);
        EXPECT_EQ(StatusName(result.status), std::string(StatusName(row.status)));
    }
}

TEST(Explode, BitsThatStartNoCodeAreMalformed)
{
    // A distance tree of 64 values of 7 bits fills half the code space; its
    // codes all start with the bit 0 (the longest codes get the lowest
    // values), so distance bits starting with 1 name nothing.
    BitWriter stream;
    PutFlatTree(stream);
    stream.Put(3, 8);
    for (int i = 0; i < 4; ++i)
        stream.Put(0xF6, 8);
    stream.Put(0, 1); // a match
    stream.Put(0, 6); // low distance bits
    stream.PutCode(0x7F, 7); // distance high: all ones, no such code
    stream.Put(0, 16);
    const Decoded result = Decode(6, 0, stream.Bytes(), 10);
    EXPECT_EQ(StatusName(result.status), std::string("Malformed"));
}

TEST(LegacyDecoders, EmptyOutputNeedsNoInput)
{
    for (int method = 1; method <= 6; ++method) {
        SCOPED_TRACE(method);
        const Decoded result = Decode(method, 6, "", 0);
        EXPECT_EQ(StatusName(result.status), std::string("Done"));
        EXPECT_EQ(result.writes, 0);
    }
}

} // namespace
} // namespace orbita
