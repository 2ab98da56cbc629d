// The update centre against a loopback stand-in of the update service
// (update_test_server.py): both package lists (unsafe lines skipped, packages
// on disk grey, an empty list), downloads that keep existing files and report
// success only when every package was stored, cancel in mid-transfer, the
// version check and the setup package with its digest rule, the keys and the
// refused close during a transfer.

#include "core/file_io.h"
#include "net/http_get.h"
#include "platform/scripted_ui_services.h"
#include "platform/shell_services.h"
#include "tests/data/test_zip_writer.h"
#include "tests/platform/platform_test_environment.h"
#include "tests/support/recording_window_opener.h"
#include "windows/update/update_form.h"

#include <QCryptographicHash>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QProgressBar>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <sys/stat.h>

namespace orbita {
namespace {

using namespace std::chrono_literals;
using Kind = ScriptedUiServices::Kind;

const QString kConnectionCaption = QStringLiteral("Połączenie zerwane");

class UpdateForm : public test::PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        m_env.set("no_proxy", QStringLiteral("*"));
        m_env.set("NO_PROXY", QStringLiteral("*"));
        for (const char* folder : { "program", "service", "service/KARNACJE", "service/TESTY", "desktop" })
            ASSERT_TRUE(QDir(m_root.path()).mkpath(QString::fromLatin1(folder)));
        m_env.set("ORBITA_PROGRAM_DIR", path("program"));
        m_server.start(QStringLiteral("python3"),
            { QStringLiteral(ORBITA_SOURCE_DIR "/tests/windows/update/update_test_server.py"),
                path("service") });
        ASSERT_TRUE(m_server.waitForStarted(10000));
        ASSERT_TRUE(m_server.waitForReadyRead(20000)) << m_server.readAllStandardError().toStdString();
        const QList<QByteArray> words = m_server.readLine().trimmed().split(' ');
        ASSERT_EQ(words.size(), 2);
        m_port = words[1].toInt();
        ASSERT_GT(m_port, 0);
        m_env.set("ORBITA_UPDATE_URL", base());
    }

    void TearDown() override
    {
        m_server.closeWriteChannel();
        if (!m_server.waitForFinished(5000))
            m_server.kill();
        m_server.waitForFinished(5000);
        EXPECT_TRUE(WaitForTransfersToEnd(30s));
        PlatformTest::TearDown();
    }

    QString base() const { return QStringLiteral("http://127.0.0.1:%1/support_orb3").arg(m_port); }
    QString address(const char* file) const
    {
        return QStringLiteral("http://127.0.0.1:%1/pliki/%2").arg(m_port).arg(QString::fromLatin1(file));
    }

    void serve(const char* relative, const std::string& bytes) const
    {
        ASSERT_EQ(WriteFileAtomically(stdPath("service") + "/" + relative, bytes, 0644), FileProblem::None);
    }
    void place(const char* relative, const std::string& bytes) const
    {
        QDir(path("program")).mkpath(QFileInfo(path("program/") + QString::fromLatin1(relative)).path());
        ASSERT_EQ(WriteFileAtomically(stdPath("program") + "/" + relative, bytes, 0644), FileProblem::None);
    }
    std::string programFile(const char* relative) const
    {
        const FileRead file = ReadRegularFile(stdPath("program") + "/" + relative, 64 << 20);
        return file.Ok() ? file.bytes : "<missing>";
    }

    // The paths the server was asked for, since the last call.
    QStringList requests()
    {
        QStringList paths;
        while (m_server.canReadLine() || m_server.waitForReadyRead(200)) {
            const QString line = QString::fromUtf8(m_server.readLine()).trimmed();
            if (line.startsWith(QStringLiteral("REQUEST ")))
                paths << line.mid(8);
        }
        return paths;
    }

    static QStringList itemsOf(const TUpdateForm& form)
    {
        QStringList items;
        for (int row = 0; row < form.ListBox->count(); ++row) {
            const QListWidgetItem* item = form.ListBox->item(row);
            const char* mark = item->checkState() == Qt::Checked ? "+"
                : item->checkState() == Qt::PartiallyChecked     ? "~"
                                                                 : "-";
            items << QString::fromLatin1(mark) + item->text();
        }
        return items;
    }

