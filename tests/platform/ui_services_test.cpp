#include "platform/scripted_ui_services.h"
#include "platform/ui_services.h"
#include "tests/platform/platform_test_environment.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractProxyModel>
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace orbita {
namespace {

using Kind = ScriptedUiServices::Kind;

TEST(ScriptedUiServices, AnswersInOrderAndRecordsEveryRequest)
{
    ScriptedUiServices ui;
    ui.answerMessage(mrYes);
    ui.answerOpenFile(QStringLiteral("/tmp/notatka.txt"));
    ui.answerSaveFile(QStringLiteral("/tmp/zelazo.htm"));
    ui.answerColor(QColor(Qt::red));
    ui.answerColor(std::nullopt);
    ui.answerFolder(QStringLiteral("/opt"));

    EXPECT_EQ(Ui().ShowMessage(nullptr, QStringLiteral("Usuwanie"), QStringLiteral("Usunąć konto?"),
                  MessageIcon::Question, MessageButtons::YesNo),
        mrYes);
    EXPECT_EQ(Ui().OpenFileName(
                  nullptr, QStringLiteral("Otwórz"), QStringLiteral("/home"), QStringLiteral("*.txt")),
        QStringLiteral("/tmp/notatka.txt"));
    EXPECT_EQ(Ui().SaveFileName(
                  nullptr, QStringLiteral("Zapisz"), QStringLiteral("26.htm"), QStringLiteral("*.htm")),
        QStringLiteral("/tmp/zelazo.htm"));
    EXPECT_EQ(Ui().ChooseColor(nullptr, Qt::blue), QColor(Qt::red));
    EXPECT_EQ(Ui().ChooseColor(nullptr, Qt::blue), std::nullopt);
    EXPECT_EQ(Ui().ChooseFolder(nullptr, QStringLiteral("Folder")), QStringLiteral("/opt"));
    EXPECT_TRUE(ui.finished());

    const auto& r = ui.requests();
    ASSERT_EQ(r.size(), 6u);
    const Kind kinds[]
        = { Kind::Message, Kind::OpenFile, Kind::SaveFile, Kind::Color, Kind::Color, Kind::Folder };
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(r[i].kind, kinds[i]) << i;
        EXPECT_FALSE(r[i].unexpected) << i;
    }
    EXPECT_EQ(r[0].caption, QStringLiteral("Usuwanie"));
    EXPECT_EQ(r[0].text, QStringLiteral("Usunąć konto?"));
    EXPECT_EQ(r[0].icon, MessageIcon::Question);
    EXPECT_EQ(r[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(r[1].text, QStringLiteral("/home"));
    EXPECT_EQ(r[1].filter, QStringLiteral("*.txt"));
    EXPECT_EQ(r[2].text, QStringLiteral("26.htm"));
    EXPECT_EQ(r[3].initialColor, QColor(Qt::blue));
}

TEST(ScriptedUiServices, UnexpectedRequestsAreCancelledAndCounted)
{
    ScriptedUiServices ui;
    EXPECT_EQ(Ui().ShowMessage(nullptr, QStringLiteral("Orbita"), QStringLiteral("?"), MessageIcon::Error,
                  MessageButtons::Ok),
        mrCancel);
    ui.answerFolder(QStringLiteral("/opt"));
    // The next answer is for another kind of request: it stays in the script.
    EXPECT_TRUE(Ui().OpenFileName(nullptr, {}, {}, {}).isEmpty());
    EXPECT_EQ(Ui().ChooseColor(nullptr, Qt::black), std::nullopt);
    QDialog dialog;
    EXPECT_EQ(Ui().ShowModal(dialog), mrCancel);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(ui.unexpectedCount(), 4);
    EXPECT_FALSE(ui.finished());
    EXPECT_EQ(Ui().ChooseFolder(nullptr, {}), QStringLiteral("/opt"));
    EXPECT_EQ(ui.unexpectedCount(), 4);
}

TEST(ScriptedUiServices, ModalDriverGetsTheShownDialog)
{
    ScriptedUiServices ui;
    bool wasVisible = false;
    ui.answerModal([&wasVisible](QDialog& dialog) {
        wasVisible = dialog.isVisible();
        return mrNo;
    });
    ui.answerModal([](QDialog& dialog) {
        dialog.done(mrYes); // the window closes itself
        return dialog.result();
    });
    QDialog dialog;
    dialog.setObjectName(QStringLiteral("QuitForm"));
    dialog.setWindowTitle(QStringLiteral("Zakończenie"));
    EXPECT_EQ(Ui().ShowModal(dialog), mrNo);
    EXPECT_TRUE(wasVisible);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), mrNo);
    EXPECT_EQ(Ui().ShowModal(dialog), mrYes);
    EXPECT_TRUE(ui.finished());
    EXPECT_EQ(ui.requests()[0].caption, QStringLiteral("Zakończenie"));
    EXPECT_EQ(ui.requests()[0].text, QStringLiteral("QuitForm"));
}

TEST(UiServices, ScriptedServicesInstallAndRestoreTheQtOnes)
{
    UiServices* before = &Ui();
    EXPECT_NE(dynamic_cast<QtUiServices*>(before), nullptr);
    {
        ScriptedUiServices ui;
        EXPECT_EQ(&Ui(), &ui);
    }
    EXPECT_EQ(&Ui(), before);
    ScriptedUiServices manual(false);
    SetUiServices(&manual);
    EXPECT_EQ(&Ui(), &manual);
    SetUiServices(nullptr);
    EXPECT_EQ(&Ui(), before);
}

// The real message box: caption as window title, Polish buttons, results in
// the system's numbers.
TEST(QtUiServices, MessageBoxButtonsAndResults)
{
    const struct {
        MessageButtons buttons;
        QStringList labels;
        QString click;
        int result;
    } cases[] = {
        { MessageButtons::Ok, { QStringLiteral("OK") }, QStringLiteral("OK"), mrOk },
        { MessageButtons::OkCancel, { QStringLiteral("OK"), QStringLiteral("Anuluj") },
            QStringLiteral("Anuluj"), mrCancel },
        { MessageButtons::YesNo, { QStringLiteral("&Tak"), QStringLiteral("&Nie") }, QStringLiteral("&Nie"),
            mrNo },
        { MessageButtons::YesNoCancel,
            { QStringLiteral("&Tak"), QStringLiteral("&Nie"), QStringLiteral("Anuluj") },
            QStringLiteral("&Tak"), mrYes },
        { MessageButtons::YesNoDefaultNo, { QStringLiteral("&Tak"), QStringLiteral("&Nie") },
            QStringLiteral("&Tak"), mrYes },
    };
    QtUiServices qt;
    for (const auto& c : cases) {
        QString title;
        QStringList labels;
        QObject context;
        QTimer::singleShot(0, &context, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            title = box->windowTitle();
            for (QAbstractButton* button : box->buttons())
                labels.append(button->text());
            for (QAbstractButton* button : box->buttons())
                if (button->text() == c.click)
                    button->click();
        });
        // Never hang: whatever is still open after three seconds is closed.
        QTimer::singleShot(3000, &context, [] {
            if (QWidget* open = QApplication::activeModalWidget())
                open->close();
        });
        EXPECT_EQ(qt.ShowMessage(nullptr, QStringLiteral("Program jest już uruchomiony"),
                      QStringLiteral("Tekst"), MessageIcon::Information, c.buttons),
            c.result);
        EXPECT_EQ(title, QStringLiteral("Program jest już uruchomiony"));
        labels.sort();
        QStringList expected = c.labels;
        expected.sort();
        EXPECT_EQ(labels, expected);
    }
}

