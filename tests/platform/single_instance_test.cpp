#include "platform/shell_services.h"
#include "platform/single_instance.h"
#include "tests/platform/platform_test_environment.h"

#include <QCoreApplication>
#include <QFile>
#include <QHostInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <future>

namespace orbita {
namespace {

using SingleInstance = test::PlatformTest;

// Generous limits for the asking side: an answer ends the wait at once, and a
// slow machine under load must not run out of time.
constexpr int kAskMs = 30000;

// Runs `work` on another thread while this one keeps answering events, as the
// second process would while the first runs its message loop.
template <typename Work> auto whileServing(Work work)
{
    auto result = std::async(std::launch::async, work);
    while (result.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
        QCoreApplication::processEvents();
    return result.get();
}

TEST_F(SingleInstance, SecondHolderOfTheLockIsRefused)
{
    const QString lockFile = path("orbita.lock");
    auto first = std::make_unique<InstanceLock>(lockFile);
    EXPECT_FALSE(first->isAlreadyRunning());
    EXPECT_TRUE(first->holds());
    EXPECT_FALSE(first->isAlreadyRunning()); // asking again changes nothing
    InstanceLock second(lockFile);
    EXPECT_TRUE(second.isAlreadyRunning());
    EXPECT_FALSE(second.holds());
    first.reset();
    EXPECT_FALSE(second.isAlreadyRunning());
    EXPECT_TRUE(second.holds());
}

TEST_F(SingleInstance, LockOfADeadProcessDoesNotCount)
{
    QProcess gone;
    gone.start(QStringLiteral("true"), {});
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 pid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    QFile file(path("orbita.lock"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::number(pid) + "\norbita\n" + QHostInfo::localHostName().toUtf8() + "\n");
    file.close();
    InstanceLock lock(path("orbita.lock"));
    EXPECT_FALSE(lock.isAlreadyRunning());
    EXPECT_TRUE(lock.holds());
}

// Another process holds the lock until it is killed; then the lock is free.
TEST_F(SingleInstance, LockHeldByAnotherProcessUntilItIsKilled)
{
    QProcess holder;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ORBITA_TEST_HOLD_LOCK"), path("orbita.lock"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    holder.setProcessEnvironment(environment);
    holder.start(QString::fromStdString(ExecutablePath()),
        { QStringLiteral("--gtest_filter=SingleInstanceHelper.HoldLockUntilKilled") });
    ASSERT_TRUE(holder.waitForStarted());
    QByteArray output;
    // The helper prints LOCKED once it holds the lock, and ends by itself later.
    while (!output.contains("LOCKED") && holder.state() == QProcess::Running) {
        holder.waitForReadyRead(1000);
        output += holder.readAllStandardOutput();
    }
    ASSERT_TRUE(output.contains("LOCKED")) << output.toStdString();
    {
        InstanceLock lock(path("orbita.lock"));
        EXPECT_TRUE(lock.isAlreadyRunning());
    }
    holder.kill();
    holder.waitForFinished();
    InstanceLock lock(path("orbita.lock"));
    EXPECT_FALSE(lock.isAlreadyRunning());
}

TEST(SingleInstanceHelper, HoldLockUntilKilled)
{
    const QString lockFile = qEnvironmentVariable("ORBITA_TEST_HOLD_LOCK");
    if (lockFile.isEmpty())
        GTEST_SKIP() << "only run as the other process of LockHeldByAnotherProcessUntilItIsKilled";
    InstanceLock lock(lockFile);
    ASSERT_FALSE(lock.isAlreadyRunning());
    std::fputs("LOCKED\n", stdout);
    std::fflush(stdout);
    QThread::sleep(30);
}

TEST_F(SingleInstance, FirstInstanceAnswersAndRestores)
{
    const QString name = path("orbita.socket");
    bool hasWindow = false;
    int restored = 0;
    InstanceServer server(
        name, [&hasWindow] { return hasWindow; }, [&restored] { ++restored; });
    ASSERT_TRUE(server.listen());

    EXPECT_FALSE(whileServing([&name] { return AskForWindow(name, kAskMs); }));
    hasWindow = true;
    EXPECT_TRUE(whileServing([&name] { return AskForWindow(name, kAskMs); }));
    EXPECT_EQ(restored, 0);
    whileServing([&name] {
        SendRestore(name, kAskMs);
        return true;
    });
    // The answer is written before restore() runs; let the server finish.
    EXPECT_TRUE(QTest::qWaitFor([&restored] { return restored != 0; }, kAskMs));
    EXPECT_EQ(restored, 1);
}

TEST_F(SingleInstance, UnknownOrOverlongRequestsAreDropped)
{
    const QString name = path("orbita.socket");
    int restored = 0;
    InstanceServer server(
        name, [] { return true; }, [&restored] { ++restored; });
    ASSERT_TRUE(server.listen());
    for (const QByteArray& junk :
        { QByteArray("restore\n"), QByteArray("RESTORE NOW\n"), QByteArray(5000, 'R') }) {
        const QByteArray answer = whileServing([&name, &junk] {
            QLocalSocket socket;
            socket.connectToServer(name);
            if (!socket.waitForConnected(kAskMs))
                return QByteArray("not connected");
            socket.write(junk);
            socket.waitForBytesWritten(kAskMs);
            // The server closes the connection without a word.
            while (socket.state() != QLocalSocket::UnconnectedState && socket.waitForReadyRead(kAskMs))
                ;
            QByteArray received = socket.readAll();
            if (socket.state() != QLocalSocket::UnconnectedState)
                received += "(still connected)";
            return received;
        });
        EXPECT_TRUE(answer.isEmpty()) << answer.toStdString();
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(restored, 0);
}

TEST_F(SingleInstance, NobodyAnsweringMeansNoWindow)
{
    // Nobody listens: both return at once instead of waiting out their
    // (here hour-long) limit.
    const QString name = path("orbita.socket");
    EXPECT_FALSE(AskForWindow(name, 3600000));
    SendRestore(name, 3600000);

    // A socket file left by a dead instance does not stop the next one.
    QFile stale(name);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    InstanceServer server(
        name, [] { return true; }, [] {});
    ASSERT_TRUE(server.listen());
    EXPECT_TRUE(whileServing([&name] { return AskForWindow(name, kAskMs); }));
}

TEST_F(SingleInstance, ProcessWideFunctionsUseThePrivateFolder)
{
    // This process takes the per-user lock in its own temporary folder.
    EXPECT_FALSE(IsAlreadyRunning());
    EXPECT_TRUE(QFile::exists(QString::fromStdString(TempFolder()) + QStringLiteral("orbita.lock")));
    InstanceLock other(QString::fromStdString(TempFolder()) + QStringLiteral("orbita.lock"));
    EXPECT_TRUE(other.isAlreadyRunning());

    int restored = 0;
    ListenForInstances([] { return true; }, [&restored] { ++restored; });
    EXPECT_TRUE(whileServing([] { return AskFirstInstanceForWindow(kAskMs); }));
    whileServing([] {
        SendRestoreRequest(kAskMs);
        return true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&restored] { return restored != 0; }, kAskMs));
    EXPECT_EQ(restored, 1);
}

} // namespace
} // namespace orbita
