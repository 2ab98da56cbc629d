#pragma once

#include "data/decoder.h"

#include <cstddef>
#include <cstdint>

namespace orbita {

// An output that can also take bytes written straight into its own memory,
// which spares the inflater a copy per byte.
class DirectOutput : public DecoderOutput {
public:
    // Where the next bytes may be written and how many; 0 bytes when they
    // must go through Write (the receiver then decides whether it takes more).
    virtual std::uint8_t* Room(std::size_t& size) = 0;
    // Takes `size` bytes that were written at Room(); false as Write.
    virtual bool Commit(std::size_t size) = 0;
};

struct InflateResult {
    DecodeStatus status = DecodeStatus::Malformed;
    // Compressed bytes that belonged to the stream (its last block included);
    // meaningful when the stream ended (Done). A data descriptor starts there.
    std::uint64_t consumed = 0;
};

// Method 8: raw deflate (RFC 1951, no zlib or gzip wrapper) through zlib's
// raw inflate. Ends with Done at the end of the stream's last block; Truncated
// when the input ends first; Malformed on invalid data (a block of the
// reserved type 3 included); Stopped when the output refuses more; NoMemory
// when zlib cannot allocate its state. Checks no size: the output decides
// how much it accepts.
InflateResult Inflate(DecoderInput& in, DecoderOutput& out);

// As above; output goes straight into the receiver's memory while it has
// room, and through Write otherwise.
InflateResult Inflate(DecoderInput& in, DirectOutput& out);

} // namespace orbita
