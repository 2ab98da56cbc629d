#include "windows/update/update_lists.h"

#include "net/http_rules.h"

#include <algorithm>
#include <cctype>

namespace orbita::update {
namespace {

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return lowerAscii(x) == lowerAscii(y);
    });
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c)
{
    return isDigit(c) || (lowerAscii(c) >= 'a' && lowerAscii(c) <= 'f');
}

bool isControl(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
}

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Calls `visit` with each line of `text` (split at "\n"); stops when it gives false.
template <typename Visit> void forEachLine(std::string_view text, Visit visit)
{
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        if (!visit(line) || end == std::string_view::npos)
            return;
        text.remove_prefix(end + 1);
    }
}

std::string query(std::string_view base, std::string_view operation, std::string_view parameter)
{
    std::string address(base);
    address.append("?akcja=orbita&operacja=").append(operation).append("&parametr=").append(parameter);
    return address;
}

} // namespace

std::string_view ExtensionOf(PackageKind kind)
{
    return kind == PackageKind::Skin ? ".obs" : ".obt";
}

std::string_view FolderNameOf(PackageKind kind)
{
    return kind == PackageKind::Skin ? "KARNACJE" : "TESTY";
}

bool IsPackageName(std::string_view name)
{
    return !name.empty() && name.size() <= kMaxNameLength
        && std::all_of(name.begin(), name.end(), [](char c) {
               return isDigit(c) || (lowerAscii(c) >= 'a' && lowerAscii(c) <= 'z') || c == '_' || c == '-';
           });
}

std::optional<std::string> PackageNameOfLine(std::string_view line, PackageKind kind)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    const std::string_view extension = ExtensionOf(kind);
    if (line.size() <= extension.size()
        || !equalsNoCase(line.substr(line.size() - extension.size()), extension))
        return std::nullopt;
    const std::string_view name = line.substr(0, line.size() - extension.size());
    if (!IsPackageName(name))
        return std::nullopt;
    return std::string(name);
}

PackageList ParsePackageList(std::string_view answer, PackageKind kind)
{
    PackageList list;
    if (answer.size() > kMaxAnswerBytes) {
        list.tooLarge = true;
        return list;
    }
    forEachLine(answer, [&list, kind](std::string_view line) {
        if (line.empty() || line == "\r")
            return true;
        if (std::optional<std::string> name = PackageNameOfLine(line, kind))
            list.names.push_back(std::move(*name));
        else
            ++list.skipped;
        return true;
    });
    const auto lowered = [](const std::string& name) {
        std::string lower(name);
        std::transform(lower.begin(), lower.end(), lower.begin(), lowerAscii);
        return lower;
    };
    std::sort(list.names.begin(), list.names.end(), [&lowered](const std::string& a, const std::string& b) {
        const std::string la = lowered(a);
        const std::string lb = lowered(b);
        return la != lb ? la < lb : a < b;
    });
    list.names.erase(std::unique(list.names.begin(), list.names.end()), list.names.end());
    return list;
}

std::string PackageFileName(std::string_view name, PackageKind kind)
{
    return std::string(name).append(ExtensionOf(kind));
}

bool IsFourPartVersion(std::string_view text)
{
    int parts = 0;
    while (true) {
        std::size_t digits = 0;
        long value = 0;
        while (digits < text.size() && isDigit(text[digits])) {
            value = value * 10 + (text[digits] - '0');
            if (++digits > 5)
                return false;
        }
        if (digits == 0 || value > 65535)
            return false;
        ++parts;
        text.remove_prefix(digits);
        if (text.empty())
            return parts == 4;
        if (text.front() != '.' || parts == 4)
            return false;
        text.remove_prefix(1);
    }
}

std::optional<VersionInfo> ParseVersionBlock(std::string_view answer)
{
    if (answer.size() > kMaxAnswerBytes)
        return std::nullopt;
    std::vector<std::string_view> after; // the lines after the marker: version, address, digest
    bool marker = false;
    forEachLine(answer, [&](std::string_view line) {
        line = trimmed(line);
        if (!marker)
            marker = equalsNoCase(line, "Orbita");
        else
            after.push_back(line);
        return after.size() < 3;
    });
    if (after.size() < 2 || !IsFourPartVersion(after[0]))
        return std::nullopt;
    const std::string_view address = after[1];
    if (!net::IsFetchableAddress(address)
        || std::any_of(address.begin(), address.end(), [](char c) { return c == ' ' || isControl(c); }))
        return std::nullopt;
    VersionInfo info { std::string(after[0]), std::string(address), {} };
    if (after.size() == 3) {
        constexpr std::string_view prefix = "sha256=";
        const std::string_view line = after[2];
        if (line.size() == prefix.size() + 64 && equalsNoCase(line.substr(0, prefix.size()), prefix)
            && std::all_of(line.begin() + prefix.size(), line.end(), isHexDigit)) {
            info.sha256 = line.substr(prefix.size());
            std::transform(info.sha256.begin(), info.sha256.end(), info.sha256.begin(), lowerAscii);
        }
    }
    return info;
}

