#include "core/scramble.h"

#include "core/text_helpers.h"

namespace orbita {
namespace {

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
        const int high = HexDigitValue(hex[2 * n]);
        const int low = HexDigitValue(hex[2 * n + 1]);
        const unsigned value = high < 0 || low < 0 ? 32u : static_cast<unsigned>(high * 16 + low);
        result.push_back(static_cast<char>((value ^ keyByte(key, n)) & 0xFF));
    }
    return result;
}

} // namespace orbita
