#include "net/http_get.h"
#include "windows/main/tool_windows.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace orbita {
namespace {

using namespace std::chrono_literals;

// What a component reported.
struct Events {
    int done = 0;
    int errors = 0;
    std::string fileName;
    std::int64_t fileSize = -1;
    std::string text;
    int progress = 0;
    std::int64_t lastTotal = -1;
    std::int64_t lastReceived = -1;
    bool progressInOrder = true;

    void attach(THTTPGet& get)
    {
        get.OnDoneFile = [this](THTTPGet&, const std::string& name, std::int64_t size) {
            ++done;
            fileName = name;
            fileSize = size;
        };
        get.OnDoneString = [this](THTTPGet&, const std::string& result) {
            ++done;
            text = result;
        };
        get.OnError = [this](THTTPGet&) { ++errors; };
        get.OnProgress = [this](THTTPGet&, std::int64_t total, std::int64_t received) {
            progressInOrder = progressInOrder && received > lastReceived;
            ++progress;
            lastTotal = total;
            lastReceived = received;
        };
    }
    int finished() const { return done + errors; }
};

// The bytes the test server sends for a body of `size` bytes.
QByteArray bodyOf(int size)
{
    QByteArray body;
    for (int i = 0; i < size; ++i)
        body.append(static_cast<char>(i % 256));
    return body;
}

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A loopback server of tests/net/http_test_server.py for each test; with a
// certificate it also serves https.
class HttpGetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Nothing goes to a proxy: every address is 127.0.0.1.
        qputenv("no_proxy", "*");
        qputenv("NO_PROXY", "*");
        ASSERT_TRUE(m_dir.isValid());
    }

    void TearDown() override
    {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.closeWriteChannel();
            if (!m_server.waitForFinished(5000))
                m_server.kill();
            m_server.waitForFinished(5000);
        }
        // No worker of this test outlives it.
        EXPECT_TRUE(WaitForTransfersToEnd(30s));
        QCoreApplication::processEvents();
    }

    void startServer(const QStringList& extra = {})
    {
        const QString script = QStringLiteral(ORBITA_SOURCE_DIR "/tests/net/http_test_server.py");
        m_server.start(QStringLiteral("python3"), QStringList { script } + extra);
        ASSERT_TRUE(m_server.waitForStarted(10000));
        ASSERT_TRUE(m_server.waitForReadyRead(20000)) << m_server.readAllStandardError().toStdString();
        const QList<QByteArray> words = m_server.readLine().trimmed().split(' ');
        ASSERT_EQ(words.size(), 3);
        m_httpPort = words[1].toInt();
        m_httpsPort = words[2].toInt();
        ASSERT_GT(m_httpPort, 0);
    }

    std::string http(const char* path) const
    {
        return "http://127.0.0.1:" + std::to_string(m_httpPort) + path;
    }
    std::string https(const char* path) const
    {
        return "https://127.0.0.1:" + std::to_string(m_httpsPort) + path;
    }
    QString path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }

    // Runs one transfer to its end.
    static void run(THTTPGet& get, bool toFile)
    {
        if (toFile) {
            get.WaitThread = true;
            get.DownloadToFile();
        } else {
            get.DownloadToString();
        }
        ASSERT_TRUE(QTest::qWaitFor([&get] { return !get.Running(); }, 30000)) << "transfer never ended";
    }

    QTemporaryDir m_dir;
    QProcess m_server;
    int m_httpPort = 0;
    int m_httpsPort = 0;
};

