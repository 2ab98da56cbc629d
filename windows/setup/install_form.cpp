#include "windows/setup/install_form.h"

#include "core/cp1250.h"
#include "core/file_version.h"
#include "core/settings.h"
#include "data/archive_members.h"
#include "htmlview/archive_page_widget.h"
#include "htmlview/html_view_widget.h"
#include "platform/qt_text.h"
#include "platform/shell_services.h"
#include "platform/sound.h"
#include "platform/ui_services.h"
#include "platform/window_services.h"
#include "widgets/accessible_text.h"
#include "windows/main/main_commands.h"
#include "windows/settings/desktop_integration.h"
#include "windows/settings/settings_logic.h"
#include "windows/setup/setup_button.h"
#include "windows/window_opener.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace orbita {
namespace {

const char* const kStepLabelNames[kInstallStepCount]
    = { "WprowadzenieEtykieta", "UmowaEtykieta", "FolderEtykieta", "SkrotyEtykieta", "TrybEtykieta",
          "DostepEtykieta", "GotowyEtykieta", "KopiowanieEtykieta", "KoniecEtykieta" };
const char* const kStepLabelTexts[kInstallStepCount] = { "Wprowadzenie", "Zapoznanie z Umową licencyjną",
    "Wybór foldera do instalacji", "Wybór skrótów do utworzenia", "Wybór trybu korzystania",
    "Ustawienia trybu dostępu", "Przygotowanie do instalacji", "Kopiowanie plików programu",
    "Zakończenie instalacji na komputerze" };
const char* const kPageNames[kInstallStepCount]
    = { "Powitanie", "Licencja", "Katalog", "Skroty", "Tryb", "Dostep", "Gotowy", "Postep", "Wykonane" };

constexpr const char* kRunCaption
    = "Program został pomyślnie zainstalowany na tym komputerze. Aby uruchomić go "
      "teraz wciśnij przycisk Zakończ (lub klawisz Escape).";

std::string welcomePage()
{
    const std::string site(kProgramSite);
    return "<html><body><p><font size=\"+1\"><b><u>Witaj w Instalatorze programu Orbita!</u></b></font></p>"
           "<p>Orbita to multimedialny układ okresowy pierwiastków: zestaw składników, które pomagają w "
           "nauce "
           "chemii – tablica pierwiastków z opisami, słownik chemiczny, tablice chemiczne, przelicznik "
           "jednostek i testy sprawdzające wiadomości.</p>"
           "<p>Aby rozpocząć instalację, wciśnij przycisk <b>Dalej</b> (lub klawisz Enter). Aby przerwać "
           "instalację, wciśnij przycisk <b>Zakończ</b> (lub klawisz Escape).</p>"
           "<p>Część informacji zawartych w programie pochodzi z ogólnodostępnych chemicznych serwisów "
           "internetowych, którym autor serdecznie dziękuje.</p>"
           "<p>Strona internetowa programu: <a href=\""
        + site + "\">" + site
        + "</a></p>"
          "<p>Z programu można korzystać <b>bezpłatnie</b>: Orbita jest programem typu freeware.</p>"
          "</body></html>";
}

std::string thanksPage()
{
    const std::string site(kProgramSite);
    return "<html><body><p><font size=\"+1\"><b>Dziękujemy za zainstalowanie programu Orbita!</b></font></p>"
           "<p>Program jest bezpłatny i nie ma żadnych ograniczeń. Jeśli masz materiały, które mogłyby "
           "wzbogacić program, albo pomysły na jego rozwój, przyślij je autorowi – każda uwaga jest "
           "mile widziana.</p>"
           "<p>Autor programu<br><a href=\""
        + site + "kontakt/"
        + "\">Napisz do autora</a></p>"
          "<p>Strona internetowa programu: <a href=\""
        + site + "\">" + site + "</a></p></body></html>";
}

QLabel* wrappedLabel(const QString& text, QWidget* parent, const char* name = nullptr)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    if (name)
        label->setObjectName(QString::fromLatin1(name));
    return label;
}

