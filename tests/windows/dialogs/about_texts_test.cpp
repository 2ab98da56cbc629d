#include "windows/dialogs/about_texts.h"

#include <gtest/gtest.h>

namespace orbita {
namespace {

TEST(AboutTexts, ProgramCaptionTakesTheFirstThirdAndFifthCharacters)
{
    struct Case {
        const char* version;
        const char* caption;
    };
    const Case cases[] = {
        { "3.5.1.0", "Orbita 3.5.1 dla Windows" },
        { "4.0.2.17", "Orbita 4.0.2 dla Windows" },
        { "10.2.3.4", "Orbita 1.... dla Windows" }, // characters, not numbers
        { "\xE2\x80\x94", "Orbita \xE2\x80\x94 dla Windows" }, // no version: shown whole
        { "", "Orbita  dla Windows" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProgramCaptionText(c.version), c.caption) << c.version;
}

TEST(AboutTexts, RunCountStatus)
{
    EXPECT_EQ(RunCountText(-1), "-1 uruchomienie programu");
    EXPECT_EQ(RunCountText(0), "0 uruchomień programu");
    EXPECT_EQ(RunCountText(1), "1 uruchomienie programu");
    EXPECT_EQ(RunCountText(22), "22 uruchomienia programu");
    EXPECT_EQ(RunCountText(2147483647), "2147483647 uruchomień programu");
}

TEST(AboutTexts, ContactPageLiesOnTheProgramsSite)
{
    EXPECT_EQ(kProgramSite, "https://orbita.example.org/");
    EXPECT_EQ(ContactPageAddress(), "https://orbita.example.org/kontakt/");
}

} // namespace
} // namespace orbita
