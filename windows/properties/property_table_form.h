#pragma once

#include "widgets/dialog_form.h"
#include "windows/properties/property_table_logic.h"

#include <QColor>
#include <QRectF>
#include <QWidget>
#include <optional>
#include <string>

class QComboBox;
class QLabel;
class QPainter;
class QRadioButton;
class QSlider;
class QSpinBox;
class QToolButton;

namespace orbita {

// What the table shows: one property's values, or the state of matter at a
// temperature.
struct PropertyTableView {
    enum class Mode { Property, State };
    Mode mode = Mode::Property;
    TableProperty property = TableProperty::Electronegativity;
    double celsius = 20;
};

// The colour of `element`'s cell in `view` (grey without data).
QColor PropertyCellColour(const PropertyTable& table, const PropertyTableView& view, int element);

// Draws the periodic table into `area`: every element's cell with its number,
// symbol and value (in state mode the state), coloured by `view`, and the
// legend in the empty space above the transition metals (the colour bar with
// its ticks and unit, or the three states and "brak danych"). `current`, when
// set, is framed. The cells keep the proportions of the 18 × 10 grid,
// centred in `area`.
void PaintPropertyTable(QPainter& painter, const QRectF& area, const PropertyTable& table,
    const PropertyTableView& view, int current = 0);

// The rectangle of the cell at (column, row) of the drawn table in `area`.
QRectF PropertyCellRect(const QRectF& area, int column, int row);
// The rectangle of the legend in `area`.
QRectF PropertyLegendRect(const QRectF& area);

// The title of a view: "Tablica właściwości: Gęstość [g/cm³]" or
// "Tablica właściwości: stan skupienia w 30 °C (303,15 K)".
QString PropertyViewTitle(const PropertyTable& table, const PropertyTableView& view);

// A printable handout of `view` on `page` (A4 landscape or any other): the
// title at the top, the table with its legend filling the rest, and the
// source line at the bottom.
void PaintPropertyHandout(
    QPainter& painter, const QRectF& page, const PropertyTable& table, const PropertyTableView& view);

// The drawn periodic table. Hovering a cell reports its element
// (elementHovered, 0 when leaving), clicking it or Enter on the current cell
// activates it; the arrow keys, Home and End move the current cell.
class TPropertyTableWidget final : public QWidget {
    Q_OBJECT
public:
    explicit TPropertyTableWidget(QWidget* parent = nullptr);

    void setTable(const PropertyTable* table);
    void setView(const PropertyTableView& view);
    const PropertyTableView& view() const { return m_view; }
    int currentElement() const { return m_current; }
    void setCurrentElement(int element);
    // The element drawn at `point` (widget coordinates), or 0.
    int elementAt(QPointF point) const;
    QRectF cellRect(int element) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void elementHovered(int element);
    void elementActivated(int element);
    void currentElementChanged(int element);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    void moveCurrent(int columns, int rows);

    const PropertyTable* m_table = nullptr;
    PropertyTableView m_view;
    int m_current = 1;
    int m_hovered = 0;
};

// "Tablica właściwości": the periodic table coloured by a property of the
// element database or by the state of matter at a chosen temperature. The
// database is read once, as the window is made; an archive that cannot be
// read leaves the window with its reason. Hovering a cell shows the element's
// value in the status line and a tool tip; clicking it (or Enter) opens the
// element window. Sizeable.
class TPropertyTableForm final : public TDialogForm {
    Q_OBJECT
public:
    // `archivePath`: the content archive to read UKLAD\DANE.TXT from; empty
    // means the program's own.
    explicit TPropertyTableForm(QWidget* parent = nullptr, std::string archivePath = {});
    ~TPropertyTableForm() override;

    static void ShowPropertyTable(QWidget* owner = nullptr);

    TPropertyTableWidget* tableWidget() const { return TablicaWidok; }
    const std::optional<PropertyTable>& table() const { return m_table; }
    // The view shown now.
    PropertyTableView view() const;

protected:
    void helpRequested() override;
    void printRequested() override;

private:
    void ViewChanged();
    void TemperatureChanged(int celsius);
    void ShowHover(int element);
    void OpenElement(int element);

    std::optional<PropertyTable> m_table;

    QRadioButton* WlasciwoscPrzycisk = nullptr;
    QComboBox* WlasciwoscPole = nullptr;
    QRadioButton* StanPrzycisk = nullptr;
    QLabel* TemperaturaEtykieta = nullptr;
    QSlider* TemperaturaSuwak = nullptr;
    QSpinBox* TemperaturaPole = nullptr;
    QLabel* KelwinEtykieta = nullptr;
    TPropertyTableWidget* TablicaWidok = nullptr;
    QLabel* StatusEtykieta = nullptr;
    QToolButton* PomocPrzycisk = nullptr;
    QToolButton* DrukujPrzycisk = nullptr;
    QToolButton* ZamknijPrzycisk = nullptr;
};

} // namespace orbita