// Lets the event loop run for about `milliseconds` (the pauses of the copy).
void pause(int milliseconds)
{
    for (int waited = 0; waited < milliseconds; waited += 100)
        PauseBriefly();
}

} // namespace

ProgramStarter DetachedProgramStarter()
{
    return [](const QString& program, const QStringList& arguments) {
        return QProcess::startDetached(program, arguments, QFileInfo(program).absolutePath());
    };
}

InstallerSource RunningProgramSource()
{
    const std::string executable = ExecutablePath();
    return { ProgramFolder(), executable, FileVersionText(executable) };
}

TInstallForm::TInstallForm(QWidget* parent)
    : TInstallForm(RunningProgramSource(), DetachedProgramStarter(), parent)
{
}

TInstallForm::TInstallForm(InstallerSource source, ProgramStarter starter, QWidget* parent)
    : TMainFormBase(parent)
    , m_source(std::move(source))
    , m_starter(std::move(starter))
{
    setObjectName(QStringLiteral("InstallForm"));
    SetHelpTopic(*this, QStringLiteral("O_INST"));
    setWindowTitle(FromUtf8("Instalator programu " + VersionCaption(m_source.version)));
    setWindowIcon(ToolIcon(QStringLiteral("TOOL_2")));
    build();
    enterStep(InstallStep::Welcome);
    const std::string archive = m_source.programFolder + std::string(kInstalledArchive);
    LoadArchivePage(archive, "POMOC\\LICENCJA.HTM", *LicenceHtml);
    const std::string sound = m_source.programFolder + "INSTALUJ.WAV";
    if (QFileInfo(FromPath(sound)).isFile())
        PlaySoundFile(sound, true);
}

TInstallForm::~TInstallForm()
{
    StopSound();
}

QWidget* TInstallForm::buildPage(const char* name)
{
    auto* page = new QWidget(Pages);
    page->setObjectName(QString::fromLatin1(name));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(12, 8, 12, 8);
    Pages->addWidget(page);
    return page;
}

