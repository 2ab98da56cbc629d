#include "net/http_rules.h"

#include <gtest/gtest.h>

namespace orbita::net {
namespace {

TEST(HttpRules, OnlyHttpAndHttpsAreFetched)
{
    const struct {
        const char* address;
        bool fetched;
    } rows[] = {
        { "http://127.0.0.1:8080/a", true },
        { "HTTPS://example.org/", true },
        { "file:///etc/passwd", false },
        { "ftp://example.org/x", false },
        { "scp://host/x", false },
        { "example.org/support_orb3", false }, // no scheme
        { "://x", false },
        { "htt p://x", false },
        { "", false },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.address);
        EXPECT_EQ(IsFetchableAddress(row.address), row.fetched);
    }
    EXPECT_TRUE(IsAllowedRedirect("http://a/", "https://b/"));
    EXPECT_TRUE(IsAllowedRedirect("https://a/", "https://b/"));
    EXPECT_FALSE(IsAllowedRedirect("https://a/", "http://b/"));
    EXPECT_FALSE(IsAllowedRedirect("http://a/", "file:///etc/passwd"));
}

TEST(HttpRules, ContentLengthIsSixtyFourBitAndGarbageIsNone)
{
    const struct {
        const char* value;
        std::optional<std::int64_t> length;
    } rows[] = {
        { "0", 0 },
        { " 1234\r\n", 1234 },
        { "3000000000", 3000000000LL }, // beyond 32 bits
        { "999999999999999999", 999999999999999999LL }, // 18 digits
        { "9999999999999999999", std::nullopt }, // would overflow
        { "-5", std::nullopt },
        { "+5", std::nullopt },
        { "12abc", std::nullopt },
        { "1 2", std::nullopt },
        { "", std::nullopt },
        { "  ", std::nullopt },
        { "0x10", std::nullopt },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.value);
        EXPECT_EQ(ParseContentLength(row.value), row.length);
    }

    EXPECT_EQ(ContentLengthOfHeaderLine("content-LENGTH: 42\r\n").length, 42);
    EXPECT_TRUE(ContentLengthOfHeaderLine("Content-Length: nonsense\r\n").isLengthHeader);
    EXPECT_EQ(ContentLengthOfHeaderLine("Content-Length: nonsense\r\n").length, std::nullopt);
    EXPECT_FALSE(ContentLengthOfHeaderLine("Content-Type: text/plain\r\n").isLengthHeader);
    EXPECT_FALSE(ContentLengthOfHeaderLine("X-Content-Length: 5\r\n").isLengthHeader);
    EXPECT_FALSE(ContentLengthOfHeaderLine("HTTP/1.0 200 OK\r\n").isLengthHeader);
}

// A successful file transfer of 10 bytes; each row spoils one thing.
TEST(HttpRules, SuccessIsDecidedAtTheEnd)
{
    TransferOutcome good;
    good.toFile = true;
    good.transportOk = true;
    good.status = 200;
    good.announced = 10;
    good.received = 10;
    good.maxBytes = 100;
    ASSERT_TRUE(TransferSucceeded(good));

    const struct {
        const char* what;
        void (*spoil)(TransferOutcome&);
        bool success;
    } rows[] = {
        { "cancelled", [](TransferOutcome& o) { o.cancelled = true; }, false },
        { "dropped connection", [](TransferOutcome& o) { o.transportOk = false; }, false },
        { "failed write or close", [](TransferOutcome& o) { o.targetOk = false; }, false },
        { "404 with a body", [](TransferOutcome& o) { o.status = 404; }, false },
        { "500", [](TransferOutcome& o) { o.status = 500; }, false },
        { "final redirect", [](TransferOutcome& o) { o.status = 302; }, false },
        { "204", [](TransferOutcome& o) { o.status = 204; }, true },
        { "short body", [](TransferOutcome& o) { o.received = 9; }, false },
        { "long body", [](TransferOutcome& o) { o.received = 11; }, false },
        { "over the cap",
            [](TransferOutcome& o) {
                o.announced = 101;
                o.received = 101;
            },
            false },
        { "no length, text data",
            [](TransferOutcome& o) {
                o.announced.reset();
                o.received = 7;
            },
            true },
        { "no length, nothing arrived",
            [](TransferOutcome& o) {
                o.announced.reset();
                o.received = 0;
            },
            true },
        { "no length, binary data",
            [](TransferOutcome& o) {
                o.announced.reset();
                o.binaryData = true;
            },
            false },
        { "no length, over the cap",
            [](TransferOutcome& o) {
                o.announced.reset();
                o.received = 101;
            },
            false },
        { "announced empty file",
            [](TransferOutcome& o) {
                o.announced = 0;
                o.received = 0;
                o.binaryData = true;
            },
            true },
        { "string with a body", [](TransferOutcome& o) { o.toFile = false; }, true },
        { "string, empty body",
            [](TransferOutcome& o) {
                o.toFile = false;
                o.announced = 0;
                o.received = 0;
            },
            false },
        { "string, no length, empty",
            [](TransferOutcome& o) {
                o.toFile = false;
                o.announced.reset();
                o.received = 0;
            },
            false },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        TransferOutcome outcome = good;
        row.spoil(outcome);
        EXPECT_EQ(TransferSucceeded(outcome), row.success);
    }
}

TEST(HttpRules, PercentInSixtyFourBits)
{
    EXPECT_EQ(PercentOf(0, 0), 0);
    EXPECT_EQ(PercentOf(5, 0), 0); // total unknown
    EXPECT_EQ(PercentOf(1, 3), 33);
    EXPECT_EQ(PercentOf(3, 3), 100);
    EXPECT_EQ(PercentOf(4, 3), 100);
    // 30 MB of 40 MB: bytes × 100 passes 2^31.
    EXPECT_EQ(PercentOf(30LL * 1024 * 1024, 40LL * 1024 * 1024), 75);
    EXPECT_EQ(PercentOf(150LL * 1000 * 1000 * 1000, 200LL * 1000 * 1000 * 1000), 75);
    EXPECT_FALSE(ExceedsCap(std::nullopt, 10));
    EXPECT_FALSE(ExceedsCap(10, 10));
    EXPECT_TRUE(ExceedsCap(11, 10));
}

} // namespace
} // namespace orbita::net
