#include "SmsWindowFixture.h"

#include "controls/ColorButton.h"
#include "controls/DBGrid.h"
#include "controls/LabeledEdit.h"
#include "platform/SystemLocale.h"
#include "support/Click.h"

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest/QTest>

using namespace Qt::StringLiterals;

namespace {

void clickRow(DBGrid *grid, int row) {
    if (!grid->isVisible())
        grid->window()->show();
    const QModelIndex index = grid->model()->index(row, 0);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
}

QString date(int y, int m, int d) {
    return shortDateText(QDate(y, m, d), systemLocale());
}

QString amount(double value) {
    return amountText(value, systemLocale());
}

} // namespace

TEST_F(SmsWindowTest, ControlsCarryTheirCaptionsAndTheButtonsTheHandCursor) {
    settings.WebAddress = u"www.ornek.com.tr"_s;
    TForm2 &w = window();
    EXPECT_EQ(w.windowTitle(), u"SMS"_s);
    EXPECT_EQ(w.size(), QSize(1165, 649));
    const std::pair<QGroupBox *, const char16_t *> groups[] = {
        {w.GroupBox1, u"Müşteriye Ait Teklifler :"},
        {w.GroupBox3, u"Banka Hesap Bilgileri :"},
        {w.GroupBox2, u"Gönderilecek SMS Mesajı :"},
        {w.GroupBox4, u"SMS Parametreleri"},
    };
    for (const auto &[box, title] : groups)
        EXPECT_EQ(box->title(), QString::fromUtf16(title));
    const std::pair<QPushButton *, const char16_t *> buttons[] = {
        {w.BitBtn1, u"Teklif E-Postası Gönderildi Mesajı Oluştur"},
        {w.BitBtn4, u"Fiyat Teklifi için Mesaj Oluştur"},
        {w.BitBtn3, u"Kargo Takip Bilgisi Mesajı Oluştur"},
        {w.BitBtn5, u"Fiyat Teklifi Hatırlatma Mesajı Oluştur"},
        {w.BitBtn2, u"Banka Hesap Bildirim Mesajı Oluştur"},
        {w.BitBtn6, u"Yıllık Lisans Destek Hatırlatma Mesajı"},
        {w.ColorButton1, u"SMS GÖNDER"},
    };
    for (const auto &[button, caption] : buttons) {
        EXPECT_EQ(button->text(), QString::fromUtf16(caption));
        EXPECT_EQ(button->accessibleName(), QString::fromUtf16(caption));
        EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);
    }
    EXPECT_TRUE(w.ColorButton1->font().bold());
    EXPECT_EQ(w.ColorButton1->hoverColor(), QColor(0, 255, 0));

    EXPECT_EQ(w.LabeledEdit1->label()->text(), u"Mesaj anteti"_s);
    EXPECT_EQ(w.LabeledEdit1->text(), u"05400000000 www.ornek.com.tr"_s);
    EXPECT_EQ(w.Label1->text(), u"Gönderen :"_s);
    EXPECT_EQ(w.Label1->buddy(), w.ComboBox1);
    EXPECT_EQ(items(w.ComboBox1), (QStringList{u"ZEFIRAN"_s, u"ZEFIRANDESTEK"_s, u"TARNIVEX"_s}));
    EXPECT_EQ(w.ComboBox1->currentIndex(), 0);
    EXPECT_EQ(w.Label2->text(), u"GSM Tel :"_s);
    EXPECT_EQ(w.Label2->buddy(), w.ComboBox2);
    EXPECT_TRUE(w.ComboBox2->isEditable());
    EXPECT_EQ(w.Memo1->accessibleName(), u"Gönderilecek SMS Mesajı"_s);
}

