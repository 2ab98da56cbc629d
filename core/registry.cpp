#include "core/registry.h"

#include "core/cp1250.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <optional>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace orbita {
namespace {

// Layout of registry.db.
//
// key:   one row per key. `path` is the whole key path below its hive, folded
//        to lower case ("software\orbita\administrator"); it identifies the
//        key. `name` is the last path component as first written. The three
//        hive roots are the rows with the empty path. Because children share
//        their parent's path as a prefix, ordering by path orders the
//        sub-keys of one parent by their folded names.
// value: one row per value. `fold` is the lower-cased name, `name` the name as
//        first written. The rowid only grows (a new row gets max+1), so rowid
//        order is first-write order: an overwrite updates the row in place,
//        a delete and rewrite makes a new row at the end.
// Names, paths and strings are BLOBs so that comparisons are plain byte
// comparisons of Windows-1250 text.
constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS key(
  id INTEGER PRIMARY KEY,
  hive INTEGER NOT NULL,
  path BLOB NOT NULL,
  name BLOB NOT NULL,
  parent INTEGER,
  UNIQUE(hive, path));
CREATE INDEX IF NOT EXISTS key_children ON key(parent, path);
CREATE TABLE IF NOT EXISTS value(
  id INTEGER PRIMARY KEY,
  key INTEGER NOT NULL,
  fold BLOB NOT NULL,
  name BLOB NOT NULL,
  type INTEGER NOT NULL,
  data,
  UNIQUE(key, fold));
INSERT OR IGNORE INTO key(id, hive, path, name, parent) VALUES
  (1, 0, x'', x'', NULL), (2, 1, x'', x'', NULL), (3, 2, x'', x'', NULL);
)sql";

// "ORBR": marks a database as this store's.
constexpr int kApplicationId = 0x4F524252;
constexpr int kSchemaVersion = 1;

constexpr int kTypeString = 1; // REG_SZ
constexpr int kTypeInteger = 4; // REG_DWORD

constexpr int kBusyTimeoutMs = 10000;

enum Statement {
    FindKey,
    ReadValue,
    UpsertValue,
    InsertKey,
    DeleteValue,
    DeleteKeyValues,
    DeleteKeys,
    SubKeys,
    ValueNames,
    Begin,
    Commit,
    Rollback,
    StatementCount
};

constexpr std::array<const char*, StatementCount> kStatements = {
    "SELECT id FROM key WHERE hive=?1 AND path=?2",
    "SELECT v.type, v.data FROM value v JOIN key k ON v.key=k.id WHERE k.hive=?1 AND k.path=?2 AND v.fold=?3",
    "INSERT INTO value(key, fold, name, type, data) VALUES(?1, ?2, ?3, ?4, ?5) "
    "ON CONFLICT(key, fold) DO UPDATE SET type=excluded.type, data=excluded.data",
    "INSERT OR IGNORE INTO key(hive, path, name, parent) VALUES(?1, ?2, ?3, ?4)",
    "DELETE FROM value WHERE fold=?3 AND key=(SELECT id FROM key WHERE hive=?1 AND path=?2)",
    "DELETE FROM value WHERE key IN (SELECT id FROM key WHERE hive=?1 AND (path=?2 OR (path>=?3 AND "
    "path<?4)))",
    "DELETE FROM key WHERE hive=?1 AND (path=?2 OR (path>=?3 AND path<?4))",
    "SELECT c.name FROM key c JOIN key p ON c.parent=p.id WHERE p.hive=?1 AND p.path=?2 ORDER BY c.path",
    "SELECT v.name FROM value v JOIN key k ON v.key=k.id WHERE k.hive=?1 AND k.path=?2 ORDER BY v.id",
    "BEGIN IMMEDIATE",
    "COMMIT",
    "ROLLBACK",
};

// A key path split into components as written, and its folded form.
struct KeyPath {
    std::vector<std::string_view> parts;
    std::string folded;
};

