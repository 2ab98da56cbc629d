// Runs the decoders of the older ZIP methods over fuzz input. Layout:
//   byte 0     method: low 3 bits mod 6 (0 shrink, 1-4 reduce factor 1-4,
//              5 implode); bit 3 the 8 KB window, bit 4 the literal tree;
//              bit 5 makes the output refuse its second run
//   bytes 1-3  announced size, little-endian, capped at 1 MiB
//   byte 4     input block size less one
//   the rest   the compressed stream
// Traps on anything the decoder interface rules out: more output than
// announced, Done with less, writes after a refusal, input requests after its
// end, or a status that the case cannot give.

#include "data/decoder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

class FuzzInput final : public orbita::DecoderInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size, std::size_t blockSize)
        : m_data(data)
        , m_size(size)
        , m_blockSize(blockSize)
    {
    }
    std::size_t Read(std::uint8_t* buffer, std::size_t capacity) override
    {
        if (m_ended)
            __builtin_trap();
        const std::size_t size = std::min({ capacity, m_blockSize, m_size - m_at });
        if (size > 0)
            std::memcpy(buffer, m_data + m_at, size);
        m_at += size;
        m_ended = size == 0;
        return size;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_blockSize;
    std::size_t m_at = 0;
    bool m_ended = false;
};

class FuzzOutput final : public orbita::DecoderOutput {
public:
    FuzzOutput(std::uint64_t announced, bool refuseSecond)
        : m_announced(announced)
        , m_refuseSecond(refuseSecond)
    {
    }
    bool Write(const std::uint8_t* data, std::size_t size) override
    {
        if (m_refused || size == 0)
            __builtin_trap();
        m_total += size;
        if (m_total > m_announced)
            __builtin_trap();
        std::uint8_t sum = 0;
        for (std::size_t i = 0; i < size; ++i)
            sum = static_cast<std::uint8_t>(sum + data[i]);
        m_checksum ^= sum;
        ++m_writes;
        if (m_refuseSecond && m_writes == 2) {
            m_refused = true;
            return false;
        }
        return true;
    }
    std::uint64_t Total() const { return m_total; }
    bool Refused() const { return m_refused; }

private:
    std::uint64_t m_announced;
    bool m_refuseSecond;
    std::uint64_t m_total = 0;
    int m_writes = 0;
    bool m_refused = false;
    std::uint8_t m_checksum = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 5)
        return 0;
    const unsigned method = (data[0] & 7u) % 6u;
    const bool window8k = (data[0] & 0x08) != 0;
    const bool literalTree = (data[0] & 0x10) != 0;
    const bool refuseSecond = (data[0] & 0x20) != 0;
    const std::uint64_t announced
        = (data[1] | (std::uint64_t { data[2] } << 8) | (std::uint64_t { data[3] } << 16)) % ((1u << 20) + 1);
    const std::size_t blockSize = std::size_t { data[4] } + 1;

    FuzzInput in(data + 5, size - 5, blockSize);
    FuzzOutput out(announced, refuseSecond);
    orbita::DecodeStatus status;
    if (method == 0)
        status = orbita::Unshrink(in, out, announced);
    else if (method <= 4)
        status = orbita::Unreduce(in, out, static_cast<int>(method), announced);
    else
        status = orbita::Explode(in, out, window8k, literalTree, announced);

    switch (status) {
    case orbita::DecodeStatus::Done:
        if (out.Total() != announced || out.Refused())
            __builtin_trap();
        break;
    case orbita::DecodeStatus::Stopped:
        if (!out.Refused())
            __builtin_trap();
        break;
    case orbita::DecodeStatus::Truncated:
    case orbita::DecodeStatus::Malformed:
        if (out.Refused())
            __builtin_trap();
        break;
    case orbita::DecodeStatus::NoMemory:
        __builtin_trap();
    }
    return 0;
}
