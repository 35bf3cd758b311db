#include "callerid/AnnouncementSound.h"

#include <QAudioOutput>
#include <QEventLoop>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>

AnnouncementSound::AnnouncementSound() = default;

AnnouncementSound::~AnnouncementSound() = default;

bool AnnouncementSound::playToEnd(const QString &path, QString *error) {
    if (!m_player) {
        m_output = std::make_unique<QAudioOutput>();
        m_player = std::make_unique<QMediaPlayer>();
        m_player->setAudioOutput(m_output.get());
    }
    QMediaPlayer &player = *m_player;
    QEventLoop loop;
    QString failure;
    bool finished = false;
    const auto finish = [&](const QString &why) {
        if (finished)
            return;
        finished = true;
        failure = why;
        loop.quit();
    };
    // A sound that never starts or never ends must not hold the poll for ever.
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop,
                     [&] { finish(QStringLiteral("the sound did not play to its end")); });
    QObject::connect(&player, &QMediaPlayer::mediaStatusChanged, &loop,
                     [&](QMediaPlayer::MediaStatus status) {
                         if (status == QMediaPlayer::EndOfMedia)
                             finish(QString());
                         else if (status == QMediaPlayer::InvalidMedia)
                             finish(player.errorString().isEmpty()
                                        ? QStringLiteral("not a sound the player knows")
                                        : player.errorString());
                     });
    QObject::connect(&player, &QMediaPlayer::errorOccurred, &loop,
                     [&](QMediaPlayer::Error, const QString &text) {
                         finish(text.isEmpty() ? QStringLiteral("the player failed") : text);
                     });
    QObject::connect(&player, &QMediaPlayer::durationChanged, &loop, [&](qint64 duration) {
        if (duration > 0)
            limit.start(int(qMin<qint64>(duration, 3600000)) + kOverrunLimitMs);
    });
    limit.start(kStartLimitMs);
    player.setSource(QUrl::fromLocalFile(path));
    if (!finished)
        player.play();
    if (!finished)
        loop.exec();
    QObject::disconnect(&player, nullptr, &loop, nullptr);
    player.stop();
    player.setSource(QUrl());
    if (!failure.isEmpty() && error)
        *error = failure;
    return failure.isEmpty();
}
