#include "windows/settings/font_form.h"

#include "htmlview/html_view_widget.h"
#include "platform/qt_text.h"
#include "platform/ui_services.h"
#include "widgets/accessible_text.h"
#include "windows/settings/appearance_colors.h"

#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <utility>

namespace orbita {
namespace {

// The page the preview shows.
QString previewPage()
{
    return QStringLiteral(
        "<center><br></center><ul><li>Tekst normalny<li><a href=NoWhere>Odnośnik</a><li><b>"
        "Pogrubienie (najczęściej tytuł)</b><li><i>Kursywa</i><li><u>Podkreślenie</u></ul>");
}

QLabel* heading(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QToolButton* picker(const char* name, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIconSize(QSize(40, 14));
    button->setMinimumWidth(56);
    return button;
}

void showColor(QToolButton& button, AppearanceColor color)
{
    QPixmap swatch(40, 14);
    swatch.fill(ToQColor(color));
    button.setIcon(QIcon(swatch));
}

void selectText(QListWidget& list, const QString& text)
{
    const QList<QListWidgetItem*> found = list.findItems(text, Qt::MatchFixedString);
    const QSignalBlocker blocker(list);
    if (found.isEmpty()) {
        list.setCurrentRow(-1);
        list.clearSelection();
        return;
    }
    list.setCurrentItem(found.first());
    list.scrollToItem(found.first());
}

// The entry the user chose: the selected one (the current entry alone is
// only where the focus stands).
const QListWidgetItem* chosenItem(const QListWidget& list)
{
    const QList<QListWidgetItem*> selected = list.selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

} // namespace

TFontForm::TFontForm(QWidget* parent)
    : TDialogForm(parent)
{
    setObjectName(QStringLiteral("FontForm"));
    setTitle(QStringLiteral("Ustawienia wyglądu"));
    setSizeable(false);

    auto* grid = new QGridLayout;
    bodyLayout()->addLayout(grid, 1);

    QLabel* previewHeading = heading(QStringLiteral("Podgląd"), body());
    grid->addWidget(previewHeading, 0, 0, 1, 3);
    PodgladPanel = new QFrame(body());
    PodgladPanel->setObjectName(QStringLiteral("PodgladPanel"));
    PodgladPanel->setFrameShape(QFrame::StyledPanel);
    PodgladPanel->setAutoFillBackground(true);
    auto* previewLayout = new QVBoxLayout(PodgladPanel);
    previewLayout->setContentsMargins(2, 2, 2, 2);
    PreviewHtml = new ThtmlLite(PodgladPanel);
    PreviewHtml->setObjectName(QStringLiteral("PreviewHtml"));
    PreviewHtml->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    PreviewHtml->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    PreviewHtml->SetMarginWidth(0);
    PreviewHtml->SetMarginHeight(0);
    PreviewHtml->SetBorderStyle(THTMLBorderStyle::htNone);
    PreviewHtml->OnImageRequest = [](ThtmlLite*, const std::string&, std::optional<std::string>&) {};
    PreviewHtml->setMinimumHeight(110);
    previewHeading->setBuddy(PreviewHtml);
    SetAccessibleText(
        *PreviewHtml, previewHeading->text(), QStringLiteral("Przykładowy dokument w wybranym wyglądzie."));
    previewLayout->addWidget(PreviewHtml);
    grid->addWidget(PodgladPanel, 1, 0, 1, 3);

    QLabel* const listHeadings[] = { heading(QStringLiteral("Styl"), body()),
        heading(QStringLiteral("Rozmiar"), body()), heading(QStringLiteral("Schematy"), body()) };
    for (int column = 0; column < 3; ++column)
        grid->addWidget(listHeadings[column], 2, column);
    StylLista = new QListWidget(body());
    StylLista->setObjectName(QStringLiteral("StylLista"));
    StylLista->addItems(QFontDatabase::families());
    FontSizeBox = new QListWidget(body());
    FontSizeBox->setObjectName(QStringLiteral("FontSizeBox"));
    for (int size = kMinAppearanceFontSize; size <= kMaxAppearanceFontSize; ++size)
        FontSizeBox->addItem(QString::number(size));
    FontSizeBox->setMaximumWidth(70);
    ThemeBox = new QListWidget(body());
    ThemeBox->setObjectName(QStringLiteral("ThemeBox"));
    for (const AppearanceScheme& scheme : kAppearanceSchemes)
        ThemeBox->addItem(FromUtf8(scheme.name));
    listHeadings[0]->setBuddy(StylLista);
    listHeadings[1]->setBuddy(FontSizeBox);
    listHeadings[2]->setBuddy(ThemeBox);
    SetAccessibleText(*StylLista, listHeadings[0]->text(), QStringLiteral("Krój czcionki dokumentu."));
    SetAccessibleText(
        *FontSizeBox, listHeadings[1]->text(), QStringLiteral("Rozmiar czcionki dokumentu w punktach."));
    SetAccessibleText(*ThemeBox, listHeadings[2]->text(),
        QStringLiteral("Gotowe zestawy kolorów tła, tekstu i odsyłaczy."));
    grid->addWidget(StylLista, 3, 0);
    grid->addWidget(FontSizeBox, 3, 1);
    grid->addWidget(ThemeBox, 3, 2);

    auto* colors = new QHBoxLayout;
    BackgroundColorPicker = picker("BackgroundColorPicker", body());
    FontColorPicker = picker("FontColorPicker", body());
    LinkColorPicker = picker("LinkColorPicker", body());
    const std::pair<QString, QToolButton*> colorPickers[]
        = { { QStringLiteral("Tło"), BackgroundColorPicker }, { QStringLiteral("Czcionka"), FontColorPicker },
              { QStringLiteral("Odsyłacz"), LinkColorPicker } };
    for (const auto& [caption, button] : colorPickers) {
        auto* label = new QLabel(caption, body());
        label->setBuddy(button);
        button->setAccessibleName(QStringLiteral("Kolor: ") + caption.toLower());
        colors->addWidget(label);
        colors->addWidget(button);
    }
    colors->addStretch();
    grid->addLayout(colors, 4, 0, 1, 3);

    auto* buttons = new QHBoxLayout;
    ConfirmButton
        = new QPushButton(QIcon(QStringLiteral(":/res/B_CONFIRM.png")), QStringLiteral("&OK"), body());
    ConfirmButton->setObjectName(QStringLiteral("ConfirmButton"));
    ConfirmButton->setDefault(true);
    DefaultButton
        = new QPushButton(QIcon(QStringLiteral(":/res/B_DEFAULT.png")), QStringLiteral("&Domyślnie"), body());
    DefaultButton->setObjectName(QStringLiteral("DefaultButton"));
    DefaultButton->setAutoDefault(false);
    CancelButton
        = new QPushButton(QIcon(QStringLiteral(":/res/B_CANCEL.png")), QStringLiteral("&Anuluj"), body());
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setAutoDefault(false);
    buttons->addWidget(DefaultButton);
    buttons->addStretch();
    buttons->addWidget(ConfirmButton);
    buttons->addWidget(CancelButton);
    bodyLayout()->addLayout(buttons);
    SetTabChain({ PreviewHtml, StylLista, FontSizeBox, ThemeBox, BackgroundColorPicker, FontColorPicker,
        LinkColorPicker, DefaultButton, ConfirmButton, CancelButton });

    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(2, 2);

    PreviewHtml->LoadFromText(ToCp1250(previewPage()));
    applyToPreview(DefaultViewAppearance());

    // The lists act on a real choice only: a click, or a key that selects
    // another entry. Focus arriving with Tab makes the first entry current
    // without selecting it, and that chooses nothing.
    const std::pair<QListWidget*, void (TFontForm::*)()> lists[] = {
        { StylLista, &TFontForm::StylListaClick },
        { FontSizeBox, &TFontForm::FontSizeBoxClick },
        { ThemeBox, &TFontForm::ThemeBoxClick },
    };
    for (const auto& [list, handler] : lists) {
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        connect(list, &QListWidget::itemSelectionChanged, this, handler);
        connect(list, &QListWidget::itemClicked, this, handler);
    }
    connect(DefaultButton, &QPushButton::clicked, this, &TFontForm::DefaultButtonClick);
    connect(BackgroundColorPicker, &QToolButton::clicked, this, &TFontForm::BackgroundColorPickerClick);
    connect(FontColorPicker, &QToolButton::clicked, this, &TFontForm::FontColorPickerClick);
    connect(LinkColorPicker, &QToolButton::clicked, this, &TFontForm::LinkColorPickerClick);
    connect(ConfirmButton, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { done(mrCancel); });

    resize(460, 400);
    setFixedSize(size());
}

TFontForm::~TFontForm() = default;

std::optional<ViewAppearance> TFontForm::Edit(QWidget* owner, const ViewAppearance& current)
{
    TFontForm form(owner);
    form.SetAppearance(current);
    if (Ui().ShowModal(form) != mrOk)
        return std::nullopt;
    return form.Appearance();
}

bool TFontForm::EditWindowAppearance(QWidget* owner, ViewAppearance& appearance)
{
    const std::optional<ViewAppearance> chosen = Edit(owner, appearance);
    if (!chosen)
        return false;
    appearance = *chosen;
    appearance.preFontName = appearance.fontName;
    return true;
}

void TFontForm::SetAppearance(const ViewAppearance& appearance)
{
    applyToPreview(appearance);
    showSelections();
}

ViewAppearance TFontForm::Appearance() const
{
    return m_appearance;
}

void TFontForm::StylListaClick()
{
    const QListWidgetItem* item = chosenItem(*StylLista);
    if (!item)
        return;
    ViewAppearance appearance = Appearance();
    appearance.fontName = ToCp1250(item->text());
    applyToPreview(appearance);
}

void TFontForm::FontSizeBoxClick()
{
    const QListWidgetItem* item = chosenItem(*FontSizeBox);
    if (!item)
        return;
    ViewAppearance appearance = Appearance();
    appearance.fontSize = item->text().toInt();
    applyToPreview(appearance);
}

void TFontForm::ThemeBoxClick()
{
    const QListWidgetItem* item = chosenItem(*ThemeBox);
    const int row = item ? ThemeBox->row(item) : -1;
    if (row < 0 || row >= int(kAppearanceSchemes.size()))
        return;
    if (row == 0) {
        DefaultButtonClick();
        return;
    }
    applyToPreview(kAppearanceSchemes[std::size_t(row)].appearance);
    showSelections();
}

void TFontForm::DefaultButtonClick()
{
    applyToPreview(DefaultViewAppearance());
    showSelections();
    const QSignalBlocker blocker(ThemeBox);
    ThemeBox->setCurrentRow(0);
}

void TFontForm::BackgroundColorPickerClick()
{
    pickColor(&ViewAppearance::background);
}

void TFontForm::FontColorPickerClick()
{
    pickColor(&ViewAppearance::fontColor);
}

void TFontForm::LinkColorPickerClick()
{
    pickColor(&ViewAppearance::linkColor);
}

void TFontForm::pickColor(AppearanceColor ViewAppearance::*member)
{
    ViewAppearance appearance = Appearance();
    const std::optional<QColor> chosen = Ui().ChooseColor(this, ToQColor(appearance.*member));
    if (!chosen)
        return;
    appearance.*member = FromQColor(*chosen);
    applyToPreview(appearance);
}

void TFontForm::applyToPreview(const ViewAppearance& appearance)
{
    m_appearance = appearance;
    ApplyAppearance(*PreviewHtml, appearance);
    QPalette palette = PodgladPanel->palette();
    palette.setColor(QPalette::Window, ToQColor(appearance.background));
    PodgladPanel->setPalette(palette);
    showColors();
}

void TFontForm::showSelections()
{
    const ViewAppearance appearance = Appearance();
    selectText(*StylLista, FromCp1250(appearance.fontName));
    selectText(*FontSizeBox, QString::number(appearance.fontSize));
}

void TFontForm::showColors()
{
    const ViewAppearance appearance = Appearance();
    showColor(*BackgroundColorPicker, appearance.background);
    showColor(*FontColorPicker, appearance.fontColor);
    showColor(*LinkColorPicker, appearance.linkColor);
}

} // namespace orbita
