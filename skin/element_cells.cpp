#include "skin/element_cells.h"

#include "core/element_numbers.h"

#include <array>

namespace orbita {
namespace {

struct ElementEntry {
    int number;
    std::string_view symbol;
    std::string_view hotArea;
    ElementFamily family;
};

// Families follow the usual school classification; 104 to 118 are placed by
// their group (their chemistry is barely known).
constexpr std::array<ElementEntry, kElementCount> kElements { {
    { 1, "H", "BUTTON_H", ElementFamily::Nonmetal },
    { 2, "He", "BUTTON_HE", ElementFamily::NobleGas },
    { 3, "Li", "BUTTON_LI", ElementFamily::AlkaliMetal },
    { 4, "Be", "BUTTON_BE", ElementFamily::AlkalineEarthMetal },
    { 5, "B", "BUTTON_B", ElementFamily::Metalloid },
    { 6, "C", "BUTTON_C", ElementFamily::Nonmetal },
    { 7, "N", "BUTTON_N", ElementFamily::Nonmetal },
    { 8, "O", "BUTTON_O", ElementFamily::Nonmetal },
    { 9, "F", "BUTTON_F", ElementFamily::Halogen },
    { 10, "Ne", "BUTTON_NE", ElementFamily::NobleGas },
    { 11, "Na", "BUTTON_NA", ElementFamily::AlkaliMetal },
    { 12, "Mg", "BUTTON_MG", ElementFamily::AlkalineEarthMetal },
    { 13, "Al", "BUTTON_AL", ElementFamily::PostTransitionMetal },
    { 14, "Si", "BUTTON_SI", ElementFamily::Metalloid },
    { 15, "P", "BUTTON_P", ElementFamily::Nonmetal },
    { 16, "S", "BUTTON_S", ElementFamily::Nonmetal },
    { 17, "Cl", "BUTTON_CL", ElementFamily::Halogen },
    { 18, "Ar", "BUTTON_AR", ElementFamily::NobleGas },
    { 19, "K", "BUTTON_K", ElementFamily::AlkaliMetal },
    { 20, "Ca", "BUTTON_CA", ElementFamily::AlkalineEarthMetal },
    { 21, "Sc", "BUTTON_SC", ElementFamily::TransitionMetal },
    { 22, "Ti", "BUTTON_TI", ElementFamily::TransitionMetal },
    { 23, "V", "BUTTON_V", ElementFamily::TransitionMetal },
    { 24, "Cr", "BUTTON_CR", ElementFamily::TransitionMetal },
    { 25, "Mn", "BUTTON_MN", ElementFamily::TransitionMetal },
    { 26, "Fe", "BUTTON_FE", ElementFamily::TransitionMetal },
    { 27, "Co", "BUTTON_CO", ElementFamily::TransitionMetal },
    { 28, "Ni", "BUTTON_NI", ElementFamily::TransitionMetal },
    { 29, "Cu", "BUTTON_CU", ElementFamily::TransitionMetal },
    { 30, "Zn", "BUTTON_ZN", ElementFamily::TransitionMetal },
    { 31, "Ga", "BUTTON_GA", ElementFamily::PostTransitionMetal },
    { 32, "Ge", "BUTTON_GE", ElementFamily::Metalloid },
    { 33, "As", "BUTTON_AS", ElementFamily::Metalloid },
    { 34, "Se", "BUTTON_SE", ElementFamily::Nonmetal },
    { 35, "Br", "BUTTON_BR", ElementFamily::Halogen },
    { 36, "Kr", "BUTTON_KR", ElementFamily::NobleGas },
    { 37, "Rb", "BUTTON_RB", ElementFamily::AlkaliMetal },
    { 38, "Sr", "BUTTON_SR", ElementFamily::AlkalineEarthMetal },
    { 39, "Y", "BUTTON_Y", ElementFamily::TransitionMetal },
    { 40, "Zr", "BUTTON_ZR", ElementFamily::TransitionMetal },
    { 41, "Nb", "BUTTON_NB", ElementFamily::TransitionMetal },
    { 42, "Mo", "BUTTON_MO", ElementFamily::TransitionMetal },
    { 43, "Tc", "BUTTON_TC", ElementFamily::TransitionMetal },
    { 44, "Ru", "BUTTON_RU", ElementFamily::TransitionMetal },
    { 45, "Rh", "BUTTON_RH", ElementFamily::TransitionMetal },
    { 46, "Pd", "BUTTON_PD", ElementFamily::TransitionMetal },
    { 47, "Ag", "BUTTON_AG", ElementFamily::TransitionMetal },
    { 48, "Cd", "BUTTON_CD", ElementFamily::TransitionMetal },
    { 49, "In", "BUTTON_IN", ElementFamily::PostTransitionMetal },
    { 50, "Sn", "BUTTON_SN", ElementFamily::PostTransitionMetal },
    { 51, "Sb", "BUTTON_SB", ElementFamily::Metalloid },
    { 52, "Te", "BUTTON_TE", ElementFamily::Metalloid },
    { 53, "I", "BUTTON_J", ElementFamily::Halogen },
    { 54, "Xe", "BUTTON_XE", ElementFamily::NobleGas },
    { 55, "Cs", "BUTTON_CS", ElementFamily::AlkaliMetal },
    { 56, "Ba", "BUTTON_BA", ElementFamily::AlkalineEarthMetal },
    { 57, "La", "BUTTON_LA", ElementFamily::Lanthanide },
    { 58, "Ce", "BUTTON_CE", ElementFamily::Lanthanide },
    { 59, "Pr", "BUTTON_PR", ElementFamily::Lanthanide },
    { 60, "Nd", "BUTTON_ND", ElementFamily::Lanthanide },
    { 61, "Pm", "BUTTON_PM", ElementFamily::Lanthanide },
    { 62, "Sm", "BUTTON_SM", ElementFamily::Lanthanide },
    { 63, "Eu", "BUTTON_EU", ElementFamily::Lanthanide },
    { 64, "Gd", "BUTTON_GD", ElementFamily::Lanthanide },
    { 65, "Tb", "BUTTON_TB", ElementFamily::Lanthanide },
    { 66, "Dy", "BUTTON_DY", ElementFamily::Lanthanide },
    { 67, "Ho", "BUTTON_HO", ElementFamily::Lanthanide },
    { 68, "Er", "BUTTON_ER", ElementFamily::Lanthanide },
    { 69, "Tm", "BUTTON_TM", ElementFamily::Lanthanide },
    { 70, "Yb", "BUTTON_YB", ElementFamily::Lanthanide },
    { 71, "Lu", "BUTTON_LU", ElementFamily::Lanthanide },
    { 72, "Hf", "BUTTON_HF", ElementFamily::TransitionMetal },
    { 73, "Ta", "BUTTON_TA", ElementFamily::TransitionMetal },
    { 74, "W", "BUTTON_W", ElementFamily::TransitionMetal },
    { 75, "Re", "BUTTON_RE", ElementFamily::TransitionMetal },
    { 76, "Os", "BUTTON_OS", ElementFamily::TransitionMetal },
    { 77, "Ir", "BUTTON_IR", ElementFamily::TransitionMetal },
    { 78, "Pt", "BUTTON_PT", ElementFamily::TransitionMetal },
    { 79, "Au", "BUTTON_AU", ElementFamily::TransitionMetal },
    { 80, "Hg", "BUTTON_HG", ElementFamily::TransitionMetal },
    { 81, "Tl", "BUTTON_TL", ElementFamily::PostTransitionMetal },
    { 82, "Pb", "BUTTON_PB", ElementFamily::PostTransitionMetal },
    { 83, "Bi", "BUTTON_BI", ElementFamily::PostTransitionMetal },
    { 84, "Po", "BUTTON_PO", ElementFamily::PostTransitionMetal },
    { 85, "At", "BUTTON_AT", ElementFamily::Halogen },
    { 86, "Rn", "BUTTON_RN", ElementFamily::NobleGas },
    { 87, "Fr", "BUTTON_FR", ElementFamily::AlkaliMetal },
    { 88, "Ra", "BUTTON_RA", ElementFamily::AlkalineEarthMetal },
    { 89, "Ac", "BUTTON_AC", ElementFamily::Actinide },
    { 90, "Th", "BUTTON_TH", ElementFamily::Actinide },
    { 91, "Pa", "BUTTON_PA", ElementFamily::Actinide },
    { 92, "U", "BUTTON_U", ElementFamily::Actinide },
    { 93, "Np", "BUTTON_NP", ElementFamily::Actinide },
    { 94, "Pu", "BUTTON_PU", ElementFamily::Actinide },
    { 95, "Am", "BUTTON_AM", ElementFamily::Actinide },
    { 96, "Cm", "BUTTON_CM", ElementFamily::Actinide },
    { 97, "Bk", "BUTTON_BK", ElementFamily::Actinide },
    { 98, "Cf", "BUTTON_CF", ElementFamily::Actinide },
    { 99, "Es", "BUTTON_ES", ElementFamily::Actinide },
    { 100, "Fm", "BUTTON_FM", ElementFamily::Actinide },
    { 101, "Md", "BUTTON_MD", ElementFamily::Actinide },
    { 102, "No", "BUTTON_NO", ElementFamily::Actinide },
    { 103, "Lr", "BUTTON_LR", ElementFamily::Actinide },
    { 104, "Rf", "BUTTON_UNQ", ElementFamily::TransitionMetal },
    { 105, "Db", "BUTTON_UNP", ElementFamily::TransitionMetal },
    { 106, "Sg", "BUTTON_UNH", ElementFamily::TransitionMetal },
    { 107, "Bh", "BUTTON_UNS", ElementFamily::TransitionMetal },
    { 108, "Hs", "BUTTON_UNO", ElementFamily::TransitionMetal },
    { 109, "Mt", "BUTTON_UNE", ElementFamily::TransitionMetal },
    { 110, "Ds", "BUTTON_UUN", ElementFamily::TransitionMetal },
    { 111, "Rg", "BUTTON_UUU", ElementFamily::TransitionMetal },
    { 112, "Cn", "BUTTON_UUB", ElementFamily::TransitionMetal },
    { 113, "Nh", "BUTTON_UUT", ElementFamily::PostTransitionMetal },
    { 114, "Fl", "BUTTON_UUQ", ElementFamily::PostTransitionMetal },
    { 115, "Mc", "BUTTON_UUP", ElementFamily::PostTransitionMetal },
    { 116, "Lv", "BUTTON_UUH", ElementFamily::PostTransitionMetal },
    { 117, "Ts", "BUTTON_UUS", ElementFamily::Halogen },
    { 118, "Og", "BUTTON_UUO", ElementFamily::NobleGas },
} };

std::array<ElementCell, kElementCount> MakeCells()
{
    const std::span<const SkinHotArea> areas = BuiltinHotAreas();
    std::array<ElementCell, kElementCount> cells {};
    for (std::size_t i = 0; i < kElements.size(); ++i) {
        const ElementEntry& entry = kElements[i];
        ElementCell& cell = cells[i];
        cell.number = entry.number;
        cell.symbol = entry.symbol;
        cell.hotArea = entry.hotArea;
        cell.family = entry.family;
        // A name missing from the list leaves an empty rectangle, which the
        // tests report.
        for (const SkinHotArea& area : areas) {
            if (area.name == entry.hotArea) {
                cell.rect = area.rect;
                break;
            }
        }
    }
    return cells;
}

} // namespace

std::span<const ElementCell> ElementCells()
{
    static const std::array<ElementCell, kElementCount> cells = MakeCells();
    return cells;
}

int ElementNumberOfHotArea(std::string_view name)
{
    for (const ElementEntry& entry : kElements) {
        if (entry.hotArea == name)
            return entry.number;
    }
    return 0;
}

} // namespace orbita
