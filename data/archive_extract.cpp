#include "data/archive_extract.h"

#include "core/message_pump.h"
#include "data/archive_file.h"
#include "data/decoder.h"
#include "data/inflate_decoder.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <memory>
#include <new>
#include <vector>
#include <zlib.h>

namespace orbita {
namespace {

constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::size_t kOutputWindow = 32768;
constexpr std::size_t kInputBlock = 2048;
constexpr std::size_t kStoredBlock = 32768;
constexpr std::size_t kReadAhead = 65536;
// Sizes given to a descriptor member whose local header has none, so that
// the input is read until the compressed stream ends.
constexpr std::uint32_t kStreamingSize = 0x7FFFFF9B;
// Deflate cannot expand one compressed byte into more than 1032 bytes.
constexpr std::uint64_t kMaxDeflateRatio = 1032;
constexpr std::int64_t kAbandonAfterMs = 30000;

constexpr std::uint16_t kFlagEncrypted = 0x0001;
constexpr std::uint16_t kFlagWindow8k = 0x0002;
constexpr std::uint16_t kFlagLiteralTree = 0x0004;
constexpr std::uint16_t kFlagDescriptor = 0x0008;

std::atomic<ExtractClock> g_clock { nullptr };
// The in-progress marker and the time (ms) of its last message dispatch.
std::atomic<bool> g_inProgress { false };
std::atomic<std::int64_t> g_lastDispatchMs { 0 };

std::int64_t NowMs()
{
    if (const ExtractClock clock = g_clock.load())
        return clock().count();
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void DispatchMessages()
{
    g_lastDispatchMs.store(NowMs());
    PumpMessages();
}

// Holds the in-progress marker for one extraction. A marker left by an
// extraction that has not dispatched messages for 30 s counts as abandoned.
class ExtractionGuard {
public:
    ExtractionGuard()
    {
        if (g_inProgress.exchange(true) && NowMs() - g_lastDispatchMs.load() <= kAbandonAfterMs)
            return; // the marker stays with its owner
        m_owner = true;
        g_lastDispatchMs.store(NowMs());
    }
    ~ExtractionGuard()
    {
        if (m_owner)
            g_inProgress.store(false);
    }
    ExtractionGuard(const ExtractionGuard&) = delete;
    ExtractionGuard& operator=(const ExtractionGuard&) = delete;

    bool Acquired() const { return m_owner; }

private:
    bool m_owner = false;
};

// The local file header (signature "PK" 03 04, fixed part 30 bytes,
// little-endian). Its fields, not the directory's, drive the decoding.
struct LocalHeader {
    std::uint16_t flags = 0; // offset 6: bit 0 encrypted, bits 1-2 implode options, bit 3 descriptor
    std::uint16_t method = 0; // offset 8: compression method
    std::uint32_t dateTime = 0; // offset 10: MS-DOS time (low word) and date
    std::uint32_t crc = 0; // offset 14: CRC-32 of the plain bytes
    std::uint32_t compressedSize = 0; // offset 18
    std::uint32_t size = 0; // offset 22: uncompressed size
    std::uint16_t nameLength = 0; // offset 26
    std::uint16_t extraLength = 0; // offset 28
};

bool ReadLocalHeader(const ArchiveFile& file, std::uint32_t offset, LocalHeader& header)
{
    std::array<std::uint8_t, kLocalHeaderSize> raw {};
    if (!file.ReadExactAt(offset, raw.data(), raw.size()))
        return false;
    if (raw[0] != 'P' || raw[1] != 'K' || raw[2] != 3 || raw[3] != 4)
        return false;
    header.flags = ReadLe16(&raw[6]);
    header.method = ReadLe16(&raw[8]);
    header.dateTime = ReadLe32(&raw[10]);
    header.crc = ReadLe32(&raw[14]);
    header.compressedSize = ReadLe32(&raw[18]);
    header.size = ReadLe32(&raw[22]);
    header.nameLength = ReadLe16(&raw[26]);
    header.extraLength = ReadLe16(&raw[28]);
    return true;
}

bool IsSupportedMethod(std::uint16_t method)
{
    return method <= 6 || method == 8;
}

// What the decoding works with once the headers are read.
struct MemberPlan {
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint64_t dataStart = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t size = 0;
    std::uint32_t expectedCrc = 0;
    bool sizeKnown = true; // false for a descriptor member read until its stream ends
    bool crcFromDescriptor = false;
};

// Reads the local header and settles sizes and CRC; gives Ok or the status
// that ends the extraction.
ExtractStatus PlanMember(
    const ArchiveFile& file, std::uint32_t headerOffset, const ArchiveEntry* entry, MemberPlan& plan)
{
    LocalHeader header;
    if (!ReadLocalHeader(file, headerOffset, header))
        return ExtractStatus::BadMember;
    plan.flags = header.flags;
    plan.method = header.method;
    plan.compressedSize = header.compressedSize;
    plan.size = header.size;
    plan.expectedCrc = header.crc;
    const bool descriptor = (header.flags & kFlagDescriptor) != 0;
    plan.crcFromDescriptor = descriptor;

    if (!IsSupportedMethod(header.method))
        return ExtractStatus::UnsupportedMethod;
    if ((header.flags & kFlagEncrypted) != 0)
        return ExtractStatus::Encrypted;

    if (entry != nullptr) {
        if (entry->method != header.method)
            return ExtractStatus::BadMember;
        if (descriptor && header.compressedSize == 0) {
            // A streaming packer wrote the member: the directory has the sizes.
            plan.compressedSize = entry->compressedSize;
            plan.size = entry->size;
            plan.expectedCrc = entry->crc;
        } else if (header.compressedSize != entry->compressedSize || header.size != entry->size
            || (!descriptor && header.crc != entry->crc)) {
            return ExtractStatus::BadMember;
        } else if (descriptor) {
            plan.expectedCrc = entry->crc;
        }
    } else if (descriptor && header.method != 0 && header.compressedSize == 0) {
        plan.compressedSize = kStreamingSize;
        plan.size = kStreamingSize;
        plan.expectedCrc = 0;
        plan.sizeKnown = false;
    }

    plan.dataStart
        = std::uint64_t { headerOffset } + kLocalHeaderSize + header.nameLength + header.extraLength;
    if (plan.dataStart > file.Size())
        return ExtractStatus::ReadFailed;
    if (plan.sizeKnown) {
        if (plan.compressedSize > file.Size() - plan.dataStart)
            return ExtractStatus::ReadFailed; // the data would run past the end of the archive
        if (plan.method == 0 && plan.compressedSize != plan.size)
            return ExtractStatus::BadMember;
        if (plan.method == 8 && plan.size > kMaxDeflateRatio * (plan.compressedSize + 1))
            return ExtractStatus::BadMember;
    }
    return ExtractStatus::Ok;
}

// Hands out the member's compressed bytes in blocks, never more than `limit`
// bytes in all, and pumps window messages after every block. Lent bytes (the
// inflater's way) count as blocks of the same size as they are used.
class MemberInput final : public LendingInput {
public:
    MemberInput(const ArchiveFile& file, std::uint64_t start, std::uint64_t limit, std::size_t block)
        : m_file(file)
        , m_position(start)
        , m_limit(limit)
        , m_block(block)
        , m_aheadSize(static_cast<std::size_t>(std::min<std::uint64_t>(kReadAhead, limit)))
        , m_ahead(new std::uint8_t[m_aheadSize > 0 ? m_aheadSize : 1])
    {
    }

    std::size_t Read(std::uint8_t* buffer, std::size_t capacity) override
    {
        std::size_t want
            = static_cast<std::size_t>(std::min<std::uint64_t>({ capacity, m_block, m_limit - m_handed }));
        std::size_t done = 0;
        while (done < want) {
            if (m_aheadPos == m_aheadEnd && !Refill())
                break;
            const std::size_t take = std::min(want - done, m_aheadEnd - m_aheadPos);
            std::memcpy(buffer + done, m_ahead.get() + m_aheadPos, take);
            m_aheadPos += take;
            done += take;
        }
        m_handed += done;
        if (done > 0)
            DispatchMessages();
        return done;
    }

    const std::uint8_t* Lend(std::size_t& size) override
    {
        size = 0;
        if (m_handed == m_limit || (m_aheadPos == m_aheadEnd && !Refill()))
            return nullptr;
        size = static_cast<std::size_t>(std::min<std::uint64_t>(m_aheadEnd - m_aheadPos, m_limit - m_handed));
        return m_ahead.get() + m_aheadPos;
    }

    void GiveBack(std::size_t consumed) override
    {
        const std::uint64_t blocksBefore = (m_handed + m_block - 1) / m_block;
        m_aheadPos += consumed;
        m_handed += consumed;
        for (std::uint64_t block = blocksBefore; block < (m_handed + m_block - 1) / m_block; ++block)
            DispatchMessages();
    }

private:
    // Reads ahead from the file; the bytes are handed out in blocks.
    bool Refill()
    {
        const std::uint64_t left = m_limit - m_handed;
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(m_aheadSize, left));
        m_aheadPos = 0;
        m_aheadEnd = m_file.ReadAt(m_position, m_ahead.get(), want);
        m_position += m_aheadEnd;
        return m_aheadEnd > 0;
    }

    const ArchiveFile& m_file;
    std::uint64_t m_position;
    std::uint64_t m_limit;
    std::size_t m_block;
    std::size_t m_aheadSize;
    std::unique_ptr<std::uint8_t[]> m_ahead; // read-ahead, filled before use
    std::size_t m_aheadPos = 0;
    std::size_t m_aheadEnd = 0;
    std::uint64_t m_handed = 0;
};

// The output path: a 32768-byte window that is flushed through the CRC-32
// into the caller's buffer whenever it is full and once at the end.
// Deflate output may also be written straight into the caller's buffer: the
// bytes then take the same way (CRC, capacity, announced size) without the
// copy through the window.
class MemberOutput final : public DirectOutput {
public:
    MemberOutput(std::uint8_t* buffer, std::size_t capacity, std::uint64_t limit)
        : m_buffer(buffer)
        , m_capacity(capacity)
        , m_limit(limit)
    {
    }

