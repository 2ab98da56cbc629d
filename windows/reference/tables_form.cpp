#include "windows/reference/tables_form.h"

#include "htmlview/html_view_widget.h"
#include "platform/ui_services.h"
#include "widgets/glyph_button.h"
#include "windows/window_opener.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace orbita {
namespace {

const TBrowserForm::Kind kTablesKind { Browser::Tables, Viewer::Tables, Splitter::Tables, "TablesForm",
    "Tablice chemiczne", { "TopListPanel", "LeftListPanel", "RightListPanel", "BottomListPanel" }, false };

} // namespace

void TTablesForm::ShowTables(QWidget* owner)
{
    TTablesForm form(owner);
    Ui().ShowModal(form);
}

TTablesForm::TTablesForm(QWidget* parent)
    : TBrowserForm(kTablesKind, parent)
{
    SetHelpTopic(*this, QStringLiteral("O_TABLIC"));
    resize(640, 480);
    HelpButton = MakeGlyphButton(
        body(), "HelpButton", "B_HELP", QStringLiteral("Pomo&c"), QStringLiteral("Wyświetla pomoc [F1]"));
    PrintButton = MakeGlyphButton(body(), "PrintButton", "B_PRINT", QStringLiteral("&Drukuj…"),
        QStringLiteral("Drukuje pokazaną tablicę albo zapisuje ją w pliku PDF [Ctrl+P]"));
    PrintButton->setAccessibleName(QStringLiteral("Drukuj"));
    PrintButton->setAccessibleDescription(
        QStringLiteral("Drukuje pokazaną tablicę albo zapisuje ją w pliku PDF (Ctrl+P)"));
    for (QToolButton* button : { HelpButton, SettingsButton, FindButton, PrintButton })
        ButtonRow()->addWidget(button);
    setTabOrder(FindButton, PrintButton); // Tab goes along the row as it reads
    connect(HelpButton, &QToolButton::clicked, this, &TTablesForm::HelpButtonClick);
    connect(PrintButton, &QToolButton::clicked, this, &TTablesForm::PrintButtonClick);
    ReadStoredLook();
    LoadMember(*MenuHtml, MenuMember(Browser::Tables));
    LoadMember(*ContentsHtml, TablesIndexMember());
    ContentsShown();
    ContentsHtml->setFocus();
}

TTablesForm::~TTablesForm() = default;

void TTablesForm::ContentsShown()
{
    PrintButton->setEnabled(ContentsHtml->HasPrintablePage());
}

void TTablesForm::PrintButtonClick()
{
    ContentsShown();
    if (!PrintButton->isEnabled())
        return;
    const QString caption = title();
    Ui().Print(this, { caption, QPageLayout::Portrait, [this, caption](QPrinter& printer) {
                          ContentsHtml->Print(printer, caption);
                      } });
}

void TTablesForm::HelpButtonClick()
{
    ShowHelpFor(this);
}

} // namespace orbita
