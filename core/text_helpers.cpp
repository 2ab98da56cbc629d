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

} // namespace orbita
