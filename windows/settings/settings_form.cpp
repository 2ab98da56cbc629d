#include "windows/settings/settings_form.h"

#include "core/cp1250.h"
#include "core/profile_backup.h"
#include "core/reg_file.h"
#include "core/settings.h"
#include "platform/qt_text.h"
#include "platform/shell_services.h"
#include "platform/sound.h"
#include "platform/ui_services.h"
#include "platform/window_services.h"
#include "widgets/accessible_text.h"
#include "windows/settings/desktop_integration.h"
#include "windows/window_opener.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace orbita {
namespace {

QString utf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string toUtf8(const QString& text)
{
    return text.toUtf8().toStdString();
}

// "*.bmp" in every letter case, for a file dialog on a case-sensitive file system.
QString anyCase(const QString& extension)
{
    QString pattern = QStringLiteral("*.");
    for (QChar c : extension)
        pattern += u'[' + QString(c.toLower()) + QString(c.toUpper()) + u']';
    return pattern;
}

QLabel* wrappedLabel(const QString& text, const char* name)
{
    auto* label = new QLabel(text);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    return label;
}

template <typename T> T* named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLineEdit* passwordEdit(const char* name)
{
    auto* box = named(new QLineEdit, name);
    box->setEchoMode(QLineEdit::Password);
    box->setStyleSheet(QStringLiteral("lineedit-password-character: 8226"));
    return box;
}

MessageIcon iconOf(AccountMessageIcon icon)
{
    return icon == AccountMessageIcon::Error ? MessageIcon::Error : MessageIcon::Warning;
}

MessageIcon iconOf(BackupIcon icon)
{
    switch (icon) {
    case BackupIcon::Information:
        return MessageIcon::Information;
    case BackupIcon::Warning:
        return MessageIcon::Warning;
    case BackupIcon::Error:
        return MessageIcon::Error;
    }
    return MessageIcon::Error;
}

constexpr QColor kDisabledListColour(236, 235, 232);

} // namespace

