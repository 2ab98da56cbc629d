#pragma once

#include "data/decoder.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace orbita {

// Compressed bits of the older ZIP methods, least significant bit of each byte
// first, kept in a 64-bit register that is topped up from the input blocks.
// Once the input reports its end it is never asked again.
class BitReader final {
public:
    explicit BitReader(DecoderInput& in)
        : m_in(in)
    {
    }
    BitReader(const BitReader&) = delete;
    BitReader& operator=(const BitReader&) = delete;

    // True when at least `count` (at most 56) bits are buffered; tops the
    // register up first when fewer are.
    bool Ensure(int count)
    {
        if (m_count >= count)
            return true;
        Refill();
        return m_count >= count;
    }
    // The next `count` (at most 32) bits without consuming them; bits beyond
    // the end of the input read as zeros.
    std::uint32_t Peek(int count) const
    {
        return static_cast<std::uint32_t>(m_bits & ((std::uint64_t { 1 } << count) - 1));
    }
    // Consumes `count` bits; the caller has made sure they are buffered.
    void Drop(int count)
    {
        m_bits >>= count;
        m_count -= count;
    }
    // Reads `count` (at most 32) bits into `value`; false when the input ends first.
    bool Read(int count, std::uint32_t& value)
    {
        if (!Ensure(count))
            return false;
        value = Peek(count);
        Drop(count);
        return true;
    }
    // Number of bits buffered.
    int Buffered() const { return m_count; }

private:
    void Refill();

    DecoderInput& m_in;
    std::array<std::uint8_t, 4096> m_block {};
    std::size_t m_next = 0;
    std::size_t m_end = 0;
    std::uint64_t m_bits = 0;
    int m_count = 0;
    bool m_inputEnded = false;
};

} // namespace orbita
