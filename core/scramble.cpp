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
    std::string result;
    result.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i)
        AppendHexByte(result, static_cast<unsigned char>(text[i]) ^ keyByte(key, i));
    return result;
}

std::string UnscrambleText(std::string_view key, std::string_view hex)
{
    std::string result;
    result.reserve(hex.size() / 2);
    for (std::size_t n = 0; n < hex.size() / 2; ++n) {
        const unsigned value = ParseHex(hex.substr(2 * n, 2)).value_or(32u);
        result.push_back(static_cast<char>((value ^ keyByte(key, n)) & 0xFF));
    }
    return result;
}

} // namespace orbita
