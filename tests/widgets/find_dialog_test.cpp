#include "platform/scripted_ui_services.h"
#include "widgets/find_dialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

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
        return matchesLeft-- > 0;
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

} // namespace
} // namespace orbita