TEST_F(HttpGetTest, TransfersEndAsTheirAnswersDeserve)
{
    constexpr int kPrefix = -2; // the file holds what arrived up to the cap
    startServer();
    const struct {
        const char* path;
        bool toFile;
        bool binaryData;
        std::int64_t cap; // 0: the program's
        bool success;
        std::int64_t reportedSize; // OnDoneFile's size
        int bytesInFile; // -1: the old contents stay
    } rows[] = {
        { "/file/5000", true, true, 0, true, 5000, 5000 },
        { "/file/0", true, true, 0, true, 0, 0 },
        { "/file/3000000", true, true, 0, true, 3000000, 3000000 }, // the last event tells every byte
        { "/nolength/3000", true, false, 0, true, 0, 3000 }, // done with what arrived
        { "/nolength/3000", true, true, 0, false, 0, -1 },
        { "/status/404", true, false, 0, false, 0, -1 }, // the error page is not saved
        { "/status/500", true, false, 0, false, 0, -1 },
        { "/redirect/5", true, true, 0, true, 100, 100 },
        { "/redirect/6", true, true, 0, false, 0, -1 },
        { "/loop", true, false, 0, false, 0, -1 }, // ends at the redirect limit
        { "/tofile", true, false, 0, false, 0, -1 },
        { "/length/abc/300", true, false, 0, true, 0, 300 }, // garbage length: none
        { "/length/abc/300", true, true, 0, false, 0, -1 },
        { "/length/99999999999999999999/300", true, false, 0, true, 0, 300 },
        { "/length/300/300", true, true, 200, false, 0, -1 }, // announced above the cap
        { "/nolength/300000", true, false, 100000, false, 0, kPrefix }, // grows above the cap
        { "/length/6000000000/10", true, false, 0, false, 0, -1 }, // 64-bit length, short body
        { "/drop", true, true, 0, false, 0, 100 },
        { "/file/700", false, false, 0, true, 0, -1 },
        { "/file/0", false, false, 0, false, 0, -1 }, // an empty string fails
        { "/status/500", false, false, 0, false, 0, -1 },
        { "/nolength/10", false, true, 0, false, 0, -1 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.path) + (row.toFile ? " to a file" : " to a string")
            + (row.binaryData ? ", binary" : ""));
        const QString target = path("target");
        {
            QFile old(target);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("old");
        }
        THTTPGet get;
        Events events;
        events.attach(get);
        get.TargetUrl = http(row.path);
        get.FileName = target.toStdString();
        get.BinaryData = row.binaryData;
        if (row.cap != 0)
            get.Limits.maxBytes = row.cap;
        run(get, row.toFile);
        EXPECT_EQ(events.done, row.success ? 1 : 0);
        EXPECT_EQ(events.errors, row.success ? 0 : 1);
        EXPECT_EQ(get.Succeeded(), row.success);
        EXPECT_EQ(get.LastError().empty(), row.success) << get.LastError();
        if (row.toFile && row.success) {
            EXPECT_EQ(events.fileName, target.toStdString());
            EXPECT_EQ(events.fileSize, row.reportedSize);
        }
        if (!row.toFile && row.success) {
            EXPECT_EQ(QByteArray::fromStdString(events.text), bodyOf(700));
        }
        if (row.bytesInFile == kPrefix) {
            const QByteArray partial = contentsOf(target);
            EXPECT_LE(partial.size(), row.cap);
            EXPECT_EQ(partial, bodyOf(row.cap).left(partial.size()));
        } else if (row.toFile) {
            const QByteArray expected = row.bytesInFile < 0 ? QByteArray("old") : bodyOf(row.bytesInFile);
            EXPECT_EQ(contentsOf(target), expected);
        }
        if (row.success && row.bytesInFile > 0) {
            EXPECT_TRUE(events.progressInOrder);
            EXPECT_EQ(events.lastReceived, row.bytesInFile);
            EXPECT_EQ(events.lastTotal, row.reportedSize);
        }
    }
}

TEST_F(HttpGetTest, RequestCarriesTheSettings)
{
    startServer();
    THTTPGet get;
    Events events;
    events.attach(get);
    get.TargetUrl = http("/echo");
    get.Agent = "Orbita";
    get.AcceptTypes = "text/plain";
    get.Referer = "http://127.0.0.1/here";
    get.UserName = "uczen";
    get.Password = "tajne";
    get.PostQuery = "akcja=orbita&x=1";
    run(get, false);
    ASSERT_EQ(events.done, 1) << get.LastError();
    EXPECT_EQ(events.text,
        "method=POST\nAccept=text/plain\nUser-Agent=Orbita\nCache-Control=no-cache\nPragma=no-cache\n"
        "Referer=http://127.0.0.1/here\nAuthorization=Basic dWN6ZW46dGFqbmU=\n"
        "Content-Type=application/x-www-form-urlencoded\nbody=akcja=orbita&x=1");

    get.Agent.clear();
    get.UseCache = true;
    get.Referer.clear();
    get.UserName.clear();
    get.Password.clear();
    get.PostQuery.clear();
    get.AcceptTypes = "*/*";
    run(get, false);
    ASSERT_EQ(events.done, 2);
    EXPECT_EQ(events.text,
        "method=GET\nAccept=*/*\nUser-Agent=\nCache-Control=\nPragma=\nReferer=\nAuthorization=\n"
        "Content-Type=\nbody=");
}