bool hasControlCharacter(std::string_view name)
{
    return std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

// Leading and trailing "\" are dropped; the empty path is the hive root. An
// empty component inside the path ("a\\b"), a component that is too long or
// holds a control character, or a path deeper than kMaxRegKeyDepth makes the
// path invalid.
std::optional<KeyPath> parseKeyPath(std::string_view key)
{
    while (!key.empty() && key.front() == '\\')
        key.remove_prefix(1);
    while (!key.empty() && key.back() == '\\')
        key.remove_suffix(1);
    KeyPath path;
    path.folded = Cp1250LowerText(key);
    while (!key.empty()) {
        const auto slash = key.find('\\');
        const auto part = key.substr(0, slash);
        if (part.empty() || part.size() > kMaxRegKeyNameLength || hasControlCharacter(part)
            || path.parts.size() == kMaxRegKeyDepth)
            return std::nullopt;
        path.parts.push_back(part);
        if (slash == std::string_view::npos)
            break;
        key.remove_prefix(slash + 1);
    }
    return path;
}

int hiveNumber(Hive hive)
{
    return static_cast<int>(hive);
}

std::string envOrEmpty(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

// Creates every missing folder of `path` (mode 0700). True when it exists.
bool makeFolders(const std::string& path)
{
    if (path.empty())
        return false;
    for (std::size_t i = 1; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/') {
            const std::string prefix = path.substr(0, i);
            if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST)
                return false;
        }
    }
    struct stat st { };
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string folderPath()
{
    std::string folder = envOrEmpty("ORBITA_CONFIG_DIR");
    if (!folder.empty())
        return folder;
    folder = envOrEmpty("XDG_CONFIG_HOME");
    if (folder.empty() || folder.front() != '/') {
        const std::string home = envOrEmpty("HOME");
        if (home.empty())
            return {};
        folder = home + "/.config";
    }
    return folder + "/orbita";
}

std::string timeStamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

bool isCorruption(int rc)
{
    const int primary = rc & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

// Binds bytes as a BLOB; an empty view binds the empty BLOB, never NULL.
void bindBytes(sqlite3_stmt* stmt, int index, std::string_view bytes)
{
    sqlite3_bind_blob64(stmt, index, bytes.empty() ? "" : bytes.data(), bytes.size(), SQLITE_TRANSIENT);
}

std::string columnBytes(sqlite3_stmt* stmt, int column)
{
    const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt, column));
    const int size = sqlite3_column_bytes(stmt, column);
    return data ? std::string(data, static_cast<std::size_t>(size)) : std::string();
}

// Resets a statement when it leaves scope, so no statement keeps a read
// transaction open between operations.
class Reset {
public:
    explicit Reset(sqlite3_stmt* stmt)
        : m_stmt(stmt)
    {
    }
    ~Reset()
    {
        if (m_stmt) {
            sqlite3_reset(m_stmt);
            sqlite3_clear_bindings(m_stmt);
        }
    }
    Reset(const Reset&) = delete;
    Reset& operator=(const Reset&) = delete;

private:
    sqlite3_stmt* m_stmt;
};

// One open registry.db with its prepared statements, owned by one thread.
class Connection {
public:
    Connection(sqlite3* db, std::string path, dev_t device, ino_t inode, bool readOnly)
        : m_db(db)
        , m_path(std::move(path))
        , m_device(device)
        , m_inode(inode)
        , m_pid(::getpid())
        , m_readOnly(readOnly)
    {
    }
    ~Connection()
    {
        for (auto* stmt : m_statements)
            sqlite3_finalize(stmt);
        sqlite3_close_v2(m_db);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* db() const { return m_db; }
    const std::string& path() const { return m_path; }
    pid_t pid() const { return m_pid; }
    // Opened read-only because the user cannot write the store.
    bool readOnly() const { return m_readOnly; }

    // True while the file at path() is still the one this connection opened
    // (another process may have set a corrupt store aside and started anew).
    bool stillCurrent() const
    {
        struct stat st { };
        return ::stat(m_path.c_str(), &st) == 0 && st.st_dev == m_device && st.st_ino == m_inode;
    }

    // The cached statement, prepared on first use; null when it cannot be
    // prepared (the error code is in `rc`).
    sqlite3_stmt* statement(Statement which, int& rc)
    {
        rc = SQLITE_OK;
        auto& stmt = m_statements[which];
        if (!stmt)
            rc = sqlite3_prepare_v3(m_db, kStatements[which], -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
        return stmt;
    }

private:
    sqlite3* m_db;
    std::string m_path;
    dev_t m_device;
    ino_t m_inode;
    pid_t m_pid;
    bool m_readOnly;
    std::array<sqlite3_stmt*, StatementCount> m_statements {};
};

int execute(sqlite3* db, const char* sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

int singleInteger(sqlite3* db, const char* sql, int& result)
{
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW) {
            result = sqlite3_column_int(stmt, 0);
            rc = SQLITE_OK;
        }
    }
    sqlite3_finalize(stmt);
    return rc;
}

// Ok; Corrupt for a file to set aside; Unavailable when the store cannot be
// opened at all for a lasting reason (no permission, not a regular file, a
// read-only folder without the store); Failed for anything that may pass (a
// store busy or being set up by another process).
enum class OpenResult { Ok, Corrupt, Unavailable, Failed };

// Why the store last could not be opened or written, in Polish (UTF-8), per
// thread like the connection.
thread_local std::string t_problem;

std::string reasonOf(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return "brak uprawnień";
    case EROFS:
        return "system plików jest tylko do odczytu";
    case ENOSPC:
    case EDQUOT:
        return "brak miejsca na dysku";
    case ENOENT:
        return "folder nie istnieje";
    case ENOTDIR:
        return "ścieżka nie prowadzi do folderu";
    default:
        return std::string("błąd systemu (") + std::strerror(error) + ")";
    }
}

