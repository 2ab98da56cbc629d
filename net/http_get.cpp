#include "net/http_get.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <curl/curl.h>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace orbita {
namespace net {

// One transfer, shared by the worker thread and the component. The settings
// are the worker's own copy; `owner` is touched only on the owner's thread and
// cleared when the component goes away, so no event reaches a destroyed
// component. The results are written by the worker before it posts the
// completion and read by the completion afterwards.
class Transfer : public std::enable_shared_from_this<Transfer> {
public:
    struct Settings {
        bool toFile = false;
        std::string targetUrl, fileName, acceptTypes, agent, userName, password, postQuery, referer, caBundle;
        bool binaryData = false;
        bool useCache = false;
        bool wantsProgress = false;
        TransferLimits limits;
    };

    Transfer(THTTPGet& owner, Settings settings)
        : m_settings(std::move(settings))
        , m_owner(&owner)
    {
    }

    void run(); // the worker's body
    void cancel();
    bool cancelled() const { return m_cancelled.load(); }
    void detachOwner() { m_owner = nullptr; }
    THTTPGet* owner() const { return m_owner; }
    const Settings& settings() const { return m_settings; }

    // Results, valid in the completion.
    bool success = false;
    std::int64_t total = 0;
    std::string text;
    std::string error;

private:
    static size_t onHeader(char* data, size_t size, size_t count, void* self);
    static size_t onBody(char* data, size_t size, size_t count, void* self);
    static int onTick(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
    bool acceptBody();
    bool isFollowedRedirect() const;
    bool store(const char* data, size_t size);
    bool progressDue() const;
    bool handOverProgress();
    void runProgress(std::int64_t totalSize, std::int64_t received);
    void closeTarget();
    void configure(CURL* curl, curl_slist*& headers, char* errorText);

    const Settings m_settings;
    THTTPGet* m_owner;
    std::atomic<bool> m_cancelled { false };
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_progressDone = false;

    // Worker state.
    CURL* m_curl = nullptr;
    std::FILE* m_file = nullptr;
    bool m_bodyStarted = false; // the current answer's body has begun
    bool m_skipBody = false; // … and is not wanted
    bool m_sawHttps = false;
    bool m_refusedRedirect = false;
    bool m_stalled = false;
    std::chrono::steady_clock::time_point m_lastData; // the start, then the last block
    std::int64_t m_reported = -1; // bytes told by the last progress event (-1: none yet)
    std::chrono::steady_clock::time_point m_lastReport;
    TransferOutcome m_outcome;
};

namespace {

// Every running transfer, for the exit. Never destroyed, so that a worker
// still running at process exit finds it intact.
struct Registry {
    std::mutex mutex;
    std::condition_variable idle;
    std::vector<std::shared_ptr<Transfer>> live;
    bool closed = false;
    bool initialized = false;
    bool initFailed = false;
};

Registry& registry()
{
    static auto* instance = new Registry;
    return *instance;
}

// Hands `call` to the application's thread unless the program is shutting
// down. The application object is the context: it outlives every window.
bool postToOwnerThread(std::function<void()> call)
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    QCoreApplication* app = QCoreApplication::instance();
    if (r.closed || !app)
        return false;
    QMetaObject::invokeMethod(app, std::move(call), Qt::QueuedConnection);
    return true;
}

// Why a transfer that libcurl completed was still refused.
std::string describeRefusal(const TransferOutcome& outcome)
{
    if (outcome.announced && outcome.received != *outcome.announced)
        return std::to_string(outcome.received) + " of " + std::to_string(*outcome.announced)
            + " bytes arrived";
    if (!outcome.announced && outcome.binaryData)
        return "the answer announced no length";
    if (outcome.received == 0)
        return "the answer is empty";
    return "the answer was refused";
}

void unregister(const Transfer* transfer)
{
    Registry& r = registry();
    {
        std::lock_guard lock(r.mutex);
        std::erase_if(r.live, [transfer](const auto& item) { return item.get() == transfer; });
    }
    r.idle.notify_all();
}

} // namespace

void Transfer::cancel()
{
    {
        std::lock_guard lock(m_mutex);
        m_cancelled = true;
    }
    m_wake.notify_all();
}

size_t Transfer::onHeader(char* data, size_t size, size_t count, void* self)
{
    auto& t = *static_cast<Transfer*>(self);
    const std::string_view line(data, size * count);
    if (line.starts_with("HTTP/")) {
        // A new answer (the first, or one after a redirect): its own length
        // and body.
        t.m_outcome.announced.reset();
        t.m_bodyStarted = false;
        t.m_skipBody = false;
        char* url = nullptr;
        curl_easy_getinfo(t.m_curl, CURLINFO_EFFECTIVE_URL, &url);
        const std::string_view scheme = SchemeOf(url ? url : "");
        if (t.m_sawHttps && scheme != "https") {
            t.m_refusedRedirect = true;
            return 0;
        }
        t.m_sawHttps = t.m_sawHttps || scheme == "https";
    } else if (const HeaderLength header = ContentLengthOfHeaderLine(line); header.isLengthHeader) {
        t.m_outcome.announced = header.length;
    }
    return size * count;
}

// The first block of the final answer: decide whether the body is wanted at
// all, and create the target file.
bool Transfer::acceptBody()
{
    m_bodyStarted = true;
    curl_easy_getinfo(m_curl, CURLINFO_RESPONSE_CODE, &m_outcome.status);
    if (!IsSuccessStatus(m_outcome.status) || ExceedsCap(m_outcome.announced, m_outcome.maxBytes))
        return false;
    if (!m_outcome.announced && m_settings.binaryData)
        return false;
    if (m_settings.toFile) {
        m_file = std::fopen(m_settings.fileName.c_str(), "wb");
        if (!m_file) {
            m_outcome.targetOk = false;
            return false;
        }
        // Whole blocks reach the file system in few large writes.
        std::setvbuf(m_file, nullptr, _IOFBF, 256 * 1024);
    }
    return true;
}

bool Transfer::store(const char* data, size_t size)
{
    if (m_outcome.received + static_cast<std::int64_t>(size) > m_outcome.maxBytes)
        return false;
    if (m_file) {
        if (std::fwrite(data, 1, size, m_file) != size) {
            m_outcome.targetOk = false;
            return false;
        }
    } else {
        text.append(data, size);
    }
    m_outcome.received += static_cast<std::int64_t>(size);
    m_lastData = std::chrono::steady_clock::now();
    return true;
}

size_t Transfer::onBody(char* data, size_t size, size_t count, void* self)
{
    auto& t = *static_cast<Transfer*>(self);
    const size_t bytes = size * count;
    if (!t.m_bodyStarted && !t.cancelled() && t.isFollowedRedirect()) {
        t.m_bodyStarted = true;
        t.m_skipBody = true;
    }
    if (t.m_skipBody)
        return bytes; // the body of a redirect that libcurl follows
    if (t.cancelled() || (!t.m_bodyStarted && !t.acceptBody()) || !t.store(data, bytes))
        return 0; // libcurl ends the transfer with a write error
    if (t.m_settings.wantsProgress && t.progressDue() && !t.handOverProgress())
        return 0;
    return bytes;
}

// The progress event runs once per block of the body. libcurl hands over
// 16 KB at a time; a round trip to the owner's thread for each of them costs
// a fast download a good part of its speed, so a block gathers what arrives
// within kProgressInterval, up to kProgressBytes. The first piece is told at
// once and the rest after the body (see run).
bool Transfer::progressDue() const
{
    constexpr std::int64_t kProgressBytes = 256 * 1024;
    constexpr auto kProgressInterval = std::chrono::milliseconds(40);
    return m_reported < 0 || m_outcome.received - m_reported >= kProgressBytes
        || std::chrono::steady_clock::now() - m_lastReport >= kProgressInterval;
}

bool Transfer::isFollowedRedirect() const
{
    long status = 0;
    char* next = nullptr;
    curl_easy_getinfo(m_curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_getinfo(m_curl, CURLINFO_REDIRECT_URL, &next);
    return status >= 300 && status <= 399 && next != nullptr;
}

// Called by libcurl about once a second even while nothing arrives: a
// cancel, or no data for the stall limit, ends the transfer.
int Transfer::onTick(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    auto& t = *static_cast<Transfer*>(self);
    if (std::chrono::steady_clock::now() - t.m_lastData
        >= std::chrono::seconds(t.m_settings.limits.stallSeconds))
        t.m_stalled = true;
    return t.cancelled() || t.m_stalled ? 1 : 0;
}

// Runs the progress event on the owner's thread and waits until it has run.
// A cancel (also from the component's destructor or the exit) releases the
// wait at once, so the owner's thread never waits for a worker that waits
// for it.
bool Transfer::handOverProgress()
{
    const std::int64_t totalSize = m_outcome.announced.value_or(0);
    const std::int64_t received = m_outcome.received;
    m_reported = received;
    m_lastReport = std::chrono::steady_clock::now();
    std::unique_lock lock(m_mutex);
    if (m_cancelled)
        return false;
    m_progressDone = false;
    auto self = shared_from_this();
    if (!postToOwnerThread([self, totalSize, received] { self->runProgress(totalSize, received); }))
        return false;
    m_wake.wait(lock, [this] { return m_progressDone || m_cancelled.load(); });
    return !m_cancelled;
}

void Transfer::runProgress(std::int64_t totalSize, std::int64_t received)
{
    if (m_owner && !m_cancelled && m_owner->OnProgress) {
        THTTPGet& owner = *m_owner;
        const auto handler = owner.OnProgress; // the handler may destroy the component
        handler(owner, totalSize, received);
    }
    {
        std::lock_guard lock(m_mutex);
        m_progressDone = true;
    }
    m_wake.notify_all();
}

void Transfer::configure(CURL* curl, curl_slist*& headers, char* errorText)
{
    const Settings& s = m_settings;
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(curl, CURLOPT_URL, s.targetUrl.c_str());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(
        curl, CURLOPT_REDIR_PROTOCOLS_STR, SchemeOf(s.targetUrl) == "https" ? "https" : "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, s.limits.maxRedirects);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, s.limits.connectTimeoutSeconds);
    // HTTP/1.0: the server closes the connection after the answer, so the
    // body can be read to its end whatever the Content-Length says; the
    // length is judged by the component's own rules (a garbage value counts
    // as none instead of failing the request).
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(curl, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, 256L * 1024); // few reads from the socket
    if (!s.agent.empty())
        curl_easy_setopt(curl, CURLOPT_USERAGENT, s.agent.c_str());
    if (!s.referer.empty())
        curl_easy_setopt(curl, CURLOPT_REFERER, s.referer.c_str());
    if (!s.userName.empty() || !s.password.empty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, s.userName.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, s.password.c_str());
    }
    if (!s.caBundle.empty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, s.caBundle.c_str());
    if (!s.postQuery.empty()) // libcurl sends it form-encoded
        curl_easy_setopt(curl, CURLOPT_COPYPOSTFIELDS, s.postQuery.c_str());
    if (!s.acceptTypes.empty())
        headers = curl_slist_append(headers, ("Accept: " + s.acceptTypes).c_str());
    if (!s.useCache) {
        headers = curl_slist_append(headers, "Cache-Control: no-cache");
        headers = curl_slist_append(headers, "Pragma: no-cache");
    }
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &Transfer::onHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Transfer::onBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Transfer::onTick);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
}

void Transfer::closeTarget()
{
    if (!m_file)
        return;
    const bool flushed = std::fflush(m_file) == 0 && !std::ferror(m_file);
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    if (!flushed || !closed)
        m_outcome.targetOk = false;
}

void Transfer::run()
{
    m_outcome.toFile = m_settings.toFile;
    m_outcome.binaryData = m_settings.binaryData;
    m_outcome.maxBytes = m_settings.limits.maxBytes;
    char errorText[CURL_ERROR_SIZE] = {};
    if (!IsFetchableAddress(m_settings.targetUrl)) {
        error = "only http:// and https:// addresses are fetched";
    } else if (!cancelled() && (m_curl = curl_easy_init()) != nullptr) {
        curl_slist* headers = nullptr;
        configure(m_curl, headers, errorText);
        m_lastData = std::chrono::steady_clock::now();
        const CURLcode code = curl_easy_perform(m_curl);
        m_outcome.transportOk = code == CURLE_OK;
        // The rest of the last block: every byte that arrived is told.
        if (m_settings.wantsProgress && m_outcome.received > std::max<std::int64_t>(m_reported, 0)
            && !cancelled())
            handOverProgress();
        curl_easy_getinfo(m_curl, CURLINFO_RESPONSE_CODE, &m_outcome.status);
        // An empty 2xx body still creates (truncates) the target file.
        if (m_outcome.transportOk && !m_bodyStarted && !cancelled() && IsSuccessStatus(m_outcome.status)
            && m_settings.toFile && (m_outcome.announced || !m_settings.binaryData))
            acceptBody();
        closeTarget();
        if (m_stalled)
            error = "no data arrived for " + std::to_string(m_settings.limits.stallSeconds) + " s";
        else if (m_refusedRedirect)
            error = "a redirect from https to http was refused";
        else if (m_outcome.status != 0 && !IsSuccessStatus(m_outcome.status))
            error = "the server answered with status " + std::to_string(m_outcome.status);
        else if (ExceedsCap(m_outcome.announced, m_outcome.maxBytes)
            || m_outcome.received >= m_outcome.maxBytes)
            error = "the answer is larger than the limit";
        else if (!m_outcome.targetOk)
            error = "the target file could not be created or written";
        else if (!m_outcome.transportOk)
            error = errorText[0] ? errorText : curl_easy_strerror(code);
        curl_slist_free_all(headers);
        curl_easy_cleanup(m_curl);
        m_curl = nullptr;
    }
    m_outcome.cancelled = cancelled();
    success = TransferSucceeded(m_outcome);
    total = m_outcome.announced.value_or(0);
    if (success)
        error.clear();
    else if (m_outcome.cancelled)
        error = "cancelled";
    else if (error.empty())
        error = describeRefusal(m_outcome);
    auto self = shared_from_this();
    postToOwnerThread([self] {
        if (THTTPGet* owner = self->owner())
            owner->finish(*self);
    });
}

} // namespace net