TEST_F(HttpGetTest, UnreachableStalledAndUnwritableTransfersFail)
{
    startServer();
    const struct {
        std::string address;
        QString target;
        int bytesInFile; // -1: no file
    } rows[] = {
        { http("/stall"), path("stalled"), 10 }, // no data past the (short) limit
        { http("/file/10"), path("no-such-folder/target"), -1 }, // the file cannot be created
        { "file:///etc/hostname", path("local"), -1 },
        { "127.0.0.1/file/10", path("no-scheme"), -1 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.address);
        THTTPGet get;
        Events events;
        events.attach(get);
        get.Limits.stallSeconds = 1;
        get.TargetUrl = row.address;
        get.FileName = row.target.toStdString();
        run(get, true);
        EXPECT_EQ(events.errors, 1);
        EXPECT_EQ(events.done, 0);
        if (row.bytesInFile < 0) {
            EXPECT_FALSE(QFile::exists(row.target));
        } else {
            EXPECT_EQ(contentsOf(row.target), bodyOf(row.bytesInFile));
        }
    }
}

TEST_F(HttpGetTest, CancelDuringReadingKeepsThePartialFile)
{
    startServer();
    THTTPGet get;
    Events events;
    events.attach(get);
    get.OnProgress = [&events](THTTPGet& sender, std::int64_t, std::int64_t received) {
        ++events.progress;
        events.lastReceived = received;
        if (received >= 10 * 1024)
            sender.Cancel(); // from the synchronous progress handler
    };
    get.TargetUrl = http("/endless");
    get.FileName = path("partial").toStdString();
    run(get, true);
    EXPECT_EQ(events.errors, 1);
    EXPECT_EQ(events.done, 0);
    EXPECT_FALSE(get.Succeeded());
    const QByteArray partial = contentsOf(path("partial"));
    EXPECT_GE(partial.size(), 10 * 1024);
    EXPECT_EQ(partial, bodyOf(1024 * 1024).left(partial.size()));
}

// DownloadToFile with WaitThread runs the events of the window (here: a
// timer that presses "cancel") and returns only after the completion event.
TEST_F(HttpGetTest, WaitingPumpsEventsAndReturnsAfterCompletion)
{
    startServer();
    THTTPGet get;
    Events events;
    events.attach(get);
    get.TargetUrl = http("/endless");
    get.FileName = path("waited").toStdString();
    get.WaitThread = true;
    bool cancelled = false;
    QTimer::singleShot(100, &get, [&] {
        EXPECT_TRUE(get.Running());
        get.DownloadToFile(); // ignored: one transfer at a time
        get.DownloadToString();
        get.Cancel();
        cancelled = true;
    });
    get.DownloadToFile();
    EXPECT_TRUE(cancelled);
    EXPECT_FALSE(get.Running());
    EXPECT_EQ(events.errors, 1); // the completion ran before the call returned
    EXPECT_EQ(events.done, 0);

    // A string transfer does not wait, even with WaitThread.
    get.TargetUrl = http("/endless");
    get.DownloadToString();
    EXPECT_TRUE(get.Running());
    get.Cancel();
    ASSERT_TRUE(QTest::qWaitFor([&get] { return !get.Running(); }, 30000));
    EXPECT_EQ(events.errors, 2);
}

TEST_F(HttpGetTest, DestroyingTheComponentWhileRunningIsSafe)
{
    startServer();
    Events events;
    int handlerRuns = 0;
    // Destroyed from inside its own progress handler, while the worker waits
    // for that handler.
    {
        QPointer<THTTPGet> get = new THTTPGet;
        events.attach(*get);
        get->OnProgress = [&handlerRuns](THTTPGet& sender, std::int64_t, std::int64_t) {
            ++handlerRuns;
            delete &sender;
        };
        get->TargetUrl = http("/endless");
        get->FileName = path("a").toStdString();
        get->DownloadToFile();
        ASSERT_TRUE(QTest::qWaitFor([&get] { return get.isNull(); }, 30000));
    }
    // Destroyed by an event while DownloadToFile waits.
    {
        QPointer<THTTPGet> get = new THTTPGet;
        events.attach(*get);
        get->TargetUrl = http("/endless");
        get->FileName = path("b").toStdString();
        get->WaitThread = true;
        QTimer::singleShot(100, [get] { delete get.data(); });
        get->DownloadToFile(); // returns although no completion event comes
        EXPECT_TRUE(get.isNull());
    }
    // Destroyed right after the start, before the worker has done anything.
    {
        auto* get = new THTTPGet;
        events.attach(*get);
        get->TargetUrl = http("/file/100000");
        get->DownloadToString();
        delete get;
    }
    ASSERT_TRUE(WaitForTransfersToEnd(30s));
    QCoreApplication::processEvents(); // the workers' completions, for no one
    EXPECT_EQ(events.finished(), 0);
    EXPECT_EQ(handlerRuns, 1);
}

