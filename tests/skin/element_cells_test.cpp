#include "skin/element_cells.h"

#include <array>
#include <gtest/gtest.h>
#include <set>

namespace orbita {
namespace {

// The hit test of the skin: the first area in definition order wins.
std::string_view HitTest(int x, int y)
{
    for (const SkinHotArea& area : BuiltinHotAreas()) {
        if (area.rect.contains(x, y))
            return area.name;
    }
    return {};
}

TEST(ElementCells, EveryElementHasExactlyOneHotArea)
{
    const auto cells = ElementCells();
    ASSERT_EQ(cells.size(), 118u);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const ElementCell& cell = cells[i];
        SCOPED_TRACE(cell.hotArea);
        EXPECT_EQ(cell.number, static_cast<int>(i) + 1);
        int matches = 0;
        for (const SkinHotArea& area : BuiltinHotAreas())
            matches += area.name == cell.hotArea ? 1 : 0;
        EXPECT_EQ(matches, 1);
        EXPECT_EQ(cell.rect.width, 26);
        EXPECT_EQ(cell.rect.height, 27);
        EXPECT_EQ(ElementNumberOfHotArea(cell.hotArea), cell.number);
    }
    // 118 element areas and the 11 command buttons.
    int others = 0;
    for (const SkinHotArea& area : BuiltinHotAreas())
        others += ElementNumberOfHotArea(area.name) == 0 ? 1 : 0;
    EXPECT_EQ(others, 11);
}

TEST(ElementCells, SymbolsAndHotAreaNames)
{
    const auto cells = ElementCells();
    std::set<std::string_view> symbols;
    for (const ElementCell& cell : cells)
        EXPECT_TRUE(symbols.insert(cell.symbol).second) << cell.symbol;
    struct Row {
        int number;
        std::string_view symbol;
        std::string_view hotArea;
    };
    const Row rows[] = {
        { 1, "H", "BUTTON_H" },
        { 26, "Fe", "BUTTON_FE" },
        { 53, "I", "BUTTON_J" },
        { 103, "Lr", "BUTTON_LR" },
        { 104, "Rf", "BUTTON_UNQ" },
        { 109, "Mt", "BUTTON_UNE" },
        { 110, "Ds", "BUTTON_UUN" },
        { 112, "Cn", "BUTTON_UUB" },
        { 113, "Nh", "BUTTON_UUT" },
        { 117, "Ts", "BUTTON_UUS" },
        { 118, "Og", "BUTTON_UUO" },
    };
    for (const Row& row : rows) {
        const ElementCell& cell = cells[row.number - 1];
        EXPECT_EQ(cell.symbol, row.symbol);
        EXPECT_EQ(cell.hotArea, row.hotArea);
    }
    // Apart from iodine and the systematic names, the name is the symbol in capitals.
    for (const ElementCell& cell : cells) {
        if (cell.number == 53 || cell.number >= 104)
            continue;
        std::string upper;
        for (char c : cell.symbol)
            upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        EXPECT_EQ(cell.hotArea, "BUTTON_" + upper);
    }
    EXPECT_EQ(ElementNumberOfHotArea("BUTTON_HELP"), 0);
    EXPECT_EQ(ElementNumberOfHotArea("BUTTON_I"), 0);
    EXPECT_EQ(ElementNumberOfHotArea(""), 0);
}

TEST(ElementCells, CellsDoNotOverlap)
{
    // Neighbouring cells share their border pixel row or column (the earlier
    // area wins there); without that shared border no two cells overlap.
    const auto cells = ElementCells();
    for (std::size_t i = 0; i < cells.size(); ++i) {
        for (std::size_t j = i + 1; j < cells.size(); ++j) {
            const SkinRect a { cells[i].rect.left, cells[i].rect.top, 25, 26 };
            const SkinRect b { cells[j].rect.left, cells[j].rect.top, 25, 26 };
            const bool overlap
                = a.left < b.right() && b.left < a.right() && a.top < b.bottom() && b.top < a.bottom();
            EXPECT_FALSE(overlap) << cells[i].symbol << " " << cells[j].symbol;
        }
    }
}

TEST(ElementCells, EveryCellIsHitInsideItsOwnRectangle)
{
    for (const ElementCell& cell : ElementCells()) {
        for (int y = cell.rect.top + 1; y < cell.rect.bottom() - 1; ++y) {
            for (int x = cell.rect.left + 1; x < cell.rect.right() - 1; ++x)
                ASSERT_EQ(HitTest(x, y), cell.hotArea) << x << "," << y;
        }
    }
}

TEST(ElementCells, CellsLieOnTheTableGrid)
{
    // Main table: period p at top 89 + 26 (p - 1), group g at left 44 + 25 (g - 1);
    // the lanthanide and actinide rows at tops 294 and 337 from left 44.
    const auto cells = ElementCells();
    auto period = [](int z) {
        return z <= 2 ? 1 : z <= 10 ? 2 : z <= 18 ? 3 : z <= 36 ? 4 : z <= 54 ? 5 : z <= 86 ? 6 : 7;
    };
    auto group = [](int z) {
        const int starts[] = { 1, 3, 11, 19, 37, 55, 87 };
        const int lengths[] = { 2, 8, 8, 18, 18, 32, 32 };
        const int p = z <= 2 ? 0 : z <= 10 ? 1 : z <= 18 ? 2 : z <= 36 ? 3 : z <= 54 ? 4 : z <= 86 ? 5 : 6;
        int k = z - starts[p]; // position in its period
        if (lengths[p] == 2)
            return k == 0 ? 1 : 18;
        if (lengths[p] == 8)
            return k < 2 ? k + 1 : k + 11;
        if (lengths[p] == 18)
            return k + 1;
        if (k >= 3 && k <= 16)
            return -1; // in the f-block row
        return k < 3 ? k + 1 : k - 13;
    };
    for (const ElementCell& cell : cells) {
        SCOPED_TRACE(cell.symbol);
        const int g = group(cell.number);
        if (g > 0) {
            EXPECT_EQ(cell.rect.left, 44 + 25 * (g - 1));
            EXPECT_EQ(cell.rect.top, 89 + 26 * (period(cell.number) - 1));
        } else {
            const int first = cell.number < 89 ? 58 : 90;
            EXPECT_EQ(cell.rect.left, 44 + 25 * (cell.number - first));
            EXPECT_EQ(cell.rect.top, cell.number < 89 ? 294 : 337);
        }
    }
}

TEST(ElementCells, FamilySizes)
{
    std::array<int, kElementFamilyCount> counts {};
    for (const ElementCell& cell : ElementCells())
        ++counts[static_cast<std::size_t>(cell.family)];
    auto count = [&](ElementFamily f) { return counts[static_cast<std::size_t>(f)]; };
    EXPECT_EQ(count(ElementFamily::AlkaliMetal), 6);
    EXPECT_EQ(count(ElementFamily::AlkalineEarthMetal), 6);
    EXPECT_EQ(count(ElementFamily::Lanthanide), 15);
    EXPECT_EQ(count(ElementFamily::Actinide), 15);
    EXPECT_EQ(count(ElementFamily::NobleGas), 7);
    EXPECT_EQ(count(ElementFamily::Halogen), 6);
    EXPECT_EQ(count(ElementFamily::Metalloid), 6);
    EXPECT_EQ(count(ElementFamily::Nonmetal), 7);
    EXPECT_EQ(count(ElementFamily::TransitionMetal), 38);
    EXPECT_EQ(count(ElementFamily::PostTransitionMetal), 12);
    EXPECT_EQ(ElementCells()[0].family, ElementFamily::Nonmetal);
    EXPECT_EQ(ElementCells()[116].family, ElementFamily::Halogen);
}

} // namespace
} // namespace orbita