TSettingsForm::TSettingsForm(QWidget* parent, DesktopIntegration* integration)
    : TDialogForm(parent)
{
    setObjectName(QStringLiteral("SettingsForm"));
    SetHelpTopic(*this, QStringLiteral("O_USTAWN"));
    setTitle(QStringLiteral("Ustawienia"));

    if (!integration) {
        m_ownIntegration = std::make_unique<PlatformDesktopIntegration>(ExecutablePath());
        integration = m_ownIntegration.get();
    }
    SettingsEnvironment environment;
    environment.account = CurrentUserName();
    environment.programFolder = ProgramFolder();
    environment.perUserFolder = UserDataFolder();
    environment.integration = integration;
    environment.findExecutable = [](std::string_view name) { return FindExecutableOnPath(name); };

    UzytkownikEtykieta = named(new QLabel(FromCp1250(environment.account)), "UzytkownikEtykieta");
    QFont bold = UzytkownikEtykieta->font();
    bold.setBold(true);
    UzytkownikEtykieta->setFont(bold);
    UzytkownikEtykieta->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    UzytkownikEtykieta->setMargin(3);

    Drzewko = named(new QTreeWidget, "Drzewko");
    Drzewko->setHeaderHidden(true);
    Drzewko->setRootIsDecorated(true);
    Drzewko->setItemsExpandable(false);
    Drzewko->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SetAccessibleText(*Drzewko, QStringLiteral("Strony ustawień"),
        QStringLiteral("Strzałki wybierają stronę ustawień, Tab przechodzi do jej pól."));
    QTreeWidgetItem* program = nullptr;
    for (const SettingsTreeNode& node : SettingsTree()) {
        auto* item = node.level == 0 ? new QTreeWidgetItem(Drzewko) : new QTreeWidgetItem(program);
        item->setText(0, utf8(node.text));
        if (node.level == 0 && !program)
            program = item;
    }
    Drzewko->expandAll();
    Drzewko->setFixedWidth(150);

    OpcjaEtykieta = named(new QLabel, "OpcjaEtykieta");
    OpcjaEtykieta->setFont(bold);
    OpcjaEtykieta->setFrameStyle(QFrame::Panel | QFrame::Raised);
    OpcjaEtykieta->setMargin(3);

    Notebook = named(new QStackedWidget, "Notebook");
    for (QWidget* page : { makeProgramPage(), makeGlownePage(), makeIntegracjaPage(), makeDzwiekiPage(),
             makeKarnacjePage(), makeNarzedziaPage(), makeKontaPage(), makeKopiaPage() })
        Notebook->addWidget(page);

    DefaultButton = named(new QPushButton(QStringLiteral("&Domyślnie")), "DefaultButton");
    ConfirmButton = named(new QPushButton(QStringLiteral("&OK")), "ConfirmButton");
    HelpButton = named(new QPushButton(QStringLiteral("Pomo&c")), "HelpButton");
    CancelButton = named(new QPushButton(QStringLiteral("&Anuluj")), "CancelButton");
    for (QPushButton* button : { DefaultButton, ConfirmButton, HelpButton, CancelButton })
        button->setAutoDefault(false);

    auto* left = new QVBoxLayout;
    left->addWidget(UzytkownikEtykieta);
    left->addWidget(Drzewko, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(OpcjaEtykieta);
    right->addWidget(Notebook, 1);
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(DefaultButton);
    buttons->addStretch(1);
    buttons->addWidget(ConfirmButton);
    buttons->addWidget(HelpButton);
    buttons->addWidget(CancelButton);
    bodyLayout()->setSpacing(6);
    bodyLayout()->addLayout(top, 1);
    bodyLayout()->addLayout(buttons);
    resize(560, 400 + kCaptionHeight);

    wire();

    // Loading: the values, the page last shown, OK disabled.
    m_model = std::make_unique<SettingsModel>(std::move(environment));
    KarnacjeTablica->setCurrentIndex(m_model->SkinsAvailable() ? 0 : 1);
    SkinBox->setEnabled(m_model->SkinsAvailable());
    KontaTablica->setCurrentIndex(m_model->IsAdministrator() ? 1 : 0);
    showValues();
    const QString initialPassword = utf8(InitialPasswordBoxText(m_model->Environment().account));
    for (QLineEdit* box : { PasswordBox, ConfirmBox, RootPassword, ConfirmRoot })
        box->setText(initialPassword);
    showBackupChoice();
    SetupTab(StoredSettingsPage());
    Drzewko->setFocus();
    updateButtons();
}

TSettingsForm::~TSettingsForm() = default;

void TSettingsForm::ShowSettings(QWidget* owner)
{
    TSettingsForm form(owner);
    Ui().ShowModal(form);
}

QString TSettingsForm::PictureFilter()
{
    return QStringLiteral("Pliki map bitowych (%1)").arg(anyCase(QStringLiteral("bmp")));
}

QString TSettingsForm::SoundFilter()
{
    return QStringLiteral("Pliki dźwiękowe (%1);;Wszystkie pliki (*)").arg(anyCase(QStringLiteral("wav")));
}

QString TSettingsForm::ProgramFilter()
{
    return QStringLiteral("Programy (*);;Wszystkie pliki (*)");
}

QWidget* TSettingsForm::makeProgramPage()
{
    auto* page = named(new QWidget, "Program");
    StandardBox = named(new QRadioButton(QStringLiteral("Uruchamiaj w trybie &standardowym")), "StandardBox");
    StandardCaption
        = wrappedLabel(QStringLiteral("Program zostanie uruchomiony z wykorzystaniem dostępnych "
                                      "karnacji (standardowej lub wybranej z listy - opcja zalecana "
                                      "dla szybkich komputerów)"),
            "StandardCaption");
    CompactBox = named(new QRadioButton(QStringLiteral("Uruchamiaj w trybie &kompaktowym")), "CompactBox");
    CompactCaption
        = wrappedLabel(QStringLiteral("Program zostanie uruchomiony w trybie oszczędnym bez karnacji "
                                      "(opcja zalecana dla wolniejszych komputerów lub, gdy masz "
                                      "problemy z wyświetlaniem grafiki)"),
            "CompactCaption");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(StandardBox);
    layout->addWidget(StandardCaption);
    layout->addSpacing(8);
    layout->addWidget(CompactBox);
    layout->addWidget(CompactCaption);
    layout->addStretch(1);
    return page;
}

QWidget* TSettingsForm::makeGlownePage()
{
    auto* page = named(new QWidget, "Glowne");
    PlacementBox = named(new QCheckBox(QStringLiteral("&Zapamiętuj pozycje okien")), "PlacementBox");
    PromptBox = named(new QCheckBox(QStringLiteral("Py&taj przed zamknięciem programu")), "PromptBox");
    HintBox = named(new QCheckBox(QStringLiteral("Wyświetlaj dy&mki podpowiedzi")), "HintBox");
    TipBox = named(new QCheckBox(QStringLiteral("Wyświetlaj porady przy &uruchamianiu")), "TipBox");
    TipButton = named(new QPushButton(QStringLiteral("Po&każ porady")), "TipButton");
    BgBox = named(new QCheckBox(QStringLiteral("Wyświetlaj &fakturę we wnętrzu okien")), "BgBox");
    BgPathBox = named(new QLineEdit, "BgPathBox");
    SetAccessibleText(*BgPathBox, QStringLiteral("Plik faktury"),
        QStringLiteral("Ścieżka obrazu, którym wypełniane jest wnętrze okien."));
    BrowseBgButton = named(new QPushButton(QStringLiteral("Prz&eglądaj")), "BrowseBgButton");
    auto* layout = new QVBoxLayout(page);
    for (QCheckBox* box : { PlacementBox, PromptBox, HintBox })
        layout->addWidget(box);
    auto* tip = new QHBoxLayout;
    tip->addWidget(TipBox, 1);
    tip->addWidget(TipButton);
    layout->addLayout(tip);
    layout->addSpacing(8);
    layout->addWidget(BgBox);
    auto* path = new QHBoxLayout;
    path->addWidget(BgPathBox, 1);
    path->addWidget(BrowseBgButton);
    layout->addLayout(path);
    layout->addStretch(1);
    return page;
}

QWidget* TSettingsForm::makeIntegracjaPage()
{
    auto* page = named(new QWidget, "Integracja");
    GroupBox = named(new QCheckBox(QStringLiteral("Grupa programów w Menu &Start")), "GroupBox");
    DesktopBox = named(new QCheckBox(QStringLiteral("Skró&t na pulpicie")), "DesktopBox");
    MenuBox = named(new QCheckBox(QStringLiteral("Skrót w &Menu Start")), "MenuBox");
    auto* layout = new QVBoxLayout(page);
    for (QCheckBox* box : { GroupBox, DesktopBox, MenuBox })
        layout->addWidget(box);
    layout->addStretch(1);
    return page;
}

QWidget* TSettingsForm::makeDzwiekiPage()
{
    auto* page = named(new QWidget, "Dzwieki");
    SoundsBox = named(new QCheckBox(QStringLiteral("Włącz zdarzenia dźwięko&we")), "SoundsBox");
    auto* grid = new QGridLayout;
    const struct {
        const char* label;
        const char* box;
        const char* browse;
        const char* play;
        QLineEdit** edit;
        QPushButton** browseButton;
        QPushButton** playButton;
    } rows[] = {
        { "&Uruchamianie programu", "IntroSndBox", "IntroBrowseButton", "IntroPlayButton", &IntroSndBox,
            &IntroBrowseButton, &IntroPlayButton },
        { "Otwarc&ie okna", "OpenSndBox", "OpenBrowseButton", "OpenPlayButton", &OpenSndBox,
            &OpenBrowseButton, &OpenPlayButton },
        { "&Zamknięcie okna", "CloseSndBox", "CloseBrowseButton", "ClosePlayButton", &CloseSndBox,
            &CloseBrowseButton, &ClosePlayButton },
    };
    int row = 0;
    for (const auto& r : rows) {
        auto* label = new QLabel(QString::fromUtf8(r.label));
        *r.edit = named(new QLineEdit, r.box);
        label->setBuddy(*r.edit);
        (*r.edit)->setAccessibleDescription(QStringLiteral("Ścieżka pliku dźwiękowego WAV."));
        *r.browseButton = named(new QPushButton(QStringLiteral("…")), r.browse);
        (*r.browseButton)->setToolTip(QStringLiteral("Przeglądaj"));
        (*r.browseButton)->setAccessibleName(QStringLiteral("Przeglądaj"));
        *r.playButton = named(new QPushButton(QStringLiteral("▶")), r.play);
        (*r.playButton)->setToolTip(QStringLiteral("Odtwórz"));
        (*r.playButton)->setAccessibleName(QStringLiteral("Odtwórz"));
        for (QPushButton* button : { *r.browseButton, *r.playButton })
            button->setFixedWidth(28);
        grid->addWidget(label, row, 0, 1, 3);
        grid->addWidget(*r.edit, row + 1, 0);
        grid->addWidget(*r.browseButton, row + 1, 1);
        grid->addWidget(*r.playButton, row + 1, 2);
        row += 2;
    }
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(SoundsBox);
    layout->addLayout(grid);
    layout->addStretch(1);
    return page;
}

QWidget* TSettingsForm::makeKarnacjePage()
{
    auto* page = named(new QWidget, "Karnacje");
    KarnacjeTablica = named(new QStackedWidget, "KarnacjeTablica");
    auto* lista = named(new QWidget, "Lista");
    SkinBox = named(new QCheckBox(QStringLiteral("&Włącz obslugę karnacji")), "SkinBox");
    SkinList = named(new QListWidget, "SkinList");
    SetAccessibleText(*SkinList, QStringLiteral("Karnacje"),
        QStringLiteral("Karnacje, którymi można ozdobić okno główne. Strzałki wybierają karnację."));
    InformacjePrzycisk = named(new QPushButton(QStringLiteral("I&nformacje")), "InformacjePrzycisk");
    auto* listaLayout = new QVBoxLayout(lista);
    listaLayout->setContentsMargins(0, 0, 0, 0);
    listaLayout->addWidget(SkinList, 1);
    auto* info = new QHBoxLayout;
    info->addStretch(1);
    info->addWidget(InformacjePrzycisk);
    listaLayout->addLayout(info);
    auto* brak = named(new QWidget, "Brak");
    BrakEtykieta
        = wrappedLabel(QStringLiteral("Nie znaleziono żadnych schematów karnacji. Dodatkowe schematy "
                                      "możesz ściągnąć za pomocą Centrum aktualizacji."),
            "BrakEtykieta");
    auto* brakLayout = new QVBoxLayout(brak);
    brakLayout->setContentsMargins(0, 0, 0, 0);
    brakLayout->addWidget(BrakEtykieta);
    brakLayout->addStretch(1);
    KarnacjeTablica->addWidget(lista);
    KarnacjeTablica->addWidget(brak);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(SkinBox);
    layout->addWidget(KarnacjeTablica, 1);
    return page;
}

QWidget* TSettingsForm::makeNarzedziaPage()
{
    auto* page = named(new QWidget, "Narzedzia");
    ToolsList = named(new QTreeWidget, "ToolsList");
    ToolsList->setColumnCount(2);
    ToolsList->setHeaderLabels({ QStringLiteral("Nazwa"), QStringLiteral("Położenie pliku") });
    ToolsList->setRootIsDecorated(false);
    ToolsList->setColumnWidth(0, 80);
    ToolsList->setColumnWidth(1, 113);
    ToolName = named(new QLineEdit, "ToolName");
    ToolPath = named(new QLineEdit, "ToolPath");
    ToolName->setAccessibleDescription(QStringLiteral("Nazwa narzędzia pokazywana w menu."));
    ToolPath->setAccessibleDescription(
        QStringLiteral("Program, plik lub adres internetowy otwierany przez narzędzie."));
    auto* nameLabel = new QLabel(QStringLiteral("Naz&wa"));
    nameLabel->setBuddy(ToolName);
    auto* pathLabel = new QLabel(QStringLiteral("Śc&ieżka"));
    pathLabel->setBuddy(ToolPath);
    BrowseButton = named(new QPushButton(QStringLiteral("&Przeglądaj")), "BrowseButton");
    AddToolButton = named(new QPushButton(QStringLiteral("&Dodaj")), "AddToolButton");
    DeleteToolButton = named(new QPushButton(QStringLiteral("&Usuń")), "DeleteToolButton");
    auto* grid = new QGridLayout;
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(ToolName, 0, 1);
    grid->addWidget(AddToolButton, 0, 2);
    grid->addWidget(pathLabel, 1, 0);
    grid->addWidget(ToolPath, 1, 1);
    grid->addWidget(BrowseButton, 1, 2);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(ToolsList, 1);
    auto* del = new QHBoxLayout;
    del->addStretch(1);
    del->addWidget(DeleteToolButton);
    layout->addLayout(del);
    layout->addLayout(grid);
    return page;
}

QWidget* TSettingsForm::makeKontaPage()
{
    auto* page = named(new QWidget, "Konta");
    KontaTablica = named(new QStackedWidget, "KontaTablica");

    auto* user = named(new QWidget, "Uzytkownik");
    PasswordBox = passwordEdit("PasswordBox");
    ConfirmBox = passwordEdit("ConfirmBox");
    PasswordBox->setAccessibleDescription(QStringLiteral("Nowe hasło Twojego konta."));
    ConfirmBox->setAccessibleDescription(QStringLiteral("To samo hasło wpisane ponownie."));
    auto* userGrid = new QGridLayout(user);
    userGrid->setContentsMargins(0, 0, 0, 0);
    auto* passwordLabel = new QLabel(QStringLiteral("&Hasło"));
    passwordLabel->setBuddy(PasswordBox);
    auto* confirmLabel = new QLabel(QStringLiteral("Pot&wierdzenie"));
    confirmLabel->setBuddy(ConfirmBox);
    userGrid->addWidget(passwordLabel, 0, 0);
    userGrid->addWidget(PasswordBox, 0, 1);
    userGrid->addWidget(confirmLabel, 1, 0);
    userGrid->addWidget(ConfirmBox, 1, 1);
    userGrid->setRowStretch(2, 1);

    // The Administrator's sub-page bears the account's name.
    auto* admin = new QWidget;
    admin->setObjectName(utf8(kAdministratorAccount));
    UserList = named(new QListWidget, "UserList");
    NewAccount = named(new QLineEdit, "NewAccount");
    NewAccount->setMaxLength(static_cast<int>(kMaxAccountNameLength));
    SetAccessibleText(*UserList, QStringLiteral("Istniejące konta"),
        QStringLiteral("Konta użytkowników programu. Usuń usuwa wybrane konto."));
    SetAccessibleText(*NewAccount, QStringLiteral("Nowe konto"),
        QStringLiteral("Nazwa nowego konta. Utwórz dodaje je do listy."));
    AddUserButton = named(new QPushButton(QStringLiteral("Utwór&z")), "AddUserButton");
    DeleteUserButton = named(new QPushButton(QStringLiteral("&Usuń")), "DeleteUserButton");
    RootPassword = passwordEdit("RootPassword");
    ConfirmRoot = passwordEdit("ConfirmRoot");
    RootPassword->setAccessibleDescription(QStringLiteral("Nowe hasło administratora."));
    ConfirmRoot->setAccessibleDescription(QStringLiteral("To samo hasło wpisane ponownie."));
    auto* adminGrid = new QGridLayout(admin);
    adminGrid->setContentsMargins(0, 0, 0, 0);
    adminGrid->addWidget(new QLabel(QStringLiteral("Istniejące konta")), 0, 0, 1, 3);
    adminGrid->addWidget(UserList, 1, 0, 1, 2);
    adminGrid->addWidget(DeleteUserButton, 1, 2, Qt::AlignTop);
    adminGrid->addWidget(NewAccount, 2, 0, 1, 2);
    adminGrid->addWidget(AddUserButton, 2, 2);
    auto* rootLabel = new QLabel(QStringLiteral("&Hasło"));
    rootLabel->setBuddy(RootPassword);
    auto* confirmRootLabel = new QLabel(QStringLiteral("Pot&wierdzenie"));
    confirmRootLabel->setBuddy(ConfirmRoot);
    adminGrid->addWidget(rootLabel, 3, 0);
    adminGrid->addWidget(RootPassword, 3, 1, 1, 2);
    adminGrid->addWidget(confirmRootLabel, 4, 0);
    adminGrid->addWidget(ConfirmRoot, 4, 1, 1, 2);

    KontaTablica->addWidget(user);
    KontaTablica->addWidget(admin);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(KontaTablica);
    return page;
}

QWidget* TSettingsForm::makeKopiaPage()
{
    auto* page = named(new QWidget, "Kopia");
    CopyBox = named(new QRadioButton(QStringLiteral("Wykonaj &kopię zapasową ustawień")), "CopyBox");
    CopyCaption = wrappedLabel(QStringLiteral("Wykonuje kopię zapasową ustawień aktualnego profilu (zmiany "
                                              "wprowadzone przed zamknięciem tego okna nie zostaną "
                                              "uwzględnione)."),
        "CopyCaption");
    RestoreBox = named(new QRadioButton(QStringLiteral("Przy&wróc kopię zapasową ustawień")), "RestoreBox");
    RestoreCaption = wrappedLabel(QStringLiteral("Przywraca wcześniej utworzoną kopię ustawień aktualnego "
                                                 "profilu (to okno nie zostanie zaktualizowane)"),
        "RestoreCaption");
    BackupButton = named(new QPushButton(QStringLiteral("&Rozpocznij")), "BackupButton");
    CopyBox->setChecked(true);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(CopyBox);
    layout->addWidget(CopyCaption);
    layout->addSpacing(8);
    layout->addWidget(RestoreBox);
    layout->addWidget(RestoreCaption);
    auto* start = new QHBoxLayout;
    start->addStretch(1);
    start->addWidget(BackupButton);
    layout->addLayout(start);
    layout->addStretch(1);
    return page;
}

void TSettingsForm::wire()
{
    connect(Drzewko, &QTreeWidget::currentItemChanged, this, &TSettingsForm::DrzewkoChange);
    connect(ConfirmButton, &QPushButton::clicked, this, &TSettingsForm::ConfirmButtonClick);
    connect(DefaultButton, &QPushButton::clicked, this, &TSettingsForm::DefaultButtonClick);
    connect(HelpButton, &QPushButton::clicked, this, &TSettingsForm::helpRequested);
    connect(CancelButton, &QPushButton::clicked, this, &TSettingsForm::reject);

    // Check boxes and radio buttons mark on a click; edit boxes on every edit.
    const auto checks = checkBoxes();
    for (const auto& check : checks)
        connect(check.box, &QCheckBox::clicked, this, [this, field = check.field](bool on) {
            m_model->SetFlag(field, on);
            updateButtons();
        });
    for (QRadioButton* radio : { StandardBox, CompactBox })
        connect(radio, &QRadioButton::clicked, this, [this] {
            m_model->SetFlag(SettingsField::CompactMode, CompactBox->isChecked());
            updateButtons();
        });
    const auto edits = editBoxes();
    for (const auto& edit : edits)
        connect(edit.box, &QLineEdit::textEdited, this, [this, field = edit.field](const QString& text) {
            m_model->SetText(field, toUtf8(text));
            updateButtons();
        });

    connect(TipButton, &QPushButton::clicked, this, &TSettingsForm::TipButtonClick);
    connect(BrowseBgButton, &QPushButton::clicked, this, &TSettingsForm::BrowseBgButtonClick);
    connect(IntroBrowseButton, &QPushButton::clicked, this,
        [this] { browseSound(SettingsField::IntroSound, IntroSndBox); });
    connect(OpenBrowseButton, &QPushButton::clicked, this,
        [this] { browseSound(SettingsField::OpenSound, OpenSndBox); });
    connect(CloseBrowseButton, &QPushButton::clicked, this,
        [this] { browseSound(SettingsField::CloseSound, CloseSndBox); });
    connect(IntroPlayButton, &QPushButton::clicked, this, [this] { playSound(IntroSndBox); });
    connect(OpenPlayButton, &QPushButton::clicked, this, [this] { playSound(OpenSndBox); });
    connect(ClosePlayButton, &QPushButton::clicked, this, [this] { playSound(CloseSndBox); });

    // A skin is chosen by a click or from the keyboard (arrows, a letter),
    // whichever selects it; the list's own filling while loading does not
    // count, nor does the focus passing through the list.
    connect(SkinList, &QListWidget::itemClicked, this, &TSettingsForm::SkinListClick);
    connect(SkinList, &QListWidget::itemSelectionChanged, this, [this] {
        if (!SkinList->selectedItems().isEmpty())
            SkinListClick();
    });
    connect(SkinList, &QListWidget::itemDoubleClicked, this, &TSettingsForm::InformacjePrzyciskClick);
    connect(InformacjePrzycisk, &QPushButton::clicked, this, &TSettingsForm::InformacjePrzyciskClick);

    connect(ToolsList, &QTreeWidget::itemSelectionChanged, this, &TSettingsForm::updateButtons);
    connect(ToolName, &QLineEdit::textChanged, this, &TSettingsForm::updateButtons);
    connect(ToolPath, &QLineEdit::textChanged, this, &TSettingsForm::updateButtons);
    connect(BrowseButton, &QPushButton::clicked, this, &TSettingsForm::BrowseButtonClick);
    connect(AddToolButton, &QPushButton::clicked, this, &TSettingsForm::AddToolButtonClick);
    connect(DeleteToolButton, &QPushButton::clicked, this, &TSettingsForm::DeleteToolButtonClick);

    connect(UserList, &QListWidget::itemSelectionChanged, this, &TSettingsForm::updateButtons);
    connect(NewAccount, &QLineEdit::textChanged, this, &TSettingsForm::updateButtons);
    connect(AddUserButton, &QPushButton::clicked, this, &TSettingsForm::AddUserButtonClick);
    connect(DeleteUserButton, &QPushButton::clicked, this, &TSettingsForm::DeleteUserButtonClick);
    for (QLineEdit* box : { PasswordBox, ConfirmBox, RootPassword, ConfirmRoot })
        connect(box, &QLineEdit::textEdited, this, &TSettingsForm::passwordEdited);

    connect(BackupButton, &QPushButton::clicked, this, &TSettingsForm::BackupButtonClick);
}

std::array<TSettingsForm::BoxOf<QCheckBox>, 10> TSettingsForm::checkBoxes() const
{
    return { { { PlacementBox, SettingsField::SavePlacement }, { PromptBox, SettingsField::ExitPrompt },
        { HintBox, SettingsField::ShowHint }, { TipBox, SettingsField::StartupTip },
        { BgBox, SettingsField::UseBackground }, { GroupBox, SettingsField::ProgramGroup },
        { DesktopBox, SettingsField::DesktopShortcut }, { MenuBox, SettingsField::MenuShortcut },
        { SoundsBox, SettingsField::Sounds }, { SkinBox, SettingsField::UseSkin } } };
}

std::array<TSettingsForm::BoxOf<QLineEdit>, 4> TSettingsForm::editBoxes() const
{
    return { { { BgPathBox, SettingsField::BackgroundPath }, { IntroSndBox, SettingsField::IntroSound },
        { OpenSndBox, SettingsField::OpenSound }, { CloseSndBox, SettingsField::CloseSound } } };
}

void TSettingsForm::showValues()
{
    const SettingsModel& model = *m_model;
    (model.Flag(SettingsField::CompactMode) ? CompactBox : StandardBox)->setChecked(true);
    const auto checks = checkBoxes();
    for (const auto& check : checks)
        check.box->setChecked(model.Flag(check.field));
    const auto edits = editBoxes();
    for (const auto& edit : edits)
        if (edit.box->text() != utf8(model.Text(edit.field)))
            edit.box->setText(utf8(model.Text(edit.field)));

    const QSignalBlocker filling(SkinList);
    SkinList->clear();
    for (const SkinEntry& skin : model.Skins())
        SkinList->addItem(utf8(skin.display));
    m_skinLines.clear();
    if (const auto selected = model.SelectedSkin()) {
        SkinList->setCurrentRow(static_cast<int>(*selected));
        for (const std::string& line : SkinInformationLines(model.Skins()[*selected]))
            m_skinLines << utf8(line);
    }
    showTools();
    showAccounts();
}

void TSettingsForm::showTools()
{
    ToolsList->clear();
    for (const SettingsTool& tool : m_model->Tools())
        new QTreeWidgetItem(ToolsList, { utf8(tool.name), utf8(tool.path) });
    const bool any = !m_model->Tools().empty();
    ToolsList->setEnabled(any);
    QPalette palette = ToolsList->palette();
    palette.setColor(QPalette::Base, any ? QColor(Qt::white) : kDisabledListColour);
    ToolsList->setPalette(palette);
}

void TSettingsForm::showAccounts()
{
    UserList->clear();
    if (const AccountList* accounts = m_model->Accounts())
        for (const std::string& name : accounts->Names())
            UserList->addItem(FromCp1250(name));
}

void TSettingsForm::showBackupChoice()
{
    const bool exists
        = ExistingBackupFile(DefaultBackupFolders(ProgramFolder()), m_model->Environment().account)
              .has_value();
    RestoreBox->setHidden(!exists);
    RestoreCaption->setHidden(!exists);
    if (!exists)
        CopyBox->setChecked(true);
}

void TSettingsForm::updateButtons()
{
    ConfirmButton->setEnabled(m_model && m_model->ConfirmEnabled());
    AddToolButton->setEnabled(!ToolName->text().isEmpty() && !ToolPath->text().isEmpty());
    DeleteToolButton->setEnabled(!ToolsList->selectedItems().isEmpty());
    AddUserButton->setEnabled(!NewAccount->text().isEmpty());
    const QListWidgetItem* user = UserList->currentItem();
    const AccountList* accounts = m_model ? m_model->Accounts() : nullptr;
    DeleteUserButton->setEnabled(
        user && user->isSelected() && accounts && accounts->CanDelete(ToCp1250(user->text())));
    InformacjePrzycisk->setEnabled(SkinList->currentRow() >= 0);
}

void TSettingsForm::SetupTab(int index)
{
    if (index < 0 || index >= kSettingsPageCount)
        index = 0;
    QTreeWidgetItemIterator it(Drzewko);
    for (int i = 0; *it; ++it, ++i)
        if (i == index) {
            Drzewko->setCurrentItem(*it);
            break;
        }
    DrzewkoChange();
}

int TSettingsForm::SelectedTab() const
{
    QTreeWidgetItemIterator it(Drzewko);
    for (int i = 0; *it; ++it, ++i)
        if (*it == Drzewko->currentItem())
            return i;
    return 0;
}

void TSettingsForm::DrzewkoChange()
{
    const int index = SelectedTab();
    Notebook->setCurrentIndex(index);
    OpcjaEtykieta->setText(utf8(SettingsTree()[static_cast<std::size_t>(index)].text));
}

void TSettingsForm::helpRequested()
{
    ShowHelpFor(this);
}

bool TSettingsForm::eventFilter(QObject* watched, QEvent* event)
{
    // Enter presses OK wherever the focus is, and only while OK is enabled.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && ShortcutModifiers(key->modifiers()) == Qt::NoModifier
            && isAncestorOf(qobject_cast<QWidget*>(watched))) {
            if (ConfirmButton->isEnabled())
                ConfirmButton->click();
            return true;
        }
    }
    return TDialogForm::eventFilter(watched, event);
}

