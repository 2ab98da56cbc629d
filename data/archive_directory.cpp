#include "data/archive_directory.h"

#include "core/cp1250.h"
#include "data/archive_file.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>

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
    // True once a read from the file failed: the walk then ended on the
    // file, not on the directory's own end.
    bool ReadFailed() const { return m_readFailed; }

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
        if (!m_file.ReadExactAt(m_start + position, m_window.get(), want)) {
            m_readFailed = true;
            return false;
        }
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
    bool m_readFailed = false;
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

// Walks the directory of an opened archive; `visit(record)` gives false to
// stop. Gives NoEntries when not even the first record is a readable
// central-directory record. `readFailed` is set when a read from the file
// failed on the way.
template <typename Visit> ListStatus WalkDirectory(ArchiveFile& file, Visit&& visit, bool& readFailed)
{
    readFailed = false;
    EndRecord end;
    if (const ListStatus status = FindEndRecord(file, end); status != ListStatus::Ok)
        return status;
    // A directory that would start behind its own end record cannot be read.
    if (end.directoryOffset > end.position)
        return ListStatus::Unreadable;
    DirectoryReader directory(file, end.directoryOffset, end.position - end.directoryOffset + 4);
    if (!directory.Load()) {
        readFailed = true;
        return ListStatus::Unreadable;
    }

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
    readFailed = directory.ReadFailed();
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
        table['/'] = '\\';
    }
};

const NameFolding& Folding()
{
    static const NameFolding folding;
    return folding;
}

// Whether the stored name `stored` (cut, "/" not yet replaced) matches the
// lower-cased request `wanted`.
bool NameMatches(const std::uint8_t* stored, std::size_t length, std::string_view wanted)
{
    if (length != wanted.size())
        return false;
    const auto& fold = Folding().table;
    for (std::size_t i = 0; i < length; ++i) {
        if (fold[stored[i]] != static_cast<unsigned char>(wanted[i]))
            return false;
    }
    return true;
}

std::string FoldedName(std::string_view name)
{
    const auto& fold = Folding().table;
    std::string folded(name);
    for (char& c : folded)
        c = static_cast<char>(fold[static_cast<unsigned char>(c)]);
    return folded;
}

// A whole directory read once, with the first entry of every folded name.
struct Directory {
    ListStatus status = ListStatus::Unreadable;
    std::vector<ArchiveEntry> entries;
    std::unordered_map<std::string, std::size_t> firstByName;

    bool Find(const std::string& wanted, ArchiveEntry& found) const
    {
        const auto at = firstByName.find(wanted);
        if (at == firstByName.end())
            return false;
        found = entries[at->second];
        return true;
    }
};

// A file changed this recently may change again within the same tick of the
// file system's clock (or its 2-second granularity) without its times moving,
// so its directory is not kept.
constexpr std::int64_t kSettleNs = 2'000'000'000;
constexpr std::size_t kCachedArchives = 4;
// Directories with more entries than this are read anew every time, so that
// the cache stays small.
constexpr std::size_t kMaxCachedEntries = 100000;

std::atomic<DirectoryCacheClock> g_cacheClock { nullptr };

