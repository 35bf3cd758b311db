#pragma once

#include "store/TZQuery.h"

#include <QWidget>

class DBGrid;
class TZConnection;

// The offer details window: the offers made to the customer whose record is current in the
// main window, and the lines of the offer chosen among them. Its datasets are its own, on the
// main window's connection; each activation reads the Id of the main window's current
// directory record and queries both grids anew. It only reads.
class TForm3 : public QWidget {
    Q_OBJECT
public:
    TForm3(TZConnection &connection, TZQuery &directory, QWidget *parent = nullptr);
    ~TForm3() override;

    void FormActivate();
    void DBGrid1CellClick();
    void FormClose();

    TZQuery ZQuery1; // the customer's offers
    TZQuery ZQuery2; // the lines of the current offer
    DBGrid *DBGrid1;
    DBGrid *DBGrid2;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void openLines();

    TZQuery &m_directory;
    bool m_placed = false;
};
