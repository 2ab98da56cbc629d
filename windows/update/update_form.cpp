#include "windows/update/update_form.h"

#include "core/file_io.h"
#include "core/file_version.h"
#include "core/move_into_place.h"
#include "core/settings.h"
#include "net/http_get.h"
#include "platform/shell_services.h"
#include "platform/ui_services.h"
#include "platform/window_services.h"
#include "widgets/accessible_text.h"
#include "widgets/glyph_button.h"
#include "windows/dialogs/flat_parts.h"
#include "windows/main/tool_windows.h"
#include "windows/update/setup_unpack.h"
#include "windows/window_opener.h"

#include <QAction>
#include <QCloseEvent>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace orbita {
namespace {

using update::Mark;
using update::PackageKind;

QString utf8(const std::string& text)
{
    return QString::fromStdString(text);
}

QLabel* newLabel(const char* name, const QString& text, bool wrap = true)
{
    auto* label = new QLabel(text);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(wrap);
    return label;
}

QProgressBar* newBar(const char* name)
{
    auto* bar = new QProgressBar;
    bar->setObjectName(QString::fromLatin1(name));
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    return bar;
}

// A picture button of the Wybor page with its explanation beside it.
QToolButton* addChoice(QGridLayout& grid, int row, const char* name, const char* picture, const QString& text)
{
    auto* button = new QToolButton;
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(QIcon(QStringLiteral(":/res/%1.png").arg(QString::fromLatin1(picture))));
    button->setIconSize(QSize(32, 32));
    button->setFixedSize(48, 48);
    button->setAutoRaise(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::StrongFocus);
    auto* label = newLabel(name, text);
    label->setObjectName(
        QString::fromLatin1(name).replace(QStringLiteral("Button"), QStringLiteral("Caption")));
    label->setBuddy(button);
    grid.addWidget(button, row, 0, Qt::AlignTop);
    grid.addWidget(label, row, 1, Qt::AlignVCenter);
    return button;
}

Qt::CheckState stateOf(Mark mark)
{
    switch (mark) {
    case Mark::Grey:
        return Qt::PartiallyChecked;
    case Mark::Ticked:
        return Qt::Checked;
    case Mark::Unticked:
        break;
    }
    return Qt::Unchecked;
}

Mark markOf(Qt::CheckState state)
{
    return state == Qt::Checked ? Mark::Ticked : state == Qt::PartiallyChecked ? Mark::Grey : Mark::Unticked;
}

const QString kConnectionError = QStringLiteral(
    "Pobranie wybranych składników z serwera jest niemożliwe. Możliwe, że nie nawiązano połączenia z "
    "serwerem, "
    "połączenie zostało zerwane, serwer został przeciążony lub wciśnięto przycisk Przerwij. Odczekaj kilka "
    "minut, a następnie ponów próbę");

std::string hexDigestOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return {};
    return hash.result().toHex().toStdString();
}

} // namespace

