#include "PasswordPrompt.h"

#include <QtGlobal>

#include <cstdio>
#include <iostream>
#include <string>

#ifdef Q_OS_UNIX
#include <termios.h>
#include <unistd.h>
#endif

QString askPassword(const QString &prompt) {
#ifdef Q_OS_UNIX
    if (!isatty(STDIN_FILENO))
        return {};
    std::fputs(prompt.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    termios old{};
    tcgetattr(STDIN_FILENO, &old);
    termios quiet = old;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    std::string line;
    std::getline(std::cin, line);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &old);
    std::fputc('\n', stderr);
    return QString::fromLocal8Bit(line.c_str());
#else
    Q_UNUSED(prompt);
    return {};
#endif
}
