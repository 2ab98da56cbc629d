#include "core/cp1250.h"

#include <array>

namespace orbita {
namespace {

// Code points of the bytes 80..FF.
constexpr std::array<char32_t, 128> kHighHalf = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179, // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7, // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9, // F8
};

struct CaseTables {
    std::array<unsigned char, 256> lower {};
    std::array<unsigned char, 256> upper {};
};

CaseTables makeCaseTables()
{
    CaseTables t;
    for (int i = 0; i < 256; ++i) {
        t.lower[i] = static_cast<unsigned char>(i);
        t.upper[i] = static_cast<unsigned char>(i);
    }
    auto pair = [&t](int upperByte, int lowerByte) {
        t.lower[upperByte] = static_cast<unsigned char>(lowerByte);
        t.upper[lowerByte] = static_cast<unsigned char>(upperByte);
    };
    for (int c = 'A'; c <= 'Z'; ++c)
        pair(c, c + 32);
    // Š Ś Ť Ž Ź, Ł Ą Ş Ľ Ż
    pair(0x8A, 0x9A);
    pair(0x8C, 0x9C);
    pair(0x8D, 0x9D);
    pair(0x8E, 0x9E);
    pair(0x8F, 0x9F);
    pair(0xA3, 0xB3);
    pair(0xA5, 0xB9);
    pair(0xAA, 0xBA);
    pair(0xBC, 0xBE);
    pair(0xAF, 0xBF);
    // C0..DE pair with E0..FE, except the multiplication sign D7 and ß DF.
    for (int c = 0xC0; c <= 0xDE; ++c)
        if (c != 0xD7 && c != 0xDF)
            pair(c, c + 0x20);
    return t;
}

const CaseTables& caseTables()
{
    static const CaseTables tables = makeCaseTables();
    return tables;
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Decodes one UTF-8 sequence at `pos`; gives the code point and advances, or
// gives nothing for a malformed sequence (overlong forms and surrogates included).
std::optional<char32_t> decodeUtf8(std::string_view s, std::size_t& pos)
{
    const auto b0 = static_cast<unsigned char>(s[pos]);
    if (b0 < 0x80) {
        ++pos;
        return b0;
    }
    int length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if ((b0 & 0xE0) == 0xC0) {
        length = 2;
        cp = b0 & 0x1F;
        minimum = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3;
        cp = b0 & 0x0F;
        minimum = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4;
        cp = b0 & 0x07;
        minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    if (pos + static_cast<std::size_t>(length) > s.size())
        return std::nullopt;
    for (int i = 1; i < length; ++i) {
        const auto b = static_cast<unsigned char>(s[pos + static_cast<std::size_t>(i)]);
        if ((b & 0xC0) != 0x80)
            return std::nullopt;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return std::nullopt;
    pos += static_cast<std::size_t>(length);
    return cp;
}

} // namespace

char32_t Cp1250ToUnicode(unsigned char byte)
{
    return byte < 0x80 ? char32_t { byte } : kHighHalf[byte - 0x80];
}

int UnicodeToCp1250(char32_t codePoint)
{
    if (codePoint < 0x80)
        return static_cast<int>(codePoint);
    for (std::size_t i = 0; i < kHighHalf.size(); ++i)
        if (kHighHalf[i] == codePoint)
            return static_cast<int>(0x80 + i);
    return -1;
}

std::string Cp1250ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (char c : text)
        appendUtf8(out, Cp1250ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

std::optional<std::string> Utf8ToCp1250(std::string_view utf8, std::size_t* failedAt)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t start = pos;
        const auto cp = decodeUtf8(utf8, pos);
        const int byte = cp ? UnicodeToCp1250(*cp) : -1;
        if (byte < 0) {
            if (failedAt)
                *failedAt = start;
            return std::nullopt;
        }
        out.push_back(static_cast<char>(byte));
    }
    return out;
}

std::string Utf8ToCp1250Lossy(std::string_view utf8, char replacement)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const auto cp = decodeUtf8(utf8, pos);
        if (!cp) {
            ++pos; // skip one byte of a malformed sequence
            out.push_back(replacement);
            continue;
        }
        const int byte = UnicodeToCp1250(*cp);
        out.push_back(byte < 0 ? replacement : static_cast<char>(byte));
    }
    return out;
}

unsigned char Cp1250Lower(unsigned char byte)
{
    return caseTables().lower[byte];
}

unsigned char Cp1250Upper(unsigned char byte)
{
    return caseTables().upper[byte];
}

std::string Cp1250LowerText(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(Cp1250Lower(static_cast<unsigned char>(c)));
    return out;
}

std::string Cp1250UpperText(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(Cp1250Upper(static_cast<unsigned char>(c)));
    return out;
}

bool Cp1250EqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Cp1250Lower(static_cast<unsigned char>(a[i])) != Cp1250Lower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string AsciiUpperText(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return out;
}

} // namespace orbita