void TInstallForm::build()
{
    resize(640, 460);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    MailCaption = new QLabel(QStringLiteral("Postęp instalacji"), this);
    MailCaption->setObjectName(QStringLiteral("MailCaption"));
    MailCaption->setStyleSheet(
        QStringLiteral("background:#000080; color:white; font-weight:bold; padding:6px 10px;"));
    outer->addWidget(MailCaption);

    auto* middle = new QHBoxLayout;
    middle->setSpacing(0);
    outer->addLayout(middle, 1);

    auto* left = new QWidget(this);
    left->setObjectName(QStringLiteral("LewyPanel"));
    left->setAutoFillBackground(true);
    left->setStyleSheet(QStringLiteral("#LewyPanel { background:white; }"));
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(10, 10, 10, 10);
    for (int i = 0; i < kInstallStepCount; ++i) {
        QLabel* label = wrappedLabel(FromUtf8(kStepLabelTexts[i]), left, kStepLabelNames[i]);
        StepLabels.push_back(label);
        leftLayout->addWidget(label);
    }
    leftLayout->addStretch();
    left->setFixedWidth(190);
    middle->addWidget(left);

    Pages = new QStackedWidget(this);
    middle->addWidget(Pages, 1);

    // 0: welcome
    QWidget* page = buildPage(kPageNames[0]);
    ThnxHtml = new ThtmlLite(page);
    ThnxHtml->setObjectName(QStringLiteral("ThnxHtml"));
    SetAccessibleText(*ThnxHtml, QStringLiteral("Powitanie"),
        QStringLiteral("Powitanie instalatora. Dalej przechodzi do umowy licencyjnej."));
    ThnxHtml->LoadFromText(Utf8ToCp1250Lossy(welcomePage()));
    AdresEtykieta = new QLabel(FromUtf8(kProgramSite), page);
    AdresEtykieta->setObjectName(QStringLiteral("AdresEtykieta"));
    page->layout()->addWidget(ThnxHtml);
    page->layout()->addWidget(AdresEtykieta);

    // 1: licence
    page = buildPage(kPageNames[1]);
    LicenceHtml = new ThtmlLite(page);
    LicenceHtml->setObjectName(QStringLiteral("LicenceHtml"));
    SetAccessibleText(*LicenceHtml, QStringLiteral("Umowa licencyjna"),
        QStringLiteral("Treść umowy licencyjnej. Strzałki przewijają tekst."));
    const std::string archive = m_source.programFolder + std::string(kInstalledArchive);
    LicenceHtml->OnImageRequest
        = [archive](ThtmlLite*, const std::string& src, std::optional<std::string>& stream) {
              stream = ReadArchiveStream(archive, "POMOC\\" + src);
          };
    UmowaOpcja = new QCheckBox(QStringLiteral("&Rozumiem i akceptuję\"Umowę licencyjną\""), page);
    UmowaOpcja->setObjectName(QStringLiteral("UmowaOpcja"));
    connect(UmowaOpcja, &QCheckBox::toggled, this, [this](bool on) {
        if (m_step == InstallStep::Licence)
            DalejPrzycisk->setEnabled(on);
    });
    page->layout()->addWidget(LicenceHtml);
    page->layout()->addWidget(UmowaOpcja);

    // 2: folder
    page = buildPage(kPageNames[2]);
    page->layout()->addWidget(wrappedLabel(
        QStringLiteral("Wprowadź nazwę folderu, do którego zostanie zainstalowany program, wszystkie pliki w "
                       "istniejącym folderze zostaną nadpisane:"),
        page, "FolderCaption"));
    FolderEdycja = new QLineEdit(page);
    FolderEdycja->setObjectName(QStringLiteral("FolderEdycja"));
    SetAccessibleText(*FolderEdycja, QStringLiteral("Folder programu"),
        QStringLiteral("Folder, do którego zostanie zainstalowany program."));
    page->layout()->addWidget(FolderEdycja);
    auto* folderButtons = new QHBoxLayout;
    FolderPrzycisk = new QPushButton(QStringLiteral("&Przeglądaj"), page);
    FolderPrzycisk->setObjectName(QStringLiteral("FolderPrzycisk"));
    DomyslnyPrzycisk = new QPushButton(QStringLiteral("Do&myślny"), page);
    DomyslnyPrzycisk->setObjectName(QStringLiteral("DomyslnyPrzycisk"));
    folderButtons->addStretch();
    folderButtons->addWidget(FolderPrzycisk);
    folderButtons->addWidget(DomyslnyPrzycisk);
    static_cast<QVBoxLayout*>(page->layout())->addLayout(folderButtons);
    FolderWarnCaption = wrappedLabel(QString(), page, "FolderWarnCaption");
    FolderWarnCaption->setStyleSheet(QStringLiteral("color:#800000;"));
    page->layout()->addWidget(FolderWarnCaption);
    static_cast<QVBoxLayout*>(page->layout())->addStretch();
    connect(FolderEdycja, &QLineEdit::textEdited, this, [this] { FolderWarnCaption->clear(); });
    connect(FolderEdycja, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (m_step == InstallStep::Folder)
            DalejPrzycisk->setEnabled(!text.isEmpty());
    });
    connect(FolderPrzycisk, &QPushButton::clicked, this, [this] { browseFolder(); });
    connect(DomyslnyPrzycisk, &QPushButton::clicked, this, [this] { chooseDefaultFolder(); });

    // 3: shortcuts
    page = buildPage(kPageNames[3]);
    page->layout()->addWidget(
        wrappedLabel(QStringLiteral("Program umieści skróty do programu w podanych poniżej lokalizacjach:"),
            page, "ShortcutCaption"));
    DesktopBox = new QCheckBox(QStringLiteral("Utwórz skrót na p&ulpicie"), page);
    DesktopBox->setObjectName(QStringLiteral("DesktopBox"));
    MenuStartBox = new QCheckBox(QStringLiteral("Utwórz skrót w Menu \"&Start\""), page);
    MenuStartBox->setObjectName(QStringLiteral("MenuStartBox"));
    page->layout()->addWidget(DesktopBox);
    page->layout()->addWidget(MenuStartBox);
    static_cast<QVBoxLayout*>(page->layout())->addStretch();

    // 4: mode
    page = buildPage(kPageNames[4]);
    page->layout()->addWidget(
        wrappedLabel(QStringLiteral("Program ma być uruchamiany w trybie:"), page, "StartupCaption"));
    StandardBox = new QRadioButton(QStringLiteral("&Standardowym"), page);
    StandardBox->setObjectName(QStringLiteral("StandardBox"));
    StandardBox->setChecked(true);
    page->layout()->addWidget(StandardBox);
    page->layout()->addWidget(
        wrappedLabel(QStringLiteral("Z obsługą dostępnych karnacji (opcja zalecana dla szybkich komputerów)"),
            page, "StandardCaption"));
    CompactBox = new QRadioButton(QStringLiteral("&Kompaktowym"), page);
    CompactBox->setObjectName(QStringLiteral("CompactBox"));
    page->layout()->addWidget(CompactBox);
    page->layout()->addWidget(
        wrappedLabel(QStringLiteral("W trybie oszczędnościowym (bez karnacji) przy zachowaniu wszystkich "
                                    "właściwości (opcja zalecana dla wolniejszych komputerów)"),
            page, "CompactCaption"));
    static_cast<QVBoxLayout*>(page->layout())->addStretch();

    // 5: access
    page = buildPage(kPageNames[5]);
    page->layout()->addWidget(
        wrappedLabel(QStringLiteral("Obsługa kont użytkowników:"), page, "RootCaption"));
    UserBox = new QRadioButton(
        QStringLiteral("Z &tego programu korzysta jeden użytkownik i obsługa kont jest niepotrzebna"), page);
    UserBox->setObjectName(QStringLiteral("UserBox"));
    UserBox->setChecked(true);
    RootBox = new QRadioButton(
        QStringLiteral("Z tego programu korzysta &wielu użytkowników lub potrzebna mi ochrona hasłem"), page);
    RootBox->setObjectName(QStringLiteral("RootBox"));
    page->layout()->addWidget(UserBox);
    page->layout()->addWidget(RootBox);
    PasswordPanel = new QWidget(page);
    auto* passwordLayout = new QVBoxLayout(PasswordPanel);
    passwordLayout->setContentsMargins(20, 4, 0, 0);
    auto* passwordCaption = new QLabel(QStringLiteral("Wprowadź &hasło dostępu"), PasswordPanel);
    passwordCaption->setObjectName(QStringLiteral("PasswordCaption"));
    PasswordBox = new QLineEdit(PasswordPanel);
    PasswordBox->setObjectName(QStringLiteral("PasswordBox"));
    PasswordBox->setEchoMode(QLineEdit::Password);
    passwordCaption->setBuddy(PasswordBox);
    auto* confirmCaption = new QLabel(QStringLiteral("Potwi&erdź wprowadzone hasło"), PasswordPanel);
    confirmCaption->setObjectName(QStringLiteral("ConfirmCaption"));
    ConfirmBox = new QLineEdit(PasswordPanel);
    ConfirmBox->setObjectName(QStringLiteral("ConfirmBox"));
    ConfirmBox->setEchoMode(QLineEdit::Password);
    confirmCaption->setBuddy(ConfirmBox);
    passwordLayout->addWidget(passwordCaption);
    passwordLayout->addWidget(PasswordBox);
    passwordLayout->addWidget(confirmCaption);
    passwordLayout->addWidget(ConfirmBox);
    QLabel* rootWarn = wrappedLabel(
        QStringLiteral(
            "OSTRZEŻENIE! Poniższe hasło jest niezbędne do uruchomienia programu oraz administracji "
            "kont użytkowników, w przypadku jego zapomnienia, uruchomienie programu stanie się "
            "niemożliwe."),
        PasswordPanel, "RootWarn");
    rootWarn->setStyleSheet(QStringLiteral("color:#800000; font-weight:bold;"));
    passwordLayout->insertWidget(0, rootWarn);
    page->layout()->addWidget(PasswordPanel);
    static_cast<QVBoxLayout*>(page->layout())->addStretch();
    PasswordPanel->setVisible(false);
    connect(RootBox, &QRadioButton::toggled, PasswordPanel, &QWidget::setVisible);

    // 6: ready
    page = buildPage(kPageNames[6]);
    page->layout()->addWidget(wrappedLabel(
        QStringLiteral("Instalator zebrał już wszystkie wymagane informacje i jest gotów do rozpoczęcia "
                       "instalacji programu Orbita na tym komputerze. Wciśnij przycisk Dalej (lub wciśnij "
                       "Enter), aby rozpocząć kopiowanie plików."),
        page, "PrzedEtykieta"));
    static_cast<QVBoxLayout*>(page->layout())->addStretch();

    // 7: progress
    page = buildPage(kPageNames[7]);
    page->layout()->addWidget(wrappedLabel(
        QStringLiteral("Proszę czekać... trwa proces instalacji programu Orbita na tym komputerze. "
                       "Po zakończeniu kopiowania, będziesz mógł już uruchomić program."),
        page, "ProgressCaption"));
    page->layout()->addWidget(
        wrappedLabel(QStringLiteral("Postęp w instalowaniu programu"), page, "PostepEtykieta"));
    PasekPostepu = new QProgressBar(page);
    PasekPostepu->setObjectName(QStringLiteral("PasekPostepu"));
    PasekPostepu->setRange(0, 100);
    PasekPostepu->setValue(0);
    page->layout()->addWidget(PasekPostepu);
    static_cast<QVBoxLayout*>(page->layout())->addStretch();

    // 8: done
    page = buildPage(kPageNames[8]);
    RunCaption = wrappedLabel(FromUtf8(kRunCaption), page, "RunCaption");
    RunCaption->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ZakonczenieHtml = new ThtmlLite(page);
    ZakonczenieHtml->setObjectName(QStringLiteral("ZakonczenieHtml"));
    SetAccessibleText(*ZakonczenieHtml, QStringLiteral("Zakończenie"),
        QStringLiteral("Podsumowanie instalacji. Strzałki przewijają tekst."));
    NowosciOdsylacz
        = new QLabel(QStringLiteral("<a href=\"NOWOSCI\">Zobacz co nowego w programie?</a>"), page);
    NowosciOdsylacz->setObjectName(QStringLiteral("NowosciOdsylacz"));
    NowosciOdsylacz->setToolTip(QStringLiteral("Dowiedz się więcej na temat zmian jakie przeszedł program"));
    connect(NowosciOdsylacz, &QLabel::linkActivated, this,
        [this] { Opener().ShowHelp(this, QStringLiteral("NOWOSCI")); });
    UruchomOpcja = new QCheckBox(QStringLiteral("&Uruchom program teraz"), page);
    UruchomOpcja->setObjectName(QStringLiteral("UruchomOpcja"));
    UruchomOpcja->setChecked(true);
    page->layout()->addWidget(RunCaption);
    page->layout()->addWidget(ZakonczenieHtml);
    page->layout()->addWidget(NowosciOdsylacz);
    page->layout()->addWidget(UruchomOpcja);

    // Hot spots of the welcome and thank-you pages go to the desktop.
    for (ThtmlLite* view : { ThnxHtml, ZakonczenieHtml }) {
        view->OnHotSpotClick = [this](ThtmlLite*, const std::string& target, bool& handled) {
            handled = true;
            Opener().RunTool(this, FromCp1250(target));
        };
        view->OnImageRequest = [](ThtmlLite*, const std::string&, std::optional<std::string>&) {};
    }

    auto* bottom = new QWidget(this);
    bottom->setObjectName(QStringLiteral("DolnyPanel"));
    auto* buttons = new QHBoxLayout(bottom);
    PomocPrzycisk = MakeSetupButton(bottom, "PomocPrzycisk", QStringLiteral("Pomo&c"), "B_HELP");
    WsteczPrzycisk = MakeSetupButton(bottom, "WsteczPrzycisk", QStringLiteral("&Wstecz"), "B_BACK");
    DalejPrzycisk = MakeSetupButton(bottom, "DalejPrzycisk", QStringLiteral("&Dalej"), "B_NEXT");
    AnulujPrzycisk = MakeSetupButton(bottom, "AnulujPrzycisk", QStringLiteral("&Zakończ"), "B_CLOSE");
    buttons->addWidget(PomocPrzycisk);
    buttons->addStretch();
    buttons->addWidget(WsteczPrzycisk);
    buttons->addWidget(DalejPrzycisk);
    buttons->addSpacing(12);
    buttons->addWidget(AnulujPrzycisk);
    outer->addWidget(bottom);
    connect(PomocPrzycisk, &QPushButton::clicked, this, [this] { ShowHelpFor(this); });
    connect(WsteczPrzycisk, &QPushButton::clicked, this, [this] { goBack(); });
    connect(DalejPrzycisk, &QPushButton::clicked, this, [this] { goForward(); });
    connect(AnulujPrzycisk, &QPushButton::clicked, this, &QWidget::close);

    // The window sees the keys first.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    installEventFilter(this);
}

