#include "data/big_ini_file.h"
#include "skin/skin_state.h"

#include <gtest/gtest.h>

namespace orbita {
namespace {

using Kind = SkinPaintStep::Kind;

SkinPaintStep Repaint()
{
    return { Kind::Repaint, -1, SkinLook::Normal };
}
SkinPaintStep Copy(int area, SkinLook look)
{
    return { Kind::CopyArea, area, look };
}

SkinDefinition definitionOf(const std::string& text)
{
    TBigIniFile ini;
    ini.LoadText(text);
    SkinDefinitionResult result = ReadSkinDefinition(ini);
    EXPECT_TRUE(result.definition) << result.error;
    return result.definition.value_or(SkinDefinition {});
}

// Areas: A (plain), T (toggle starting up), R1 and R2 (radio group G, R2
// starting down), B overlapping A by one column; hover painting on.
class SkinStateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_state.Reset(definitionOf("[BITMAPINFO]\r\nMaskBitmap=m\r\nMouseOnBitmap=h\r\n"
                                   "[HOTAREAINFO]\r\nCount=5\r\n"
                                   "1=A, 0, 0, 10, 10\r\n"
                                   "2=T, 20, 0, 10, 10, FALSE\r\n"
                                   "3=R1, 40, 0, 10, 10, FALSE, G\r\n"
                                   "4=R2, 60, 0, 10, 10, TRUE, G\r\n"
                                   "5=B, 9, 0, 10, 10\r\n"),
            {});
    }
    TSkinState m_state;
};

TEST_F(SkinStateTest, PressOnPlainAreaShowsPressedUntilRelease)
{
    EXPECT_EQ(m_state.Move(8, 5).steps, (std::vector<SkinPaintStep> { Repaint(), Copy(0, SkinLook::Hover) }));
    EXPECT_EQ(m_state.Move(9, 5).steps, (std::vector<SkinPaintStep> { Repaint(), Copy(0, SkinLook::Hover) }));
    SkinPointerResult press = m_state.Press(SkinButton::Left, 9, 5); // A and B share column 9: A wins
    EXPECT_EQ(press.id, "A");
    EXPECT_EQ(press.steps, std::vector<SkinPaintStep> { Copy(0, SkinLook::Pressed) });
    EXPECT_FALSE(press.startWindowMove);

    // Moving inside the held area keeps the pressed look (no hover over it).
    SkinPointerResult move = m_state.Move(7, 5);
    EXPECT_EQ(move.id, "A");
    EXPECT_TRUE(move.steps.empty());
    // Leaving it repaints at the next move; coming back shows it pressed again.
    EXPECT_TRUE(m_state.Move(100, 100).steps.empty());
    EXPECT_EQ(m_state.Move(101, 100).steps, std::vector<SkinPaintStep> { Repaint() });
    EXPECT_EQ(m_state.Move(5, 5).steps, std::vector<SkinPaintStep> { Copy(0, SkinLook::Pressed) });
    EXPECT_EQ(
        m_state.Move(6, 5).steps, (std::vector<SkinPaintStep> { Repaint(), Copy(0, SkinLook::Pressed) }));

    SkinPointerResult release = m_state.Release(25, 5); // released over T: T is reported
    EXPECT_EQ(release.id, "T");
    EXPECT_EQ(release.steps, std::vector<SkinPaintStep> { Repaint() });
}

TEST_F(SkinStateTest, ButtonsAndPlacesOfPress)
{
    struct Case {
        SkinButton button;
        int x, y;
        std::string id;
        bool windowMove;
        std::size_t steps;
    };
    const Case cases[] = {
        { SkinButton::Left, 5, 5, "A", false, 1 },
        { SkinButton::Left, 100, 100, "", true, 0 }, // no area: the window moves
        { SkinButton::Right, 100, 100, "", false, 0 }, // only the left button moves it
        { SkinButton::Right, 5, 5, "", false, 0 }, // nor finds areas
        { SkinButton::Middle, 5, 5, "", false, 0 },
    };
    for (const Case& c : cases) {
        SetUp();
        const SkinPointerResult r = m_state.Press(c.button, c.x, c.y);
        EXPECT_EQ(r.id, c.id);
        EXPECT_EQ(r.startWindowMove, c.windowMove);
        EXPECT_EQ(r.steps.size(), c.steps);
    }
}

