#pragma once

#include "data/decoder.h"

#include <cstdint>

namespace orbita {

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

} // namespace orbita
