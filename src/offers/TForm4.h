#pragma once

#include <QWidget>

class TZQuery;

// The export window. Each activation writes the whole directory, walked through the main
// window's search dataset, which it leaves open on the directory.
class TForm4 : public QWidget {
    Q_OBJECT
public:
    explicit TForm4(TZQuery &ZQuery2, QWidget *parent = nullptr);

private:
    TZQuery &ZQuery2;
};
