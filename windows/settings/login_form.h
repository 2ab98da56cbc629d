#pragma once

#include "widgets/dialog_form.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orbita {

// The login window shown at start when the Administrator has a password: an
// account from the list and its password. Ends with OK after a successful
// login (User is then the chosen account) or with Cancel.
class TLoginForm final : public TDialogForm {
    Q_OBJECT
public:
    explicit TLoginForm(QWidget* parent = nullptr);

protected:
    void helpRequested() override;

private:
    void UserBoxChange();
    void UruchomPrzyciskClick();

    QLabel* TitleCaption = nullptr;
    QLabel* CapsCaption = nullptr;
    QLabel* UserBoxCaption = nullptr;
    QComboBox* UserBox = nullptr;
    QLabel* PasswordBoxCaption = nullptr;
    QLineEdit* PasswordBox = nullptr;
    QPushButton* UruchomPrzycisk = nullptr;
    QPushButton* PomocPrzycisk = nullptr;
    QPushButton* ZamknijPrzycisk = nullptr;
};

} // namespace orbita
