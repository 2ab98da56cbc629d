#include "windows/reference/browser_logic.h"

#include <gtest/gtest.h>

namespace orbita {
namespace {

using Action = LinkRoute::Action;

TEST(BrowserHistory, BackAndForwardStopAtTheEnds)
{
    BrowserHistory history;
    EXPECT_EQ(history.Index(), -1);
    EXPECT_FALSE(history.Back());
    EXPECT_FALSE(history.Forward());
    history.Visit("POMOC\\A.HTM");
    EXPECT_FALSE(history.Back()) << "back at the first entry";
    EXPECT_FALSE(history.Forward()) << "forward at the last entry";
    history.Visit("POMOC\\B.HTM");
    history.Visit("POMOC\\C.HTM");
    EXPECT_EQ(history.Back(), "POMOC\\B.HTM");
    EXPECT_EQ(history.Back(), "POMOC\\A.HTM");
    EXPECT_FALSE(history.Back());
    EXPECT_EQ(history.Index(), 0);
    EXPECT_EQ(history.Forward(), "POMOC\\B.HTM");
    EXPECT_EQ(history.Forward(), "POMOC\\C.HTM");
    EXPECT_FALSE(history.Forward());
    EXPECT_EQ(history.Index(), 2);
}

TEST(BrowserHistory, ANewLinkDropsTheForwardEntries)
{
    BrowserHistory history;
    for (const char* page : { "A", "B", "C" })
        history.Visit(page);
    history.Back();
    history.Back();
    history.Visit("D");
    EXPECT_EQ(history.Entries(), (std::vector<std::string> { "A", "D" }));
    EXPECT_EQ(history.Index(), 1);
    EXPECT_FALSE(history.Forward());
    EXPECT_EQ(history.Back(), "A");
}

TEST(BrowserLinks, ExternalAddressesInAnyCaseGoOutsideAsWritten)
{
    for (const char* target : { "http://orbita.example.org/Strona", "HTTPS://Example.org/A?b=C",
             "https://x.example/", "mailto:Autor@example.org", "MailTo:someone@example.org" }) {
        const LinkRoute help = RouteLink(Browser::Help, target);
        EXPECT_EQ(help.action, Action::OpenExternally) << target;
        EXPECT_TRUE(help.handled) << target;
        EXPECT_TRUE(help.member.empty()) << target;
        EXPECT_EQ(RouteLink(Browser::Tables, target).action, Action::OpenExternally) << target;
        EXPECT_EQ(RouteLink(Browser::Dictionary, target).action, Action::OpenExternally) << target;
    }
    EXPECT_FALSE(IsExternalAddress("HTTP.HTM"));
    EXPECT_FALSE(IsExternalAddress("mail.htm"));
}

TEST(BrowserLinks, HelpLoadsEveryOtherTargetFromItsFolderAndHandlesTheClick)
{
    const LinkRoute page = RouteLink(Browser::Help, "O_Test.htm");
    EXPECT_EQ(page.action, Action::LoadPage);
    EXPECT_EQ(page.member, "POMOC\\O_Test.htm");
    EXPECT_TRUE(page.handled);
    // Help has no anchors: a "#" target is a (missing) page too.
    EXPECT_EQ(RouteLink(Browser::Help, "#dol").member, "POMOC\\#dol");
    EXPECT_EQ(RouteLink(Browser::Help, "ORB_KORESPONDENCJA").action, Action::LoadPage);
}

TEST(BrowserLinks, TablesAnchorsAndTheContactLink)
{
    const LinkRoute contact = RouteLink(Browser::Tables, "ORB_KORESPONDENCJA");
    EXPECT_EQ(contact.action, Action::ContactPage);
    EXPECT_FALSE(contact.handled);
    EXPECT_EQ(RouteLink(Browser::Tables, "orb_korespondencja").action, Action::LoadPage)
        << "the contact link is exact";
    for (const char* anchor : { "#sole", "ROZP.HTM#sole" }) {
        const LinkRoute route = RouteLink(Browser::Tables, anchor);
        EXPECT_EQ(route.action, Action::LeaveToView) << anchor;
        EXPECT_FALSE(route.handled) << anchor;
    }
    const LinkRoute page = RouteLink(Browser::Tables, "ROZP.HTM");
    EXPECT_EQ(page.action, Action::LoadPage);
    EXPECT_EQ(page.member, "TABLICE\\ROZP.HTM");
    EXPECT_TRUE(page.handled);
}

TEST(BrowserLinks, DictionaryLeavesOrdinaryTargetsToTheView)
{
    EXPECT_EQ(RouteLink(Browser::Dictionary, "ORB_KORESPONDENCJA").action, Action::ContactPage);
    const LinkRoute anchor = RouteLink(Browser::Dictionary, "#a");
    EXPECT_EQ(anchor.action, Action::LeaveToView);
    EXPECT_FALSE(anchor.handled);
    EXPECT_EQ(RouteLink(Browser::Dictionary, "INNY.HTM").action, Action::LeaveToView);
}

TEST(BrowserCaptions, OnlyATitledPageChangesTheCaption)
{
    EXPECT_EQ(TitledCaption("Pomoc", "Legenda"), "Pomoc [Legenda]");
    EXPECT_FALSE(TitledCaption("Pomoc", ""));
}

TEST(HelpOpeningPlan, TopicsOpenAloneTheWelcomePageWithListAndSlides)
{
    const HelpOpening welcome = PlanHelpOpening("");
    EXPECT_EQ(welcome.contentsMember, "POMOC\\WITAMY.HTM");
    EXPECT_TRUE(welcome.startSlideShow);
    EXPECT_FALSE(welcome.singlePane);
    const HelpOpening topic = PlanHelpOpening("O_TEST");
    EXPECT_EQ(topic.contentsMember, "POMOC\\O_TEST.HTM");
    EXPECT_FALSE(topic.startSlideShow);
    EXPECT_TRUE(topic.singlePane);
    const HelpOpening thanks = PlanHelpOpening("DZIEKI");
    EXPECT_TRUE(thanks.startSlideShow);
    EXPECT_TRUE(thanks.singlePane);
    EXPECT_EQ(MenuMember(Browser::Help), "POMOC\\MENU.HTM");
    EXPECT_EQ(MenuMember(Browser::Tables), "TABLICE\\MENU.HTM");
    EXPECT_EQ(TablesIndexMember(), "TABLICE\\INDEX.HTM");
}

TEST(HelpPlacement, IntegerDivisionOfTheScreen)
{
    EXPECT_EQ(HelpWindowBounds(1280, 800), (Bounds { 426, 40, 426 + 320 + 64, 40 + 400 + 26 }));
    EXPECT_EQ(HelpWindowBounds(1366, 768), (Bounds { 455, 38, 455 + 341 + 68, 38 + 384 + 25 }));
}

TEST(SlideShow, ScrollsDownToTheEndThenUpToTheTop)
{
    SlideDirection direction = SlideDirection::Down;
    int position = 0;
    std::vector<int> seen;
    for (int tick = 0; tick < 8; ++tick) {
        position = SlideStep(position, 3, direction);
        seen.push_back(position);
    }
    EXPECT_EQ(seen, (std::vector<int> { 1, 2, 3, 2, 1, 0, 1, 2 }));
    // A page that does not scroll stays where it is.
    direction = SlideDirection::Down;
    for (int tick = 0; tick < 4; ++tick)
        EXPECT_EQ(SlideStep(0, 0, direction), 0);
}

TEST(SlideShow, OneDirectionServesTheWholeProcess)
{
    SlideDirection& shared = SharedSlideDirection();
    EXPECT_EQ(&shared, &SharedSlideDirection());
    const SlideDirection saved = shared;
    shared = SlideDirection::Up;
    EXPECT_EQ(SharedSlideDirection(), SlideDirection::Up);
    shared = saved;
}

} // namespace
} // namespace orbita
