#include "data/inflate_decoder.h"

#include <algorithm>
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
    z_stream m_stream {};
    bool m_ok = false;
};

} // namespace

namespace {

// The one inflate loop. `direct` is null for plain outputs, `lending` for
// inputs that copy their bytes out.
InflateResult InflateInto(DecoderInput& in, DecoderOutput& out, DirectOutput* direct, LendingInput* lending)
{
    InflateStream stream;
    if (!stream.Ok())
        return { DecodeStatus::NoMemory, 0 };
    z_stream& z = stream.Get();
    // Both buffers are written before they are read.
    std::array<std::uint8_t, kInputBlock> input;
    std::array<std::uint8_t, kOutputChunk> output;
    // Output in the local chunk is handed over in whole chunks (and the rest
    // at the end), so that it needs no staging on its way to the receiver.
    std::size_t pending = 0;
    auto handOver = [&]() {
        const bool taken = pending == 0 || out.Write(output.data(), pending);
        pending = 0;
        return taken;
    };
    // Every turn either consumes input, produces output, or takes a new input
    // block; the input is finite and the output refuses more than announced,
    // so the loop always ends.
    for (;;) {
        std::size_t lent = 0;
        if (lending != nullptr) {
            const std::uint8_t* bytes = lending->Lend(lent);
            if (lent == 0) {
                handOver();
                return { DecodeStatus::Truncated, z.total_in };
            }
            z.next_in = const_cast<std::uint8_t*>(bytes); // zlib only reads through next_in
            z.avail_in = static_cast<uInt>(std::min<std::size_t>(lent, 1u << 30));
            lent = z.avail_in;
        } else if (z.avail_in == 0) {
            const std::size_t got = in.Read(input.data(), input.size());
            if (got == 0) {
                handOver();
                return { DecodeStatus::Truncated, z.total_in };
            }
            z.next_in = input.data();
            z.avail_in = static_cast<uInt>(got);
        }
        std::size_t room = 0;
        std::uint8_t* target = (direct != nullptr && pending == 0) ? direct->Room(room) : nullptr;
        const bool straight = target != nullptr && room > 0;
        if (straight) {
            z.next_out = target;
            z.avail_out = static_cast<uInt>(std::min<std::size_t>(room, 1u << 30));
        } else {
            z.next_out = output.data() + pending;
            z.avail_out = static_cast<uInt>(output.size() - pending);
        }
        const uInt before = z.avail_out;
        const uInt inputBefore = z.avail_in;
        // Z_FINISH lets zlib skip its sliding window when the stream ends
        // within this call; otherwise it goes on as with Z_NO_FLUSH, only
        // reporting Z_BUF_ERROR for a stream that has not ended yet.
        const int rc = inflate(&z, Z_FINISH);
        const std::size_t produced = before - z.avail_out;
        const std::size_t consumed = inputBefore - z.avail_in;
        if (lending != nullptr) {
            lending->GiveBack(lent - z.avail_in);
            z.avail_in = 0;
        }
        if (straight) {
            if (produced > 0 && !direct->Commit(produced))
                return { DecodeStatus::Stopped, z.total_in };
        } else {
            pending += produced;
            if ((pending == output.size() || rc == Z_STREAM_END) && !handOver())
                return { DecodeStatus::Stopped, z.total_in };
        }
        switch (rc) {
        case Z_STREAM_END:
            return { DecodeStatus::Done, z.total_in };
        case Z_OK:
            break;
        case Z_BUF_ERROR: // not ended yet; malformed when input was there and nothing moved
            if (inputBefore != 0 && consumed == 0 && produced == 0)
                return { DecodeStatus::Malformed, z.total_in };
            break;
        case Z_MEM_ERROR:
            return { DecodeStatus::NoMemory, z.total_in };
        default: // Z_DATA_ERROR (bad block type, bad codes, distance too far), Z_NEED_DICT
            return { DecodeStatus::Malformed, z.total_in };
        }
    }
}

} // namespace

InflateResult Inflate(DecoderInput& in, DecoderOutput& out)
{
    return InflateInto(in, out, nullptr, nullptr);
}

InflateResult Inflate(DecoderInput& in, DirectOutput& out)
{
    return InflateInto(in, out, &out, nullptr);
}

InflateResult Inflate(LendingInput& in, DirectOutput& out)
{
    return InflateInto(in, out, &out, &in);
}

} // namespace orbita
