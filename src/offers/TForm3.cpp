#include "offers/TForm3.h"

TForm3::TForm3(TZConnection &connection, TZQuery &directory, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_connection(connection)
    , m_directory(directory) {
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("DETAYLAR"));
    resize(800, 500);
}