// Whether the file at `path` can be opened: 0, or the errno of the failure
// (EINVAL for a file that is not a regular file). The file is created when
// missing; `readOnly` tells that it can be read but not written.
int probeFile(const std::string& path, bool& readOnly)
{
    readOnly = false;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0600);
    if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS)) {
        const int writeError = errno;
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            return errno == ENOENT ? writeError : errno;
        readOnly = true;
    }
    if (fd < 0)
        return errno;
    struct stat st { };
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    if (regular && !readOnly) {
        // A log or index left by a read-only opening carries the store's
        // mode of that time; once the store may be written, they must be too.
        for (const char* suffix : { "-wal", "-shm" }) {
            const std::string side = path + suffix;
            if (::access(side.c_str(), F_OK) == 0 && ::access(side.c_str(), W_OK) != 0)
                static_cast<void>(::chmod(side.c_str(), 0600));
        }
    }
    return regular ? 0 : EINVAL;
}

// Opens the store at `path`, creating it when missing; read-only when the
// user may read it but not write it. A file that is not a database, fails the
// integrity check, or is a database of some other program gives Corrupt;
// see OpenResult for the rest.
OpenResult openStore(const std::string& path, std::unique_ptr<Connection>& connection)
{
    connection.reset();
    bool readOnly = false;
    if (const int error = probeFile(path, readOnly); error != 0) {
        t_problem = error == EINVAL ? "plik " + path + " nie jest zwykłym plikiem"
                                    : "nie można otworzyć pliku " + path + ": " + reasonOf(error);
        return (error == EINTR || error == EAGAIN || error == EMFILE || error == ENFILE)
            ? OpenResult::Failed
            : OpenResult::Unavailable;
    }
    if (readOnly)
        t_problem = "plik " + path + " jest tylko do odczytu (" + reasonOf(EACCES) + " do zapisu)";

    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &db,
        (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close_v2(db);
        return isCorruption(rc) ? OpenResult::Corrupt : OpenResult::Failed;
    }
    auto fail = [&db, &path, readOnly](int code) {
        sqlite3_close_v2(db);
        if (isCorruption(code))
            return OpenResult::Corrupt;
        // A read-only store whose log cannot be opened (the folder is
        // read-only too and the log files are missing) cannot be read.
        if (readOnly) {
            t_problem = "nie można odczytać pliku " + path + " (plik i folder są tylko do odczytu)";
            return OpenResult::Unavailable;
        }
        return OpenResult::Failed;
    };
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    sqlite3_extended_result_codes(db, 1);

    // The mark and the table count come from one snapshot, so a store that
    // another process is setting up is never taken for a foreign database.
    int applicationId = 0;
    int tables = 0;
    {
        sqlite3_stmt* probe = nullptr;
        rc = sqlite3_prepare_v2(db,
            "SELECT application_id, (SELECT count(*) FROM sqlite_schema) FROM pragma_application_id", -1,
            &probe, nullptr);
        if (rc == SQLITE_OK && (rc = sqlite3_step(probe)) == SQLITE_ROW) {
            applicationId = sqlite3_column_int(probe, 0);
            tables = sqlite3_column_int(probe, 1);
            rc = SQLITE_OK;
        }
        sqlite3_finalize(probe);
    }
    if (rc != SQLITE_OK)
        return fail(rc);
    if (applicationId != kApplicationId && (applicationId != 0 || tables != 0)) {
        sqlite3_close_v2(db);
        return OpenResult::Corrupt; // a database, but not this store
    }
    if (readOnly && applicationId != kApplicationId) {
        // An empty file that cannot be written: nothing to read, nowhere to
        // write.
        sqlite3_close_v2(db);
        t_problem = "plik " + path + " jest pusty i tylko do odczytu";
        return OpenResult::Unavailable;
    }
    // Write-ahead log with a sync at every commit: a commit that returned
    // survives a crash of the process and a loss of power, and readers never
    // wait for a writer.
    if (!readOnly && (rc = execute(db, "PRAGMA journal_mode=WAL")) != SQLITE_OK)
        return fail(rc);
    if (!readOnly && (rc = execute(db, "PRAGMA synchronous=FULL")) != SQLITE_OK)
        return fail(rc);
    if (applicationId != kApplicationId) {
        if ((rc = execute(db, "BEGIN IMMEDIATE")) != SQLITE_OK)
            return fail(rc);
        rc = execute(db, kSchema);
        if (rc == SQLITE_OK)
            rc = execute(db,
                ("PRAGMA application_id=" + std::to_string(kApplicationId)
                    + "; PRAGMA user_version=" + std::to_string(kSchemaVersion))
                    .c_str());
        if (rc == SQLITE_OK)
            rc = execute(db, "COMMIT");
        if (rc != SQLITE_OK) {
            execute(db, "ROLLBACK");
            return fail(rc);
        }
    } else {
        int version = 0;
        if ((rc = singleInteger(db, "PRAGMA user_version", version)) != SQLITE_OK)
            return fail(rc);
        if (version != kSchemaVersion) {
            sqlite3_close_v2(db);
            return OpenResult::Corrupt;
        }
        // Catches a truncated or damaged file before it is trusted.
        sqlite3_stmt* check = nullptr;
        rc = sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &check, nullptr);
        if (rc == SQLITE_OK)
            rc = sqlite3_step(check);
        const bool healthy = rc == SQLITE_ROW && columnBytes(check, 0) == "ok";
        sqlite3_finalize(check);
        if (!healthy) {
            sqlite3_close_v2(db);
            return (rc == SQLITE_ROW || isCorruption(rc)) ? OpenResult::Corrupt : OpenResult::Failed;
        }
    }
    struct stat now { };
    if (::stat(path.c_str(), &now) != 0) {
        sqlite3_close_v2(db);
        return OpenResult::Failed;
    }
    connection = std::make_unique<Connection>(db, path, now.st_dev, now.st_ino, readOnly);
    if (!readOnly)
        t_problem.clear();
    return OpenResult::Ok;
}

