#pragma once

#include <string>
#include <string_view>

namespace orbita {

// The version compiled into an executable (see core/version_marker.h):
// "major.minor.release.build", each part decimal. The file is scanned in
// chunks for "ORBITA-FILEVERSION:" followed by four dot-separated numbers of
// 1 to 5 digits (each at most 65535) not followed by another digit; the first
// such occurrence counts; only the first 64 MiB of a regular file are read
// (a device or FIFO is refused without reading). Gives "—" (U+2014 in UTF-8)
// when the file is missing or unreadable or holds no such marker. Never
// throws.
std::string FileVersionText(const std::string& executablePath);

// The same, telling an unreadable file apart: `readable` false with the
// reason in `problem` (Polish, see FileProblemText), or `version` empty
// for a readable file without a marker.
struct FileVersionResult {
    bool readable = false;
    std::string version;
    std::string problem;
};
FileVersionResult ReadFileVersion(const std::string& path);

// The same search over bytes already in memory ("" when there is none).
std::string FindFileVersion(std::string_view bytes);

} // namespace orbita
