#include "widgets/find_dialog.h"

#include "platform/ui_services.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

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

void TFindDialog::Open()
{
    show();
    raise();
    activateWindow();
    TextEdit->setFocus();
    TextEdit->selectAll();
}

void TFindDialog::FindNext()
{
    const QString text = FindText();
    const bool found = !text.isEmpty() && OnFindNext && OnFindNext(text, MatchCase());
    if (!found)
        ReportSearchEnded(this);
}

void ReportSearchEnded(QWidget* owner)
{
    Ui().ShowMessage(owner, QStringLiteral("Rezultat wyszukiwania"),
        QStringLiteral("Przeszukiwanie dokumentu zostało zakończone"), MessageIcon::Information,
        MessageButtons::Ok);
}

} // namespace orbita
