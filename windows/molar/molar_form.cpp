#include "windows/molar/molar_form.h"

#include "platform/shell_services.h"
#include "platform/ui_services.h"
#include "platform/window_services.h"
#include "widgets/glyph_button.h"
#include "windows/window_opener.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace orbita {
namespace {

// The table's columns, left to right.
constexpr const char* kColumns[]
    = { "Pierwiastek", "Liczba atomów", "Masa atomowa [g/mol]", "Masa [g/mol]", "Udział masowy [%]" };

QString utf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The caret index in `text` (UTF-16 code units) before the character at
// `position`, counted from 1 in characters; past the end, the end.
int CaretBefore(const QString& text, std::size_t position)
{
    int index = 0;
    for (std::size_t character = 1; character < position && index < text.size(); ++character)
        index += text.at(index).isHighSurrogate() && index + 1 < text.size() ? 2 : 1;
    return index;
}

QTableWidgetItem* Cell(const QString& text, Qt::Alignment alignment)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

TMolarForm::TMolarForm(QWidget* parent, std::string archivePath)
    : TDialogForm(parent)
{
    setObjectName(QStringLiteral("MolarForm"));
    SetHelpTopic(*this, QStringLiteral("O_MASA"));
    setTitle(QStringLiteral("Kalkulator masy molowej"));
    setSizeable(true);

    WzorEtykieta = new QLabel(QStringLiteral("&Wzór:"));
    WzorEtykieta->setObjectName(QStringLiteral("WzorEtykieta"));
    WzorPole = new QComboBox;
    WzorPole->setObjectName(QStringLiteral("WzorPole"));
    WzorPole->setEditable(true);
    // The list holds only formulas computed; Enter computes instead of adding.
    WzorPole->setInsertPolicy(QComboBox::NoInsert);
    WzorPole->setMaxCount(kHistoryLength);
    WzorPole->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    WzorPole->setAccessibleName(QStringLiteral("Wzór sumaryczny"));
    WzorPole->setAccessibleDescription(
        QStringLiteral("Wzór związku, np. CuSO4·5H2O, Ca(OH)2 lub K4[Fe(CN)6]; Enter oblicza masę molową"));
    WzorPole->setToolTip(QStringLiteral("Wzór związku, np. CuSO4·5H2O, Ca(OH)2, K4[Fe(CN)6] lub SO4^2-"));
    WzorEtykieta->setBuddy(WzorPole);

    ObliczPrzycisk = MakeGlyphButton(body(), "ObliczPrzycisk", "B_CALC", QStringLiteral("&Oblicz"),
        QStringLiteral("Oblicza masę molową wzoru [Enter]"));
    ObliczPrzycisk->setAccessibleName(QStringLiteral("Oblicz"));

    BladEtykieta = new QLabel;
    BladEtykieta->setObjectName(QStringLiteral("BladEtykieta"));
    BladEtykieta->setWordWrap(true);
    BladEtykieta->setAccessibleName(QStringLiteral("Błąd"));
    QPalette red = BladEtykieta->palette();
    red.setColor(QPalette::WindowText, QColor(0xB0, 0x10, 0x10));
    BladEtykieta->setPalette(red);
    BladEtykieta->hide();

    WynikEtykieta = new QLabel;
    WynikEtykieta->setObjectName(QStringLiteral("WynikEtykieta"));
    WynikEtykieta->setAccessibleName(QStringLiteral("Masa molowa"));
    WynikEtykieta->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont big = WynikEtykieta->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    WynikEtykieta->setFont(big);

    UwagaEtykieta = new QLabel(utf8(kMassNumberNote));
    UwagaEtykieta->setObjectName(QStringLiteral("UwagaEtykieta"));
    UwagaEtykieta->setAccessibleName(QStringLiteral("Uwaga o liczbach masowych"));
    UwagaEtykieta->setWordWrap(true);
    UwagaEtykieta->hide();

    SkladTabela = new QTableWidget(0, static_cast<int>(std::size(kColumns)));
    SkladTabela->setObjectName(QStringLiteral("SkladTabela"));
    SkladTabela->setAccessibleName(QStringLiteral("Skład masowy"));
    SkladTabela->setAccessibleDescription(
        QStringLiteral("Pierwiastki wzoru: liczba atomów, masa atomowa, masa i udział masowy"));
    QStringList captions;
    for (const char* caption : kColumns)
        captions << QString::fromUtf8(caption);
    SkladTabela->setHorizontalHeaderLabels(captions);
    SkladTabela->verticalHeader()->hide();
    SkladTabela->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SkladTabela->setSelectionBehavior(QAbstractItemView::SelectRows);
    SkladTabela->setSelectionMode(QAbstractItemView::SingleSelection);
    SkladTabela->setTabKeyNavigation(false);
    // Every caption whole: the columns as wide as their contents, the last
    // one taking what is left.
    QHeaderView* header = SkladTabela->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setStretchLastSection(true);
    header->setSectionsClickable(false);
    int columnsWidth = 0;
    for (int column = 0; column < SkladTabela->columnCount(); ++column)
        columnsWidth += header->sectionSizeHint(column);

    KopiujPrzycisk = MakeGlyphButton(body(), "KopiujPrzycisk", "B_COPY", QStringLiteral("&Kopiuj"),
        QStringLiteral("Kopiuje wynik i tabelę do schowka"));
    KopiujPrzycisk->setAccessibleName(QStringLiteral("Kopiuj"));
    PomocPrzycisk = MakeGlyphButton(
        body(), "PomocPrzycisk", "B_HELP", QStringLiteral("Pomo&c"), QStringLiteral("Wyświetla pomoc [F1]"));
    PomocPrzycisk->setAccessibleName(QStringLiteral("Pomoc"));
    ZamknijPrzycisk = MakeGlyphButton(body(), "ZamknijPrzycisk", "B_CLOSE", QStringLiteral("&Zamknij"),
        QStringLiteral("Zamyka okno [Esc]"));
    ZamknijPrzycisk->setAccessibleName(QStringLiteral("Zamknij"));

    auto* top = new QHBoxLayout;
    top->addWidget(WzorEtykieta);
    top->addWidget(WzorPole, 1);
    top->addWidget(ObliczPrzycisk);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(KopiujPrzycisk);
    buttons->addWidget(PomocPrzycisk);
    buttons->addStretch(1);
    buttons->addWidget(ZamknijPrzycisk);

    QVBoxLayout* layout = bodyLayout();
    layout->setSpacing(6);
    layout->addLayout(top);
    layout->addWidget(BladEtykieta);
    layout->addWidget(WynikEtykieta);
    layout->addWidget(UwagaEtykieta);
    layout->addWidget(SkladTabela, 1);
    layout->addLayout(buttons);

    // The designed outer size with the caption that opening removes, wide
    // enough for the table's captions in the fonts at hand (the margins, the
    // table's frame and a vertical scroll bar beside them).
    const QMargins margins = layout->contentsMargins();
    const int tableWidth = columnsWidth + 2 * SkladTabela->frameWidth()
        + SkladTabela->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + margins.left() + margins.right();
    resize(std::max(560, tableWidth), 380 + kCaptionHeight);
    setMinimumSize(std::max(440, tableWidth), 280);

    // Tab follows the layout: the box, its button, the table, the button row.
    QWidget* previous = WzorPole;
    for (QWidget* next : { static_cast<QWidget*>(ObliczPrzycisk), static_cast<QWidget*>(SkladTabela),
             static_cast<QWidget*>(KopiujPrzycisk), static_cast<QWidget*>(PomocPrzycisk),
             static_cast<QWidget*>(ZamknijPrzycisk) }) {
        setTabOrder(previous, next);
        previous = next;
    }

    connect(ObliczPrzycisk, &QToolButton::clicked, this, &TMolarForm::ObliczPrzyciskClick);
    connect(KopiujPrzycisk, &QToolButton::clicked, this, &TMolarForm::KopiujPrzyciskClick);
    connect(PomocPrzycisk, &QToolButton::clicked, this, &TMolarForm::PomocPrzyciskClick);
    connect(ZamknijPrzycisk, &QToolButton::clicked, this, &QDialog::reject);

    const std::string archive = archivePath.empty() ? ContentArchivePath() : std::move(archivePath);
    m_masses = ReadElementMassesFromArchive(archive);
    ClearResult();
    if (!m_masses) {
        BladEtykieta->setText(
            QStringLiteral("Nie można odczytać mas atomowych z bazy danych pierwiastków w pliku „%1”. "
                           "Obliczenia nie są możliwe.")
                .arg(QString::fromStdString(archive)));
        BladEtykieta->show();
        ObliczPrzycisk->setEnabled(false);
    }
    WzorPole->setFocus();
}

TMolarForm::~TMolarForm() = default;

void TMolarForm::ShowMolarMass(QWidget* owner)
{
    TMolarForm form(owner);
    Ui().ShowModal(form);
}

void TMolarForm::ObliczPrzyciskClick()
{
    if (!m_masses)
        return;
    const QString formula = WzorPole->currentText();
    const MolarMassResult result = ComputeMolarMass(formula.toStdString(), *m_masses);
    if (result.mass) {
        ShowMass(*result.mass);
        Remember(formula);
    } else if (result.error) {
        ShowError(*result.error);
    }
    WzorPole->setFocus();
}

void TMolarForm::ShowMass(const MolarMass& mass)
{
    m_result = mass;
    BladEtykieta->hide();
    BladEtykieta->clear();
    WynikEtykieta->setText(QStringLiteral("M = %1 g/mol").arg(utf8(FormatMass(mass.total))));
    UwagaEtykieta->setVisible(mass.usesMassNumbers);
    SkladTabela->setRowCount(static_cast<int>(mass.rows.size()));
    int row = 0;
    for (const MolarMassRow& entry : mass.rows) {
        SkladTabela->setItem(row, 0, Cell(utf8(entry.symbol), Qt::AlignLeft));
        SkladTabela->setItem(row, 1, Cell(QString::number(entry.count), Qt::AlignRight));
        SkladTabela->setItem(
            row, 2, Cell(utf8(FormatAtomicMass(entry.atomicMass, entry.massNumber)), Qt::AlignRight));
        SkladTabela->setItem(row, 3, Cell(utf8(FormatMass(entry.mass)), Qt::AlignRight));
        SkladTabela->setItem(row, 4, Cell(utf8(FormatPercent(entry.percent)), Qt::AlignRight));
        ++row;
    }
    KopiujPrzycisk->setEnabled(true);
}

void TMolarForm::ShowError(const FormulaError& error)
{
    // An earlier result beside the message would read as this formula's.
    ClearResult();
    BladEtykieta->setText(utf8(error.message));
    BladEtykieta->show();
    if (error.position > 0) {
        QLineEdit* edit = WzorPole->lineEdit();
        edit->setCursorPosition(CaretBefore(edit->text(), error.position));
    }
}

void TMolarForm::ClearResult()
{
    m_result.reset();
    WynikEtykieta->setText(QStringLiteral("M = – g/mol"));
    UwagaEtykieta->hide();
    SkladTabela->setRowCount(0);
    KopiujPrzycisk->setEnabled(false);
}

void TMolarForm::Remember(const QString& formula)
{
    const QString trimmed = formula.trimmed();
    if (const int at = WzorPole->findText(trimmed, Qt::MatchExactly | Qt::MatchCaseSensitive); at >= 0)
        WzorPole->removeItem(at);
    WzorPole->insertItem(0, trimmed);
    WzorPole->setCurrentIndex(0);
    WzorPole->setEditText(formula);
}

void TMolarForm::KopiujPrzyciskClick()
{
    if (m_result)
        QApplication::clipboard()->setText(utf8(MolarMassReport(*m_result)));
}

void TMolarForm::PomocPrzyciskClick()
{
    ShowHelpFor(this);
}

void TMolarForm::helpRequested()
{
    PomocPrzyciskClick();
}

bool TMolarForm::eventFilter(QObject* watched, QEvent* event)
{
    if (const QKeyEvent* press = KeyPressInWindow(watched, event)) {
        if ((press->key() == Qt::Key_Return || press->key() == Qt::Key_Enter)
            && ShortcutModifiers(press->modifiers()) == Qt::NoModifier) {
            ObliczPrzyciskClick();
            return true;
        }
    }
    return TDialogForm::eventFilter(watched, event);
}

} // namespace orbita
