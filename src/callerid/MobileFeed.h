#pragma once

#include "callerid/AnnouncementSound.h"
#include "callerid/arayanunit.h"
#include "platform/HttpRequest.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

// The mobile caller feed's poll. The feed server lists the calls a phone has received in a
// document named after the phone's IMEI; a poll fetches it, announces every caller in the
// status panel with the sound, registers the last caller, and acknowledges the document so
// that the server clears the phone's list.
//
// A poll that is asked for while one runs (a tick delivered while the sound plays or a box
// is open) does nothing. A feed server that cannot be reached is reported once per outage;
// later polls fail quietly with a note until a fetch succeeds again. Errors after the fetch
// are reported once per text until a poll succeeds. A poll that failed only after a long wait
// (a host that drops the packets, a name server that does not answer) blocked the window for
// that long, so the next polls are put off, for longer while it goes on; a poll that works or
// fails at once polls on every tick again. When the acknowledgement fails after
// the call was registered, the next poll that finds the very same entries only sends the
// acknowledgement again, so that a call is not registered on every tick.
class MobileFeed {
public:
    // Shorter than a request's default: the poll runs on every tick of the window's timer.
    static constexpr HttpTimeouts kTimeouts{2000, 5000};
    static constexpr const char *kSentinelNumber = "1234";

    struct Settings {
        QString baseUrl;             // the feed server's base address; "/" is added when missing
        QString imeino;              // the phone's IMEI as the settings file holds it
        QString acknowledgementPath; // where "cidsil.xml" is written
        QString soundFile = QStringLiteral("phone.mp3"); // looked up in the working directory
        HttpTimeouts timeouts = kTimeouts;
        int slowFailureMs = 1000;   // a failed poll that took this long puts the next off
        int firstRetryMs = 5000;    // by this long first, twice as long each time after
        int longestRetryMs = 30000; // but never longer than this
    };

    // What the poll does outside itself. Hooks left empty do nothing, except processMessages
    // (pending events run) and playSound (the file is played with Qt Multimedia).
    struct Hooks {
        std::function<void()> processMessages;
        std::function<void(const QString &)> showStatus;
        // The plain box "XML DOSYASI ALINAMADI...!", with the window's timer stopped while
        // it is open.
        std::function<void()> showFetchFailure;
        // A short note while the feed server stays unreachable after the box was shown; an
        // empty text when a fetch works again and the note is to go.
        std::function<void(const QString &)> showFeedNote;
        // The application's error box.
        std::function<void(const QString &)> showError;
        std::function<void(const QByteArray &number, const QDateTime &arrived)> registerCall;
        std::function<bool(const QString &path, QString *error)> playSound;
        // A clock that only goes forward, in milliseconds (the system's steady clock).
        std::function<qint64()> clockMs;
    };

    static const QString kFetchFailureText;
    static const QString kFeedNoteText;

    MobileFeed(Settings settings, Hooks hooks);

    // The IMEI and the base address are set; an empty one switches the feed off.
    bool configured() const;
    // One poll; nothing while a poll runs, the feed is not configured, or polls are put off
    // after a slow failure.
    void mobilkontrol();
    bool polling() const { return m_polling; }

    QString feedAddress() const;
    QString acknowledgementAddress() const;
    // The last document fetched, and the server's answer to the last acknowledgement.
    std::optional<TXMLArayanlarType> feedDocument() const { return m_document; }
    QString answerText() const { return m_answerText; }

    // The six lines of the acknowledgement, each ended by CR LF, in Windows-1254.
    static QByteArray acknowledgementDocument(const QString &imeino);
    // The number with one leading "0" removed.
    static QByteArray withoutLeadingZero(const QByteArray &number);
    // The IMEI as it goes into an address: letters, digits, "-", "." and "_" unchanged,
    // every other character percent-encoded (UTF-8).
    static QString addressPart(const QString &imeino);

private:
    void poll();
    void fetchFailed();
    void announce(const TXMLArayanType &caller);
    void playAnnouncement();
    void acknowledge();
    void reportOnce(const QString &text);
    void succeeded();
    void noteFailure(qint64 tookMs);
    void putOffAfterSlowFailure();

    Settings m_settings;
    Hooks m_hooks;
    AnnouncementSound m_sound;
    bool m_polling = false;
    bool m_fetchFailureShown = false;
    bool m_feedNoteShown = false;
    QString m_reportedError;
    QString m_unplayableSound; // the file (path, size, time) that could not be played
    std::optional<QByteArray> m_unacknowledged; // the entries registered, not yet acknowledged
    std::optional<TXMLArayanlarType> m_document;
    QString m_answerText;
    qint64 m_nextPollAt = 0;    // on the hook's clock; polls before it are put off
    int m_retryMs = 0;          // how long the last slow failure put polls off; 0 after a good poll
    bool m_slowFailure = false; // a request of the running poll failed after a long wait
};
