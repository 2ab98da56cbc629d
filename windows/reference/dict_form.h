#pragma once

#include "widgets/dialog_form.h"
#include "windows/reference/dictionary_logic.h"
#include "windows/settings/view_appearance.h"

#include <optional>
#include <string>
#include <vector>

class QFrame;
class QLineEdit;
class QListWidget;
class QSplitter;
class QToolButton;

namespace orbita {

class TFindDialog;
class ThtmlLite;

// The chemical dictionary "Słownik chemiczny": the terms of SLOWNIK\DANE.TXT
// in Polish order on the left, with the keyword box above them that jumps to
// the first term beginning with what is typed, and the chosen term's
// definition on the right. The keyword and the list's width are kept for the
// next opening (while a user is logged in).
class TDictForm final : public TDialogForm {
    Q_OBJECT

public:
    // Creates the window over `owner` and shows it modally.
    static void ShowDictionary(QWidget* owner = nullptr);

    explicit TDictForm(QWidget* parent = nullptr);
    ~TDictForm() override;
    Q_DISABLE_COPY_MOVE(TDictForm)

    const std::vector<DictionaryEntry>& Entries() const { return m_entries; }
    const ViewAppearance& Appearance() const { return m_appearance; }
    int ListPaneWidth() const;
    bool ListPaneShown() const;

    // Handlers.
    void ListClick();
    void KeywordBoxChange();
    void ListPanelResize();
    void ListButtonClick();
    void SettingsButtonClick();
    void FindButtonClick();
    void HelpButtonClick();
    void MainHtmlHotSpotClick(const std::string& target, bool& handled);

    // Components.
    QToolButton* ListButton = nullptr;
    QToolButton* HelpButton = nullptr;
    QToolButton* SettingsButton = nullptr;
    QToolButton* FindButton = nullptr;
    QToolButton* CloseButton = nullptr;
    QFrame* MainPanel = nullptr;
    QSplitter* Splitter = nullptr;
    QWidget* ListPanel = nullptr;
    QLineEdit* KeywordBox = nullptr;
    QFrame* ListGroup = nullptr;
    QListWidget* List = nullptr;
    ThtmlLite* MainHtml = nullptr;
    QFrame* BorderPanels[4] = {};
    TFindDialog* FindDialog = nullptr;

    void done(int result) override;

protected:
    void helpRequested() override { HelpButtonClick(); }
    void findRequested() override { FindButtonClick(); }
    void appearanceRequested() override { SettingsButtonClick(); }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showEntry(std::size_t index);
    void applyAppearance();
    std::size_t topVisibleIndex() const;
    std::optional<std::size_t> selectedRow() const;

    std::vector<DictionaryEntry> m_entries;
    ViewAppearance m_appearance;
    int m_listWidth = 135;
    bool m_closed = false;
};

} // namespace orbita