std::string ShortVersion(std::string_view version)
{
    if (!IsFourPartVersion(version))
        return std::string(version);
    return std::string(version.substr(0, version.rfind('.')));
}

std::string SetupFileName(std::string_view version)
{
    return "orbita-" + ShortVersion(version) + ".zip";
}

std::string NewVersionQuestion(std::string_view version)
{
    return "W internecie pojawiła się nowsza wersja programu \"Orbita\" " + ShortVersion(version)
        + ". Jeśli chcesz, program może pobrać potrzebny plik, a następnie zapisać go na dysku w podanej "
          "przez "
          "Ciebie lokalizacji oraz uruchomić program instalacyjny. Czy chcesz pobrać nowszą wersję programu "
          "teraz?";
}

bool MayStartSetup(const VersionInfo& info, std::string_view fileDigestHex)
{
    return info.sha256.size() == 64 && equalsNoCase(info.sha256, fileDigestHex);
}

std::string PercentEncode(std::string_view text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (isDigit(c) || (lowerAscii(c) >= 'a' && lowerAscii(c) <= 'z') || c == '-' || c == '_' || c == '.'
            || c == '~') {
            encoded.push_back(c);
        } else {
            encoded.push_back('%');
            encoded.push_back(kHex[byte >> 4]);
            encoded.push_back(kHex[byte & 15]);
        }
    }
    return encoded;
}

std::string ListQuery(std::string_view base, PackageKind kind)
{
    return query(base, "pokaz", kind == PackageKind::Skin ? "skory" : "testy");
}

std::string VersionQuery(std::string_view base)
{
    return query(base, "pokaz", "wersja");
}

std::string PackageQuery(std::string_view base, PackageKind kind, std::string_view name)
{
    return query(base, kind == PackageKind::Skin ? "pobierz_skore" : "pobierz_test",
        PercentEncode(PackageFileName(name, kind)));
}

std::string GroupedNumber(std::int64_t value)
{
    const std::string digits = std::to_string(std::max<std::int64_t>(value, 0));
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped.push_back(' ');
        grouped.push_back(digits[i]);
    }
    return grouped;
}

std::string SizeCaption(std::int64_t received, std::int64_t total)
{
    std::string caption = "Skopiowano " + GroupedNumber(received / 1024) + " KB";
    if (total > 0)
        caption += " z " + GroupedNumber(total / 1024) + " KB";
    return caption;
}

std::string PercentCaption(std::int64_t received, std::int64_t total)
{
    return total > 0 ? std::to_string(net::PercentOf(received, total)) + "%" : std::string();
}

std::string TotalCaption(int done, int count)
{
    if (done >= count)
        return "To już ostatni plik...";
    return "Pozostało " + std::to_string(count - done) + " z " + std::to_string(count) + " plików";
}

int TotalPercent(int done, int count)
{
    return count > 0 ? static_cast<int>(static_cast<std::int64_t>(done) * 100 / count) : 0;
}

std::string ItemCountCaption(std::size_t count)
{
    return std::to_string(count) + " składników";
}

Mark NextMark(Mark mark)
{
    switch (mark) {
    case Mark::Unticked:
        return Mark::Grey;
    case Mark::Grey:
        return Mark::Ticked;
    case Mark::Ticked:
        break;
    }
    return Mark::Unticked;
}

void TickAll(std::vector<Mark>& marks)
{
    std::fill(marks.begin(), marks.end(), Mark::Ticked);
}

void UntickAll(std::vector<Mark>& marks)
{
    std::fill(marks.begin(), marks.end(), Mark::Unticked);
}

void TickRest(std::vector<Mark>& marks)
{
    for (Mark& mark : marks)
        if (mark == Mark::Unticked)
            mark = Mark::Ticked;
}

std::optional<MemberPath> SafeMemberPath(std::string_view name)
{
    MemberPath result;
    const auto separator = [](char c) { return c == '\\' || c == '/'; };
    if (!name.empty() && separator(name.back())) {
        result.folder = true;
        name.remove_suffix(1);
    }
    if (name.empty() || separator(name.front()) || name.find(':') != std::string_view::npos
        || std::any_of(name.begin(), name.end(), isControl))
        return std::nullopt;
    while (true) {
        const std::size_t end = name.find_first_of("\\/");
        const std::string_view part = name.substr(0, end);
        if (part.empty() || part == "." || part == "..")
            return std::nullopt;
        result.path.append(part);
        if (end == std::string_view::npos)
            return result;
        result.path.push_back('/');
        name.remove_prefix(end + 1);
    }
}

} // namespace orbita::update
