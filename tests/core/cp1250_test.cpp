#include "core/cp1250.h"

#include <gtest/gtest.h>
#include <iconv.h>

namespace orbita {
namespace {

// The table agrees with the C library's own Windows-1250 converter for every
// byte the code page assigns.
TEST(Cp1250, EveryAssignedByteMatchesTheSystemConverter)
{
    iconv_t cd = iconv_open("UTF-8", "CP1250");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    for (int b = 0; b < 256; ++b) {
        char in[1] = { static_cast<char>(b) };
        char out[8] = {};
        char* inPtr = in;
        char* outPtr = out;
        std::size_t inLeft = 1;
        std::size_t outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
            continue; // unassigned in the C library's table (81, 83, 88, 90, 98)
        EXPECT_EQ(Cp1250ToUtf8(std::string(1, static_cast<char>(b))), std::string(out, outPtr))
            << "byte " << b;
    }
    iconv_close(cd);
}

TEST(Cp1250, RoundTripsEveryByteAndRefusesWhatItCannotHold)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(Utf8ToCp1250(Cp1250ToUtf8(all)), all);

    EXPECT_EQ(Utf8ToCp1250("Żelazo ąćęłńóśźż"),
        std::string("\xAF"
                    "elazo \xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF"));
    std::size_t at = 0;
    EXPECT_FALSE(Utf8ToCp1250("ok \xE2\x82\xBD", &at)); // the rouble sign
    EXPECT_EQ(at, 3u);
    EXPECT_FALSE(Utf8ToCp1250("\xC0\x80")); // overlong NUL
    EXPECT_FALSE(Utf8ToCp1250("\xE2\x82")); // cut sequence
    EXPECT_EQ(Utf8ToCp1250Lossy("a\xE2\x82\xBD"
                                "b"),
        "a?b");
}

TEST(Cp1250, CaseMappingCoversPolishAndCentralEuropeanLetters)
{
    EXPECT_EQ(
        Cp1250ToUtf8(Cp1250LowerText(*Utf8ToCp1250("ŻÓŁĆ ĄĘŚŹŃ ŠŤŽĽŔ ABC ß×"))), "żółć ąęśźń šťžľŕ abc ß×");
    EXPECT_EQ(
        Cp1250ToUtf8(Cp1250UpperText(*Utf8ToCp1250("żółć ąęśźń šťžľŕ abc µ÷"))), "ŻÓŁĆ ĄĘŚŹŃ ŠŤŽĽŔ ABC µ÷");
    EXPECT_TRUE(Cp1250EqualNoCase(*Utf8ToCp1250("UKLAD\\Żelazo.HTM"), *Utf8ToCp1250("uklad\\żELAZO.htm")));
    EXPECT_FALSE(Cp1250EqualNoCase("abc", "abd"));
    EXPECT_EQ(Cp1250ToUtf8(AsciiUpperText(*Utf8ToCp1250("żelazo kobalt"))), "żELAZO KOBALT");
}

} // namespace
} // namespace orbita
