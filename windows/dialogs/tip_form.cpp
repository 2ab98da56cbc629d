#include "windows/dialogs/tip_form.h"

#include "core/settings.h"
#include "platform/qt_text.h"
#include "platform/ui_services.h"
#include "platform/window_services.h"
#include "windows/dialogs/flat_parts.h"
#include "windows/dialogs/tip_texts.h"
#include "windows/window_opener.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace orbita {
namespace {

constexpr int kClientWidth = 396;
constexpr int kClientHeight = 254;

std::vector<std::string> tipCollection()
{
    const auto& texts = TipTexts();
    return { texts.begin(), texts.end() };
}

} // namespace

TTipForm::TTipForm(QWidget* parent, RandomIndex random)
    : TDialogForm(parent)
    , m_order(tipCollection(), std::move(random))
{
    setObjectName(QStringLiteral("TipForm"));
    SetHelpTopic(*this, QStringLiteral("O_PORADA"));
    setTitle(QStringLiteral("Porada dnia"));
    layout()->setContentsMargins(8, 8, 8, 0);
    titlePanel()->setFixedSize(380, 25);
    bodyLayout()->setContentsMargins(0, 6, 0, 8);
    bodyLayout()->setSpacing(6);

    // The white frame of the tip: clouds along its left edge, the bulb, the
    // heading, the tip and the start-up box, at fixed places.
    GlownyPanel = NewWhitePanel(body(), QStringLiteral("GlownyPanel"));
    GlownyPanel->setFixedSize(380, 176);
    ChmuryObraz = new QLabel(GlownyPanel);
    ChmuryObraz->setObjectName(QStringLiteral("ChmuryObraz"));
    ChmuryObraz->setGeometry(1, 1, 50, 200);
    PomyslObraz = new QLabel(GlownyPanel);
    PomyslObraz->setObjectName(QStringLiteral("PomyslObraz"));
    PomyslObraz->setGeometry(64, 10, 26, 34);
    PomyslObraz->setAttribute(Qt::WA_TranslucentBackground);
    PoradaEtykieta = new QLabel(QStringLiteral("Czy wiesz, że..."), GlownyPanel);
    PoradaEtykieta->setObjectName(QStringLiteral("PoradaEtykieta"));
    QFont heading = PoradaEtykieta->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.4);
    PoradaEtykieta->setFont(heading);
    PoradaEtykieta->setGeometry(100, 14, 260, 28);
    PoradyEtykieta = new QLabel(GlownyPanel);
    PoradyEtykieta->setObjectName(QStringLiteral("PoradyEtykieta"));
    PoradyEtykieta->setWordWrap(true);
    PoradyEtykieta->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PoradyEtykieta->setGeometry(100, 56, 249, 81);
    PokazujOpcja = NewFlatCheckBox(
        GlownyPanel, QStringLiteral("PokazujOpcja"), QStringLiteral("Wyświetlaj podczas &uruchamiania"));
    PokazujOpcja->setGeometry(100, 146, 260, 22);
    bodyLayout()->addWidget(GlownyPanel);

    PomocPrzycisk = NewFlatButton(body(), QStringLiteral("PomocPrzycisk"), QStringLiteral("Pomo&c"),
        QString(), QStringLiteral("Wyświetla pomoc [F1]"));
    NastepnaPrzycisk = NewFlatButton(body(), QStringLiteral("NastepnaPrzycisk"), QStringLiteral("&Następna"),
        QString(), QStringLiteral("Pokazuje następną poradę [Enter]"));
    ZamknijPrzycisk = NewFlatButton(body(), QStringLiteral("ZamknijPrzycisk"), QStringLiteral("&Zamknij"),
        QString(), QStringLiteral("Zamyka okno [Esc]"));
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    buttons->addWidget(PomocPrzycisk);
    buttons->addStretch();
    buttons->addWidget(NastepnaPrzycisk);
    buttons->addWidget(ZamknijPrzycisk);
    bodyLayout()->addLayout(buttons);

    Zegarek = new QTimer(this);
    Zegarek->setObjectName(QStringLiteral("Zegarek"));
    Zegarek->setInterval(1000);

    connect(NastepnaPrzycisk, &QPushButton::clicked, this, &TTipForm::NastepnaPrzyciskClick);
    connect(ZamknijPrzycisk, &QPushButton::clicked, this, &TTipForm::ZamknijPrzyciskClick);
    connect(PomocPrzycisk, &QPushButton::clicked, this, &TTipForm::PomocPrzyciskClick);
    connect(Zegarek, &QTimer::timeout, this, &TTipForm::ZegarekTimer);

    // Designed with a caption bar that the window services take away.
    setFixedWidth(kClientWidth);
    setMinimumHeight(0);
    resize(kClientWidth, kClientHeight + kCaptionHeight);
    setMaximumHeight(kClientHeight + kCaptionHeight);

    // Creation: the start-up box, the pictures, the first tip.
    PokazujOpcja->setChecked(ReadFlag(Setting::StartupTip));
    SetButtonGlyph(*ZamknijPrzycisk, QStringLiteral("B_CLOSE"));
    SetButtonGlyph(*NastepnaPrzycisk, QStringLiteral("B_NEXT"));
    SetButtonGlyph(*PomocPrzycisk, QStringLiteral("B_HELP"));
    DrawResourceBitmap(*PomyslObraz, QStringLiteral("TIP_ON"));
    DrawResourceBitmap(*ChmuryObraz, QStringLiteral("CLOUDS"));
    m_bulbOn = true;
    ShowNextTip();
    Zegarek->start();
    NastepnaPrzycisk->setFocus();
}

void TTipForm::ShowNextTip()
{
    PoradyEtykieta->setText(QStringLiteral("...") + FromUtf8(m_order.Next()));
}

void TTipForm::NastepnaPrzyciskClick()
{
    ShowNextTip();
}

void TTipForm::ZamknijPrzyciskClick()
{
    done(mrOk);
}

void TTipForm::PomocPrzyciskClick()
{
    ShowHelpFor(this);
}

void TTipForm::helpRequested()
{
    PomocPrzycisk->click();
}

void TTipForm::reject()
{
    ZamknijPrzycisk->click();
}

void TTipForm::ZegarekTimer()
{
    DrawResourceBitmap(*PomyslObraz, m_bulbOn ? QStringLiteral("TIP_OFF") : QStringLiteral("TIP_ON"));
    m_bulbOn = !m_bulbOn;
}

bool TTipForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()
        && static_cast<QWidget*>(watched)->window() == this) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && key->modifiers() == Qt::NoModifier) {
            NastepnaPrzycisk->click();
            return true;
        }
    }
    return TDialogForm::eventFilter(watched, event);
}

void TTipForm::done(int result)
{
    if (isVisible()) {
        Zegarek->stop();
        if (!PokazujOpcja->isHidden() && !PokazujOpcja->isChecked())
            WriteFlag(Setting::StartupTip, false);
    }
    TDialogForm::done(result);
}

} // namespace orbita