void TSettingsForm::showMessage(const AccountMessage& message)
{
    Ui().ShowMessage(
        this, utf8(message.caption), utf8(message.text), iconOf(message.icon), MessageButtons::Ok);
}

void TSettingsForm::ConfirmButtonClick()
{
    if (!ConfirmButton->isEnabled())
        return;
    if (m_model->NeedsModeQuestion()) {
        const int answer = Ui().ShowMessage(this, utf8(kModeQuestionCaption), utf8(kModeQuestionText),
            MessageIcon::Question, MessageButtons::YesNo);
        m_model->AnswerModeQuestion(answer == mrYes);
        if (answer == mrYes)
            StandardBox->setChecked(true);
    }
    const SettingsModel::CommitResult result = m_model->Commit();
    if (result.refusal) {
        showMessage(*result.refusal);
        return;
    }
    if (!result.failures.empty()) {
        QStringList lines;
        for (const std::string& failure : result.failures)
            lines << utf8(failure);
        Ui().ShowMessage(this, QStringLiteral("Ustawienia"),
            QStringLiteral("Pozostałe ustawienia zostały zapisane, ale:\n") + lines.join(u'\n'),
            MessageIcon::Error, MessageButtons::Ok);
    }
    done(mrOk);
}

void TSettingsForm::done(int result)
{
    // Whichever way the window closes, it opens at this page next time.
    WriteSettingsPage(SelectedTab());
    TDialogForm::done(result);
}

