#pragma once

#include "htmlview/layout.h"

#include <vector>

namespace orbita::html {

// Where a laid-out page is cut into sheets `sheetHeight` page pixels tall:
// the top of every sheet, the first at 0; sheet i shows the page from its
// top to the next sheet's (the last to the page's height). A cut that would
// go through a line of text is moved up to the top of that line, and one
// through a picture that fits on a sheet to the top of the picture; only a
// line or picture taller than a sheet is cut, and where no such cut leaves
// the sheet at least half full (lines of cells beside each other with no gap
// between them in common), the cut in the sheet's lower half that goes
// through the fewest lines is taken. A sheet height below one pixel counts
// as one.
std::vector<int> PageBreaks(const PageLayout& layout, int sheetHeight);

} // namespace orbita::html
