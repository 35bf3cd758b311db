#include "directory/CustomerCard.h"

#include "controls/Captioned.h"
#include "controls/CountLabel.h"
#include "controls/DatePicker.h"
#include "controls/DbText.h"
#include "controls/DeferredClick.h"
#include "controls/Dialogs.h"
#include "controls/EditableCombo.h"
#include "controls/LabeledEdit.h"
#include "controls/TextGuard.h"
#include "store/TZQuery.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

CustomerCard::CustomerCard(TZQuery &ZQuery1, TZQuery &ZQuery2, QTabWidget &PageControl1,
                           QWidget *parent)
    : QWidget(parent)
    , ZQuery1(ZQuery1)
    , ZQuery2(ZQuery2)
    , PageControl1(PageControl1) {
    setObjectName(QStringLiteral("TabSheet1"));
    QFont pageFont = font();
    pageFont.setFamily(QStringLiteral("Tahoma"));
    pageFont.setPixelSize(16);
    setFont(pageFont);

    auto memoGroup = [this](const char *groupName, const char *memoName, const QString &title,
                            QGroupBox *&group, Memo *&memo) {
        group = new QGroupBox(title, this);
        group->setObjectName(QLatin1String(groupName));
        memo = new Memo(group);
        memo->setObjectName(QLatin1String(memoName));
        memo->setAccessibleName(accessibleCaption(title));
        auto *layout = new QVBoxLayout(group);
        layout->addWidget(memo);
    };

    LabeledEdit1 = newLabeledEdit("LabeledEdit1", QStringLiteral("Adı ve Soyadı"), this);
    LabeledEdit2 = newLabeledEdit("LabeledEdit2", QStringLiteral("Telefon-1"), this);
    LabeledEdit3 = newLabeledEdit("LabeledEdit3", QStringLiteral("Telefon-2"), this);
    LabeledEdit6 = newLabeledEdit("LabeledEdit6", QStringLiteral("Telefon-3"), this);
    memoGroup("GroupBox2", "Memo3", QStringLiteral("Adres :"), GroupBox2, Memo3);
    memoGroup("GroupBox3", "Memo1", QStringLiteral("Not :"), GroupBox3, Memo1);

    Label2 = new QLabel(QStringLiteral("Kayıt Tarihi :"), this);
    DateTimePicker1 = new QDateEdit(this);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker1->setCalendarPopup(true);
    useSystemShortDate(DateTimePicker1);
    DateTimePicker1->setDate(QDate(2014, 8, 27));
    DateTimePicker1->setAccessibleName(QStringLiteral("Kayıt Tarihi"));
    Label2->setBuddy(DateTimePicker1);

    Label7 = new CountLabel(QStringLiteral("Kayıt sayısı"), QString(), this);
    Label7->setObjectName(QStringLiteral("Label7"));
    Label7->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    GroupBox1 = new QGroupBox(QStringLiteral("Firma Bilgileri"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    LabeledEdit5 = newLabeledEdit("LabeledEdit5", QStringLiteral("Firma Adı"), GroupBox1);
    LabeledEdit11 = newLabeledEdit("LabeledEdit11", QStringLiteral("Firma Ünvanı"), GroupBox1);
    LabeledEdit9 = newLabeledEdit("LabeledEdit9", QStringLiteral("Vergi Dairesi"), GroupBox1);
    LabeledEdit10 = newLabeledEdit("LabeledEdit10", QStringLiteral("Vergi / TCK No "), GroupBox1);
    LabeledEdit4 = newLabeledEdit("LabeledEdit4", QStringLiteral("E-Posta"), GroupBox1);
    ComboBox1 =
        newCaptionedCombo("ComboBox1", "Label5", QStringLiteral("Grup :"), Label5, GroupBox1);
    ComboBox3 =
        newCaptionedCombo("ComboBox3", "Label6", QStringLiteral("Referans :"), Label6, GroupBox1);

    auto button = [this](const char *name, const QString &caption, const QIcon &icon) {
        return newButton(name, caption, icon, this);
    };
    BitBtn1 = button("BitBtn1", QStringLiteral("Kaydet"),
                     themeIcon("document-save", QStyle::SP_DialogSaveButton, this));
    BitBtn2 = button("BitBtn2", QStringLiteral("Yazdır"),
                     themeIcon("document-print", QStyle::SP_FileDialogDetailedView, this));
    BitBtn3 = button("BitBtn3", QStringLiteral("Yeni Kayıt"),
                     themeIcon("document-new", QStyle::SP_FileIcon, this));
    BitBtn6 = button("BitBtn6", QStringLiteral("Çıkış"),
                     themeIcon("application-exit", QStyle::SP_DialogCloseButton, this));
    BitBtn7 = button("BitBtn7", QStringLiteral("SMS"),
                     themeIcon("mail-send", QStyle::SP_MessageBoxInformation, this));
    BitBtn8 = button("BitBtn8", QStringLiteral("Teklifler"),
                     themeIcon("x-office-document", QStyle::SP_FileDialogListView, this));
    // Alt+S and Alt+T; the accessible names stay the plain captions.
    BitBtn7->setText(QStringLiteral("&SMS"));
    BitBtn8->setText(QStringLiteral("&Teklifler"));

    // Name and date on top; the phones, the address and the note below them; the company
    // group across the width; the buttons at the bottom.
    auto *top = new QHBoxLayout;
    top->addWidget(LabeledEdit1, 3);
    top->addStretch(1);
    auto *dateBox = new QVBoxLayout;
    dateBox->setSpacing(2);
    dateBox->addWidget(Label2);
    dateBox->addWidget(DateTimePicker1);
    top->addLayout(dateBox);
    top->addWidget(Label7, 0, Qt::AlignTop);

    auto *phones = new QVBoxLayout;
    phones->addWidget(LabeledEdit2);
    phones->addWidget(LabeledEdit3);
    phones->addWidget(LabeledEdit6);
    phones->addStretch();
    auto *middle = new QHBoxLayout;
    middle->addLayout(phones, 1);
    middle->addWidget(GroupBox2, 1);
    middle->addWidget(GroupBox3, 1);

    auto *company = new QGridLayout(GroupBox1);
    company->addWidget(LabeledEdit5, 0, 0);
    company->addWidget(LabeledEdit11, 0, 1, 1, 2);
    company->addWidget(LabeledEdit4, 0, 3);
    company->addWidget(LabeledEdit9, 1, 0);
    company->addWidget(LabeledEdit10, 1, 1);
    auto comboBox = [](QLabel *label, QComboBox *combo) {
        auto *box = new QVBoxLayout;
        box->setSpacing(2);
        box->addWidget(label);
        box->addWidget(combo);
        return box;
    };
    company->addLayout(comboBox(Label5, ComboBox1), 1, 2);
    company->addLayout(comboBox(Label6, ComboBox3), 1, 3);
    for (int column = 0; column < 4; ++column)
        company->setColumnStretch(column, 1);

    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {BitBtn1, BitBtn2, BitBtn7, BitBtn8, BitBtn3, BitBtn6})
        buttons->addWidget(b);
    buttons->addStretch();

    auto *page = new QVBoxLayout(this);
    page->addLayout(top);
    page->addLayout(middle, 1);
    page->addWidget(GroupBox1);
    page->addLayout(buttons);

    setTabOrder(LabeledEdit1, LabeledEdit2);
    setTabOrder(LabeledEdit2, LabeledEdit3);
    setTabOrder(LabeledEdit3, LabeledEdit6);
    setTabOrder(LabeledEdit6, Memo3);
    setTabOrder(Memo3, Memo1);
    setTabOrder(Memo1, DateTimePicker1);
    setTabOrder(DateTimePicker1, BitBtn1);
    setTabOrder(BitBtn1, BitBtn3);
    setTabOrder(BitBtn3, BitBtn2);
    setTabOrder(BitBtn2, BitBtn7);
    setTabOrder(BitBtn7, BitBtn8);
    setTabOrder(BitBtn8, LabeledEdit5);
    setTabOrder(LabeledEdit5, LabeledEdit11);
    setTabOrder(LabeledEdit11, LabeledEdit9);
    setTabOrder(LabeledEdit9, LabeledEdit10);
    setTabOrder(LabeledEdit10, ComboBox1);
    setTabOrder(ComboBox1, ComboBox3);
    setTabOrder(ComboBox3, LabeledEdit4);
    setTabOrder(LabeledEdit4, BitBtn6);

    connectDeferredClick(BitBtn1, this, [this] { BitBtn1Click(); });
    connectDeferredClick(BitBtn2, this, [this] { BitBtn2Click(); });
    connectDeferredClick(BitBtn3, this, [this] { BitBtn3Click(); });
    connectDeferredClick(BitBtn6, this, [this] { BitBtn6Click(); });
    connectDeferredClick(BitBtn7, this, [this] { BitBtn7Click(); });
    connectDeferredClick(BitBtn8, this, [this] { BitBtn8Click(); });
    connect(Memo1, &Memo::keyDown, this, dialogs::guard(this, [this] { Memo1KeyDown(); }));
    ZQuery1.AfterPost = [this](TZQuery &) {
        ZQuery1AfterPost();
    };
}

void CustomerCard::temizle() {
    DateTimePicker1->setDate(QDate::currentDate());
    for (LabeledEdit *edit : {LabeledEdit1, LabeledEdit2, LabeledEdit3, LabeledEdit6, LabeledEdit5,
                              LabeledEdit11, LabeledEdit9, LabeledEdit10, LabeledEdit4})
        edit->clear();
    Memo3->clear();
    Memo1->clear();
    setComboText(ComboBox1, QString());
    setComboText(ComboBox3, QString());
}

void CustomerCard::getir() {
    auto text = [this](const char *column) {
        return fromDb(ZQuery1.fieldByName(column).asString());
    };
    DateTimePicker1->setDate(ZQuery1.fieldByName("tarih").asDate());
    LabeledEdit1->setText(text("adsoyad"));
    LabeledEdit2->setText(text("gsmtel1"));
    LabeledEdit3->setText(text("gsmtel2"));
    LabeledEdit6->setText(text("firmatel"));
    Memo3->setPlainText(memoFromDb(ZQuery1.fieldByName("adres").asString()));
    Memo1->setPlainText(memoFromDb(ZQuery1.fieldByName("detay").asString()));
    LabeledEdit5->setText(text("firmaad"));
    LabeledEdit11->setText(text("firmaunvan"));
    LabeledEdit9->setText(text("vergidaire"));
    LabeledEdit10->setText(text("vergino"));
    setComboText(ComboBox1, text("grup"));
    setComboText(ComboBox3, text("referans"));
    LabeledEdit4->setText(text("eposta"));
}

void CustomerCard::kaydet() {
    auto set = [this](const char *column, const QString &text) {
        ZQuery1.fieldByName(column).setAsString(toDb(text));
    };
    ZQuery1.fieldByName("tarih").setAsDate(DateTimePicker1->date());
    set("adsoyad", LabeledEdit1->text());
    set("gsmtel1", LabeledEdit2->text());
    set("gsmtel2", LabeledEdit3->text());
    set("firmatel", LabeledEdit6->text());
    ZQuery1.fieldByName("adres").setAsString(memoToDb(Memo3->toPlainText()));
    ZQuery1.fieldByName("detay").setAsString(memoToDb(Memo1->toPlainText()));
    set("firmaad", LabeledEdit5->text());
    set("firmaunvan", LabeledEdit11->text());
    set("vergidaire", LabeledEdit9->text());
    set("vergino", LabeledEdit10->text());
    set("grup", ComboBox1->currentText());
    set("referans", ComboBox3->currentText());
    set("eposta", LabeledEdit4->text());
}

void CustomerCard::kartgetir() {
    temizle();
    getir();
    PageControl1.setCurrentIndex(CardPage);
}

void CustomerCard::numarabul(const QByteArray &number) {
    if (ZQuery1.locate("gsmtel1", number) || ZQuery1.locate("gsmtel2", number) ||
        ZQuery1.locate("firmatel", number)) {
        kartgetir();
        return;
    }
    temizle();
    LabeledEdit2->setText(fromDb(number));
    PageControl1.setCurrentIndex(CardPage);
}

void CustomerCard::BitBtn1Click() {
    const QString phone1 = LabeledEdit2->text();
    const QString phone3 = LabeledEdit6->text();
    if (phone1.isEmpty() && phone3.isEmpty()) {
        dialogs::showMessage(
            QStringLiteral("GSM-Telefon-1 veya Firma Telefon Alanları Boş Olamaz!"), this);
        return;
    }
    const bool byMobile = !phone1.isEmpty();
    if (ZQuery1.locate(byMobile ? "gsmtel1" : "firmatel", toDb(byMobile ? phone1 : phone3)))
        ZQuery1.edit();
    else
        ZQuery1.append();
    kaydet();
    ZQuery1.post();
    temizle();
    LabeledEdit1->setFocus();
    PageControl1.setCurrentIndex(CallListPage);
}

void CustomerCard::BitBtn2Click() {
    if (fisyazdir)
        fisyazdir();
}

void CustomerCard::BitBtn3Click() {
    temizle();
    LabeledEdit1->setFocus();
}

void CustomerCard::BitBtn6Click() {
    if (shutdownAndQuit)
        shutdownAndQuit();
}

void CustomerCard::BitBtn7Click() {
    if (showSmsWindow)
        showSmsWindow();
}

void CustomerCard::BitBtn8Click() {
    if (showOfferWindow)
        showOfferWindow();
}

void CustomerCard::Memo1KeyDown() {
    // As the note is stored: a line break counts two characters.
    if (memoToDb(Memo1->toPlainText()).size() > 500)
        dialogs::showMessage(QStringLiteral("UYARI : 500 karekter sınırını aştınız!"), this);
}

void CustomerCard::ZQuery1AfterPost() {
    ZQuery2.refresh();
}