bool TInstallForm::administratorHasPassword() const
{
    return !ReadString(Setting::Password, kAdministratorAccount).empty();
}

void TInstallForm::goForward()
{
    if (m_step == InstallStep::Folder) {
        const std::string folder = ToPath(FolderEdycja->text().trimmed());
        if (const auto refusal = InstallFolderRefusal(folder)) {
            Ui().ShowMessage(this, QStringLiteral("Nieprawidłowy folder"), FromUtf8(*refusal),
                MessageIcon::Warning, MessageButtons::Ok);
            FolderEdycja->setFocus();
            return;
        }
        m_targetFolder = folder;
    }
    const InstallStep next = NextInstallStep(m_step, administratorHasPassword());
    if (next == InstallStep::Ready && m_step == InstallStep::Access
        && !PasswordBoxesAgree(
            RootBox->isChecked(), ToPath(PasswordBox->text()), ToPath(ConfirmBox->text()))) {
        Ui().ShowMessage(this, QStringLiteral("Nieprawidłowe hasło"),
            QStringLiteral("Wprowadziłeś nieprawidłowe hasło"), MessageIcon::Information, MessageButtons::Ok);
        return;
    }
    enterStep(next);
}

void TInstallForm::goBack()
{
    enterStep(PreviousInstallStep(m_step, administratorHasPassword()));
}

