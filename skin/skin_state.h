#pragma once

#include "skin/skin_definition.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orbita {

// The pictures a hot area's look is copied from.
enum class SkinLook { Normal, Pressed, Hover };

// One step of repainting that a mouse event asks of the widget, in order:
// redraw everything (PaintSkin), or copy one hot area's rectangle from a
// picture onto what is shown.
struct SkinPaintStep {
    enum class Kind { Repaint, CopyArea };
    Kind kind = Kind::Repaint;
    int area = -1; // for CopyArea
    SkinLook look = SkinLook::Normal; // for CopyArea

    bool operator==(const SkinPaintStep&) const = default;
};

// A slider that moved: its name and new position in per cent.
struct SkinTrackBarChange {
    std::string name;
    int position = 0;

    bool operator==(const SkinTrackBarChange&) const = default;
};

// What one mouse event gives: the ID to report, the repaint steps, the
// sliders that moved, and whether the press starts a move of the window.
struct SkinPointerResult {
    std::string id;
    std::vector<SkinPaintStep> steps;
    std::vector<SkinTrackBarChange> trackBar;
    bool startWindowMove = false;
};

enum class SkinButton { Left, Right, Middle, Other };

// A slider with its run-time state.
struct SkinSlider {
    SkinSliderDef def;
    int thumbWidth = 0; // of the active thumb picture
    int thumbHeight = 0;
    int offset = 0; // thumb offset along the axis, 0..Travel()
    int position = 0; // per cent

    // How far the thumb can move: length minus the thumb's extent along the
    // axis, never below 0 (a thumb as long as its track cannot move).
    int Travel() const;
    // Where the thumb's rectangle lies now.
    SkinBox ThumbBox() const;
};

// The behaviour of the skinned window without its pictures: hot areas with
// their toggle and radio-group states, text areas, sliders, and what the
// mouse does to them. The widget turns the results into painting and
// notifications.
//
// Mouse press (left button): the first hot area containing the point shows
// pressed; a grouped area applies the radio rule (the group's previous
// selection is raised); a toggle inverts its held-down state. Then the first
// slider whose thumb or track contains the point starts a drag (a press on
// the track jumps the thumb there and reports the position). A left press on
// neither asks for a window move. Mouse move: a running drag moves the thumb,
// keeping the point where it was grabbed under the pointer (both axes); the
// hot area under the pointer shows its hover look, except the area held
// pressed, which keeps the look its press gave it while the pointer is over
// it; leaving an area, or passing to another one, asks for a full repaint at
// the next move. Mouse release: the ID is the first hot area
// under the release point, and everything is repainted. The pointer leaving
// the window takes the hover look away.
//
// A full repaint for any other reason (the clock's text, a toggle set from
// outside) must not take away what the pointer shows: after drawing the
// normal picture the widget copies ShownLook() over it.
class TSkinState {
public:
    // Takes the definition's areas and sliders. `activeThumbSizes` holds the
    // width and height of each slider's active thumb picture (missing entries
    // count as 0 x 0). Radio groups are rebuilt from the new areas. Clears
    // every transient state (press, drag, hover) and marks a repaint pending.
    void Reset(const SkinDefinition& definition, const std::vector<std::pair<int, int>>& activeThumbSizes);

    const std::vector<SkinHotAreaDef>& HotAreas() const { return m_hotAreas; }
    const std::vector<SkinTextAreaDef>& TextAreas() const { return m_textAreas; }
    const std::vector<SkinSlider>& Sliders() const { return m_sliders; }
    bool HoverEnabled() const { return m_hoverEnabled; }
    int ActiveSlider() const { return m_activeSlider; }
    const std::string& CurrentId() const { return m_id; }

    // The index (from 0) of the first hot area named exactly `name`, or -1.
    int IndexOfHotArea(std::string_view name) const;
    // The area's name; empty for an index with no area.
    std::string HotAreaName(int index) const;
    // Sets the held-down state of the first area named `name`; false when
    // there is none.
    bool SetHotAreaDown(std::string_view name, bool down);
    // Sets the text of the first text area named `name` (Windows-1250);
    // false when there is none.
    bool SetAreaText(std::string_view name, std::string text);
    // The selected area of a radio group (index from 0), -1 when none or no
    // such group.
    int GroupSelection(std::string_view group) const;

    SkinPointerResult Press(SkinButton button, std::int32_t x, std::int32_t y);
    SkinPointerResult Move(std::int32_t x, std::int32_t y);
    SkinPointerResult Release(std::int32_t x, std::int32_t y);
    // The pointer left the window: no area is under it any more.
    SkinPointerResult Leave();

    // The look the pointer gives an area now, to be copied over every full
    // repaint: the held area under the pointer keeps its press look, another
    // area under the pointer shows its hover look (when hover is on). Nothing
    // (a Repaint step) when no area is under the pointer.
    SkinPaintStep ShownLook() const;

    // Whether the next move must begin with a full repaint; the widget calls
    // Painted() after every full repaint.
    bool RepaintPending() const { return m_repaintPending; }
    void Painted() { m_repaintPending = false; }

private:
    struct Group {
        std::string name;
        int selection = -1;
    };

    void applyRadioRule(int area, SkinPointerResult& result);
    bool pressSlider(std::int32_t x, std::int32_t y, SkinPointerResult& result);
    void dragSlider(std::int32_t x, std::int32_t y, SkinPointerResult& result);

    std::vector<SkinHotAreaDef> m_hotAreas;
    std::vector<SkinTextAreaDef> m_textAreas;
    std::vector<SkinSlider> m_sliders;
    std::vector<Group> m_groups;
    bool m_hoverEnabled = true;
    bool m_repaintPending = true;
    bool m_wasOverArea = false;
    bool m_overArea = false;
    int m_hoverArea = -1; // the area under the pointer at the last move
    std::string m_id;
    bool m_pressed = false;
    int m_pressedArea = -1;
    SkinLook m_pressedLook = SkinLook::Pressed; // what the press left the held area showing
    bool m_dragging = false;
    int m_activeSlider = -1;
    int m_grabOffset = 0;
};

} // namespace orbita