// Ctrl+C in a message box puts its caption and text on the clipboard.
TEST(QtUiServices, CtrlCCopiesTheMessage)
{
    QtUiServices qt;
    QApplication::clipboard()->clear();
    QObject context;
    QTimer::singleShot(0, &context, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        box->activateWindow();
        if (QTest::qWaitForWindowActive(box))
            QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        box->close();
    });
    QTimer::singleShot(3000, &context, [] {
        if (QWidget* open = QApplication::activeModalWidget())
            open->close();
    });
    qt.ShowMessage(nullptr, QStringLiteral("Nieprawidłowe hasło"),
        QStringLiteral("Wprowadziłeś nieprawidłowe hasło użytkownika"), MessageIcon::Warning,
        MessageButtons::Ok);
    const QString copied = QApplication::clipboard()->text();
    EXPECT_TRUE(copied.contains(QStringLiteral("\nNieprawidłowe hasło\n"))) << copied.toStdString();
    EXPECT_TRUE(copied.contains(QStringLiteral("\nWprowadziłeś nieprawidłowe hasło użytkownika\n")))
        << copied.toStdString();
}

// A question that a stray Enter must not answer with Yes: Enter gives No.
TEST(QtUiServices, YesNoDefaultNoAnswersNoToEnter)
{
    QtUiServices qt;
    QString defaultLabel;
    QObject context;
    QTimer::singleShot(0, &context, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        if (box->defaultButton() != nullptr)
            defaultLabel = box->defaultButton()->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    QTimer::singleShot(3000, &context, [] {
        if (QWidget* open = QApplication::activeModalWidget())
            open->close();
    });
    EXPECT_EQ(qt.ShowMessage(nullptr, QStringLiteral("Przerwij test"), QStringLiteral("Pytanie"),
                  MessageIcon::Question, MessageButtons::YesNoDefaultNo),
        mrNo);
    EXPECT_EQ(defaultLabel, QStringLiteral("&Nie"));
}

} // namespace
} // namespace orbita

