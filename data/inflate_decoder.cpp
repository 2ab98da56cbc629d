#include "data/inflate_decoder.h"

#include <array>
#include <zlib.h>

namespace orbita {
namespace {

constexpr std::size_t kInputBlock = 2048;
constexpr std::size_t kOutputChunk = 32768;

// Ends the zlib state on every way out.
class InflateStream {
public:
    InflateStream() { m_ok = inflateInit2(&m_stream, -15) == Z_OK; }
    ~InflateStream()
    {
        if (m_ok)
            inflateEnd(&m_stream);
    }
    InflateStream(const InflateStream&) = delete;
    InflateStream& operator=(const InflateStream&) = delete;

    bool Ok() const { return m_ok; }
    z_stream& Get() { return m_stream; }

private:
    z_stream m_stream{};
    bool m_ok = false;
};

} // namespace

InflateResult Inflate(DecoderInput& in, DecoderOutput& out)
{
    InflateStream stream;
    if (!stream.Ok())
        return {DecodeStatus::NoMemory, 0};
    z_stream& z = stream.Get();
    std::array<std::uint8_t, kInputBlock> input{};
    std::array<std::uint8_t, kOutputChunk> output{};
    // Every turn either consumes input, produces output, or takes a new input
    // block; the input is finite and the output refuses more than announced,
    // so the loop always ends.
    for (;;) {
        if (z.avail_in == 0) {
            const std::size_t got = in.Read(input.data(), input.size());
            if (got == 0)
                return {DecodeStatus::Truncated, z.total_in};
            z.next_in = input.data();
            z.avail_in = static_cast<uInt>(got);
        }
        z.next_out = output.data();
        z.avail_out = static_cast<uInt>(output.size());
        const int rc = inflate(&z, Z_NO_FLUSH);
        const std::size_t produced = output.size() - z.avail_out;
        if (produced > 0 && !out.Write(output.data(), produced))
            return {DecodeStatus::Stopped, z.total_in};
        switch (rc) {
        case Z_STREAM_END:
            return {DecodeStatus::Done, z.total_in};
        case Z_OK:
            break;
        case Z_BUF_ERROR: // no progress possible without more input
            if (z.avail_in != 0 && produced == 0)
                return {DecodeStatus::Malformed, z.total_in};
            break;
        case Z_MEM_ERROR:
            return {DecodeStatus::NoMemory, z.total_in};
        default: // Z_DATA_ERROR (bad block type, bad codes, distance too far), Z_NEED_DICT
            return {DecodeStatus::Malformed, z.total_in};
        }
    }
}

} // namespace orbita
