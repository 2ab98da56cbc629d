#include "platform/ui_services.h"

#include <QAbstractButton>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace orbita {
namespace {

UiServices* g_services = nullptr;

QMessageBox::Icon qtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::None:
        return QMessageBox::NoIcon;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

} // namespace

UiServices& Ui()
{
    static QtUiServices qtServices;
    return g_services ? *g_services : qtServices;
}

void SetUiServices(UiServices* services)
{
    g_services = services;
}

int QtUiServices::ShowMessage(
    QWidget* owner, const QString& caption, const QString& text, MessageIcon icon, MessageButtons buttons)
{
    QMessageBox box(qtIcon(icon), caption, text, QMessageBox::NoButton, owner);
    // Polish texts regardless of which Qt translation is loaded.
    const auto add = [&box](QMessageBox::StandardButton button, const QString& label) {
        box.addButton(button);
        box.button(button)->setText(label);
    };
    switch (buttons) {
    case MessageButtons::Ok:
        add(QMessageBox::Ok, QStringLiteral("OK"));
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case MessageButtons::OkCancel:
        add(QMessageBox::Ok, QStringLiteral("OK"));
        add(QMessageBox::Cancel, QStringLiteral("Anuluj"));
        break;
    case MessageButtons::YesNo:
        add(QMessageBox::Yes, QStringLiteral("&Tak"));
        add(QMessageBox::No, QStringLiteral("&Nie"));
        break;
    case MessageButtons::YesNoCancel:
        add(QMessageBox::Yes, QStringLiteral("&Tak"));
        add(QMessageBox::No, QStringLiteral("&Nie"));
        add(QMessageBox::Cancel, QStringLiteral("Anuluj"));
        break;
    }
    box.exec();
    auto* clicked = box.clickedButton();
    switch (clicked ? box.standardButton(clicked) : QMessageBox::NoButton) {
    case QMessageBox::Ok:
        return mrOk;
    case QMessageBox::Yes:
        return mrYes;
    case QMessageBox::No:
        return mrNo;
    default:
        return mrCancel;
    }
}

QString QtUiServices::OpenFileName(
    QWidget* owner, const QString& title, const QString& folder, const QString& filter)
{
    return QFileDialog::getOpenFileName(owner, title, folder, filter);
}

QString QtUiServices::SaveFileName(
    QWidget* owner, const QString& title, const QString& suggested, const QString& filter)
{
    return QFileDialog::getSaveFileName(owner, title, suggested, filter);
}

std::optional<QColor> QtUiServices::ChooseColor(QWidget* owner, const QColor& initial)
{
    const QColor color = QColorDialog::getColor(initial, owner);
    if (!color.isValid())
        return std::nullopt;
    return color;
}

QString QtUiServices::ChooseFolder(QWidget* owner, const QString& title)
{
    return QFileDialog::getExistingDirectory(owner, title, QString(), QFileDialog::ShowDirsOnly);
}

int QtUiServices::ShowModal(QDialog& dialog)
{
    return dialog.exec();
}

} // namespace orbita