void TInstallForm::enterStep(InstallStep step)
{
    m_step = step;
    Pages->setCurrentIndex(static_cast<int>(step));
    markStep();
    switch (step) {
    case InstallStep::Welcome:
        WsteczPrzycisk->setEnabled(false);
        DalejPrzycisk->setEnabled(true);
        break;
    case InstallStep::Licence:
        WsteczPrzycisk->setEnabled(true);
        DalejPrzycisk->setEnabled(UmowaOpcja->isChecked());
        LicenceHtml->setFocus();
        break;
    case InstallStep::Folder:
        if (FolderEdycja->text().isEmpty())
            chooseDefaultFolder();
        DalejPrzycisk->setEnabled(!FolderEdycja->text().isEmpty());
        FolderEdycja->setFocus();
        break;
    case InstallStep::Progress:
        install();
        break;
    default:
        DalejPrzycisk->setEnabled(true);
        break;
    }
}

void TInstallForm::markStep()
{
    for (int i = 0; i < kInstallStepCount; ++i) {
        const bool current = i == static_cast<int>(m_step);
        StepLabels[static_cast<std::size_t>(i)]->setStyleSheet(current
                ? QStringLiteral("font-weight:bold; color:palette(highlight);")
                : QStringLiteral("font-weight:normal; color:black;"));
    }
}

