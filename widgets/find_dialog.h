#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

class QCheckBox;
class QLineEdit;
class QToolButton;

namespace orbita {

// The find dialog of the program's document windows (the element window,
// help, the tables and the dictionary): the text, the match-case option,
// "Znajdź następny" and "Anuluj". It always searches downwards and stays open
// (modeless) until cancelled. Each find-next request calls OnFindNext with
// the text and the match-case choice; that gives where the match is shown
// (global coordinates, an empty rectangle when the view cannot say), and the
// dialog moves off a match it covers. When it gives nothing (nothing further
// found, or no text) a message box owned by the dialog says that the search
// of the document has ended.
class TFindDialog final : public QDialog {
    Q_OBJECT

public:
    using FindNextEvent = std::function<std::optional<QRect>(const QString& text, bool matchCase)>;

    explicit TFindDialog(QWidget* parent);
    Q_DISABLE_COPY_MOVE(TFindDialog)

    QString FindText() const;
    bool MatchCase() const;

    // Shows the dialog (or brings it forward) with the text box focused. A
    // hidden dialog first takes a place clear of `page` (global coordinates:
    // the searched view), centred below it when the screen has room, so
    // that it hides none of the matches.
    void Open(const QRect& page = QRect());
    // A find-next request, as the button makes it.
    void FindNext();
    // Moves the shown dialog off `match` (global coordinates) when it covers it.
    void KeepClearOf(const QRect& match);

    FindNextEvent OnFindNext;

    QLineEdit* TextEdit = nullptr;
    QCheckBox* MatchCaseBox = nullptr;
    QToolButton* FindNextButton = nullptr;
    QToolButton* CancelButton = nullptr;

private:
    QRect screenArea() const;
};

// A place for a window of `size` on `screen` that leaves `avoid` uncovered:
// below it, else above it, else right of it, else left of it, each kept on
// the screen; `preferred` gives the other coordinate. When nothing clears it,
// the screen's bottom edge.
QPoint ClearOf(const QRect& avoid, QSize size, const QRect& screen, QPoint preferred);

// The box a search shows when it finds nothing further: "Przeszukiwanie
// dokumentu zostało zakończone", caption "Rezultat wyszukiwania", the
// information icon, owned by `owner` (the find dialog).
void ReportSearchEnded(QWidget* owner);

} // namespace orbita
