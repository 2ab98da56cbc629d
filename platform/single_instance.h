#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

namespace orbita {

// The program runs once per user. The first instance holds a lock file in the
// private temporary folder for the life of its process (a lock left by a
// process that died does not count) and answers on a local socket beside it;
// a second instance asks it whether it shows its main window and asks it to
// bring that window forward.

// True when another live instance holds the lock; otherwise this process now
// holds it until it ends.
bool IsAlreadyRunning();
// First instance: answers the requests of later ones. `hasMainWindow` tells
// whether the launcher or the table window ("Orbita") exists; `restore` shows
// it normal, raises and activates it.
void ListenForInstances(std::function<bool()> hasMainWindow, std::function<void()> restore);
// Second instance: true when the first answered that it has its main window.
bool AskFirstInstanceForWindow(int timeoutMs = 2000);
// Second instance: asks the first to restore its main window.
void SendRestoreRequest(int timeoutMs = 2000);

// The lock behind IsAlreadyRunning, for any lock-file path.
class InstanceLock final {
public:
    explicit InstanceLock(const QString& lockFilePath);
    ~InstanceLock();
    Q_DISABLE_COPY_MOVE(InstanceLock)

    // True when another live process (or another InstanceLock) holds the
    // lock; otherwise takes it (once taken, later calls give false). A lock
    // that cannot be checked at all (no such folder) counts as free.
    bool isAlreadyRunning();
    bool holds() const { return m_held; }

private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_held = false;
};

// The answering side, for any socket name or path. One request per
// connection, one line each way: "WINDOW?" gives "YES" or "NO"; "RESTORE"
// gives "OK" and then calls restore(). Anything else closes the connection.
class InstanceServer final : public QObject {
    Q_OBJECT

public:
    InstanceServer(const QString& serverName, std::function<bool()> hasMainWindow,
        std::function<void()> restore, QObject* parent = nullptr);
    ~InstanceServer() override;
    Q_DISABLE_COPY_MOVE(InstanceServer)

    // Removes a socket left behind by a dead instance, then listens (only the
    // holder of the lock may call this). False when listening failed.
    bool listen();

private:
    void answer(QLocalSocket* socket);

    QString m_name;
    std::function<bool()> m_hasMainWindow;
    std::function<void()> m_restore;
    QLocalServer* m_server = nullptr;
};

// The asking side (blocking, usable without an event loop).
bool AskForWindow(const QString& serverName, int timeoutMs);
void SendRestore(const QString& serverName, int timeoutMs);

} // namespace orbita
