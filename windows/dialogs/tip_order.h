#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace orbita {

// Picks an index from 0 to `highest` inclusive.
using RandomIndex = std::function<int(int highest)>;

// A uniform pick from a generator seeded from the clock at every call.
int ClockRandomIndex(int highest);

// Alphabetical order of UTF-8 texts for Polish: letters without regard to
// case, with the letters with diacritics after their base letters
// (a < ą < b < c < ć ...); other characters come before the letters, by code
// point. Texts equal by these rules are ordered by their bytes.
bool PolishAlphabeticalLess(std::string_view a, std::string_view b);

// The order in which the tip-of-the-day window shows its texts. The working
// list starts empty; each Next() refills it with the whole collection in
// table order when it is empty, picks an index from 0 to count - 2 (0 when one
// text is left) so that the last entry is never picked while others remain,
// removes the picked text and sorts the rest alphabetically. Every text is
// thus given once before any is repeated, and the alphabetically last of the
// remaining texts always comes last.
class TipOrder final {
public:
    TipOrder(std::vector<std::string> collection, RandomIndex random);

    std::string Next();
    // The texts not yet given in the current cycle.
    const std::vector<std::string>& Remaining() const { return m_working; }

private:
    std::vector<std::string> m_collection;
    std::vector<std::string> m_working;
    RandomIndex m_random;
};

} // namespace orbita
