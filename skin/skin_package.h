#pragma once

#include <string_view>

namespace orbita {

class TSkinForm;

// Chooses the skin the way the main window does when it is created: the skin
// package named by SkinFile (a string value of `accountKey` in the current
// user's hive) when UseSkin there is 1 and the package file exists in the
// folder KARNACJE of the program folder, else the built-in skin. A package
// that cannot be used falls back to the built-in skin too. Gives true when
// the package is in use.
bool LoadConfiguredSkin(TSkinForm& skin, std::string_view accountKey);

} // namespace orbita
