#pragma once

#include "data/decoder.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orbita {

// The bytes a decoder produces, on their way to the output: a zero-filled ring
// that doubles as the sliding window of the LZ-style methods (so a match that
// reaches before the first byte copies zeros) and is handed over to the output
// in one run whenever it fills (runs of kRunSize bytes, the size of the
// archive reader's output window), and once at the end. It takes no more than
// the announced number of bytes; anything beyond is cut off.
class OutputRing final {
public:
    // Throws std::bad_alloc when the ring cannot be allocated.
    OutputRing(DecoderOutput& out, std::uint64_t announced);
    OutputRing(const OutputRing&) = delete;
    OutputRing& operator=(const OutputRing&) = delete;

    static constexpr std::size_t kRunSize = 32768;
    // The longest match distance the ring can serve.
    static constexpr std::size_t kMaxDistance = 16384;

    // Bytes still to be produced.
    std::uint64_t Remaining() const { return m_remaining; }
    bool Full() const { return m_remaining == 0; }

    // Each of these gives false when the output asked to stop.
    bool Put(std::uint8_t byte)
    {
        if (m_remaining == 0)
            return true;
        m_ring[m_pos++] = byte;
        --m_remaining;
        return m_pos < m_ring.size() || Wrap();
    }
    bool Append(const std::uint8_t* data, std::size_t size);
    // Copies `length` bytes that start `distance` (1 to kMaxDistance) bytes back.
    bool Copy(std::size_t distance, std::size_t length);
    // Hands over everything not yet handed over.
    bool Flush();

private:
    bool Wrap();

    DecoderOutput& m_out;
    std::vector<std::uint8_t> m_ring;
    std::size_t m_pos = 0;
    std::size_t m_flushed = 0;
    std::uint64_t m_remaining;
};

} // namespace orbita
