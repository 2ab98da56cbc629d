#include "skin/skin_definition.h"

#include "core/text_helpers.h"
#include "data/big_ini_file.h"

#include <algorithm>
#include <array>
#include <limits>

namespace orbita {
namespace {

bool isSkippable(unsigned char c)
{
    return c >= 1 && c <= 32;
}

constexpr std::string_view kHotAreaDefault = "NOT_DEFINED, 0, 0, 0, 0";
constexpr std::string_view kTextAreaDefault = "NOT_DEFINED, Arial, FALSE, FALSE, 0, $000000, 0, 0";
constexpr std::string_view kSliderDefault = "NOT_DEFINED, NOT_DEFINED, NOT_DEFINED, 0, 0, 0, H";

constexpr std::string_view kLetterRowsText[kLetterRows] = {
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ@\"?*",
    "0123456789 .:<>-'!_+\\/[]^&%,=$",
    "abcdefghijklmnopqrstuvwxyz",
};
constexpr std::string_view kDigitsText = "0123456789 ";

// Reads one numbered line of a section and splits it; fails when it has
// fewer than `needed` fields.
class LineReader {
public:
    LineReader(TBigIniFile& ini, std::string_view section, std::string& error)
        : m_ini(ini)
        , m_section(section)
        , m_error(error)
    {
    }

    int count(int limit)
    {
        const std::int32_t count = m_ini.ReadInteger(m_section, "Count", 0);
        return std::clamp<std::int32_t>(count, 0, limit);
    }

    bool read(int number, std::string_view defaultLine, std::size_t needed)
    {
        m_number = number;
        m_fields = SplitFields(m_ini.ReadString(m_section, std::to_string(number), defaultLine));
        if (m_fields.size() < needed)
            return fail(
                "ma za mało pól (" + std::to_string(m_fields.size()) + " z " + std::to_string(needed) + ")");
        return true;
    }

    const std::vector<std::string>& fields() const { return m_fields; }

    bool number(std::size_t index, std::int32_t& value)
    {
        const std::optional<std::int32_t> parsed = ParseSkinNumber(m_fields[index]);
        if (!parsed)
            return fail("pole " + std::to_string(index + 1) + " \"" + m_fields[index] + "\" nie jest liczbą");
        value = *parsed;
        return true;
    }

private:
    bool fail(const std::string& cause)
    {
        m_error = "Definicja karnacji: wiersz " + std::to_string(m_number) + " sekcji "
            + std::string(m_section) + " " + cause;
        return false;
    }

