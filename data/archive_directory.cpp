#include "data/archive_directory.h"

#include "core/cp1250.h"
#include "data/archive_file.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>

namespace orbita {
namespace {

constexpr std::size_t kSearchBlock = 4096;
constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kCentralRecordSize = 46;
constexpr std::size_t kDirectoryWindow = 64000;
constexpr std::size_t kMaxNameLength = 259;

bool HasSignature(const std::uint8_t* p, std::uint8_t third, std::uint8_t fourth)
{
    return p[0] == 'P' && p[1] == 'K' && p[2] == third && p[3] == fourth;
}

struct EndRecord {
    std::uint64_t position = 0; // where "PK" 05 06 starts in the file
    std::uint32_t directoryOffset = 0; // offset 16 of the record
};

// Backward search over 4096-byte blocks that overlap by 22 bytes; the hit
// nearest the end of the file wins.
ListStatus FindEndRecord(const ArchiveFile& file, EndRecord& record)
{
    const std::uint64_t fileSize = file.Size();
    if (fileSize == 0)
        return ListStatus::Unreadable;
    std::array<std::uint8_t, kSearchBlock> block {};
    const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(kSearchBlock, fileSize));
    std::uint64_t start = fileSize - length;
    for (;;) {
        if (!file.ReadExactAt(start, block.data(), length))
            return ListStatus::Unreadable;
        if (length >= kEndRecordSize) {
            for (std::size_t i = length - kEndRecordSize + 1; i-- > 0;) {
                if (HasSignature(block.data() + i, 5, 6)) {
                    record.position = start + i;
                    record.directoryOffset = ReadLe32(block.data() + i + 16);
                    if (record.position < kCentralRecordSize)
                        return ListStatus::EndRecordTooEarly;
                    return ListStatus::Ok;
                }
            }
        }
        if (start == 0)
            return ListStatus::Unreadable;
        start -= std::min<std::uint64_t>(start, kSearchBlock - kEndRecordSize);
    }
}

// The central directory, from its first record up to and including the
// signature of the end record. Under 64000 bytes it is read whole and the
// file is closed; above, a 64000-byte window slides over it.
class DirectoryReader {
public:
    DirectoryReader(ArchiveFile& file, std::uint64_t start, std::uint64_t length)
        : m_file(file)
        , m_start(start)
        , m_length(length)
    {
    }

    bool Load()
    {
        m_windowSize = static_cast<std::size_t>(std::min<std::uint64_t>(m_length, kDirectoryWindow));
        // Every byte of the window is read from the file before it is used.
        m_window.reset(new std::uint8_t[m_windowSize]);
        if (!Fill(0))
            return false;
        if (m_length < kDirectoryWindow)
            m_file.Close();
        return true;
    }

    std::uint64_t Length() const { return m_length; }

    // Gives `size` bytes of the directory starting at `position`, refilling
    // the window when they are not all in it; nullptr when they do not fit
    // the window or cannot be read. `size` never exceeds the window.
    const std::uint8_t* Bytes(std::uint64_t position, std::size_t size)
    {
        if (size > m_windowSize || position + size > m_length)
            return nullptr;
        if (position < m_windowStart || position + size > m_windowStart + m_filled) {
            if (!Fill(position))
                return nullptr;
        }
        return m_window.get() + (position - m_windowStart);
    }

private:
    bool Fill(std::uint64_t position)
    {
        const std::size_t want
            = static_cast<std::size_t>(std::min<std::uint64_t>(m_windowSize, m_length - position));
        m_windowStart = position;
        m_filled = 0;
        if (!m_file.ReadExactAt(m_start + position, m_window.get(), want))
            return false;
        m_filled = want;
        return true;
    }

