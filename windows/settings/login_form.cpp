#include "windows/settings/login_form.h"

#include "core/settings.h"
#include "platform/qt_text.h"
#include "platform/ui_services.h"
#include "windows/settings/login_logic.h"
#include "windows/window_opener.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orbita {

TLoginForm::TLoginForm(QWidget* parent)
    : TDialogForm(parent)
{
    setObjectName(QStringLiteral("LoginForm"));
    SetHelpTopic(*this, QStringLiteral("O_LOGUJ"));
    setTitle(QStringLiteral("Logowanie do programu Orbita"));

    TitleCaption = new QLabel(QStringLiteral(
        "Aby uruchomić program należy się zalogować. W tym celu należy wybrać nazwę użytkownika z listy oraz "
        "wprowadzić prawidłowe hasło nadane przez Administratora programu"));
    CapsCaption = new QLabel(QStringLiteral(
        "Przy wprowadzaniu hasła należy pamiętać o prawidłowej wielkości liter (warto sprawdzić czy nie "
        "wciśnięty został przycisk Caps Lock na klawiaturze)"));
    for (QLabel* label : { TitleCaption, CapsCaption })
        label->setWordWrap(true);
    UserBoxCaption = new QLabel(QStringLiteral("Użytkownik"));
    UserBox = new QComboBox;
    UserBox->setEditable(false);
    PasswordBoxCaption = new QLabel(QStringLiteral("Hasło"));
    PasswordBox = new QLineEdit;
    PasswordBox->setEchoMode(QLineEdit::Password);
    UserBoxCaption->setBuddy(UserBox);
    PasswordBoxCaption->setBuddy(PasswordBox);
    UserBox->setAccessibleDescription(QStringLiteral("Konto, na którym zostanie uruchomiony program."));
    PasswordBox->setAccessibleDescription(QStringLiteral("Hasło wybranego konta. Enter uruchamia program."));
    UruchomPrzycisk = new QPushButton(QStringLiteral("&Uruchom"));
    PomocPrzycisk = new QPushButton(QStringLiteral("Pomo&c"));
    ZamknijPrzycisk = new QPushButton(QStringLiteral("&Zamknij"));
    UruchomPrzycisk->setDefault(true);

    UserBoxCaption->setObjectName(QStringLiteral("UserBoxCaption"));
    UserBox->setObjectName(QStringLiteral("UserBox"));
    PasswordBoxCaption->setObjectName(QStringLiteral("PasswordBoxCaption"));
    PasswordBox->setObjectName(QStringLiteral("PasswordBox"));
    UruchomPrzycisk->setObjectName(QStringLiteral("UruchomPrzycisk"));

    // The fields keep their places whichever account is chosen: the hidden
    // password row keeps its room, and the boxes take the width the
    // captions leave.
    for (QWidget* widget :
        { static_cast<QWidget*>(PasswordBoxCaption), static_cast<QWidget*>(PasswordBox) }) {
        QSizePolicy policy = widget->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        widget->setSizePolicy(policy);
    }
    auto* fields = new QGridLayout;
    fields->addWidget(UserBoxCaption, 0, 0);
    fields->addWidget(UserBox, 0, 1);
    fields->addWidget(PasswordBoxCaption, 1, 0);
    fields->addWidget(PasswordBox, 1, 1);
    fields->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(PomocPrzycisk);
    buttons->addStretch();
    buttons->addWidget(UruchomPrzycisk);
    buttons->addWidget(ZamknijPrzycisk);
    QVBoxLayout* layout = bodyLayout();
    layout->addWidget(TitleCaption);
    layout->addLayout(fields);
    layout->addWidget(CapsCaption);
    layout->addLayout(buttons);
    setTabOrder(PasswordBox, UserBox);
    setFixedWidth(440);

    connect(UserBox, &QComboBox::currentIndexChanged, this, &TLoginForm::UserBoxChange);
    connect(UruchomPrzycisk, &QPushButton::clicked, this, &TLoginForm::UruchomPrzyciskClick);
    connect(PomocPrzycisk, &QPushButton::clicked, this, &TLoginForm::helpRequested);
    connect(ZamknijPrzycisk, &QPushButton::clicked, this, &QDialog::reject);

    const std::vector<std::string> accounts = LoginAccounts();
    {
        const QSignalBlocker blocker(UserBox);
        for (const std::string& account : accounts)
            UserBox->addItem(FromCp1250(account));
        UserBox->setCurrentIndex(PreselectedAccount(accounts));
    }
    SetCurrentUserName("");
    PasswordBox->setFocus();
}

void TLoginForm::helpRequested()
{
    ShowHelpFor(this);
}

void TLoginForm::UserBoxChange()
{
    const bool hasPassword = AccountHasPassword(ToCp1250(UserBox->currentText()));
    // A password typed for another account must not stay behind in the
    // hidden box: an account without one matches an empty box only.
    if (!hasPassword)
        PasswordBox->clear();
    PasswordBox->setVisible(hasPassword);
    PasswordBoxCaption->setVisible(hasPassword);
}

void TLoginForm::UruchomPrzyciskClick()
{
    const std::string account = ToCp1250(UserBox->currentText());
    if (UserBox->currentIndex() < 0 || !AcceptLoginPassword(account, PasswordBox->text().toStdString())) {
        Ui().ShowMessage(this, QStringLiteral("Nieprawidłowe hasło"),
            QStringLiteral("Wprowadziłeś nieprawidłowe hasło użytkownika"), MessageIcon::Warning,
            MessageButtons::Ok);
        return;
    }
    SetCurrentUserName(account);
    accept();
}

} // namespace orbita