    TBigIniFile& m_ini;
    std::string_view m_section;
    std::string& m_error;
    std::vector<std::string> m_fields;
    int m_number = 0;
};

bool readPictureNames(TBigIniFile& ini, SkinPictureNames& names)
{
    constexpr std::string_view section = "BITMAPINFO";
    names.loadPictures = !ini.ReadString(section, "MaskBitmap", "").empty();
    names.mask = ini.ReadString(section, "MaskBitmap", "ERROR");
    names.normal = ini.ReadString(section, "MouseUpBitmap", names.mask);
    names.pressed = ini.ReadString(section, "MouseDownBitmap", names.normal);
    names.hover = ini.ReadString(section, "MouseOnBitmap", names.pressed);
    names.digits = ini.ReadString(section, "NumbersBitmap", "");
    names.letters = ini.ReadString(section, "TextBitmap", "");
    names.hoverEnabled = names.hover != names.pressed;
    return true;
}

bool readHotAreas(TBigIniFile& ini, std::vector<SkinHotAreaDef>& areas, std::string& error)
{
    LineReader reader(ini, "HOTAREAINFO", error);
    const int count = reader.count(kMaxSkinHotAreas);
    for (int i = 1; i <= count; ++i) {
        if (!reader.read(i, kHotAreaDefault, 5))
            return false;
        const std::vector<std::string>& fields = reader.fields();
        SkinHotAreaDef area;
        area.name = fields[0];
        if (!reader.number(1, area.box.left) || !reader.number(2, area.box.top)
            || !reader.number(3, area.box.width) || !reader.number(4, area.box.height))
            return false;
        if (fields.size() >= 6) {
            area.toggle = true;
            area.down = fields[5] != "FALSE";
        }
        if (fields.size() == 7)
            area.group = fields[6];
        areas.push_back(std::move(area));
    }
    return true;
}

bool readTextAreas(TBigIniFile& ini, SkinDefinition& definition, std::string& error)
{
    definition.charset = ini.ReadInteger("DISPLAYINFO", "Charset", 1);
    LineReader reader(ini, "DISPLAYINFO", error);
    const int count = reader.count(kMaxSkinTextAreas);
    for (int i = 1; i <= count; ++i) {
        if (!reader.read(i, kTextAreaDefault, 8))
            return false;
        const std::vector<std::string>& fields = reader.fields();
        SkinTextAreaDef area;
        area.name = fields[0];
        area.fontName = fields[1];
        area.bold = fields[2] == "TRUE";
        area.italic = fields[3] == "TRUE";
        if (!reader.number(4, area.size) || !reader.number(5, area.color) || !reader.number(6, area.left)
            || !reader.number(7, area.top))
            return false;
        if (fields.size() > 8)
            area.kind = fields[8];
        if (fields.size() == 10)
            area.text = fields[9];
        definition.textAreas.push_back(std::move(area));
    }
    return true;
}

bool readSliders(TBigIniFile& ini, std::vector<SkinSliderDef>& sliders, std::string& error)
{
    LineReader reader(ini, "TRACKBARINFO", error);
    const int count = reader.count(kMaxSkinSliders);
    for (int i = 1; i <= count; ++i) {
        if (!reader.read(i, kSliderDefault, 7))
            return false;
        const std::vector<std::string>& fields = reader.fields();
        SkinSliderDef slider;
        slider.name = fields[0];
        slider.thumbFile = fields[1];
        slider.activeThumbFile = fields[2];
        if (!reader.number(3, slider.left) || !reader.number(4, slider.top)
            || !reader.number(5, slider.length))
            return false;
        slider.horizontal = fields[6] != "V";
        if (fields.size() == 8) {
            if (!reader.number(7, slider.position))
                return false;
            slider.position = std::clamp<std::int32_t>(slider.position, 0, 100);
        }
        sliders.push_back(std::move(slider));
    }
    return true;
}

} // namespace

std::vector<std::string> SplitFields(std::string_view text)
{
    if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos)
        text = text.substr(0, nul);
    std::vector<std::string> fields;
    std::size_t p = 0;
    const std::size_t end = text.size();
    auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    while (p < end && isSkippable(at(p)))
        ++p;
    while (p < end) {
        std::string field;
        if (text[p] == '"') {
            ++p;
            while (p < end) {
                if (text[p] == '"') {
                    if (p + 1 < end && text[p + 1] == '"') {
                        field += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                field += text[p++];
            }
        } else {
            const std::size_t start = p;
            while (p < end && at(p) >= ' ' && text[p] != ',')
                ++p;
            field.assign(text.substr(start, p - start));
        }
        fields.push_back(std::move(field));
        while (p < end && isSkippable(at(p)))
            ++p;
        if (p < end && text[p] == ',') {
            ++p;
            while (p < end && isSkippable(at(p)))
                ++p;
        }
    }
    return fields;
}

std::optional<std::int32_t> ParseSkinNumber(std::string_view field)
{
    bool negative = false;
    if (!field.empty() && (field.front() == '+' || field.front() == '-')) {
        negative = field.front() == '-';
        field.remove_prefix(1);
    }
    if (field.empty())
        return std::nullopt;
    std::int64_t value = 0;
    if (field.front() == '$') {
        field.remove_prefix(1);
        if (field.empty() || field.size() > 8)
            return std::nullopt;
        const std::optional<std::uint32_t> digits = ParseHex(field);
        if (!digits)
            return std::nullopt;
        std::uint32_t pattern = *digits;
        if (negative)
            pattern = 0u - pattern;
        return static_cast<std::int32_t>(pattern);
    }
    for (char c : field) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > std::int64_t { std::numeric_limits<std::int32_t>::max() } + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<std::int32_t>::max() || value < std::numeric_limits<std::int32_t>::min())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

bool SkinBox::Contains(std::int32_t x, std::int32_t y) const
{
    const std::int64_t px = x;
    const std::int64_t py = y;
    return px >= left && px < std::int64_t { left } + width && py >= top
        && py < std::int64_t { top } + height;
}

SkinDefinitionResult ReadSkinDefinition(TBigIniFile& ini)
{
    SkinDefinitionResult result;
    SkinDefinition definition;
    readPictureNames(ini, definition.pictures);
    if (!readHotAreas(ini, definition.hotAreas, result.error) || !readTextAreas(ini, definition, result.error)
        || !readSliders(ini, definition.sliders, result.error))
        return result;
    result.definition = std::move(definition);
    return result;
}

std::vector<std::string> SkinPictureFiles(const SkinDefinition& definition)
{
    std::vector<std::string> files;
    if (!definition.pictures.loadPictures)
        return files;
    auto add = [&files](const std::string& name) {
        if (!name.empty() && std::find(files.begin(), files.end(), name) == files.end())
            files.push_back(name);
    };
    const SkinPictureNames& names = definition.pictures;
    for (const std::string* name :
        { &names.mask, &names.normal, &names.pressed, &names.hover, &names.digits, &names.letters })
        add(*name);
    for (const SkinSliderDef& slider : definition.sliders) {
        add(slider.thumbFile);
        add(slider.activeThumbFile);
    }
    return files;
}

bool IsSafeSkinFileName(std::string_view name)
{
    if (name.empty() || name.size() > 255)
        return false;
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == ':')
            return false;
    }
    int parts = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t separator = name.find_first_of("/\\", start);
        const std::string_view part = name.substr(
            start, separator == std::string_view::npos ? std::string_view::npos : separator - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        if (++parts > 2)
            return false;
        if (separator == std::string_view::npos)
            return true;
        start = separator + 1;
    }
}

std::string SkinPictureExtension(std::string_view path)
{
    const std::size_t slash = path.find_last_of("/\\");
    const std::string_view fileName = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = fileName.find('.');
    if (dot == std::string_view::npos)
        return {};
    std::string extension(fileName.substr(dot + 1, 3));
    for (char& c : extension)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return extension;
}

int HitHotArea(const std::vector<SkinHotAreaDef>& areas, std::int32_t x, std::int32_t y)
{
    for (std::size_t i = 0; i < areas.size(); ++i)
        if (areas[i].box.Contains(x, y))
            return static_cast<int>(i);
    return -1;
}

SkinGlyphCell DigitCell(char32_t character)
{
    if (character < 0x80) {
        const std::size_t at = kDigitsText.find(static_cast<char>(character));
        if (at != std::string_view::npos)
            return { static_cast<int>(at), 0 };
    }
    return { 0, 0 };
}

SkinGlyphCell LetterCell(char32_t character)
{
    if (character != 0 && character < 0x80) {
        for (int row = 0; row < kLetterRows; ++row) {
            const std::size_t at = kLetterRowsText[row].find(static_cast<char>(character));
            if (at != std::string_view::npos)
                return { static_cast<int>(at), row };
        }
    }
    return { 10, 1 };
}

} // namespace orbita
