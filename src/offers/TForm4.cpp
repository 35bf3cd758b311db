#include "offers/TForm4.h"

TForm4::TForm4(QWidget *parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(QStringLiteral("Form4"));
    resize(928, 480);
}