void TSettingsForm::DefaultButtonClick()
{
    m_model->ApplyDefaults();
    showValues();
    updateButtons();
}

void TSettingsForm::TipButtonClick()
{
    Opener().ShowTip(this, WindowOpener::TipStartupBox::Hidden);
}

bool TSettingsForm::acceptChosenPath(const QString& path, SettingsField field, QLineEdit* box)
{
    if (path.isEmpty())
        return false;
    if (auto refusal = StorableTextRefusal(toUtf8(path))) {
        showMessage(*refusal);
        return false;
    }
    box->setText(path);
    m_model->SetText(field, toUtf8(path));
    updateButtons();
    return true;
}

void TSettingsForm::BrowseBgButtonClick()
{
    const QFileInfo current(BgPathBox->text());
    const QString start = BgPathBox->text().isEmpty() ? FileDialogFolder() : current.absoluteFilePath();
    const QString chosen
        = Ui().OpenFileName(this, QStringLiteral("Wskaż plik graficzny"), start, PictureFilter());
    if (acceptChosenPath(chosen, SettingsField::BackgroundPath, BgPathBox))
        RememberFileDialogChoice(chosen);
}

void TSettingsForm::browseSound(SettingsField field, QLineEdit* box)
{
    const QFileInfo current(box->text());
    const QString folder = !box->text().isEmpty() && current.absoluteDir().exists() ? current.absolutePath()
                                                                                    : FileDialogFolder();
    const QString chosen = Ui().OpenFileName(
        this, QStringLiteral("Wskaż plik dźwiękowy, który zostanie przypisany"), folder, SoundFilter());
    if (acceptChosenPath(chosen, field, box))
        RememberFileDialogChoice(chosen);
}