// Moves a corrupt store aside as registry.db.corrupt-<time> (its log file
// beside it with "-wal" appended) and drops the shared-memory index. Runs
// under an exclusive lock on registry.db.lock and checks again under the lock,
// so two processes that find the same damage set it aside once, and a fresh
// store that another process has just started is never moved.
void setAside(const std::string& path)
{
    const std::string lockPath = path + ".lock";
    const int lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd >= 0)
        ::flock(lockFd, LOCK_EX);
    std::unique_ptr<Connection> probe;
    if (openStore(path, probe) == OpenResult::Corrupt) {
        const std::string base = path + ".corrupt-" + timeStamp();
        std::string target = base;
        struct stat st { };
        for (int n = 2; ::lstat(target.c_str(), &st) == 0 && n < 1000; ++n)
            target = base + "-" + std::to_string(n);
        // The log and the index go first and the store file last: while the
        // damaged file is still in place, no other process can start a fresh
        // store there (it finds the damage and waits for this lock), so the
        // log moved aside is never a fresh store's log with its commits.
        ::rename((path + "-wal").c_str(), (target + "-wal").c_str());
        ::unlink((path + "-shm").c_str());
        ::unlink((path + "-journal").c_str());
        ::rename(path.c_str(), target.c_str());
    }
    probe.reset();
    if (lockFd >= 0)
        ::close(lockFd); // releases the lock
}

thread_local std::unique_ptr<Connection> t_connection;
// The last attempt to open the store failed for a lasting reason (t_problem).
thread_local bool t_unavailable = false;
// A batch (RunRegBatch) open on this thread: its writes share one
// transaction on the connection it began on, and the first failure spoils
// the whole batch.
thread_local int t_batchDepth = 0;
thread_local int t_batchFailure = SQLITE_OK;

// This thread's connection to the current store, opened (or reopened after
// the folder changed or the file was replaced) on demand; null when the store
// cannot be opened. A corrupt store is set aside and a fresh one started.
Connection* connection()
{
    if (t_connection && t_connection->pid() != ::getpid()) {
        // Inherited through fork: SQLite connections must not cross a fork,
        // and closing it here could disturb the parent's locks.
        static_cast<void>(t_connection.release());
    }
    if (t_batchDepth > 0)
        return t_connection.get(); // never switch stores inside a transaction
    const std::string folder = folderPath();
    if (folder.empty()) {
        t_problem = "nie jest znany folder domowy użytkownika (zmienna HOME)";
        return nullptr;
    }
    const std::string path = folder + "/registry.db";
    if (t_connection && t_connection->path() == path && t_connection->stillCurrent())
        return t_connection.get();
    t_connection.reset();
    t_unavailable = true;
    if (!makeFolders(folder)) {
        t_problem = "nie można utworzyć folderu " + folder + ": " + reasonOf(errno);
        return nullptr;
    }
    OpenResult result = openStore(path, t_connection);
    if (result == OpenResult::Corrupt) {
        setAside(path);
        result = openStore(path, t_connection);
    }
    // A store that another process is setting up this very moment (after
    // setting a damaged one aside) can refuse to open for a few
    // milliseconds; wait a little instead of giving up.
    for (int attempt = 1; result == OpenResult::Failed && attempt <= 8; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5 * attempt));
        result = openStore(path, t_connection);
    }
    t_unavailable = result == OpenResult::Unavailable;
    return result == OpenResult::Ok ? t_connection.get() : nullptr;
}

