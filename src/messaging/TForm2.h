#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class TZConnection;
class TZQuery;

// The SMS window. Its datasets are its own, on the main window's connection; when shown it
// reads the customer from the main window: the directory dataset standing on the customer's
// record, and the text of the card's name and e-mail edits.
class TForm2 : public QWidget {
    Q_OBJECT
public:
    TForm2(TZConnection &connection, TZQuery &directory, std::function<QString()> cardName,
           std::function<QString()> cardEmail, QWidget *parent = nullptr);

private:
    TZConnection &m_connection;
    TZQuery &m_directory;
    std::function<QString()> m_cardName;
    std::function<QString()> m_cardEmail;
};