void TSettingsForm::playSound(QLineEdit* box)
{
    const QFileInfo file(box->text());
    if (!box->text().isEmpty() && file.isFile())
        PlaySoundFile(ToPath(box->text()));
}

void TSettingsForm::SkinListClick()
{
    const int row = SkinList->currentRow();
    if (row < 0)
        return;
    m_model->SelectSkin(static_cast<std::size_t>(row));
    m_skinLines.clear();
    for (const std::string& line : SkinInformationLines(m_model->Skins()[static_cast<std::size_t>(row)]))
        m_skinLines << utf8(line);
    updateButtons();
}

void TSettingsForm::InformacjePrzyciskClick()
{
    const int row = SkinList->currentRow();
    if (row < 0)
        return;
    std::vector<std::string> lines;
    for (const QString& line : m_skinLines)
        lines.push_back(toUtf8(line));
    Ui().ShowMessage(this, utf8(kSkinInformationCaption),
        utf8(SkinInformationText(m_model->Skins()[static_cast<std::size_t>(row)], lines)),
        MessageIcon::Information, MessageButtons::Ok);
}

void TSettingsForm::BrowseButtonClick()
{
    const QString chosen = Ui().OpenFileName(this,
        QStringLiteral("Wskaż program, który zostanie dodany do listy"), FileDialogFolder(), ProgramFilter());
    if (chosen.isEmpty())
        return;
    if (auto refusal = StorableTextRefusal(toUtf8(chosen))) {
        showMessage(*refusal);
        return;
    }
    RememberFileDialogChoice(chosen);
    ToolPath->setText(chosen); // the path's case is kept
}

