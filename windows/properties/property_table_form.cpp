#include "windows/properties/property_table_form.h"

#include "platform/printing.h"
#include "platform/shell_services.h"
#include "platform/ui_services.h"
#include "platform/window_services.h"
#include "widgets/glyph_button.h"
#include "windows/window_opener.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace orbita {
namespace {

QString utf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QColor ToQColor(Rgb colour)
{
    return QColor(colour.red, colour.green, colour.blue);
}

Rgb ToRgb(const QColor& colour)
{
    return { static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
        static_cast<std::uint8_t>(colour.blue()) };
}

// The grid: 18 columns, 10 rows (row 8 is the gap).
QRectF GridArea(const QRectF& area)
{
    const double cell = std::min(area.width() / kTableColumns, area.height() / kTableRows);
    const QSizeF size(cell * kTableColumns, cell * kTableRows);
    return QRectF(area.center() - QPointF(size.width() / 2, size.height() / 2), size);
}

// The text shown in a cell under the symbol.
QString CellValueText(const PropertyTable& table, const PropertyTableView& view, int element)
{
    const TableElement& entry = table.elements[static_cast<std::size_t>(element)];
    if (view.mode == PropertyTableView::Mode::State) {
        const MatterState state = StateAt(entry, view.celsius);
        // Short words that fit a cell; the legend and the hover name the state in full.
        switch (state) {
        case MatterState::Solid:
            return QStringLiteral("stały");
        case MatterState::Liquid:
            return QStringLiteral("ciekły");
        case MatterState::Gas:
            return QStringLiteral("gazowy");
        case MatterState::Unknown:
            break;
        }
        return QStringLiteral("?");
    }
    const std::string& text = entry.Value(view.property).text;
    // The value without its note: "-272,2 (2,5 MPa)" shows "-272,2".
    return utf8(text.substr(0, text.find(" ("))).trimmed();
}

QString ScaleNumber(double value)
{
    const double magnitude = std::abs(value);
    const int decimals = magnitude == 0 || magnitude >= 100 ? 0 : magnitude >= 1 ? 1 : 2;
    return utf8(FormatDecimal(value, decimals));
}

void PaintLegend(
    QPainter& painter, const QRectF& box, const PropertyTable& table, const PropertyTableView& view)
{
    QFont font = painter.font();
    font.setPixelSize(std::max(7, static_cast<int>(box.height() / 8)));
    font.setBold(false);
    painter.setFont(font);
    const double line = QFontMetricsF(font).height();
    painter.setPen(Qt::black);
    if (view.mode == PropertyTableView::Mode::State) {
        const MatterState states[]
            = { MatterState::Solid, MatterState::Liquid, MatterState::Gas, MatterState::Unknown };
        painter.drawText(QRectF(box.left(), box.top(), box.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
            QStringLiteral("Stan skupienia w %1 °C (%2 K)")
                .arg(utf8(FormatDecimal(view.celsius, 1)),
                    utf8(FormatDecimal(CelsiusToKelvin(view.celsius), 2))));
        const double swatch = std::min(line * 1.4, (box.height() - line * 1.5) / 2);
        const double width = box.width() / 2;
        for (int index = 0; index < 4; ++index) {
            const QRectF sample(box.left() + (index % 2) * width,
                box.top() + line * 1.5 + (index / 2) * swatch * 1.2, swatch, swatch);
            painter.setPen(QPen(Qt::black, 0));
            painter.setBrush(ToQColor(StateColour(states[index])));
            painter.drawRect(sample);
            painter.drawText(
                QRectF(sample.right() + swatch * 0.3, sample.top(), width - swatch * 1.4, swatch),
                Qt::AlignLeft | Qt::AlignVCenter, utf8(StateName(states[index])));
        }
        return;
    }
    const TablePropertyInfo& info = PropertyInfo(view.property);
    const std::string& unit = table.Unit(view.property);
    QString caption = utf8(info.label);
    if (!unit.empty())
        caption += QStringLiteral(" [%1]").arg(utf8(unit));
    if (info.logarithmic)
        caption += QStringLiteral(", skala logarytmiczna");
    painter.drawText(
        QRectF(box.left(), box.top(), box.width(), line), Qt::AlignLeft | Qt::AlignVCenter, caption);
    const std::optional<ColourScale> scale = ScaleFor(table, view.property);
    const QRectF bar(box.left() + line, box.top() + line * 1.4, box.width() - 2 * line, line * 1.2);
    if (!scale) {
        painter.drawText(bar, Qt::AlignCenter, QStringLiteral("brak danych"));
        return;
    }
    QLinearGradient gradient(bar.topLeft(), bar.topRight());
    for (int step = 0; step <= 16; ++step)
        gradient.setColorAt(step / 16.0, ToQColor(Viridis(step / 16.0)));
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(gradient);
    painter.drawRect(bar);
    // Ticks under the bar, and the ends: min and max.
    auto tick = [&](double value, bool end) {
        const double x = bar.left() + scale->Position(value) * bar.width();
        painter.drawLine(QPointF(x, bar.bottom()), QPointF(x, bar.bottom() + line * 0.3));
        const QString text = end ? utf8(FormatDecimal(value, 3)) : ScaleNumber(value);
        const double width = QFontMetricsF(font).horizontalAdvance(text) + 2;
        painter.drawText(QRectF(x - width / 2, bar.bottom() + line * (end ? 1.3 : 0.3), width, line),
            Qt::AlignCenter, text);
    };
    for (const double value : scale->Ticks())
        tick(value, false);
    tick(scale->low, true);
    tick(scale->high, true);
    const QRectF grey(box.left() + line, bar.bottom() + line * 2.6, line, line * 0.8);
    if (grey.bottom() <= box.bottom() + 1) {
        painter.setBrush(ToQColor(kMissingColour));
        painter.drawRect(grey);
        painter.drawText(QRectF(grey.right() + line * 0.3, grey.top() - line * 0.1, box.width(), line),
            Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("brak danych"));
    }
}

} // namespace

QColor PropertyCellColour(const PropertyTable& table, const PropertyTableView& view, int element)
{
    const TableElement& entry = table.elements[static_cast<std::size_t>(element)];
    if (view.mode == PropertyTableView::Mode::State)
        return ToQColor(StateColour(StateAt(entry, view.celsius)));
    const std::optional<double>& number = entry.Value(view.property).number;
    const std::optional<ColourScale> scale = number ? ScaleFor(table, view.property) : std::nullopt;
    return ToQColor(scale ? scale->ColourOf(*number) : kMissingColour);
}

QRectF PropertyCellRect(const QRectF& area, int column, int row)
{
    const QRectF grid = GridArea(area);
    const double cell = grid.width() / kTableColumns;
    // Row 8 stays empty between the periods and the two rows below.
    return QRectF(grid.left() + (column - 1) * cell, grid.top() + (row - 1) * cell, cell, cell);
}

QRectF PropertyLegendRect(const QRectF& area)
{
    // Columns 3 to 12 of the first three periods hold no element.
    const QRectF first = PropertyCellRect(area, 3, 1);
    const QRectF last = PropertyCellRect(area, 12, 3);
    const double margin = first.width() * 0.2;
    return QRectF(first.topLeft(), last.bottomRight()).adjusted(margin, margin, -margin, -margin);
}

void PaintPropertyTable(QPainter& painter, const QRectF& area, const PropertyTable& table,
    const PropertyTableView& view, int current)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const double cell = GridArea(area).width() / kTableColumns;
    QFont symbolFont = painter.font();
    symbolFont.setBold(true);
    symbolFont.setPixelSize(std::max(6, static_cast<int>(cell * 0.34)));
    QFont smallFont = painter.font();
    smallFont.setBold(false);
    smallFont.setPixelSize(std::max(5, static_cast<int>(cell * 0.19)));
    const QFontMetricsF smallMetrics(smallFont);
    // One scale for every cell.
    const std::optional<ColourScale> scale
        = view.mode == PropertyTableView::Mode::Property ? ScaleFor(table, view.property) : std::nullopt;
    for (int number = 1; number < static_cast<int>(table.elements.size()); ++number) {
        const TableElement& entry = table.elements[static_cast<std::size_t>(number)];
        if (entry.column == 0)
            continue;
        const QRectF box = PropertyCellRect(area, entry.column, entry.row).adjusted(1, 1, -1, -1);
        QColor fill;
        if (view.mode == PropertyTableView::Mode::State) {
            fill = ToQColor(StateColour(StateAt(entry, view.celsius)));
        } else {
            const std::optional<double>& value = entry.Value(view.property).number;
            fill = ToQColor(value && scale ? scale->ColourOf(*value) : kMissingColour);
        }
        painter.setPen(QPen(QColor(0x60, 0x60, 0x60), 0));
        painter.setBrush(fill);
        painter.drawRect(box);
        painter.setPen(ToQColor(TextColourOn(ToRgb(fill))));
        const double pad = cell * 0.05;
        const QRectF inner = box.adjusted(pad, 0, -pad, 0);
        painter.setFont(smallFont);
        painter.drawText(QRectF(inner.left(), inner.top(), inner.width(), box.height() * 0.3),
            Qt::AlignLeft | Qt::AlignVCenter, QString::number(number));
        painter.drawText(
            QRectF(inner.left(), box.top() + box.height() * 0.68, inner.width(), box.height() * 0.3),
            Qt::AlignHCenter | Qt::AlignVCenter,
            smallMetrics.elidedText(CellValueText(table, view, number), Qt::ElideRight, inner.width()));
        painter.setFont(symbolFont);
        painter.drawText(
            QRectF(inner.left(), box.top() + box.height() * 0.26, inner.width(), box.height() * 0.42),
            Qt::AlignCenter, utf8(entry.symbol));
        if (number == current) {
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(Qt::red, std::max(2.0, cell * 0.06)));
            painter.drawRect(box.adjusted(1, 1, -1, -1));
        }
    }
    PaintLegend(painter, PropertyLegendRect(area), table, view);
    painter.restore();
}

