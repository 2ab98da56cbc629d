#include "platform/scripted_ui_services.h"
#include "widgets/find_dialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <optional>

namespace orbita {
namespace {

TEST(FindDialog, EachRequestSearchesWithTheTextAndCaseAndReportsTheEnd)
{
    ScriptedUiServices ui;
    QWidget owner;
    TFindDialog dialog(&owner);
    std::vector<std::pair<QString, bool>> asked;
    int matchesLeft = 1;
    dialog.OnFindNext = [&](const QString& text, bool matchCase) {
        asked.emplace_back(text, matchCase);
        return matchesLeft-- > 0 ? std::optional<QRect>(QRect()) : std::nullopt;
    };
    dialog.Open();
    EXPECT_TRUE(dialog.isVisible());
    dialog.TextEdit->setText(QStringLiteral("Żelazo"));
    dialog.FindNextButton->click();
    EXPECT_TRUE(ui.requests().empty()) << "a match shows no box";
    dialog.MatchCaseBox->setChecked(true);
    QTest::keyClick(dialog.TextEdit, Qt::Key_Return); // Enter searches too
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0], std::make_pair(QStringLiteral("Żelazo"), false));
    EXPECT_EQ(asked[1], std::make_pair(QStringLiteral("Żelazo"), true));
    ASSERT_EQ(ui.requests().size(), 1u);
    EXPECT_EQ(ui.requests()[0].caption, QStringLiteral("Rezultat wyszukiwania"));
    EXPECT_EQ(ui.requests()[0].text, QStringLiteral("Przeszukiwanie dokumentu zostało zakończone"));
    EXPECT_EQ(ui.requests()[0].icon, MessageIcon::Information);
    EXPECT_EQ(ui.requests()[0].buttons, MessageButtons::Ok);
    // No text: nothing is searched, the end is reported.
    dialog.TextEdit->clear();
    dialog.FindNext();
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(ui.requests().size(), 2u);
    dialog.CancelButton->click();
    EXPECT_FALSE(dialog.isVisible());
}

TEST(FindDialog, ClearOfTriesBelowAboveRightLeftThenTheScreenBottom)
{
    const QRect screen(0, 0, 1000, 800);
    const QSize size(300, 100);
    const struct {
        QRect avoid;
        QPoint preferred;
        QPoint expected;
    } cases[] = {
        { QRect(100, 100, 400, 200), QPoint(50, 20), QPoint(50, 308) }, // below, 8 px apart
        { QRect(100, 600, 400, 150), QPoint(50, 20), QPoint(50, 492) }, // no room below: above
        { QRect(100, 50, 400, 700), QPoint(50, 20), QPoint(508, 20) }, // neither: to the right
        { QRect(400, 50, 600, 700), QPoint(450, 20), QPoint(92, 20) }, // the right edge is taken: left
        { QRect(0, 0, 1000, 800), QPoint(50, 20), QPoint(50, 700) }, // nothing clears: the bottom edge
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected.y());
        const QPoint at = ClearOf(c.avoid, size, screen, c.preferred);
        EXPECT_EQ(at, c.expected);
        EXPECT_TRUE(screen.contains(QRect(at, size)));
    }
}

TEST(FindDialog, OpensClearOfThePageAndMovesOffEachMatch)
{
    ScriptedUiServices ui;
    QWidget owner;
    TFindDialog dialog(&owner);
    const QRect screen = dialog.screen()->availableGeometry();
    const QRect page(screen.left() + 20, screen.top() + 20, screen.width() / 2, screen.height() / 3);
    dialog.Open(page);
    EXPECT_FALSE(dialog.frameGeometry().intersects(page));
    EXPECT_TRUE(screen.contains(dialog.frameGeometry()));
    // Reopening a shown dialog leaves it where the user put it.
    dialog.move(page.topLeft());
    dialog.Open(page);
    EXPECT_EQ(dialog.pos(), page.topLeft());

    // A match under the dialog moves it; one elsewhere leaves it alone.
    QRect match;
    dialog.OnFindNext = [&](const QString&, bool) { return std::optional<QRect>(match); };
    dialog.TextEdit->setText(QStringLiteral("tlen"));
    match = QRect(dialog.frameGeometry().center(), QSize(40, 12));
    dialog.FindNext();
    EXPECT_FALSE(dialog.frameGeometry().intersects(match));
    EXPECT_TRUE(screen.contains(dialog.frameGeometry()));
    const QPoint placed = dialog.pos();
    match = dialog.frameGeometry().translated(0, dialog.frameGeometry().height() + 50);
    match.setSize(QSize(40, 12));
    dialog.FindNext();
    EXPECT_EQ(dialog.pos(), placed);
    EXPECT_TRUE(ui.requests().empty()) << "matches show no box";
}

} // namespace
} // namespace orbita
