#pragma once

#include "core/element_numbers.h"
#include "widgets/dialog_form.h"
#include "windows/settings/view_appearance.h"

#include <QRect>
#include <QString>
#include <functional>
#include <optional>
#include <string>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QStackedWidget;
class QToolButton;

namespace orbita {

class TFindDialog;
class ThtmlLite;

// The modal window that shows one element at a time in three modes: details
// (the generated property table), description (the element's own page from
// the content archive) and notes (a per-user notepad kept scrambled in the
// registry under Notes).
class TElementForm final : public TDialogForm {
    Q_OBJECT

public:
    enum class Mode { None = 0, Details = 1, Description = 2, Notes = 3 };

    static constexpr int kFirstElement = orbita::kFirstElement;
    static constexpr int kLastElement = orbita::kLastElement;

    // Sets the current element number, creates the window (over `owner`)
    // and shows it modally; returns when it closes.
    static void Insert(int element, QWidget* owner = nullptr);
    // The element last shown (it stays set after the window closes).
    static int CurrentElement();

    // Creates the window (FormCreate) on the current element, or on
    // `element` when given (which then becomes the current element).
    explicit TElementForm(QWidget* parent = nullptr);
    explicit TElementForm(int element, QWidget* parent = nullptr);
    ~TElementForm() override;
    Q_DISABLE_COPY_MOVE(TElementForm)

    Mode CurrentMode() const;
    // True while a page is being built or read (the arrow keys wait).
    bool Busy() const;
    bool NoteModified() const { return m_noteModified; }
    // The pages of the element last built in details mode.
    const std::string& DisplayPage() const { return m_displayPage; }
    const std::string& ExportPage() const { return m_exportPage; }
    const ViewAppearance& Appearance() const { return m_appearance; }

    // The page generator: sets the name label and the caption from the
    // element database, and with `full` builds the display and export pages
    // and loads the display page into the view. BuildPage is the program's
    // own; tests may wrap it to watch the window's calls.
    using PageBuilder = std::function<void(TElementForm& form, int element, bool full)>;
    static void SetPageBuilder(PageBuilder builder);
    static void BuildPage(TElementForm& form, int element, bool full);
    // Used by the page builder.
    void SetElementName(const QString& name);
    void SetPages(std::string display, std::string exportPage);

    // Handlers. Help (F1) opens the topic O_PIERWS and the pseudo link
    // ORB_KORESPONDENCJA the about box on its contact page, both through the
    // window opener.
    void DetailsButtonClick();
    void DescriptionButtonClick();
    void NoteButtonClick();
    void FirstButtonClick();
    void PreviousButtonClick();
    void NextButtonClick();
    void LastButtonClick();
    void SaveButtonClick();
    void CopyButtonClick();
    void HelpButtonClick();
    void SettingsButtonClick();
    void FindButtonClick();
    // Prints the shown page (details or description) or the note through
    // the print preview; nothing without a page or with an empty note.
    void PrintButtonClick();
    // The find dialog's search in the shown page or note: where the match is
    // shown (global coordinates), nothing when there is no further match.
    std::optional<QRect> FindDialogFind(const QString& needle, bool matchCase);
    void MainHtmlHotSpotClick(const std::string& target, bool& handled);
    void MemoMenuPopup();
    void CutNoteMemoClick();
    void CopyNoteMemoClick();
    void PasteNoteMemoClick();
    void DelNoteMemoClick();
    void SelectAllNoteMemoClick();
    void RemoveNoteMemoClick();
    void NoteMemoChange();

    // Components.
    QToolButton* DetailsButton = nullptr;
    QToolButton* DescriptionButton = nullptr;
    QToolButton* NoteButton = nullptr;
    QToolButton* FirstButton = nullptr;
    QToolButton* PreviousButton = nullptr;
    QToolButton* NextButton = nullptr;
    QToolButton* LastButton = nullptr;
    QToolButton* SaveButton = nullptr;
    QToolButton* CopyButton = nullptr;
    QToolButton* PrintButton = nullptr;
    QToolButton* HelpButton = nullptr;
    QToolButton* SettingsButton = nullptr;
    QToolButton* FindButton = nullptr;
    QToolButton* CloseButton = nullptr;
    QLabel* PierwiastekEtykieta = nullptr;
    QFrame* MainPanel = nullptr;
    QStackedWidget* Notebook = nullptr;
    ThtmlLite* MainHtml = nullptr;
    QPlainTextEdit* NoteMemo = nullptr;
    QMenu* MemoMenu = nullptr;
    QAction* CutNoteMemo = nullptr;
    QAction* CopyNoteMemo = nullptr;
    QAction* PasteNoteMemo = nullptr;
    QAction* DelNoteMemo = nullptr;
    QAction* SelectAllNoteMemo = nullptr;
    QAction* RemoveNoteMemo = nullptr;
    TFindDialog* FindDialog = nullptr;

    void done(int result) override;

protected:
    void helpRequested() override { HelpButtonClick(); }
    void findRequested() override { FindButtonClick(); }
    void appearanceRequested() override { SettingsButtonClick(); }
    void printRequested() override { PrintButtonClick(); }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolButton* makeButton(
        const char* name, const char* picture, const QString& caption, const QString& hint);
    void setupComponents();
    void setupConnections();
    void refresh();
    void stepTo(int element);
    void updateStepButtons();
    void updatePrintButton();
    void setBusy(bool busy);
    void buildPage(bool full);
    void loadDescription();
    void loadNote();
    void storeNote();
    void storeNoteIfModified();
    void applyAppearance();
    bool handleKey(int key, Qt::KeyboardModifiers modifiers);
    bool writeFile(const QString& fileName, const QByteArray& bytes);

    std::string m_displayPage;
    std::string m_exportPage;
    ViewAppearance m_appearance;
    bool m_noteModified = false;
    bool m_loadingNote = false;
    bool m_busy = false;
    bool m_closed = false;
    QFrame* m_borderPanels[4] = {};
};

} // namespace orbita