QString PropertyViewTitle(const PropertyTable& table, const PropertyTableView& view)
{
    if (view.mode == PropertyTableView::Mode::State)
        return QStringLiteral("Tablica właściwości: stan skupienia w %1 °C (%2 K)")
            .arg(utf8(FormatDecimal(view.celsius, 1)), utf8(FormatDecimal(CelsiusToKelvin(view.celsius), 2)));
    QString title = QStringLiteral("Tablica właściwości: %1").arg(utf8(PropertyInfo(view.property).label));
    if (!table.Unit(view.property).empty())
        title += QStringLiteral(" [%1]").arg(utf8(table.Unit(view.property)));
    return title;
}

void PaintPropertyHandout(
    QPainter& painter, const QRectF& page, const PropertyTable& table, const PropertyTableView& view)
{
    painter.save();
    painter.fillRect(page, Qt::white);
    const double margin = std::min(page.width(), page.height()) * 0.05;
    const QRectF inner = page.adjusted(margin, margin, -margin, -margin);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(std::max(8, static_cast<int>(inner.height() * 0.045)));
    painter.setFont(font);
    painter.setPen(Qt::black);
    const double titleHeight = QFontMetricsF(font).height() * 1.5;
    painter.drawText(QRectF(inner.left(), inner.top(), inner.width(), titleHeight),
        Qt::AlignLeft | Qt::AlignTop, PropertyViewTitle(table, view));
    font.setBold(false);
    font.setPixelSize(std::max(6, static_cast<int>(inner.height() * 0.02)));
    painter.setFont(font);
    const double footHeight = QFontMetricsF(font).height() * 1.5;
    painter.drawText(QRectF(inner.left(), inner.bottom() - footHeight, inner.width(), footHeight),
        Qt::AlignLeft | Qt::AlignBottom,
        QStringLiteral("Dane: baza danych pierwiastków programu Orbita. Szare pola: brak danych."));
    PaintPropertyTable(painter, inner.adjusted(0, titleHeight, 0, -footHeight), table, view);
    painter.restore();
}