    static void check(TUpdateForm& form, const QString& name, Qt::CheckState state)
    {
        const QList<QListWidgetItem*> found = form.ListBox->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        found.front()->setCheckState(state);
    }

    QProcess m_server;
    int m_port = 0;
};

TEST_F(UpdateForm, TheSkinListShowsSafeNamesSortedWithPackagesOnDiskGrey)
{
    serve("skory.txt",
        "Zielony.obs\r\nNiebieski.obs\r\n../evil.obs\r\n/etc/passwd.obs\r\nz spacja.obs\r\nbez_kropki\r\n"
        "Ziel\x01ony.obs\r\nTest.obt\r\n\r\nAmarant.obs\r\n");
    place("KARNACJE/Niebieski.obs", "on disk");
    ScriptedUiServices ui;
    TUpdateForm form;
    EXPECT_EQ(form.title(), QStringLiteral("Centrum aktualizacji"));
    EXPECT_EQ(form.Notebook->currentWidget(), form.Wybor);
    form.SkinButtonClick();
    EXPECT_TRUE(ui.finished());
    EXPECT_EQ(form.Notebook->currentWidget(), form.Skladnik);
    EXPECT_EQ(itemsOf(form),
        (QStringList {
            QStringLiteral("-Amarant"), QStringLiteral("~Niebieski"), QStringLiteral("-Zielony") }));
    EXPECT_EQ(form.SkladnikiEtykieta->text(), QStringLiteral("3 składników"));
    EXPECT_EQ(form.CloseButton->text(), QStringLiteral("&Zamknij"));
    EXPECT_EQ(requests(),
        QStringList { QStringLiteral("/support_orb3?akcja=orbita&operacja=pokaz&parametr=skory") });

    form.CancelButton->click();
    EXPECT_EQ(form.Notebook->currentWidget(), form.Wybor);
}

TEST_F(UpdateForm, AnEmptyTestListIsShownEmptyAndAMissingServiceIsAConnectionError)
{
    serve("testy.txt", "");
    ScriptedUiServices ui;
    TUpdateForm form;
    form.TestButtonClick();
    EXPECT_TRUE(ui.finished()) << "an empty list is no error";
    EXPECT_EQ(form.Notebook->currentWidget(), form.Skladnik);
    EXPECT_EQ(form.ListBox->count(), 0);
    EXPECT_EQ(form.SkladnikiEtykieta->text(), QStringLiteral("0 składników"));

    // No list at all (404): the connection error, back to the choice.
    form.CancelButton->click();
    form.SkinButtonClick();
    ASSERT_EQ(ui.requests().size(), 1U);
    EXPECT_EQ(ui.requests()[0].caption, kConnectionCaption);
    EXPECT_EQ(ui.requests()[0].icon, MessageIcon::Error);
    EXPECT_EQ(form.Notebook->currentWidget(), form.Wybor);
    EXPECT_EQ(form.CloseButton->text(), QStringLiteral("&Zamknij"));
}

TEST_F(UpdateForm, DownloadsStoreTickedPackagesAndNeverReplaceAFileOnDisk)
{
    serve("skory.txt", "Zielony.obs\r\nNiebieski.obs\r\nCzerwony.obs\r\nZolty.obs\r\n");
    serve("KARNACJE/Zielony.obs", std::string(3000, 'z'));
    serve("KARNACJE/Niebieski.obs", "new blue");
    serve("KARNACJE/Czerwony.obs", "red");
    serve("KARNACJE/Zolty.obs", "yellow");
    place("KARNACJE/Niebieski.obs", "old blue");
    ScriptedUiServices ui;
    TUpdateForm form;
    form.SkinButtonClick();
    requests();
    check(form, QStringLiteral("Zielony"), Qt::Checked);
    check(form, QStringLiteral("Niebieski"), Qt::Checked); // on disk, ticked anyway
    check(form, QStringLiteral("Zolty"), Qt::PartiallyChecked); // grey: skipped
    ui.answerMessage(mrOk);
    form.DownloadButtonClick();
    EXPECT_TRUE(ui.finished());
    ASSERT_EQ(ui.requests().size(), 1U);
    EXPECT_EQ(ui.requests()[0].caption, QStringLiteral("Status aktualizacji"));
    EXPECT_EQ(ui.requests()[0].text, QStringLiteral("Pobieranie składników zostało pomyślnie ukończone"));
    EXPECT_EQ(programFile("KARNACJE/Zielony.obs"), std::string(3000, 'z'));
    EXPECT_EQ(programFile("KARNACJE/Niebieski.obs"), "old blue");
    EXPECT_EQ(programFile("KARNACJE/Zolty.obs"), "<missing>");
    EXPECT_EQ(programFile("KARNACJE/Czerwony.obs"), "<missing>");
    EXPECT_EQ(requests(),
        QStringList {
            QStringLiteral("/support_orb3?akcja=orbita&operacja=pobierz_skore&parametr=Zielony.obs") });
    EXPECT_EQ(form.Notebook->currentWidget(), form.Wybor);
    EXPECT_EQ(form.TotalCaption->text(), QStringLiteral("To już ostatni plik..."));
    EXPECT_EQ(form.TotalProgress->value(), 100);
    EXPECT_EQ(form.SizeCaption->text(), QStringLiteral("Skopiowano 2 KB z 2 KB"));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(TempFolder()) + QStringLiteral("ORBFILE.TMP")));
}

