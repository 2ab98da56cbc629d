#include "core/password_hash.h"
#include "core/scramble.h"
#include "core/settings.h"
#include "platform/scripted_ui_services.h"
#include "tests/windows/dialogs/dialogs_test_support.h"
#include "windows/settings/login_form.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace orbita {
namespace {

using LoginForm = test::DialogsTest;

// Where the fields stand, in the window's coordinates, with the window's size.
std::vector<QRect> fieldPlaces(TLoginForm& form)
{
    std::vector<QRect> places { form.rect() };
    for (const char* name :
        { "UserBoxCaption", "UserBox", "PasswordBoxCaption", "PasswordBox", "UruchomPrzycisk" }) {
        auto* widget = form.findChild<QWidget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        if (widget != nullptr)
            places.emplace_back(widget->mapTo(&form, QPoint(0, 0)), widget->size());
    }
    return places;
}

// Choosing an account without a password hides the password row but moves
// nothing else: the user's caption and box stay where they were.
TEST_F(LoginForm, FieldsStayPutWhicheverAccountIsChosen)
{
    WriteString(Setting::Password, ScrambleText(kPasswordScrambleKey, "tajne"), kAdministratorAccount);
    CreateAccount("Jan");
    TLoginForm form;
    form.show();
    QCoreApplication::processEvents();
    auto* users = form.findChild<QComboBox*>(QStringLiteral("UserBox"));
    auto* password = form.findChild<QLineEdit*>(QStringLiteral("PasswordBox"));
    ASSERT_NE(users, nullptr);
    ASSERT_NE(password, nullptr);
    ASSERT_EQ(users->currentText(), QStringLiteral("Administrator"));
    const std::vector<QRect> withPassword = fieldPlaces(form);

    password->setText(QStringLiteral("tajne"));
    users->setCurrentText(QStringLiteral("Jan"));
    QCoreApplication::processEvents();
    EXPECT_FALSE(password->isVisible());
    EXPECT_TRUE(password->text().isEmpty()) << "no password of another account left in the hidden box";
    EXPECT_EQ(fieldPlaces(form), withPassword);
    const QRect caption = withPassword[1];
    const QRect box = withPassword[2];
    EXPECT_LT(caption.left(), form.width() / 4) << "the caption stays at the left";
    EXPECT_LE(box.left() - caption.right(), 40) << "no gap between the caption and its box";

    users->setCurrentText(QStringLiteral("Administrator"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(password->isVisible());
    EXPECT_EQ(fieldPlaces(form), withPassword);
    form.reject();
}

// The login window is placed like every other window: centred on the screen.
TEST_F(LoginForm, OpensCentredOnTheScreen)
{
    WriteString(Setting::Password, ScrambleText(kPasswordScrambleKey, "tajne"), kAdministratorAccount);
    TLoginForm form;
    form.show();
    QCoreApplication::processEvents();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((form.frameGeometry().center() - screen.center()).manhattanLength(), 2)
        << form.frameGeometry().x() << "," << form.frameGeometry().y() << " " << form.width() << "x"
        << form.height();
    form.reject();
}

// A hashed password is checked on the typed text itself: characters outside
// Windows-1250 count (they used to become "?"), and a wrong text keeps the
// window open with its warning.
TEST_F(LoginForm, HashedPasswordIsCheckedOnTheTextAsTyped)
{
    WriteString(Setting::Password, HashPassword("π€ka").value(), kAdministratorAccount);
    ScriptedUiServices ui;
    ui.answerMessage(mrOk);
    TLoginForm form;
    form.show();
    auto* password = form.findChild<QLineEdit*>(QStringLiteral("PasswordBox"));
    auto* login = form.findChild<QPushButton*>(QStringLiteral("UruchomPrzycisk"));
    ASSERT_NE(password, nullptr);
    ASSERT_NE(login, nullptr);
    password->setText(QStringLiteral("??ka"));
    login->click();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(CurrentUserName(), "");
    ASSERT_EQ(ui.requests().size(), 1u);
    EXPECT_EQ(ui.requests()[0].caption, QStringLiteral("Nieprawidłowe hasło"));
    EXPECT_EQ(ui.requests()[0].text, QStringLiteral("Wprowadziłeś nieprawidłowe hasło użytkownika"));
    password->setText(QStringLiteral("π€ka"));
    login->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(CurrentUserName(), "Administrator");
    EXPECT_TRUE(ui.finished());
}

} // namespace
} // namespace orbita