std::int64_t WallClockNs()
{
    if (const DirectoryCacheClock clock = g_cacheClock.load())
        return clock();
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The directories of the last few archives read, keyed by path and the
// identity of the file. Shared by every thread.
class DirectoryCache {
public:
    // The kept directory of `path` when the file there is still the one it
    // was read from; a stale one is dropped.
    std::shared_ptr<const Directory> Find(const std::string& path)
    {
        FileIdentity identity;
        const bool exists = StatFileIdentity(path, identity);
        const std::lock_guard lock(m_mutex);
        const auto slot = std::find_if(
            m_slots.begin(), m_slots.end(), [&](const Slot& candidate) { return candidate.path == path; });
        if (slot == m_slots.end())
            return nullptr;
        if (!exists || !(slot->identity == identity)) {
            m_slots.erase(slot);
            return nullptr;
        }
        slot->lastUse = ++m_uses;
        return slot->directory;
    }

    void Store(
        const std::string& path, const FileIdentity& identity, std::shared_ptr<const Directory> directory)
    {
        const std::lock_guard lock(m_mutex);
        auto slot = std::find_if(
            m_slots.begin(), m_slots.end(), [&](const Slot& candidate) { return candidate.path == path; });
        if (slot == m_slots.end()) {
            if (m_slots.size() < kCachedArchives) {
                slot = m_slots.emplace(m_slots.end());
            } else {
                slot = std::min_element(m_slots.begin(), m_slots.end(),
                    [](const Slot& a, const Slot& b) { return a.lastUse < b.lastUse; });
            }
        }
        *slot = Slot { path, identity, std::move(directory), ++m_uses };
    }

    void Clear()
    {
        const std::lock_guard lock(m_mutex);
        m_slots.clear();
    }

    std::size_t Count()
    {
        const std::lock_guard lock(m_mutex);
        return m_slots.size();
    }

private:
    struct Slot {
        std::string path;
        FileIdentity identity;
        std::shared_ptr<const Directory> directory;
        std::uint64_t lastUse = 0;
    };
    std::mutex m_mutex;
    std::vector<Slot> m_slots;
    std::uint64_t m_uses = 0;
};

DirectoryCache& Cache()
{
    static DirectoryCache cache;
    return cache;
}

// Whether the directory of the opened file may be kept: the file has not been
// changed within the settling time before `now`.
bool Settled(const ArchiveFile& file, std::int64_t now)
{
    const FileIdentity& identity = file.Identity();
    return std::max(identity.modifiedNs, identity.changedNs) < now - kSettleNs;
}

// Reads the whole directory of the opened file and keeps it when the file has
// settled and the walk was not cut short by a failed read.
std::shared_ptr<const Directory> ReadDirectory(
    const std::string& archivePath, ArchiveFile& file, std::int64_t now)
{
    auto directory = std::make_shared<Directory>();
    bool readFailed = false;
    directory->status = WalkDirectory(
        file,
        [&](const RecordView& record) {
            directory->entries.push_back(MakeEntry(record));
            return true;
        },
        readFailed);
    if (directory->status != ListStatus::Ok)
        directory->entries.clear();
    directory->firstByName.reserve(directory->entries.size());
    for (std::size_t i = 0; i < directory->entries.size(); ++i)
        directory->firstByName.try_emplace(FoldedName(directory->entries[i].name), i);
    if (directory->status == ListStatus::Ok && !readFailed && directory->entries.size() <= kMaxCachedEntries
        && Settled(file, now))
        Cache().Store(archivePath, file.Identity(), directory);
    return directory;
}

} // namespace

ArchiveListing ListArchive(const std::string& archivePath)
{
    ArchiveListing listing;
    try {
        std::shared_ptr<const Directory> directory = Cache().Find(archivePath);
        if (!directory) {
            const std::int64_t now = WallClockNs();
            ArchiveFile file(archivePath);
            if (!file.IsOpen()) {
                listing.fileProblem = file.Problem();
                return listing;
            }
            listing.emptyFile = file.Size() == 0;
            directory = ReadDirectory(archivePath, file, now);
        }
        listing.status = directory->status;
        listing.entries = directory->entries;
    } catch (const std::bad_alloc&) {
        listing.entries.clear();
        listing.status = ListStatus::Unreadable;
    }
    return listing;
}

std::string ListingProblemText(const ArchiveListing& listing)
{
    switch (listing.status) {
    case ListStatus::Ok:
        return {};
    case ListStatus::NoEntries:
        return "to nie jest archiwum albo jest ono uszkodzone (spis zawartości nie zawiera żadnego pliku)";
    case ListStatus::EndRecordTooEarly:
        return "archiwum jest puste albo uszkodzone (spis zawartości jest za krótki)";
    case ListStatus::Unreadable:
        break;
    }
    if (listing.fileProblem != FileProblem::None)
        return std::string(FileProblemText(listing.fileProblem));
    if (listing.emptyFile)
        return "plik jest pusty";
    return "to nie jest archiwum albo jest ono ucięte (nie można odczytać spisu zawartości)";
}

bool FindArchiveEntry(const std::string& archivePath, std::string_view memberName, ArchiveEntry& found)
{
    try {
        const std::string wanted = Cp1250LowerText(memberName);
        if (const std::shared_ptr<const Directory> directory = Cache().Find(archivePath))
            return directory->Find(wanted, found);
        // The clock is read before the file is opened, so that a change made
        // while the directory is read counts as recent.
        const std::int64_t now = WallClockNs();
        ArchiveFile file(archivePath);
        if (!file.IsOpen())
            return false;
        if (Settled(file, now))
            return ReadDirectory(archivePath, file, now)->Find(wanted, found);
        // A recently changed file: walk only up to the member.
        bool matched = false;
        bool readFailed = false;
        WalkDirectory(
            file,
            [&](const RecordView& record) {
                if (!NameMatches(record.name, record.nameLength, wanted))
                    return true;
                found = MakeEntry(record);
                matched = true;
                return false;
            },
            readFailed);
        return matched;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void ClearArchiveDirectoryCache()
{
    Cache().Clear();
}

std::size_t CachedArchiveDirectoryCount()
{
    return Cache().Count();
}

void SetDirectoryCacheClock(DirectoryCacheClock clock)
{
    g_cacheClock.store(clock);
}

} // namespace orbita
