#pragma once

#include <QByteArray>
#include <QWidget>

#include <functional>

#include "controls/CountLabel.h"

class LabeledEdit;
class Memo;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QPushButton;
class QTabWidget;
class TZQuery;

// The tab "Müşteri Kartı": one directory record in plain edit controls. The controls are not
// bound to the dataset: getir copies ZQuery1's current record onto the card, kaydet copies
// the card back, temizle clears it. A record is found again by its phone numbers.
class CustomerCard : public QWidget {
    Q_OBJECT
public:
    CustomerCard(TZQuery &ZQuery1, TZQuery &ZQuery2, QTabWidget &PageControl1,
                 QWidget *parent = nullptr);

    // Pages of the main window's page control.
    static constexpr int CardPage = 0;
    static constexpr int SearchPage = 1;
    static constexpr int CallListPage = 2;

    void temizle();
    void getir();
    void kaydet();
    void kartgetir();
    void numarabul(const QByteArray &number);

    void BitBtn1Click(); // "Kaydet"
    void BitBtn2Click(); // "Yazdır"
    void BitBtn3Click(); // "Yeni Kayıt"
    void BitBtn6Click(); // "Çıkış"
    void BitBtn7Click(); // "SMS"
    void BitBtn8Click(); // "Teklifler"
    void Memo1KeyDown();
    void ZQuery1AfterPost();

    // Set by the main window: the caller receipt, and the shutdown that ends the program.
    std::function<void()> fisyazdir;
    std::function<void()> shutdownAndQuit;
    // Set by the main window: the SMS and offer windows for the record at ZQuery1's cursor.
    std::function<void()> showSmsWindow;
    std::function<void()> showOfferWindow;

    LabeledEdit *LabeledEdit1;  // "Adı ve Soyadı"  adsoyad
    LabeledEdit *LabeledEdit2;  // "Telefon-1"      gsmtel1
    LabeledEdit *LabeledEdit3;  // "Telefon-2"      gsmtel2
    LabeledEdit *LabeledEdit6;  // "Telefon-3"      firmatel
    QGroupBox *GroupBox2;       // "Adres :"
    Memo *Memo3;                //                  adres
    QGroupBox *GroupBox3;       // "Not :"
    Memo *Memo1;                //                  detay
    QLabel *Label2;             // "Kayıt Tarihi :"
    QDateEdit *DateTimePicker1; //                 tarih
    QGroupBox *GroupBox1;       // "Firma Bilgileri"
    LabeledEdit *LabeledEdit5;  // "Firma Adı"       firmaad
    LabeledEdit *LabeledEdit11; // "Firma Ünvanı"    firmaunvan
    LabeledEdit *LabeledEdit9;  // "Vergi Dairesi"   vergidaire
    LabeledEdit *LabeledEdit10; // "Vergi / TCK No " vergino
    QLabel *Label5;             // "Grup :"
    QComboBox *ComboBox1;       //                   grup
    QLabel *Label6;             // "Referans :"
    QComboBox *ComboBox3;       //                   referans
    LabeledEdit *LabeledEdit4;  // "E-Posta"         eposta
    CountLabel *Label7;         // the number of records of ZQuery1
    QPushButton *BitBtn1;       // "Kaydet"
    QPushButton *BitBtn2;       // "Yazdır"
    QPushButton *BitBtn3;       // "Yeni Kayıt"
    QPushButton *BitBtn6;       // "Çıkış"
    QPushButton *BitBtn7;       // "SMS"
    QPushButton *BitBtn8;       // "Teklifler"

private:
    TZQuery &ZQuery1;
    TZQuery &ZQuery2;
    QTabWidget &PageControl1;
};