// The connection for a write: a read-only one is opened anew first, so that a
// store the user may write again is written.
Connection* writableConnection()
{
    Connection* c = connection();
    if (c && c->readOnly() && t_batchDepth == 0) {
        t_connection.reset();
        c = connection();
    }
    return c;
}

// Called when a statement reports damage found while the store was in use.
void handleFailure(int rc)
{
    if (!isCorruption(rc) || !t_connection)
        return;
    const std::string path = t_connection->path();
    t_connection.reset();
    setAside(path);
}

std::mutex g_problemMutex;
RegistryProblemHandler g_problemHandler;
bool g_problemReported = false;

// A write the store refuses (a name it cannot hold) spoils an open batch.
void refuseWrite()
{
    if (t_batchDepth > 0 && t_batchFailure == SQLITE_OK)
        t_batchFailure = SQLITE_MISUSE;
}

// Tells the handler, once per process, that a write was lost and why.
void reportWriteFailure(int rc, const std::string& path)
{
    std::string reason = t_problem;
    if (reason.empty()) {
        switch (rc & 0xFF) {
        case SQLITE_FULL:
            reason = reasonOf(ENOSPC);
            break;
        case SQLITE_READONLY:
        case SQLITE_PERM:
            reason = "plik " + path + " jest tylko do odczytu";
            break;
        default:
            reason = std::string("błąd bazy danych: ") + sqlite3_errstr(rc);
        }
    }
    RegistryProblemHandler handler;
    {
        std::lock_guard lock(g_problemMutex);
        if (g_problemReported || !g_problemHandler)
            return;
        g_problemReported = true;
        handler = g_problemHandler;
    }
    handler("Nie można zapisać ustawień programu: " + reason + ". Zmiany ustawień nie zostaną zachowane.");
}

// Runs `body` inside one write transaction on this thread's connection (or
// inside the open batch). `body` returns an SQLite code; anything but
// SQLITE_OK / SQLITE_DONE rolls back. Gives the code of the first failure,
// SQLITE_OK on success and SQLITE_CANTOPEN when no store could be opened.
template <typename Body> int writeOnce(Body& body)
{
    if (t_batchDepth > 0) {
        if (t_batchFailure != SQLITE_OK)
            return t_batchFailure;
        const int rc = t_connection ? body(*t_connection) : SQLITE_CANTOPEN;
        return rc == SQLITE_DONE ? SQLITE_OK : rc;
    }
    Connection* c = writableConnection();
    if (!c)
        return SQLITE_CANTOPEN;
    if (c->readOnly())
        return SQLITE_READONLY;
    int rc = SQLITE_OK;
    sqlite3_stmt* begin = c->statement(Begin, rc);
    if (!begin) {
        handleFailure(rc);
        return rc;
    }
    {
        Reset reset(begin);
        rc = sqlite3_step(begin);
    }
    if (rc != SQLITE_DONE) {
        handleFailure(rc);
        return rc;
    }
    rc = body(*c);
    if (rc == SQLITE_OK || rc == SQLITE_DONE) {
        if (sqlite3_stmt* commit = c->statement(Commit, rc)) {
            Reset reset(commit);
            rc = sqlite3_step(commit);
            if (rc == SQLITE_DONE)
                return SQLITE_OK;
        }
    }
    if (!sqlite3_get_autocommit(c->db())) {
        int ignored = SQLITE_OK;
        if (sqlite3_stmt* rollback = c->statement(Rollback, ignored)) {
            Reset reset(rollback);
            sqlite3_step(rollback);
        }
    }
    handleFailure(rc);
    return rc;
}

