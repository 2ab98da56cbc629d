#pragma once

namespace orbita {

class TSkinForm;

// Chooses the skin the way the main window does when it is created: the skin
// package named by the current account's SkinFile when its UseSkin is on and
// the package file exists in the folder KARNACJE of the per-user data folder
// or of the program folder, else the built-in skin. A package that cannot be
// used falls back to the built-in skin too. Gives true when the package is in
// use.
bool LoadConfiguredSkin(TSkinForm& skin);

} // namespace orbita
