#pragma once

// The file version of the program, compiled into the executable as the text
// "ORBITA-FILEVERSION:<major>.<minor>.<release>.<build>" so that
// FileVersionText can find it by scanning the file. The program's target
// defines ORBITA_FILE_VERSION; main() calls VersionMarker() once so that the
// text is linked in (the array is also marked used for the compiler).

#ifndef ORBITA_FILE_VERSION
#define ORBITA_FILE_VERSION "3.5.1.0"
#endif

namespace orbita {

inline const char* VersionMarker()
{
    [[gnu::used]] static const char marker[] = "ORBITA-FILEVERSION:" ORBITA_FILE_VERSION;
    return marker;
}

} // namespace orbita
