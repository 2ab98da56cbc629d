#include "core/colour_contrast.h"

#include <gtest/gtest.h>

namespace orbita {
namespace {

constexpr Rgb kWhite { 255, 255, 255 };
constexpr Rgb kBlack { 0, 0, 0 };

TEST(ColourContrast, LuminanceAndRatioAsWcagDefinesThem)
{
    EXPECT_DOUBLE_EQ(RelativeLuminance(kBlack), 0.0);
    EXPECT_NEAR(RelativeLuminance(kWhite), 1.0, 1e-12);
    // Published figures: mid grey #777777 is 4.48 against white, #767676
    // 4.54; pure red 4.00, pure blue 8.59, #008000 5.14.
    EXPECT_NEAR(ContrastRatio(kWhite, kBlack), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(Rgb { 0x77, 0x77, 0x77 }, kWhite), 4.48, 0.005);
    EXPECT_NEAR(ContrastRatio(Rgb { 0x76, 0x76, 0x76 }, kWhite), 4.54, 0.005);
    EXPECT_NEAR(ContrastRatio(Rgb { 255, 0, 0 }, kWhite), 4.00, 0.005);
    EXPECT_NEAR(ContrastRatio(Rgb { 0, 0, 255 }, kWhite), 8.59, 0.005);
    EXPECT_NEAR(ContrastRatio(Rgb { 0, 128, 0 }, kWhite), 5.14, 0.005);
    // The order of the two colours does not matter; a colour against itself is 1.
    EXPECT_DOUBLE_EQ(ContrastRatio(kWhite, Rgb { 0, 0, 168 }), ContrastRatio(Rgb { 0, 0, 168 }, kWhite));
    EXPECT_DOUBLE_EQ(ContrastRatio(Rgb { 12, 34, 56 }, Rgb { 12, 34, 56 }), 1.0);
}

TEST(ColourContrast, ReadableOnKeepsAReadableColourAndMendsOthers)
{
    // Already readable: unchanged.
    EXPECT_EQ(ReadableOn(Rgb { 0, 128, 0 }, kWhite), (Rgb { 0, 128, 0 }));
    EXPECT_EQ(ReadableOn(Rgb { 255, 0, 0 }, kBlack), (Rgb { 255, 0, 0 }));
    // Every background of a coarse grid, including the mid greys where
    // neither black nor white has much to spare, gets a readable colour.
    for (int r = 0; r <= 255; r += 17) {
        for (int g = 0; g <= 255; g += 17) {
            for (int b = 0; b <= 255; b += 51) {
                const Rgb background { std::uint8_t(r), std::uint8_t(g), std::uint8_t(b) };
                for (const Rgb preferred : { Rgb { 0, 128, 0 }, Rgb { 255, 0, 0 } }) {
                    const Rgb chosen = ReadableOn(preferred, background);
                    ASSERT_GE(ContrastRatio(chosen, background), kReadableContrast)
                        << r << ' ' << g << ' ' << b;
                }
            }
        }
    }
    // A stricter demand than 4.5 is met where it can be.
    const Rgb navy { 0, 0, 168 };
    EXPECT_GE(ContrastRatio(ReadableOn(Rgb { 255, 0, 0 }, navy, 7.0), navy), 7.0);
}

} // namespace
} // namespace orbita
