#include "windows/dialogs/tip_order.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <string_view>
#include <utility>

namespace orbita {
namespace {

// The Polish alphabet with the letters of other alphabets used in Polish
// writing (q, v, x) in their Latin places.
constexpr std::u32string_view kAlphabet = U"aąbcćdeęfghijklłmnńoópqrsśtuvwxyzźż";
constexpr std::u32string_view kUpperAlphabet = U"AĄBCĆDEĘFGHIJKLŁMNŃOÓPQRSŚTUVWXYZŹŻ";

// Decodes UTF-8; a byte that does not start a valid sequence stands for
// itself.
std::u32string decode(std::string_view text)
{
    std::u32string result;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int length = 1;
        char32_t code = lead;
        if (lead >= 0xF0 && lead < 0xF8) {
            length = 4;
            code = lead & 0x07;
        } else if (lead >= 0xE0) {
            length = 3;
            code = lead & 0x0F;
        } else if (lead >= 0xC0) {
            length = 2;
            code = lead & 0x1F;
        }
        if (length > 1 && i + length <= text.size()) {
            for (int k = 1; k < length; ++k)
                code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        } else {
            length = 1;
            code = lead;
        }
        result.push_back(code);
        i += length;
    }
    return result;
}

// Non-letters sort by their code point, before every letter.
std::uint32_t sortWeight(char32_t c)
{
    constexpr std::uint32_t kLetters = 0x110000;
    if (const auto lower = kAlphabet.find(c); lower != std::u32string_view::npos)
        return kLetters + static_cast<std::uint32_t>(lower);
    if (const auto upper = kUpperAlphabet.find(c); upper != std::u32string_view::npos)
        return kLetters + static_cast<std::uint32_t>(upper);
    return static_cast<std::uint32_t>(c);
}

} // namespace

int ClockRandomIndex(int highest)
{
    if (highest <= 0)
        return 0;
    const auto seed = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    std::mt19937 generator(static_cast<std::mt19937::result_type>(seed));
    return std::uniform_int_distribution<int>(0, highest)(generator);
}

bool PolishAlphabeticalLess(std::string_view a, std::string_view b)
{
    const std::u32string left = decode(a);
    const std::u32string right = decode(b);
    const bool less = std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end(),
        [](char32_t x, char32_t y) { return sortWeight(x) < sortWeight(y); });
    const bool greater = std::lexicographical_compare(right.begin(), right.end(), left.begin(), left.end(),
        [](char32_t x, char32_t y) { return sortWeight(x) < sortWeight(y); });
    if (less || greater)
        return less;
    return a < b;
}

TipOrder::TipOrder(std::vector<std::string> collection, RandomIndex random)
    : m_collection(std::move(collection))
    , m_random(std::move(random))
{
}

std::string TipOrder::Next()
{
    if (m_working.empty())
        m_working = m_collection;
    if (m_working.empty())
        return {};
    const int highest = std::max(0, static_cast<int>(m_working.size()) - 2);
    const int index = std::clamp(m_random ? m_random(highest) : 0, 0, highest);
    std::string picked = std::move(m_working[static_cast<std::size_t>(index)]);
    m_working.erase(m_working.begin() + index);
    std::sort(m_working.begin(), m_working.end(),
        [](const std::string& x, const std::string& y) { return PolishAlphabeticalLess(x, y); });
    return picked;
}

} // namespace orbita