namespace orbita {
namespace {

class FileDialogs : public test::PlatformTest { };

// The file dialogs start in the user's documents folder, or in the folder
// last chosen during the run, never in the program folder.
TEST_F(FileDialogs, StartInTheDocumentsOrTheLastFolderChosen)
{
    const QString home = QDir(path("home")).absolutePath();
    RememberFileDialogChoice(path("gone/notatka.txt")); // a folder that no longer exists
    EXPECT_EQ(FileDialogFolder(), home) << "no documents folder: the home folder";
    ASSERT_TRUE(QDir(home).mkpath(QStringLiteral("Documents")));
    EXPECT_EQ(FileDialogFolder(), home + QStringLiteral("/Documents"));
    ASSERT_TRUE(QDir(path("")).mkpath(QStringLiteral("prace")));
    RememberFileDialogChoice(path("prace/zelazo.htm"));
    EXPECT_EQ(FileDialogFolder(), QDir(path("prace")).absolutePath());

    EXPECT_EQ(SaveDialogStart(QStringLiteral("Żelazo"), QStringLiteral("/dom/ala")),
        QStringLiteral("/dom/ala/Żelazo"));
    EXPECT_EQ(SaveDialogStart(QStringLiteral("/tmp/x.htm"), QStringLiteral("/dom/ala")),
        QStringLiteral("/tmp/x.htm"));
    EXPECT_EQ(SaveDialogStart(QString(), QStringLiteral("/dom/ala")), QStringLiteral("/dom/ala"));
}

// The real dialog: it offers the suggested name in the start folder, writes
// dates the Polish way, and the folder of the chosen file is the next start.
TEST_F(FileDialogs, SaveDialogOffersTheNameInTheStartFolderInPolish)
{
    const QString documents = QDir(path("home")).absoluteFilePath(QStringLiteral("Documents"));
    ASSERT_TRUE(QDir().mkpath(documents));
    RememberFileDialogChoice(path("gone/x.txt"));
    QFile old(documents + QStringLiteral("/stary.htm"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("x");
    old.close();
    const QDateTime stamp(QDate(2024, 3, 5), QTime(14, 7));
    ASSERT_TRUE(old.open(QIODevice::ReadWrite));
    ASSERT_TRUE(old.setFileTime(stamp, QFileDevice::FileModificationTime));
    old.close();

    QString folder;
    QString offered;
    QString dateShown;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        folder = dialog->directory().absolutePath();
        offered = dialog->selectedFiles().value(0);
        QAbstractItemModel* files = dialog->proxyModel();
        ASSERT_NE(files, nullptr);
        // The listing is read in the background: wait until the file is in it.
        for (int tries = 0; tries < 500 && dateShown.isEmpty(); ++tries) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            const QModelIndex root
                = dialog->findChild<QAbstractItemView*>(QStringLiteral("listView"))->rootIndex();
            for (int row = 0; row < files->rowCount(root); ++row)
                if (files->index(row, 0, root).data().toString() == QStringLiteral("stary.htm"))
                    dateShown = files->index(row, 3, root).data().toString();
        }
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(QStringLiteral("Żelazo.htm")); // as the user would type it
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog hides it
    });
    QtUiServices qt;
    const QString chosen = qt.SaveFileName(
        nullptr, QStringLiteral("Zapisz jako"), QStringLiteral("Żelazo"), QStringLiteral("Strony (*.htm)"));
    EXPECT_EQ(folder, documents);
    EXPECT_EQ(offered, documents + QStringLiteral("/Żelazo"));
    EXPECT_EQ(dateShown, QLocale(QLocale::Polish, QLocale::Poland).toString(stamp, QLocale::ShortFormat));
    EXPECT_EQ(chosen.toStdString(), (documents + QStringLiteral("/Żelazo.htm")).toStdString());
    EXPECT_EQ(FileDialogFolder(), documents);
}

} // namespace
} // namespace orbita