using net::Transfer;

THTTPGet::THTTPGet(QObject* owner)
    : QObject(owner)
{
}

THTTPGet::~THTTPGet()
{
    if (m_running) {
        m_running->detachOwner();
        m_running->cancel();
    }
    if (m_waitLoop)
        m_waitLoop->quit();
}

void THTTPGet::DownloadToFile()
{
    if (m_running)
        return;
    start(true);
    if (!WaitThread || !m_running)
        return;
    QEventLoop loop;
    m_waitLoop = &loop;
    QPointer<THTTPGet> self(this);
    loop.exec();
    if (self)
        m_waitLoop = nullptr;
}

void THTTPGet::DownloadToString()
{
    if (m_running)
        return;
    start(false);
    if (WaitThread)
        QCoreApplication::processEvents();
}

void THTTPGet::Cancel()
{
    if (m_running)
        m_running->cancel();
}

void THTTPGet::start(bool toFile)
{
    Transfer::Settings settings;
    settings.toFile = toFile;
    settings.targetUrl = TargetUrl;
    settings.fileName = FileName;
    settings.acceptTypes = AcceptTypes;
    settings.agent = Agent;
    settings.userName = UserName;
    settings.password = Password;
    settings.postQuery = PostQuery;
    settings.referer = Referer;
    settings.caBundle = CaBundle;
    settings.binaryData = BinaryData;
    settings.useCache = UseCache;
    settings.wantsProgress = static_cast<bool>(OnProgress);
    settings.limits = Limits;
    auto transfer = std::make_shared<Transfer>(*this, std::move(settings));
    // The completion reaches the component through `transfer`, which knows
    // its owner before the worker runs: a very short transfer cannot finish
    // unobserved.
    m_running = transfer;
    bool accepted = InitializeTransfers();
    if (accepted) {
        net::Registry& r = net::registry();
        std::lock_guard lock(r.mutex);
        accepted = !r.closed;
        if (accepted)
            r.live.push_back(transfer);
    }
    if (!accepted) { // shutting down, or libcurl unusable: the transfer fails
        QMetaObject::invokeMethod(
            this,
            [transfer] {
                if (THTTPGet* owner = transfer->owner())
                    owner->finish(*transfer);
            },
            Qt::QueuedConnection);
        return;
    }
    std::thread([transfer] {
        transfer->run();
        net::unregister(transfer.get());
    }).detach();
}