// At exit every transfer is cancelled, also one whose worker waits in the
// progress hand-over while the user-interface thread waits for the exit.
TEST_F(HttpGetTest, ExitCancelsRunningTransfers)
{
    startServer();
    THTTPGet first;
    THTTPGet second;
    Events events;
    events.attach(first);
    events.attach(second);
    first.TargetUrl = http("/endless");
    second.TargetUrl = http("/stall");
    first.DownloadToString();
    second.DownloadToString();
    ASSERT_TRUE(QTest::qWaitFor([&events] { return events.progress > 0; }, 30000));
    EXPECT_TRUE(ShutdownTransfers(20s)); // no event runs meanwhile
    EXPECT_FALSE(first.Running() && second.Running() && events.finished() > 0);

    // After the exit began, a new transfer fails at once.
    THTTPGet late;
    Events lateEvents;
    lateEvents.attach(late);
    late.TargetUrl = http("/file/10");
    late.DownloadToString();
    ASSERT_TRUE(QTest::qWaitFor([&late] { return !late.Running(); }, 30000));
    EXPECT_EQ(lateEvents.errors, 1);
    ReopenTransfers();
}

// The main and launcher windows' start notification reaches the configured
// update service once, as a plain GET, and nobody waits for it.
TEST_F(HttpGetTest, StartNotificationGoesToTheUpdateService)
{
    startServer();
    const QByteArray before = qgetenv("ORBITA_UPDATE_URL");
    qputenv("ORBITA_UPDATE_URL", QByteArray::fromStdString(http("/support_orb3")));
    THTTPGet* get = NewHttpGetFile(nullptr);
    const std::string address = SendStartNotification(*get);
    qputenv("ORBITA_UPDATE_URL", before);
    EXPECT_EQ(address, http("/support_orb3?akcja=orbita&operacja=uruchomienie"));
    EXPECT_TRUE(get->Running()); // not waited for
    ASSERT_TRUE(QTest::qWaitFor([get] { return !get->Running(); }, 30000));
    delete get;
    QByteArray requests;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            requests += m_server.readAllStandardOutput();
            return requests.contains("REQUEST");
        },
        30000));
    EXPECT_EQ(requests.count("REQUEST"), 1);
    EXPECT_TRUE(requests.contains("REQUEST GET /support_orb3?akcja=orbita&operacja=uruchomienie Orbita\n"))
        << requests.toStdString();
}

class HttpsGetTest : public HttpGetTest {
protected:
    void SetUp() override
    {
        HttpGetTest::SetUp();
        if (QStandardPaths::findExecutable(QStringLiteral("openssl")).isEmpty())
            GTEST_SKIP() << "openssl is not installed: no certificate for the https server";
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"),
            { QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-days"),
                QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1"),
                QStringLiteral("-keyout"), path("key.pem"), QStringLiteral("-out"), path("cert.pem") });
        ASSERT_TRUE(openssl.waitForFinished(60000));
        ASSERT_EQ(openssl.exitCode(), 0) << openssl.readAllStandardError().toStdString();
        startServer({ QStringLiteral("--cert"), path("cert.pem"), QStringLiteral("--key"), path("key.pem") });
        ASSERT_GT(m_httpsPort, 0);
    }
};

TEST_F(HttpsGetTest, CertificatesAreCheckedAndHttpsNeverFallsBackToHttp)
{
    const struct {
        const char* path;
        bool trusted;
        bool success;
    } rows[] = {
        { "/file/100", false, false }, // a self-signed certificate is refused
        { "/file/100", true, true }, { "/redirect/2", true, true },
        { "/tohttp", true, false }, // https → http
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path + std::string(row.trusted ? ", trusted" : ""));
        THTTPGet get;
        Events events;
        events.attach(get);
        get.TargetUrl = https(row.path);
        get.FileName = path("secure").toStdString();
        if (row.trusted)
            get.CaBundle = path("cert.pem").toStdString();
        run(get, true);
        EXPECT_EQ(events.done, row.success ? 1 : 0) << get.LastError();
        EXPECT_EQ(events.errors, row.success ? 0 : 1);
    }
    // The same redirect over http is allowed: the refusal is about https.
    THTTPGet get;
    Events events;
    events.attach(get);
    get.TargetUrl = http("/tohttp");
    run(get, false);
    EXPECT_EQ(events.done, 1) << get.LastError();
}

} // namespace
} // namespace orbita
