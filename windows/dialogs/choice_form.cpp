#include "windows/dialogs/choice_form.h"

#include "core/settings.h"
#include "platform/ui_services.h"
#include "platform/window_services.h"
#include "widgets/accessible_text.h"
#include "windows/element/element_page.h"
#include "windows/window_opener.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <string>

namespace orbita {
namespace {

} // namespace

TChoiceForm::TChoiceForm(QWidget* parent)
    : TDialogForm(parent)
{
    setObjectName(QStringLiteral("ChoiceForm"));
    setTitle(QStringLiteral("Wybór pierwiastka"));

    LiczbaEtykieta
        = new QLabel(QStringLiteral("Wyświetl informacje na temat pierwiastka o liczbie atomowej:"));
    LiczbaEtykieta->setObjectName(QStringLiteral("LiczbaEtykieta"));
    LiczbaEtykieta->setWordWrap(true);
    LiczbyPole = new QComboBox;
    LiczbyPole->setObjectName(QStringLiteral("LiczbyPole"));
    LiczbyPole->setEditable(false);
    LiczbyPole->setMaxVisibleItems(12);
    LiczbaEtykieta->setBuddy(LiczbyPole);
    LiczbyPole->setAccessibleDescription(
        QStringLiteral("Lista liczb atomowych. Wybierz liczbę strzałkami i naciśnij Enter."));
    OkPrzycisk = new QPushButton(QIcon(QStringLiteral(":/res/B_CONFIRM.png")), QStringLiteral("&OK"));
    OkPrzycisk->setObjectName(QStringLiteral("OkPrzycisk"));
    OkPrzycisk->setDefault(true);
    AnulujPrzycisk = new QPushButton(QIcon(QStringLiteral(":/res/B_CANCEL.png")), QStringLiteral("&Anuluj"));
    AnulujPrzycisk->setObjectName(QStringLiteral("AnulujPrzycisk"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkPrzycisk);
    buttons->addWidget(AnulujPrzycisk);
    QVBoxLayout* layout = bodyLayout();
    layout->addWidget(LiczbaEtykieta);
    layout->addWidget(LiczbyPole);
    layout->addStretch();
    layout->addLayout(buttons);

    // The designed client area, 266 by 179, with the caption that opening removes.
    resize(266, 179 + kCaptionHeight);

    // accept() ends with 1 (mrOk), reject() with mrCancel.
    connect(OkPrzycisk, &QPushButton::clicked, this, &QDialog::accept);
    connect(AnulujPrzycisk, &QPushButton::clicked, this, &QDialog::reject);

    FormCreate();
}

void TChoiceForm::FormCreate()
{
    for (int element = kFirstElement; element <= kLastElement; ++element)
        LiczbyPole->addItem(QString::number(element));
    const int stored = ReadInteger(Setting::LastChoice);
    // Missing reads as -1: the first item. A stored number that is no item: none.
    LiczbyPole->setCurrentIndex(stored == -1 ? 0 : LiczbyPole->findText(QString::number(stored)));
    LiczbyPole->setFocus();
}

void TChoiceForm::FormClose()
{
    if (const std::optional<int> element = SelectedElement())
        WriteInteger(Setting::LastChoice, *element);
}

std::optional<int> TChoiceForm::SelectedElement() const
{
    if (LiczbyPole->currentIndex() < 0)
        return std::nullopt;
    bool ok = false;
    const int element = LiczbyPole->currentText().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return element;
}

void TChoiceForm::done(int result)
{
    if (isVisible())
        FormClose();
    TDialogForm::done(result);
}

bool TChoiceForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()
        && static_cast<QWidget*>(watched)->window() == this) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && key->modifiers() == Qt::NoModifier) {
            OkPrzycisk->click();
            return true;
        }
    }
    return TDialogForm::eventFilter(watched, event);
}

std::optional<int> TChoiceForm::ChooseElement(QWidget* owner)
{
    TChoiceForm form(owner);
    if (Ui().ShowModal(form) != mrOk)
        return std::nullopt;
    return form.SelectedElement();
}

void TChoiceForm::ShowChosenElement(QWidget* owner)
{
    if (const std::optional<int> element = ChooseElement(owner))
        Opener().OpenElement(owner, *element);
}

} // namespace orbita
