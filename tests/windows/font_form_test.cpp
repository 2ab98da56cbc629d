#include "core/registry.h"
#include "htmlview/html_view_widget.h"
#include "platform/qt_text.h"
#include "platform/scripted_ui_services.h"
#include "tests/platform/platform_test_environment.h"
#include "tests/support/recording_window_opener.h"
#include "windows/settings/appearance_colors.h"
#include "windows/settings/font_form.h"
#include "windows/settings/view_appearance.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFrame>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace orbita {
namespace {

const char* const kPlacement = "Software\\Orbita\\Administrator\\Placement";

class FontForm : public test::PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        WriteRegString(Hive::CurrentUser, "Software\\Orbita", "User", "Administrator");
    }
    static QString selected(const QListWidget& list)
    {
        const QListWidgetItem* item = list.currentItem();
        return item && item->isSelected() ? item->text() : QString();
    }
};

TEST_F(FontForm, SchemesApplyTheirRowToThePreview)
{
    const struct {
        const char* name;
        AppearanceColor background, text, link;
        int size;
        const char* font;
        const char* preFont;
    } rows[] = {
        { "Domyślny", RgbColor(255, 255, 255), RgbColor(0, 0, 0), kActiveCaptionColor, 9, "Arial", "Arial" },
        { "Norton", RgbColor(0, 0, 168), RgbColor(84, 252, 252), RgbColor(252, 252, 84), 10, "Tahoma",
            "Tahoma" },
        { "Tablica", RgbColor(0, 0, 0), RgbColor(168, 168, 168), RgbColor(255, 255, 255), 10, "Tahoma",
            "Tahoma" },
        { "Fiołki", RgbColor(128, 0, 255), RgbColor(0, 255, 255), RgbColor(255, 255, 255), 10, "Verdana",
            "Tahoma" },
        { "Wiosna", RgbColor(182, 234, 111), RgbColor(0, 0, 0), RgbColor(0, 128, 0), 10, "Arial", "Arial" },
        { "Niebieski", RgbColor(58, 110, 165), RgbColor(255, 255, 255), RgbColor(255, 255, 0), 10, "Verdana",
            "Verdana" },
        { "Zielony", RgbColor(0, 128, 0), RgbColor(255, 255, 0), RgbColor(0, 255, 0), 10, "Lucida Console",
            "Lucida Console" },
        { "Purpurowy", RgbColor(128, 0, 128), RgbColor(255, 255, 0), RgbColor(255, 255, 255), 10, "System",
            "System" },
        { "Klasyczny", RgbColor(255, 255, 255), RgbColor(0, 0, 0), RgbColor(0, 0, 255), 10, "MS Sans Serif",
            "MS Sans Serif" },
        { "Błękitny", RgbColor(133, 194, 231), RgbColor(0, 0, 255), RgbColor(255, 255, 255), 10, "System",
            "System" },
    };
    TFontForm form;
    ASSERT_EQ(form.ThemeBox->count(), 10);
    // Start from something unlike every scheme so that each row must change it.
    form.SetAppearance(
        { RgbColor(1, 2, 3), RgbColor(4, 5, 6), RgbColor(7, 8, 9), 17, "DejaVu Sans", "DejaVu Sans" });
    for (int row = 9; row >= 0; --row) {
        const auto& r = rows[row];
        EXPECT_EQ(form.ThemeBox->item(row)->text(), QString::fromUtf8(r.name));
        form.ThemeBox->setCurrentRow(row);
        const ViewAppearance a = form.Appearance();
        EXPECT_EQ(a.background, r.background) << r.name;
        EXPECT_EQ(a.fontColor, r.text) << r.name;
        EXPECT_EQ(a.linkColor, r.link) << r.name;
        EXPECT_EQ(a.fontSize, r.size) << r.name;
        EXPECT_EQ(a.fontName, r.font) << r.name;
        EXPECT_EQ(a.preFontName, r.preFont) << r.name;
        EXPECT_EQ(form.PreviewHtml->DefFontName(), QString::fromLatin1(r.font)) << r.name;
        EXPECT_EQ(form.PodgladPanel->palette().color(QPalette::Window), ToQColor(r.background)) << r.name;
        EXPECT_EQ(selected(*form.FontSizeBox), QString::number(r.size)) << r.name;
        const bool installed
            = !form.StylLista->findItems(QString::fromLatin1(r.font), Qt::MatchFixedString).isEmpty();
        EXPECT_EQ(selected(*form.StylLista).compare(QString::fromLatin1(r.font), Qt::CaseInsensitive) == 0,
            installed)
            << r.name;
    }
}

