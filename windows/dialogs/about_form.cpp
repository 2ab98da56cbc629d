#include "windows/dialogs/about_form.h"

#include "core/settings.h"
#include "platform/qt_text.h"
#include "platform/shell_services.h"
#include "platform/ui_services.h"
#include "platform/window_services.h"
#include "windows/dialogs/about_texts.h"
#include "windows/dialogs/flat_parts.h"

#include <QCursor>
#include <QDesktopServices>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <memory>

namespace orbita {
namespace {

constexpr int kClientWidth = 440;
constexpr int kClientHeight = 300;

QLabel* newLabel(QWidget* parent, const QString& name, const QString& text = QString())
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    return label;
}

QLabel* newLink(QWidget* parent, const QString& name, const QString& text, const QString& hint)
{
    QLabel* link = newLabel(parent, name, text);
    link->setWordWrap(false);
    link->setToolTip(hint);
    QFont font = link->font();
    font.setUnderline(true);
    link->setFont(font);
    QPalette palette = link->palette();
    palette.setColor(QPalette::WindowText, QColor(0x00, 0x33, 0x99));
    link->setPalette(palette);
    const QPixmap hand(QStringLiteral(":/res/HANDPOINT.png"));
    link->setCursor(hand.isNull() ? QCursor(Qt::PointingHandCursor) : QCursor(hand, 10, 0));
    return link;
}

} // namespace

int TAboutForm::PokazInformacje(bool mode, QWidget* owner)
{
    const auto form = std::make_unique<TAboutForm>(owner);
    // The switch below turns to the page asked for.
    form->Notebook->setCurrentIndex(mode ? InformacjePage : KorespondencjaPage);
    form->NapiszPrzyciskClick();
    return Ui().ShowModal(*form);
}

