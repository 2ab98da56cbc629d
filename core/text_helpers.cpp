#include "core/text_helpers.h"

#include <algorithm>

namespace orbita {

std::string WithTrailingBackslash(std::string_view path)
{
    std::string result(path);
    if (!result.empty() && result.back() != '/' && result.back() != '\\')
        result.push_back('/');
    return result;
}

std::string ZeroPadded(std::uint16_t number, int width)
{
    std::string text = std::to_string(number);
    if (width > 0 && text.size() < static_cast<std::size_t>(width))
        text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
    return text;
}

std::string TextFromChar(std::string_view text, char c, std::size_t count)
{
    std::size_t start = text.find(c);
    if (start == std::string_view::npos)
        start = 0;
    return std::string(text.substr(start, count));
}

std::string DateTimeText(const std::tm& time)
{
    const auto part = [](int value, int width) {
        return ZeroPadded(static_cast<std::uint16_t>(std::clamp(value, 0, 65535)), width);
    };
    return part(time.tm_hour, 2) + ":" + part(time.tm_min, 2) + ":" + part(time.tm_sec, 2) + " "
        + std::to_string(time.tm_year + 1900) + "-" + part(time.tm_mon + 1, 2) + "-" + part(time.tm_mday, 2);
}

std::string NowText()
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    return DateTimeText(local);
}

std::string NativePath(std::string_view path)
{
    std::string result(path);
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string_view PolishPlural(
    long long count, std::string_view one, std::string_view few, std::string_view many)
{
    // The magnitude as unsigned, so that the lowest long long has one too.
    const unsigned long long n
        = count < 0 ? 0ULL - static_cast<unsigned long long>(count) : static_cast<unsigned long long>(count);
    if (n == 1)
        return one;
    const unsigned long long units = n % 10;
    const unsigned long long tens = n % 100;
    if (units >= 2 && units <= 4 && (tens < 12 || tens > 14))
        return few;
    return many;
}

std::string PolishCount(long long count, std::string_view one, std::string_view few, std::string_view many)
{
    std::string text = std::to_string(count);
    text += ' ';
    text += PolishPlural(count, one, few, many);
    return text;
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    return text;
}

std::optional<std::uint32_t> ParseHex(std::string_view digits)
{
    if (digits.empty())
        return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : digits) {
        const int digit = HexDigitValue(c);
        if (digit < 0 || value > 0x0FFFFFFFu)
            return std::nullopt;
        value = (value << 4) | static_cast<std::uint32_t>(digit);
    }
    return value;
}

void AppendHexByte(std::string& out, unsigned byte)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    out.push_back(kDigits[(byte >> 4) & 0x0F]);
    out.push_back(kDigits[byte & 0x0F]);
}

} // namespace orbita
