#pragma once

#include "data/archive_directory.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orbita {

class ArchiveFile;

// Outcome of decoding one member (the decoding core's status codes).
enum class ExtractStatus : int {
    Ok = 0, // decoded and the CRC matched (or the buffer filled up)
    CrcMismatch = 1, // the computed CRC differs from the expected one
    WriteFailed = 2, // output could not be written (file targets only)
    ReadFailed = 3, // archive not opened, data ended early, or no memory for the decoder
    BadMember = 4, // no valid local header, malformed data, or sizes that do not agree
    Aborted = 5, // aborted by the user (never: no abort key is offered)
    UnsupportedMethod = 6, // method other than 0-6 and 8
    Encrypted = 7, // flag bit 0 set
    Busy = -1, // another extraction is in progress
};

// What a status means, in Polish (UTF-8), e.g. "dane są uszkodzone (suma
// kontrolna CRC-32 się nie zgadza)".
std::string_view ExtractStatusText(ExtractStatus status);

struct ExtractResult {
    ExtractStatus status = ExtractStatus::ReadFailed;
    // Bytes placed in the buffer; when none was placed, the member's
    // uncompressed size as its header announces it.
    std::uint64_t delivered = 0;
};

// Decodes the member whose local header is at `headerOffset` into `buffer`,
// up to `capacity` bytes. The local header drives the decoding. The output
// passes a 32768-byte window and the CRC-32; a full buffer stops the decoding
// with status Ok and no CRC check. With capacity 0 the member is not decoded:
// the header is checked (signature, method, encryption, sizes against the
// file) and its uncompressed size is reported.
//
// `entry` is the member's central-directory entry when the caller has it. It
// supplies sizes and CRC for members whose local header leaves them to a data
// descriptor (flag bit 3, zero sizes), and the local header must agree with it
// otherwise (method, sizes, and CRC when no descriptor is announced): a
// disagreement gives BadMember. Without an entry a descriptor member with
// compressed data is read until its stream ends.
//
// More output than the announced size gives BadMember as soon as it appears;
// a stream that ends short of it gives BadMember too. Pending window messages
// are pumped after every input block. A nested call made while another
// extraction runs gives Busy, unless that one last pumped messages more than
// 30000 ms ago (then it counts as abandoned). Never throws.
ExtractResult ExtractToMemory(const std::string& archivePath, std::uint32_t headerOffset,
    std::uint8_t* buffer, std::size_t capacity, const ArchiveEntry* entry = nullptr);

// The same on an archive the caller has opened (it may be closed: that gives
// ReadFailed as an archive that cannot be opened does). The member operations
// make both passes through one opening of the archive.
ExtractResult ExtractToMemory(const ArchiveFile& archive, std::uint32_t headerOffset, std::uint8_t* buffer,
    std::size_t capacity, const ArchiveEntry* entry = nullptr);

// The clock of the in-progress marker (milliseconds, monotonic). Tests replace
// it to reach the 30-second abandonment without waiting; nullptr restores the
// steady clock.
using ExtractClock = std::chrono::milliseconds (*)();
void SetExtractClock(ExtractClock clock);

} // namespace orbita
