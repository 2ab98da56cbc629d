#include "tests/windows/reference/reference_test_support.h"
#include "widgets/find_dialog.h"
#include "windows/reference/dict_form.h"
#include "windows/settings/font_form.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSplitter>
#include <QTest>
#include <QToolButton>

namespace orbita {
namespace {

const std::string kSeparator(1, kDictionarySeparator);

class DictForm : public test::ReferenceWindowTest {
protected:
    void SetUp() override
    {
        ReferenceWindowTest::SetUp();
        writeDictionary({ "żelazo|metal przejściowy", "Wiązanie jonowe|między jonami", "azot|gaz <b>N</b>",
            "łańcuch|atomy w rzędzie", "Wiązanie|połączenie atomów", "ąb|-", "lakmus|wskaźnik", "",
            "Ester|związek", "wodór|pierwiastek H" });
    }

    // Lines "term|definition" in UTF-8, the "|" turned into the separator byte.
    void writeDictionary(const std::vector<std::string>& lines)
    {
        std::string text;
        for (const std::string& line : lines) {
            std::string encoded = test::Cp(line);
            if (const std::size_t bar = encoded.find('|'); bar != std::string::npos)
                encoded.replace(bar, 1, kSeparator);
            text += encoded + "\r\n";
        }
        writeRawArchive({ test::Deflated("SLOWNIK\\DANE.TXT", text) });
    }

