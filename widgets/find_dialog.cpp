#include "widgets/find_dialog.h"

#include "platform/ui_services.h"
#include "widgets/accessible_text.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QToolButton>
#include <algorithm>

namespace orbita {

TFindDialog::TFindDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FindDialog"));
    setWindowTitle(QStringLiteral("Znajdź"));
    setModal(false);
    auto* layout = new QGridLayout(this);
    auto* label = new QLabel(QStringLiteral("Znajdź:"), this);
    layout->addWidget(label, 0, 0);
    TextEdit = new QLineEdit(this);
    TextEdit->setObjectName(QStringLiteral("TextEdit"));
    label->setBuddy(TextEdit);
    TextEdit->setAccessibleDescription(
        QStringLiteral("Szukany tekst. Enter znajduje jego następne wystąpienie."));
    TextEdit->setAccessibleDescription(
        QStringLiteral("Szukany tekst. Enter znajduje jego następne wystąpienie."));
    layout->addWidget(TextEdit, 0, 1);
    FindNextButton = new QToolButton(this);
    FindNextButton->setObjectName(QStringLiteral("FindNextButton"));
    FindNextButton->setText(QStringLiteral("Znajdź &następny"));
    layout->addWidget(FindNextButton, 0, 2);
    MatchCaseBox = new QCheckBox(QStringLiteral("Uwzględniaj &wielkość liter"), this);
    MatchCaseBox->setObjectName(QStringLiteral("MatchCaseBox"));
    layout->addWidget(MatchCaseBox, 1, 0, 1, 2);
    CancelButton = new QToolButton(this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setText(QStringLiteral("Anuluj"));
    layout->addWidget(CancelButton, 1, 2);
    connect(CancelButton, &QToolButton::clicked, this, &QDialog::hide);
    connect(FindNextButton, &QToolButton::clicked, this, &TFindDialog::FindNext);
    connect(TextEdit, &QLineEdit::returnPressed, this, &TFindDialog::FindNext);
}

QString TFindDialog::FindText() const
{
    return TextEdit->text();
}

bool TFindDialog::MatchCase() const
{
    return MatchCaseBox->isChecked();
}

void TFindDialog::Open(const QRect& page)
{
    if (!isVisible() && !page.isEmpty()) {
        adjustSize();
        const QPoint centred(page.center().x() - width() / 2, page.bottom());
        move(ClearOf(page, frameGeometry().size(), screenArea(), centred));
    }
    show();
    raise();
    activateWindow();
    TextEdit->setFocus();
    TextEdit->selectAll();
}

void TFindDialog::FindNext()
{
    const QString text = FindText();
    const std::optional<QRect> match
        = !text.isEmpty() && OnFindNext ? OnFindNext(text, MatchCase()) : std::nullopt;
    if (match)
        KeepClearOf(*match);
    else
        ReportSearchEnded(this);
}

void TFindDialog::KeepClearOf(const QRect& match)
{
    const QRect dialog = frameGeometry();
    if (!isVisible() || match.isEmpty() || !dialog.intersects(match))
        return;
    move(ClearOf(match, dialog.size(), screenArea(), dialog.topLeft()));
}

QRect TFindDialog::screenArea() const
{
    const QScreen* shown = parentWidget() ? parentWidget()->screen() : screen();
    if (!shown)
        shown = QGuiApplication::primaryScreen();
    return shown ? shown->availableGeometry() : QRect(0, 0, 1024, 768);
}

QPoint ClearOf(const QRect& avoid, QSize size, const QRect& screen, QPoint preferred)
{
    constexpr int kGap = 8;
    const auto onScreen = [&](QPoint at) {
        at.setX(
            std::clamp(at.x(), screen.left(), std::max(screen.left(), screen.right() + 1 - size.width())));
        at.setY(
            std::clamp(at.y(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - size.height())));
        return at;
    };
    const QPoint candidates[] = {
        { preferred.x(), avoid.bottom() + 1 + kGap },
        { preferred.x(), avoid.top() - kGap - size.height() },
        { avoid.right() + 1 + kGap, preferred.y() },
        { avoid.left() - kGap - size.width(), preferred.y() },
    };
    for (const QPoint& candidate : candidates) {
        const QPoint at = onScreen(candidate);
        if (!QRect(at, size).intersects(avoid))
            return at;
    }
    return onScreen(QPoint(preferred.x(), screen.bottom()));
}

void ReportSearchEnded(QWidget* owner)
{
    Ui().ShowMessage(owner, QStringLiteral("Rezultat wyszukiwania"),
        QStringLiteral("Przeszukiwanie dokumentu zostało zakończone"), MessageIcon::Information,
        MessageButtons::Ok);
}

} // namespace orbita
