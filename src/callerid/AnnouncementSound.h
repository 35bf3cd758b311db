#pragma once

#include <QString>

#include <memory>

class QAudioOutput;
class QMediaPlayer;

// The feed's announcement sound on Qt Multimedia: plays a file to its end. The player is
// made at the first sound and kept for the run.
class AnnouncementSound {
public:
    // How long a sound may take to start once its file is opened, and beyond its length.
    static constexpr int kStartLimitMs = 10000;
    static constexpr int kOverrunLimitMs = 5000;

    AnnouncementSound();
    ~AnnouncementSound();
    AnnouncementSound(const AnnouncementSound &) = delete;
    AnnouncementSound &operator=(const AnnouncementSound &) = delete;

    // Plays the file and returns when it has ended; meanwhile pending events run, as in any
    // modal wait. False with the player's reason when the file cannot be played.
    bool playToEnd(const QString &path, QString *error);

private:
    std::unique_ptr<QAudioOutput> m_output;
    std::unique_ptr<QMediaPlayer> m_player;
};
