#include "windows/units/units_form.h"

#include "platform/ui_services.h"
#include "platform/window_services.h"
#include "widgets/accessible_text.h"
#include "widgets/glyph_button.h"
#include "windows/window_opener.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace orbita {
namespace {

using units::Unit;

QString utf8(const char* text)
{
    return QString::fromUtf8(text);
}

} // namespace

TUnitsForm::TUnitsForm(QWidget* parent)
    : TDialogForm(parent)
{
    setObjectName(QStringLiteral("UnitsForm"));
    SetHelpTopic(*this, QStringLiteral("O_LICZ"));
    setTitle(QStringLiteral("Przelicznik jednostek"));

    JednostkaLista = new QComboBox;
    JednostkaLista->setObjectName(QStringLiteral("JednostkaLista"));
    JednostkaLista->setEditable(false);
    SetAccessibleText(*JednostkaLista, QStringLiteral("Wielkość"),
        QStringLiteral("Wybór wielkości fizycznej, której jednostki są przeliczane."));
    PrecyzjaEtykieta = new QLabel(QStringLiteral("&Miejsca po przecinku"));
    PrecyzjaEtykieta->setObjectName(QStringLiteral("PrecyzjaEtykieta"));
    PrecyzjaLista = new QComboBox;
    PrecyzjaLista->setObjectName(QStringLiteral("PrecyzjaLista"));
    PrecyzjaLista->setEditable(false);
    PrecyzjaLista->setAccessibleDescription(QStringLiteral("Liczba cyfr po przecinku w wynikach."));
    for (int digits : units::kPrecisions)
        PrecyzjaLista->addItem(QString::number(digits), digits);
    PrecyzjaEtykieta->setBuddy(PrecyzjaLista);

    PrzeliczEtykieta = new QLabel;
    PrzeliczEtykieta->setObjectName(QStringLiteral("PrzeliczEtykieta"));
    PrzeliczEtykieta->setFrameStyle(QFrame::Panel | QFrame::Raised);
    PrzeliczEtykieta->setMargin(2);
    QFont bold = PrzeliczEtykieta->font();
    bold.setBold(true);
    PrzeliczEtykieta->setFont(bold);

    Strony = new QStackedWidget;
    Strony->setObjectName(QStringLiteral("Strony"));
    for (const units::QuantityInfo& quantity : units::Quantities()) {
        JednostkaLista->addItem(utf8(quantity.item));
        auto* page = new QWidget;
        page->setObjectName(QString::fromLatin1(quantity.page));
        auto* grid = new QGridLayout(page);
        grid->setContentsMargins(0, 4, 0, 0);
        grid->setHorizontalSpacing(8);
        grid->setVerticalSpacing(4);
        int row = 0;
        for (Unit unit : units::PageUnits(quantity.quantity)) {
            const units::UnitInfo& info = units::InfoOf(unit);
            auto* box = new QLineEdit;
            box->setObjectName(QString::fromLatin1(info.box));
            // Typed, pasted and dropped text alike pass the entry rule.
            connect(box, &QLineEdit::textEdited, this, [this, box] { BoxEdited(box); });
            connect(box, &QLineEdit::textChanged, this, [this, box] {
                // The box's own text: a change undone within textEdited is
                // still reported afterwards with the text it undid.
                Shown& shown = m_shown[box];
                shown.previous = shown.current;
                shown.current = box->text();
            });
            box->setToolTip(utf8(info.hint));
            // Read with the box's caption: the value typed here is converted to the other units.
            box->setAccessibleDescription(info.hint[0] != '\0'
                    ? utf8(info.hint)
                    : QStringLiteral("Wpisz wartość, a pozostałe pola pokażą ją w swoich jednostkach."));
            auto* label = new QLabel(utf8(info.caption));
            label->setObjectName(
                QString::fromLatin1(info.box).replace(QStringLiteral("Box"), QStringLiteral("Label")));
            label->setBuddy(box);
            label->setToolTip(box->toolTip());
            grid->addWidget(label, row, 0);
            grid->addWidget(box, row, 1);
            m_boxes[unit] = box;
            ++row;
        }
        grid->setColumnStretch(1, 1);
        grid->setRowStretch(row, 1);
        Strony->addWidget(page);
    }

    PrzeliczPrzycisk = MakeGlyphButton(body(), "PrzeliczPrzycisk", "B_CALC", QStringLiteral("&Przelicz"),
        QStringLiteral("Przelicza wartość z wybranego pola [Enter]"));
    PomocPrzycisk = MakeGlyphButton(
        body(), "PomocPrzycisk", "B_HELP", QStringLiteral("Pomo&c"), QStringLiteral("Wyświetla pomoc [F1]"));
    ZamknijPrzycisk = MakeGlyphButton(body(), "ZamknijPrzycisk", "B_CLOSE", QStringLiteral("&Zamknij"),
        QStringLiteral("Zamyka okno [Esc]"));

    auto* top = new QHBoxLayout;
    top->addWidget(JednostkaLista, 1);
    top->addSpacing(12);
    top->addWidget(PrecyzjaEtykieta);
    top->addWidget(PrecyzjaLista);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(PrzeliczPrzycisk);
    buttons->addWidget(PomocPrzycisk);
    buttons->addStretch(1);
    buttons->addWidget(ZamknijPrzycisk);

    QVBoxLayout* layout = bodyLayout();
    layout->setSpacing(6);
    layout->addLayout(top);
    layout->addWidget(PrzeliczEtykieta);
    layout->addWidget(Strony, 1);
    layout->addLayout(buttons);

    // The designed outer size with the caption that opening removes.
    resize(380, 290 + kCaptionHeight);

    // Tab goes from the lists through the boxes of the shown page, top down.
    QList<QWidget*> chain { JednostkaLista, PrecyzjaLista };
    for (const units::QuantityInfo& quantity : units::Quantities())
        for (Unit unit : units::PageUnits(quantity.quantity))
            chain << m_boxes.at(unit);
    SetTabChain(chain << PrzeliczPrzycisk << PomocPrzycisk << ZamknijPrzycisk);

    connect(JednostkaLista, &QComboBox::currentIndexChanged, this, &TUnitsForm::JednostkaListaChange);
    connect(PrzeliczPrzycisk, &QToolButton::clicked, this, &TUnitsForm::PrzeliczPrzyciskClick);
    connect(PomocPrzycisk, &QToolButton::clicked, this, &TUnitsForm::PomocPrzyciskClick);
    connect(ZamknijPrzycisk, &QToolButton::clicked, this, &QDialog::reject);

    FormCreate();
}