TEST_F(SmsWindowTest, ShowingListsTheOffersOfTheNameTheBankAccountsAndTheNumbers) {
    TForm2 &w = window();
    w.Memo1->setPlainText(u"eski mesaj"_s);
    showFor(1);

    // Offers are matched by name: both customers called Ayşe Yılmaz.
    EXPECT_EQ(w.ZQuery1.recordCount(), 2);
    EXPECT_EQ(w.DBGrid1->model()->rowCount(), 2);
    EXPECT_EQ(w.ZQuery1.fieldByName("referansno").asString(), "T-1");
    EXPECT_EQ(w.ZQuery2.recordCount(), 1);
    EXPECT_EQ(w.DBGrid2->model()->rowCount(), 1);
    EXPECT_TRUE(w.Memo1->toPlainText().isEmpty());
    EXPECT_TRUE(w.BitBtn3->isEnabled());
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(SmsWindowTest, NumberListHoldsBothMobileNumbersAndSelectsTheFirst) {
    struct Case {
        int id;
        QStringList items;
    };
    const Case cases[] = {
        {1, {u"05321234567"_s, u"05441112233"_s}},
        {2, {u"05335556677"_s, u""_s}}, // no second number
        {4, {u""_s, u"05551230000"_s}}, // the first is selected even when it is empty
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.id);
        TForm2 &w = showFor(c.id);
        EXPECT_EQ(items(w.ComboBox2), c.items);
        EXPECT_EQ(w.ComboBox2->currentIndex(), 0);
        EXPECT_EQ(w.ComboBox2->currentText(), c.items.first());
        w.close();
    }
}

TEST_F(SmsWindowTest, CargoButtonFollowsAClickInTheOffersNotTheKeyboard) {
    TForm2 &w = showFor(1);
    ASSERT_TRUE(w.BitBtn3->isEnabled()); // T-1 has a tracking number

    w.DBGrid1->setFocus();
    QTest::keyClick(w.DBGrid1, Qt::Key_Down);
    ASSERT_EQ(w.ZQuery1.fieldByName("referansno").asString(), "T-2");
    EXPECT_TRUE(w.BitBtn3->isEnabled());

    clickRow(w.DBGrid1, 1);
    EXPECT_FALSE(w.BitBtn3->isEnabled());
    clickRow(w.DBGrid1, 0);
    EXPECT_TRUE(w.BitBtn3->isEnabled());

    w.close();
    showFor(2); // an offer with a null tracking number
    EXPECT_FALSE(w.BitBtn3->isEnabled());
    w.close();
    showFor(4); // no offers
    EXPECT_FALSE(w.BitBtn3->isEnabled());
}