    ArchiveFile& m_file;
    std::uint64_t m_start;
    std::uint64_t m_length;
    std::unique_ptr<std::uint8_t[]> m_window;
    std::size_t m_windowSize = 0;
    std::uint64_t m_windowStart = 0;
    std::size_t m_filled = 0;
};

// One central-directory record seen in place.
struct RecordView {
    const std::uint8_t* fixed; // the 46-byte fixed part
    const std::uint8_t* name; // the name, already cut to at most 259 bytes
    std::size_t nameLength;
};

ArchiveEntry MakeEntry(const RecordView& record)
{
    const std::uint8_t* p = record.fixed;
    ArchiveEntry entry;
    entry.name.assign(reinterpret_cast<const char*>(record.name), record.nameLength);
    std::replace(entry.name.begin(), entry.name.end(), '/', '\\');
    entry.flags = ReadLe16(p + 8);
    entry.method = ReadLe16(p + 10);
    entry.dateTime = ReadLe32(p + 12);
    entry.crc = ReadLe32(p + 16);
    entry.compressedSize = ReadLe32(p + 20);
    entry.size = ReadLe32(p + 24);
    entry.attribute = p[5] == 0 ? p[38] : 0;
    entry.headerOffset = ReadLe32(p + 42);
    return entry;
}

// Walks the directory; `visit(record)` gives false to stop. Gives NoEntries
// when not even the first record is a readable central-directory record.
template <typename Visit> ListStatus WalkDirectory(const std::string& archivePath, Visit&& visit)
{
    ArchiveFile file(archivePath);
    if (!file.IsOpen())
        return ListStatus::Unreadable;
    EndRecord end;
    if (const ListStatus status = FindEndRecord(file, end); status != ListStatus::Ok)
        return status;
    // A directory that would start behind its own end record cannot be read.
    if (end.directoryOffset > end.position)
        return ListStatus::Unreadable;
    DirectoryReader directory(file, end.directoryOffset, end.position - end.directoryOffset + 4);
    if (!directory.Load())
        return ListStatus::Unreadable;

    std::uint64_t position = 0;
    bool first = true;
    for (;;) {
        if (position > directory.Length() || directory.Length() - position < 4)
            break;
        const std::uint64_t available = directory.Length() - position;
        const std::uint8_t* signature = directory.Bytes(position, 4);
        if (signature == nullptr || !HasSignature(signature, 1, 2))
            break; // the end record ("PK" 05 06) or anything that is not a record
        if (available < kCentralRecordSize)
            break;
        const std::uint8_t* fixed = directory.Bytes(position, kCentralRecordSize);
        if (fixed == nullptr)
            break;
        const std::size_t nameLength = ReadLe16(fixed + 28);
        const std::size_t extraLength = ReadLe16(fixed + 30);
        const std::size_t commentLength = ReadLe16(fixed + 32);
        if (kCentralRecordSize + nameLength + extraLength > available)
            break;
        const std::size_t keptName = std::min(nameLength, kMaxNameLength);
        const std::uint8_t* head = directory.Bytes(position, kCentralRecordSize + keptName);
        if (head == nullptr)
            break;
        first = false;
        if (!visit(RecordView { head, head + kCentralRecordSize, keptName }))
            return ListStatus::Ok;
        position += kCentralRecordSize + nameLength + extraLength + commentLength;
    }
    return first ? ListStatus::NoEntries : ListStatus::Ok;
}

// Windows-1250 lower case of every byte, with "/" read as "\" (the reader
// keeps names with backslashes).
struct NameFolding {
    std::array<unsigned char, 256> table {};
    NameFolding()
    {
        for (int i = 0; i < 256; ++i)
            table[static_cast<std::size_t>(i)] = Cp1250Lower(static_cast<unsigned char>(i));
    }
};

const NameFolding& Folding()
{
    static const NameFolding folding;
    return folding;
}

} // namespace

ArchiveListing ListArchive(const std::string& archivePath)
{
    ArchiveListing listing;
    try {
        listing.status = WalkDirectory(archivePath, [&](const RecordView& record) {
            listing.entries.push_back(MakeEntry(record));
            return true;
        });
    } catch (const std::bad_alloc&) {
        listing.entries.clear();
        listing.status = ListStatus::Unreadable;
    }
    if (listing.status != ListStatus::Ok)
        listing.entries.clear();
    return listing;
}

bool FindArchiveEntry(const std::string& archivePath, std::string_view memberName, ArchiveEntry& found)
{
    const auto& fold = Folding().table;
    const std::string wanted = Cp1250LowerText(memberName);
    bool matched = false;
    try {
        WalkDirectory(archivePath, [&](const RecordView& record) {
            if (record.nameLength != wanted.size())
                return true;
            for (std::size_t i = 0; i < wanted.size(); ++i) {
                unsigned char stored = record.name[i];
                if (stored == '/')
                    stored = '\\';
                if (stored != static_cast<unsigned char>(wanted[i])
                    && fold[stored] != static_cast<unsigned char>(wanted[i]))
                    return true;
            }
            found = MakeEntry(record);
            matched = true;
            return false;
        });
    } catch (const std::bad_alloc&) {
        return false;
    }
    return matched;
}

} // namespace orbita
