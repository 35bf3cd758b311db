#include "offers/TForm4.h"

TForm4::TForm4(TZQuery &ZQuery2, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , ZQuery2(ZQuery2) {
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(QStringLiteral("Form4"));
    resize(928, 480);
}
