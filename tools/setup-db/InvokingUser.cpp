#include "InvokingUser.h"

#include "platform/Error.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <grp.h>
#include <pwd.h>
#include <unistd.h>
#endif

std::optional<InvokingUser> sudoInvoker() {
#ifdef Q_OS_UNIX
    const QByteArray name = qgetenv("SUDO_USER");
    if (geteuid() != 0 || name.isEmpty() || name == "root")
        return std::nullopt;
    const passwd *entry = getpwnam(name.constData());
    if (!entry)
        return std::nullopt;
    return InvokingUser{QString::fromLocal8Bit(name), entry->pw_uid, entry->pw_gid,
                        QString::fromLocal8Bit(entry->pw_dir)};
#else
    return std::nullopt;
#endif
}

void becomeUser(const InvokingUser &user) {
#ifdef Q_OS_UNIX
    const QByteArray name = user.name.toLocal8Bit();
    // Groups first: only root may change them.
    if (initgroups(name.constData(), user.gid) != 0 || setgid(user.gid) != 0 ||
        setuid(user.uid) != 0 || getuid() != user.uid || geteuid() != user.uid)
        throw Error(QStringLiteral("%1 kullanıcısına geçilemedi.").arg(user.name));
    qputenv("HOME", QFile::encodeName(user.home));
    qputenv("USER", name);
    qputenv("LOGNAME", name);
#else
    Q_UNUSED(user);
#endif
}
