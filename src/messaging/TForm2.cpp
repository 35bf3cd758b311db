#include "messaging/TForm2.h"

TForm2::TForm2(QWidget *parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("SMS"));
    resize(1165, 649);
}