void THTTPGet::finish(Transfer& transfer)
{
    if (m_running.get() != &transfer)
        return;
    m_success = transfer.success && !transfer.cancelled();
    m_lastError = m_success ? std::string() : transfer.error;
    QPointer<THTTPGet> self(this);
    const auto& settings = transfer.settings();
    if (m_success && settings.toFile) {
        if (const auto handler = OnDoneFile)
            handler(*this, settings.fileName, transfer.total);
    } else if (m_success) {
        if (const auto handler = OnDoneString)
            handler(*this, transfer.text);
    } else if (const auto handler = OnError) {
        handler(*this);
    }
    if (!self)
        return;
    transfer.detachOwner();
    m_running.reset();
    if (m_waitLoop)
        m_waitLoop->quit();
}

bool InitializeTransfers()
{
    net::Registry& r = net::registry();
    std::lock_guard lock(r.mutex);
    if (!r.initialized && !r.initFailed) {
        r.initialized = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
        r.initFailed = !r.initialized;
    }
    return r.initialized;
}

bool ShutdownTransfers(std::chrono::milliseconds wait)
{
    net::Registry& r = net::registry();
    std::vector<std::shared_ptr<Transfer>> running;
    {
        std::lock_guard lock(r.mutex);
        r.closed = true;
        running = r.live;
    }
    for (const auto& transfer : running)
        transfer->cancel();
    running.clear();
    const bool ended = WaitForTransfersToEnd(wait);
    std::lock_guard lock(r.mutex);
    if (ended && r.initialized) {
        curl_global_cleanup();
        r.initialized = false;
    }
    return ended;
}

bool WaitForTransfersToEnd(std::chrono::milliseconds wait)
{
    net::Registry& r = net::registry();
    std::unique_lock lock(r.mutex);
    return r.idle.wait_for(lock, wait, [&r] { return r.live.empty(); });
}

void ReopenTransfers()
{
    std::lock_guard lock(net::registry().mutex);
    net::registry().closed = false;
}

} // namespace orbita