// ---------------------------------------------------------------------------

TPropertyTableWidget::TPropertyTableWidget(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TablicaWidok"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TPropertyTableWidget::setTable(const PropertyTable* table)
{
    m_table = table;
    update();
}

void TPropertyTableWidget::setView(const PropertyTableView& view)
{
    m_view = view;
    update();
}

void TPropertyTableWidget::setCurrentElement(int element)
{
    if (element < 1 || element > 118 || element == m_current)
        return;
    m_current = element;
    update();
    Q_EMIT currentElementChanged(element);
}

int TPropertyTableWidget::elementAt(QPointF point) const
{
    if (!m_table)
        return 0;
    for (int number = 1; number <= 118; ++number)
        if (cellRect(number).contains(point))
            return number;
    return 0;
}

QRectF TPropertyTableWidget::cellRect(int element) const
{
    if (!m_table || element < 1 || element > 118)
        return {};
    const TableElement& entry = m_table->elements[static_cast<std::size_t>(element)];
    if (entry.column == 0)
        return {};
    return PropertyCellRect(QRectF(rect()), entry.column, entry.row);
}

QSize TPropertyTableWidget::sizeHint() const
{
    return { 18 * 44, 10 * 44 };
}

QSize TPropertyTableWidget::minimumSizeHint() const
{
    return { 18 * 30, 10 * 30 };
}

void TPropertyTableWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    if (m_table)
        PaintPropertyTable(painter, QRectF(rect()), *m_table, m_view, hasFocus() ? m_current : 0);
}

