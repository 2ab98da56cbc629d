#pragma once

#include "skin/builtin_skin.h"

#include <span>
#include <string_view>

namespace orbita {

// Element families, used to colour the cells of the periodic table.
enum class ElementFamily {
    AlkaliMetal, // group 1 without hydrogen
    AlkalineEarthMetal, // group 2
    TransitionMetal, // groups 3 to 12 without the lanthanides and actinides
    PostTransitionMetal, // the metals of groups 13 to 16
    Metalloid, // B, Si, Ge, As, Sb, Te
    Nonmetal, // H, C, N, O, P, S, Se
    Halogen, // group 17
    NobleGas, // group 18
    Lanthanide, // La to Lu
    Actinide, // Ac to Lr
};
inline constexpr int kElementFamilyCount = 10;

// One cell of the periodic table of the built-in skin.
struct ElementCell {
    int number = 0; // atomic number, 1 to 118
    std::string_view symbol; // today's symbol, e.g. "Fe", "Og"
    std::string_view hotArea; // the built-in hot area that opens it, e.g. "BUTTON_FE"
    ElementFamily family = ElementFamily::Nonmetal;
    SkinRect rect; // the hot area's rectangle
};

// The 118 cells in order of atomic number. Each rectangle is taken from the
// built-in hot-area list by the cell's hot-area name, so the table and the list
// cannot disagree. Hot-area names follow the symbols in capitals, except
// iodine ("BUTTON_J") and 104 to 118, which keep their systematic names
// ("BUTTON_UNQ" ... "BUTTON_UUO", "BUTTON_UUS" for 117).
std::span<const ElementCell> ElementCells();

// The atomic number opened by the hot area `name`, or 0 when `name` is not an
// element's hot area (a command button, or unknown).
int ElementNumberOfHotArea(std::string_view name);

} // namespace orbita
