#include "callerid/MobileFeed.h"

#include "platform/Cp1254.h"
#include "platform/Error.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>

#include <algorithm>
#include <chrono>

namespace {

// Ends the running flag however the poll leaves.
class PollingFlag {
public:
    explicit PollingFlag(bool &flag)
        : m_flag(flag) {
        m_flag = true;
    }
    ~PollingFlag() { m_flag = false; }
    PollingFlag(const PollingFlag &) = delete;
    PollingFlag &operator=(const PollingFlag &) = delete;

private:
    bool &m_flag;
};

QString xmlEscaped(const QString &text) {
    QString escaped = text;
    escaped.replace(u'&', QStringLiteral("&amp;"));
    escaped.replace(u'<', QStringLiteral("&lt;"));
    escaped.replace(u'>', QStringLiteral("&gt;"));
    return escaped;
}

// What tells one list of entries from another: each entry's id, number and name.
QByteArray entriesKey(const TXMLArayanlarType &feed) {
    QByteArray key;
    for (int i = 0; i < feed.Count(); ++i) {
        const TXMLArayanType caller = feed.Items(i);
        key += caller.node().child(QStringLiteral("Id")).text().toUtf8() + '\x1f' +
               caller.PhoneNumber() + '\x1f' + caller.AdSoyad().toUtf8() + '\x1e';
    }
    return key;
}

QString fileIdentity(const QFileInfo &file) {
    return file.absoluteFilePath() + u'|' + QString::number(file.size()) + u'|' +
           QString::number(file.lastModified().toMSecsSinceEpoch());
}

} // namespace

const QString MobileFeed::kFetchFailureText = QStringLiteral("XML DOSYASI ALINAMADI...!");
const QString MobileFeed::kFeedNoteText = QStringLiteral("Mobil arayan listesi alınamıyor");

