#pragma once

#include <QString>

#include <optional>

// The user who ran the tool through sudo (SUDO_USER), when it runs as root that way: the
// settings file belongs in that user's data folder, owned by that user.
struct InvokingUser {
    QString name;
    unsigned int uid = 0;
    unsigned int gid = 0;
    QString home;
};

std::optional<InvokingUser> sudoInvoker();

// Gives up root for good and goes on as user, with the user's groups and home folder, so that
// every file the tool touches from here on is touched with that user's rights. An open
// database connection stays open. Throws Error when the switch fails.
void becomeUser(const InvokingUser &user);
