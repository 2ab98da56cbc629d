#include "data/text_lines.h"

#include <gtest/gtest.h>

namespace orbita {
namespace {

TEST(SplitTextLines, EveryLineEndAndTheNulStop)
{
    using Lines = std::vector<std::string>;
    EXPECT_EQ(SplitTextLines(""), Lines {});
    EXPECT_EQ(SplitTextLines("a\r\nb\rc\nd"), (Lines { "a", "b", "c", "d" }));
    EXPECT_EQ(SplitTextLines("a\r\n"), Lines { "a" });
    EXPECT_EQ(SplitTextLines("\n\n"), (Lines { "", "" }));
    EXPECT_EQ(SplitTextLines("a\n\r\nb"), (Lines { "a", "", "b" }));
    EXPECT_EQ(SplitTextLines(std::string_view("ab\0cd\n", 6)), Lines { "ab" });
    EXPECT_EQ(SplitTextLines("\xAF"
                             "elazo\r\n"),
        Lines { "\xAF"
                "elazo" });
}

} // namespace
} // namespace orbita