TEST_F(UpdateForm, AFailedPackageStopsTheRestAndNoSuccessIsReported)
{
    serve("testy.txt", "Alfa.obt\r\nBeta.obt\r\nGamma.obt\r\n");
    serve("TESTY/Alfa.obt", "alpha");
    serve("TESTY/Gamma.obt", "gamma"); // Beta is missing on the server
    ScriptedUiServices ui;
    TUpdateForm form;
    form.TestButtonClick();
    form.SelectMenuClick();
    requests();
    ui.answerMessage(mrOk);
    form.DownloadButtonClick();
    EXPECT_TRUE(ui.finished());
    ASSERT_EQ(ui.requests().size(), 1U);
    EXPECT_EQ(ui.requests()[0].caption, kConnectionCaption);
    EXPECT_EQ(programFile("TESTY/Alfa.obt"), "alpha");
    EXPECT_EQ(programFile("TESTY/Gamma.obt"), "<missing>");
    EXPECT_EQ(requests().size(), 2);
}

TEST_F(UpdateForm, APackageThatCannotBeStoredIsReportedAndSuccessIsNotClaimed)
{
    serve("testy.txt", "Alfa.obt\r\n");
    serve("TESTY/Alfa.obt", "alpha");
    // The program folder's TESTY is a file: nothing can be stored there.
    place("TESTY", "not a folder");
    ScriptedUiServices ui;
    TUpdateForm form;
    form.TestButtonClick();
    form.SelectMenuClick();
    ui.answerMessage(mrOk);
    form.DownloadButtonClick();
    EXPECT_TRUE(ui.finished());
    ASSERT_EQ(ui.requests().size(), 1U);
    EXPECT_EQ(ui.requests()[0].icon, MessageIcon::Error);
    EXPECT_NE(ui.requests()[0].caption, QStringLiteral("Status aktualizacji"));
    EXPECT_TRUE(ui.requests()[0].text.contains(QStringLiteral("Alfa.obt")))
        << ui.requests()[0].text.toStdString();
}

TEST_F(UpdateForm, CancelInMidTransferRemovesThePartialFileAndReportsIt)
{
    serve("skory.txt", "Wolny.obs\r\n");
    serve("KARNACJE/Wolny.obs", std::string(200 * 1024, 'w')); // 200 blocks, 50 ms apart
    ScriptedUiServices ui;
    TUpdateForm form;
    form.show();
    form.SkinButtonClick();
    form.SelectMenuClick();
    ui.answerMessage(mrOk);
    bool refusedClose = false;
    QTimer watcher;
    watcher.setInterval(20);
    QObject::connect(&watcher, &QTimer::timeout, &form, [&] {
        if (!form.SizeCaption->text().isEmpty() && !refusedClose) {
            EXPECT_EQ(form.CloseButton->text(), QStringLiteral("&Przerwij"));
            form.done(mrCancel); // closing is refused during a transfer
            form.close();
            refusedClose = form.isVisible() && form.Notebook->currentWidget() == form.Postep;
            QTest::keyClick(form.ProgressBar, Qt::Key_Escape); // Esc cancels instead
            watcher.stop();
        }
    });
    watcher.start();
    form.DownloadButtonClick();
    EXPECT_TRUE(refusedClose);
    EXPECT_TRUE(ui.finished());
    ASSERT_EQ(ui.requests().size(), 1U);
    EXPECT_EQ(ui.requests()[0].caption, kConnectionCaption);
    EXPECT_EQ(programFile("KARNACJE/Wolny.obs"), "<missing>");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(TempFolder()) + QStringLiteral("ORBFILE.TMP")));
    EXPECT_EQ(form.Notebook->currentWidget(), form.Wybor);
    EXPECT_EQ(form.CloseButton->text(), QStringLiteral("&Zamknij"));
    EXPECT_TRUE(form.isVisible());
}

