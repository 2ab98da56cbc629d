#pragma once

#include <cstddef>
#include <cstdint>

namespace orbita {

// The seam between the archive reader and the per-method decoders of the
// older ZIP methods (shrink, reduce, implode). The reader owns the input
// blocks, the output window, the CRC and the caller's buffer; a decoder only
// turns compressed bytes into plain bytes.

// Compressed input, handed out by the reader in blocks.
class DecoderInput {
public:
    virtual ~DecoderInput() = default;
    // Copies up to `capacity` further compressed bytes into `buffer` and gives
    // their number; 0 means that no more input will come.
    virtual std::size_t Read(std::uint8_t* buffer, std::size_t capacity) = 0;
};

// Plain output. Decoders hand over runs of bytes (not single bytes).
class DecoderOutput {
public:
    virtual ~DecoderOutput() = default;
    // Takes `size` produced bytes. Gives false when the receiver wants no more
    // output; the decoder then stops at once with DecodeStatus::Stopped.
    virtual bool Write(const std::uint8_t* data, std::size_t size) = 0;
};

enum class DecodeStatus {
    Done, // exactly the announced number of bytes was produced
    Stopped, // the output asked to stop
    Truncated, // the input ended before the announced size was reached
    Malformed, // the compressed data is not valid for the method
    NoMemory, // a working buffer could not be allocated
};

// The older methods have no end marker: each decoder produces exactly
// `uncompressedSize` bytes unless the input ends early or is malformed. No
// decoder reads or writes out of bounds or loops without consuming input,
// whatever the input holds.

// Method 1: shrunk (dynamic LZW, 9 to 13 bit codes, partial clearing).
DecodeStatus Unshrink(DecoderInput& in, DecoderOutput& out, std::uint64_t uncompressedSize);

// Methods 2 to 5: reduced with compression factor 1 to 4 (`factor`).
DecodeStatus Unreduce(DecoderInput& in, DecoderOutput& out, int factor, std::uint64_t uncompressedSize);

// Method 6: imploded. `window8k` is general-purpose flag bit 1 (8 KB sliding
// window, else 4 KB); `literalTree` is flag bit 2 (three Shannon-Fano trees,
// else two).
DecodeStatus Explode(
    DecoderInput& in, DecoderOutput& out, bool window8k, bool literalTree, std::uint64_t uncompressedSize);

} // namespace orbita
