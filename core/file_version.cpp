#include "core/file_version.h"

#include "core/file_io.h"
#include "core/text_helpers.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <unistd.h>

namespace orbita {
namespace {

constexpr std::string_view kMarker = "ORBITA-FILEVERSION:";
constexpr std::size_t kChunkSize = std::size_t { 64 } * 1024;
// The marker lies in the read-only data near the start of the executable;
// nothing beyond this prefix is read.
constexpr std::size_t kMaxScanned = std::size_t { 64 } * 1024 * 1024;
constexpr std::size_t kMaxDigits = 5;
constexpr unsigned kMaxPart = 65535;

enum class Parse { Found, NoMatch, NeedMore };

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Reads "a.b.c.d" at the start of `tail`. NeedMore when the text ends before
// the version is complete (or before the byte that ends it) and more may follow.
Parse parseVersion(std::string_view tail, bool atEnd, std::string& version)
{
    std::string text;
    std::size_t pos = 0;
    for (int part = 0; part < 4; ++part) {
        const std::size_t start = pos;
        unsigned value = 0;
        while (pos < tail.size() && isDigit(tail[pos])) {
            if (pos - start == kMaxDigits)
                return Parse::NoMatch;
            value = value * 10 + static_cast<unsigned>(tail[pos] - '0');
            ++pos;
        }
        if (pos == tail.size() && !atEnd)
            return Parse::NeedMore;
        if (pos == start || value > kMaxPart)
            return Parse::NoMatch;
        text += std::to_string(value);
        if (part < 3) {
            if (pos == tail.size() || tail[pos] != '.')
                return Parse::NoMatch;
            text += '.';
            ++pos;
        }
    }
    version = std::move(text);
    return Parse::Found;
}

// Searches the bytes fed to it chunk by chunk; a marker may straddle chunks.
class MarkerScanner final {
public:
    std::optional<std::string> feed(std::string_view chunk, bool atEnd)
    {
        m_pending.append(chunk);
        std::size_t from = 0;
        std::size_t keepFrom = 0;
        while (true) {
            const std::size_t hit = m_pending.find(kMarker, from);
            if (hit == std::string::npos) {
                keepFrom
                    = m_pending.size() > kMarker.size() - 1 ? m_pending.size() - (kMarker.size() - 1) : 0;
                break;
            }
            std::string version;
            const Parse result
                = parseVersion(std::string_view(m_pending).substr(hit + kMarker.size()), atEnd, version);
            if (result == Parse::Found)
                return version;
            if (result == Parse::NeedMore) {
                keepFrom = hit;
                break;
            }
            from = hit + 1;
        }
        m_pending.erase(0, keepFrom);
        return std::nullopt;
    }

private:
    std::string m_pending;
};

} // namespace

std::string FindFileVersion(std::string_view bytes)
{
    MarkerScanner scanner;
    return scanner.feed(bytes, true).value_or(std::string());
}

FileVersionResult ReadFileVersion(const std::string& path)
{
    FileVersionResult result;
    if (path.empty()) {
        result.problem = "no file named";
        return result;
    }
    FileProblem problem = FileProblem::None;
    const int fd = OpenRegularFile(NativePath(path), problem);
    if (fd < 0) {
        result.problem = FileProblemText(problem);
        return result;
    }
    MarkerScanner scanner;
    std::string chunk(kChunkSize, '\0');
    std::size_t total = 0;
    while (true) {
        const ssize_t n = ::read(fd, chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            result.problem = std::string(FileProblemText(FileProblem::ReadFailed));
            break;
        }
        total += static_cast<std::size_t>(n);
        const bool atEnd = n == 0 || total >= kMaxScanned;
        if (auto version = scanner.feed(std::string_view(chunk.data(), static_cast<std::size_t>(n)), atEnd)) {
            result.readable = true;
            result.version = std::move(*version);
            break;
        }
        if (atEnd) {
            result.readable = true;
            break;
        }
    }
    ::close(fd);
    return result;
}

std::string FileVersionText(const std::string& executablePath)
{
    auto result = ReadFileVersion(executablePath);
    return result.readable && !result.version.empty() ? std::move(result.version) : std::string("\u2014");
}

} // namespace orbita
