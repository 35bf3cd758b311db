#include "messaging/TForm2.h"

#include "controls/Captioned.h"
#include "controls/ColorButton.h"
#include "controls/DBGrid.h"
#include "controls/DbText.h"
#include "controls/DeferredClick.h"
#include "controls/Dialogs.h"
#include "controls/LabeledEdit.h"
#include "messaging/SmsRequest.h"
#include "platform/Error.h"
#include "platform/HttpRequest.h"
#include "platform/SystemLocale.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

#include <optional>

using namespace Qt::StringLiterals;

TForm2::TForm2(TZConnection &connection, TZQuery &directory, std::function<QString()> cardName,
               std::function<QString()> cardEmail, const SmsSettings &settings, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , ZQuery1(connection, u"ZQuery1"_s)
    , ZQuery2(connection, u"ZQuery2"_s)
    , m_directory(directory)
    , m_cardName(std::move(cardName))
    , m_cardEmail(std::move(cardEmail))
    , m_settings(settings) {
    setObjectName(u"TForm2"_s);
    setWindowTitle(u"SMS"_s);
    setFont(QFont(u"Tahoma"_s, 9));
    resize(1165, 649);
    ZQuery2.setSQL("select * from banka");

    auto group = [this](const char *name, const QString &caption) {
        auto *box = new QGroupBox(caption, this);
        box->setObjectName(QLatin1String(name));
        return box;
    };
    auto button = [this](const char *name, const QString &caption, QWidget *parent) {
        QPushButton *b = newButton(name, caption, QIcon(), parent);
        b->setCursor(Qt::PointingHandCursor);
        return b;
    };
    auto grid = [](TZQuery &dataset, const char *name, const QString &accessibleName,
                   QWidget *parent) {
        auto *g = new DBGrid(dataset, parent);
        g->setObjectName(QLatin1String(name));
        g->setAccessibleName(accessibleName);
        g->setAlwaysShowSelection(true);
        return g;
    };

    GroupBox1 = group("GroupBox1", u"Müşteriye Ait Teklifler :"_s);
    DBGrid1 = grid(ZQuery1, "DBGrid1", accessibleCaption(GroupBox1->title()), GroupBox1);
    BitBtn1 = button("BitBtn1", u"Teklif E-Postası Gönderildi Mesajı Oluştur"_s, GroupBox1);
    BitBtn4 = button("BitBtn4", u"Fiyat Teklifi için Mesaj Oluştur"_s, GroupBox1);
    BitBtn3 = button("BitBtn3", u"Kargo Takip Bilgisi Mesajı Oluştur"_s, GroupBox1);
    BitBtn5 = button("BitBtn5", u"Fiyat Teklifi Hatırlatma Mesajı Oluştur"_s, GroupBox1);

    GroupBox3 = group("GroupBox3", u"Banka Hesap Bilgileri :"_s);
    DBGrid2 = grid(ZQuery2, "DBGrid2", accessibleCaption(GroupBox3->title()), GroupBox3);
    BitBtn2 = button("BitBtn2", u"Banka Hesap Bildirim Mesajı Oluştur"_s, GroupBox3);
    BitBtn6 = button("BitBtn6", u"Yıllık Lisans Destek Hatırlatma Mesajı"_s, GroupBox3);

    GroupBox2 = group("GroupBox2", u"Gönderilecek SMS Mesajı :"_s);
    Memo1 = new QPlainTextEdit(GroupBox2);
    Memo1->setObjectName(u"Memo1"_s);
    Memo1->setAccessibleName(accessibleCaption(GroupBox2->title()));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    LabeledEdit1 = newLabeledEdit("LabeledEdit1", u"Mesaj anteti"_s, GroupBox2);
    LabeledEdit1->setText(initialMessageHeader(m_settings.WebAddress));

    GroupBox4 = group("GroupBox4", u"SMS Parametreleri"_s);
    ComboBox1 = newCaptionedCombo("ComboBox1", "Label1", u"Gönderen :"_s, Label1, GroupBox4);
    ComboBox1->addItems({u"ZEFIRAN"_s, u"ZEFIRANDESTEK"_s, u"TARNIVEX"_s});
    ComboBox1->setCurrentIndex(0);
    ComboBox2 = newCaptionedCombo("ComboBox2", "Label2", u"GSM Tel :"_s, Label2, GroupBox4);
    ColorButton1 = new TColorButton(u"SMS GÖNDER"_s, GroupBox4);
    ColorButton1->setObjectName(u"ColorButton1"_s);
    ColorButton1->setAccessibleName(ColorButton1->text());
    ColorButton1->setCursor(Qt::PointingHandCursor);
    ColorButton1->setHoverColor(QColor(0, 255, 0));
    QFont bold = ColorButton1->font();
    bold.setBold(true);
    ColorButton1->setFont(bold);
    ColorButton1->setMinimumHeight(40);

    // The offers and the bank accounts on the left, the message and its sending on the right.
    auto *offers = new QVBoxLayout(GroupBox1);
    offers->addWidget(DBGrid1, 1);
    auto *offerButtons = new QGridLayout;
    offerButtons->addWidget(BitBtn1, 0, 0);
    offerButtons->addWidget(BitBtn4, 0, 1);
    offerButtons->addWidget(BitBtn3, 1, 0);
    offerButtons->addWidget(BitBtn5, 1, 1);
    offers->addLayout(offerButtons);

    auto *accounts = new QVBoxLayout(GroupBox3);
    accounts->addWidget(DBGrid2, 1);
    auto *accountButtons = new QHBoxLayout;
    accountButtons->addWidget(BitBtn2);
    accountButtons->addWidget(BitBtn6);
    accounts->addLayout(accountButtons);

    auto *message = new QVBoxLayout(GroupBox2);
    message->addWidget(Memo1, 1);
    message->addWidget(LabeledEdit1);

    auto *parameters = new QGridLayout(GroupBox4);
    parameters->addWidget(Label1, 0, 0);
    parameters->addWidget(ComboBox1, 0, 1);
    parameters->addWidget(Label2, 1, 0);
    parameters->addWidget(ComboBox2, 1, 1);
    parameters->addWidget(ColorButton1, 2, 0, 1, 2);
    parameters->setColumnStretch(1, 1);

    auto *left = new QVBoxLayout;
    left->addWidget(GroupBox1, 3);
    left->addWidget(GroupBox3, 2);
    auto *right = new QVBoxLayout;
    right->addWidget(GroupBox2, 1);
    right->addWidget(GroupBox4);
    auto *window = new QHBoxLayout(this);
    window->addLayout(left, 3);
    window->addLayout(right, 2);

    setTabOrder(DBGrid1, BitBtn1);
    setTabOrder(BitBtn1, BitBtn4);
    setTabOrder(BitBtn4, BitBtn3);
    setTabOrder(BitBtn3, BitBtn5);
    setTabOrder(BitBtn5, DBGrid2);
    setTabOrder(DBGrid2, BitBtn2);
    setTabOrder(BitBtn2, BitBtn6);
    setTabOrder(BitBtn6, Memo1);
    setTabOrder(Memo1, LabeledEdit1->edit());
    setTabOrder(LabeledEdit1->edit(), ComboBox1);
    setTabOrder(ComboBox1, ComboBox2);
    setTabOrder(ComboBox2, ColorButton1);

    auto on = [this](QPushButton *b, void (TForm2::*handler)()) {
        connectDeferredClick(b, this, [this, handler] { (this->*handler)(); });
    };
    on(BitBtn1, &TForm2::BitBtn1Click);
    on(BitBtn2, &TForm2::BitBtn2Click);
    on(BitBtn3, &TForm2::BitBtn3Click);
    on(BitBtn4, &TForm2::BitBtn4Click);
    on(BitBtn5, &TForm2::BitBtn5Click);
    on(BitBtn6, &TForm2::BitBtn6Click);
    on(ColorButton1, &TForm2::ColorButton1Click);
    connect(DBGrid1, &DBGrid::cellClick, this,
            dialogs::guard(this, [this] { DBGrid1CellClick(); }));
}

TForm2::~TForm2() {
    // The grids read the datasets, which are members and go before the child widgets would.
    delete DBGrid1;
    delete DBGrid2;
}

void TForm2::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    if (!m_placed && screen()) {
        m_placed = true;
        move(screen()->availableGeometry().center() - rect().center());
    }
    dialogs::guarded([this] { FormShow(); }, this);
}