// A write that failed because the store changed under it (another process
// set a damaged store aside and started anew, the file moved, the store was
// busy beyond the timeout or could not be opened for a moment) is tried again
// on a fresh connection, so that no write that two processes make at once is
// lost. Constraint failures and the like are not retried.
// Lost writes (the store cannot be opened or written) are told to the problem
// handler; a write inside a batch marks the batch failed instead.
template <typename Body> void writeTransaction(Body body)
{
    if (t_batchDepth > 0) {
        const int rc = writeOnce(body);
        if (rc != SQLITE_OK && t_batchFailure == SQLITE_OK)
            t_batchFailure = rc;
        return;
    }
    int rc = SQLITE_OK;
    for (int attempt = 0; attempt < 3; ++attempt) {
        rc = writeOnce(body);
        const int primary = rc & 0xFF;
        if (primary == SQLITE_OK || primary == SQLITE_CONSTRAINT)
            return;
        if (t_connection && t_connection->readOnly())
            break;
        const bool retry = isCorruption(rc) || primary == SQLITE_CANTOPEN || primary == SQLITE_READONLY
            || primary == SQLITE_BUSY || primary == SQLITE_LOCKED || primary == SQLITE_IOERR;
        if (!retry)
            break;
        if (primary == SQLITE_CANTOPEN && t_unavailable)
            break; // unavailable for a lasting reason: retrying only waits
        t_connection.reset();
        std::this_thread::sleep_for(std::chrono::milliseconds(20 * (attempt + 1)));
    }
    const std::string folder = folderPath();
    reportWriteFailure(rc, folder + "/registry.db");
}

// The id of an existing key, or 0; `rc` gets a failure code.
sqlite3_int64 findKey(Connection& c, int hive, const std::string& folded, int& rc)
{
    sqlite3_stmt* stmt = c.statement(FindKey, rc);
    if (!stmt)
        return 0;
    Reset reset(stmt);
    sqlite3_bind_int(stmt, 1, hive);
    bindBytes(stmt, 2, folded);
    rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        rc = SQLITE_OK;
        return sqlite3_column_int64(stmt, 0);
    }
    if (rc == SQLITE_DONE)
        rc = SQLITE_OK;
    return 0;
}

// The id of the key, created with every missing parent; 0 on failure.
sqlite3_int64 ensureKey(Connection& c, int hive, const KeyPath& path, int& rc)
{
    sqlite3_int64 id = findKey(c, hive, path.folded, rc);
    if (id != 0 || rc != SQLITE_OK)
        return id;
    sqlite3_int64 parent = findKey(c, hive, std::string(), rc);
    if (parent == 0)
        return 0;
    std::string folded;
    for (const auto part : path.parts) {
        if (!folded.empty())
            folded += '\\';
        folded += Cp1250LowerText(part);
        sqlite3_stmt* insert = c.statement(InsertKey, rc);
        if (!insert)
            return 0;
        {
            Reset reset(insert);
            sqlite3_bind_int(insert, 1, hive);
            bindBytes(insert, 2, folded);
            bindBytes(insert, 3, part);
            sqlite3_bind_int64(insert, 4, parent);
            rc = sqlite3_step(insert);
            if (rc != SQLITE_DONE)
                return 0;
        }
        parent = findKey(c, hive, folded, rc);
        if (parent == 0) {
            if (rc == SQLITE_OK)
                rc = SQLITE_ERROR;
            return 0;
        }
    }
    rc = SQLITE_OK;
    return parent;
}

struct StoredValue {
    int type = 0;
    std::string bytes;
    std::int32_t integer = 0;
};

std::optional<StoredValue> readValue(Hive hive, std::string_view key, std::string_view name)
{
    const auto path = parseKeyPath(key);
    if (!path)
        return std::nullopt;
    Connection* c = connection();
    if (!c)
        return std::nullopt;
    int rc = SQLITE_OK;
    sqlite3_stmt* stmt = c->statement(ReadValue, rc);
    if (!stmt) {
        handleFailure(rc);
        return std::nullopt;
    }
    std::optional<StoredValue> result;
    {
        Reset reset(stmt);
        sqlite3_bind_int(stmt, 1, hiveNumber(hive));
        bindBytes(stmt, 2, path->folded);
        const std::string fold = Cp1250LowerText(name);
        bindBytes(stmt, 3, fold);
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW) {
            StoredValue value;
            value.type = sqlite3_column_int(stmt, 0);
            if (value.type == kTypeInteger)
                value.integer = static_cast<std::int32_t>(sqlite3_column_int64(stmt, 1));
            else
                value.bytes = columnBytes(stmt, 1);
            result = std::move(value);
        }
    }
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        handleFailure(rc);
    return result;
}

void writeValue(Hive hive, std::string_view key, std::string_view name, int type, std::string_view bytes,
    std::int32_t integer)
{
    const auto path = parseKeyPath(key);
    if (!path || !IsValidRegValueName(name))
        return refuseWrite();
    writeTransaction([&](Connection& c) {
        int rc = SQLITE_OK;
        const sqlite3_int64 id = ensureKey(c, hiveNumber(hive), *path, rc);
        if (id == 0)
            return rc == SQLITE_OK ? SQLITE_ERROR : rc;
        sqlite3_stmt* stmt = c.statement(UpsertValue, rc);
        if (!stmt)
            return rc;
        Reset reset(stmt);
        sqlite3_bind_int64(stmt, 1, id);
        bindBytes(stmt, 2, Cp1250LowerText(name));
        bindBytes(stmt, 3, name);
        sqlite3_bind_int(stmt, 4, type);
        if (type == kTypeInteger)
            sqlite3_bind_int64(stmt, 5, integer);
        else
            bindBytes(stmt, 5, bytes);
        return sqlite3_step(stmt);
    });
}

