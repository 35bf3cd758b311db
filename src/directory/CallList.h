#pragma once

#include <QWidget>

class CustomerCard;
class DBGrid;
class DBNavigator;
class LabeledEdit;
class QDateEdit;
class QPushButton;
class TZQuery;

// The tab "Çağrı Listesi": the registered calls of one day, the calls of the selected
// caller's number, a note per call, the caller's card, and emptying the call log.
class CallList : public QWidget {
    Q_OBJECT
public:
    CallList(TZQuery &ZQuery3, TZQuery &ZQuery4, CustomerCard &card, QWidget *parent = nullptr);

    // Runs when the user picks another day (not when the date is set by the program).
    void DateTimePicker2Change();
    void DBGrid2CellClick();
    void DBGrid2DblClick();
    void BitBtn4Click(); // "Kayıt"
    void BitBtn5Click(); // stores the note
    void BitBtn8Click(); // "Çağrı Listesini Temizle"
    void LabeledEdit17KeyDown();

    QDateEdit *DateTimePicker2; // the day shown in the list
    DBGrid *DBGrid2;            // ZQuery3
    QPushButton *BitBtn4;       // "Kayıt"
    DBNavigator *DBNavigator3;
    QPushButton *BitBtn8;       // "Çağrı Listesini Temizle"
    LabeledEdit *LabeledEdit17; // "Notu :"
    QPushButton *BitBtn5;       // the note's button, an icon without caption
    DBGrid *DBGrid3;            // ZQuery4

private:
    // The card of the current call's number.
    void openCallersCard();

    TZQuery &ZQuery3;
    TZQuery &ZQuery4;
    CustomerCard &card;
};