void TSettingsForm::AddToolButtonClick()
{
    if (ToolName->text().isEmpty() || ToolPath->text().isEmpty())
        return;
    if (auto refusal = m_model->AddTool(toUtf8(ToolName->text()), toUtf8(ToolPath->text()))) {
        showMessage(*refusal);
        return;
    }
    ToolName->clear();
    ToolPath->clear();
    showTools();
    updateButtons();
}

void TSettingsForm::DeleteToolButtonClick()
{
    const QList<QTreeWidgetItem*> selected = ToolsList->selectedItems();
    if (selected.isEmpty())
        return;
    m_model->DeleteTool(static_cast<std::size_t>(ToolsList->indexOfTopLevelItem(selected.front())));
    showTools();
    updateButtons();
}

void TSettingsForm::AddUserButtonClick()
{
    if (NewAccount->text().isEmpty())
        return;
    if (auto refusal = m_model->CreateAccount(toUtf8(NewAccount->text()))) {
        showMessage(*refusal);
        return;
    }
    NewAccount->clear();
    showAccounts();
    updateButtons();
}

void TSettingsForm::DeleteUserButtonClick()
{
    const QListWidgetItem* user = UserList->currentItem();
    if (!user || !m_model->DeleteAccount(ToCp1250(user->text())))
        return;
    showAccounts();
    updateButtons();
}

