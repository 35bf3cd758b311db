#pragma once

#include "messaging/SmsSettings.h"
#include "messaging/SmsTemplates.h"
#include "store/TZQuery.h"

#include <QString>
#include <QWidget>

#include <functional>

class DBGrid;
class LabeledEdit;
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class TColorButton;
class TZConnection;

// The SMS window: the customer's offers and the business's bank accounts, a message filled
// from six templates and edited by the user, and the send to the SMS provider. Its datasets
// are its own, on the main window's connection; when shown it reads the customer from the
// main window: the directory dataset standing on the customer's record, and the text of the
// card's name and e-mail edits. It writes nothing to the database.
class TForm2 : public QWidget {
    Q_OBJECT
public:
    TForm2(TZConnection &connection, TZQuery &directory, std::function<QString()> cardName,
           std::function<QString()> cardEmail, const SmsSettings &settings,
           QWidget *parent = nullptr);
    ~TForm2() override;

    void FormShow();
    void FormClose();
    void DBGrid1CellClick();
    void BitBtn1Click();      // "Teklif E-Postası Gönderildi Mesajı Oluştur"
    void BitBtn2Click();      // "Banka Hesap Bildirim Mesajı Oluştur"
    void BitBtn3Click();      // "Kargo Takip Bilgisi Mesajı Oluştur"
    void BitBtn4Click();      // "Fiyat Teklifi için Mesaj Oluştur"
    void BitBtn5Click();      // "Fiyat Teklifi Hatırlatma Mesajı Oluştur"
    void BitBtn6Click();      // "Yıllık Lisans Destek Hatırlatma Mesajı"
    void ColorButton1Click(); // "SMS GÖNDER"

    // The message as it is sent: Memo1's text with CR LF line breaks.
    QString messageText() const;

    TZQuery ZQuery1; // the customer's offers
    TZQuery ZQuery2; // the bank accounts

    QGroupBox *GroupBox1; // "Müşteriye Ait Teklifler :"
    DBGrid *DBGrid1;
    QPushButton *BitBtn1;
    QPushButton *BitBtn4;
    QPushButton *BitBtn3;
    QPushButton *BitBtn5;
    QGroupBox *GroupBox3; // "Banka Hesap Bilgileri :"
    DBGrid *DBGrid2;
    QPushButton *BitBtn2;
    QPushButton *BitBtn6;
    QGroupBox *GroupBox2; // "Gönderilecek SMS Mesajı :"
    QPlainTextEdit *Memo1;
    LabeledEdit *LabeledEdit1; // "Mesaj anteti"
    QGroupBox *GroupBox4;      // "SMS Parametreleri"
    QLabel *Label1;            // "Gönderen :"
    QComboBox *ComboBox1;
    QLabel *Label2; // "GSM Tel :"
    QComboBox *ComboBox2;
    TColorButton *ColorButton1; // "SMS GÖNDER"

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    TemplateInput templateInput();
    void fillMessage(ComposedMessage (*compose)(const TemplateInput &));
    void enableCargoButton();

    TZQuery &m_directory;
    std::function<QString()> m_cardName;
    std::function<QString()> m_cardEmail;
    SmsSettings m_settings;
    bool m_placed = false;
};
