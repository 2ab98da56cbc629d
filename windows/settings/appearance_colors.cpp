#include "windows/settings/appearance_colors.h"

#include "htmlview/html_view_widget.h"
#include "platform/qt_text.h"

#include <QGuiApplication>
#include <QPalette>

namespace orbita {

QColor ToQColor(AppearanceColor color)
{
    if (color & 0x80000000u) {
        const QPalette palette = QGuiApplication::palette();
        switch (color & 0xFFu) {
        case 2: // active caption
            return QColor(0x1F, 0x3A, 0x6E);
        case 5: // window
            return palette.color(QPalette::Base);
        case 8: // window text
            return palette.color(QPalette::Text);
        case 15: // button face
            return palette.color(QPalette::Button);
        case 18: // button text
            return palette.color(QPalette::ButtonText);
        default:
            return palette.color(QPalette::WindowText);
        }
    }
    return QColor(int(color & 0xFFu), int((color >> 8) & 0xFFu), int((color >> 16) & 0xFFu));
}

AppearanceColor FromQColor(const QColor& color)
{
    return RgbColor(static_cast<std::uint8_t>(color.red()), static_cast<std::uint8_t>(color.green()),
        static_cast<std::uint8_t>(color.blue()));
}

ViewAppearance ResolvedForView(const ViewAppearance& appearance)
{
    ViewAppearance resolved = appearance;
    for (AppearanceColor* color : { &resolved.background, &resolved.fontColor, &resolved.linkColor })
        *color = FromQColor(ToQColor(*color));
    return resolved;
}

ViewAppearance AppearanceOf(const ThtmlLite& view)
{
    return ViewAppearance { view.DefBackground(), view.DefFontColor(), view.DefHotSpotColor(),
        view.DefFontSize(), ToCp1250(view.DefFontName()), ToCp1250(view.DefPreFontName()) };
}

void ApplyAppearance(ThtmlLite& view, const ViewAppearance& given)
{
    const ViewAppearance appearance = ResolvedForView(given);
    view.SetDefBackground(appearance.background);
    view.SetDefFontColor(appearance.fontColor);
    view.SetDefHotSpotColor(appearance.linkColor);
    view.SetDefFontSize(appearance.fontSize);
    view.SetDefFontName(FromCp1250(appearance.fontName));
    view.SetDefPreFontName(FromCp1250(appearance.preFontName));
    view.Refresh();
}

} // namespace orbita