TEST_F(SkinStateTest, ToggleInvertsOnEveryPress)
{
    ASSERT_FALSE(m_state.HotAreas()[1].down);
    SkinPointerResult first = m_state.Press(SkinButton::Left, 25, 5);
    EXPECT_EQ(
        first.steps, (std::vector<SkinPaintStep> { Copy(1, SkinLook::Pressed), Copy(1, SkinLook::Pressed) }));
    EXPECT_TRUE(m_state.HotAreas()[1].down);
    m_state.Release(25, 5);
    SkinPointerResult second = m_state.Press(SkinButton::Left, 25, 5);
    EXPECT_EQ(
        second.steps, (std::vector<SkinPaintStep> { Copy(1, SkinLook::Pressed), Copy(1, SkinLook::Normal) }));
    EXPECT_FALSE(m_state.HotAreas()[1].down);
}

TEST_F(SkinStateTest, RadioGroup)
{
    EXPECT_EQ(m_state.GroupSelection("G"), 3); // R2 starts down
    // Pressing R1 raises R2 and holds R1 down.
    SkinPointerResult r1 = m_state.Press(SkinButton::Left, 45, 5);
    EXPECT_EQ(r1.steps,
        (std::vector<SkinPaintStep> {
            Copy(2, SkinLook::Pressed), Repaint(), Copy(2, SkinLook::Normal), Copy(2, SkinLook::Pressed) }));
    EXPECT_TRUE(m_state.HotAreas()[2].down);
    EXPECT_FALSE(m_state.HotAreas()[3].down);
    EXPECT_EQ(m_state.GroupSelection("G"), 2);
    m_state.Release(45, 5);
    // Pressing the held one again leaves it held.
    m_state.Press(SkinButton::Left, 45, 5);
    EXPECT_TRUE(m_state.HotAreas()[2].down);
    EXPECT_FALSE(m_state.HotAreas()[3].down);
    EXPECT_EQ(m_state.GroupSelection("G"), 2);
    // A new load rebuilds the groups from its own areas.
    m_state.Reset(definitionOf("[HOTAREAINFO]\r\nCount=1\r\n1=X, 0, 0, 5, 5, FALSE, G\r\n"), {});
    EXPECT_EQ(m_state.GroupSelection("G"), -1);
    EXPECT_EQ(m_state.GroupSelection("nope"), -1);
}

TEST_F(SkinStateTest, HoverAndItsRepaint)
{
    EXPECT_EQ(
        m_state.Move(200, 200).steps, std::vector<SkinPaintStep> { Repaint() }); // pending from the load
    // Entering A shows its hover look; leaving asks for a repaint at the next move.
    EXPECT_EQ(m_state.Move(5, 5).steps, std::vector<SkinPaintStep> { Copy(0, SkinLook::Hover) });
    EXPECT_TRUE(m_state.RepaintPending());
    EXPECT_EQ(m_state.Move(6, 5).steps, (std::vector<SkinPaintStep> { Repaint(), Copy(0, SkinLook::Hover) }));
    EXPECT_FALSE(m_state.RepaintPending());
    // Passing straight to another area also restores the first at the next move.
    EXPECT_EQ(m_state.Move(15, 5).steps, std::vector<SkinPaintStep> { Copy(4, SkinLook::Hover) });
    EXPECT_TRUE(m_state.RepaintPending());
    EXPECT_EQ(m_state.Move(100, 100).steps, std::vector<SkinPaintStep> { Repaint() });
    EXPECT_EQ(m_state.Move(100, 101).steps, std::vector<SkinPaintStep> { Repaint() });
    EXPECT_TRUE(m_state.Move(100, 102).steps.empty());
    EXPECT_EQ(m_state.Move(100, 102).id, "");

    // Without a hover picture of its own, no hover look.
    m_state.Reset(
        definitionOf("[BITMAPINFO]\r\nMaskBitmap=m\r\n[HOTAREAINFO]\r\nCount=1\r\n1=A, 0, 0, 9, 9\r\n"), {});
    m_state.Painted();
    const SkinPointerResult r = m_state.Move(1, 1);
    EXPECT_EQ(r.id, "A");
    EXPECT_TRUE(r.steps.empty());
}

