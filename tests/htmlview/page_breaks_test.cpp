#include "htmlview/page_breaks.h"

#include <gtest/gtest.h>

namespace orbita::html {
namespace {

PageLayout pageOfLines(int height, const std::vector<Rect>& lines, const std::vector<Rect>& images = {})
{
    PageLayout layout;
    layout.height = height;
    for (const Rect& rect : lines) {
        TextLine line;
        line.rect = rect;
        layout.lines.push_back(line);
    }
    for (const Rect& rect : images)
        layout.images.push_back({ 0, rect });
    return layout;
}

// Every cut lies between the sheet before it and a sheet's height below it,
// and goes through no line (nor picture that fits on a sheet).
void expectSoundCuts(const PageLayout& layout, const std::vector<int>& tops, int sheet)
{
    ASSERT_FALSE(tops.empty());
    EXPECT_EQ(tops.front(), 0);
    for (std::size_t i = 1; i < tops.size(); ++i) {
        EXPECT_GT(tops[i], tops[i - 1]);
        EXPECT_LE(tops[i] - tops[i - 1], sheet);
        for (const TextLine& line : layout.lines)
            EXPECT_FALSE(line.rect.y < tops[i] && tops[i] < line.rect.bottom())
                << "cut at " << tops[i] << " through the line at " << line.rect.y;
        for (const ImagePlacement& image : layout.images) {
            if (image.rect.height <= sheet) {
                EXPECT_FALSE(image.rect.y < tops[i] && tops[i] < image.rect.bottom());
            }
        }
    }
    EXPECT_LE(layout.height - tops.back(), sheet) << "the last sheet holds the rest";
}

TEST(PageBreaks, APageThatFitsIsOneSheet)
{
    const PageLayout layout = pageOfLines(300, { { 0, 10, 100, 20 } });
    EXPECT_EQ(PageBreaks(layout, 300), std::vector<int> { 0 });
    EXPECT_EQ(PageBreaks(layout, 1000), std::vector<int> { 0 });
}

TEST(PageBreaks, CutsGoBetweenLinesAndMoveUpAboveACutLine)
{
    std::vector<Rect> lines;
    for (int y = 5; y < 995; y += 22) // lines 20 tall with 2 pixels between them
        lines.push_back({ 10, y, 500, 20 });
    const PageLayout layout = pageOfLines(1000, lines);
    const std::vector<int> tops = PageBreaks(layout, 250);
    expectSoundCuts(layout, tops, 250);
    EXPECT_EQ(tops.size(), 5u);
    EXPECT_EQ(tops[1], 247) << "the line at 247..267 starts the second sheet";
}

TEST(PageBreaks, LinesOfCellsBesideEachOtherAreKeptWholeAtTheRowEnds)
{
    // Rows 110 tall of two cells: lines 20 tall in the left cell, 30 tall
    // (5 lower) in the right. Lifting the cut above a line of one cell puts it through
    // a line of the other, until it reaches the end of a row.
    std::vector<Rect> lines;
    for (int row = 0; row < 10; ++row) {
        for (int y = 0; y + 20 <= 108; y += 22)
            lines.push_back({ 0, row * 110 + y, 200, 20 });
        for (int y = 5; y + 30 <= 108; y += 33)
            lines.push_back({ 300, row * 110 + y, 200, 30 });
    }
    const PageLayout layout = pageOfLines(1100, lines);
    const std::vector<int> tops = PageBreaks(layout, 300);
    expectSoundCuts(layout, tops, 300);
    EXPECT_EQ(tops.at(1), 220);
}

TEST(PageBreaks, LinesThatLeaveNoGapInCommonStillFillHalfASheet)
{
    // Two columns whose lines are offset so that every height is inside a
    // line of one of them: some line must be cut, but no sheet is left
    // almost empty, and the cut goes through one line only.
    std::vector<Rect> lines;
    for (int y = 0; y < 600; y += 30)
        lines.push_back({ 0, y, 200, 25 });
    for (int y = 12; y < 600; y += 30)
        lines.push_back({ 300, y, 200, 25 });
    const PageLayout layout = pageOfLines(620, lines);
    const std::vector<int> tops = PageBreaks(layout, 200);
    ASSERT_GE(tops.size(), 4u);
    for (std::size_t i = 1; i < tops.size(); ++i) {
        EXPECT_GE(tops[i] - tops[i - 1], 100);
        EXPECT_LE(tops[i] - tops[i - 1], 200);
        int cut = 0;
        for (const TextLine& line : layout.lines)
            cut += line.rect.y < tops[i] && tops[i] < line.rect.bottom() ? 1 : 0;
        EXPECT_EQ(cut, 1) << "at " << tops[i];
    }
}

TEST(PageBreaks, APictureGoesWholeToTheNextSheetUnlessItIsTallerThanASheet)
{
    const PageLayout small = pageOfLines(700, { { 0, 0, 100, 20 } }, { { 0, 150, 100, 120 } });
    const std::vector<int> smallTops = PageBreaks(small, 200);
    expectSoundCuts(small, smallTops, 200);
    EXPECT_EQ(smallTops.at(1), 150);

    const PageLayout tall = pageOfLines(900, {}, { { 0, 50, 100, 600 } });
    const std::vector<int> tallTops = PageBreaks(tall, 200);
    EXPECT_EQ(tallTops, (std::vector<int> { 0, 200, 400, 600, 800 })) << "cut where the sheets end";
}

TEST(PageBreaks, ALineTallerThanASheetOrAtTheSheetTopIsCutRatherThanLooping)
{
    const PageLayout layout = pageOfLines(500, { { 0, 0, 100, 480 } });
    EXPECT_EQ(PageBreaks(layout, 100), (std::vector<int> { 0, 100, 200, 300, 400 }));
    // A sheet height below one pixel still makes progress.
    EXPECT_EQ(PageBreaks(pageOfLines(3, {}), 0), (std::vector<int> { 0, 1, 2 }));
}

} // namespace
} // namespace orbita::html
