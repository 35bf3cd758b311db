#pragma once

#include <QString>

// Asks for a password on the terminal without showing what is typed. Empty when standard
// input is no terminal.
QString askPassword(const QString &prompt);
