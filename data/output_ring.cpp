#include "data/output_ring.h"

#include <algorithm>
#include <cstring>

namespace orbita {

static_assert(OutputRing::kMaxDistance * 2 <= OutputRing::kRunSize);

OutputRing::OutputRing(DecoderOutput& out, std::uint64_t announced)
    : m_out(out)
    , m_ring(kRunSize, 0)
    , m_remaining(announced)
{
}

bool OutputRing::Flush()
{
    if (m_pos == m_flushed)
        return true;
    const std::size_t start = m_flushed;
    m_flushed = m_pos;
    return m_out.Write(m_ring.data() + start, m_pos - start);
}

bool OutputRing::Wrap()
{
    const bool more = Flush();
    m_pos = 0;
    m_flushed = 0;
    return more;
}

bool OutputRing::Append(const std::uint8_t* data, std::size_t size)
{
    std::size_t left = static_cast<std::size_t>(std::min<std::uint64_t>(size, m_remaining));
    while (left > 0) {
        const std::size_t chunk = std::min(left, m_ring.size() - m_pos);
        std::memcpy(m_ring.data() + m_pos, data, chunk);
        data += chunk;
        left -= chunk;
        m_pos += chunk;
        m_remaining -= chunk;
        if (m_pos == m_ring.size() && !Wrap())
            return false;
    }
    return true;
}

bool OutputRing::Copy(std::size_t distance, std::size_t length)
{
    const std::size_t mask = m_ring.size() - 1;
    std::size_t left = static_cast<std::size_t>(std::min<std::uint64_t>(length, m_remaining));
    while (left > 0) {
        const std::size_t from = (m_pos - distance) & mask;
        const std::size_t chunk = std::min({ left, m_ring.size() - m_pos, m_ring.size() - from });
        std::uint8_t* const to = m_ring.data() + m_pos;
        const std::uint8_t* const source = m_ring.data() + from;
        if (chunk <= distance) {
            // With the ring at least twice the longest distance, a source that
            // lies behind the write position (wrapped) never overlaps it.
            std::memcpy(to, source, chunk);
        } else {
            for (std::size_t i = 0; i < chunk; ++i)
                to[i] = source[i];
        }
        left -= chunk;
        m_pos += chunk;
        m_remaining -= chunk;
        if (m_pos == m_ring.size() && !Wrap())
            return false;
    }
    return true;
}

} // namespace orbita
