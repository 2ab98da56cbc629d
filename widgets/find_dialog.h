#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QCheckBox;
class QLineEdit;
class QToolButton;

namespace orbita {

// The find dialog of the program's document windows: the text, the
// match-case option, "Znajdź następny" and "Anuluj". It always searches
// downwards and stays open (modeless) until cancelled. Each find-next
// request calls OnFindNext with the text and the match-case choice; when
// that gives false (nothing further found, or no text) a message box owned
// by the dialog says that the search of the document has ended.
class TFindDialog final : public QDialog {
    Q_OBJECT

public:
    using FindNextEvent = std::function<bool(const QString& text, bool matchCase)>;

    explicit TFindDialog(QWidget* parent);
    Q_DISABLE_COPY_MOVE(TFindDialog)

    QString FindText() const;
    bool MatchCase() const;

    // Shows the dialog (or brings it forward) with the text box focused.
    void Open();
    // A find-next request, as the button makes it.
    void FindNext();

    FindNextEvent OnFindNext;

    QLineEdit* TextEdit = nullptr;
    QCheckBox* MatchCaseBox = nullptr;
    QToolButton* FindNextButton = nullptr;
    QToolButton* CancelButton = nullptr;
};

// The box a search shows when it finds nothing further: "Przeszukiwanie
// dokumentu zostało zakończone", caption "Rezultat wyszukiwania", the
// information icon, owned by `owner` (the find dialog).
void ReportSearchEnded(QWidget* owner);

} // namespace orbita