void TPropertyTableWidget::mouseMoveEvent(QMouseEvent* event)
{
    const int element = elementAt(event->position());
    if (element != m_hovered) {
        m_hovered = element;
        Q_EMIT elementHovered(element);
    }
}

void TPropertyTableWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (const int element = elementAt(event->position())) {
        setCurrentElement(element);
        Q_EMIT elementActivated(element);
    }
}

void TPropertyTableWidget::leaveEvent(QEvent*)
{
    if (m_hovered != 0) {
        m_hovered = 0;
        Q_EMIT elementHovered(0);
    }
}

void TPropertyTableWidget::moveCurrent(int columns, int rows)
{
    if (!m_table)
        return;
    const TableElement& from = m_table->elements[static_cast<std::size_t>(m_current)];
    int column = from.column;
    int row = from.row;
    // Step over empty cells (and the gap row) until an element or the edge.
    for (;;) {
        column += columns;
        row += rows;
        if (column < 1 || column > kTableColumns || row < 1 || row > kTableRows)
            return;
        if (const int element = ElementAt(*m_table, column, row)) {
            setCurrentElement(element);
            return;
        }
    }
}

void TPropertyTableWidget::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
        moveCurrent(-1, 0);
        break;
    case Qt::Key_Right:
        moveCurrent(1, 0);
        break;
    case Qt::Key_Up:
        moveCurrent(0, -1);
        break;
    case Qt::Key_Down:
        moveCurrent(0, 1);
        break;
    case Qt::Key_Home:
        setCurrentElement(1);
        break;
    case Qt::Key_End:
        setCurrentElement(118);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        Q_EMIT elementActivated(m_current);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

bool TPropertyTableWidget::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && m_table) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int element = elementAt(help->pos());
        const std::string text = element == 0 ? std::string()
            : m_view.mode == PropertyTableView::Mode::State
            ? StateHoverText(*m_table, element, m_view.celsius)
            : PropertyHoverText(*m_table, element, m_view.property);
        if (text.empty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), utf8(text), this, cellRect(element).toRect());
        return true;
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
        update();
    return QWidget::event(event);
}

// ---------------------------------------------------------------------------

