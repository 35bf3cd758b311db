#include "platform/HttpRequest.h"
#include "platform/Error.h"
#include "support/LoopbackHttpServer.h"

#include <QTcpServer>

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

QString errorOf(const std::function<void()> &action) {
    try {
        action();
    } catch (const Error &e) {
        return e.text();
    }
    return u"(no error)"_s;
}

std::optional<HttpServerResponse> answer(int status, QByteArray contentType, QByteArray body) {
    return HttpServerResponse{status, std::move(contentType), std::move(body), {}};
}

TEST(HttpRequest, AGetKeepsItsBodyAndHeadersOnTheWire) {
    LoopbackHttpServer server(
        [](const HttpServerRequest &) { return answer(200, "text/plain", "ok"); });
    const QByteArray body = "<?xml version=\"1.0\"?>\r\n<a>\xDE</a>\r\n"; // bytes as they are
    HttpRequest request;
    request.open(u"GET"_s, server.baseUrl() + u"callerid/cidsil.php"_s);
    request.setRequestHeader(u"X-Test"_s, u"değer"_s);
    request.send(body);
    EXPECT_EQ(request.status(), 200);
    EXPECT_EQ(request.responseText(), u"ok"_s);

    ASSERT_EQ(server.requests().size(), 1u);
    const HttpServerRequest got = server.requests().front();
    EXPECT_EQ(got.method, QByteArray("GET"));
    EXPECT_EQ(got.target, QByteArray("/callerid/cidsil.php"));
    EXPECT_EQ(got.body, body);
    EXPECT_EQ(got.header("Content-Length"), QByteArray::number(body.size()));
    EXPECT_EQ(got.header("X-Test"), u"değer"_s.toUtf8());
    // No form type is claimed for a body that is not a form, and nobody waits for 100.
    EXPECT_EQ(got.header("Content-Type"), QByteArray());
    EXPECT_EQ(got.header("Expect"), QByteArray());

    // Without a body a GET is a plain GET; non-ASCII in the address goes as UTF-8.
    request.open(u"GET"_s, server.baseUrl() + u"a?ad=Şule Öz"_s);
    request.send();
    const HttpServerRequest plain = server.requests().back();
    EXPECT_EQ(plain.target, QByteArray("/a?ad=%C5%9Eule%20%C3%96z"));
    EXPECT_EQ(plain.body, QByteArray());
    EXPECT_EQ(plain.header("Content-Length"), QByteArray());
}

TEST(HttpRequest, ResponseTextFollowsTheAnswersCharset) {
    struct Case {
        const char *name;
        QByteArray contentType, body;
        QString expected;
    } cases[] = {
        {"no charset: UTF-8", "text/plain", u"Şükrü"_s.toUtf8(), u"Şükrü"_s},
        {"ISO-8859-9", "text/plain; charset=ISO-8859-9", "\xDE\xFC", u"Şü"_s},
        {"quoted windows-1254", "text/xml; charset=\"windows-1254\"", "\xDE\x80", u"Ş€"_s},
        {"byte order mark wins", "text/plain; charset=iso-8859-1", "\xEF\xBB\xBF\xC5\x9E", u"Ş"_s},
        {"malformed UTF-8 is replaced", "text/plain", "a\xC4", u"a\uFFFD"_s},
    };
    for (const Case &c : cases) {
        LoopbackHttpServer server(
            [&c](const HttpServerRequest &) { return answer(200, c.contentType, c.body); });
        HttpRequest request;
        request.open(u"GET"_s, server.baseUrl());
        request.send();
        EXPECT_EQ(request.responseText(), c.expected) << c.name;
        EXPECT_EQ(request.responseBody(), c.body) << c.name;
    }
}

TEST(HttpRequest, AnErrorStatusIsAnAnswerNotAFailure) {
    LoopbackHttpServer server(
        [](const HttpServerRequest &) { return answer(404, "text/html", "<p>yok</p>"); });
    HttpRequest request;
    request.open(u"GET"_s, server.baseUrl() + u"nothing"_s);
    request.send();
    EXPECT_EQ(request.status(), 404);
    EXPECT_EQ(request.responseText(), u"<p>yok</p>"_s);
}

TEST(HttpRequest, FailuresCarryLibcurlsMessage) {
    // A port that nothing listens on: take a free one and let it go.
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    HttpRequest refused;
    refused.open(u"GET"_s, u"http://127.0.0.1:%1/x.xml"_s.arg(closedPort));
    const QString refusedText = errorOf([&] { refused.send(); });
    EXPECT_TRUE(refusedText.contains(u"Couldn't connect to server"_s)) << refusedText.toStdString();

    // A server that takes the request and never answers: the total time-out ends it.
    LoopbackHttpServer hung([](const HttpServerRequest &) { return std::nullopt; });
    HttpRequest slow;
    slow.setTimeouts({1000, 300});
    slow.open(u"GET"_s, hung.baseUrl());
    const QString slowText = errorOf([&] { slow.send(); });
    EXPECT_TRUE(slowText.startsWith(u"Operation timed out after "_s)) << slowText.toStdString();
}

TEST(HttpRequest, OnlyHttpAndHttpsAreFollowed) {
    LoopbackHttpServer redirecting([](const HttpServerRequest &) {
        HttpServerResponse r{302, "text/plain", "moved", {{"Location", "file:///etc/passwd"}}};
        return std::optional(r);
    });
    struct Case {
        const char *name;
        QString url;
    } cases[] = {
        {"file address", u"file:///etc/passwd"_s},
        {"other protocol", u"ftp://127.0.0.1/x"_s},
        {"redirect to a file", redirecting.baseUrl()},
    };
    for (const Case &c : cases) {
        HttpRequest request;
        request.open(u"GET"_s, c.url);
        const QString text = errorOf([&] { request.send(); });
        EXPECT_TRUE(text.contains(u"not supported or disabled in libcurl"_s) ||
                    text.contains(u"Protocol"_s))
            << c.name << ": " << text.toStdString();
    }
}

TEST(HttpRequest, RefusesWhatItCannotSendFaithfully) {
    HttpRequest request;
    EXPECT_EQ(errorOf([&] { request.send(); }), u"The request is not open"_s);
    EXPECT_EQ(errorOf([&] { request.open(u"GET"_s, u"http://127.0.0.1/"_s, true); }),
              u"Asynchronous requests are not supported"_s);
    request.open(u"GET"_s, u"http://127.0.0.1/"_s);
    EXPECT_EQ(errorOf([&] { request.setRequestHeader(u"X"_s, u"a\r\nInjected: 1"_s); }),
              u"Invalid HTTP header: X"_s);
    EXPECT_EQ(errorOf([&] { request.setRequestHeader(u"Bad Name"_s, u"v"_s); }),
              u"Invalid HTTP header: Bad Name"_s);
    EXPECT_EQ(errorOf([&] { request.open(u"GE T"_s, u"http://127.0.0.1/"_s); }),
              u"Invalid HTTP method: GE T"_s);
}

} // namespace