void TInstallForm::chooseDefaultFolder()
{
    const FolderProposal proposal = ProposeInstallFolder();
    FolderEdycja->setText(FromPath(proposal.folder));
    FolderWarnCaption->setText(FromUtf8(proposal.warning));
    FolderEdycja->selectAll();
}

void TInstallForm::browseFolder()
{
    const std::string chosen = BrowseForFolderPath(this);
    if (chosen.empty())
        return;
    FolderEdycja->setText(FromPath(FolderFromBrowsing(chosen)));
    FolderEdycja->selectAll();
}

void TInstallForm::install()
{
    m_installing = true;
    for (QPushButton* button : { WsteczPrzycisk, DalejPrzycisk, AnulujPrzycisk, PomocPrzycisk })
        button->setEnabled(false);
    PauseBriefly();
    ZakonczenieHtml->LoadFromText(Utf8ToCp1250Lossy(thanksPage()));

    InstallChoices choices;
    choices.sourceFolder = m_source.programFolder;
    choices.sourceExecutable = m_source.executable;
    choices.targetFolder = m_targetFolder;
    choices.desktopShortcut = DesktopBox->isChecked();
    choices.menuShortcut = MenuStartBox->isChecked();
    // The mode and access pages were not shown to a reinstallation over a
    // password: their first choices (standard mode, no new password) count.
    choices.compactMode = CompactBox->isChecked();
    choices.protect = RootBox->isChecked();
    choices.password = ToPath(PasswordBox->text());
    choices.version = m_source.version;
    PlatformDesktopIntegration integration(m_targetFolder + "/" + std::string(kInstalledExecutable));
    Installation installation(std::move(choices),
        { &integration, [](std::string_view name) { return FindExecutableOnPath(name); } });
    int progress = 0;
    while (!installation.Finished()) {
        progress = std::min(100, progress + installation.RunNextAction());
        PasekPostepu->setValue(progress);
        QCoreApplication::processEvents();
    }
    pause(500);

    m_usable = installation.Usable();
    if (!installation.Complete()) {
        QString text = m_usable
            ? QStringLiteral("Program został zainstalowany, ale nie wszystko udało się zapisać:")
            : QStringLiteral("Instalacja programu nie powiodła się:");
        for (const std::string& problem : installation.Problems())
            text += QStringLiteral("\n• ") + FromUtf8(problem);
        RunCaption->setText(text);
        RunCaption->setStyleSheet(QStringLiteral("color:#800000;"));
    }
    UruchomOpcja->setChecked(m_usable);
    UruchomOpcja->setEnabled(m_usable);
    m_installing = false;
    enterStep(InstallStep::Done);
    AnulujPrzycisk->setEnabled(true);
    PomocPrzycisk->setEnabled(true);
    WsteczPrzycisk->setEnabled(false);
    DalejPrzycisk->setEnabled(false);
    m_installed = true;
}

