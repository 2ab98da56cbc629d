#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbita {

// The rules of the document browsers (help, reference tables, dictionary)
// that need no window: the page history, where a clicked link goes, the
// captions, the slide show's step and the help window's opening plan and
// placement. The windows (windows/reference/*_form.h) follow these.

// Archive folders of the two browsers' pages.
inline constexpr std::string_view kHelpFolder = "POMOC\\";
inline constexpr std::string_view kTablesFolder = "TABLICE\\";
// The pseudo link that opens the about box on its contact page.
inline constexpr std::string_view kContactLink = "ORB_KORESPONDENCJA";

// The pages visited in one help window: a list of member names and a
// current index that starts at -1. Visiting a page drops the entries after
// the current one, appends the page and makes it current.
class BrowserHistory {
public:
    void Visit(std::string member);
    // The entry moved to, or nothing at the first (or before any) entry.
    std::optional<std::string> Back();
    // The entry moved to, or nothing at the last entry or with no entries.
    std::optional<std::string> Forward();
    bool CanGoBack() const { return m_index > 0; }
    bool CanGoForward() const { return m_index != -1 && m_index + 1 < static_cast<int>(m_entries.size()); }
    int Index() const { return m_index; }
    const std::vector<std::string>& Entries() const { return m_entries; }

private:
    std::vector<std::string> m_entries;
    int m_index = -1;
};

// Which browser a link was clicked in.
enum class Browser { Help, Tables, Dictionary };

// What a link click does.
struct LinkRoute {
    enum class Action {
        OpenExternally, // the address goes to the desktop's handler, as written
        LoadPage, // `member` is loaded into the contents view
        ContactPage, // the about box on its contact page
        LeaveToView, // the view scrolls to a "#" anchor, or does nothing
    };
    Action action = Action::LeaveToView;
    std::string member; // LoadPage: the archive member
    bool handled = false; // what the click is reported as
};

// True when the target is an address for the desktop: it contains "HTTP://",
// "HTTPS://" or "MAILTO:" in any letter case. Only the test is made on an
// upper-cased copy; the address opened is the target as written.
bool IsExternalAddress(std::string_view target);

// Help: external addresses open outside; every other target is a page of
// POMOC\ (a missing one still becomes a history entry); every click is
// handled. Tables: ORB_KORESPONDENCJA (exact) opens the contact page
// unhandled; a target with "#" is left to the view; external addresses open
// outside; anything else is a page of TABLICE\, handled. Dictionary:
// ORB_KORESPONDENCJA opens the contact page, external addresses open
// outside, anything else is left to the view.
LinkRoute RouteLink(Browser browser, std::string_view target);

// "Pomoc [title]" for a titled page, nothing for a page without a title
// (the caption stays as it was).
std::optional<std::string> TitledCaption(std::string_view base, std::string_view title);

// The help window's opening plan for a topic.
struct HelpOpening {
    std::string contentsMember; // POMOC\<topic>.HTM, or POMOC\WITAMY.HTM without a topic
    bool startSlideShow = false; // without a topic, and for DZIEKI
    bool singlePane = false; // with a topic: the topic list is hidden
};
HelpOpening PlanHelpOpening(std::string_view topic);
// POMOC\MENU.HTM and TABLICE\MENU.HTM, TABLICE\INDEX.HTM.
std::string MenuMember(Browser browser);
std::string TablesIndexMember();

// The help window's bounds on a screen of `width` x `height` pixels when no
// saved placement applies (integer division): left W/3, width
// W/3 + W/4 + W/20, top H/20, height H/20 + H/2 + H/30.
struct Bounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Bounds&) const = default;
};
Bounds HelpWindowBounds(int screenWidth, int screenHeight);

// The slide show's direction, shared by every help window for the life of
// the process; it starts down.
enum class SlideDirection { Down, Up };
SlideDirection& SharedSlideDirection();

// One tick of the slide show: the new scroll position. Down adds 1 and turns
// up once the position equals the range; up subtracts 1 and turns down once
// the position reaches 0.
int SlideStep(int position, int range, SlideDirection& direction);

} // namespace orbita