TPropertyTableForm::TPropertyTableForm(QWidget* parent, std::string archivePath)
    : TDialogForm(parent)
{
    setObjectName(QStringLiteral("PropertyTableForm"));
    SetHelpTopic(*this, QStringLiteral("O_WLASC"));
    setTitle(QStringLiteral("Tablica właściwości"));
    setSizeable(true);

    WlasciwoscPrzycisk = new QRadioButton(QStringLiteral("&Właściwość:"));
    WlasciwoscPrzycisk->setObjectName(QStringLiteral("WlasciwoscPrzycisk"));
    WlasciwoscPrzycisk->setAccessibleName(QStringLiteral("Właściwość"));
    WlasciwoscPrzycisk->setAccessibleDescription(
        QStringLiteral("Koloruje tablicę według wybranej właściwości"));
    WlasciwoscPrzycisk->setChecked(true);
    WlasciwoscPole = new QComboBox;
    WlasciwoscPole->setObjectName(QStringLiteral("WlasciwoscPole"));
    for (const TablePropertyInfo& info : TableProperties())
        WlasciwoscPole->addItem(utf8(info.label));
    WlasciwoscPole->setAccessibleName(QStringLiteral("Wybór właściwości"));
    WlasciwoscPole->setAccessibleDescription(
        QStringLiteral("Właściwość, według której kolorowana jest tablica"));
    StanPrzycisk = new QRadioButton(QStringLiteral("&Stan skupienia"));
    StanPrzycisk->setObjectName(QStringLiteral("StanPrzycisk"));
    StanPrzycisk->setAccessibleName(QStringLiteral("Stan skupienia"));
    StanPrzycisk->setAccessibleDescription(
        QStringLiteral("Koloruje tablicę według stanu skupienia w wybranej temperaturze"));

    TemperaturaEtykieta = new QLabel(QStringLiteral("&Temperatura:"));
    TemperaturaEtykieta->setObjectName(QStringLiteral("TemperaturaEtykieta"));
    TemperaturaSuwak = new QSlider(Qt::Horizontal);
    TemperaturaSuwak->setObjectName(QStringLiteral("TemperaturaSuwak"));
    TemperaturaSuwak->setRange(kLowestCelsius, kHighestCelsius);
    TemperaturaSuwak->setSingleStep(1);
    TemperaturaSuwak->setPageStep(100);
    TemperaturaSuwak->setAccessibleName(QStringLiteral("Suwak temperatury"));
    TemperaturaSuwak->setAccessibleDescription(QStringLiteral(
        "Temperatura w stopniach Celsjusza, od -273 do 6000; strzałki zmieniają o 1, Page Up i "
        "Page Down o 100"));
    TemperaturaPole = new QSpinBox;
    TemperaturaPole->setObjectName(QStringLiteral("TemperaturaPole"));
    TemperaturaPole->setRange(kLowestCelsius, kHighestCelsius);
    TemperaturaPole->setSuffix(QStringLiteral(" °C"));
    TemperaturaPole->setAccessibleName(QStringLiteral("Temperatura w stopniach Celsjusza"));
    TemperaturaPole->setAccessibleDescription(
        QStringLiteral("Temperatura, w której pokazywany jest stan skupienia"));
    TemperaturaEtykieta->setBuddy(TemperaturaPole);
    KelwinEtykieta = new QLabel;
    KelwinEtykieta->setObjectName(QStringLiteral("KelwinEtykieta"));
    // Labels are read by their text; the description says what it is.
    KelwinEtykieta->setAccessibleDescription(QStringLiteral("Temperatura w kelwinach"));
    KelwinEtykieta->setMinimumWidth(
        KelwinEtykieta->fontMetrics().horizontalAdvance(QStringLiteral("= 6273,15 K")));

    TablicaWidok = new TPropertyTableWidget;
    TablicaWidok->setAccessibleName(QStringLiteral("Układ okresowy"));
    TablicaWidok->setAccessibleDescription(
        QStringLiteral("Pierwiastki w układzie okresowym, kolorowane według wyboru; strzałki wybierają "
                       "pierwiastek, Enter otwiera "
                       "informacje o nim"));

    StatusEtykieta = new QLabel;
    StatusEtykieta->setObjectName(QStringLiteral("StatusEtykieta"));
    StatusEtykieta->setAccessibleDescription(QStringLiteral("Wskazany pierwiastek i jego wartość"));
    StatusEtykieta->setTextInteractionFlags(Qt::TextSelectableByMouse);

    PomocPrzycisk = MakeGlyphButton(
        body(), "PomocPrzycisk", "B_HELP", QStringLiteral("Pomo&c"), QStringLiteral("Wyświetla pomoc [F1]"));
    PomocPrzycisk->setAccessibleName(QStringLiteral("Pomoc"));
    PomocPrzycisk->setAccessibleDescription(QStringLiteral("Wyświetla pomoc do tablicy właściwości"));
    DrukujPrzycisk = MakeGlyphButton(body(), "DrukujPrzycisk", "B_PRINT", QStringLiteral("&Drukuj…"),
        QStringLiteral("Drukuje tablicę z legendą na kartce A4 ułożonej poziomo [Ctrl+P]"));
    DrukujPrzycisk->setAccessibleName(QStringLiteral("Drukuj tablicę"));
    DrukujPrzycisk->setAccessibleDescription(
        QStringLiteral("Drukuje tablicę w obecnym wyglądzie z legendą na kartce A4 ułożonej poziomo"));
    ZamknijPrzycisk = MakeGlyphButton(body(), "ZamknijPrzycisk", "B_CLOSE", QStringLiteral("&Zamknij"),
        QStringLiteral("Zamyka okno [Esc]"));
    ZamknijPrzycisk->setAccessibleName(QStringLiteral("Zamknij"));
    ZamknijPrzycisk->setAccessibleDescription(QStringLiteral("Zamyka okno"));

    auto* modeRow = new QHBoxLayout;
    modeRow->addWidget(WlasciwoscPrzycisk);
    modeRow->addWidget(WlasciwoscPole, 1);
    modeRow->addSpacing(16);
    modeRow->addWidget(StanPrzycisk);
    auto* temperatureRow = new QHBoxLayout;
    temperatureRow->addWidget(TemperaturaEtykieta);
    temperatureRow->addWidget(TemperaturaSuwak, 1);
    temperatureRow->addWidget(TemperaturaPole);
    temperatureRow->addWidget(KelwinEtykieta);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(PomocPrzycisk);
    buttons->addStretch(1);
    buttons->addWidget(DrukujPrzycisk);
    buttons->addWidget(ZamknijPrzycisk);
    QVBoxLayout* layout = bodyLayout();
    layout->setSpacing(6);
    layout->addLayout(modeRow);
    layout->addLayout(temperatureRow);
    layout->addWidget(TablicaWidok, 1);
    layout->addWidget(StatusEtykieta);
    layout->addLayout(buttons);
    resize(860, 620 + kCaptionHeight);
    setMinimumSize(620, 460);

    QWidget* previous = WlasciwoscPrzycisk;
    for (QWidget* next : { static_cast<QWidget*>(WlasciwoscPole), static_cast<QWidget*>(StanPrzycisk),
             static_cast<QWidget*>(TemperaturaSuwak), static_cast<QWidget*>(TemperaturaPole),
             static_cast<QWidget*>(TablicaWidok), static_cast<QWidget*>(PomocPrzycisk),
             static_cast<QWidget*>(DrukujPrzycisk), static_cast<QWidget*>(ZamknijPrzycisk) }) {
        setTabOrder(previous, next);
        previous = next;
    }

    connect(WlasciwoscPrzycisk, &QRadioButton::toggled, this, &TPropertyTableForm::ViewChanged);
    connect(WlasciwoscPole, &QComboBox::currentIndexChanged, this, [this] {
        WlasciwoscPrzycisk->setChecked(true);
        ViewChanged();
    });
    connect(TemperaturaSuwak, &QSlider::valueChanged, this, &TPropertyTableForm::TemperatureChanged);
    connect(TemperaturaPole, &QSpinBox::valueChanged, this, &TPropertyTableForm::TemperatureChanged);
    connect(TablicaWidok, &TPropertyTableWidget::elementHovered, this, &TPropertyTableForm::ShowHover);
    connect(TablicaWidok, &TPropertyTableWidget::currentElementChanged, this, &TPropertyTableForm::ShowHover);
    connect(TablicaWidok, &TPropertyTableWidget::elementActivated, this, &TPropertyTableForm::OpenElement);
    connect(PomocPrzycisk, &QToolButton::clicked, this, [this] { ShowHelpFor(this); });
    connect(DrukujPrzycisk, &QToolButton::clicked, this, &TPropertyTableForm::printRequested);
    connect(ZamknijPrzycisk, &QToolButton::clicked, this, &QDialog::reject);

    const std::string archive = archivePath.empty() ? ContentArchivePath() : std::move(archivePath);
    m_table = ReadPropertyTableFromArchive(archive);
    if (m_table) {
        TablicaWidok->setTable(&*m_table);
    } else {
        StatusEtykieta->setText(
            QStringLiteral("Nie można odczytać bazy danych pierwiastków z pliku „%1”.").arg(utf8(archive)));
        TablicaWidok->setEnabled(false);
        DrukujPrzycisk->setEnabled(false);
    }
    TemperatureChanged(20);
    WlasciwoscPole->setFocus();
}