TUnitsForm::~TUnitsForm() = default;

void TUnitsForm::ShowUnits(QWidget* owner)
{
    TUnitsForm form(owner);
    Ui().ShowModal(form);
}

void TUnitsForm::setVisible(bool visible)
{
    TDialogForm::setVisible(visible);
    // Opening has settled the size (the caption taken off): it stays.
    if (visible)
        setFixedSize(size());
}

void TUnitsForm::FormCreate()
{
    JednostkaLista->setCurrentIndex(
        JednostkaLista->findText(utf8(units::InfoOf(units::Quantity::Length).item)));
    PrecyzjaLista->setCurrentIndex(0);
    JednostkaListaChange();
    m_boxes.at(Unit::LengthM)->setFocus();
}

void TUnitsForm::JednostkaListaChange()
{
    Strony->setCurrentIndex(JednostkaLista->currentIndex());
    PrzeliczEtykieta->setText(JednostkaLista->currentText());
}

QLineEdit* TUnitsForm::SourceBox() const
{
    for (const units::UnitInfo& info : units::Units()) {
        QLineEdit* box = m_boxes.at(info.unit);
        if (box->hasFocus())
            return box;
    }
    if (m_lastBox && Strony->currentWidget()->isAncestorOf(m_lastBox))
        return m_lastBox;
    return nullptr;
}

void TUnitsForm::PrzeliczPrzyciskClick()
{
    QLineEdit* source = SourceBox();
    if (!source)
        return;
    Unit from = Unit::LengthM;
    for (const auto& [unit, box] : m_boxes)
        if (box == source)
            from = unit;
    const units::Conversion conversion
        = units::Convert(from, source->text().toStdString(), PrecyzjaLista->currentData().toInt());
    if (conversion.error) {
        Ui().ShowMessage(this, QString::fromStdString(conversion.error->title),
            QString::fromStdString(conversion.error->text), MessageIcon::Information, MessageButtons::Ok);
    } else {
        for (const units::UnitText& result : conversion.results)
            m_boxes.at(result.unit)->setText(QString::fromStdString(result.text));
    }
    source->setFocus();
}

void TUnitsForm::BoxEdited(QLineEdit* box)
{
    const QString after = box->text();
    // Whether the edit was already reported as a change or not yet.
    const Shown& texts = m_shown[box];
    const QString before = texts.current == after ? texts.previous : texts.current;
    const int cursor = box->cursorPosition();
    if (const std::optional<std::string> entry
        = units::EditedEntry(before.toStdString(), after.toStdString())) {
        const QString shown = QString::fromStdString(*entry);
        if (shown != after) {
            box->setText(shown);
            box->setCursorPosition(cursor);
        }
    } else {
        // Refused whole: a pasted "1e5" does not become "15".
        box->setText(before);
        box->setCursorPosition(std::max(0, cursor - static_cast<int>(after.size() - before.size())));
    }
}

void TUnitsForm::PomocPrzyciskClick()
{
    ShowHelpFor(this);
}

void TUnitsForm::helpRequested()
{
    PomocPrzyciskClick();
}

bool TUnitsForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        for (const auto& [unit, box] : m_boxes)
            if (watched == box)
                m_lastBox = box;
    } else if (const QKeyEvent* press = KeyPressInWindow(watched, event)) {
        if ((press->key() == Qt::Key_Return || press->key() == Qt::Key_Enter)
            && ShortcutModifiers(press->modifiers()) == Qt::NoModifier) {
            PrzeliczPrzyciskClick();
            return true;
        }
    }
    return TDialogForm::eventFilter(watched, event);
}

} // namespace orbita
