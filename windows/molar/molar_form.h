#pragma once

#include "widgets/dialog_form.h"
#include "windows/molar/molar_mass_logic.h"

#include <QString>
#include <optional>
#include <string>

class QComboBox;
class QLabel;
class QTableWidget;
class QToolButton;

namespace orbita {

// "Kalkulator masy molowej": the molar mass of a typed formula and each
// element's share of it (the rules live in molar_mass_logic.h). The atomic
// masses are read once, as the window is made, from the element database of
// the content archive; an archive that cannot be read leaves the window with
// its reason in Polish and "Oblicz" disabled. Enter anywhere or "&Oblicz"
// computes; a formula that cannot be read shows its message under the box and
// puts the caret where the fault is. The formulas computed are kept in the
// box's list while the window is open. Sizeable.
class TMolarForm final : public TDialogForm {
    Q_OBJECT
public:
    // `archivePath`: the content archive to read UKLAD\DANE.TXT from; empty
    // means the program's own (ORBITA.DAT beside the executable).
    explicit TMolarForm(QWidget* parent = nullptr, std::string archivePath = {});
    ~TMolarForm() override;

    // The opening call of the main and launcher windows: the window, shown
    // modally over `owner`; returns when it closes.
    static void ShowMolarMass(QWidget* owner = nullptr);

    // The formulas kept in the box's list, newest first.
    static constexpr int kHistoryLength = 20;

protected:
    void helpRequested() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ObliczPrzyciskClick();
    void KopiujPrzyciskClick();
    void PomocPrzyciskClick();
    void ShowMass(const MolarMass& mass);
    void ShowError(const FormulaError& error);
    void ClearResult();
    void Remember(const QString& formula);

    std::optional<ElementMassTable> m_masses;
    std::optional<MolarMass> m_result;

    QLabel* WzorEtykieta = nullptr;
    QComboBox* WzorPole = nullptr;
    QToolButton* ObliczPrzycisk = nullptr;
    QLabel* BladEtykieta = nullptr;
    QLabel* WynikEtykieta = nullptr;
    QLabel* UwagaEtykieta = nullptr;
    QTableWidget* SkladTabela = nullptr;
    QToolButton* KopiujPrzycisk = nullptr;
    QToolButton* PomocPrzycisk = nullptr;
    QToolButton* ZamknijPrzycisk = nullptr;
};

} // namespace orbita
