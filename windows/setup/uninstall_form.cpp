#include "windows/setup/uninstall_form.h"

#include "core/file_version.h"
#include "core/move_into_place.h"
#include "platform/qt_text.h"
#include "platform/shell_services.h"
#include "platform/ui_services.h"
#include "platform/window_services.h"
#include "widgets/accessible_text.h"
#include "windows/main/main_commands.h"
#include "windows/setup/install_logic.h"
#include "windows/setup/setup_button.h"
#include "windows/window_opener.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <stdexcept>

namespace orbita {
namespace {

QLabel* wrapped(const QString& text, QWidget* parent, const char* name)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

std::string temporaryFolderOrEmpty()
{
    try {
        return TempFolder();
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace

TUninstallForm::TUninstallForm(QWidget* parent)
    : TUninstallForm(ExecutablePath(), temporaryFolderOrEmpty(), DetachedProgramStarter(), parent)
{
}

TUninstallForm::TUninstallForm(
    std::string executable, std::string temporaryFolder, ProgramStarter starter, QWidget* parent)
    : TMainFormBase(parent)
    , m_executable(std::move(executable))
    , m_temporaryFolder(std::move(temporaryFolder))
    , m_starter(std::move(starter))
{
    setObjectName(QStringLiteral("UninstallForm"));
    SetHelpTopic(*this, QStringLiteral("O_USUN"));
    setWindowTitle(FromUtf8("Odinstalowanie programu " + VersionCaption(FileVersionText(m_executable))));
    setWindowIcon(ToolIcon(QStringLiteral("TOOL_3")));
    setFixedSize(460, 330);

    auto* layout = new QVBoxLayout(this);
    OpisEtykieta
        = wrapped(QStringLiteral("Ta operacja usunie całkowicie program Orbita z komputera. Skorzystaj z "
                                 "poniższych opcji, aby dokładniej określić zakres wykonywanych operacji:"),
            this, "OpisEtykieta");
    CzesciowaOpcja
        = new QRadioButton(QStringLiteral("&Usuń wyłącznie pliki niezbędne do uruchomienia programu"), this);
    CzesciowaOpcja->setObjectName(QStringLiteral("CzesciowaOpcja"));
    CzesciowaOpcja->setChecked(true);
    CzesciowaEtykieta
        = wrapped(QStringLiteral(
                      "Usuwa wyłącznie te pliki, które są potrzebne do uruchomienia programu (nie usuwa kont "
                      "użytkowników, testów oraz karnacji ściągniętych z internetu, a także kopii ustawień) "
                      "dzięki czemu po ponownej instalacji, program zachowuje się jak przed usnięciem"),
            this, "CzesciowaEtykieta");
    PelnaOpcja = new QRadioButton(QStringLiteral("Usuń &wszystko"), this);
    PelnaOpcja->setObjectName(QStringLiteral("PelnaOpcja"));
    PelnaEtykieta = wrapped(QStringLiteral("Usuwa całą zawartość programu"), this, "PelnaEtykieta");
    for (QLabel* label : { CzesciowaEtykieta, PelnaEtykieta })
        label->setContentsMargins(22, 0, 0, 6);
    AdresEtykieta = new QLabel(FromUtf8(kProgramSite), this);
    AdresEtykieta->setObjectName(QStringLiteral("AdresEtykieta"));
    AdresEtykieta->setAlignment(Qt::AlignCenter);
    AdresEtykieta->setStyleSheet(QStringLiteral("background:#000080; color:white; padding:4px;"));

    OdinstalujPrzycisk
        = MakeSetupButton(this, "OdinstalujPrzycisk", QStringLiteral("&Odinstaluj"), "B_CONFIRM");
    PomocPrzycisk = MakeSetupButton(this, "PomocPrzycisk", QStringLiteral("Pomo&c"), "B_HELP");
    AnulujPrzycisk = MakeSetupButton(this, "AnulujPrzycisk", QStringLiteral("&Anuluj"), "B_CANCEL");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(PomocPrzycisk);
    buttons->addStretch();
    buttons->addWidget(OdinstalujPrzycisk);
    buttons->addWidget(AnulujPrzycisk);

    layout->addWidget(OpisEtykieta);
    layout->addWidget(CzesciowaOpcja);
    layout->addWidget(CzesciowaEtykieta);
    layout->addWidget(PelnaOpcja);
    layout->addWidget(PelnaEtykieta);
    layout->addStretch();
    layout->addWidget(AdresEtykieta);
    layout->addLayout(buttons);
    SetTabChain({ CzesciowaOpcja, PelnaOpcja, PomocPrzycisk, OdinstalujPrzycisk, AnulujPrzycisk });

    connect(OdinstalujPrzycisk, &QPushButton::clicked, this, [this] { uninstall(); });
    connect(PomocPrzycisk, &QPushButton::clicked, this, [this] { ShowHelpFor(this); });
    connect(AnulujPrzycisk, &QPushButton::clicked, this, &QWidget::close);

    // The window sees the keys first.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    installEventFilter(this);
}

void TUninstallForm::uninstall()
{
    const int answer = Ui().ShowMessage(this, QStringLiteral("Odinstalowanie programu"),
        QStringLiteral(
            "Czy jesteś pewny, że chcesz odinstalować program Orbita z tego komputera? (późniejsza "
            "próba uruchomienia programu okaże się niemożliwa, aż do momentu ponownej instalacji)"),
        MessageIcon::Question, MessageButtons::YesNoDefaultNo);
    if (answer != mrYes)
        return;

    auto refuse = [this](const QString& text) {
        Ui().ShowMessage(
            this, QStringLiteral("Odinstalowanie programu"), text, MessageIcon::Error, MessageButtons::Ok);
    };
    if (m_temporaryFolder.empty()) {
        refuse(QStringLiteral("Nie można odinstalować programu: brak folderu tymczasowego, w którym można "
                              "umieścić program usuwający."));
        return;
    }
    // The copy replaces one left by an earlier attempt (a rename, so even a
    // copy still running is no obstacle) and keeps the executable bit.
    const std::string copy = RemovalCopyPath(m_temporaryFolder);
    const MoveOutcome outcome = CopyIntoPlace(m_executable, copy, true);
    if (!outcome.Ok()) {
        refuse(QStringLiteral("Nie można odinstalować programu: %1").arg(FromUtf8(outcome.message)));
        return;
    }
    const QString scope = CzesciowaOpcja->isChecked() ? QStringLiteral("/SLIM") : QStringLiteral("/FULL");
    if (!m_starter || !m_starter(FromPath(copy), { scope })) {
        refuse(QStringLiteral("Nie można odinstalować programu: nie udało się uruchomić programu usuwającego "
                              "„%1”.")
                   .arg(FromPath(copy)));
        return;
    }
    close();
}

bool TUninstallForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                OdinstalujPrzycisk->click();
                return true;
            case Qt::Key_Escape:
                AnulujPrzycisk->click();
                return true;
            case Qt::Key_F1:
                PomocPrzycisk->click();
                return true;
            default:
                break;
            }
        }
    }
    return TMainFormBase::eventFilter(watched, event);
}

} // namespace orbita