void TInstallForm::closeEvent(QCloseEvent* event)
{
    if (m_installing) {
        // Nothing may end the window while the copy runs.
        event->ignore();
        return;
    }
    if (!m_installed) {
        const int answer = Ui().ShowMessage(this, QStringLiteral("Przerwanie instalacji"),
            QStringLiteral(
                "Program \"Orbita\" nie został w pełni zainstalowany na tym komputerze. Jeśli teraz "
                "przerwiesz instalację to nie będziesz miał możliwości uruchamiania programu. "
                "Zakończyć instalację?"),
            MessageIcon::Question, MessageButtons::YesNoDefaultNo);
        if (answer != mrYes) {
            event->ignore();
            return;
        }
    } else if (m_usable && UruchomOpcja->isChecked()) {
        const QString program = FromPath(m_targetFolder + "/" + std::string(kInstalledExecutable));
        if (!m_starter || !m_starter(program, {}))
            Ui().ShowMessage(this, QStringLiteral("Orbita"),
                QStringLiteral("Nie można uruchomić programu „%1”.").arg(program), MessageIcon::Error,
                MessageButtons::Ok);
    }
    StopSound();
    TMainFormBase::closeEvent(event);
}

bool TInstallForm::keyPressed(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (DalejPrzycisk->isEnabled())
            DalejPrzycisk->click();
        return true;
    case Qt::Key_Escape:
        AnulujPrzycisk->click();
        return true;
    case Qt::Key_F1:
        PomocPrzycisk->click();
        return true;
    default:
        return false;
    }
}

bool TInstallForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (keyPressed(key->key(), key->modifiers()))
            return true;
    }
    return TMainFormBase::eventFilter(watched, event);
}

} // namespace orbita
