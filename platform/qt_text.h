#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace orbita {

// UTF-8 text (the program's own strings, messages, paths) to QString: the
// one conversion of UTF-8 bytes at the widget boundary.
QString FromUtf8(std::string_view text);

// The widget boundary: Windows-1250 bytes to QString and back. Characters that
// Windows-1250 cannot hold become "?".
QString FromCp1250(std::string_view text);
std::string ToCp1250(const QString& text);

// File-system paths are UTF-8 on Linux.
QString FromPath(const std::string& path);
std::string ToPath(const QString& path);

} // namespace orbita