TEST_F(SmsWindowTest, TemplatesReadTheCardTheCurrentOfferAndTheCurrentAccount) {
    TForm2 &w = showFor(1);
    cardName = u"Ayşe Hanım"_s; // the card's edit, not the record
    const QString header = u"05400000000 www.zefiran.com.tr"_s;

    clickAndRun(w.BitBtn1);
    EXPECT_EQ(w.messageText(),
              u"Sayın Ayşe Hanım;\r\nRestoran Sistemiyle ilgili ürün fiyat teklifimiz "
              u"ayse@ornek.com.tr adresinize gönderilmiş olup "_s +
                  date(2099, 12, 31) + u" tarihine kadar geçerlidir.\r\n"_s + header);

    clickAndRun(w.BitBtn4);
    EXPECT_EQ(w.messageText(),
              u"Sayın Ayşe Hanım;\r\nRestoran Sistemiyle ilgili ürünlerin güncel toplam fiyatı "_s +
                  amount(12500.5) + u" dir.Size özel Toplam "_s + amount(500) +
                  u" İndirim yapılmıştır.\r\nFiyat teklifimiz "_s + date(2099, 12, 31) +
                  u" tarihine kadar geçerlidir.\r\n"_s + header);

    w.LabeledEdit1->clear();
    clickAndRun(w.BitBtn3);
    EXPECT_EQ(w.messageText(), u"Sayın Ayşe Hanım;\r\nSiparişinize ait ürünler hazırlanarak MNG "
                               u"Kargo-Üsküdar Şubesine teslim edilmiştir.\r\nKargo Takip-Fatura "
                               u"No:MNG-42"_s);

    clickAndRun(w.BitBtn2);
    EXPECT_EQ(w.messageText(), u"Sayın Ayşe Hanım\r\nÖdemenizi 123-4567890 nolu hesaba "
                               u"yapabilirsiniz.\r\n(IBAN TR120001000200030004000506 Zefiran "
                               u"Bilişim Ltd.) Teşekkürler."_s);

    clickAndRun(w.BitBtn6);
    EXPECT_TRUE(w.messageText().endsWith(u"yatırınız.\r\nwww.zefiran.com.tr/destek"_s));

    clickAndRun(w.BitBtn5);
    EXPECT_EQ(w.messageText(),
              u"Sayın Ayşe Hanım;\r\nRestoran Sistemiyle ilgili "_s + date(2026, 3, 5) +
                  u" tarihinde gönderdiğimiz ürün fiyat teklifimizin "_s + date(2099, 12, 31) +
                  u" gününe kadar geçerli olduğunu hatırlatırız."_s);

    // The expired offer, chosen in the grid: the reminder is refused, the text stays.
    clickRow(w.DBGrid1, 1);
    const QString before = w.messageText();
    clickAndRun(w.BitBtn5);
    EXPECT_EQ(boxes.texts(), std::vector<QString>{u"Teklifin geçerlilik süresi bitmiştir!"_s});
    EXPECT_EQ(boxes.boxes.back().kind, dialogs::Kind::Message);
    EXPECT_EQ(w.messageText(), before);
}

TEST_F(SmsWindowTest, CustomerWithoutOffersGetsOnlyTheTemplatesThatNeedNone) {
    TForm2 &w = showFor(4);
    w.Memo1->setPlainText(u"elle yazılan"_s);

    clickAndRun(w.BitBtn1);
    clickAndRun(w.BitBtn5);
    EXPECT_EQ(boxes.texts(), (std::vector<QString>{u"Müşteriye ait teklif bulunamadı!"_s,
                                                   u"Teklifin geçerlilik süresi bitmiştir!"_s}));
    EXPECT_EQ(w.messageText(), u"elle yazılan"_s);

    clickAndRun(w.BitBtn4);
    EXPECT_EQ(w.messageText(),
              u"Sayın Yeni Müşteri;\r\nRestoran Sistemiyle ilgili ürünlerin güncel toplam "
              u"fiyatı "_s +
                  amount(0) + u" dir.Fiyat teklifimiz "_s + date(1899, 12, 30) +
                  u" tarihine kadar geçerlidir.\r\n05400000000 www.zefiran.com.tr"_s);
}

TEST_F(SmsWindowTest, ClosingClosesBothDatasetsAndShowingAgainStartsAfresh) {
    TForm2 &w = showFor(1);
    clickAndRun(w.BitBtn6);
    w.close();
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.ZQuery1.active());
    EXPECT_FALSE(w.ZQuery2.active());

    showFor(2);
    EXPECT_TRUE(w.Memo1->toPlainText().isEmpty());
    EXPECT_EQ(w.ZQuery1.recordCount(), 1);
    EXPECT_EQ(w.ZQuery1.fieldByName("referansno").asString(), "T-3");
    EXPECT_TRUE(w.ZQuery2.active());
    EXPECT_EQ(w.ComboBox2->currentText(), u"05335556677"_s);
}

TEST_F(SmsWindowTest, DatabaseErrorWhileShowingGoesToTheErrorBox) {
    db.exec("DROP TABLE banka");
    showFor(1);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].kind, dialogs::Kind::Error);
    EXPECT_TRUE(boxes.boxes[0].text.contains(u"banka"_s)) << boxes.boxes[0].text.toStdString();
}