TEST_F(UpdateForm, AnEqualVersionTextMeansNoUpdateAndABrokenBlockMeansNoVersion)
{
    serve("wersja.txt", "Orbita\r\n3.5.1.0\r\nhttp://127.0.0.1:1/s.zip\r\n");
    ScriptedUiServices ui;
    TUpdateForm form;
    form.OwnVersion = "3.5.1.0";
    ui.answerMessage(mrOk);
    form.UpdateButtonClick();
    ASSERT_EQ(ui.requests().size(), 1U);
    EXPECT_EQ(ui.requests()[0].caption, QStringLiteral("Brak uaktualnienia"));
    EXPECT_EQ(ui.requests()[0].text, QStringLiteral("Posiadasz najnowszą wersję programu"));

    serve("wersja.txt", "3.5.2.0\r\nhttp://127.0.0.1:1/s.zip\r\n"); // no marker
    ui.answerMessage(mrOk);
    form.UpdateButtonClick();
    ASSERT_EQ(ui.requests().size(), 2U);
    EXPECT_EQ(ui.requests()[1].caption, QStringLiteral("Brak informacji o wersji"));
    EXPECT_EQ(form.Notebook->currentWidget(), form.Wybor);
    EXPECT_TRUE(ui.finished());
}

struct SetupPackage {
    std::string bytes;
    std::string digest;
};

SetupPackage setupPackage()
{
    test::TestZipWriter zip;
    zip.members
        = { test::Stored("orbita", "#!/bin/sh\n"), test::Deflated("ORBITA.DAT", std::string(4000, 'd')) };
    SetupPackage package { zip.Build(), {} };
    package.digest
        = QCryptographicHash::hash(QByteArray::fromStdString(package.bytes), QCryptographicHash::Sha256)
              .toHex()
              .toStdString();
    return package;
}

TEST_F(UpdateForm, ANewVersionWithAMatchingDigestIsUnpackedAndItsInstallerStarted)
{
    const SetupPackage package = setupPackage();
    serve("orbita-3.6.0.zip", package.bytes);
    serve("wersja.txt",
        "Orbita\r\n3.6.0.0\r\n" + address("orbita-3.6.0.zip").toStdString() + "\r\nsha256=" + package.digest
            + "\r\n");
    const QString saved = path("desktop/orbita-3.6.0.zip");
    ScriptedUiServices ui;
    ui.answerMessage(mrYes);
    ui.answerSaveFile(saved);
    ui.answerMessage(mrYes);
    ui.answerStart(true);
    TUpdateForm form;
    form.OwnVersion = "3.5.1.0";
    form.UpdateButtonClick();
    EXPECT_TRUE(ui.finished());
    ASSERT_EQ(ui.requests().size(), 5U);
    EXPECT_EQ(ui.requests()[0].caption, QStringLiteral("Wykryto nową wersję programu"));
    EXPECT_TRUE(ui.requests()[0].text.contains(QStringLiteral("\"Orbita\" 3.6.0. Jeśli")));
    EXPECT_TRUE(ui.requests()[1].text.endsWith(QStringLiteral("orbita-3.6.0.zip")));
    EXPECT_EQ(ui.requests()[2].caption, QStringLiteral("Pobranie zakończone"));
    const ScriptedUiServices::Request& start = ui.requests()[3];
    EXPECT_EQ(start.kind, Kind::Start);
    EXPECT_EQ(start.arguments, QStringList { QStringLiteral("/INSTALL") });
    EXPECT_EQ(start.caption, start.text + QStringLiteral("/orbita"));
    EXPECT_TRUE(start.text.startsWith(QString::fromStdString(TempFolder())));
    struct stat program { };
    ASSERT_EQ(::stat(start.caption.toUtf8().constData(), &program), 0);
    EXPECT_EQ(program.st_mode & 0777, 0755U);
    EXPECT_EQ(ui.requests()[4].kind, Kind::Quit);
    const FileRead stored = ReadRegularFile(saved.toStdString(), 1 << 20);
    EXPECT_EQ(stored.bytes, package.bytes);
    EXPECT_EQ(form.result(), mrOk);
}