    static QStringList listed(const TDictForm& form)
    {
        QStringList terms;
        for (int i = 0; i < form.List->count(); ++i)
            terms << form.List->item(i)->text();
        return terms;
    }
    // The selected row, -1 when none.
    static int selected(const TDictForm& form)
    {
        const QList<QListWidgetItem*> items = form.List->selectedItems();
        return items.isEmpty() ? -1 : form.List->row(items.front());
    }
    static std::string page(const TDictForm& form) { return test::ShownText(*form.MainHtml); }
};

TEST_F(DictForm, OpensOnTheWelcomePageWithTheCountAndTermsInPolishOrder)
{
    TDictForm form;
    EXPECT_EQ(form.objectName(), QStringLiteral("DictForm"));
    EXPECT_EQ(form.title(), QStringLiteral("Słownik chemiczny [9 terminów]"));
    EXPECT_EQ(listed(form).join(u'|'),
        QStringLiteral("azot|ąb|Ester|lakmus|łańcuch|Wiązanie|Wiązanie jonowe|wodór|żelazo"));
    EXPECT_EQ(selected(form), -1);
    EXPECT_NE(page(form).find("Słownikchemicznydostarczainformacjinatemat9terminów"), std::string::npos);
    EXPECT_NE(page(form).find("abywtymoknieobejrzećjegoznaczenie"), std::string::npos);
    EXPECT_EQ(form.size(), QSize(520, 319));
    EXPECT_EQ(form.minimumSize(), QSize(400, 250));
    EXPECT_EQ(form.SettingsButton->toolTip(),
        QStringLiteral("Dostosowuje wygląd dokumentów (rozmiar czcionki, styl oraz kolor) [Ctrl+U]"));
    // The welcome page's link opens the contact page.
    bool handled = false;
    form.MainHtmlHotSpotClick("ORB_KORESPONDENCJA", handled);
    EXPECT_EQ(windows.take(), QStringList { QStringLiteral("about contact") });
}

TEST_F(DictForm, KeywordJumpsToTheFirstTermWithThePrefix)
{
    TDictForm form;
    form.show();
    QCoreApplication::processEvents();
    test::ReferenceWindowTest::typeText(form.KeywordBox, QStringLiteral("wi"));
    EXPECT_EQ(selected(form), 5);
    EXPECT_NE(page(form).find("Wiązaniepołączenieatomów"), std::string::npos);
    // A prefix no term has keeps the selection and the page.
    form.KeywordBox->setText(QStringLiteral("wix"));
    EXPECT_EQ(selected(form), 5);
    EXPECT_NE(page(form).find("połączenieatomów"), std::string::npos);
    // Letters with diacritics match only in the same case.
    form.KeywordBox->setText(QStringLiteral("Ż"));
    EXPECT_EQ(selected(form), 5);
    form.KeywordBox->setText(QStringLiteral("ż"));
    EXPECT_EQ(selected(form), 8);
    // Clearing the box selects and shows the first term.
    form.KeywordBox->clear();
    EXPECT_EQ(selected(form), 0);
    EXPECT_NE(page(form).find("azotgaz"), std::string::npos);
    form.done(mrOk);
}

TEST_F(DictForm, TheSearchStartsAtTheTopVisibleTerm)
{
    std::vector<std::string> lines;
    for (int i = 0; i < 60; ++i)
        lines.push_back("termin " + std::to_string(100 + i) + "|opis");
    lines.push_back("alkan|węglowodór");
    writeDictionary(lines);
    TDictForm form;
    form.show();
    QCoreApplication::processEvents();
    form.List->verticalScrollBar()->setValue(30);
    QCoreApplication::processEvents();
    form.KeywordBox->setText(QStringLiteral("a"));
    EXPECT_EQ(selected(form), -1) << "'alkan' is above the top of the list";
    form.KeywordBox->setText(QStringLiteral("termin 1"));
    EXPECT_GE(selected(form), 30);
    form.done(mrOk);
}

TEST_F(DictForm, TheKeywordSurvivesReopeningAndShowsItsTermAtOnce)
{
    {
        TDictForm form;
        form.KeywordBox->setText(QStringLiteral("łań"));
        form.done(mrOk);
    }
    EXPECT_EQ(ReadRegString(Hive::CurrentUser, test::kProfileKey, "DictionaryKeyword"), test::Cp("łań"));
    TDictForm form;
    EXPECT_EQ(form.KeywordBox->text(), QStringLiteral("łań"));
    EXPECT_EQ(selected(form), 4);
    EXPECT_NE(page(form).find("atomywrzędzie"), std::string::npos);
}

TEST_F(DictForm, EmptyOrMissingDictionaryAndClicksOnNothing)
{
    writeRawArchive({ test::Stored("INNY.TXT", "x") });
    WriteRegString(Hive::CurrentUser, test::kProfileKey, "DictionaryKeyword", "a");
    TDictForm form;
    EXPECT_EQ(form.title(), QStringLiteral("Słownik chemiczny [0 terminów]"));
    EXPECT_NE(page(form).find("natemat0terminów"), std::string::npos);
    form.KeywordBox->clear(); // nothing to select
    form.ListClick();
    EXPECT_NE(page(form).find("natemat0terminów"), std::string::npos);
    EXPECT_TRUE(ui.finished());
}

TEST_F(DictForm, AClickBelowTheLastTermChangesNothing)
{
    writeDictionary({ "azot|gaz", "tlen|gaz" });
    TDictForm form;
    form.show();
    QCoreApplication::processEvents();
    const std::string welcome = page(form);
    QTest::mouseClick(
        form.List->viewport(), Qt::LeftButton, {}, QPoint(5, form.List->viewport()->height() - 3));
    EXPECT_EQ(selected(form), -1);
    EXPECT_EQ(page(form), welcome);
    form.List->setCurrentRow(1);
    ASSERT_EQ(selected(form), 1);
    EXPECT_NE(page(form).find("tlengaz"), std::string::npos);
    QTest::mouseClick(
        form.List->viewport(), Qt::LeftButton, {}, QPoint(5, form.List->viewport()->height() - 3));
    EXPECT_NE(page(form).find("tlengaz"), std::string::npos);
    form.done(mrOk);
}

TEST_F(DictForm, ListPaneToggleAndWidth)
{
    {
        TDictForm form;
        form.show();
        QCoreApplication::processEvents();
        press(form.KeywordBox, Qt::Key_L, Qt::ControlModifier);
        EXPECT_FALSE(form.ListPaneShown());
        EXPECT_FALSE(form.ListButton->isChecked());
        form.ListButtonClick();
        EXPECT_TRUE(form.ListPaneShown());
        EXPECT_TRUE(form.ListButton->isChecked());
        QCoreApplication::processEvents();
        // The list fills its pane by the resize rules.
        EXPECT_EQ(form.KeywordBox->width(), form.ListPanel->width() - 2);
        EXPECT_EQ(form.List->width(), form.ListPanel->width() - 2 - 18);
        form.Splitter->setSizes({ 170, 300 });
        Q_EMIT form.Splitter->splitterMoved(170, 1);
        form.done(mrOk);
    }
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, test::kPlacementKey, "DictFormSeparator"), 170);
    {
        TDictForm form;
        EXPECT_EQ(form.ListPaneWidth(), 135) << "placements are not kept: the designed width";
        form.done(mrOk);
    }
    keepPlacements();
    WriteRegInteger(Hive::CurrentUser, test::kPlacementKey, "DictFormSeparator", 170);
    TDictForm form;
    EXPECT_EQ(form.ListPaneWidth(), 170);
}