TAboutForm::TAboutForm(QWidget* parent)
    : TDialogForm(parent)
{
    setObjectName(QStringLiteral("AboutForm"));
    setTitle(QStringLiteral("Informacje o programie"));
    layout()->setContentsMargins(8, 8, 8, 0);
    titlePanel()->setFixedHeight(25);
    bodyLayout()->setContentsMargins(0, 6, 0, 8);
    bodyLayout()->setSpacing(6);

    Notebook = new QStackedWidget(body());
    Notebook->setObjectName(QStringLiteral("Notebook"));

    // Page "Informacje".
    QFrame* information = NewWhitePanel(Notebook, QStringLiteral("Informacje"));
    MainImage = newLabel(information, QStringLiteral("MainImage"));
    MainImage->setWordWrap(false);
    MainImage->setFixedSize(128, 128);
    ProgramCaption = newLabel(information, QStringLiteral("ProgramCaption"));
    QFont captionFont = ProgramCaption->font();
    captionFont.setBold(true);
    captionFont.setPointSizeF(captionFont.pointSizeF() * 1.3);
    ProgramCaption->setFont(captionFont);
    PrawaEtykieta = newLabel(information, QStringLiteral("PrawaEtykieta"),
        QStringLiteral("© Zespół Orbity. Program jest chroniony prawem autorskim; kopiowanie go i "
                       "rozpowszechnianie bez zgody autora jest zabronione."));
    WersjaEtykieta = newLabel(information, QStringLiteral("WersjaEtykieta"),
        QStringLiteral("Ta wersja programu nie jest już rozwijana. Nowsze wydanie Orbity znajdziesz na "
                       "stronie domowej programu:"));
    UrlCaption = newLink(information, QStringLiteral("UrlCaption"), FromUtf8(kProgramSite),
        QStringLiteral("Kliknij, aby odwiedzić stronę domową"));
    auto* informationText = new QVBoxLayout;
    informationText->setSpacing(8);
    informationText->addWidget(ProgramCaption);
    informationText->addWidget(PrawaEtykieta);
    informationText->addWidget(WersjaEtykieta);
    informationText->addWidget(UrlCaption);
    informationText->addStretch();
    auto* informationLayout = new QHBoxLayout(information);
    informationLayout->setContentsMargins(10, 10, 10, 10);
    informationLayout->setSpacing(12);
    informationLayout->addWidget(MainImage, 0, Qt::AlignTop);
    informationLayout->addLayout(informationText, 1);
    Notebook->insertWidget(InformacjePage, information);

    // Page "Korespondencja".
    QFrame* correspondence = NewWhitePanel(Notebook, QStringLiteral("Korespondencja"));
    AutorObraz = newLabel(correspondence, QStringLiteral("AutorObraz"));
    AutorObraz->setWordWrap(false);
    AutorObraz->setFixedSize(96, 96);
    KontaktEtykieta = newLabel(correspondence, QStringLiteral("KontaktEtykieta"),
        QStringLiteral("Aby skontaktować się ze mną skorzystaj z formularza umieszczonego na stronie "
                       "internetowej programu."));
    Label11 = newLink(correspondence, QStringLiteral("Label11"), QStringLiteral("napisz do mnie"),
        QStringLiteral("Kliknij, aby otworzyć formularz kontaktowy"));
    auto* correspondenceText = new QVBoxLayout;
    correspondenceText->setSpacing(10);
    correspondenceText->addWidget(KontaktEtykieta);
    correspondenceText->addWidget(Label11);
    correspondenceText->addStretch();
    auto* correspondenceLayout = new QHBoxLayout(correspondence);
    correspondenceLayout->setContentsMargins(10, 10, 10, 10);
    correspondenceLayout->setSpacing(12);
    correspondenceLayout->addWidget(AutorObraz, 0, Qt::AlignTop);
    correspondenceLayout->addLayout(correspondenceText, 1);
    Notebook->insertWidget(KorespondencjaPage, correspondence);
    bodyLayout()->addWidget(Notebook, 1);

    InformacjeEtykieta = newLabel(body(), QStringLiteral("InformacjeEtykieta"));
    InformacjeEtykieta->setWordWrap(false);
    InformacjeEtykieta->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    InformacjeEtykieta->setMargin(2);
    bodyLayout()->addWidget(InformacjeEtykieta);

    NapiszPrzycisk = NewFlatButton(body(), QStringLiteral("NapiszPrzycisk"), QStringLiteral("Ko&ntakt"),
        QString(), QStringLiteral("Przełącza między informacjami o programie a korespondencją z autorem"));
    ThnxButton = NewFlatButton(body(), QStringLiteral("ThnxButton"), QStringLiteral("&Podziękowania"),
        QString(), QStringLiteral("Specjalne podziękowania"));
    CloseButton = NewFlatButton(body(), QStringLiteral("CloseButton"), QStringLiteral("&Zamknij"), QString(),
        QStringLiteral("Zamyka okno [Esc]"));
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    buttons->addWidget(NapiszPrzycisk);
    buttons->addWidget(ThnxButton);
    buttons->addStretch();
    buttons->addWidget(CloseButton);
    bodyLayout()->addLayout(buttons);

    BlinkTimer = new QTimer(this);
    BlinkTimer->setObjectName(QStringLiteral("BlinkTimer"));
    BlinkTimer->setInterval(500);

    connect(NapiszPrzycisk, &QPushButton::clicked, this, &TAboutForm::NapiszPrzyciskClick);
    connect(ThnxButton, &QPushButton::clicked, this, &TAboutForm::ThnxButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &TAboutForm::CloseButtonClick);
    connect(BlinkTimer, &QTimer::timeout, this, &TAboutForm::BlinkTimerTimer);

    // Designed with a caption bar that the window services take away.
    setFixedWidth(kClientWidth);
    setMinimumHeight(0);
    resize(kClientWidth, kClientHeight + kCaptionHeight);

    // Creation: the pictures, the version, the glyphs.
    DrawResourceBitmap(*MainImage, QStringLiteral("ABOUT"));
    DrawResourceBitmap(*AutorObraz, QStringLiteral("AUTOR"));
    ProgramCaption->setText(FromUtf8(ProgramCaptionText(FileVersionText(ExecutablePath()))));
    SetButtonGlyph(*NapiszPrzycisk, QStringLiteral("B_MAIL"));
    SetButtonGlyph(*ThnxButton, QStringLiteral("B_THNX"));
    SetButtonGlyph(*CloseButton, QStringLiteral("B_CLOSE"));
    // The caption blinks between bold and regular: the bold width is kept so
    // that the row does not move.
    QFont bold = ThnxButton->font();
    bold.setBold(true);
    const QFont regular = ThnxButton->font();
    ThnxButton->setFont(bold);
    ThnxButton->setMinimumWidth(ThnxButton->sizeHint().width());
    ThnxButton->setFont(regular);
    Notebook->setCurrentIndex(InformacjePage);
    BlinkTimer->start();
    CloseButton->setFocus();
}

void TAboutForm::NapiszPrzyciskClick()
{
    if (Notebook->currentIndex() != InformacjePage) {
        Notebook->setCurrentIndex(InformacjePage);
        NapiszPrzycisk->setText(QStringLiteral("Ko&ntakt"));
        SetButtonGlyph(*NapiszPrzycisk, QStringLiteral("B_MAIL"));
        InformacjeEtykieta->setText(FromUtf8(RunCountText(ReadInteger(Setting::RunCount))));
    } else {
        Notebook->setCurrentIndex(KorespondencjaPage);
        NapiszPrzycisk->setText(QStringLiteral("I&nformacje"));
        SetButtonGlyph(*NapiszPrzycisk, QStringLiteral("B_ABOUT"));
        InformacjeEtykieta->setText(FromUtf8(kContactStatusText));
    }
}

void TAboutForm::ThnxButtonClick()
{
    Opener().ShowHelp(this, QStringLiteral("DZIEKI"));
}

void TAboutForm::CloseButtonClick()
{
    done(mrOk);
}

void TAboutForm::BlinkTimerTimer()
{
    QFont font = ThnxButton->font();
    font.setBold(!font.bold());
    ThnxButton->setFont(font);
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease && (watched == UrlCaption || watched == Label11)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        auto* label = static_cast<QLabel*>(watched);
        if (mouse->button() == Qt::LeftButton && label->rect().contains(mouse->position().toPoint())) {
            const std::string address
                = watched == UrlCaption ? std::string(kProgramSite) : ContactPageAddress();
            QDesktopServices::openUrl(QUrl(FromUtf8(address)));
            return true;
        }
    }
    return TDialogForm::eventFilter(watched, event);
}

} // namespace orbita
