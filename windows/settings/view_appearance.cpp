#include "windows/settings/view_appearance.h"

#include "core/registry.h"

#include <optional>

namespace orbita {
namespace {

ViewAppearance scheme(AppearanceColor background, std::string_view font, AppearanceColor text,
    AppearanceColor link, std::string_view preFont)
{
    return ViewAppearance { background, text, link, 10, std::string(font), std::string(preFont) };
}

std::string placementKey()
{
    return "Software\\Orbita\\" + CurrentUserName() + "\\Placement";
}

std::string valueName(std::string_view prefix, std::string_view suffix)
{
    return std::string(prefix) + std::string(suffix);
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

ViewAppearance ReadViewAppearance(std::string_view prefix, const ViewAppearance& current)
{
    const std::string key = placementKey();
    const std::optional<RegValue> background
        = ReadRegValue(Hive::CurrentUser, key, valueName(prefix, "BackgroundColor"));
    if (!background)
        return current;
    ViewAppearance result = current;
    result.background = static_cast<AppearanceColor>(
        ReadRegInteger(Hive::CurrentUser, key, valueName(prefix, "BackgroundColor")));
    result.fontColor = static_cast<AppearanceColor>(
        ReadRegInteger(Hive::CurrentUser, key, valueName(prefix, "FontColor")));
    result.linkColor = static_cast<AppearanceColor>(
        ReadRegInteger(Hive::CurrentUser, key, valueName(prefix, "LinkColor")));
    result.fontSize = ReadRegInteger(Hive::CurrentUser, key, valueName(prefix, "FontSize"));
    result.fontName = ReadRegString(Hive::CurrentUser, key, valueName(prefix, "FontName"));
    result.preFontName = result.fontName;
    return result;
}

void WriteViewAppearance(std::string_view prefix, const ViewAppearance& appearance)
{
    const std::string key = placementKey();
    WriteRegInteger(Hive::CurrentUser, key, valueName(prefix, "BackgroundColor"),
        static_cast<std::int32_t>(appearance.background));
    WriteRegInteger(Hive::CurrentUser, key, valueName(prefix, "FontColor"),
        static_cast<std::int32_t>(appearance.fontColor));
    WriteRegInteger(Hive::CurrentUser, key, valueName(prefix, "LinkColor"),
        static_cast<std::int32_t>(appearance.linkColor));
    WriteRegInteger(Hive::CurrentUser, key, valueName(prefix, "FontSize"), appearance.fontSize);
    WriteRegString(Hive::CurrentUser, key, valueName(prefix, "FontName"), appearance.fontName);
}

} // namespace orbita
