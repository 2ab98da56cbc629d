#include "net/http_rules.h"

#include <algorithm>
#include <cctype>

namespace orbita::net {
namespace {

bool equalsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::string_view SchemeOf(std::string_view address)
{
    const auto colon = address.find("://");
    if (colon == std::string_view::npos || colon == 0)
        return {};
    const std::string_view scheme = address.substr(0, colon);
    const bool plain = std::all_of(scheme.begin(), scheme.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
    });
    if (!plain)
        return {};
    if (equalsNoCase(scheme, "http"))
        return "http";
    if (equalsNoCase(scheme, "https"))
        return "https";
    return scheme;
}

bool IsFetchableAddress(std::string_view address)
{
    const std::string_view scheme = SchemeOf(address);
    return scheme == "http" || scheme == "https";
}

bool IsAllowedRedirect(std::string_view from, std::string_view to)
{
    if (!IsFetchableAddress(to))
        return false;
    return !(SchemeOf(from) == "https" && SchemeOf(to) == "http");
}

std::optional<std::int64_t> ParseContentLength(std::string_view value)
{
    value = trimmed(value);
    if (value.empty() || value.size() > 18)
        return std::nullopt;
    std::int64_t length = 0;
    for (char c : value) {
        if (c < '0' || c > '9')
            return std::nullopt;
        length = length * 10 + (c - '0');
    }
    return length;
}

HeaderLength ContentLengthOfHeaderLine(std::string_view line)
{
    const auto colon = line.find(':');
    if (colon == std::string_view::npos || !equalsNoCase(trimmed(line.substr(0, colon)), "content-length"))
        return {};
    return { true, ParseContentLength(line.substr(colon + 1)) };
}

bool IsSuccessStatus(long status)
{
    return status >= 200 && status <= 299;
}

bool ExceedsCap(std::optional<std::int64_t> announced, std::int64_t maxBytes)
{
    return announced && *announced > maxBytes;
}

bool TransferSucceeded(const TransferOutcome& outcome)
{
    if (outcome.cancelled || !outcome.transportOk || !outcome.targetOk || !IsSuccessStatus(outcome.status))
        return false;
    if (outcome.received > outcome.maxBytes || ExceedsCap(outcome.announced, outcome.maxBytes))
        return false;
    if (outcome.announced) {
        if (outcome.received != *outcome.announced)
            return false;
    } else if (outcome.binaryData) {
        return false;
    }
    return outcome.toFile || outcome.received > 0;
}

int PercentOf(std::int64_t received, std::int64_t total)
{
    if (total <= 0 || received <= 0)
        return 0;
    if (received >= total)
        return 100;
    return static_cast<int>(received * 100 / total);
}

} // namespace orbita::net
