#pragma once

#include "windows/reference/browser_form.h"

namespace orbita {

// The reference tables "Tablice chemiczne": the list TABLICE\MENU.HTM beside
// the table pages of TABLICE\ (TABLICE\INDEX.HTM first). Links to "#name"
// scroll within the page; ORB_KORESPONDENCJA opens the about box on its
// contact page; the help button and F1 open the topic O_TABLIC.
class TTablesForm final : public TBrowserForm {
    Q_OBJECT

public:
    // Creates the window over `owner` and shows it modally.
    static void ShowTables(QWidget* owner = nullptr);

    explicit TTablesForm(QWidget* parent = nullptr);
    ~TTablesForm() override;
    Q_DISABLE_COPY_MOVE(TTablesForm)

    void HelpButtonClick();
    // Prints the shown table page through the print preview.
    void PrintButtonClick();

    QToolButton* HelpButton = nullptr;
    QToolButton* PrintButton = nullptr;

protected:
    void helpRequested() override { HelpButtonClick(); }
    void printRequested() override { PrintButtonClick(); }
    void ContentsShown() override;
};

} // namespace orbita
