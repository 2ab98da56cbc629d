// A skin definition from arbitrary bytes: read it as the skinned window does,
// then drive the window's behaviour with mouse events taken from the input.
// Aborts when a rule that must hold for every input is broken.

#include "data/big_ini_file.h"
#include "skin/skin_definition.h"
#include "skin/skin_state.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

std::int32_t takeInt(const std::uint8_t*& data, std::size_t& size)
{
    std::int32_t value = 0;
    if (size >= 4) {
        std::memcpy(&value, data, 4);
        data += 4;
        size -= 4;
    }
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const std::string& field : orbita::SplitFields(bytes.substr(0, 300)))
        check(field.find('\0') == std::string::npos);

    orbita::TBigIniFile ini;
    ini.LoadText(bytes);
    const orbita::SkinDefinitionResult result = orbita::ReadSkinDefinition(ini);
    check(result.definition.has_value() != !result.error.empty());
    if (!result.definition)
        return 0;
    const orbita::SkinDefinition& definition = *result.definition;
    check(definition.hotAreas.size() <= std::size_t(orbita::kMaxSkinHotAreas));
    check(definition.textAreas.size() <= std::size_t(orbita::kMaxSkinTextAreas));
    check(definition.sliders.size() <= std::size_t(orbita::kMaxSkinSliders));
    for (const std::string& name : orbita::SkinPictureFiles(definition)) {
        check(!name.empty());
        if (orbita::IsSafeSkinFileName(name)) {
            // A safe name never leaves its folder: no "..", "." or empty
            // part, no more than two parts.
            int parts = 0;
            std::size_t start = 0;
            while (true) {
                const std::size_t end = name.find_first_of("/\\", start);
                const std::string part = name.substr(start, end == std::string::npos ? end : end - start);
                check(!part.empty() && part != "." && part != "..");
                ++parts;
                if (end == std::string::npos)
                    break;
                start = end + 1;
            }
            check(parts <= 2);
        }
        orbita::SkinPictureExtension(name);
    }

    // Thumb sizes and mouse events from the tail of the input.
    const std::uint8_t* tail = data + size / 2;
    std::size_t left = size - size / 2;
    std::vector<std::pair<int, int>> thumbs;
    for (std::size_t i = 0; i < definition.sliders.size(); ++i)
        thumbs.emplace_back(takeInt(tail, left) % 1000, takeInt(tail, left) % 1000);
    orbita::TSkinState state;
    state.Reset(definition, thumbs);
    while (left >= 9) {
        const std::uint8_t kind = *tail++;
        --left;
        const std::int32_t x = takeInt(tail, left);
        const std::int32_t y = takeInt(tail, left);
        orbita::SkinPointerResult r;
        switch (kind % 4) {
        case 0:
            r = state.Press(orbita::SkinButton::Left, x, y);
            break;
        case 1:
            r = state.Press(orbita::SkinButton::Right, x, y);
            break;
        case 2:
            r = state.Move(x, y);
            break;
        default:
            r = state.Release(x, y);
            break;
        }
        const int hit = orbita::HitHotArea(state.HotAreas(), x, y);
        if (kind % 4 == 3)
            check(r.id == state.HotAreaName(hit));
        for (const orbita::SkinPaintStep& step : r.steps)
            check(step.kind == orbita::SkinPaintStep::Kind::Repaint
                || (step.area >= 0 && std::size_t(step.area) < state.HotAreas().size()));
        for (const orbita::SkinTrackBarChange& change : r.trackBar)
            check(change.position >= 0 && change.position <= 100);
        for (const orbita::SkinSlider& slider : state.Sliders())
            check(slider.offset >= 0 && slider.offset <= slider.Travel());
    }
    return 0;
}
