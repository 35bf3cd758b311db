#include "platform/SystemLocale.h"

QLocale systemLocale() {
    QLocale system = QLocale::system();
    if (system.language() != QLocale::C)
        return system;
    static const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    return turkish;
}
