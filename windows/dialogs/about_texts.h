#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orbita {

// The texts of the about box (UTF-8).

// The program's web site and its contact page.
inline constexpr std::string_view kProgramSite = "https://orbita.example.org/";
std::string ContactPageAddress();

// "Orbita " + the first, third and fifth characters of the file version text
// joined by "." + " dla Windows": "3.5.1.0" reads "Orbita 3.5.1 dla Windows".
// A version text shorter than five characters (the "—" of an executable
// without a version) is shown whole.
std::string ProgramCaptionText(std::string_view fileVersion);

// The status line of the information page: the run count (-1 when the store
// has none) with its plural form and " programu": "1 uruchomienie programu",
// "2 uruchomienia programu", "5 uruchomień programu".
std::string RunCountText(std::int32_t runCount);

// The status line of the contact page.
inline constexpr std::string_view kContactStatusText = "Korespondencja z autorem";

} // namespace orbita