TEST_F(FontForm, ListsAndDefaultButton)
{
    TFontForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Ustawienia wyglądu"));
    ASSERT_EQ(form.FontSizeBox->count(), 19);
    EXPECT_EQ(form.FontSizeBox->item(0)->text(), QStringLiteral("6"));
    EXPECT_EQ(form.FontSizeBox->item(18)->text(), QStringLiteral("24"));
    EXPECT_EQ(form.StylLista->count(), QFontDatabase::families().size());
    EXPECT_EQ(form.DefaultButton->text(), QStringLiteral("&Domyślnie"));

    // A stored size outside 6..24 selects nothing and stays until another is chosen.
    form.SetAppearance(
        { RgbColor(0, 0, 0), RgbColor(255, 255, 255), RgbColor(0, 255, 0), 30, "Nie ma takiej", "x" });
    EXPECT_EQ(selected(*form.FontSizeBox), QString());
    EXPECT_EQ(selected(*form.StylLista), QString());
    EXPECT_EQ(form.Appearance().fontSize, 30);
    form.FontSizeBox->setCurrentRow(2);
    EXPECT_EQ(form.Appearance().fontSize, 8);

    // A font picked after a scheme keeps the scheme's preformatted font.
    form.ThemeBox->setCurrentRow(3);
    ASSERT_GT(form.StylLista->count(), 0);
    const int row = form.StylLista->count() - 1;
    form.StylLista->setCurrentRow(row);
    EXPECT_EQ(form.Appearance().fontName, ToCp1250(form.StylLista->item(row)->text()));
    EXPECT_EQ(form.Appearance().preFontName, "Tahoma");

    QTest::mouseClick(form.DefaultButton, Qt::LeftButton);
    EXPECT_EQ(form.Appearance(), DefaultViewAppearance());
    EXPECT_EQ(form.ThemeBox->currentRow(), 0);
    EXPECT_EQ(selected(*form.FontSizeBox), QStringLiteral("9"));
}

TEST_F(FontForm, ColourPickersAskThroughTheUiServices)
{
    ScriptedUiServices ui;
    TFontForm form;
    ui.answerColor(QColor(10, 20, 30));
    ui.answerColor(std::nullopt);
    ui.answerColor(QColor(1, 2, 3));
    form.BackgroundColorPickerClick();
    form.FontColorPickerClick(); // cancelled: unchanged
    form.LinkColorPickerClick();
    EXPECT_TRUE(ui.finished());
    EXPECT_EQ(form.Appearance().background, RgbColor(10, 20, 30));
    EXPECT_EQ(form.Appearance().fontColor, RgbColor(0, 0, 0));
    EXPECT_EQ(form.Appearance().linkColor, RgbColor(1, 2, 3));
    EXPECT_EQ(form.PodgladPanel->palette().color(QPalette::Window), QColor(10, 20, 30));
    EXPECT_EQ(ui.requests()[0].initialColor, QColor(255, 255, 255));
}

TEST_F(FontForm, EditGivesTheResultOnlyOnOk)
{
    ScriptedUiServices ui;
    const struct {
        int result;
        bool value;
    } cases[] = { { mrOk, true }, { mrCancel, false } };
    for (const auto& c : cases) {
        ui.answerModal([&](QDialog& dialog) {
            dynamic_cast<TFontForm&>(dialog).ThemeBox->setCurrentRow(5);
            return c.result;
        });
        const std::optional<ViewAppearance> result = TFontForm::Edit(nullptr, DefaultViewAppearance());
        EXPECT_EQ(result.has_value(), c.value);
        if (result) {
            EXPECT_EQ(*result, kAppearanceSchemes[5].appearance);
        }
    }
    EXPECT_TRUE(ui.finished());
    // The dialog stores nothing itself but its own place.
    EXPECT_EQ(RegValueNames(Hive::CurrentUser, kPlacement),
        (std::vector<std::string> { "FontFormLeft", "FontFormTop" }));
}

