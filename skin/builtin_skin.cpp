#include "skin/builtin_skin.h"

#include <array>

namespace orbita {
namespace {

constexpr std::array<SkinHotArea, 129> kHotAreas { {
    { "BUTTON_HELP", { 510, 63, 90, 28 } },
    { "BUTTON_ABOUT", { 510, 204, 90, 28 } },
    { "BUTTON_UPDATE", { 510, 240, 90, 28 } },
    { "BUTTON_MINIMIZE", { 535, 5, 17, 20 } },
    { "BUTTON_QUICKQUIT", { 560, 5, 17, 20 } },
    { "BUTTON_H", { 44, 89, 26, 27 } },
    { "BUTTON_LI", { 44, 115, 26, 27 } },
    { "BUTTON_NA", { 44, 141, 26, 27 } },
    { "BUTTON_K", { 44, 167, 26, 27 } },
    { "BUTTON_RB", { 44, 193, 26, 27 } },
    { "BUTTON_CS", { 44, 219, 26, 27 } },
    { "BUTTON_FR", { 44, 245, 26, 27 } },
    { "BUTTON_BE", { 69, 115, 26, 27 } },
    { "BUTTON_MG", { 69, 141, 26, 27 } },
    { "BUTTON_CA", { 69, 167, 26, 27 } },
    { "BUTTON_SR", { 69, 193, 26, 27 } },
    { "BUTTON_BA", { 69, 219, 26, 27 } },
    { "BUTTON_RA", { 69, 245, 26, 27 } },
    { "BUTTON_SC", { 94, 167, 26, 27 } },
    { "BUTTON_Y", { 94, 193, 26, 27 } },
    { "BUTTON_LA", { 94, 219, 26, 27 } },
    { "BUTTON_AC", { 94, 245, 26, 27 } },
    { "BUTTON_TI", { 119, 167, 26, 27 } },
    { "BUTTON_ZR", { 119, 193, 26, 27 } },
    { "BUTTON_HF", { 119, 219, 26, 27 } },
    { "BUTTON_UNQ", { 119, 245, 26, 27 } },
    { "BUTTON_V", { 144, 167, 26, 27 } },
    { "BUTTON_NB", { 144, 193, 26, 27 } },
    { "BUTTON_TA", { 144, 219, 26, 27 } },
    { "BUTTON_UNP", { 144, 245, 26, 27 } },
    { "BUTTON_CR", { 169, 167, 26, 27 } },
    { "BUTTON_MO", { 169, 193, 26, 27 } },
    { "BUTTON_W", { 169, 219, 26, 27 } },
    { "BUTTON_UNH", { 169, 245, 26, 27 } },
    { "BUTTON_MN", { 194, 167, 26, 27 } },
    { "BUTTON_TC", { 194, 193, 26, 27 } },
    { "BUTTON_RE", { 194, 219, 26, 27 } },
    { "BUTTON_UNS", { 194, 245, 26, 27 } },
    { "BUTTON_FE", { 219, 167, 26, 27 } },
    { "BUTTON_RU", { 219, 193, 26, 27 } },
    { "BUTTON_OS", { 219, 219, 26, 27 } },
    { "BUTTON_UNO", { 219, 245, 26, 27 } },
    { "BUTTON_CO", { 244, 167, 26, 27 } },
    { "BUTTON_RH", { 244, 193, 26, 27 } },
    { "BUTTON_IR", { 244, 219, 26, 27 } },
    { "BUTTON_UNE", { 244, 245, 26, 27 } },
    { "BUTTON_NI", { 269, 167, 26, 27 } },
    { "BUTTON_PD", { 269, 193, 26, 27 } },
    { "BUTTON_PT", { 269, 219, 26, 27 } },
    { "BUTTON_CU", { 294, 167, 26, 27 } },
    { "BUTTON_AG", { 294, 193, 26, 27 } },
    { "BUTTON_AU", { 294, 219, 26, 27 } },
    { "BUTTON_ZN", { 319, 167, 26, 27 } },
    { "BUTTON_CD", { 319, 193, 26, 27 } },
    { "BUTTON_HG", { 319, 219, 26, 27 } },
    { "BUTTON_B", { 344, 115, 26, 27 } },
    { "BUTTON_AL", { 344, 141, 26, 27 } },
    { "BUTTON_GA", { 344, 167, 26, 27 } },
    { "BUTTON_IN", { 344, 193, 26, 27 } },
    { "BUTTON_TL", { 344, 219, 26, 27 } },
    { "BUTTON_C", { 369, 115, 26, 27 } },
    { "BUTTON_SI", { 369, 141, 26, 27 } },
    { "BUTTON_GE", { 369, 167, 26, 27 } },
    { "BUTTON_SN", { 369, 193, 26, 27 } },
    { "BUTTON_PB", { 369, 219, 26, 27 } },
    { "BUTTON_N", { 394, 115, 26, 27 } },
    { "BUTTON_P", { 394, 141, 26, 27 } },
    { "BUTTON_AS", { 394, 167, 26, 27 } },
    { "BUTTON_SB", { 394, 193, 26, 27 } },
    { "BUTTON_BI", { 394, 219, 26, 27 } },
    { "BUTTON_O", { 419, 115, 26, 27 } },
    { "BUTTON_S", { 419, 141, 26, 27 } },
    { "BUTTON_SE", { 419, 167, 26, 27 } },
    { "BUTTON_TE", { 419, 193, 26, 27 } },
    { "BUTTON_PO", { 419, 219, 26, 27 } },
    { "BUTTON_F", { 444, 115, 26, 27 } },
    { "BUTTON_CL", { 444, 141, 26, 27 } },
    { "BUTTON_BR", { 444, 167, 26, 27 } },
    { "BUTTON_J", { 444, 193, 26, 27 } },
    { "BUTTON_AT", { 444, 219, 26, 27 } },
    { "BUTTON_HE", { 469, 89, 26, 27 } },
    { "BUTTON_NE", { 469, 115, 26, 27 } },
    { "BUTTON_AR", { 469, 141, 26, 27 } },
    { "BUTTON_KR", { 469, 167, 26, 27 } },
    { "BUTTON_XE", { 469, 193, 26, 27 } },
    { "BUTTON_RN", { 469, 219, 26, 27 } },
    { "BUTTON_CE", { 44, 294, 26, 27 } },
    { "BUTTON_PR", { 69, 294, 26, 27 } },
    { "BUTTON_ND", { 94, 294, 26, 27 } },
    { "BUTTON_PM", { 119, 294, 26, 27 } },
    { "BUTTON_SM", { 144, 294, 26, 27 } },
    { "BUTTON_EU", { 169, 294, 26, 27 } },
    { "BUTTON_GD", { 194, 294, 26, 27 } },
    { "BUTTON_TB", { 219, 294, 26, 27 } },
    { "BUTTON_DY", { 244, 294, 26, 27 } },
    { "BUTTON_HO", { 269, 294, 26, 27 } },
    { "BUTTON_ER", { 294, 294, 26, 27 } },
    { "BUTTON_TM", { 319, 294, 26, 27 } },
    { "BUTTON_YB", { 344, 294, 26, 27 } },
    { "BUTTON_LU", { 369, 294, 26, 27 } },
    { "BUTTON_TH", { 44, 337, 26, 27 } },
    { "BUTTON_PA", { 69, 337, 26, 27 } },
    { "BUTTON_U", { 94, 337, 26, 27 } },
    { "BUTTON_NP", { 119, 337, 26, 27 } },
    { "BUTTON_PU", { 144, 337, 26, 27 } },
    { "BUTTON_AM", { 169, 337, 26, 27 } },
    { "BUTTON_CM", { 194, 337, 26, 27 } },
    { "BUTTON_BK", { 219, 337, 26, 27 } },
    { "BUTTON_CF", { 244, 337, 26, 27 } },
    { "BUTTON_ES", { 269, 337, 26, 27 } },
    { "BUTTON_FM", { 294, 337, 26, 27 } },
    { "BUTTON_MD", { 319, 337, 26, 27 } },
    { "BUTTON_NO", { 344, 337, 26, 27 } },
    { "BUTTON_LR", { 369, 337, 26, 27 } },
    { "BUTTON_SETUP", { 510, 135, 90, 28 } },
    { "BUTTON_SEARCH", { 510, 100, 90, 28 } },
    { "BUTTON_MENU", { 510, 5, 17, 20 } },
    { "BUTTON_UUN", { 269, 245, 26, 27 } },
    { "BUTTON_UUU", { 294, 245, 26, 27 } },
    { "BUTTON_UUB", { 319, 245, 26, 27 } },
    { "BUTTON_UTILS", { 510, 167, 90, 28 } },
    { "BUTTON_TOOLS", { 510, 276, 90, 28 } },
    { "BUTTON_UUT", { 344, 245, 26, 27 } },
    { "BUTTON_QUIT", { 510, 311, 90, 28 } },
    { "BUTTON_UUQ", { 369, 245, 26, 27 } },
    { "BUTTON_UUP", { 394, 245, 26, 27 } },
    { "BUTTON_UUH", { 419, 245, 26, 27 } },
    { "BUTTON_UUO", { 469, 245, 26, 27 } },
    // Appended so that element 117 has a cell too: between BUTTON_UUH (116)
    // and BUTTON_UUO (118) in the seventh period.
    { "BUTTON_UUS", { 444, 245, 26, 27 } },
} };

// The DISPLAYINFO lines carry the text space as their twelfth and thirteenth
// fields (90 x 19).
constexpr std::array<SkinTextArea, 2> kTextAreas { {
    { "TIMETEXT", 323, 12, 90, 19 },
    { "LOGOTEXT", 63, 12, 90, 19 },
} };

constexpr std::array<std::string_view, kBuiltinDisplayLineCount> kDisplayLines { {
    "Charset=1",
    "Count=2",
    "1=TIMETEXT, Tahoma, TRUE, FALSE, 8, 00000000, 323, 12, Normal, , , 90, 19",
    "2=LOGOTEXT, Tahoma, TRUE, FALSE, 8, 00000000, 63, 12, Normal, , , 90, 19",
} };

static_assert(kHotAreas.size() + 1 == kBuiltinHotAreaLineCount);

} // namespace

std::span<const SkinHotArea> BuiltinHotAreas()
{
    return kHotAreas;
}

std::span<const SkinTextArea> BuiltinTextAreas()
{
    return kTextAreas;
}

std::vector<std::string> BuiltinSkinLines()
{
    std::vector<std::string> lines;
    lines.reserve(kBuiltinHotAreaLineCount + kBuiltinDisplayLineCount);
    lines.push_back("Count=" + std::to_string(kHotAreas.size()));
    for (std::size_t i = 0; i < kHotAreas.size(); ++i) {
        const SkinHotArea& area = kHotAreas[i];
        lines.push_back(std::to_string(i + 1) + "=" + std::string(area.name) + ", "
            + std::to_string(area.rect.left) + ", " + std::to_string(area.rect.top) + ", "
            + std::to_string(area.rect.width) + ", " + std::to_string(area.rect.height));
    }
    for (std::string_view line : kDisplayLines)
        lines.emplace_back(line);
    return lines;
}

std::string BuiltinSkinDefinitionText()
{
    const std::vector<std::string> lines = BuiltinSkinLines();
    std::string text = "[HOTAREAINFO]\r\n";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i == kBuiltinHotAreaLineCount)
            text += "\r\n[DISPLAYINFO]\r\n";
        text += lines[i];
        text += "\r\n";
    }
    return text;
}

} // namespace orbita
