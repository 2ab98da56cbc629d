#pragma once

#include "widgets/dialog_form.h"
#include "windows/units/units_logic.h"

#include <QString>
#include <map>

class QComboBox;
class QLabel;
class QLineEdit;
class QStackedWidget;
class QToolButton;

namespace orbita {

// "Przelicznik jednostek": a value typed into the box of one unit is
// converted to the other units of its quantity (units_logic.h). Fixed size;
// Enter anywhere or "&Przelicz" converts from the box that has the focus or,
// when a click took the focus elsewhere, from the box of the shown page that
// had it last.
class TUnitsForm final : public TDialogForm {
    Q_OBJECT
public:
    explicit TUnitsForm(QWidget* parent = nullptr);
    ~TUnitsForm() override;

    // The opening call of the main and launcher windows: the window, shown
    // modally over `owner`; returns when it closes.
    static void ShowUnits(QWidget* owner = nullptr);

    void setVisible(bool visible) override;

protected:
    void helpRequested() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void JednostkaListaChange();
    void PrzeliczPrzyciskClick();
    void PomocPrzyciskClick();
    // A change by the user: what it inserted passes the entry rule or is undone.
    void BoxEdited(QLineEdit* box);
    // The box to convert from: the focused one in the search order, else the
    // last focused box when it is on the shown page.
    QLineEdit* SourceBox() const;

    std::map<units::Unit, QLineEdit*> m_boxes;
    QLineEdit* m_lastBox = nullptr;
    struct Shown {
        QString previous;
        QString current;
    };
    std::map<QLineEdit*, Shown> m_shown; // each box's last two texts

    QComboBox* JednostkaLista = nullptr;
    QLabel* PrecyzjaEtykieta = nullptr;
    QComboBox* PrecyzjaLista = nullptr;
    QLabel* PrzeliczEtykieta = nullptr;
    QStackedWidget* Strony = nullptr;
    QToolButton* PrzeliczPrzycisk = nullptr;
    QToolButton* PomocPrzycisk = nullptr;
    QToolButton* ZamknijPrzycisk = nullptr;
};

} // namespace orbita
