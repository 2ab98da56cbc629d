#include "data/bit_reader.h"

#include <algorithm>

namespace orbita {

void BitReader::Refill()
{
    while (m_count <= 56) {
        if (m_next == m_end) {
            if (m_inputEnded)
                return;
            const std::size_t got = m_in.Read(m_block.data(), m_block.size());
            if (got == 0) {
                m_inputEnded = true;
                return;
            }
            m_next = 0;
            m_end = std::min(got, m_block.size());
        }
        m_bits |= std::uint64_t { m_block[m_next++] } << m_count;
        m_count += 8;
    }
}

} // namespace orbita
