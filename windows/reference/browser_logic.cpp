#include "windows/reference/browser_logic.h"

#include "core/cp1250.h"

namespace orbita {

void BrowserHistory::Visit(std::string member)
{
    m_entries.resize(static_cast<std::size_t>(m_index + 1));
    m_entries.push_back(std::move(member));
    m_index = static_cast<int>(m_entries.size()) - 1;
}

std::optional<std::string> BrowserHistory::Back()
{
    if (!CanGoBack())
        return std::nullopt;
    --m_index;
    return m_entries[static_cast<std::size_t>(m_index)];
}

std::optional<std::string> BrowserHistory::Forward()
{
    if (!CanGoForward())
        return std::nullopt;
    ++m_index;
    return m_entries[static_cast<std::size_t>(m_index)];
}

bool IsExternalAddress(std::string_view target)
{
    const std::string upper = AsciiUpperText(target);
    for (const std::string_view marker : { "HTTP://", "HTTPS://", "MAILTO:" })
        if (upper.find(marker) != std::string::npos)
            return true;
    return false;
}

LinkRoute RouteLink(Browser browser, std::string_view target)
{
    using Action = LinkRoute::Action;
    switch (browser) {
    case Browser::Help:
        if (IsExternalAddress(target))
            return { Action::OpenExternally, {}, true };
        return { Action::LoadPage, std::string(kHelpFolder) + std::string(target), true };
    case Browser::Tables:
        if (target == kContactLink)
            return { Action::ContactPage, {}, false };
        if (target.find('#') != std::string_view::npos)
            return { Action::LeaveToView, {}, false };
        if (IsExternalAddress(target))
            return { Action::OpenExternally, {}, true };
        return { Action::LoadPage, std::string(kTablesFolder) + std::string(target), true };
    case Browser::Dictionary:
        if (target == kContactLink)
            return { Action::ContactPage, {}, true };
        if (IsExternalAddress(target))
            return { Action::OpenExternally, {}, true };
        return { Action::LeaveToView, {}, false };
    }
    return {};
}

std::optional<std::string> TitledCaption(std::string_view base, std::string_view title)
{
    if (title.empty())
        return std::nullopt;
    return std::string(base) + " [" + std::string(title) + "]";
}

HelpOpening PlanHelpOpening(std::string_view topic)
{
    HelpOpening plan;
    if (topic.empty()) {
        plan.contentsMember = std::string(kHelpFolder) + "WITAMY.HTM";
        plan.startSlideShow = true;
        return plan;
    }
    plan.contentsMember = std::string(kHelpFolder) + std::string(topic) + ".HTM";
    plan.startSlideShow = topic == "DZIEKI";
    plan.singlePane = true;
    return plan;
}

std::string MenuMember(Browser browser)
{
    return std::string(browser == Browser::Tables ? kTablesFolder : kHelpFolder) + "MENU.HTM";
}

std::string TablesIndexMember()
{
    return std::string(kTablesFolder) + "INDEX.HTM";
}

Bounds HelpWindowBounds(int screenWidth, int screenHeight)
{
    const int w = screenWidth;
    const int h = screenHeight;
    return { w / 3, h / 20, w / 3 + w / 4 + w / 20, h / 20 + h / 2 + h / 30 };
}

SlideDirection& SharedSlideDirection()
{
    static SlideDirection direction = SlideDirection::Down;
    return direction;
}

int SlideStep(int position, int range, SlideDirection& direction)
{
    if (direction == SlideDirection::Down) {
        if (position >= range) {
            direction = SlideDirection::Up;
            return position;
        }
        ++position;
        if (position >= range)
            direction = SlideDirection::Up;
        return position;
    }
    if (position <= 0) {
        direction = SlideDirection::Down;
        return position;
    }
    --position;
    if (position <= 0)
        direction = SlideDirection::Down;
    return position;
}

} // namespace orbita
