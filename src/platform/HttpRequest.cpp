#include "platform/HttpRequest.h"

#include "platform/Error.h"
#include "platform/TextEncoding.h"

#include <QUrl>

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace {

struct EasyDeleter {
    void operator()(CURL *handle) const { curl_easy_cleanup(handle); }
};
struct ListDeleter {
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};
using Easy = std::unique_ptr<CURL, EasyDeleter>;
using HeaderList = std::unique_ptr<curl_slist, ListDeleter>;

struct Transfer {
    QByteArray body;
    bool tooLarge = false;
};

size_t collectBody(char *data, size_t size, size_t count, void *userdata) {
    auto *transfer = static_cast<Transfer *>(userdata);
    const size_t bytes = size * count;
    if (transfer->body.size() + qsizetype(bytes) > HttpRequest::kMaxResponseBytes) {
        transfer->tooLarge = true;
        return 0; // ends the transfer
    }
    transfer->body.append(data, qsizetype(bytes));
    return bytes;
}

void appendHeader(HeaderList &list, const QByteArray &line) {
    curl_slist *grown = curl_slist_append(list.get(), line.constData());
    if (!grown)
        throw Error(QStringLiteral("Out of memory"));
    list.release();
    list.reset(grown);
}

bool isToken(const QString &text) {
    if (text.isEmpty())
        return false;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        const bool ok = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                        (c >= u'0' && c <= u'9') || QStringView(u"!#$%&'*+-.^_`|~").contains(ch);
        if (!ok)
            return false;
    }
    return true;
}

bool hasLineBreak(const QString &text) {
    return text.contains(u'\r') || text.contains(u'\n') || text.contains(QChar(0));
}

QString charsetOf(const QString &contentType) {
    for (const QString &part : contentType.split(u';')) {
        const QString p = part.trimmed();
        if (p.startsWith(QLatin1String("charset="), Qt::CaseInsensitive)) {
            QString value = p.mid(8).trimmed();
            if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
                value = value.mid(1, value.size() - 2);
            return value;
        }
    }
    return {};
}

} // namespace

namespace http {

void globalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

} // namespace http

HttpRequest::HttpRequest() {
    http::globalInit();
}

HttpRequest::~HttpRequest() = default;

void HttpRequest::open(const QString &method, const QString &url, bool async) {
    if (async)
        throw Error(QStringLiteral("Asynchronous requests are not supported"));
    if (!isToken(method))
        throw Error(QStringLiteral("Invalid HTTP method: ") + method);
    m_method = method.toUpper();
    m_url = url;
    m_headers.clear();
    m_opened = true;
    m_status = 0;
    m_responseBody.clear();
    m_contentType.clear();
}

void HttpRequest::setRequestHeader(const QString &name, const QString &value) {
    if (!m_opened)
        throw Error(QStringLiteral("The request is not open"));
    if (!isToken(name) || hasLineBreak(value))
        throw Error(QStringLiteral("Invalid HTTP header: ") + name);
    m_headers.emplace_back(name, value);
}

void HttpRequest::send(const QByteArray &body) {
    if (!m_opened)
        throw Error(QStringLiteral("The request is not open"));
    m_status = 0;
    m_responseBody.clear();
    m_contentType.clear();

    Easy easy(curl_easy_init());
    if (!easy)
        throw Error(QStringLiteral("Cannot create an HTTP request"));
    CURL *h = easy.get();
    char errorText[CURL_ERROR_SIZE] = {};
    Transfer transfer;

    // Non-ASCII characters of the address travel percent-encoded as UTF-8.
    const QByteArray url = QUrl(m_url, QUrl::TolerantMode).toEncoded();
    const QByteArray method = m_method.toLatin1();
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(h, CURLOPT_URL, url.constData());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, long(m_timeouts.connectMs));
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, long(m_timeouts.totalMs));
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, collectBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer);

    HeaderList headers;
    bool contentTypeSet = false;
    for (const auto &[name, value] : m_headers) {
        appendHeader(headers, (name + QStringLiteral(": ") + value).toUtf8());
        contentTypeSet = contentTypeSet || name.compare(u"Content-Type", Qt::CaseInsensitive) == 0;
    }
    if (!body.isEmpty() || (m_method != u"GET" && m_method != u"HEAD")) {
        curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body.size()));
        curl_easy_setopt(h, CURLOPT_POSTFIELDS, body.constData());
        // The body goes as it is: no form type that it is not, no wait for "100 Continue".
        if (!contentTypeSet)
            appendHeader(headers, "Content-Type:");
        appendHeader(headers, "Expect:");
    }
    if (m_method == u"HEAD")
        curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
    else if (m_method != u"POST" || body.isEmpty())
        curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, method.constData());
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());

    const CURLcode code = curl_easy_perform(h);
    if (transfer.tooLarge)
        throw Error(QStringLiteral("The answer is larger than %1 MB")
                        .arg(kMaxResponseBytes / (1024 * 1024)));
    if (code != CURLE_OK)
        throw Error(QString::fromUtf8(errorText[0] ? errorText : curl_easy_strerror(code)));

    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    const char *contentType = nullptr;
    curl_easy_getinfo(h, CURLINFO_CONTENT_TYPE, &contentType);
    m_status = int(status);
    m_contentType = contentType ? QString::fromLatin1(contentType) : QString();
    m_responseBody = std::move(transfer.body);
}

QString HttpRequest::responseText() const {
    using namespace textencoding;
    if (const auto bom = byteOrderMark(m_responseBody))
        return decode(QByteArrayView(m_responseBody).sliced(bom->length), bom->encoding,
                      Malformed::Replace);
    const auto named = encodingNamed(charsetOf(m_contentType).toLatin1());
    return decode(m_responseBody, named.value_or(Encoding::Utf8), Malformed::Replace);
}