MobileFeed::MobileFeed(Settings settings, Hooks hooks)
    : m_settings(std::move(settings))
    , m_hooks(std::move(hooks)) {
    m_settings.baseUrl = m_settings.baseUrl.trimmed();
    if (!m_settings.baseUrl.isEmpty() && !m_settings.baseUrl.endsWith(u'/'))
        m_settings.baseUrl += u'/';
    if (!m_hooks.processMessages)
        m_hooks.processMessages = [] {
            QCoreApplication::processEvents();
        };
    if (!m_hooks.clockMs)
        m_hooks.clockMs = [] {
            using namespace std::chrono;
            return qint64(
                duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
        };
    if (!m_hooks.playSound)
        m_hooks.playSound = [this](const QString &path, QString *error) {
            return m_sound.playToEnd(path, error);
        };
}

bool MobileFeed::configured() const {
    return !m_settings.imeino.isEmpty() && !m_settings.baseUrl.isEmpty();
}

QString MobileFeed::addressPart(const QString &imeino) {
    // Unreserved characters but "~" stay as they are.
    return QString::fromLatin1(QUrl::toPercentEncoding(imeino, QByteArray(), "~"));
}

QString MobileFeed::feedAddress() const {
    return m_settings.baseUrl + QStringLiteral("callerid/") + addressPart(m_settings.imeino) +
           QStringLiteral(".xml");
}

QString MobileFeed::acknowledgementAddress() const {
    return m_settings.baseUrl + QStringLiteral("callerid/cidsil.php");
}

QByteArray MobileFeed::acknowledgementDocument(const QString &imeino) {
    // Escaped, so that a mistyped IMEI cannot make the document name another phone.
    const QString lines[] = {
        QStringLiteral("<?xml version=\"1.0\" encoding=\"iso-8859-9\"?>"),
        QStringLiteral("<Arayanlar>"),
        QStringLiteral("<Arayan>"),
        QStringLiteral("<imeino>") + xmlEscaped(imeino) + QStringLiteral("</imeino>"),
        QStringLiteral("</Arayan>"),
        QStringLiteral("</Arayanlar>"),
    };
    QByteArray document;
    for (const QString &line : lines)
        document += cp1254::fromUnicode(line) + "\r\n";
    return document;
}

QByteArray MobileFeed::withoutLeadingZero(const QByteArray &number) {
    return number.startsWith('0') ? number.mid(1) : number;
}

void MobileFeed::mobilkontrol() {
    if (m_polling || !configured() || m_hooks.clockMs() < m_nextPollAt)
        return;
    PollingFlag flag(m_polling);
    m_slowFailure = false;
    poll();
    putOffAfterSlowFailure();
}

void MobileFeed::poll() {
    m_hooks.processMessages();
    QElapsedTimer fetching;
    fetching.start();
    try {
        m_document = LoadArayanlar(feedAddress(), m_settings.timeouts);
    } catch (const Error &) {
        noteFailure(fetching.elapsed());
        fetchFailed();
        return;
    }
    const QDateTime received = QDateTime::currentDateTime();
    m_fetchFailureShown = false;
    if (m_feedNoteShown) {
        m_feedNoteShown = false;
        if (m_hooks.showFeedNote)
            m_hooks.showFeedNote(QString());
    }
    try {
        const TXMLArayanlarType &feed = *m_document;
        if (feed.Count() == 0 || feed.Items(0).PhoneNumber() == kSentinelNumber) {
            m_unacknowledged.reset(); // the server holds nothing of ours any more
            succeeded();
            return;
        }
        const QByteArray key = entriesKey(feed);
        if (m_unacknowledged != key) {
            QByteArray number;
            for (int i = 0; i < feed.Count(); ++i) {
                const TXMLArayanType caller = feed.Items(i);
                number = withoutLeadingZero(caller.PhoneNumber());
                announce(caller);
            }
            if (m_hooks.registerCall)
                m_hooks.registerCall(number, received);
            m_unacknowledged = key;
        }
        QElapsedTimer acknowledging;
        acknowledging.start();
        try {
            acknowledge();
        } catch (const Error &) {
            noteFailure(acknowledging.elapsed());
            throw;
        }
        m_unacknowledged.reset();
        succeeded();
    } catch (const Error &e) {
        reportOnce(e.text());
    }
}

void MobileFeed::noteFailure(qint64 tookMs) {
    if (tookMs >= m_settings.slowFailureMs)
        m_slowFailure = true;
}

void MobileFeed::putOffAfterSlowFailure() {
    if (!m_slowFailure) {
        m_retryMs = 0;
        m_nextPollAt = 0;
        return;
    }
    m_retryMs = m_retryMs == 0 ? m_settings.firstRetryMs
                               : std::min(2 * m_retryMs, m_settings.longestRetryMs);
    m_nextPollAt = m_hooks.clockMs() + m_retryMs;
}

void MobileFeed::fetchFailed() {
    if (!m_fetchFailureShown) {
        m_fetchFailureShown = true;
        if (m_hooks.showFetchFailure)
            m_hooks.showFetchFailure();
    } else if (m_hooks.showFeedNote) {
        m_feedNoteShown = true;
        m_hooks.showFeedNote(kFeedNoteText);
    }
}

void MobileFeed::announce(const TXMLArayanType &caller) {
    // The panel shows the name as the program's 8-bit text holds it.
    const QString name = cp1254::toUnicode(cp1254::fromUnicode(caller.AdSoyad()));
    if (m_hooks.showStatus)
        m_hooks.showStatus(QStringLiteral("Son Arayan : ") + name);
    m_hooks.processMessages();
    playAnnouncement();
}

void MobileFeed::playAnnouncement() {
    const QFileInfo sound(QDir::current().absoluteFilePath(m_settings.soundFile));
    if (!sound.isFile())
        return;
    // A file that cannot be played is reported once; it is tried again when it changes.
    const QString identity = fileIdentity(sound);
    if (identity == m_unplayableSound)
        return;
    QString error;
    if (!m_hooks.playSound(sound.absoluteFilePath(), &error)) {
        m_unplayableSound = identity;
        if (m_hooks.showError)
            m_hooks.showError(QStringLiteral("Ses dosyası çalınamadı: ") + m_settings.soundFile +
                              QStringLiteral(" (") + error + QLatin1Char(')'));
    }
}

void MobileFeed::acknowledge() {
    const QString path = m_settings.acknowledgementPath;
    {
        QSaveFile file(path);
        const QByteArray document = acknowledgementDocument(m_settings.imeino);
        if (!file.open(QIODevice::WriteOnly) || file.write(document) != document.size() ||
            !file.commit())
            throw Error(QStringLiteral("Cannot create file \"") + path + QStringLiteral("\". ") +
                        file.errorString());
    }
    QFile written(path);
    if (!written.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Cannot open file \"") + path + QStringLiteral("\". ") +
                    written.errorString());
    const QByteArray body = written.readAll();

    HttpRequest request;
    request.setTimeouts(m_settings.timeouts);
    request.open(QStringLiteral("GET"), acknowledgementAddress());
    request.send(body);
    m_answerText = request.responseText();
    // A server that did not take it will list the same calls again.
    if (request.status() < 200 || request.status() > 299)
        throw Error(QStringLiteral("The feed server did not take the acknowledgement (HTTP "
                                   "status %1)")
                        .arg(request.status()));
}

void MobileFeed::reportOnce(const QString &text) {
    if (text == m_reportedError)
        return;
    m_reportedError = text;
    if (m_hooks.showError)
        m_hooks.showError(text);
}

void MobileFeed::succeeded() {
    m_reportedError.clear();
}
