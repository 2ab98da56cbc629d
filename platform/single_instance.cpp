#include "platform/single_instance.h"

#include "platform/qt_text.h"
#include "platform/shell_services.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QTimer>
#include <stdexcept>

namespace orbita {
namespace {

constexpr qint64 kMaxLine = 64;
constexpr int kIdleMs = 5000;

// A file in the private temporary folder; "" when there is none.
QString privateFile(const char* name)
{
    try {
        return FromPath(TempFolder()) + QString::fromLatin1(name);
    } catch (const std::runtime_error&) {
        return {};
    }
}

QString lockPath()
{
    return privateFile("orbita.lock");
}

QString serverPath()
{
    return privateFile("orbita.socket");
}

// Sends one request line and gives the answer line ("" when none came in time).
QByteArray request(const QString& serverName, const QByteArray& line, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(static_cast<int>(deadline.remainingTime())))
        return {};
    socket.write(line + '\n');
    if (!socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime())))
        return {};
    while (!socket.canReadLine()) {
        if (deadline.hasExpired() || socket.bytesAvailable() > kMaxLine
            || !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            return {};
    }
    return socket.readLine(kMaxLine).trimmed();
}

} // namespace

InstanceLock::InstanceLock(const QString& lockFilePath)
    : m_lock(std::make_unique<QLockFile>(lockFilePath))
{
    m_lock->setStaleLockTime(0); // only a dead owner makes a lock stale
}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::isAlreadyRunning()
{
    if (m_held)
        return false;
    if (m_lock->tryLock(0)) {
        m_held = true;
        return false;
    }
    return m_lock->error() == QLockFile::LockFailedError;
}

InstanceServer::InstanceServer(const QString& serverName, std::function<bool()> hasMainWindow,
    std::function<void()> restore, QObject* parent)
    : QObject(parent)
    , m_name(serverName)
    , m_hasMainWindow(std::move(hasMainWindow))
    , m_restore(std::move(restore))
    , m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { answer(socket); });
            QTimer::singleShot(kIdleMs, socket, [socket] { socket->abort(); });
        }
    });
}

InstanceServer::~InstanceServer() = default;

bool InstanceServer::listen()
{
    QLocalServer::removeServer(m_name);
    return m_server->listen(m_name);
}

void InstanceServer::answer(QLocalSocket* socket)
{
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxLine)
            socket->abort();
        return;
    }
    const QByteArray line = socket->readLine(kMaxLine).trimmed();
    bool restore = false;
    if (line == "WINDOW?") {
        socket->write(m_hasMainWindow && m_hasMainWindow() ? "YES\n" : "NO\n");
    } else if (line == "RESTORE") {
        socket->write("OK\n");
        restore = true;
    } else {
        socket->abort();
        return;
    }
    socket->flush();
    socket->disconnectFromServer();
    if (restore && m_restore)
        m_restore();
}

bool AskForWindow(const QString& serverName, int timeoutMs)
{
    return request(serverName, "WINDOW?", timeoutMs) == "YES";
}

void SendRestore(const QString& serverName, int timeoutMs)
{
    request(serverName, "RESTORE", timeoutMs);
}

bool IsAlreadyRunning()
{
    // Held until the process ends; released at a normal exit, and a lock
    // left by a process that was killed counts as stale.
    static std::unique_ptr<InstanceLock> lock;
    if (!lock) {
        const QString path = lockPath();
        if (path.isEmpty())
            return false; // nowhere private to keep a lock: run
        lock = std::make_unique<InstanceLock>(path);
    }
    return lock->isAlreadyRunning();
}

void ListenForInstances(std::function<bool()> hasMainWindow, std::function<void()> restore)
{
    static QPointer<InstanceServer> server;
    if (server || !QCoreApplication::instance() || serverPath().isEmpty())
        return;
    server = new InstanceServer(
        serverPath(), std::move(hasMainWindow), std::move(restore), QCoreApplication::instance());
    if (!server->listen())
        qWarning("orbita: cannot answer other instances on %s", qPrintable(serverPath()));
}

bool AskFirstInstanceForWindow(int timeoutMs)
{
    const QString path = serverPath();
    return !path.isEmpty() && AskForWindow(path, timeoutMs);
}

void SendRestoreRequest(int timeoutMs)
{
    if (const QString path = serverPath(); !path.isEmpty())
        SendRestore(path, timeoutMs);
}

} // namespace orbita
