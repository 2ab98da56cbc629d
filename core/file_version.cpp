#include "core/file_version.h"

#include "core/text_helpers.h"

#include <fstream>
#include <optional>

namespace orbita {
namespace {

constexpr std::string_view kMarker = "ORBITA-FILEVERSION:";
constexpr std::size_t kChunkSize = std::size_t { 64 } * 1024;
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

std::string FileVersionText(const std::string& executablePath)
{
    static const std::string kDash = "\u2014";
    if (executablePath.empty())
        return kDash;
    std::ifstream file(NativePath(executablePath), std::ios::binary);
    if (!file)
        return kDash;
    MarkerScanner scanner;
    std::string chunk(kChunkSize, '\0');
    while (true) {
        file.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        const auto count = static_cast<std::size_t>(file.gcount());
        const bool atEnd = !file;
        if (auto version = scanner.feed(std::string_view(chunk.data(), count), atEnd))
            return version->empty() ? kDash : *version;
        if (atEnd)
            return kDash;
    }
}

} // namespace orbita