std::vector<std::string> listNames(Statement which, Hive hive, std::string_view key)
{
    std::vector<std::string> names;
    const auto path = parseKeyPath(key);
    if (!path)
        return names;
    Connection* c = connection();
    if (!c)
        return names;
    int rc = SQLITE_OK;
    sqlite3_stmt* stmt = c->statement(which, rc);
    if (!stmt) {
        handleFailure(rc);
        return names;
    }
    {
        Reset reset(stmt);
        sqlite3_bind_int(stmt, 1, hiveNumber(hive));
        bindBytes(stmt, 2, path->folded);
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
            names.push_back(columnBytes(stmt, 0));
    }
    if (rc != SQLITE_DONE) {
        names.clear();
        handleFailure(rc);
    }
    return names;
}

} // namespace

std::string ReadRegString(Hive hive, std::string_view key, std::string_view name)
{
    auto value = readValue(hive, key, name);
    return value && value->type == kTypeString ? std::move(value->bytes) : std::string();
}

void WriteRegString(Hive hive, std::string_view key, std::string_view name, std::string_view value)
{
    writeValue(hive, key, name, kTypeString, value, 0);
}

std::int32_t ReadRegInteger(Hive hive, std::string_view key, std::string_view name)
{
    const auto value = readValue(hive, key, name);
    return value && value->type == kTypeInteger ? value->integer : -1;
}

void WriteRegInteger(Hive hive, std::string_view key, std::string_view name, std::int32_t value)
{
    writeValue(hive, key, name, kTypeInteger, {}, value);
}

void DeleteRegValue(Hive hive, std::string_view key, std::string_view name)
{
    const auto path = parseKeyPath(key);
    if (!path)
        return refuseWrite();
    writeTransaction([&](Connection& c) {
        int rc = SQLITE_OK;
        sqlite3_stmt* stmt = c.statement(DeleteValue, rc);
        if (!stmt)
            return rc;
        Reset reset(stmt);
        sqlite3_bind_int(stmt, 1, hiveNumber(hive));
        bindBytes(stmt, 2, path->folded);
        bindBytes(stmt, 3, Cp1250LowerText(name));
        return sqlite3_step(stmt);
    });
}

void DeleteRegKey(Hive hive, std::string_view key)
{
    const auto path = parseKeyPath(key);
    // A hive root is never deleted: an empty path here most likely comes from
    // a name composed of empty parts, and would wipe the whole hive.
    if (!path || path->parts.empty())
        return refuseWrite();
    const std::string low = path->folded + '\\';
    const std::string high = path->folded + ']'; // the byte after '\'
    writeTransaction([&](Connection& c) {
        int rc = SQLITE_OK;
        for (const Statement which : { DeleteKeyValues, DeleteKeys }) {
            sqlite3_stmt* stmt = c.statement(which, rc);
            if (!stmt)
                return rc;
            Reset reset(stmt);
            sqlite3_bind_int(stmt, 1, hiveNumber(hive));
            bindBytes(stmt, 2, path->folded);
            bindBytes(stmt, 3, low);
            bindBytes(stmt, 4, high);
            rc = sqlite3_step(stmt);
            if (rc != SQLITE_DONE)
                return rc;
        }
        return rc;
    });
}

void CreateRegKey(Hive hive, std::string_view key)
{
    const auto path = parseKeyPath(key);
    if (!path)
        return refuseWrite();
    writeTransaction([&](Connection& c) {
        int rc = SQLITE_OK;
        const sqlite3_int64 id = ensureKey(c, hiveNumber(hive), *path, rc);
        return id != 0 ? SQLITE_OK : (rc == SQLITE_OK ? SQLITE_ERROR : rc);
    });
}

std::optional<RegValue> ReadRegValue(Hive hive, std::string_view key, std::string_view name)
{
    auto value = readValue(hive, key, name);
    if (!value)
        return std::nullopt;
    RegValue result;
    if (value->type == kTypeInteger) {
        result.type = RegValue::Type::Integer;
        result.integer = value->integer;
    } else if (value->type == kTypeString) {
        result.text = std::move(value->bytes);
    } else {
        return std::nullopt;
    }
    return result;
}