// A full repaint for another reason (the clock's text) draws over what the
// pointer shows: ShownLook() is what must be put back.
TEST_F(SkinStateTest, RepaintsKeepWhatThePointerShows)
{
    EXPECT_EQ(m_state.ShownLook(), Repaint()); // nothing under the pointer yet
    m_state.Move(5, 5);
    EXPECT_EQ(m_state.ShownLook(), Copy(0, SkinLook::Hover));
    m_state.Painted(); // a clock tick: the look stays
    EXPECT_EQ(m_state.ShownLook(), Copy(0, SkinLook::Hover));

    // Pressed and held: the press look, also without a move before the press.
    m_state.Press(SkinButton::Left, 5, 5);
    EXPECT_EQ(m_state.ShownLook(), Copy(0, SkinLook::Pressed));
    m_state.Move(6, 5);
    EXPECT_EQ(m_state.ShownLook(), Copy(0, SkinLook::Pressed));
    // Held but the pointer over another area: that one hovers.
    m_state.Move(15, 5);
    EXPECT_EQ(m_state.ShownLook(), Copy(4, SkinLook::Hover));
    m_state.Move(100, 100);
    EXPECT_EQ(m_state.ShownLook(), Repaint());
    m_state.Release(100, 100);

    SetUp();
    m_state.Press(SkinButton::Left, 45, 5); // a radio area: held down, pressed look
    EXPECT_EQ(m_state.ShownLook(), Copy(2, SkinLook::Pressed));
    m_state.Release(45, 5); // the release shows everything normal until the next move
    EXPECT_EQ(m_state.ShownLook(), Repaint());
    m_state.Press(SkinButton::Left, 25, 5); // a toggle going down
    EXPECT_EQ(m_state.ShownLook(), Copy(1, SkinLook::Pressed));
    m_state.Release(25, 5);
    m_state.Press(SkinButton::Left, 25, 5); // ... and up again: its normal look while held
    EXPECT_EQ(m_state.ShownLook(), Copy(1, SkinLook::Normal));

    // Without a hover picture nothing but the press look is put back.
    m_state.Reset(
        definitionOf("[BITMAPINFO]\r\nMaskBitmap=m\r\n[HOTAREAINFO]\r\nCount=1\r\n1=A, 0, 0, 9, 9\r\n"), {});
    m_state.Move(1, 1);
    EXPECT_EQ(m_state.ShownLook(), Repaint());
    m_state.Press(SkinButton::Left, 1, 1);
    EXPECT_EQ(m_state.ShownLook(), Copy(0, SkinLook::Pressed));
}

TEST_F(SkinStateTest, LeavingTheWindowTakesTheHoverAway)
{
    m_state.Move(5, 5);
    const SkinPointerResult leave = m_state.Leave();
    EXPECT_EQ(leave.steps, std::vector<SkinPaintStep> { Repaint() });
    EXPECT_EQ(leave.id, "");
    EXPECT_EQ(m_state.ShownLook(), Repaint());
    EXPECT_FALSE(m_state.RepaintPending());
    // Nothing shown, nothing to repaint.
    EXPECT_TRUE(m_state.Leave().steps.empty());
    // A hover left behind by a move onto no area (its repaint deferred) goes too.
    m_state.Move(5, 5);
    m_state.Move(100, 100);
    EXPECT_EQ(m_state.Leave().steps, std::vector<SkinPaintStep> { Repaint() });
    // Coming back shows the hover again.
    EXPECT_EQ(m_state.Move(5, 5).steps, std::vector<SkinPaintStep> { Copy(0, SkinLook::Hover) });
}

TEST_F(SkinStateTest, NamesAndTexts)
{
    EXPECT_EQ(m_state.IndexOfHotArea("R2"), 3);
    EXPECT_EQ(m_state.IndexOfHotArea("r2"), -1);
    EXPECT_EQ(m_state.HotAreaName(4), "B");
    EXPECT_EQ(m_state.HotAreaName(5), "");
    EXPECT_EQ(m_state.HotAreaName(-1), "");
    EXPECT_TRUE(m_state.SetHotAreaDown("T", true));
    EXPECT_TRUE(m_state.HotAreas()[1].down);
    EXPECT_FALSE(m_state.SetHotAreaDown("missing", true));
    EXPECT_FALSE(m_state.SetAreaText("TIMETEXT", "x"));
}

// A horizontal slider on x 100..199 (thumb 10 x 8, travel 90) starting at
// 50 per cent, and a vertical one on y 100..149 (thumb 6 x 10, travel 40).
class SkinSliderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_state.Reset(definitionOf("[TRACKBARINFO]\r\nCount=3\r\n"
                                   "1=VOL, t, ta, 100, 10, 100, H, 50\r\n"
                                   "2=PAN, t, ta, 300, 100, 50, V\r\n"
                                   "3=STUCK, t, ta, 400, 10, 10, H, 80\r\n"),
            { { 10, 8 }, { 6, 10 }, { 10, 8 } });
    }
    TSkinState m_state;
};