TPropertyTableForm::~TPropertyTableForm() = default;

void TPropertyTableForm::ShowPropertyTable(QWidget* owner)
{
    TPropertyTableForm form(owner);
    Ui().ShowModal(form);
}

PropertyTableView TPropertyTableForm::view() const
{
    PropertyTableView view;
    view.mode
        = StanPrzycisk->isChecked() ? PropertyTableView::Mode::State : PropertyTableView::Mode::Property;
    view.property = static_cast<TableProperty>(std::max(0, WlasciwoscPole->currentIndex()));
    view.celsius = TemperaturaPole->value();
    return view;
}

void TPropertyTableForm::ViewChanged()
{
    const PropertyTableView shown = view();
    // Only the controls of the chosen mode can be used.
    const bool stateMode = shown.mode == PropertyTableView::Mode::State;
    WlasciwoscPole->setEnabled(!stateMode);
    TemperaturaSuwak->setEnabled(stateMode);
    TemperaturaPole->setEnabled(stateMode);
    TablicaWidok->setView(shown);
    if (m_table)
        TablicaWidok->setAccessibleDescription(PropertyViewTitle(*m_table, shown));
}

void TPropertyTableForm::TemperatureChanged(int celsius)
{
    // The slider and the box follow each other; the kelvins beside them.
    const QSignalBlocker sliderBlock(TemperaturaSuwak);
    const QSignalBlocker boxBlock(TemperaturaPole);
    TemperaturaSuwak->setValue(celsius);
    TemperaturaPole->setValue(celsius);
    KelwinEtykieta->setText(QStringLiteral("= %1 K").arg(utf8(FormatDecimal(CelsiusToKelvin(celsius), 2))));
    ViewChanged();
}

