#pragma once

#include "net/http_rules.h"

#include <QObject>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QEventLoop;

namespace orbita {

namespace net {
class Transfer;
}

// THTTPGet fetches one http:// or https:// resource on a worker thread (libcurl)
// into a file or a string and reports on the thread that owns the component
// (the user-interface thread).
//
// Use:
//     auto* get = new THTTPGet(window);          // owned by its window
//     get->Agent = "Orbita";
//     get->WaitThread = true;
//     get->OnProgress = [](THTTPGet&, std::int64_t total, std::int64_t received) { … };
//     get->OnDoneFile = [](THTTPGet&, const std::string& file, std::int64_t size) { … };
//     get->OnError = [](THTTPGet&) { … };
//     get->TargetUrl = base + "?akcja=orbita&operacja=pokaz&parametr=skory";
//     get->FileName = tempFolder + "/ORBLIST.TMP";
//     get->DownloadToFile(); // with WaitThread: returns after the completion event ran
//
// Properties are read when a transfer starts (the worker takes a copy); changing
// them during a transfer affects the next one only. One component runs at most
// one transfer; a start while one runs is ignored without notice.
//
// Events (all on the owner's thread, never after the component is destroyed):
// - OnProgress(total, received) after each block of the body, synchronously:
//   the worker waits until the handler returns. The first piece of the body
//   is told at once; after it a block is what arrives within 40 ms, at most
//   256 KB; the last event comes after the whole body and tells every byte
//   received. `total` is the announced length
//   or 0 when the server sent none. Cancel() or destroying the component
//   releases a waiting worker at once, so a handler may do either.
// - OnDoneFile(FileName, size): a file transfer succeeded; `size` is the
//   announced length, 0 when the server announced none (the file then holds
//   whatever arrived, possibly nothing).
// - OnDoneString(result): a string transfer succeeded (at least one byte).
// - OnError(): the transfer failed or was cancelled.
// The running state is cleared after the completion event has returned, so a
// start from inside a completion handler is ignored.
//
// A transfer succeeds only when, at its very end, all of this holds (see
// net::TransferSucceeded): no cancel; the address is http:// or https://
// (redirects: at most Limits.maxRedirects, only to http/https, never from https
// to http); certificates check out; the final status is 2xx; with a
// Content-Length (read as 64-bit, a garbage value counts as none) exactly that
// many bytes arrived; without one BinaryData is false; no more than
// Limits.maxBytes; for a file, the target was created, every write succeeded
// and the file closed without error. The target is created only once the
// server has answered 2xx, so an error answer leaves an existing file as it
// was. A string transfer needs at least one byte. A cancelled or failed file transfer leaves the
// partial file on disk (callers download into a private temporary file).
//
// The connection must be made within Limits.connectTimeoutSeconds, and a
// transfer that receives no data for Limits.stallSeconds fails. Proxies come
// from the environment (http_proxy, https_proxy, no_proxy).
class THTTPGet final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(THTTPGet)

public:
    explicit THTTPGet(QObject* owner = nullptr);
    // Cancels a running transfer; its events never arrive. Never waits for
    // the worker.
    ~THTTPGet() override;

    // Published properties.
    std::string AcceptTypes = "*/*"; // sent as "Accept: …"; empty sends libcurl's default
    std::string Agent; // User-Agent; empty sends none
    bool BinaryData = false; // true: an answer without a Content-Length fails
    bool UseCache = false; // false: "Cache-Control: no-cache" and "Pragma: no-cache"
    std::string FileName; // target of DownloadToFile, a local path (UTF-8)
    std::string UserName; // credentials for the server (HTTP authentication)
    std::string Password;
    std::string PostQuery; // non-empty: a POST with this form-encoded body
    std::string Referer;
    bool WaitThread = false; // see DownloadToFile and DownloadToString

    std::string TargetUrl; // the address of the next transfer

    // Limits of a transfer (the program's by default; tests shorten them).
    net::TransferLimits Limits;
    // A file of extra certificates to trust instead of the system's (tests
    // with a self-signed server); empty: the system's trust store.
    std::string CaBundle;

    std::function<void(THTTPGet& sender, std::int64_t totalSize, std::int64_t readed)> OnProgress;
    std::function<void(THTTPGet& sender, const std::string& fileName, std::int64_t fileSize)> OnDoneFile;
    std::function<void(THTTPGet& sender, const std::string& result)> OnDoneString;
    std::function<void(THTTPGet& sender)> OnError;

    // Starts a transfer of TargetUrl into FileName (created or truncated when
    // the server answers with success). Ignored while a transfer runs. With
    // WaitThread the call returns only after the transfer finished and its
    // completion event ran; meanwhile it runs a nested event loop, so windows
    // stay responsive and re-entrant events (a cancel button) arrive. The
    // component may be destroyed by such an event: the caller must not touch
    // it after the call unless it holds a QPointer.
    void DownloadToFile();
    // Starts a transfer of TargetUrl into a string. Ignored while a transfer
    // runs. With WaitThread it handles the events already queued and returns
    // at once, without waiting for the transfer.
    void DownloadToString();
    // Stops a running transfer: it ends with OnError (the worker notices at
    // once while waiting for a progress handler, otherwise within about a
    // second). Does nothing when idle.
    void Cancel();

    bool Running() const { return m_running != nullptr; }
    // Whether the last finished transfer succeeded.
    bool Succeeded() const { return m_success; }
    // libcurl's description of why the last transfer failed, in English, for
    // logs; empty after a success or when the failure was decided by the
    // component's own rules.
    const std::string& LastError() const { return m_lastError; }

private:
    friend class net::Transfer;
    void start(bool toFile);
    void finish(net::Transfer& transfer);

    std::shared_ptr<net::Transfer> m_running;
    bool m_success = false;
    std::string m_lastError;
    QEventLoop* m_waitLoop = nullptr;
};

// libcurl's global set-up; call once on the main thread before any window
// (the component calls it too, on its first transfer). Returns false when
// libcurl cannot start (every transfer then fails).
bool InitializeTransfers();

// At application exit: refuses new transfers (they end in OnError at once),
// cancels every running one and waits up to `wait` for their workers to end.
// libcurl's global clean-up runs only when every worker has ended. Returns
// whether they all ended in time.
bool ShutdownTransfers(std::chrono::milliseconds wait);

// Waits up to `wait` until no worker runs (without cancelling any); whether
// none does. Tests use it to see that a worker ended.
bool WaitForTransfersToEnd(std::chrono::milliseconds wait);

// Accepts transfers again after ShutdownTransfers (tests that check the exit).
void ReopenTransfers();

} // namespace orbita
