#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The decisions of the HTTP download component that need no network: which
// addresses may be fetched, how a Content-Length header is read, when a
// transfer counts as done and how progress is expressed. Qt-free, so that the
// sanitizer build tests them.
namespace orbita::net {

// The limits of one transfer. The defaults are the program's; tests inject
// short ones.
struct TransferLimits {
    long connectTimeoutSeconds = 30; // a connection not made by then fails
    long stallSeconds = 60; // this long without a byte of data fails
    std::int64_t maxBytes = 200LL * 1024 * 1024; // a larger answer fails
    long maxRedirects = 5; // the sixth redirect fails
};

// The scheme of an address, lower-cased: "http", "https", "file", … Empty when
// the address has no "scheme://" prefix.
std::string_view SchemeOf(std::string_view address);

// Only http:// and https:// addresses are fetched (an address that comes from
// the network must not reach local files or other protocols).
bool IsFetchableAddress(std::string_view address);

// A redirect may never lead from https to plain http.
bool IsAllowedRedirect(std::string_view from, std::string_view to);

// The value of a Content-Length header (surrounding blanks allowed): a
// decimal number of at most 18 digits. Anything else (a sign, letters, an
// empty value, an overlong number) is treated as no length at all.
std::optional<std::int64_t> ParseContentLength(std::string_view value);

// When a header line is "Content-Length: …" (name without regard to case),
// its parsed value, else nothing. `isLengthHeader` tells whether the line
// named the header at all (a garbage value still replaces an earlier one).
struct HeaderLength {
    bool isLengthHeader = false;
    std::optional<std::int64_t> length;
};
HeaderLength ContentLengthOfHeaderLine(std::string_view line);

// An HTTP status of success: 200..299.
bool IsSuccessStatus(long status);

// Everything a finished transfer knows about itself, gathered by the worker.
struct TransferOutcome {
    bool toFile = false; // a file transfer, else a string transfer
    bool binaryData = false; // the component's BinaryData
    bool cancelled = false; // Cancel() or the component's destruction
    bool transportOk = false; // the connection, request and every read worked
    long status = 0; // the final HTTP status
    bool targetOk = true; // the target file was created, every write and the close succeeded
    std::optional<std::int64_t> announced; // Content-Length of the final answer
    std::int64_t received = 0; // bytes of the body
    std::int64_t maxBytes = TransferLimits().maxBytes;
};

// The success rule, decided once at the very end: no cancel, no transport or
// target error, a 2xx status, nothing above the size cap; with an announced
// length exactly that many bytes; without one, BinaryData fails; a string
// transfer needs at least one byte. A file transfer without a length is done
// with whatever arrived (possibly nothing).
bool TransferSucceeded(const TransferOutcome& outcome);

// Whether an announced length already dooms the transfer (above the cap), so
// that nothing is read or written.
bool ExceedsCap(std::optional<std::int64_t> announced, std::int64_t maxBytes);

// The whole percentage `received` × 100 ÷ `total`, in 64-bit arithmetic,
// limited to 0..100; 0 when the total is not known.
int PercentOf(std::int64_t received, std::int64_t total);

} // namespace orbita::net
