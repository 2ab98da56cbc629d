#include "tests/support/pdf_pages.h"
#include "tests/windows/reference/reference_test_support.h"
#include "windows/reference/tables_form.h"

#include <QFile>
#include <QToolButton>

namespace orbita {
namespace {

class TablesForm : public test::ReferenceWindowTest {
protected:
    void SetUp() override
    {
        ReferenceWindowTest::SetUp();
        writeArchive({
            { "TABLICE\\MENU.HTM", "<title>Spis</title><p><a href=\"ROZP.HTM\">Rozpuszczalność</a>" },
            { "TABLICE\\INDEX.HTM", "<title>Tablice</title><p>wybierz tablicę" },
            { "TABLICE\\ROZP.HTM",
                test::TallPage(
                    "Rozpuszczalność soli", "tabela <img src=\"R.GIF\"> <a href=\"#koniec\">dół</a>") },
        });
    }
};

TEST_F(TablesForm, OpensTheIndexAndKeepsItsCaptionUntilALinkIsFollowed)
{
    TTablesForm form;
    EXPECT_EQ(form.objectName(), QStringLiteral("TablesForm"));
    EXPECT_EQ(form.title(), QStringLiteral("Tablice chemiczne"));
    EXPECT_NE(test::ShownText(*form.ContentsHtml).find("wybierztablicę"), std::string::npos);
    EXPECT_NE(test::ShownText(*form.MenuHtml).find("Rozpuszczalność"), std::string::npos);
    EXPECT_TRUE(form.MenuPaneShown());
    EXPECT_TRUE(form.ListButton->isChecked());
    bool handled = false;
    form.HotSpotClick("ROZP.HTM", handled);
    EXPECT_TRUE(handled);
    EXPECT_EQ(form.title(), QStringLiteral("Tablice chemiczne [Rozpuszczalność soli]"));
    EXPECT_FALSE(form.MenuHtml->OnImageRequest) << "the list shows no pictures";
    EXPECT_TRUE(form.ContentsHtml->OnImageRequest);
}

TEST_F(TablesForm, AnchorsAreLeftToTheViewAndKeepTheCaption)
{
    TTablesForm form;
    bool handled = false;
    form.HotSpotClick("ROZP.HTM", handled);
    const QString caption = form.title();
    const std::string page = test::ShownText(*form.ContentsHtml);
    for (const char* anchor : { "#koniec", "ROZP.HTM#koniec" }) {
        handled = true;
        form.HotSpotClick(anchor, handled);
        EXPECT_FALSE(handled) << anchor << ": the view scrolls to a \"#\" target itself";
        EXPECT_EQ(form.title(), caption);
        EXPECT_EQ(test::ShownText(*form.ContentsHtml), page);
    }
}

// A long table page goes on several sheets, each with its share of text;
// an empty page cannot be printed.
TEST_F(TablesForm, ALongPagePrintsOnSeveralSheetsAndAnEmptyPageNotAtAll)
{
    TTablesForm form;
    bool handled = false;
    form.HotSpotClick("ROZP.HTM", handled);
    ASSERT_TRUE(form.PrintButton->isEnabled());
    EXPECT_EQ(form.FindButton->nextInFocusChain(), form.PrintButton) << "Tab goes along the button row";
    const QString pdf = path("tablica.pdf");
    ui.answerPrint(pdf);
    press(form.ContentsHtml, Qt::Key_P, Qt::ControlModifier);
    ASSERT_TRUE(ui.finished());
    EXPECT_EQ(ui.requests().back().caption, QStringLiteral("Tablice chemiczne [Rozpuszczalność soli]"));
    const int sheets = test::PdfPageCount(pdf);
    EXPECT_GE(sheets, 2) << "80 paragraphs do not fit on one sheet";
    EXPECT_LE(sheets, 6);
    for (int sheet = 1; sheet <= sheets; ++sheet) {
        const std::optional<QImage> image = test::RenderPdfPage(pdf, sheet);
        if (!image)
            GTEST_SKIP() << "pdftoppm is not installed";
        EXPECT_GT(test::DarkPixels(*image, QRect(0, 0, image->width(), image->height() / 3)), 100)
            << "sheet " << sheet;
    }

    form.ContentsHtml->LoadFromText("");
    form.PrintButtonClick();
    EXPECT_FALSE(form.PrintButton->isEnabled()) << "an empty page";
    EXPECT_EQ(ui.requests().size(), 1u);
}

TEST_F(TablesForm, ContactLinkHelpAndExternalAddresses)
{
    TTablesForm form;
    bool handled = true;
    form.HotSpotClick("ORB_KORESPONDENCJA", handled);
    EXPECT_FALSE(handled);
    press(form.ContentsHtml, Qt::Key_F1);
    form.HelpButton->click();
    form.HotSpotClick("https://tablice.example/", handled);
    EXPECT_EQ(windows.take(),
        (QStringList { QStringLiteral("about contact"), QStringLiteral("help O_TABLIC"),
            QStringLiteral("help O_TABLIC"), QStringLiteral("tool https://tablice.example/") }));
    EXPECT_EQ(form.title(), QStringLiteral("Tablice chemiczne"));
}

TEST_F(TablesForm, SeparatorWrittenAtCloseWhileAUserIsLoggedIn)
{
    {
        TTablesForm form;
        form.done(mrOk);
    }
    EXPECT_EQ(ReadRegInteger(Hive::CurrentUser, test::kPlacementKey, "TablesFormSeparator"), 135);
    logOut();
    const std::vector<std::string> before = test::ReferenceWindowTest::storedValues();
    TTablesForm form;
    form.done(mrOk);
    EXPECT_EQ(storedValues(), before);
}

TEST_F(TablesForm, MissingArchiveLeavesEmptyPanes)
{
    QFile::remove(QString::fromStdString(ContentArchivePath()));
    TTablesForm form;
    EXPECT_EQ(form.title(), QStringLiteral("Tablice chemiczne"));
    EXPECT_TRUE(form.ContentsHtml->Layout().text.empty());
    EXPECT_TRUE(ui.finished());
}

} // namespace
} // namespace orbita