void TSettingsForm::passwordEdited()
{
    const bool administrator = KontaTablica->currentIndex() == 1;
    QLineEdit* password = administrator ? RootPassword : PasswordBox;
    QLineEdit* confirmation = administrator ? ConfirmRoot : ConfirmBox;
    m_model->SetPasswordBoxes(toUtf8(password->text()), toUtf8(confirmation->text()));
    updateButtons();
}

void TSettingsForm::BackupButtonClick()
{
    const BackupFolders folders = DefaultBackupFolders(ProgramFolder());
    const std::string& account = m_model->Environment().account;
    if (!RestoreBox->isHidden() && RestoreBox->isChecked()) {
        const auto file = ExistingBackupFile(folders, account);
        if (!file)
            return;
        if (Ui().ShowMessage(this, QStringLiteral("Przywracanie ustawień"), utf8(RestoreQuestion(*file)),
                MessageIcon::Question, MessageButtons::YesNoDefaultNo)
            != mrYes)
            return;
        const BackupReport report = RestoreProfile(*file, account);
        Ui().ShowMessage(
            this, utf8(report.caption), utf8(report.text), iconOf(report.icon), MessageButtons::Ok);
        return;
    }
    const BackupReport report = BackupProfile(folders, account);
    Ui().ShowMessage(this, utf8(report.caption), utf8(report.text), iconOf(report.icon), MessageButtons::Ok);
    if (report.ok)
        showBackupChoice();
}

} // namespace orbita
