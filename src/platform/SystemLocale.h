#pragma once

#include <QLocale>

// The system's locale for dates, times and numbers shown or written as text. A system with
// no locale chosen (C or POSIX, as a fresh machine is) gets the Turkish formats, since the
// whole interface is Turkish.
QLocale systemLocale();
