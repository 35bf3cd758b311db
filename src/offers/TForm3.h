#pragma once

#include <QWidget>

class TZConnection;
class TZQuery;

// The offer details window. Its datasets are its own, on the main window's connection; when
// activated it reads the Id of the main window's current directory record.
class TForm3 : public QWidget {
    Q_OBJECT
public:
    TForm3(TZConnection &connection, TZQuery &directory, QWidget *parent = nullptr);

private:
    TZConnection &m_connection;
    TZQuery &m_directory;
};