std::vector<std::string> RegSubKeyNames(Hive hive, std::string_view key)
{
    return listNames(SubKeys, hive, key);
}

std::vector<std::string> RegValueNames(Hive hive, std::string_view key)
{
    return listNames(ValueNames, hive, key);
}

bool RegKeyExists(Hive hive, std::string_view key)
{
    const auto path = parseKeyPath(key);
    if (!path)
        return false;
    Connection* c = connection();
    if (!c)
        return false;
    int rc = SQLITE_OK;
    const bool found = findKey(*c, hiveNumber(hive), path->folded, rc) != 0;
    if (rc != SQLITE_OK)
        handleFailure(rc);
    return found;
}

std::string_view HiveName(Hive hive)
{
    switch (hive) {
    case Hive::CurrentUser:
        return "HKEY_CURRENT_USER";
    case Hive::LocalMachine:
        return "HKEY_LOCAL_MACHINE";
    case Hive::ClassesRoot:
        return "HKEY_CLASSES_ROOT";
    }
    return {};
}

namespace {

std::string_view shortHiveName(Hive hive)
{
    switch (hive) {
    case Hive::CurrentUser:
        return "HKCU";
    case Hive::LocalMachine:
        return "HKLM";
    case Hive::ClassesRoot:
        return "HKCR";
    }
    return {};
}

} // namespace

bool HiveFromName(std::string_view name, Hive& hive)
{
    for (const Hive candidate : { Hive::CurrentUser, Hive::LocalMachine, Hive::ClassesRoot }) {
        if (Cp1250EqualNoCase(name, HiveName(candidate))
            || Cp1250EqualNoCase(name, shortHiveName(candidate))) {
            hive = candidate;
            return true;
        }
    }
    return false;
}

bool IsValidRegKeyPath(std::string_view key)
{
    return parseKeyPath(key).has_value();
}

bool IsValidRegValueName(std::string_view name)
{
    return name.size() <= kMaxRegValueNameLength && !hasControlCharacter(name);
}

bool RunRegBatch(const std::function<void()>& writes)
{
    if (t_batchDepth > 0) {
        writes();
        return t_batchFailure == SQLITE_OK;
    }
    int rc = SQLITE_OK;
    Connection* c = writableConnection();
    sqlite3_stmt* begin = c && !c->readOnly() ? c->statement(Begin, rc) : nullptr;
    if (begin) {
        Reset reset(begin);
        rc = sqlite3_step(begin);
    }
    if (!begin || rc != SQLITE_DONE) {
        rc = !c ? SQLITE_CANTOPEN : (c->readOnly() ? SQLITE_READONLY : rc);
        handleFailure(rc);
        reportWriteFailure(rc, folderPath() + "/registry.db");
        return false;
    }
    auto finish = [](bool commit) {
        int code = SQLITE_OK;
        sqlite3_stmt* end
            = t_connection ? t_connection->statement(commit ? Commit : Rollback, code) : nullptr;
        if (end) {
            Reset reset(end);
            code = sqlite3_step(end);
        }
        if (code == SQLITE_DONE)
            return SQLITE_OK;
        if (t_connection && !sqlite3_get_autocommit(t_connection->db()))
            sqlite3_exec(t_connection->db(), "ROLLBACK", nullptr, nullptr, nullptr);
        return code == SQLITE_OK ? SQLITE_ERROR : code;
    };
    t_batchDepth = 1;
    t_batchFailure = SQLITE_OK;
    try {
        writes();
    } catch (...) {
        t_batchDepth = 0;
        finish(false);
        throw;
    }
    t_batchDepth = 0;
    rc = t_batchFailure;
    if (rc == SQLITE_OK)
        rc = finish(true);
    else
        finish(false);
    if (rc != SQLITE_OK) {
        handleFailure(rc);
        reportWriteFailure(rc, folderPath() + "/registry.db");
        return false;
    }
    return true;
}

RegistryStatus CheckRegistry()
{
    RegistryStatus status;
    Connection* c = connection();
    if (!c) {
        status.state = RegistryState::Unavailable;
        status.reason = t_problem.empty() ? std::string("nie można otworzyć magazynu ustawień") : t_problem;
    } else if (c->readOnly()) {
        status.state = RegistryState::ReadOnly;
        status.reason = t_problem;
    }
    return status;
}

void SetRegistryProblemHandler(RegistryProblemHandler handler)
{
    std::lock_guard lock(g_problemMutex);
    g_problemHandler = std::move(handler);
    g_problemReported = false;
}

std::string RegistryFolder()
{
    const std::string folder = folderPath();
    makeFolders(folder);
    return folder;
}

void ReleaseRegistryConnection()
{
    t_connection.reset();
}

} // namespace orbita
