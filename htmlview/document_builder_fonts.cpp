// Builder rules for fonts: the font stack (TT, FONT, BIG, headings ...), the
// resolved font of new content, and the document colours of BODY.

#include "htmlview/document_builder_state.h"

namespace orbita::html::builder_detail {

void DocumentBuilder::pushFont(const FontState& font)
{
    const bool room = m_fonts.size() < kMaxFontStack;
    if (room)
        m_fonts.push_back(font);
    m_fontMarks.push_back(room);
}

// The end tag of a font element: pops the font its start tag pushed, if any.
void DocumentBuilder::popFont()
{
    if (m_fontMarks.size() <= markFloor())
        return;
    const bool pushed = m_fontMarks.back();
    m_fontMarks.pop_back();
    if (pushed && m_fonts.size() > 1)
        m_fonts.pop_back();
}

// FONT and BASEFONT: SIZE (1 to 7, or relative to the base size), COLOR,
// FACE (first of a list). Gives whether any of them was usable.
bool DocumentBuilder::applyFontAttributes(FontState& font, const AttributeList& attributes, bool setsBase)
{
    bool used = false;
    if (const Attribute* size = GetAttribute(attributes, AttributeId::Size);
        size && size->form != ValueForm::None && IsInteger(size->text)) {
        const bool relative = size->text.front() == '+' || size->text.front() == '-';
        const int html = std::clamp(relative ? m_baseSize + size->number : size->number, 1, 7);
        font.htmlSize = html;
        font.points = PointsForSize(html);
        if (setsBase)
            m_baseSize = html;
        used = true;
    }
    if (const std::optional<Rgb> colour = ParseColour(TextOf(attributes, AttributeId::Color))) {
        font.colour = *colour;
        used = true;
    }
    const std::string faces = TextOf(attributes, AttributeId::Face);
    const std::string face = Trim(std::string_view(faces).substr(0, faces.find(',')));
    if (!face.empty()) {
        font.face = face;
        used = true;
    }
    return used;
}

// The resolved font of new content. Link text is underlined in the link colour.
FontId DocumentBuilder::currentFont(bool inLink)
{
    const FontState& state = m_fonts.back();
    Font font;
    font.face = state.face;
    font.points = state.points;
    font.bold = state.bold || m_flags.bold;
    font.italic = m_flags.italic;
    font.underline = m_flags.underline || inLink;
    font.strikeout = m_flags.strikeout;
    font.colour = inLink ? m_doc.linkColour.value_or(m_options.hotSpotColour) : state.colour;
    font.position = m_flags.position;
    if (m_lastFontId != kNone && m_doc.fonts[m_lastFontId] == font)
        return m_lastFontId;
    std::string key = font.face;
    key += '\0';
    key += std::to_string(font.points) + ',' + std::to_string(font.colour) + ','
        + std::to_string(int(font.bold) | int(font.italic) << 1 | int(font.underline) << 2
            | int(font.strikeout) << 3 | int(font.position) << 4);
    const auto [found, added]
        = m_fontIds.try_emplace(std::move(key), static_cast<FontId>(m_doc.fonts.size()));
    if (added)
        m_doc.fonts.push_back(std::move(font));
    m_lastFontId = found->second;
    return m_lastFontId;
}

void DocumentBuilder::applyBody(const AttributeList& attributes)
{
    if (const std::optional<Rgb> text = ParseColour(TextOf(attributes, AttributeId::Text))) {
        m_doc.textColour = *text;
        m_fonts.back().colour = *text;
    }
    if (const std::optional<Rgb> link = ParseColour(TextOf(attributes, AttributeId::Link)))
        m_doc.linkColour = *link;
    if (const std::optional<Rgb> background = ParseColour(TextOf(attributes, AttributeId::Bgcolor)))
        m_doc.backgroundColour = *background;
    if (const Attribute* picture = GetAttribute(attributes, AttributeId::Background))
        m_doc.backgroundImage = picture->text;
}

} // namespace orbita::html::builder_detail