void TPropertyTableForm::ShowHover(int element)
{
    if (!m_table)
        return;
    const PropertyTableView shown = view();
    if (element == 0) {
        StatusEtykieta->clear();
        return;
    }
    const std::string text = shown.mode == PropertyTableView::Mode::State
        ? StateHoverText(*m_table, element, shown.celsius)
        : PropertyHoverText(*m_table, element, shown.property);
    StatusEtykieta->setText(utf8(text));
}

void TPropertyTableForm::OpenElement(int element)
{
    if (element >= 1 && element <= 118)
        Opener().OpenElement(this, element);
}

void TPropertyTableForm::printRequested()
{
    if (!m_table)
        return;
    // The handout as the table looks now, on one landscape sheet.
    const QString caption = windowTitle();
    const PropertyTableView shown = view();
    Ui().Print(this, { caption, QPageLayout::Landscape, [this, caption, shown](QPrinter& printer) {
                          PrintFramedPages(printer, caption, 1, [&](QPainter& painter, int) {
                              PaintPropertyHandout(
                                  painter, QRectF(QPointF(0, 0), PrintBodySize(printer)), *m_table, shown);
                          });
                      } });
}

void TPropertyTableForm::helpRequested()
{
    ShowHelpFor(this);
}

} // namespace orbita
