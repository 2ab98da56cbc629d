#include "windows/dialogs/quit_form.h"

#include "core/settings.h"
#include "platform/ui_services.h"
#include "platform/window_services.h"
#include "windows/dialogs/flat_parts.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orbita {
namespace {

constexpr int kClientWidth = 346;
constexpr int kClientHeight = 156;

} // namespace

TQuitForm::TQuitForm(QWidget* parent)
    : TDialogForm(parent)
{
    setObjectName(QStringLiteral("QuitForm"));
    setTitle(QStringLiteral("Zakończ"));
    layout()->setContentsMargins(8, 8, 9, 0);
    titlePanel()->setFixedSize(329, 25);
    bodyLayout()->setContentsMargins(0, 6, 0, 8);
    bodyLayout()->setSpacing(6);

    ZakonczPanel = NewWhitePanel(body(), QStringLiteral("ZakonczPanel"));
    ZakonczEtykieta = new QLabel(
        QStringLiteral("Czy jesteś pewny, że chcesz już zakończyć pracę z programem?"), ZakonczPanel);
    ZakonczEtykieta->setObjectName(QStringLiteral("ZakonczEtykieta"));
    ZakonczEtykieta->setWordWrap(true);
    ZakonczEtykieta->setAlignment(Qt::AlignCenter);
    auto* panelLayout = new QVBoxLayout(ZakonczPanel);
    panelLayout->setContentsMargins(8, 6, 8, 6);
    panelLayout->addWidget(ZakonczEtykieta);
    bodyLayout()->addWidget(ZakonczPanel, 1);

    PytajOpcja = NewFlatCheckBox(
        body(), QStringLiteral("PytajOpcja"), QStringLiteral("&Zawsze pytaj przed zamknięciem"));
    PytajOpcja->setChecked(true);
    TakPrzycisk = NewFlatButton(body(), QStringLiteral("TakPrzycisk"), QStringLiteral("&Tak"), QString(),
        QStringLiteral("Kończy pracę z programem [Enter]"));
    NiePrzycisk = NewFlatButton(body(), QStringLiteral("NiePrzycisk"), QStringLiteral("&Nie"), QString(),
        QStringLiteral("Wraca do programu [Esc]"));
    bodyLayout()->addWidget(PytajOpcja);
    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    row->addStretch();
    row->addWidget(TakPrzycisk);
    row->addWidget(NiePrzycisk);
    bodyLayout()->addLayout(row);

    connect(TakPrzycisk, &QPushButton::clicked, this, &TQuitForm::TakPrzyciskClick);
    connect(NiePrzycisk, &QPushButton::clicked, this, &TQuitForm::NiePrzyciskClick);

    SetButtonGlyph(*TakPrzycisk, QStringLiteral("B_CONFIRM"));
    SetButtonGlyph(*NiePrzycisk, QStringLiteral("B_CANCEL"));

    // Designed with a caption bar that the window services take away.
    setFixedWidth(kClientWidth);
    setMinimumHeight(0);
    resize(kClientWidth, kClientHeight + kCaptionHeight);
    TakPrzycisk->setFocus();
}

void TQuitForm::TakPrzyciskClick()
{
    if (!PytajOpcja->isChecked())
        WriteFlag(Setting::ExitPrompt, false);
    done(mrYes);
}

void TQuitForm::NiePrzyciskClick()
{
    done(mrNo);
}

void TQuitForm::reject()
{
    NiePrzycisk->click();
}

bool TQuitForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()
        && static_cast<QWidget*>(watched)->window() == this) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && key->modifiers() == Qt::NoModifier) {
            TakPrzycisk->click();
            return true;
        }
    }
    return TDialogForm::eventFilter(watched, event);
}

} // namespace orbita
