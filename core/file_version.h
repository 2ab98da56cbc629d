#pragma once

#include <string>
#include <string_view>

namespace orbita {

// The version compiled into an executable (see core/version_marker.h):
// "major.minor.release.build", each part decimal. The file is scanned in
// chunks for "ORBITA-FILEVERSION:" followed by four dot-separated numbers of
// 1 to 5 digits (each at most 65535) not followed by another digit; the first
// such occurrence counts. Gives "—" (U+2014 in UTF-8) when the file is missing
// or unreadable or holds no such marker. Never throws.
std::string FileVersionText(const std::string& executablePath);

// The same search over bytes already in memory ("" when there is none).
std::string FindFileVersion(std::string_view bytes);

} // namespace orbita
