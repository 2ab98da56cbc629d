#pragma once

#include "htmlview/document.h"

#include <string>
#include <string_view>

namespace orbita::html {

// The view's default appearance, which the builder resolves fonts against.
struct BuildOptions {
    std::string fontName = "Times New Roman"; // body text and the bottom of the font stack
    std::string preFontName = "Courier New"; // PRE, TT, CODE, KBD, SAMP, TEXTAREA (10 points)
    int fontSize = 12; // points
    Rgb fontColour = 0x000000;
    Rgb hotSpotColour = 0x0000FF; // link colour when the page sets none
};

// Limits of the builder. The font stack limit is the view's own. The nesting
// limit keeps the layout and painting of hostile pages bounded: a list or
// table start tag that would open more than kMaxNesting lists and tables at
// once is dropped together with its end tag, and its content joins the
// innermost open list item or cell.
inline constexpr std::size_t kMaxFontStack = 25;
inline constexpr std::size_t kMaxNesting = 200;
// Adjacent text of the same font and link is joined into runs up to this
// many bytes; longer text (a very long word) continues in further runs.
inline constexpr std::size_t kMaxJoinedRun = 4096;

// Reads Windows-1250 page markup and builds its document. Never throws on
// bad markup and never recurses; the work and memory are proportional to the
// input. A parse error (a comment left open) is reported in
// Document::error, and the document then holds what was read before it.
Document BuildDocument(std::string_view markup, const BuildOptions& options = {});

} // namespace orbita::html
