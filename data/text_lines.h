#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orbita {

// Splits decoded member bytes into text lines: at CR LF, at a lone CR and at a
// lone LF; a last line without a line end is a line too; a NUL byte ends the
// text. The bytes are kept as they are (Windows-1250, not converted).
std::vector<std::string> SplitTextLines(std::string_view bytes);

} // namespace orbita
