#include "data/bit_reader.h"
#include "data/decoder.h"
#include "data/output_ring.h"

#include <array>
#include <memory>
#include <new>

namespace orbita {

namespace {

constexpr std::uint8_t kRepeatMarker = 144; // DLE
constexpr unsigned kMaxFollowers = 32;

// The followers that may come after each byte, most likely first.
struct FollowerSets {
    std::array<std::array<std::uint8_t, kMaxFollowers>, 256> followers;
    std::array<std::uint8_t, 256> count;
};

// Bits of an index into a follower set of `size` entries (size 1 to 32).
int IndexBits(unsigned size)
{
    int bits = 1;
    while ((1u << bits) < size)
        ++bits;
    return bits;
}

// Where the expansion of repeated sequences stands after each byte of the
// follower-coded stream.
enum class ReduceState {
    // Plain bytes; the marker 144 announces a repetition.
    Plain,
    // After the marker: 0 stands for the marker byte itself, any other value
    // starts a repetition (low bits: length, high bits: distance).
    Marker,
    // The length field was all ones: this byte is added to the length.
    LongerLength,
    // The low byte of the distance; the repetition is copied.
    Distance,
};

} // namespace

// Unreduce (methods 2 to 5): 256 follower sets (byte 255's first; a 6-bit
// count of at most 32, then 8-bit followers), then per byte a flag bit: 1
// means 8 literal bits, 0 an index of just enough bits into the follower set
// of the previous byte of this stream (a byte with an empty set is always 8
// literal bits). Those bytes carry repetitions behind the marker 144, with
// 7, 6, 5 or 4 length bits for factor 1 to 4; distances of up to 4096 bytes
// reach zeros before the first byte. Gives Done after exactly
// `uncompressedSize` bytes; Truncated when the input ends before that;
// Malformed for a follower count above 32, an index past its set or a factor
// outside 1 to 4; Stopped as soon as the output refuses a run. The follower
// sets (8 KB) and a 32 KB output ring are the only working memory.
DecodeStatus Unreduce(DecoderInput& in, DecoderOutput& out, int factor, std::uint64_t uncompressedSize)
{
    if (factor < 1 || factor > 4)
        return DecodeStatus::Malformed;
    std::unique_ptr<FollowerSets> sets;
    std::unique_ptr<OutputRing> ring;
    try {
        sets = std::make_unique<FollowerSets>();
        ring = std::make_unique<OutputRing>(out, uncompressedSize);
    } catch (const std::bad_alloc&) {
        return DecodeStatus::NoMemory;
    }
    if (uncompressedSize == 0)
        return DecodeStatus::Done;

    BitReader bits(in);
    for (int set = 255; set >= 0; --set) {
        std::uint32_t count = 0;
        if (!bits.Read(6, count))
            return DecodeStatus::Truncated;
        if (count > kMaxFollowers)
            return DecodeStatus::Malformed;
        sets->count[set] = static_cast<std::uint8_t>(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint32_t follower = 0;
            if (!bits.Read(8, follower))
                return DecodeStatus::Truncated;
            sets->followers[set][i] = static_cast<std::uint8_t>(follower);
        }
    }
    std::array<std::uint8_t, 256> indexBits {};
    for (unsigned set = 0; set < 256; ++set)
        indexBits[set] = sets->count[set] == 0 ? 0 : static_cast<std::uint8_t>(IndexBits(sets->count[set]));

    const unsigned lengthMask = 0xFFu >> factor;
    const int distanceShift = 8 - factor;
    ReduceState state = ReduceState::Plain;
    std::uint8_t last = 0;
    unsigned length = 0;
    unsigned distanceHigh = 0;

    while (!ring->Full()) {
        // One byte of the follower-coded stream.
        std::uint32_t byte = 0;
        const unsigned setSize = sets->count[last];
        if (setSize == 0) {
            if (!bits.Read(8, byte))
                return DecodeStatus::Truncated;
        } else {
            std::uint32_t literal = 0;
            if (!bits.Read(1, literal))
                return DecodeStatus::Truncated;
            if (literal != 0) {
                if (!bits.Read(8, byte))
                    return DecodeStatus::Truncated;
            } else {
                std::uint32_t index = 0;
                if (!bits.Read(indexBits[last], index))
                    return DecodeStatus::Truncated;
                if (index >= setSize)
                    return DecodeStatus::Malformed;
                byte = sets->followers[last][index];
            }
        }
        last = static_cast<std::uint8_t>(byte);

        bool more = true;
        switch (state) {
        case ReduceState::Plain:
            if (byte == kRepeatMarker)
                state = ReduceState::Marker;
            else
                more = ring->Put(last);
            break;
        case ReduceState::Marker:
            if (byte == 0) {
                more = ring->Put(kRepeatMarker);
                state = ReduceState::Plain;
            } else {
                distanceHigh = byte >> distanceShift;
                length = byte & lengthMask;
                state = length == lengthMask ? ReduceState::LongerLength : ReduceState::Distance;
            }
            break;
        case ReduceState::LongerLength:
            length += byte;
            state = ReduceState::Distance;
            break;
        case ReduceState::Distance:
            more = ring->Copy((distanceHigh << 8) + byte + 1, length + 3);
            state = ReduceState::Plain;
            break;
        }
        if (!more)
            return DecodeStatus::Stopped;
    }
    return ring->Flush() ? DecodeStatus::Done : DecodeStatus::Stopped;
}

} // namespace orbita
