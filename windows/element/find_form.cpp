#include "windows/element/find_form.h"

#include "data/archive_members.h"
#include "platform/qt_text.h"
#include "platform/shell_services.h"
#include "platform/ui_services.h"
#include "platform/window_services.h"
#include "widgets/accessible_text.h"
#include "windows/element/element_page.h"
#include "windows/element/find_logic.h"
#include "windows/window_opener.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <utility>

namespace orbita {
namespace {

const QString kPolishName = QStringLiteral("Nazwa polska");

// The hourglass for the life of the object.
class BusyCursor final {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    Q_DISABLE_COPY_MOVE(BusyCursor)
};

QLabel* descriptionPanel(const QString& caption, const char* name)
{
    auto* panel = new QLabel(caption);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setMargin(2);
    QFont font = panel->font();
    font.setBold(true);
    panel->setFont(font);
    return panel;
}

QPushButton* pictureButton(const QString& caption, const char* picture, const char* name)
{
    auto* button
        = new QPushButton(QIcon(QStringLiteral(":/res/%1.png").arg(QLatin1String(picture))), caption);
    button->setObjectName(QString::fromLatin1(name));
    // Enter acts only where the window says so (SzukajPole, RezultatyLista).
    button->setAutoDefault(false);
    return button;
}

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

TFindForm::TFindForm(QWidget* parent, std::string archivePath)
    : TDialogForm(parent)
    , m_archivePath(archivePath.empty() ? ContentArchivePath() : std::move(archivePath))
{
    setObjectName(QStringLiteral("FindForm"));
    SetHelpTopic(*this, QStringLiteral("O_SZUKAJ"));
    setTitle(QStringLiteral("Wyszukiwanie pierwiastków"));

    KryteriaOpisPanel = descriptionPanel(QStringLiteral("Kryteria"), "KryteriaOpisPanel");
    SzukajEtykieta = new QLabel(QStringLiteral("Z&najdź"));
    SzukajEtykieta->setObjectName(QStringLiteral("SzukajEtykieta"));
    SzukajPole = new QComboBox;
    SzukajPole->setObjectName(QStringLiteral("SzukajPole"));
    SzukajPole->setEditable(true);
    SzukajPole->setInsertPolicy(QComboBox::NoInsert);
    SzukajPole->setCompleter(nullptr); // what is typed is what is searched
    SzukajPole->setMaxVisibleItems(12);
    SzukajEtykieta->setBuddy(SzukajPole);
    CaleOpcja = new QCheckBox(QStringLiteral("&Tylko całe wyrazy"));
    CaleOpcja->setObjectName(QStringLiteral("CaleOpcja"));
    PrzeszukajEtykieta = new QLabel(QStringLiteral("Szukaj &w"));
    PrzeszukajEtykieta->setObjectName(QStringLiteral("PrzeszukajEtykieta"));
    PrzeszukajPole = new QComboBox;
    PrzeszukajPole->setObjectName(QStringLiteral("PrzeszukajPole"));
    PrzeszukajEtykieta->setBuddy(PrzeszukajPole);
    WyswietlEtykieta = new QLabel(QStringLiteral("Wyświetl jak&o"));
    WyswietlEtykieta->setObjectName(QStringLiteral("WyswietlEtykieta"));
    WyswietlPole = new QComboBox;
    WyswietlPole->setObjectName(QStringLiteral("WyswietlPole"));
    WyswietlEtykieta->setBuddy(WyswietlPole);
    SzukajPole->setAccessibleDescription(
        QStringLiteral("Wpisz szukany tekst lub wybierz jeden z poprzednio szukanych i naciśnij Enter."));
    PrzeszukajPole->setAccessibleDescription(
        QStringLiteral("Rodzaj danych pierwiastków, które są przeszukiwane."));
    WyswietlPole->setAccessibleDescription(
        QStringLiteral("Rodzaj danych pokazywanych w wynikach przy każdym pierwiastku."));
    for (QComboBox* list : { PrzeszukajPole, WyswietlPole }) {
        list->setEditable(false);
        list->setMaxVisibleItems(16);
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        list->setMinimumContentsLength(16);
    }
    SzukajPole->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    SzukajPole->setMinimumContentsLength(16);

    RezultatyOpisPanel = descriptionPanel(QStringLiteral("Rezultaty"), "RezultatyOpisPanel");
    OpisHtml = new QLabel;
    OpisHtml->setObjectName(QStringLiteral("OpisHtml"));
    OpisHtml->setTextFormat(Qt::RichText);
    OpisHtml->setTextInteractionFlags(Qt::NoTextInteraction);
    OpisHtml->setWordWrap(true);
    OpisHtml->setFont(QFont(QStringLiteral("Tahoma"), 8));
    RezultatyLista = new QListWidget;
    RezultatyLista->setObjectName(QStringLiteral("RezultatyLista"));
    RezultatyLista->setSelectionMode(QAbstractItemView::SingleSelection);
    SetAccessibleText(*RezultatyLista, QStringLiteral("Rezultaty"),
        QStringLiteral("Znalezione pierwiastki. Enter otwiera okno wybranego pierwiastka."));
    RezultatyLista->setEnabled(false);

    SzukajPrzycisk = pictureButton(QStringLiteral("&Szukaj"), "B_FIND", "SzukajPrzycisk");
    PomocPrzycisk = pictureButton(QStringLiteral("Pomo&c"), "B_HELP", "PomocPrzycisk");
    ZamknijPrzycisk = pictureButton(QStringLiteral("&Zamknij"), "B_CLOSE", "ZamknijPrzycisk");

    auto* criteria = new QGridLayout;
    criteria->setHorizontalSpacing(8);
    criteria->setVerticalSpacing(4);
    criteria->addWidget(SzukajEtykieta, 0, 0);
    criteria->addWidget(SzukajPole, 0, 1);
    criteria->addWidget(CaleOpcja, 1, 1);
    criteria->addWidget(PrzeszukajEtykieta, 2, 0);
    criteria->addWidget(PrzeszukajPole, 2, 1);
    criteria->addWidget(WyswietlEtykieta, 3, 0);
    criteria->addWidget(WyswietlPole, 3, 1);
    criteria->addWidget(SzukajPrzycisk, 0, 2);
    criteria->addWidget(PomocPrzycisk, 1, 2);
    criteria->addWidget(ZamknijPrzycisk, 2, 2);
    criteria->setColumnStretch(1, 1);

    QVBoxLayout* layout = bodyLayout();
    layout->setSpacing(4);
    layout->addWidget(KryteriaOpisPanel);
    layout->addLayout(criteria);
    layout->addSpacing(4);
    layout->addWidget(RezultatyOpisPanel);
    layout->addWidget(OpisHtml);
    layout->addWidget(RezultatyLista, 1);

    // The designed client area, 441 by 308, with the caption that opening removes.
    resize(441, 308 + kCaptionHeight);

    connect(SzukajPrzycisk, &QPushButton::clicked, this, &TFindForm::SzukajPrzyciskClick);
    connect(PomocPrzycisk, &QPushButton::clicked, this, &TFindForm::PomocPrzyciskClick);
    connect(ZamknijPrzycisk, &QPushButton::clicked, this, &QDialog::reject);
    connect(SzukajPole, &QComboBox::editTextChanged, this, &TFindForm::SzukajPoleChange);
    connect(RezultatyLista, &QListWidget::itemDoubleClicked, this, &TFindForm::RezultatyListaDblClick);
    // The combo box has the focus (its line edit is a focus proxy of it) and
    // would take Enter and Down itself: its keys are looked at first.
    SzukajPole->installEventFilter(this);
    SzukajPole->lineEdit()->installEventFilter(this);
    RezultatyLista->installEventFilter(this);

    FormCreate();
}

TFindForm::~TFindForm() = default;

void TFindForm::ShowFind(QWidget* owner)
{
    TFindForm form(owner);
    Ui().ShowModal(form);
}

void TFindForm::FormCreate()
{
    m_history = ReadFindHistory();
    {
        const QSignalBlocker blocker(SzukajPole);
        for (const std::string& item : m_history)
            SzukajPole->addItem(FromCp1250(item));
        SzukajPole->setEditText(m_history.empty() ? QString() : FromCp1250(m_history.back()));
    }
    SzukajPoleChange();

    if (std::optional<std::vector<std::string>> lines
        = ReadArchiveLines(kElementDatabaseMember, m_archivePath))
        m_lines = std::move(*lines);
    for (const std::string& label : PropertyLabels(m_lines)) {
        PrzeszukajPole->addItem(FromCp1250(label));
        WyswietlPole->addItem(FromCp1250(label));
    }
    PrzeszukajPole->setCurrentIndex(PrzeszukajPole->findText(kPolishName));
    WyswietlPole->setCurrentIndex(WyswietlPole->findText(kPolishName));
    SzukajPole->setFocus();
}

void TFindForm::FormClose()
{
    WriteFindHistory(m_history);
    m_lines.clear();
    m_results.clear();
}

void TFindForm::done(int result)
{
    if (isVisible())
        FormClose();
    TDialogForm::done(result);
}

void TFindForm::SzukajPrzyciskClick()
{
    const BusyCursor busy;
    SzukajPrzycisk->setEnabled(false);
    RezultatyLista->setEnabled(false);

    const QString text = SzukajPole->currentText();
    if (AddToFindHistory(m_history, ToCp1250(text))) {
        const QSignalBlocker blocker(SzukajPole);
        SzukajPole->clear();
        for (const std::string& item : m_history)
            SzukajPole->addItem(FromCp1250(item));
        SzukajPole->setEditText(text);
    }

    m_results.clear();
    RezultatyLista->clear();
    const FindResult found = FindElements(m_lines, ToCp1250(PrzeszukajPole->currentText()),
        ToCp1250(WyswietlPole->currentText()), ToCp1250(text), CaleOpcja->isChecked());
    m_results = found.elements;
    for (const std::string& value : found.values)
        RezultatyLista->addItem(FromUtf8(ResultEntryText(value)));
    OpisHtml->setText(FromCp1250(FindSummary(found)));
    RezultatyLista->setEnabled(!m_results.empty());
    // The first result is the chosen one until the user picks another, so
    // that focus, Down and Enter in the list start from it.
    if (!m_results.empty())
        RezultatyLista->setCurrentRow(0);

    SzukajPrzycisk->setEnabled(true);
}

void TFindForm::SzukajPoleChange()
{
    SzukajPrzycisk->setEnabled(!SzukajPole->currentText().isEmpty());
}

bool TFindForm::SzukajPoleKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers != Qt::NoModifier && modifiers != Qt::KeypadModifier)
        return false; // Alt+Down opens the history, Alt+Enter is the frame's
    if (isEnter(key)) {
        if (SzukajPrzycisk->isEnabled())
            SzukajPrzycisk->click();
        return true;
    }
    // Down goes on to the results, onto the first of them, when there are any.
    if (key == Qt::Key_Down && RezultatyLista->isEnabled() && RezultatyLista->count() > 0) {
        RezultatyLista->setFocus(Qt::TabFocusReason);
        if (RezultatyLista->currentRow() < 0)
            RezultatyLista->setCurrentRow(0);
        return true;
    }
    return false;
}

void TFindForm::RezultatyListaDblClick()
{
    const int row = RezultatyLista->currentRow();
    if (row < 0 || row >= static_cast<int>(m_results.size()) || !RezultatyLista->item(row)->isSelected())
        return;
    Opener().OpenElement(this, m_results[static_cast<std::size_t>(row)]);
}

bool TFindForm::RezultatyListaKeyDown(int key)
{
    if (!isEnter(key))
        return false;
    RezultatyListaDblClick();
    return true;
}

void TFindForm::PomocPrzyciskClick()
{
    ShowHelpFor(this);
}

void TFindForm::helpRequested()
{
    PomocPrzyciskClick();
}

bool TFindForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* press = static_cast<QKeyEvent*>(event);
        if ((watched == SzukajPole || watched == SzukajPole->lineEdit())
            && SzukajPoleKeyDown(press->key(), press->modifiers()))
            return true;
        if (watched == RezultatyLista && RezultatyListaKeyDown(press->key()))
            return true;
    }
    return TDialogForm::eventFilter(watched, event);
}

} // namespace orbita
