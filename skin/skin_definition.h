#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbita {

class TBigIniFile;

// The skin definition: a sectioned text with the sections BITMAPINFO,
// HOTAREAINFO, DISPLAYINFO and TRACKBARINFO. Text is Windows-1250 bytes.
// Qt-free, so that parsing and hit-testing are tested and fuzzed directly.

// Table sizes. A larger Count is cut to these. Hot areas hold the 128 areas
// of the classic table plus the appended cell of element 117.
inline constexpr int kMaxSkinHotAreas = 129;
inline constexpr int kMaxSkinTextAreas = 64;
inline constexpr int kMaxSkinSliders = 16;

// Splits a definition value into fields: leading characters 1..32 are
// skipped; a field starting with a double quote is a quoted text (a doubled
// quote stands for one, an unclosed quote runs to the end); any other field
// runs up to the next comma or character below a blank, so blanks inside a
// field and before its comma belong to it. After a field characters 1..32 are
// skipped, and a comma is consumed with the characters 1..32 after it. A NUL
// byte ends the text. "a, ,b" gives "a", "" and "b"; a trailing comma adds no
// field.
std::vector<std::string> SplitFields(std::string_view text);

// A definition number: optional sign, then decimal digits or "$" and one to
// eight hexadecimal digits (taken as a 32-bit pattern). Nothing else, not even
// a trailing blank; nothing when the text is not such a number or overflows.
std::optional<std::int32_t> ParseSkinNumber(std::string_view field);

// A rectangle in window pixels; coordinates as the definition gives them.
struct SkinBox {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;

    // left <= x < left + width and top <= y < top + height, computed without
    // overflow for any field values.
    bool Contains(std::int32_t x, std::int32_t y) const;
};

// One hot area: a named rectangle that reacts to the mouse.
struct SkinHotAreaDef {
    std::string name; // reported as the ID
    SkinBox box;
    bool toggle = false; // keeps a held-down state (six or more fields)
    bool down = false; // the held-down state the definition starts with
    std::string group; // radio group (exactly seven fields), or empty
};

// One text area.
struct SkinTextAreaDef {
    std::string name; // e.g. "TIMETEXT"
    std::string fontName;
    bool bold = false; // only the exact text "TRUE" turns these on
    bool italic = false;
    std::int32_t size = 0; // points
    std::int32_t color = 0; // 00BBGGRR
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::string kind; // "Number", "Text", or anything else (drawn with the font)
    std::string text; // initial text, set only by a line of exactly ten fields
};

// One slider.
struct SkinSliderDef {
    std::string name;
    std::string thumbFile; // the thumb at rest
    std::string activeThumbFile; // the thumb while it is dragged
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t length = 0;
    bool horizontal = true; // false only for the axis "V"
    std::int32_t position = 0; // per cent, 0..100 (limited to that range)
};

// BITMAPINFO: picture names relative to the definition's folder.
struct SkinPictureNames {
    bool loadPictures = false; // false when MaskBitmap is missing or empty: the pictures held stay
    std::string mask; // default "ERROR"
    std::string normal; // default: the mask's name
    std::string pressed; // default: the normal picture's name
    std::string hover; // default: the pressed picture's name
    std::string digits; // empty: not loaded
    std::string letters; // empty: not loaded
    bool hoverEnabled = true; // off when the hover name equals the pressed name
};

struct SkinDefinition {
    SkinPictureNames pictures;
    std::int32_t charset = 1;
    std::vector<SkinHotAreaDef> hotAreas;
    std::vector<SkinTextAreaDef> textAreas;
    std::vector<SkinSliderDef> sliders;
};

// The outcome of reading a definition. On failure `error` names the section,
// the line and the cause (Polish, for the user) and `definition` is empty.
struct SkinDefinitionResult {
    std::optional<SkinDefinition> definition;
    std::string error;
};

// Reads the four sections. Each Count (default 0, negative read as 0) is cut
// to its table size; a missing numbered line reads as its section's default
// line. A line with fewer fields than its section needs, or a field that is
// not a number where one is needed, fails the whole read.
SkinDefinitionResult ReadSkinDefinition(TBigIniFile& ini);

// Every picture file the definition names, in the order they are loaded
// (mask, normal, pressed, hover, digits, letters, then each slider's two
// thumbs), without repeats; empty when the definition loads no pictures.
std::vector<std::string> SkinPictureFiles(const SkinDefinition& definition);

// True for a picture or member name that may become a path inside the skin's
// folder: not empty, at most 255 bytes, no control characters, not absolute,
// no drive letter, at most one folder level ("/" or "\" as separator), and
// no empty, "." or ".." part.
bool IsSafeSkinFileName(std::string_view name);

// The three characters after the first "." of the file-name part, upper-cased
// ("" when there is no "."). A picture whose extension is "GIF" is refused.
std::string SkinPictureExtension(std::string_view path);

// The index (from 0) of the first hot area that contains the point, or -1.
int HitHotArea(const std::vector<SkinHotAreaDef>& areas, std::int32_t x, std::int32_t y);

// A glyph cell: column and row in a glyph picture.
struct SkinGlyphCell {
    int column = 0;
    int row = 0;
};
// The digits strip has 11 cells "0123456789 " in one row; any other character
// draws cell 0.
inline constexpr int kDigitCells = 11;
SkinGlyphCell DigitCell(char32_t character);
// The letters sheet has 30 cells in 3 rows: capitals and "@\"?*", then
// "0123456789 .:<>-'!_+\/[]^&%,=$", then small letters. A character is looked
// up row by row; one found nowhere draws the blank (row 1, cell 10).
inline constexpr int kLetterColumns = 30;
inline constexpr int kLetterRows = 3;
SkinGlyphCell LetterCell(char32_t character);

} // namespace orbita
