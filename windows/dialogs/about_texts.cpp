#include "windows/dialogs/about_texts.h"

#include "core/text_helpers.h"

namespace orbita {

std::string ContactPageAddress()
{
    return std::string(kProgramSite) + "kontakt/";
}

std::string ProgramCaptionText(std::string_view fileVersion)
{
    std::string version;
    if (fileVersion.size() >= 5)
        version = { fileVersion[0], '.', fileVersion[2], '.', fileVersion[4] };
    else
        version = fileVersion;
    return "Orbita " + version + " dla Windows";
}

std::string RunCountText(std::int32_t runCount)
{
    return PolishCount(runCount, "uruchomienie", "uruchomienia", "uruchomień") + " programu";
}

} // namespace orbita
