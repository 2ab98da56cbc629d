#include "data/bit_reader.h"
#include "data/decoder.h"
#include "data/output_ring.h"

#include <array>
#include <memory>
#include <new>

namespace orbita {

namespace {

constexpr int kMaxCodeLength = 16;
constexpr int kRootBits = 10;

// A Shannon-Fano code as the decoder uses it: codes of up to kRootBits bits
// are found by one look-up of the next kRootBits input bits; longer ones are
// searched in a short list.
struct ShannonFanoTree {
    // Per look-up index: (code length << 8) | symbol; 0 when no code of at
    // most kRootBits bits starts with these bits.
    std::array<std::uint16_t, 1u << kRootBits> root;
    struct LongCode {
        std::uint16_t bits; // in input order, first bit lowest
        std::uint8_t length;
        std::uint8_t symbol;
    };
    // Codes longer than kRootBits, shortest first.
    std::array<LongCode, 256> longCodes;
    unsigned longCount;
};

struct ExplodeTables {
    ShannonFanoTree literal;
    ShannonFanoTree length;
    ShannonFanoTree distance;
};

std::uint16_t Reverse16(std::uint32_t value)
{
    std::uint32_t reversed = 0;
    for (int i = 0; i < 16; ++i) {
        reversed = (reversed << 1) | (value & 1);
        value >>= 1;
    }
    return static_cast<std::uint16_t>(reversed);
}

// Reads the description of a tree of `symbols` values (256 or 64): a byte
// giving the number of description bytes less one, then per byte the number
// of values (high nibble + 1) that have the bit length (low nibble + 1), in
// value order. Codes are handed out from the longest lengths down, within a
// length from the highest value down, each the previous plus the previous
// code's step. Lengths that do not cover exactly `symbols` values, or that
// give overlapping or too many codes, are malformed.
DecodeStatus ReadTree(BitReader& bits, unsigned symbols, ShannonFanoTree& tree)
{
    std::uint32_t describing = 0;
    if (!bits.Read(8, describing))
        return DecodeStatus::Truncated;
    std::array<std::uint8_t, 256> lengths {};
    unsigned described = 0;
    for (std::uint32_t i = 0; i <= describing; ++i) {
        std::uint32_t run = 0;
        if (!bits.Read(8, run))
            return DecodeStatus::Truncated;
        const unsigned count = (run >> 4) + 1;
        const unsigned length = (run & 0x0F) + 1;
        if (described + count > symbols)
            return DecodeStatus::Malformed;
        for (unsigned k = 0; k < count; ++k)
            lengths[described++] = static_cast<std::uint8_t>(length);
    }
    if (described != symbols)
        return DecodeStatus::Malformed;

    // Values ordered by length, stable within a length.
    std::array<unsigned, kMaxCodeLength + 2> start {};
    for (unsigned v = 0; v < symbols; ++v)
        ++start[lengths[v] + 1];
    for (int l = 1; l <= kMaxCodeLength + 1; ++l)
        start[l] += start[l - 1];
    std::array<std::uint8_t, 256> sorted {};
    for (unsigned v = 0; v < symbols; ++v)
        sorted[start[lengths[v]]++] = static_cast<std::uint8_t>(v);

    tree.root.fill(0);
    tree.longCount = 0;
    std::array<std::uint16_t, 256> inputBits {};
    std::uint32_t code = 0;
    std::uint32_t step = 0;
    unsigned lastLength = 0;
    for (unsigned k = symbols; k-- > 0;) {
        const unsigned value = sorted[k];
        const unsigned length = lengths[value];
        code += step;
        if (length != lastLength) {
            lastLength = length;
            step = 1u << (kMaxCodeLength - length);
        }
        if ((code & (step - 1)) != 0 || code + step > (1u << kMaxCodeLength))
            return DecodeStatus::Malformed;
        inputBits[value] = Reverse16(code);
        if (length <= kRootBits) {
            const auto entry = static_cast<std::uint16_t>((length << 8) | value);
            for (unsigned i = inputBits[value]; i < tree.root.size(); i += 1u << length)
                tree.root[i] = entry;
        }
    }
    for (unsigned k = 0; k < symbols; ++k) {
        const unsigned value = sorted[k];
        if (lengths[value] > kRootBits)
            tree.longCodes[tree.longCount++]
                = { inputBits[value], lengths[value], static_cast<std::uint8_t>(value) };
    }
    return DecodeStatus::Done;
}

// Decodes one value of `tree`; gives -1 for bits that start no code and -2
// when the input ends inside a code.
int DecodeValue(BitReader& bits, const ShannonFanoTree& tree)
{
    bits.Ensure(kMaxCodeLength);
    const std::uint32_t next = bits.Peek(kMaxCodeLength);
    const std::uint16_t entry = tree.root[next & ((1u << kRootBits) - 1)];
    if (entry != 0) {
        const int length = entry >> 8;
        if (length > bits.Buffered())
            return -2;
        bits.Drop(length);
        return entry & 0xFF;
    }
    for (unsigned i = 0; i < tree.longCount; ++i) {
        const ShannonFanoTree::LongCode& candidate = tree.longCodes[i];
        if ((next & ((1u << candidate.length) - 1)) == candidate.bits) {
            if (candidate.length > bits.Buffered())
                return -2;
            bits.Drop(candidate.length);
            return candidate.symbol;
        }
    }
    return bits.Buffered() < kMaxCodeLength ? -2 : -1;
}

// The decoder's position inside one item of the compressed stream.
enum class ExplodeState {
    // The flag bit: 1 for a literal byte, 0 for a repetition.
    Flag,
    // The literal: a value of the literal tree, or 8 plain bits without one.
    Literal,
    // The low 6 (4 KB window) or 7 (8 KB window) distance bits, plain.
    DistanceLow,
    // The high 6 distance bits, a value of the distance tree.
    DistanceHigh,
    // The length less the minimum match, a value of the length tree.
    Length,
    // After the largest length value: 8 plain bits more of length.
    LengthExtra,
    // Copies the repetition; it may reach zeros before the first byte.
    Copy,
};

} // namespace

// Explode (method 6): two or three Shannon-Fano trees (literal, if present,
// then length, then distance), then items of a flag bit followed by a literal
// or a distance and length; the minimum match length is 3 with the literal
// tree and 2 without. Gives Done after exactly `uncompressedSize` bytes;
// Truncated when the input ends before that; Malformed for a tree description
// that is not a code or bits that start no code; Stopped as soon as the output
// refuses a run. Three trees (about 8 KB) and a 32 KB output ring are the
// only working memory.
DecodeStatus Explode(
    DecoderInput& in, DecoderOutput& out, bool window8k, bool literalTree, std::uint64_t uncompressedSize)
{
    std::unique_ptr<ExplodeTables> trees;
    std::unique_ptr<OutputRing> ring;
    try {
        trees = std::make_unique<ExplodeTables>();
        ring = std::make_unique<OutputRing>(out, uncompressedSize);
    } catch (const std::bad_alloc&) {
        return DecodeStatus::NoMemory;
    }
    if (uncompressedSize == 0)
        return DecodeStatus::Done;

    BitReader bits(in);
    DecodeStatus status = DecodeStatus::Done;
    if (literalTree && (status = ReadTree(bits, 256, trees->literal)) != DecodeStatus::Done)
        return status;
    if ((status = ReadTree(bits, 64, trees->length)) != DecodeStatus::Done)
        return status;
    if ((status = ReadTree(bits, 64, trees->distance)) != DecodeStatus::Done)
        return status;

    const int lowBits = window8k ? 7 : 6;
    const unsigned minimumMatch = literalTree ? 3 : 2;
    ExplodeState state = ExplodeState::Flag;
    std::uint32_t distance = 0;
    unsigned length = 0;

    while (!ring->Full()) {
        std::uint32_t field = 0;
        int value = 0;
        switch (state) {
        case ExplodeState::Flag:
            if (!bits.Read(1, field))
                return DecodeStatus::Truncated;
            state = field != 0 ? ExplodeState::Literal : ExplodeState::DistanceLow;
            break;
        case ExplodeState::Literal:
            if (literalTree) {
                value = DecodeValue(bits, trees->literal);
                if (value < 0)
                    return value == -1 ? DecodeStatus::Malformed : DecodeStatus::Truncated;
            } else {
                if (!bits.Read(8, field))
                    return DecodeStatus::Truncated;
                value = static_cast<int>(field);
            }
            if (!ring->Put(static_cast<std::uint8_t>(value)))
                return DecodeStatus::Stopped;
            state = ExplodeState::Flag;
            break;
        case ExplodeState::DistanceLow:
            if (!bits.Read(lowBits, distance))
                return DecodeStatus::Truncated;
            state = ExplodeState::DistanceHigh;
            break;
        case ExplodeState::DistanceHigh:
            value = DecodeValue(bits, trees->distance);
            if (value < 0)
                return value == -1 ? DecodeStatus::Malformed : DecodeStatus::Truncated;
            distance |= static_cast<std::uint32_t>(value) << lowBits;
            state = ExplodeState::Length;
            break;
        case ExplodeState::Length:
            value = DecodeValue(bits, trees->length);
            if (value < 0)
                return value == -1 ? DecodeStatus::Malformed : DecodeStatus::Truncated;
            length = static_cast<unsigned>(value) + minimumMatch;
            state = value == 63 ? ExplodeState::LengthExtra : ExplodeState::Copy;
            break;
        case ExplodeState::LengthExtra:
            if (!bits.Read(8, field))
                return DecodeStatus::Truncated;
            length += field;
            state = ExplodeState::Copy;
            break;
        case ExplodeState::Copy:
            if (!ring->Copy(distance + 1, length))
                return DecodeStatus::Stopped;
            state = ExplodeState::Flag;
            break;
        }
    }
    return ring->Flush() ? DecodeStatus::Done : DecodeStatus::Stopped;
}

} // namespace orbita
