#pragma once

#include <cstdint>
#include <string>

namespace orbita::update {

// The whole of an unpacked setup package may not exceed this.
inline constexpr std::uint64_t kMaxSetupBytes = 1024ULL * 1024 * 1024;

// Unpacks the setup package of a new version (a package archive holding a
// complete program folder) into `folder`, which must exist and be private to
// the user. Every member name is validated first (SafeMemberPath): one name
// that could leave the folder refuses the whole package before anything is
// written. The package must hold the program "orbita" at its top; it gets
// mode 0755, every other file 0644. Gives an empty text on success, else a
// Polish sentence saying what failed (naming the member).
std::string UnpackSetupPackage(const std::string& archivePath, const std::string& folder);

} // namespace orbita::update
