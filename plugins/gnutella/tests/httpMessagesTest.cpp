// HTTP as both transfer directions read and write it, and the texts of
// transfer status codes.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/text.h"
#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/downloadAnswer.h"
#include "plugins/gnutella/httpMessages.h"
#include "plugins/gnutella/resources.h"
#include "plugins/gnutella/tests/gnutellaFixture.h"

namespace vesk::gnutella::test {
namespace {

std::unique_ptr<CGnutellaHTTP> parse(const std::string& text) {
    return std::unique_ptr<CGnutellaHTTP>(ParseHttpRequestText(text.data(), text.size()));
}

TEST(HttpRequest, AGetWithUserAgentAndAnOpenRange) {
    auto request = parse("GET /get/12/a.mp3 HTTP/1.1\r\nUser-Agent: Foo\r\nRange: bytes=100-\r\n\r\n");
    ASSERT_TRUE(request);
    EXPECT_STREQ(request->method, "GET");
    EXPECT_STREQ(request->requestLine, "GET /get/12/a.mp3");
    EXPECT_EQ(request->majorVersion, 1);
    EXPECT_EQ(request->minorVersion, 1);
    EXPECT_STREQ(request->userAgent, "Foo");
    EXPECT_STREQ(request->connection, "");
    EXPECT_EQ(request->rangeStart, 100u);
    EXPECT_FALSE(request->hasRangeEnd);
    EXPECT_FALSE(request->rangeUnreadable);
}

TEST(HttpRequest, RangesAndConnection) {
    struct row {
        const char* headers;
        std::uint32_t start;
        bool hasEnd;
        std::uint32_t end;
        bool unreadable;
    } rows[] = {
        {"Range: bytes=100-199\r\n", 100, true, 199, false},
        {"", 0, false, 0, false},  // no Range: from the start
        {"range: bytes=5-\r\n", 5, false, 0, false},
        {"Range: bytes=4000000000-4294967295\r\n", 4000000000u, true, 4294967295u, false},
        {"Range: bytes 100-199\r\n", 0, false, 0, true},    // no "="
        {"Range: bytes=-100-5\r\n", 0, false, 0, true},     // a sign is no number
        {"Range: bytes=4294967296-\r\n", 0, false, 0, true},  // past 32 bits
        {"Range: bytes=200-100\r\n", 200, true, 100, true},  // ends before it starts
        {"Range: bytes=1x-5\r\n", 0, false, 0, true},
    };
    for (const row& r : rows) {
        auto request =
            parse(std::string("GET /get/1/x HTTP/1.0\r\nConnection: Keep-Alive\r\n") + r.headers + "\r\n");
        ASSERT_TRUE(request) << r.headers;
        EXPECT_EQ(request->rangeUnreadable, r.unreadable) << r.headers;
        if (!r.unreadable || r.hasEnd) {
            EXPECT_EQ(request->rangeStart, r.start) << r.headers;
            EXPECT_EQ(request->hasRangeEnd, r.hasEnd) << r.headers;
            if (r.hasEnd) {
                EXPECT_EQ(request->rangeEnd, r.end) << r.headers;
            }
        }
        EXPECT_STREQ(request->connection, "Keep-Alive");
    }
}

TEST(HttpRequest, WhatDoesNotParse) {
    const char* refused[] = {
        "GET /get/1/a.mp3 FTP/1.0\r\n\r\n",        // no HTTP version
        "GET /index.html HTTP/1.0\r\n\r\n",        // neither /get nor /uri-res
        "GET /get/1/a.mp3 HTTP/1.0",               // no line end
        "GET /get/1/a.mp3 HTTP/10\r\n\r\n",        // no "." in the version
        "GET\r\n\r\n",                             // no blank in the line
        "GET /get/1/a HTTP/1.0\r\nUser-Agent: x",  // a header without its line end
    };
    for (const char* text : refused)
        EXPECT_FALSE(parse(text)) << text;
    EXPECT_TRUE(parse("GET /get/1/a.mp3 http/1.0\r\n\r\n")) << "the version is read in any case";
    EXPECT_TRUE(parse("GET /uri-res/N2R?urn:sha1:ABC HTTP/1.1\r\n\r\n"));
}

TEST(HttpRequest, LongValuesAreCutToTheirFields) {
    std::string agent(1000, 'a');
    auto request =
        parse("GET /get/1/" + std::string(600, 'n') + " HTTP/1.0\r\nUser-Agent: " + agent + "\r\n\r\n");
    ASSERT_TRUE(request);
    EXPECT_EQ(std::string(request->userAgent), agent.substr(0, 259));
    EXPECT_EQ(std::strlen(request->requestLine), 261u);
}

TEST(HttpStatus, SuccessIsZeroAndKnownFailuresAreStored) {
    std::uint32_t code = 7;
    EXPECT_EQ(ParseHttpStatus("HTTP/1.1 206 Partial Content", code), 0);
    EXPECT_EQ(ParseHttpStatus("HTTP/1.0 200 OK", code), 0);
    EXPECT_EQ(ParseHttpStatus("HTTP/1.0", code), 0) << "no blank";
    EXPECT_EQ(code, 7u);
    EXPECT_EQ(ParseHttpStatus("HTTP/1.1 416 Range Not Satisfiable", code), 1);
    EXPECT_EQ(code, 7u) << "a status the table does not know leaves the code";
    EXPECT_EQ(ParseHttpStatus("HTTP/1.1 503 Busy", code), 1);
    EXPECT_EQ(code, 503u);
    EXPECT_EQ(ParseHttpStatus("HTTP/1.1 302 Found", code), 1);
    EXPECT_EQ(code, 302u);
}

TEST(HttpError, StatusLineServerAndPage) {
    EXPECT_EQ(HttpErrorText(503, nullptr),
              "HTTP/1.1 503 Service Unavailable\r\nServer: Pelloran v3.1.3\r\n\r\n");
    EXPECT_EQ(HttpErrorText(992, nullptr), "HTTP/1.1 400 Bad Request\r\nServer: Pelloran v3.1.3\r\n\r\n");
    EXPECT_EQ(HttpErrorText(777, "<p>x</p>"),
              "HTTP/1.1 500 Internal Server Error\r\nServer: Pelloran v3.1.3\r\nContent-Length: 8\r\n"
              "Content-Type: text/html\r\n\r\n<p>x</p>");
}

TEST(StatusTexts, EachCodeHasItsText) {
    EXPECT_EQ(StatusTextId(500), 40063u);
    EXPECT_EQ(StatusTextId(503), 40075u);
    EXPECT_EQ(StatusTextId(404), 40062u);
    EXPECT_EQ(StatusTextId(990), 40066u);
    EXPECT_EQ(StatusTextId(999), 40047u);
    EXPECT_EQ(StatusTextId(201), 40048u);
    EXPECT_EQ(StatusTextId(10061), 40048u);
}

class StatusTextResources : public gnutellaFixture {
protected:
    void SetUp() override {
        gnutellaFixture::SetUp();
        InitResources();
    }
    void TearDown() override {
        ReleaseResources();
        gnutellaFixture::TearDown();
    }
};

TEST_F(StatusTextResources, TextsComeFromTheLanguageModule) {
    EXPECT_STREQ(StatusText(404), "File not found");
    EXPECT_STRNE(StatusText(500), StatusText(503));
    EXPECT_STRNE(StatusText(503), "");
    EXPECT_STREQ(StatusText(12345), ResourceText(IDS_GNU_STATUS_UNKNOWN));
}

TEST(DownloadRequest, RangeOnlyWhenBytesAreThere) {
    EXPECT_EQ(DownloadRequestText(12, "song.mp3", 0),
              "GET /get/12/song.mp3 HTTP/1.0\r\nConnection: Keep-Alive\r\n\r\n");
    EXPECT_EQ(DownloadRequestText(12, "my song.mp3", 1),
              "GET /get/12/my song.mp3 HTTP/1.0\r\nConnection: Keep-Alive\r\nRange: bytes=1-\r\n\r\n");
}

TEST(DownloadRequest, APeersLineBreakInTheNameStaysInsideTheRequestLine) {
    EXPECT_EQ(DownloadRequestText(3, "a\r\nX-Evil: 1\t.mp3", 0),
              "GET /get/3/a%0D%0AX-Evil: 1%09.mp3 HTTP/1.0\r\nConnection: Keep-Alive\r\n\r\n");
}

TEST(DownloadAnswer, PrefixAndHeaderEnd) {
    EXPECT_TRUE(BeginsLikeHttp("http/1.1 200"));
    EXPECT_TRUE(BeginsLikeHttp("HT")) << "more may come";
    EXPECT_FALSE(BeginsLikeHttp("ICY 200 OK"));
    EXPECT_FALSE(BeginsLikeHttp("HX"));
    EXPECT_EQ(AnswerHeaderLength("HTTP/1.1 200 OK\r\nA: b\r\n\r\nbody"), 25u);
    EXPECT_EQ(AnswerHeaderLength("HTTP/1.1 200 OK\r\nA: b\r\n"), 0u);
}

TEST(DownloadAnswer, ContentRangeInBothForms) {
    struct row {
        const char* header;
        rangeStart result;
        std::uint64_t start;
    } rows[] = {
        {"content-range: bytes=1000-1999/2000\r\n", rangeStart::read, 1000},
        {"content-range: bytes 1000-1999/2000\r\n", rangeStart::read, 1000},
        {"content-range:bytes=0-9/10\r\n", rangeStart::read, 0},
        {"content-range: bytes */2000\r\n", rangeStart::none, 0},
        {"content-range: bytes=1000\r\n", rangeStart::none, 0},
        {"content-length: 5\r\n", rangeStart::none, 0},
        {"content-range: bytes=2001-2001/2002\r\n", rangeStart::beyondLimit, 0},
        {"content-range: bytes=99999999999999999999999-\r\n", rangeStart::beyondLimit, 0},
    };
    for (const row& r : rows) {
        std::uint64_t start = 0;
        EXPECT_EQ(RangeStartFrom(r.header, 2000, start), r.result) << r.header;
        EXPECT_EQ(start, r.start) << r.header;
    }
}

TEST(DownloadAnswer, TheAnnouncedEndIsTheRangesLastByteElseTheLengthNeverPastTheFile) {
    struct row {
        const char* header;
        std::uint64_t start, fileSize, end;
    } rows[] = {
        // A current servent's capped answer.
        {"http/1.1 206 partial content\r\ncontent-range: bytes 0-524287/25165824\r\ncontent-length: 524288\r\n",
         0, 25165824, 524288},
        {"content-range: bytes=1000-1999/2000\r\n", 1000, 2000, 2000},
        {"content-range: bytes 0-99/2000\r\ncontent-length: 500\r\n", 0, 2000, 100},  // the range wins
        {"content-range: bytes 0-/2000\r\ncontent-length: 500\r\n", 0, 2000, 500},
        {"content-length: 500\r\n", 1000, 2000, 1500},
        {"content-length: 5000\r\n", 0, 2000, 2000},
        {"content-range: bytes 0-99999999999999999999/2000\r\n", 0, 2000, 2000},
        {"content-range: bytes 500-100/2000\r\n", 500, 2000, 500},
        {"x-content-length: 5\r\n", 0, 2000, 2000},
        {"content-length: many\r\n", 0, 2000, 2000},
        {"server: x\r\n", 0, 2000, 2000},
    };
    for (const row& r : rows)
        EXPECT_EQ(AnnouncedEnd(r.header, r.start, r.fileSize), r.end) << r.header;
}

TEST(DownloadAnswer, ClientNameAndIcon) {
    std::string header = lowerCase("HTTP/1.1 200 OK\r\nServer:   BearShare 2.3\r\n\r\n");
    EXPECT_EQ(ClientNameFrom(header), "Bearshare 2.3");
    EXPECT_EQ(VendorOf(ClientNameFrom(header)), vendorImage::vendor149);
    EXPECT_EQ(ClientNameFrom("http/1.1 200 ok\r\n\r\n"), "");
    EXPECT_EQ(VendorOf(""), vendorImage::other);
    EXPECT_EQ(VendorOf("Pelloran 1.0"), vendorImage::own);
    EXPECT_EQ(ClientNameFrom("server: " + std::string(400, 'x') + "\r\n").size(), 259u);
}

}  // namespace
}  // namespace vesk::gnutella::test