    bool Write(const std::uint8_t* data, std::size_t size) override
    {
        if (m_full || m_overflow)
            return false;
        if (size > m_limit - m_produced) {
            m_overflow = true; // more output than the header announced
            return false;
        }
        m_produced += size;
        while (size > 0) {
            if (m_fill == 0 && size >= kOutputWindow) {
                // A whole window's worth: flush it from where it is.
                Deliver(data, kOutputWindow);
                data += kOutputWindow;
                size -= kOutputWindow;
            } else {
                if (!m_window)
                    m_window.reset(new std::uint8_t[kOutputWindow]); // only the filled part is ever read
                const std::size_t take = std::min(size, kOutputWindow - m_fill);
                std::memcpy(m_window.get() + m_fill, data, take);
                m_fill += take;
                data += take;
                size -= take;
                if (m_fill == kOutputWindow)
                    Flush();
            }
            if (m_full)
                return false;
        }
        return true;
    }

    std::uint8_t* Room(std::size_t& size) override
    {
        size = 0;
        if (m_fill > 0 || m_full || m_overflow)
            return nullptr;
        size = static_cast<std::size_t>(
            std::min<std::uint64_t>(m_capacity - m_delivered, m_limit - m_produced));
        return m_buffer + m_delivered;
    }

    bool Commit(std::size_t size) override
    {
        m_produced += size;
        m_crc = static_cast<std::uint32_t>(crc32(m_crc, m_buffer + m_delivered, static_cast<uInt>(size)));
        m_delivered += size;
        return true;
    }

