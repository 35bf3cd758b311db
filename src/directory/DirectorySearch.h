#pragma once

#include <QByteArray>
#include <QWidget>

#include <functional>
#include <vector>

#include "controls/CountLabel.h"
#include "store/Field.h"

class CustomerCard;
class DBGrid;
class DBNavigator;
class LabeledEdit;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class TZQuery;

// The tab "Kayıt Arama": the directory records of the search in force, narrowed as the user
// types. Each search box replaces ZQuery2's statement, opens it and refreshes it; the box
// changed last alone decides the list. A click on a record shows the calls of its number in
// the history grid; a double click opens its card.
class DirectorySearch : public QWidget {
    Q_OBJECT
public:
    DirectorySearch(TZQuery &ZQuery1, TZQuery &ZQuery2, TZQuery &ZQuery4, CustomerCard &card,
                    QWidget *parent = nullptr);

    // Set by the main window: shows the export window without waiting for it.
    std::function<void()> showExportWindow;

    // ZQuery2's fixed field list: opening it binds these fields, in this order, to the
    // columns of the same names; the search grid and the export read them.
    static std::vector<FieldDef> ZQuery2Fields();

    void LabeledEdit12Change(); // "Telefon Ara :"  gsmtel1, gsmtel2, firmatel: starts with
    void LabeledEdit14Change(); // "Ad-Soyad Ara"   adsoyad: contains
    void LabeledEdit15Change(); // "Firma / Eposta" firmaad, then eposta: contains
    void LabeledEdit16Change(); // "Adres"          adres: contains
    void ComboBox2Change();     // "Grup:"          grup, whole value
    void ComboBox4Change();     // "Referans:"      referans, whole value
    void Button1Click();        // "Hepsi"
    void ZQuery2AfterRefresh();
    void DBGrid1TitleClick(int column);
    void DBGrid1CellClick();
    void DBGrid1DblClick();
    void BitBtn7Click(); // "XLS Export"

    LabeledEdit *LabeledEdit12; // "Telefon Ara :"
    LabeledEdit *LabeledEdit14; // "Ad-Soyad Ara"
    LabeledEdit *LabeledEdit16; // "Adres"
    LabeledEdit *LabeledEdit15; // "Firma / Eposta"
    QLabel *Label1;             // "Grup:"
    QComboBox *ComboBox2;
    QLabel *Label3; // "Referans:"
    QComboBox *ComboBox4;
    CountLabel *Label4;   // the number of listed records; "KS" until the first refresh
    QPushButton *Button1; // "Hepsi"
    QGroupBox *GroupBox4; // "Rehber Kayıtları"
    DBGrid *DBGrid1;      // ZQuery2
    DBNavigator *DBNavigator2;
    QPushButton *BitBtn7; // "XLS Export"
    DBGrid *DBGrid4;      // ZQuery4, cells edited in place

private:
    // Replaces ZQuery2's statement, sets its one parameter when it has one, opens it, then
    // refreshes it (which updates the count).
    void search(const QByteArray &statement, const QByteArray &param = {},
                const QByteArray &value = {});
    // The stages in order, until one lists a record; each stage runs in full.
    void stagedSearch(std::initializer_list<const char *> statements, const QByteArray &value);

    TZQuery &ZQuery1;
    TZQuery &ZQuery2;
    TZQuery &ZQuery4;
    CustomerCard &card;
};
