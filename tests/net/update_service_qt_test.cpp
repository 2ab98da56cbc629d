// THTTPGet against the real update service: nginx started by
// `orbita-tool service serve` over a folder that `service publish` made from
// the built program folder. Skipped when nginx or the content is missing.

#include "net/http_get.h"
#include "windows/main/tool_windows.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace orbita {
namespace {

using namespace std::chrono_literals;

// A port of 127.0.0.1 that nobody listens on right now (0 when none).
int FreeLoopbackPort()
{
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (probe >= 0 && ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
        && ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    if (probe >= 0)
        ::close(probe);
    return port;
}

bool Accepts(int port)
{
    const int client = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool connected = ::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(client);
    return connected;
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

class UpdateServiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
#ifndef ORBITA_CONTENT_BUILT
        GTEST_SKIP() << "the program folder's packages are not built";
#endif
        if (QStandardPaths::findExecutable(
                QStringLiteral("nginx"), { QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin") })
                .isEmpty())
            GTEST_SKIP() << "nginx is not installed: the update service is not tested";
        qputenv("no_proxy", "*");
        ASSERT_TRUE(m_dir.isValid());
        // Started as root, nginx's workers read the folder as "nobody".
        QFile::setPermissions(m_dir.path(),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        QProcess publish;
        publish.start(QStringLiteral(ORBITA_TOOL),
            { QStringLiteral("service"), QStringLiteral("publish"), folder(), QStringLiteral("--from"),
                QStringLiteral(ORBITA_PROGRAM_DIR) });
        ASSERT_TRUE(publish.waitForFinished(60000));
        ASSERT_EQ(publish.exitCode(), 0) << publish.readAllStandardError().toStdString();

        m_port = FreeLoopbackPort();
        ASSERT_GT(m_port, 0);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("ORBITA_SERVICE_RUNDIR"), m_dir.filePath(QStringLiteral("run")));
        m_server.setProcessEnvironment(environment);
        m_server.start(QStringLiteral(ORBITA_TOOL),
            { QStringLiteral("service"), QStringLiteral("serve"), folder(), QStringLiteral("--port"),
                QString::number(m_port) });
        ASSERT_TRUE(m_server.waitForStarted(10000));
        ASSERT_TRUE(QTest::qWaitFor(
            [this] { return m_server.state() != QProcess::Running || Accepts(m_port); }, 30000));
        ASSERT_EQ(m_server.state(), QProcess::Running) << m_server.readAllStandardError().toStdString();
    }

    void TearDown() override
    {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            if (!m_server.waitForFinished(10000))
                m_server.kill();
            m_server.waitForFinished(5000);
        }
        EXPECT_TRUE(WaitForTransfersToEnd(30s));
        QCoreApplication::processEvents();
    }

    QString folder() const
    {
        return m_dir.filePath(QStringLiteral("published"));
    }
    std::string base() const
    {
        return "http://127.0.0.1:" + std::to_string(m_port) + "/support_orb3";
    }

    QTemporaryDir m_dir;
    QProcess m_server;
    int m_port = 0;
};

TEST_F(UpdateServiceTest, ListsPackagesAndRefusalsReachTheComponent)
{
    THTTPGet get;
    get.Agent = "Orbita";
    int done = 0, errors = 0;
    std::string text;
    std::int64_t doneSize = -1, lastTotal = -1, lastReceived = -1;
    get.OnDoneString = [&](THTTPGet&, const std::string& result) { ++done, text = result; };
    get.OnDoneFile = [&](THTTPGet&, const std::string&, std::int64_t size) { ++done, doneSize = size; };
    get.OnError = [&](THTTPGet&) { ++errors; };
    get.OnProgress = [&](THTTPGet&, std::int64_t total, std::int64_t received) {
        lastTotal = total;
        lastReceived = received;
    };
    get.WaitThread = true;

    // The test list, as the update centre asks for it: a length is required.
    get.BinaryData = true;
    get.TargetUrl = base() + "?akcja=orbita&operacja=pokaz&parametr=testy";
    get.FileName = m_dir.filePath(QStringLiteral("ORBLIST.TMP")).toStdString();
    get.DownloadToFile();
    ASSERT_EQ(done, 1) << get.LastError();
    const QByteArray list = Contents(m_dir.filePath(QStringLiteral("ORBLIST.TMP")));
    EXPECT_EQ(list, Contents(folder() + QStringLiteral("/testy.txt")));
    const QList<QByteArray> names = list.trimmed().split('\n');
    ASSERT_FALSE(names.isEmpty());

    // Every listed test package arrives whole, with its progress.
    get.BinaryData = false;
    for (const QByteArray& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString target = m_dir.filePath(QStringLiteral("ORBFILE.TMP"));
        get.TargetUrl = base() + "?akcja=orbita&operacja=pobierz_test&parametr=" + name.toStdString();
        get.FileName = target.toStdString();
        const int before = done;
        get.DownloadToFile();
        ASSERT_EQ(done, before + 1) << get.LastError();
        const QByteArray original
            = Contents(QStringLiteral(ORBITA_PROGRAM_DIR "/TESTY/") + QString::fromLatin1(name));
        EXPECT_EQ(Contents(target), original);
        EXPECT_EQ(doneSize, original.size());
        EXPECT_EQ(lastTotal, original.size());
        EXPECT_EQ(lastReceived, original.size());
    }

    // A name outside the rule is a 404: the transfer fails and the target
    // file is not created.
    for (const char* parameter : { "..%2ftesty.txt", "../testy.txt", "Nie%20ma.obt" }) {
        SCOPED_TRACE(parameter);
        const QString target = m_dir.filePath(QStringLiteral("refused"));
        get.TargetUrl = base() + "?akcja=orbita&operacja=pobierz_test&parametr=" + parameter;
        get.FileName = target.toStdString();
        const int before = errors;
        get.DownloadToFile();
        EXPECT_EQ(errors, before + 1);
        EXPECT_FALSE(QFile::exists(target));
    }
}

// The start notification of the main and launcher windows reaches the
// service's own count, once per start.
TEST_F(UpdateServiceTest, StartNotificationIsCountedOnce)
{
    const QByteArray before = qgetenv("ORBITA_UPDATE_URL");
    qputenv("ORBITA_UPDATE_URL", QByteArray::fromStdString(base()));
    THTTPGet* get = NewHttpGetFile(nullptr);
    SendStartNotification(*get);
    qputenv("ORBITA_UPDATE_URL", before);
    ASSERT_TRUE(QTest::qWaitFor([get] { return !get->Running(); }, 30000));
    delete get;
    const QString starts = m_dir.filePath(QStringLiteral("run/starts.log"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Contents(starts).count('\n') >= 1; }, 10000));
    const QByteArray log = Contents(starts);
    EXPECT_EQ(log.count('\n'), 1) << log.toStdString();
    EXPECT_TRUE(
        log.contains("GET /support_orb3?akcja=orbita&operacja=uruchomienie HTTP/1.0\" 204 0 \"Orbita\""))
        << log.toStdString();
}

} // namespace
} // namespace orbita