void TForm2::closeEvent(QCloseEvent *event) {
    dialogs::guarded([this] { FormClose(); }, this);
    event->accept();
}

void TForm2::FormShow() {
    ZQuery1.setSQL("select * from teklif where adsoyad=:par1");
    ZQuery1.ParamByName("par1").setAsString(m_directory.fieldByName("adsoyad").asString());
    ZQuery1.open();
    Memo1->clear();
    ZQuery2.open();
    enableCargoButton();
    ComboBox2->clear();
    ComboBox2->addItem(fromDb(m_directory.fieldByName("gsmtel1").asString()));
    ComboBox2->addItem(fromDb(m_directory.fieldByName("gsmtel2").asString()));
    ComboBox2->setCurrentIndex(0);
}

void TForm2::FormClose() {
    ZQuery1.close();
    ZQuery2.close();
}

void TForm2::DBGrid1CellClick() {
    enableCargoButton();
}

void TForm2::enableCargoButton() {
    BitBtn3->setEnabled(!ZQuery1.fieldByName("kargotakip").asString().isEmpty());
}

TemplateInput TForm2::templateInput() {
    TemplateInput in;
    in.name = m_cardName();
    in.email = m_cardEmail();
    in.header = LabeledEdit1->text();
    TZQuery &offers = ZQuery1;
    if (offers.active()) {
        in.offer.exists = !offers.isEmpty();
        in.offer.kargotakip = fromDb(offers.fieldByName("kargotakip").asString());
        in.offer.tarih = offers.fieldByName("tarih").asDate();
        in.offer.gecerlitar = offers.fieldByName("gecerlitar").asDate();
        in.offer.toplam = offers.fieldByName("toplam").asFloat();
        in.offer.indirim = offers.fieldByName("indirim").asFloat();
    }
    TZQuery &accounts = ZQuery2;
    if (accounts.active()) {
        in.account.hesapadi = fromDb(accounts.fieldByName("hesapadi").asString());
        in.account.hesapno = fromDb(accounts.fieldByName("hesapno").asString());
        in.account.iban = fromDb(accounts.fieldByName("iban").asString());
    }
    in.today = QDate::currentDate();
    in.supportHost = m_settings.SupportHost;
    in.locale = systemLocale();
    return in;
}

