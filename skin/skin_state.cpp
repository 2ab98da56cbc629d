#include "skin/skin_state.h"

#include <algorithm>

namespace orbita {
namespace {

SkinPaintStep repaint()
{
    return { SkinPaintStep::Kind::Repaint, -1, SkinLook::Normal };
}

SkinPaintStep copy(int area, SkinLook look)
{
    return { SkinPaintStep::Kind::CopyArea, area, look };
}

// offset x 100 / travel; 0 for a slider that cannot move.
int positionOf(int offset, int travel)
{
    return travel > 0 ? static_cast<int>(std::int64_t { offset } * 100 / travel) : 0;
}

int clampedOffset(std::int64_t offset, int travel)
{
    return static_cast<int>(std::clamp<std::int64_t>(offset, 0, travel));
}

} // namespace

int SkinSlider::Travel() const
{
    const std::int64_t travel = std::int64_t { def.length } - (def.horizontal ? thumbWidth : thumbHeight);
    return static_cast<int>(std::clamp<std::int64_t>(travel, 0, INT32_MAX));
}

SkinBox SkinSlider::ThumbBox() const
{
    if (def.horizontal)
        return { static_cast<std::int32_t>(
                     std::clamp<std::int64_t>(std::int64_t { def.left } + offset, INT32_MIN, INT32_MAX)),
            def.top, thumbWidth, thumbHeight };
    return { def.left,
        static_cast<std::int32_t>(
            std::clamp<std::int64_t>(std::int64_t { def.top } + offset, INT32_MIN, INT32_MAX)),
        thumbWidth, thumbHeight };
}

void TSkinState::Reset(
    const SkinDefinition& definition, const std::vector<std::pair<int, int>>& activeThumbSizes)
{
    m_hotAreas = definition.hotAreas;
    m_textAreas = definition.textAreas;
    m_hoverEnabled = definition.pictures.hoverEnabled;
    m_sliders.clear();
    for (std::size_t i = 0; i < definition.sliders.size(); ++i) {
        SkinSlider slider;
        slider.def = definition.sliders[i];
        if (i < activeThumbSizes.size()) {
            slider.thumbWidth = std::max(0, activeThumbSizes[i].first);
            slider.thumbHeight = std::max(0, activeThumbSizes[i].second);
        }
        slider.position = slider.def.position;
        slider.offset = static_cast<int>(std::int64_t { slider.Travel() } * slider.position / 100);
        m_sliders.push_back(std::move(slider));
    }
    m_groups.clear();
    for (std::size_t i = 0; i < m_hotAreas.size(); ++i) {
        const SkinHotAreaDef& area = m_hotAreas[i];
        if (area.group.empty())
            continue;
        auto group = std::find_if(
            m_groups.begin(), m_groups.end(), [&](const Group& g) { return g.name == area.group; });
        if (group == m_groups.end())
            group = m_groups.insert(m_groups.end(), Group { area.group, -1 });
        if (area.down)
            group->selection = static_cast<int>(i);
    }
    m_repaintPending = true;
    m_wasOverArea = m_overArea = false;
    m_hoverArea = -1;
    m_id.clear();
    m_pressed = false;
    m_pressedArea = -1;
    m_dragging = false;
    m_activeSlider = -1;
    m_grabOffset = 0;
}

int TSkinState::IndexOfHotArea(std::string_view name) const
{
    for (std::size_t i = 0; i < m_hotAreas.size(); ++i)
        if (m_hotAreas[i].name == name)
            return static_cast<int>(i);
    return -1;
}

std::string TSkinState::HotAreaName(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_hotAreas.size())
        return {};
    return m_hotAreas[static_cast<std::size_t>(index)].name;
}

bool TSkinState::SetHotAreaDown(std::string_view name, bool down)
{
    const int index = IndexOfHotArea(name);
    if (index < 0)
        return false;
    m_hotAreas[static_cast<std::size_t>(index)].down = down;
    return true;
}

bool TSkinState::SetAreaText(std::string_view name, std::string text)
{
    for (SkinTextAreaDef& area : m_textAreas) {
        if (area.name == name) {
            area.text = std::move(text);
            return true;
        }
    }
    return false;
}

int TSkinState::GroupSelection(std::string_view group) const
{
    for (const Group& g : m_groups)
        if (g.name == group)
            return g.selection;
    return -1;
}

SkinPointerResult TSkinState::Press(SkinButton button, std::int32_t x, std::int32_t y)
{
    SkinPointerResult result;
    m_id.clear();
    m_pressed = false;
    m_pressedArea = -1;
    m_dragging = false;
    m_activeSlider = -1;
    if (button != SkinButton::Left)
        return result;

    const int index = HitHotArea(m_hotAreas, x, y);
    m_hoverArea = index;
    m_overArea = index >= 0;
    if (index >= 0) {
        SkinHotAreaDef& area = m_hotAreas[static_cast<std::size_t>(index)];
        result.steps.push_back(copy(index, SkinLook::Pressed));
        m_pressed = true;
        m_pressedArea = index;
        m_id = area.name;
        if (!area.group.empty())
            applyRadioRule(index, result);
        m_pressedLook = SkinLook::Pressed;
        if (area.toggle) {
            area.down = !area.down;
            m_pressedLook = area.down ? SkinLook::Pressed : SkinLook::Normal;
            result.steps.push_back(copy(index, m_pressedLook));
        }
    }
    const bool sliderHit = pressSlider(x, y, result);
    result.startWindowMove = index < 0 && !sliderHit;
    result.id = m_id;
    return result;
}

