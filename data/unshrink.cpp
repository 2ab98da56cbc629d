#include "data/bit_reader.h"
#include "data/decoder.h"
#include "data/output_ring.h"

#include <algorithm>
#include <array>
#include <bit>
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
// Leaf position of a slot that is not a leaf.
constexpr std::uint16_t kNotLeaf = 0xFFFF;

// The string table: every used slot from 257 on is a prefix code plus one
// byte; slots 0 to 255 are the single bytes. A partial clear costs only the
// strings it frees: the leaves (used strings that no entry extends) are kept
// in a list as entries come and go.
struct ShrinkTable {
    std::array<std::uint16_t, kTableSize> prefix;
    std::array<std::uint8_t, kTableSize> suffix;
    // Entries whose prefix is the slot (also while the slot is free).
    std::array<std::uint16_t, kTableSize> children;
    std::array<std::uint16_t, kTableSize> leaves;
    std::array<std::uint16_t, kTableSize> leafAt;
    unsigned leafCount;
    // One bit per slot, set while the slot is free (slots 257 on).
    std::array<std::uint64_t, kTableSize / 64> freeSlots;
    // The lowest free slot, kTableSize when the table is full.
    unsigned nextFree;
    // A string spelled backwards from its last byte.
    std::array<std::uint8_t, kTableSize> spelling;

    void Reset()
    {
        prefix.fill(kFree);
        for (unsigned c = 0; c < 256; ++c) {
            prefix[c] = 0;
            suffix[c] = static_cast<std::uint8_t>(c);
        }
        children.fill(0);
        leafAt.fill(kNotLeaf);
        leafCount = 0;
        freeSlots.fill(~std::uint64_t { 0 });
        for (unsigned word = 0; word < kFirstEntry / 64; ++word)
            freeSlots[word] = 0;
        freeSlots[kFirstEntry / 64] = ~std::uint64_t { 0 } << (kFirstEntry % 64);
        nextFree = kFirstEntry;
    }
    bool Used(unsigned code) const { return code < 256 || (code >= kFirstEntry && prefix[code] != kFree); }

    void AddLeaf(unsigned slot)
    {
        leafAt[slot] = static_cast<std::uint16_t>(leafCount);
        leaves[leafCount++] = static_cast<std::uint16_t>(slot);
    }
    void RemoveLeaf(unsigned slot)
    {
        const unsigned at = leafAt[slot];
        const unsigned last = leaves[--leafCount];
        leaves[at] = static_cast<std::uint16_t>(last);
        leafAt[last] = static_cast<std::uint16_t>(at);
        leafAt[slot] = kNotLeaf;
    }
    // Fills the lowest free slot (the caller checked there is one) with
    // `parent` followed by `byte`; the parent may be a free slot (see the
    // contract of Unshrink).
    void Add(unsigned parent, std::uint8_t byte)
    {
        const unsigned slot = nextFree;
        prefix[slot] = static_cast<std::uint16_t>(parent);
        suffix[slot] = byte;
        freeSlots[slot / 64] &= ~(std::uint64_t { 1 } << (slot % 64));
        if (parent >= kFirstEntry && children[parent]++ == 0 && leafAt[parent] != kNotLeaf)
            RemoveLeaf(parent);
        if (children[slot] == 0)
            AddLeaf(slot);
        unsigned word = slot / 64;
        while (word < freeSlots.size() && freeSlots[word] == 0)
            ++word;
        nextFree = word == freeSlots.size()
            ? kTableSize
            : word * 64 + static_cast<unsigned>(std::countr_zero(freeSlots[word]));
    }
    // Frees every string that no entry extends. Strings that become leaves by
    // this stay until the next clear.
    void ClearLeaves()
    {
        const unsigned freeing = leafCount;
        unsigned kept = 0;
        for (unsigned i = 0; i < freeing; ++i) {
            const unsigned slot = leaves[i];
            const unsigned parent = prefix[slot];
            prefix[slot] = kFree;
            leafAt[slot] = kNotLeaf;
            freeSlots[slot / 64] |= std::uint64_t { 1 } << (slot % 64);
            nextFree = std::min(nextFree, slot);
            if (parent >= kFirstEntry && --children[parent] == 0 && prefix[parent] != kFree) {
                // Written behind the reading position: entries 0 to i are read.
                leafAt[parent] = static_cast<std::uint16_t>(kept);
                leaves[kept++] = static_cast<std::uint16_t>(parent);
            }
        }
        leafCount = kept;
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
// with its bookkeeping (about 80 KB) and a 32 KB output ring are the only
// working memory.
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
                table->Add(previous, table->spelling[first]);
            }
        } else if (state == ShrinkState::Pending && code == table->nextFree) {
            table->Add(previous, previousFirst);
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