void TForm2::fillMessage(ComposedMessage (*compose)(const TemplateInput &)) {
    const ComposedMessage message = compose(templateInput());
    if (!message.refusal.isEmpty()) {
        dialogs::showMessage(message.refusal, this);
        return;
    }
    // The memo holds line breaks as LF.
    Memo1->setPlainText(QString(message.text).replace(u"\r\n"_s, u"\n"_s));
}

void TForm2::BitBtn1Click() {
    fillMessage(offerSentText);
}

void TForm2::BitBtn2Click() {
    fillMessage(bankAccountText);
}

void TForm2::BitBtn3Click() {
    fillMessage(cargoTrackingText);
}

void TForm2::BitBtn4Click() {
    fillMessage(priceOfferText);
}

void TForm2::BitBtn5Click() {
    fillMessage(offerReminderText);
}

void TForm2::BitBtn6Click() {
    fillMessage(licenceRenewalText);
}

QString TForm2::messageText() const {
    return Memo1->toPlainText().replace(u'\n', u"\r\n"_s);
}

void TForm2::ColorButton1Click() {
    const QString message = messageText();
    const QString number = ComboBox2->currentText();
    if (message.isEmpty()) {
        dialogs::showMessage(u"Lütfen gönderilecek SMS mesajınızı oluşturunuz!"_s, this);
        return;
    }
    const QString problem = providerUrlProblem(m_settings.Url);
    if (!problem.isEmpty()) {
        dialogs::showMessage(problem, this);
        return;
    }
    if (smsLength(message) > kSingleSmsLength)
        dialogs::showMessage(
            u"UYARI : Max.160 Karakter sınırını aştınız!\nMesaj için 2 SMS Düşülecek..."_s, this);
    if (!dialogs::confirm(u"İşlemi Onaylıyor Musunuz ?"_s, u"SMS GÖNDERİLECEK!"_s, this))
        return;
    const QString xml = smsRequestXml(m_settings, message, number);
    // The confirmation box leaves the screen before the request blocks the window.
    QCoreApplication::processEvents();

    QString answer;
    std::optional<Error> failure;
    try {
        HttpRequest request;
        request.open(u"GET"_s, smsRequestAddress(m_settings.Url, xml));
        request.setRequestHeader(kSmsContentTypeName, kSmsContentTypeValue);
        request.send(xml.toUtf8());
        answer = request.responseText();
    } catch (const Error &e) {
        failure = e;
    }
    dialogs::showMessage(answer, this);
    dialogs::showMessage(u"SMS Gönderme İşlemi Tamamlandı!"_s, this);
    close();
    if (failure)
        throw *failure;
}