// The group's selection becomes `area`; a previous selection is raised (a
// full repaint) and the area's normal look is put back, for the toggle step
// that follows to show it held down again.
void TSkinState::applyRadioRule(int area, SkinPointerResult& result)
{
    const std::string& name = m_hotAreas[static_cast<std::size_t>(area)].group;
    auto group
        = std::find_if(m_groups.begin(), m_groups.end(), [&](const Group& g) { return g.name == name; });
    if (group == m_groups.end())
        return;
    const int previous = group->selection;
    group->selection = area;
    if (previous < 0 || static_cast<std::size_t>(previous) >= m_hotAreas.size())
        return;
    m_hotAreas[static_cast<std::size_t>(previous)].down = false;
    result.steps.push_back(repaint());
    m_repaintPending = false;
    result.steps.push_back(copy(area, SkinLook::Normal));
}

bool TSkinState::pressSlider(std::int32_t x, std::int32_t y, SkinPointerResult& result)
{
    for (std::size_t i = 0; i < m_sliders.size(); ++i) {
        SkinSlider& slider = m_sliders[i];
        const SkinSliderDef& def = slider.def;
        const int travel = slider.Travel();
        const std::int32_t along = def.horizontal ? x : y;
        const std::int32_t origin = def.horizontal ? def.left : def.top;
        const SkinBox track = def.horizontal ? SkinBox { def.left, def.top, travel, slider.thumbHeight }
                                             : SkinBox { def.left, def.top, slider.thumbWidth, travel };
        if (slider.ThumbBox().Contains(x, y)) {
            m_grabOffset = static_cast<int>(std::int64_t { along } - origin - slider.offset);
        } else if (track.Contains(x, y)) {
            slider.offset = clampedOffset(std::int64_t { along } - origin, travel);
            slider.position = positionOf(slider.offset, travel);
            m_grabOffset = 0;
            result.trackBar.push_back({ def.name, slider.position });
        } else {
            continue;
        }
        m_id = def.name;
        m_dragging = true;
        m_activeSlider = static_cast<int>(i);
        result.steps.push_back(repaint());
        m_repaintPending = false;
        return true;
    }
    return false;
}

SkinPointerResult TSkinState::Move(std::int32_t x, std::int32_t y)
{
    SkinPointerResult result;
    const bool repainted = m_repaintPending;
    if (m_repaintPending) {
        result.steps.push_back(repaint());
        m_repaintPending = false;
    }
    m_wasOverArea = m_overArea;
    m_id.clear();
    if (m_dragging && m_activeSlider >= 0)
        dragSlider(x, y, result);

    const int index = HitHotArea(m_hotAreas, x, y);
    if (index >= 0) {
        m_overArea = true;
        m_id = m_hotAreas[static_cast<std::size_t>(index)].name;
        if (m_pressed && index == m_pressedArea) {
            // The held area keeps the look its press gave it.
            if (repainted || m_hoverArea != index)
                result.steps.push_back(copy(index, m_pressedLook));
        } else if (m_hoverEnabled) {
            result.steps.push_back(copy(index, SkinLook::Hover));
        }
    } else {
        m_overArea = false;
    }
    if (m_overArea != m_wasOverArea || (index >= 0 && m_hoverArea >= 0 && index != m_hoverArea))
        m_repaintPending = true;
    m_hoverArea = index;
    result.id = m_id;
    return result;
}

void TSkinState::dragSlider(std::int32_t x, std::int32_t y, SkinPointerResult& result)
{
    SkinSlider& slider = m_sliders[static_cast<std::size_t>(m_activeSlider)];
    const SkinSliderDef& def = slider.def;
    const std::int64_t along = def.horizontal ? x : y;
    const std::int64_t origin = def.horizontal ? def.left : def.top;
    if (along < origin || along > origin + def.length)
        return;
    const int travel = slider.Travel();
    slider.offset = clampedOffset(along - origin - m_grabOffset, travel);
    slider.position = positionOf(slider.offset, travel);
    m_id = def.name;
    result.trackBar.push_back({ def.name, slider.position });
    result.steps.push_back(repaint());
    m_repaintPending = false;
}

SkinPointerResult TSkinState::Release(std::int32_t x, std::int32_t y)
{
    SkinPointerResult result;
    // The release repaints everything normal; the next move shows the hover
    // look again.
    m_hoverArea = -1;
    m_pressed = false;
    m_pressedArea = -1;
    m_dragging = false;
    m_activeSlider = -1;
    const int index = HitHotArea(m_hotAreas, x, y);
    m_id = index >= 0 ? m_hotAreas[static_cast<std::size_t>(index)].name : std::string();
    result.steps.push_back(repaint());
    m_repaintPending = false;
    result.id = m_id;
    return result;
}

SkinPointerResult TSkinState::Leave()
{
    SkinPointerResult result;
    const bool shown = m_hoverArea >= 0 || m_repaintPending;
    m_hoverArea = -1;
    m_wasOverArea = m_overArea = false;
    m_id.clear();
    if (shown) {
        result.steps.push_back(repaint());
        m_repaintPending = false;
    }
    return result;
}

SkinPaintStep TSkinState::ShownLook() const
{
    if (m_hoverArea < 0 || static_cast<std::size_t>(m_hoverArea) >= m_hotAreas.size())
        return repaint();
    if (m_pressed && m_hoverArea == m_pressedArea)
        return copy(m_hoverArea, m_pressedLook);
    if (m_hoverEnabled)
        return copy(m_hoverArea, SkinLook::Hover);
    return repaint();
}

} // namespace orbita
