#include "data/bit_reader.h"
#include "data/decoder.h"
#include "data/output_ring.h"

#include <array>
#include <memory>
#include <new>

namespace orbita {

namespace {

constexpr int kFirstCodeBits = 9;
constexpr int kMaxCodeBits = 13;
constexpr unsigned kTableSize = 1u << kMaxCodeBits;
constexpr unsigned kControlCode = 256;
constexpr unsigned kFirstEntry = 257;
constexpr std::uint32_t kWiden = 1;
constexpr std::uint32_t kPartialClear = 2;
// Prefix of a table slot that holds no string.
constexpr std::uint16_t kFree = 0xFFFF;

// The string table: every used slot from 257 on is a prefix code plus one
// byte; slots 0 to 255 are the single bytes.
struct ShrinkTable {
    std::array<std::uint16_t, kTableSize> prefix;
    std::array<std::uint8_t, kTableSize> suffix;
    // Set during a partial clear: the slot is the prefix of another string.
    std::array<bool, kTableSize> hasChild;
    // A string spelled backwards from its last byte.
    std::array<std::uint8_t, kTableSize> spelling;
    // The lowest free slot, kTableSize when the table is full.
    unsigned nextFree;

    void Reset()
    {
        prefix.fill(kFree);
        for (unsigned c = 0; c < 256; ++c) {
            prefix[c] = 0;
            suffix[c] = static_cast<std::uint8_t>(c);
        }
        nextFree = kFirstEntry;
    }
    bool Used(unsigned code) const { return code < 256 || (code >= kFirstEntry && prefix[code] != kFree); }
    void AdvanceFree()
    {
        while (nextFree < kTableSize && prefix[nextFree] != kFree)
            ++nextFree;
    }
    // Frees every string that is not the prefix of another one.
    void ClearLeaves()
    {
        hasChild.fill(false);
        for (unsigned c = kFirstEntry; c < kTableSize; ++c) {
            if (prefix[c] != kFree)
                hasChild[prefix[c]] = true;
        }
        for (unsigned c = kFirstEntry; c < kTableSize; ++c) {
            if (!hasChild[c])
                prefix[c] = kFree;
        }
        nextFree = kFirstEntry;
        AdvanceFree();
    }
    // Spells the string of a used code into the end of `spelling`; gives the
    // index of its first byte, or kNoString when the chain meets a free slot
    // or runs longer than the table (a loop).
    static constexpr std::size_t kNoString = ~std::size_t { 0 };
    std::size_t Spell(unsigned code)
    {
        std::size_t first = spelling.size();
        while (code >= kFirstEntry) {
            if (prefix[code] == kFree || first == 1)
                return kNoString;
            spelling[--first] = suffix[code];
            code = prefix[code];
        }
        spelling[--first] = static_cast<std::uint8_t>(code);
        return first;
    }
};

// The decoder's position in the code stream.
enum class ShrinkState {
    // Only at the start: no string waits for its table entry, so the first
    // code must be a byte (or a command).
    Fresh,
    // The previous string waits for its entry, which the next code completes
    // with its first byte; a code equal to the lowest free slot names that
    // very entry (the string followed by its own first byte).
    Pending,
    // Code 256 was read; the next code says what to do: 1 widens the codes by
    // one bit, 2 frees the leaf strings. Anything else is malformed.
    Control,
};

} // namespace

// Unshrink: LZW codes of 9 bits at first, widened one bit at a time to at most
// 13 bits on the 256,1 command; 256,2 frees every string that no other string
// extends, and freed slots are reused lowest first. The string read before a
// clear still gets its entry after it, even when the clear freed that string's
// slot: such an entry means whatever the slot holds when the entry is used.
// Gives Done after exactly `uncompressedSize` bytes; Truncated when the input
// ends before that; Malformed for a code that names a free slot, a string
// whose chain meets a free slot or loops, an unknown command or a widening
// past 13 bits; Stopped as soon as the output refuses a run. The string table
// (about 48 KB) and a 64 KB output ring are the only working memory.
DecodeStatus Unshrink(DecoderInput& in, DecoderOutput& out, std::uint64_t uncompressedSize)
{
    std::unique_ptr<ShrinkTable> table;
    std::unique_ptr<OutputRing> ring;
    try {
        table = std::make_unique<ShrinkTable>();
        ring = std::make_unique<OutputRing>(out, uncompressedSize);
    } catch (const std::bad_alloc&) {
        return DecodeStatus::NoMemory;
    }
    table->Reset();
    BitReader bits(in);

    ShrinkState state = ShrinkState::Fresh;
    ShrinkState beforeControl = ShrinkState::Fresh;
    int codeBits = kFirstCodeBits;
    unsigned previous = 0;
    std::uint8_t previousFirst = 0;

    while (!ring->Full()) {
        std::uint32_t code = 0;
        if (!bits.Read(codeBits, code))
            return DecodeStatus::Truncated;

        if (state == ShrinkState::Control) {
            if (code == kWiden) {
                if (codeBits == kMaxCodeBits)
                    return DecodeStatus::Malformed;
                ++codeBits;
                state = beforeControl;
            } else if (code == kPartialClear) {
                table->ClearLeaves();
                state = beforeControl;
            } else {
                return DecodeStatus::Malformed;
            }
            continue;
        }
        if (code == kControlCode) {
            beforeControl = state;
            state = ShrinkState::Control;
            continue;
        }

        std::size_t first = ShrinkTable::kNoString;
        if (table->Used(code)) {
            first = table->Spell(code);
            if (first != ShrinkTable::kNoString && state == ShrinkState::Pending
                && table->nextFree < kTableSize) {
                table->prefix[table->nextFree] = static_cast<std::uint16_t>(previous);
                table->suffix[table->nextFree] = table->spelling[first];
                table->AdvanceFree();
            }
        } else if (state == ShrinkState::Pending && code == table->nextFree) {
            table->prefix[code] = static_cast<std::uint16_t>(previous);
            table->suffix[code] = previousFirst;
            table->AdvanceFree();
            first = table->Spell(code);
        }
        if (first == ShrinkTable::kNoString)
            return DecodeStatus::Malformed;

        const std::size_t length = table->spelling.size() - first;
        if (!ring->Append(table->spelling.data() + first, length))
            return DecodeStatus::Stopped;
        previous = code;
        previousFirst = table->spelling[first];
        state = ShrinkState::Pending;
    }
    return ring->Flush() ? DecodeStatus::Done : DecodeStatus::Stopped;
}

} // namespace orbita