TEST_F(UpdateForm, ASetupWithoutAMatchingDigestIsSavedButNeverStarted)
{
    const SetupPackage package = setupPackage();
    serve("orbita-3.6.0.zip", package.bytes);
    for (const std::string& digestLine : { std::string(), "sha256=" + std::string(64, '0') }) {
        serve("wersja.txt",
            "Orbita\r\n3.6.0.0\r\n" + address("orbita-3.6.0.zip").toStdString() + "\r\n" + digestLine);
        const QString saved = path("desktop/orbita-3.6.0.zip");
        QFile::remove(saved);
        ScriptedUiServices ui;
        ui.answerMessage(mrYes);
        ui.answerSaveFile(saved);
        ui.answerMessage(mrOk);
        TUpdateForm form;
        form.OwnVersion = "3.5.1.0";
        form.UpdateButtonClick();
        EXPECT_TRUE(ui.finished()) << digestLine;
        ASSERT_EQ(ui.requests().size(), 3U);
        EXPECT_EQ(ui.requests()[2].icon, MessageIcon::Warning);
        EXPECT_TRUE(ui.requests()[2].text.contains(saved)) << ui.requests()[2].text.toStdString();
        EXPECT_EQ(ReadRegularFile(saved.toStdString(), 1 << 20).bytes, package.bytes);
        EXPECT_EQ(form.Notebook->currentWidget(), form.Wybor);
    }
}

TEST_F(UpdateForm, KeysRunTheListMenuAndEscClosesOnlyWhenIdle)
{
    serve("skory.txt", "A.obs\r\nB.obs\r\nC.obs\r\n");
    place("KARNACJE/B.obs", "b");
    ScriptedUiServices ui;
    test::RecordingWindowOpener opener;
    TUpdateForm form;
    form.show();
    form.SkinButtonClick();
    ASSERT_EQ(
        itemsOf(form), (QStringList { QStringLiteral("-A"), QStringLiteral("~B"), QStringLiteral("-C") }));
    QTest::keyClick(form.ListBox, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(
        itemsOf(form), (QStringList { QStringLiteral("+A"), QStringLiteral("~B"), QStringLiteral("+C") }));
    QTest::keyClick(form.ListBox, Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(
        itemsOf(form), (QStringList { QStringLiteral("-A"), QStringLiteral("-B"), QStringLiteral("-C") }));
    QTest::keyClick(form.ListBox, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(
        itemsOf(form), (QStringList { QStringLiteral("+A"), QStringLiteral("+B"), QStringLiteral("+C") }));
    form.ListBox->setCurrentRow(0);
    QTest::keyClick(form.ListBox, Qt::Key_Space); // ticked → unticked → grey
    QTest::keyClick(form.ListBox, Qt::Key_Space);
    EXPECT_EQ(form.ListBox->item(0)->checkState(), Qt::PartiallyChecked);
    QTest::keyClick(form.ListBox, Qt::Key_F1);
    EXPECT_EQ(opener.calls, QStringList { QStringLiteral("help O_CENTRM") });

    // Nothing ticked: the reminder, and the page stays.
    form.UnselectMenuClick();
    ui.answerMessage(mrOk);
    form.DownloadButtonClick();
    ASSERT_EQ(ui.requests().size(), 1U);
    EXPECT_EQ(ui.requests()[0].caption, QStringLiteral("Nie zaznaczono składnika"));
    EXPECT_EQ(form.Notebook->currentWidget(), form.Skladnik);

    QTest::keyClick(form.ListBox, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), mrCancel);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(TempFolder()) + QStringLiteral("ORBLIST.TMP")));
}

} // namespace
} // namespace orbita