TEST_F(SkinSliderTest, InitialOffsets)
{
    EXPECT_EQ(m_state.Sliders()[0].offset, 45); // (100 - 10) * 50 / 100
    EXPECT_EQ(m_state.Sliders()[0].Travel(), 90);
    EXPECT_EQ(m_state.Sliders()[1].offset, 0);
    EXPECT_EQ(m_state.Sliders()[1].Travel(), 40);
    EXPECT_EQ(m_state.Sliders()[2].Travel(), 0); // a thumb as long as its track cannot move
    EXPECT_EQ(m_state.Sliders()[2].offset, 0);
}

TEST_F(SkinSliderTest, DragTheThumbKeepsTheGrabPoint)
{
    // Grab the thumb (at x 145..154) at its fourth column.
    SkinPointerResult press = m_state.Press(SkinButton::Left, 148, 12);
    EXPECT_EQ(press.id, "VOL");
    EXPECT_TRUE(press.trackBar.empty());
    EXPECT_FALSE(press.startWindowMove);
    EXPECT_EQ(m_state.ActiveSlider(), 0);

    struct Step {
        int x;
        int offset;
        int position;
        bool reported;
    };
    const Step steps[] = {
        { 158, 55, 61, true }, // 55 * 100 / 90
        { 103, 0, 0, true }, // limited at the start
        { 199, 90, 100, true }, // limited at the end
        { 200, 90, 100, true }, // the track's far end still counts
        { 201, 90, 100, false }, // beyond the track nothing moves
        { 99, 90, 100, false },
    };
    for (const Step& s : steps) {
        const SkinPointerResult move = m_state.Move(s.x, 500);
        EXPECT_EQ(m_state.Sliders()[0].offset, s.offset) << s.x;
        if (s.reported)
            EXPECT_EQ(move.trackBar, (std::vector<SkinTrackBarChange> { { "VOL", s.position } })) << s.x;
        else
            EXPECT_TRUE(move.trackBar.empty()) << s.x;
    }
    m_state.Release(0, 0);
    EXPECT_EQ(m_state.ActiveSlider(), -1);
    EXPECT_TRUE(m_state.Move(150, 12).trackBar.empty()); // no drag after the release
}

TEST_F(SkinSliderTest, PressOnTheTrackJumps)
{
    SkinPointerResult press = m_state.Press(SkinButton::Left, 118, 12);
    EXPECT_EQ(press.id, "VOL");
    EXPECT_EQ(press.trackBar, (std::vector<SkinTrackBarChange> { { "VOL", 20 } })); // 18 * 100 / 90
    // The drag that follows keeps the thumb's start under the pointer.
    EXPECT_EQ(m_state.Move(127, 12).trackBar, (std::vector<SkinTrackBarChange> { { "VOL", 30 } }));
    // Past the track minus the thumb (x 190..199) and not on the thumb: no slider.
    m_state.Release(0, 0);
    EXPECT_TRUE(m_state.Press(SkinButton::Left, 195, 12).startWindowMove);
}

TEST_F(SkinSliderTest, VerticalSlider)
{
    SkinPointerResult press = m_state.Press(SkinButton::Left, 302, 120);
    EXPECT_EQ(press.trackBar, (std::vector<SkinTrackBarChange> { { "PAN", 50 } })); // 20 * 100 / 40
    EXPECT_EQ(m_state.Move(0, 130).trackBar, (std::vector<SkinTrackBarChange> { { "PAN", 75 } }));
    EXPECT_EQ(m_state.Move(0, 150).trackBar, (std::vector<SkinTrackBarChange> { { "PAN", 100 } }));
    EXPECT_TRUE(m_state.Move(0, 151).trackBar.empty());
    EXPECT_EQ(m_state.Sliders()[1].offset, 40);
}

TEST_F(SkinSliderTest, ThumbAsLongAsItsTrackNeverDividesByZero)
{
    SkinPointerResult press = m_state.Press(SkinButton::Left, 405, 12);
    EXPECT_EQ(press.id, "STUCK");
    const SkinPointerResult move = m_state.Move(409, 12);
    EXPECT_EQ(move.trackBar, (std::vector<SkinTrackBarChange> { { "STUCK", 0 } }));
}

} // namespace
} // namespace orbita