TEST_F(FontForm, AppearanceValuesInTheRegistry)
{
    const ViewAppearance current { RgbColor(9, 9, 9), RgbColor(8, 8, 8), RgbColor(7, 7, 7), 11, "Tahoma",
        "Courier New" };
    // Nothing is read while <prefix>BackgroundColor is missing.
    WriteRegInteger(Hive::CurrentUser, kPlacement, "HelpFontSize", 20);
    EXPECT_EQ(ReadViewAppearance(Viewer::Help, current), current);
    const ViewAppearance stored { RgbColor(1, 2, 3), RgbColor(4, 5, 6), RgbColor(7, 8, 9), 14, "Verdana",
        "Verdana" };
    WriteViewAppearance(Viewer::Help, stored);
    EXPECT_EQ(RegValueNames(Hive::CurrentUser, kPlacement),
        (std::vector<std::string> {
            "HelpFontSize", "HelpBackgroundColor", "HelpFontColor", "HelpLinkColor", "HelpFontName" }));
    EXPECT_EQ(ReadViewAppearance(Viewer::Help, current), stored);
    EXPECT_EQ(ReadViewAppearance(Viewer::Dict, current), current);
}

// The dialog has no help page of its own: F1 opens the topic of the window
// whose appearance it edits.
TEST_F(FontForm, HelpIsTheTopicOfTheCallingWindow)
{
    test::RecordingWindowOpener windows;
    QWidget element;
    SetHelpTopic(element, QStringLiteral("O_PIERWS"));
    ScriptedUiServices ui;
    QWidget* shown = nullptr;
    ui.answerModal([&](QDialog& dialog) {
        shown = &dialog;
        QTest::keyClick(dialog.findChild<QListWidget*>(QStringLiteral("StylLista")), Qt::Key_F1);
        EXPECT_TRUE(dialog.isVisible());
        dialog.reject();
        return dialog.result();
    });
    EXPECT_EQ(TFontForm::Edit(&element, DefaultViewAppearance()), std::nullopt);
    EXPECT_TRUE(ui.finished());
    EXPECT_EQ(windows.owners, QList<QWidget*> { shown });
    EXPECT_EQ(windows.take(), QStringList { QStringLiteral("help O_PIERWS") });
}

TEST_F(FontForm, TabIntoTheListsChoosesNothingKeysAndClicksDo)
{
    TFontForm form;
    // Neither the font nor the size is listed, and no scheme is chosen: the
    // lists have no current entry for the focus to land on.
    const ViewAppearance start { RgbColor(1, 2, 3), RgbColor(4, 5, 6), RgbColor(7, 8, 9), 30, "Nie ma takiej",
        "Nie ma takiej" };
    form.SetAppearance(start);
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));

    QList<QWidget*> reached;
    for (int i = 0; i < 40 && reached.size() < 3; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        if ((focus == form.StylLista || focus == form.FontSizeBox || focus == form.ThemeBox)
            && !reached.contains(focus))
            reached << focus;
        EXPECT_EQ(form.Appearance(), start) << focus->objectName().toStdString();
    }
    EXPECT_EQ(reached.size(), 3);
    EXPECT_EQ(form.Appearance(), start);

    // Keys that select an entry choose it: Down in "Schematy" goes on from
    // the entry the focus stands on.
    form.ThemeBox->setFocus(Qt::TabFocusReason);
    const int from = std::max(form.ThemeBox->currentRow(), 0);
    QTest::keyClick(form.ThemeBox, Qt::Key_Down);
    ASSERT_EQ(form.ThemeBox->currentRow(), from + 1);
    EXPECT_EQ(form.Appearance(), kAppearanceSchemes[std::size_t(from + 1)].appearance);

    // A click on a size chooses it.
    QApplication::processEvents();
    QListWidgetItem* twelve = form.FontSizeBox->findItems(QStringLiteral("12"), Qt::MatchExactly).value(0);
    ASSERT_NE(twelve, nullptr);
    form.FontSizeBox->scrollToItem(twelve);
    QTest::mouseClick(
        form.FontSizeBox->viewport(), Qt::LeftButton, {}, form.FontSizeBox->visualItemRect(twelve).center());
    EXPECT_EQ(form.Appearance().fontSize, 12);
    form.done(mrCancel);
}

} // namespace
} // namespace orbita