TEST_F(DictForm, NothingIsStoredWhileNobodyIsLoggedIn)
{
    logOut();
    const std::vector<std::string> before = storedValues();
    ui.answerModal([](QDialog& dialog) {
        ViewAppearance look = DefaultViewAppearance();
        look.background = RgbColor(1, 2, 3);
        static_cast<TFontForm&>(dialog).SetAppearance(look);
        return mrOk;
    });
    TDictForm form;
    form.KeywordBox->setText(QStringLiteral("azot"));
    form.SettingsButtonClick();
    EXPECT_EQ(form.MainHtml->DefBackground(), RgbColor(1, 2, 3)) << "applied, though not stored";
    form.done(mrOk);
    EXPECT_EQ(storedValues(), before);
}

TEST_F(DictForm, AppearanceIsStoredAndFindSearchesThePage)
{
    ui.answerModal([](QDialog& dialog) {
        ViewAppearance look = DefaultViewAppearance();
        look.background = RgbColor(0, 128, 0);
        look.fontColor = RgbColor(255, 255, 0);
        look.fontName = "Tahoma";
        static_cast<TFontForm&>(dialog).SetAppearance(look);
        return mrOk;
    });
    TDictForm form;
    press(form.KeywordBox, Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, test::kPlacementKey, "DictBackgroundColor"),
        static_cast<std::int32_t>(RgbColor(0, 128, 0)));
    EXPECT_EQ(ReadRegString(Hive::CurrentUser, test::kPlacementKey, "DictFontName"), "Tahoma");
    EXPECT_EQ(form.List->palette().color(QPalette::Base), QColor(0, 128, 0));
    EXPECT_EQ(form.KeywordBox->palette().color(QPalette::Text), QColor(255, 255, 0));

    form.KeywordBox->setText(QStringLiteral("az"));
    press(form.KeywordBox, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(form.FindDialog->isVisible());
    form.FindDialog->TextEdit->setText(QStringLiteral("gaz"));
    form.FindDialog->FindNext();
    EXPECT_EQ(form.MainHtml->SelectedText(), "gaz");
    form.FindDialog->FindNext();
    ASSERT_EQ(ui.requests().size(), 2u);
    EXPECT_EQ(ui.requests()[1].caption, QStringLiteral("Rezultat wyszukiwania"));
    press(form.KeywordBox, Qt::Key_F1);
    form.HelpButton->click();
    EXPECT_TRUE(windows.ownedBy(&form));
    EXPECT_EQ(windows.take(), QStringList(2, QStringLiteral("help O_SLOWNK")));
    form.done(mrOk);
    EXPECT_FALSE(form.FindDialog->isVisible());
}

} // namespace
} // namespace orbita
