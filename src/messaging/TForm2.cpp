#include "messaging/TForm2.h"

TForm2::TForm2(TZConnection &connection, TZQuery &directory, std::function<QString()> cardName,
               std::function<QString()> cardEmail, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_connection(connection)
    , m_directory(directory)
    , m_cardName(std::move(cardName))
    , m_cardEmail(std::move(cardEmail)) {
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("SMS"));
    resize(1165, 649);
}
