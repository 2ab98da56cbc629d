#pragma once

#include "widgets/dialog_form.h"

#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace orbita {

// "Wyszukiwanie pierwiastków": finds the elements whose value of one property
// matches a text (whole value or part, ASCII letters without regard to case),
// lists them by the value of a second property and opens the element window
// for a listed element. The search texts are kept per account in
// FindKeywords (at most 200). The rules live in find_logic.h.
class TFindForm final : public TDialogForm {
    Q_OBJECT
public:
    // `archivePath`: the content archive to read UKLAD\DANE.TXT from; empty
    // means the program's own (ORBITA.DAT beside the executable).
    explicit TFindForm(QWidget* parent = nullptr, std::string archivePath = {});
    ~TFindForm() override;

    // The opening call of the main and launcher windows: the window, shown
    // modally over `owner`; returns when it closes.
    static void ShowFind(QWidget* owner = nullptr);

    void done(int result) override;

protected:
    void helpRequested() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormClose();
    void SzukajPrzyciskClick();
    void SzukajPoleChange();
    bool SzukajPoleKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void RezultatyListaDblClick();
    bool RezultatyListaKeyDown(int key);
    void PomocPrzyciskClick();

    std::string m_archivePath;
    std::vector<std::string> m_lines; // the database, while the window is open
    std::vector<std::string> m_history; // the items of SzukajPole, Windows-1250
    std::vector<int> m_results; // the element of each entry of RezultatyLista

    QLabel* KryteriaOpisPanel = nullptr;
    QLabel* SzukajEtykieta = nullptr;
    QComboBox* SzukajPole = nullptr;
    QCheckBox* CaleOpcja = nullptr;
    QLabel* PrzeszukajEtykieta = nullptr;
    QComboBox* PrzeszukajPole = nullptr;
    QLabel* WyswietlEtykieta = nullptr;
    QComboBox* WyswietlPole = nullptr;
    QLabel* RezultatyOpisPanel = nullptr;
    QLabel* OpisHtml = nullptr;
    QListWidget* RezultatyLista = nullptr;
    QPushButton* SzukajPrzycisk = nullptr;
    QPushButton* PomocPrzycisk = nullptr;
    QPushButton* ZamknijPrzycisk = nullptr;
};

} // namespace orbita
