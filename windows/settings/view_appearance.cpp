#include "windows/settings/view_appearance.h"

#include "core/settings.h"

#include <optional>

namespace orbita {
namespace {

ViewAppearance scheme(AppearanceColor background, std::string_view font, AppearanceColor text,
    AppearanceColor link, std::string_view preFont)
{
    return ViewAppearance { background, text, link, 10, std::string(font), std::string(preFont) };
}

} // namespace

ViewAppearance DefaultViewAppearance()
{
    return ViewAppearance {};
}

const std::array<AppearanceScheme, 10> kAppearanceSchemes = { {
    { "Domyślny", DefaultViewAppearance() },
    { "Norton",
        scheme(RgbColor(0, 0, 168), "Tahoma", RgbColor(84, 252, 252), RgbColor(252, 252, 84), "Tahoma") },
    { "Tablica",
        scheme(RgbColor(0, 0, 0), "Tahoma", RgbColor(168, 168, 168), RgbColor(255, 255, 255), "Tahoma") },
    { "Fiołki",
        scheme(RgbColor(128, 0, 255), "Verdana", RgbColor(0, 255, 255), RgbColor(255, 255, 255), "Tahoma") },
    { "Wiosna", scheme(RgbColor(182, 234, 111), "Arial", RgbColor(0, 0, 0), RgbColor(0, 128, 0), "Arial") },
    { "Niebieski",
        scheme(
            RgbColor(58, 110, 165), "Verdana", RgbColor(255, 255, 255), RgbColor(255, 255, 0), "Verdana") },
    { "Zielony",
        scheme(RgbColor(0, 128, 0), "Lucida Console", RgbColor(255, 255, 0), RgbColor(0, 255, 0),
            "Lucida Console") },
    { "Purpurowy",
        scheme(RgbColor(128, 0, 128), "System", RgbColor(255, 255, 0), RgbColor(255, 255, 255), "System") },
    { "Klasyczny",
        scheme(RgbColor(255, 255, 255), "MS Sans Serif", RgbColor(0, 0, 0), RgbColor(0, 0, 255),
            "MS Sans Serif") },
    { "Błękitny",
        scheme(RgbColor(133, 194, 231), "System", RgbColor(0, 0, 255), RgbColor(255, 255, 255), "System") },
} };

ViewAppearance ReadViewAppearance(Viewer viewer, const ViewAppearance& current)
{
    if (!IsViewerValueStored(viewer, ViewerValue::BackgroundColor))
        return current;
    ViewAppearance result = current;
    result.background = static_cast<AppearanceColor>(ReadViewerInteger(viewer, ViewerValue::BackgroundColor));
    result.fontColor = static_cast<AppearanceColor>(ReadViewerInteger(viewer, ViewerValue::FontColor));
    result.linkColor = static_cast<AppearanceColor>(ReadViewerInteger(viewer, ViewerValue::LinkColor));
    result.fontSize = ReadViewerInteger(viewer, ViewerValue::FontSize);
    result.fontName = ReadViewerFontName(viewer);
    result.preFontName = result.fontName;
    return result;
}

void WriteViewAppearance(Viewer viewer, const ViewAppearance& appearance)
{
    WriteViewerInteger(
        viewer, ViewerValue::BackgroundColor, static_cast<std::int32_t>(appearance.background));
    WriteViewerInteger(viewer, ViewerValue::FontColor, static_cast<std::int32_t>(appearance.fontColor));
    WriteViewerInteger(viewer, ViewerValue::LinkColor, static_cast<std::int32_t>(appearance.linkColor));
    WriteViewerInteger(viewer, ViewerValue::FontSize, appearance.fontSize);
    WriteViewerFontName(viewer, appearance.fontName);
}

} // namespace orbita
