#include "core/scramble.h"

namespace orbita {
namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

unsigned char keyByte(std::string_view key, std::size_t position)
{
    return key.empty() ? 0 : static_cast<unsigned char>(key[position % key.size()]);
}

} // namespace

std::string ScrambleText(std::string_view key, std::string_view text)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string result;
    result.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned byte = static_cast<unsigned char>(text[i]) ^ keyByte(key, i);
        result.push_back(kDigits[byte >> 4]);
        result.push_back(kDigits[byte & 0x0F]);
    }
    return result;
}

std::string UnscrambleText(std::string_view key, std::string_view hex)
{
    std::string result;
    result.reserve(hex.size() / 2);
    for (std::size_t n = 0; n < hex.size() / 2; ++n) {
        const int high = hexDigit(hex[2 * n]);
        const int low = hexDigit(hex[2 * n + 1]);
        const unsigned value = high < 0 || low < 0 ? 32u : static_cast<unsigned>(high * 16 + low);
        result.push_back(static_cast<char>((value ^ keyByte(key, n)) & 0xFF));
    }
    return result;
}

} // namespace orbita