    void Finish() { Flush(); }

    bool Full() const { return m_full; }
    bool Overflow() const { return m_overflow; }
    std::uint64_t Produced() const { return m_produced; }
    std::size_t Delivered() const { return m_delivered; }
    std::uint32_t Crc() const { return m_crc; }

private:
    void Flush()
    {
        if (m_fill > 0)
            Deliver(m_window.get(), m_fill);
        m_fill = 0;
    }

    void Deliver(const std::uint8_t* data, std::size_t size)
    {
        m_crc = static_cast<std::uint32_t>(crc32(m_crc, data, static_cast<uInt>(size)));
        const std::size_t room = m_capacity - m_delivered;
        const std::size_t copy = std::min(room, size);
        if (copy > 0)
            std::memcpy(m_buffer + m_delivered, data, copy);
        m_delivered += copy;
        if (copy < size)
            m_full = true; // the first flush that does not fit stops the decoding
    }

    // The output window, allocated when a run has to wait in it: runs of a
    // whole window's size are flushed from where the decoder produced them.
    std::unique_ptr<std::uint8_t[]> m_window;
    std::size_t m_fill = 0;
    std::uint8_t* m_buffer;
    std::size_t m_capacity;
    std::size_t m_delivered = 0;
    std::uint64_t m_limit;
    std::uint64_t m_produced = 0;
    std::uint32_t m_crc = 0;
    bool m_full = false;
    bool m_overflow = false;
};

// Method 0: copies the data in blocks of at most 32768 bytes.
DecodeStatus CopyStored(DecoderInput& in, DecoderOutput& out, std::uint64_t size)
{
    const std::unique_ptr<std::uint8_t[]> block(new std::uint8_t[kStoredBlock]);
    while (size > 0) {
        const std::size_t got = in.Read(block.get(), kStoredBlock);
        if (got == 0)
            return DecodeStatus::Truncated;
        if (!out.Write(block.get(), got))
            return DecodeStatus::Stopped;
        size -= got;
    }
    return DecodeStatus::Done;
}

struct DecodeOutcome {
    DecodeStatus status = DecodeStatus::Malformed;
    std::uint64_t consumed = 0; // compressed bytes of the stream, where the method knows them
};

DecodeOutcome DecodeMember(const ArchiveFile& file, const MemberPlan& plan, MemberOutput& out)
{
    const std::uint64_t available = file.Size() - plan.dataStart;
    if (plan.method == 0) {
        MemberInput in(file, plan.dataStart, std::min(plan.compressedSize, available), kStoredBlock);
        return { CopyStored(in, out, plan.compressedSize), plan.compressedSize };
    }
    MemberInput in(file, plan.dataStart, std::min(plan.compressedSize + 2, available), kInputBlock);
    switch (plan.method) {
    case 8: {
        const InflateResult result = Inflate(in, out);
        return { result.status, result.consumed };
    }
    case 1:
        return { Unshrink(in, out, plan.size), plan.compressedSize };
    case 2:
    case 3:
    case 4:
    case 5:
        return { Unreduce(in, out, plan.method - 1, plan.size), plan.compressedSize };
    case 6:
        return { Explode(in, out, (plan.flags & kFlagWindow8k) != 0, (plan.flags & kFlagLiteralTree) != 0,
                     plan.size),
            plan.compressedSize };
    default:
        return { DecodeStatus::Malformed, 0 };
    }
}

// The CRC of the data descriptor after the data: with the optional
// signature "PK" 07 08 the CRC follows it, without it the CRC comes first.
bool ReadDescriptorCrc(const ArchiveFile& file, std::uint64_t position, std::uint32_t& crc)
{
    std::array<std::uint8_t, 8> raw {};
    const std::size_t got = file.ReadAt(position, raw.data(), raw.size());
    if (got >= 8 && raw[0] == 'P' && raw[1] == 'K' && raw[2] == 7 && raw[3] == 8) {
        crc = ReadLe32(&raw[4]);
        return true;
    }
    if (got < 4)
        return false;
    crc = ReadLe32(raw.data());
    return true;
}

ExtractResult Extract(const ArchiveFile& file, std::uint32_t headerOffset, std::uint8_t* buffer,
    std::size_t capacity, const ArchiveEntry* entry)
{
    if (!file.IsOpen())
        return { ExtractStatus::ReadFailed, 0 };
    MemberPlan plan;
    if (const ExtractStatus status = PlanMember(file, headerOffset, entry, plan); status != ExtractStatus::Ok)
        return { status, 0 };
    if (buffer == nullptr || capacity == 0) {
        // Sizing pass: nothing can be placed, so the header answers without
        // decoding; the filling pass decodes and checks everything.
        return { ExtractStatus::Ok, plan.size };
    }

    MemberOutput out(buffer, capacity, plan.sizeKnown ? plan.size : kStreamingSize);
    const DecodeOutcome outcome = DecodeMember(file, plan, out);
    auto delivered = [&]() -> std::uint64_t { return out.Delivered() > 0 ? out.Delivered() : plan.size; };
    switch (outcome.status) {
    case DecodeStatus::Done:
        break;
    case DecodeStatus::Stopped:
        if (out.Overflow())
            return { ExtractStatus::BadMember, delivered() };
        return { ExtractStatus::Ok, delivered() }; // the buffer is full
    case DecodeStatus::Truncated:
    case DecodeStatus::NoMemory:
        return { ExtractStatus::ReadFailed, delivered() };
    case DecodeStatus::Malformed:
        return { ExtractStatus::BadMember, delivered() };
    }
    out.Finish();
    if (out.Full())
        return { ExtractStatus::Ok, delivered() };
    if (plan.sizeKnown && out.Produced() != plan.size)
        return { ExtractStatus::BadMember, delivered() }; // the stream ended short of the announced size

    std::uint32_t expected = plan.expectedCrc;
    if ((plan.flags & kFlagDescriptor) != 0) {
        std::uint32_t descriptorCrc = 0;
        if (!ReadDescriptorCrc(file, plan.dataStart + outcome.consumed, descriptorCrc))
            return { ExtractStatus::ReadFailed, delivered() };
        if (entry == nullptr)
            expected = descriptorCrc;
        else if (descriptorCrc != out.Crc())
            return { ExtractStatus::CrcMismatch, delivered() };
    }
    if (out.Crc() != expected)
        return { ExtractStatus::CrcMismatch, delivered() };
    return { ExtractStatus::Ok, delivered() };
}

} // namespace

ExtractResult ExtractToMemory(const std::string& archivePath, std::uint32_t headerOffset,
    std::uint8_t* buffer, std::size_t capacity, const ArchiveEntry* entry)
{
    const ArchiveFile file(archivePath);
    return ExtractToMemory(file, headerOffset, buffer, capacity, entry);
}

ExtractResult ExtractToMemory(const ArchiveFile& archive, std::uint32_t headerOffset, std::uint8_t* buffer,
    std::size_t capacity, const ArchiveEntry* entry)
{
    ExtractionGuard guard;
    if (!guard.Acquired())
        return { ExtractStatus::Busy, 0 };
    try {
        return Extract(archive, headerOffset, buffer, capacity, entry);
    } catch (const std::bad_alloc&) {
        return { ExtractStatus::ReadFailed, 0 };
    }
}

void SetExtractClock(ExtractClock clock)
{
    g_clock.store(clock);
}

std::string_view ExtractStatusText(ExtractStatus status)
{
    switch (status) {
    case ExtractStatus::Ok:
        return "w porządku";
    case ExtractStatus::CrcMismatch:
        return "dane są uszkodzone (suma kontrolna CRC-32 się nie zgadza)";
    case ExtractStatus::WriteFailed:
        return "nie można zapisać rozpakowanych danych";
    case ExtractStatus::ReadFailed:
        return "nie można odczytać danych (archiwum jest ucięte albo zabrakło pamięci)";
    case ExtractStatus::BadMember:
        return "dane są uszkodzone (błędny nagłówek, strumień albo rozmiary)";
    case ExtractStatus::Aborted:
        return "rozpakowywanie przerwane";
    case ExtractStatus::UnsupportedMethod:
        return "nieobsługiwana metoda kompresji";
    case ExtractStatus::Encrypted:
        return "plik jest zaszyfrowany";
    case ExtractStatus::Busy:
        return "trwa inne rozpakowywanie";
    }
    return "nieznany stan";
}

} // namespace orbita