TUpdateForm::TUpdateForm(QWidget* parent)
    : TDialogForm(parent)
    , OwnVersion(FileVersionText(ExecutablePath()))
{
    setObjectName(QStringLiteral("UpdateForm"));
    SetHelpTopic(*this, QStringLiteral("O_CENTRM"));
    setTitle(QStringLiteral("Centrum aktualizacji"));

    HttpGetFile = NewHttpGetFile(this);
    HttpGetFile->OnProgress = [this](THTTPGet&, std::int64_t total, std::int64_t received) {
        HttpGetFileProgress(total, received);
    };
    HttpGetFile->OnDoneFile
        = [this](THTTPGet&, const std::string&, std::int64_t size) { HttpGetFileDone(size); };
    HttpGetFile->OnError = [this](THTTPGet&) { HttpGetFileError(); };

    Notebook = new QStackedWidget;
    Notebook->setObjectName(QStringLiteral("Notebook"));

    // Wybor: the three actions.
    Wybor = new QWidget;
    Wybor->setObjectName(QStringLiteral("Wybor"));
    auto* choices = new QGridLayout(Wybor);
    choices->setContentsMargins(4, 4, 4, 4);
    choices->setHorizontalSpacing(10);
    choices->setVerticalSpacing(10);
    choices->addWidget(
        newLabel("WyborEtykieta",
            QStringLiteral("Tutaj w prosty i szybki sposób ściągniesz najnowszą wersję programu, "
                           "pobierzesz dodatkowe karnacje, a także nowe zestawy testów. Wybierz "
                           "opcję, którą jesteś zainteresowany:")),
        0, 0, 1, 2);
    UpdateButton = addChoice(*choices, 1, "UpdateButton", "B_UPDATE",
        QStringLiteral(
            "Kliknij tutaj, a program sam sprawdzi czy nowsza wersja programu jest już dostępna, a "
            "następnie zaproponuje jej pobranie"));
    SkinButton = addChoice(*choices, 2, "SkinButton", "B_SETTINGS",
        QStringLiteral("Kliknij tutaj, aby pobrać dodatkowe schematy karnacji, które zmienią standardowy "
                       "wygląd programu"));
    TestButton = addChoice(*choices, 3, "TestButton", "TOOL_TEST_32",
        QStringLiteral(
            "Kliknij tutaj, aby pobrać nowe zestawy testów, za pomocą których sprawdzisz swoją wiedzę"));
    choices->setColumnStretch(1, 1);
    choices->setRowStretch(4, 1);

    // Postep: a transfer runs.
    Postep = new QWidget;
    Postep->setObjectName(QStringLiteral("Postep"));
    WaitCaption = newLabel("WaitCaption",
        QStringLiteral(
            "Proszę czekać... Trwa łączenie z serwerem. Operacja ta może potrwać od kilku sekund do "
            "kilku minut, w zależności od prędkości łącza internetowego."));
    ProgressCaption = newLabel("ProgressCaption", QString());
    ProgressBar = newBar("ProgressBar");
    PercentCaption = newLabel("PercentCaption", QString(), false);
    SizeCaption = newLabel("SizeCaption", QString(), false);
    TotalCaption = newLabel("TotalCaption", QString(), false);
    TotalProgress = newBar("TotalProgress");
    auto* progress = new QVBoxLayout(Postep);
    progress->setContentsMargins(4, 4, 4, 4);
    progress->addWidget(WaitCaption);
    progress->addSpacing(8);
    progress->addWidget(ProgressCaption);
    progress->addWidget(ProgressBar);
    auto* sizes = new QHBoxLayout;
    sizes->addWidget(SizeCaption, 1);
    sizes->addWidget(PercentCaption);
    progress->addLayout(sizes);
    progress->addSpacing(8);
    progress->addWidget(TotalCaption);
    progress->addWidget(TotalProgress);
    progress->addStretch(1);

    // Skladnik: the check list.
    Skladnik = new QWidget;
    Skladnik->setObjectName(QStringLiteral("Skladnik"));
    GrayCaption = newLabel("GrayCaption",
        QStringLiteral("Pozycje zaznaczone kolorem szarym znajdują się już na dysku twardym i nie zostaną "
                       "zaktualizowane. Zaznacz plik (lub grupę), który chcesz pobrać, a następnie wciśnij "
                       "Rozpocznij. Kliknij prawym klawiszem na składniku, aby obejrzeć dodatkowe opcje."));
    ListBox = new QListWidget;
    ListBox->setObjectName(QStringLiteral("ListBox"));
    ListBox->setContextMenuPolicy(Qt::CustomContextMenu);
    SetAccessibleText(*ListBox, QStringLiteral("Składniki"),
        QStringLiteral("Składniki do pobrania. Ctrl+A zaznacza wszystkie, Ctrl+U odznacza wszystkie, "
                       "Ctrl+G zaznacza pozostałe."));
    SkladnikiEtykieta = newLabel("SkladnikiEtykieta", QString(), false);
    DownloadButton = MakeGlyphButton(Skladnik, "DownloadButton", "B_SAVE", QStringLiteral("&Pobierz"),
        QStringLiteral("Pobiera zaznaczone składniki"));
    CancelButton = MakeGlyphButton(Skladnik, "CancelButton", "B_BACK", QStringLiteral("&Anuluj"),
        QStringLiteral("Wraca do wyboru opcji"));
    auto* list = new QVBoxLayout(Skladnik);
    list->setContentsMargins(4, 4, 4, 4);
    list->addWidget(GrayCaption);
    list->addWidget(ListBox, 1);
    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(SkladnikiEtykieta, 1);
    listButtons->addWidget(DownloadButton);
    listButtons->addWidget(CancelButton);
    list->addLayout(listButtons);

    ListMenu = new QMenu(this);
    ListMenu->setObjectName(QStringLiteral("ListMenu"));
    SelectMenu = ListMenu->addAction(QStringLiteral("&Zaznacz wszystko"));
    SelectMenu->setObjectName(QStringLiteral("SelectMenu"));
    SelectMenu->setShortcut(QKeySequence(QStringLiteral("Ctrl+A")));
    UnselectMenu = ListMenu->addAction(QStringLiteral("&Odznacz wszystko"));
    UnselectMenu->setObjectName(QStringLiteral("UnselectMenu"));
    UnselectMenu->setShortcut(QKeySequence(QStringLiteral("Ctrl+U")));
    ListMenu->addSeparator();
    RestMenu = ListMenu->addAction(QStringLiteral("Z&aznacz pozostałe"));
    RestMenu->setObjectName(QStringLiteral("RestMenu"));
    RestMenu->setShortcut(QKeySequence(QStringLiteral("Ctrl+G")));
    // The keys are the window's (eventFilter): the menu only shows them.
    for (QAction* action : ListMenu->actions())
        action->setShortcutContext(Qt::WidgetShortcut);

    Notebook->addWidget(Wybor);
    Notebook->addWidget(Postep);
    Notebook->addWidget(Skladnik);

    HelpButton = MakeGlyphButton(
        body(), "HelpButton", "B_HELP", QStringLiteral("Pomo&c"), QStringLiteral("Wyświetla pomoc [F1]"));
    CloseButton = MakeGlyphButton(
        body(), "CloseButton", "B_CLOSE", QStringLiteral("&Zamknij"), QStringLiteral("Zamyka okno [Esc]"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(HelpButton);
    buttons->addStretch(1);
    buttons->addWidget(CloseButton);

    QVBoxLayout* layout = bodyLayout();
    layout->setSpacing(6);
    layout->addWidget(Notebook, 1);
    layout->addLayout(buttons);

    // The designed outer size with the caption that opening removes.
    resize(420, 330 + kCaptionHeight);

    connect(UpdateButton, &QToolButton::clicked, this, &TUpdateForm::UpdateButtonClick);
    connect(SkinButton, &QToolButton::clicked, this, &TUpdateForm::SkinButtonClick);
    connect(TestButton, &QToolButton::clicked, this, &TUpdateForm::TestButtonClick);
    connect(DownloadButton, &QToolButton::clicked, this, &TUpdateForm::DownloadButtonClick);
    connect(CancelButton, &QToolButton::clicked, this, &TUpdateForm::CancelButtonClick);
    connect(CloseButton, &QToolButton::clicked, this, &TUpdateForm::CloseButtonClick);
    connect(HelpButton, &QToolButton::clicked, this, &TUpdateForm::HelpButtonClick);
    connect(SelectMenu, &QAction::triggered, this, &TUpdateForm::SelectMenuClick);
    connect(UnselectMenu, &QAction::triggered, this, &TUpdateForm::UnselectMenuClick);
    connect(RestMenu, &QAction::triggered, this, &TUpdateForm::RestMenuClick);
    connect(ListBox, &QListWidget::customContextMenuRequested, this,
        [this](const QPoint& at) { ListMenu->popup(ListBox->viewport()->mapToGlobal(at)); });

    SetTabChain({ UpdateButton, SkinButton, TestButton, ListBox, DownloadButton, CancelButton, HelpButton,
        CloseButton });
    Notebook->setCurrentWidget(Wybor);
    UpdateButton->setFocus();
}

TUpdateForm::~TUpdateForm() = default;

void TUpdateForm::ShowUpdate(QWidget* owner)
{
    TUpdateForm form(owner);
    Ui().ShowModal(form);
}

std::string TUpdateForm::answerFile() const
{
    return WithTrailingBackslash(TempFolder()) + "ORBLIST.TMP";
}

std::string TUpdateForm::downloadFile() const
{
    return WithTrailingBackslash(TempFolder()) + "ORBFILE.TMP";
}

void TUpdateForm::setTransferring(bool transferring)
{
    m_transferring = transferring;
    CloseButton->setText(transferring ? QStringLiteral("&Przerwij") : QStringLiteral("&Zamknij"));
    CloseButton->setIcon(
        QIcon(transferring ? QStringLiteral(":/res/B_CANCEL.png") : QStringLiteral(":/res/B_CLOSE.png")));
    CloseButton->setToolTip(
        transferring ? QStringLiteral("Przerywa pobieranie [Esc]") : QStringLiteral("Zamyka okno [Esc]"));
}

void TUpdateForm::showProgress(const QString& caption, bool sizes, bool totals)
{
    ProgressCaption->setText(caption);
    ProgressBar->setValue(0);
    SizeCaption->clear();
    PercentCaption->clear();
    SizeCaption->setVisible(sizes);
    PercentCaption->setVisible(sizes);
    TotalCaption->setVisible(totals);
    TotalProgress->setVisible(totals);
    Notebook->setCurrentWidget(Postep);
    setTransferring(true);
}

void TUpdateForm::backToChoice()
{
    setTransferring(false);
    Notebook->setCurrentWidget(Wybor);
    UpdateButton->setFocus();
}

bool TUpdateForm::fetch(Purpose purpose, const std::string& address, bool binaryData)
{
    const QPointer<TUpdateForm> alive(this);
    m_purpose = purpose;
    m_answered = false;
    HttpGetFile->BinaryData = binaryData;
    // Answers are small: the component refuses anything above the cap.
    HttpGetFile->Limits.maxBytes = purpose == Purpose::Answer
        ? static_cast<std::int64_t>(update::kMaxAnswerBytes)
        : net::TransferLimits().maxBytes;
    HttpGetFile->TargetUrl = address;
    HttpGetFile->FileName = purpose == Purpose::Answer ? answerFile() : downloadFile();
    HttpGetFile->DownloadToFile();
    return !alive.isNull();
}

void TUpdateForm::HttpGetFileProgress(std::int64_t total, std::int64_t received)
{
    ProgressBar->setValue(net::PercentOf(received, total));
    PercentCaption->setText(utf8(update::PercentCaption(received, total)));
    SizeCaption->setText(utf8(update::SizeCaption(received, total)));
}

void TUpdateForm::HttpGetFileDone(std::int64_t size)
{
    ProgressBar->setValue(0);
    if (m_purpose == Purpose::Answer) {
        // An empty answer is an empty list, not a failure.
        m_answered = true;
        return;
    }
    const std::string temporary = downloadFile();
    if (size == 0) {
        // Nothing announced: a download that cannot be told complete.
        m_error = true;
        std::remove(temporary.c_str());
        showConnectionError();
        return;
    }
    if (m_destination.empty())
        return;
    const MoveOutcome moved = MoveIntoPlace(temporary, m_destination, m_purpose == Purpose::Setup);
    if (!moved.Ok()) {
        m_error = true;
        std::remove(temporary.c_str());
        Ui().ShowMessage(
            this, QStringLiteral("Błąd zapisu"), utf8(moved.message), MessageIcon::Error, MessageButtons::Ok);
    }
}

void TUpdateForm::HttpGetFileError()
{
    m_error = true;
    // A partial download never stays behind.
    std::remove((m_purpose == Purpose::Answer ? answerFile() : downloadFile()).c_str());
    showConnectionError();
}

void TUpdateForm::showConnectionError()
{
    Ui().ShowMessage(
        this, QStringLiteral("Połączenie zerwane"), kConnectionError, MessageIcon::Error, MessageButtons::Ok);
}

void TUpdateForm::SkinButtonClick()
{
    fetchList(PackageKind::Skin);
}

void TUpdateForm::TestButtonClick()
{
    fetchList(PackageKind::Test);
}

void TUpdateForm::fetchList(PackageKind kind)
{
    m_destination.clear();
    m_kind = kind;
    showProgress(QStringLiteral("Pobieranie najnowszych informacji z serwera..."), false, false);
    m_error = false;
    if (!fetch(Purpose::Answer, update::ListQuery(UpdateServiceBase(), kind), true))
        return;
    if (m_error || !m_answered) {
        backToChoice();
        return;
    }
    const FileRead answer = ReadRegularFile(answerFile(), update::kMaxAnswerBytes);
    setTransferring(false);
    if (!answer.Ok()) {
        showConnectionError();
        backToChoice();
        return;
    }
    Notebook->setCurrentWidget(Skladnik);
    fillList(answer.bytes);
}

std::string TUpdateForm::packageFolder() const
{
    const std::string folderName(update::FolderNameOf(m_kind));
    const std::string program = ProgramFolder();
    const std::string inProgram = program + folderName;
    const bool writable = FolderExists(inProgram) ? ::access(inProgram.c_str(), W_OK) == 0
                                                  : ::access(program.c_str(), W_OK) == 0;
    return writable ? inProgram : UserDataFolder() + folderName;
}

bool TUpdateForm::packageOnDisk(const std::string& fileName) const
{
    const std::string folderName(update::FolderNameOf(m_kind));
    for (const std::string& folder : { ProgramFolder(), UserDataFolder() })
        if (::access((folder + folderName + "/" + fileName).c_str(), F_OK) == 0)
            return true;
    return false;
}

void TUpdateForm::fillList(const std::string& answer)
{
    const update::PackageList packages = update::ParsePackageList(answer, m_kind);
    ListBox->clear();
    for (const std::string& name : packages.names) {
        auto* item = new QListWidgetItem(utf8(name), ListBox);
        item->setFlags(
            Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsUserTristate);
        item->setCheckState(
            packageOnDisk(update::PackageFileName(name, m_kind)) ? Qt::PartiallyChecked : Qt::Unchecked);
    }
    if (ListBox->count() > 0)
        ListBox->setCurrentRow(0);
    SkladnikiEtykieta->setText(utf8(update::ItemCountCaption(packages.names.size())));
    ListBox->setFocus();
}

std::vector<Mark> TUpdateForm::marks() const
{
    std::vector<Mark> result;
    for (int row = 0; row < ListBox->count(); ++row)
        result.push_back(markOf(ListBox->item(row)->checkState()));
    return result;
}

void TUpdateForm::applyMarks(const std::vector<Mark>& marks)
{
    for (int row = 0; row < ListBox->count() && row < static_cast<int>(marks.size()); ++row)
        ListBox->item(row)->setCheckState(stateOf(marks[static_cast<std::size_t>(row)]));
}

void TUpdateForm::SelectMenuClick()
{
    std::vector<Mark> all = marks();
    update::TickAll(all);
    applyMarks(all);
}

void TUpdateForm::UnselectMenuClick()
{
    std::vector<Mark> all = marks();
    update::UntickAll(all);
    applyMarks(all);
}

void TUpdateForm::RestMenuClick()
{
    std::vector<Mark> all = marks();
    update::TickRest(all);
    applyMarks(all);
}

void TUpdateForm::DownloadButtonClick()
{
    std::vector<std::string> chosen;
    for (int row = 0; row < ListBox->count(); ++row)
        if (ListBox->item(row)->checkState() == Qt::Checked)
            chosen.push_back(ListBox->item(row)->text().toStdString());
    if (chosen.empty()) {
        Ui().ShowMessage(this, QStringLiteral("Nie zaznaczono składnika"),
            QStringLiteral("Musisz najpierw zaznaczyć składnik, który ma być pobrany"),
            MessageIcon::Information, MessageButtons::Ok);
        return;
    }
    const int count = static_cast<int>(chosen.size());
    showProgress(QString(), true, true);
    m_error = false;
    const std::string folder = packageFolder();
    ForceFolders(folder);
    int done = 0;
    for (const std::string& name : chosen) {
        if (m_error)
            break;
        const bool skin = m_kind == PackageKind::Skin;
        ProgressCaption->setText(
            (skin ? QStringLiteral("Pobieranie karnacji: ") : QStringLiteral("Pobieranie zestawu: "))
            + utf8(name));
        ++done;
        TotalCaption->setText(utf8(update::TotalCaption(done, count)));
        TotalProgress->setValue(update::TotalPercent(done, count));
        const std::string fileName = update::PackageFileName(name, m_kind);
        // A package already on disk is never replaced: nothing to fetch.
        if (packageOnDisk(fileName))
            continue;
        m_destination = folder + "/" + fileName;
        if (!fetch(Purpose::Package, update::PackageQuery(UpdateServiceBase(), m_kind, name), false))
            return;
    }
    m_destination.clear();
    if (!m_error)
        Ui().ShowMessage(this, QStringLiteral("Status aktualizacji"),
            QStringLiteral("Pobieranie składników zostało pomyślnie ukończone"), MessageIcon::Information,
            MessageButtons::Ok);
    backToChoice();
}

void TUpdateForm::CancelButtonClick()
{
    Notebook->setCurrentWidget(Wybor);
    UpdateButton->setFocus();
}

void TUpdateForm::UpdateButtonClick()
{
    m_error = false;
    showProgress(QStringLiteral("Trwa sprawdzanie nowszej wersji..."), false, false);
    m_destination.clear();
    if (!fetch(Purpose::Answer, update::VersionQuery(UpdateServiceBase()), true))
        return;
    if (m_error || !m_answered) {
        backToChoice();
        return;
    }
    const FileRead answer = ReadRegularFile(answerFile(), update::kMaxAnswerBytes);
    const std::optional<update::VersionInfo> info
        = answer.Ok() ? update::ParseVersionBlock(answer.bytes) : std::nullopt;
    setTransferring(false);
    if (!info) {
        Ui().ShowMessage(this, QStringLiteral("Brak informacji o wersji"),
            QStringLiteral(
                "Serwer nie podał poprawnej informacji o najnowszej wersji programu. Spróbuj ponownie "
                "później."),
            MessageIcon::Warning, MessageButtons::Ok);
    } else if (info->version == OwnVersion) {
        Ui().ShowMessage(this, QStringLiteral("Brak uaktualnienia"),
            QStringLiteral("Posiadasz najnowszą wersję programu"), MessageIcon::Information,
            MessageButtons::Ok);
    } else {
        offerSetup(*info);
        if (m_setupStarted)
            return; // closed to start the installer
    }
    backToChoice();
}

void TUpdateForm::offerSetup(const update::VersionInfo& info)
{
    if (Ui().ShowMessage(this, QStringLiteral("Wykryto nową wersję programu"),
            utf8(update::NewVersionQuestion(info.version)), MessageIcon::Question, MessageButtons::YesNo)
        != mrYes)
        return;
    std::string desktop;
    try {
        desktop = SpecialFolderPath(0);
    } catch (const std::exception&) {
        desktop = QDir::homePath().toStdString();
    }
    const QString chosen = Ui().SaveFileName(this, QStringLiteral("Zapisz pakiet instalacyjny"),
        SaveDialogStart(utf8(update::SetupFileName(info.version)), utf8(desktop)),
        QStringLiteral("Pakiety instalacyjne (*.zip);;Wszystkie pliki (*)"));
    if (chosen.isEmpty())
        return;
    m_error = false;
    showProgress(QStringLiteral("Pobieranie nowszej wersji programu..."), true, false);
    m_destination = chosen.toStdString();
    if (!fetch(Purpose::Setup, info.setupAddress, false))
        return;
    m_destination.clear();
    setTransferring(false);
    if (m_error)
        return;
    const std::string digest = hexDigestOf(chosen);
    if (!update::MayStartSetup(info, digest)) {
        const QString reason = info.sha256.empty()
            ? QStringLiteral("Serwer nie podał sumy kontrolnej tego pliku")
            : QStringLiteral("Suma kontrolna pobranego pliku nie zgadza się z podaną przez serwer");
        Ui().ShowMessage(this, QStringLiteral("Pobranie zakończone"),
            QStringLiteral(
                "Pakiet instalacyjny został zapisany jako „%1”. %2, dlatego program instalacyjny nie "
                "zostanie uruchomiony.")
                .arg(chosen, reason),
            MessageIcon::Warning, MessageButtons::Ok);
        return;
    }
    if (Ui().ShowMessage(this, QStringLiteral("Pobranie zakończone"),
            QStringLiteral(
                "Program został pomyślnie pobrany z serwera oraz zapisany we wskazanym przez Ciebie "
                "miejscu. Czy chcesz zakończyć działanie programu oraz uruchomić instalatora?"),
            MessageIcon::Question, MessageButtons::YesNo)
        == mrYes)
        startSetup(chosen);
}

void TUpdateForm::startSetup(const QString& package)
{
    std::string pattern = WithTrailingBackslash(TempFolder()) + "setup-XXXXXX";
    const char* folder = ::mkdtemp(pattern.data());
    std::string problem = folder ? update::UnpackSetupPackage(package.toStdString(), folder)
                                 : std::string("Nie można utworzyć folderu tymczasowego dla instalatora.");
    if (problem.empty()
        && !Ui().StartDetached(
            utf8(std::string(folder) + "/orbita"), { QStringLiteral("/INSTALL") }, utf8(folder)))
        problem = "Nie można uruchomić programu instalacyjnego.";
    if (!problem.empty()) {
        Ui().ShowMessage(this, QStringLiteral("Pobranie zakończone"), utf8(problem), MessageIcon::Error,
            MessageButtons::Ok);
        return;
    }
    m_setupStarted = true;
    setTransferring(false);
    Notebook->setCurrentWidget(Wybor);
    done(mrOk);
    Ui().QuitApplication();
}

void TUpdateForm::CloseButtonClick()
{
    if (m_transferring) {
        HttpGetFile->Cancel();
        return;
    }
    done(mrCancel);
}

void TUpdateForm::HelpButtonClick()
{
    ShowHelpFor(this);
}

void TUpdateForm::helpRequested()
{
    HelpButtonClick();
}

void TUpdateForm::appearanceRequested()
{
    if (Notebook->currentWidget() == Skladnik)
        UnselectMenuClick();
}

void TUpdateForm::done(int result)
{
    if (m_transferring || Notebook->currentWidget() == Postep)
        return;
    std::remove(answerFile().c_str());
    TDialogForm::done(result);
}

void TUpdateForm::reject()
{
    CloseButtonClick();
}

void TUpdateForm::closeEvent(QCloseEvent* event)
{
    if (m_transferring || Notebook->currentWidget() == Postep) {
        event->ignore();
        return;
    }
    TDialogForm::closeEvent(event);
}

bool TUpdateForm::eventFilter(QObject* watched, QEvent* event)
{
    if (const QKeyEvent* press = KeyPressInWindow(watched, event); press
        && Notebook->currentWidget() == Skladnik
        && ShortcutModifiers(press->modifiers()) == Qt::ControlModifier) {
        if (press->key() == Qt::Key_A) {
            SelectMenuClick();
            return true;
        }
        if (press->key() == Qt::Key_G) {
            RestMenuClick();
            return true;
        }
    }
    return TDialogForm::eventFilter(watched, event);
}

} // namespace orbita
