#include "directory/CustomerCard.h"
#include "controls/DatabaseFixture.h"
#include "controls/Dialogs.h"
#include "controls/LabeledEdit.h"
#include "controls/TextGuard.h"
#include "support/Accessible.h"
#include "support/Click.h"
#include "support/Text.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The card on a page control of three pages, over the directory datasets of a database of
// the test's own.
class CardTest : public DatabaseTest {
protected:
    CardTest() {
        pages.addTab(card, u"Müşteri Kartı"_s);
        pages.addTab(new QWidget, u"Kayıt Arama"_s);
        pages.addTab(new QWidget, u"Çağrı Listesi"_s);
    }

    std::vector<QString> messages() const { return boxes.texts(); }

    void openDirectory() {
        for (TZQuery *q : {&ZQuery1, &ZQuery2}) {
            q->setSQL("select * from rehber");
            q->open();
        }
    }
    void add(const char *name, const char *gsm1, const char *gsm2, const char *firmatel) {
        auto text = [](const char *v) {
            return v ? "'" + QByteArray(v) + "'" : QByteArray("NULL");
        };
        db.exec("INSERT INTO rehber (adsoyad, gsmtel1, gsmtel2, firmatel, tarih) VALUES (" +
                text(name) + "," + text(gsm1) + "," + text(gsm2) + "," + text(firmatel) +
                ",'2020-01-02')");
    }
    TestDatabase::Row row(const QByteArray &where) {
        const auto rows = db.query("SELECT adsoyad, gsmtel1, gsmtel2, firmatel, detay, adres, "
                                   "grup, tarih FROM rehber WHERE " +
                                   where);
        EXPECT_EQ(rows.size(), 1u) << where.toStdString();
        return rows.empty() ? TestDatabase::Row() : rows.front();
    }

    TZQuery ZQuery1{connection, u"ZQuery1"_s};
    TZQuery ZQuery2{connection, u"ZQuery2"_s};
    QTabWidget pages;
    CustomerCard *card = new CustomerCard(ZQuery1, ZQuery2, pages);
};

} // namespace

TEST_F(CardTest, SavingANewNumberInsertsACustomer) {
    openDirectory();
    card->LabeledEdit1->setText(u"Şükrü Öztürk"_s);
    card->LabeledEdit2->setText(u"05321234567"_s);
    card->Memo3->setPlainText(u"Atatürk Cad. 5\nKadıköy"_s);
    card->Memo1->setPlainText(u"İlk not"_s);
    card->ComboBox1->setEditText(u"Yeni grup"_s); // a value not in the list is kept as typed
    card->DateTimePicker1->setDate(QDate(2021, 5, 6));
    clickAndRun(card->BitBtn1);

    const auto saved = row("gsmtel1='05321234567'");
    EXPECT_EQ(saved[0], win("Şükrü Öztürk"));
    EXPECT_EQ(saved[2], QByteArray("")); // an empty box is an empty text, not null
    EXPECT_EQ(saved[4], win("İlk not"));
    EXPECT_EQ(saved[5], win("Atatürk Cad. 5\r\nKadıköy"));
    EXPECT_EQ(saved[6], QByteArray("Yeni grup"));
    EXPECT_EQ(saved[7], QByteArray("2021-05-06"));
    // After a save: a cleared card, the call list, and the search list refreshed.
    EXPECT_EQ(card->LabeledEdit1->text(), QString());
    EXPECT_EQ(card->DateTimePicker1->date(), QDate::currentDate());
    EXPECT_EQ(pages.currentIndex(), CustomerCard::CallListPage);
    EXPECT_EQ(ZQuery2.recordCount(), 1);
    EXPECT_TRUE(messages().empty());
}

TEST_F(CardTest, SavingAKnownNumberUpdatesTheFirstRecordWithIt) {
    add("Birinci", "05321234567", nullptr, "02121111111");
    add("Ikinci", "05321234567", nullptr, nullptr);
    add("Ucuncu", nullptr, nullptr, "02122222222");
    add("Dorduncu", "", nullptr, "02122222222");
    openDirectory();

    // Loaded from another record, the card overwrites the first with its Telefon-1.
    ZQuery1.locate("adsoyad", "Ucuncu");
    card->kartgetir();
    card->LabeledEdit1->setText(u"Yeni Ad"_s);
    card->LabeledEdit2->setText(u"05321234567"_s);
    clickAndRun(card->BitBtn1);
    EXPECT_EQ(row("adsoyad='Yeni Ad'")[3], QByteArray("02122222222"));
    EXPECT_EQ(row("adsoyad='Ikinci'")[1], QByteArray("05321234567"));
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM rehber"), "4");

    // Without Telefon-1 the company number is the key: the first record with it.
    clickAndRun(card->BitBtn3);
    card->LabeledEdit6->setText(u"02122222222"_s);
    card->LabeledEdit1->setText(u"Firma Kaydı"_s);
    clickAndRun(card->BitBtn1);
    EXPECT_EQ(row("Id=1")[0], win("Firma Kaydı")); // the first record holding that number
    EXPECT_EQ(row("Id=1")[1], QByteArray(""));
    EXPECT_EQ(row("adsoyad='Dorduncu'")[3], QByteArray("02122222222"));
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM rehber"), "4");
}

TEST_F(CardTest, BothKeyNumbersEmptyIsRefused) {
    openDirectory();
    pages.setCurrentIndex(CustomerCard::CardPage);
    card->LabeledEdit1->setText(u"Numarasız"_s);
    card->LabeledEdit3->setText(u"05320000000"_s); // Telefon-2 is no key
    clickAndRun(card->BitBtn1);
    EXPECT_EQ(messages(),
              std::vector<QString>{u"GSM-Telefon-1 veya Firma Telefon Alanları Boş Olamaz!"_s});
    EXPECT_EQ(card->LabeledEdit1->text(), u"Numarasız"_s);
    EXPECT_EQ(pages.currentIndex(), CustomerCard::CardPage);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM rehber"), "0");

    // A number of blanks is not empty.
    boxes.boxes.clear();
    card->LabeledEdit2->setText(u" "_s);
    clickAndRun(card->BitBtn1);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM rehber WHERE gsmtel1=' '"), "1");
}

TEST_F(CardTest, AFailedSaveKeepsTheCard) {
    openDirectory();
    db.exec("ALTER TABLE rehber ADD CONSTRAINT cek CHECK (adsoyad <> 'Yasak')");
    card->LabeledEdit1->setText(u"Yasak"_s);
    card->LabeledEdit2->setText(u"05321234567"_s);
    pages.setCurrentIndex(CustomerCard::CardPage);
    dialogs::guarded([&] { card->BitBtn1Click(); });
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_TRUE(messages().front().startsWith(u"SQL Error: "_s));
    EXPECT_EQ(card->LabeledEdit1->text(), u"Yasak"_s);
    EXPECT_EQ(pages.currentIndex(), CustomerCard::CardPage);
}

TEST_F(CardTest, NumarabulSearchesTheThreeNumbersInTurn) {
    add("Bir", "05320000001", "05320000002", "02120000003");
    add("Iki", "05320000002", nullptr, nullptr);
    add("Uc", nullptr, "05320000004", "02120000004");
    add("Dort", nullptr, nullptr, "02120000005");
    openDirectory();
    struct Case {
        const char *number, *name;
    };
    for (const Case &c : {Case{"05320000002", "Iki"}, Case{"05320000004", "Uc"},
                          Case{"02120000005", "Dort"}, Case{"02120000003", "Bir"}}) {
        pages.setCurrentIndex(CustomerCard::CallListPage);
        card->numarabul(c.number);
        EXPECT_EQ(card->LabeledEdit1->text(), QString::fromLatin1(c.name)) << c.number;
        EXPECT_EQ(card->DateTimePicker1->date(), QDate(2020, 1, 2));
        EXPECT_EQ(pages.currentIndex(), CustomerCard::CardPage);
    }
    // Unknown: a cleared card with the number in Telefon-1.
    card->LabeledEdit4->setText(u"eski@posta"_s);
    card->numarabul("05559999999");
    EXPECT_EQ(card->LabeledEdit2->text(), u"05559999999"_s);
    EXPECT_EQ(card->LabeledEdit1->text(), QString());
    EXPECT_EQ(card->LabeledEdit4->text(), QString());
    EXPECT_EQ(card->DateTimePicker1->date(), QDate::currentDate());
}

TEST_F(CardTest, ARecordWithoutDateShowsTheZeroDate) {
    db.exec("INSERT INTO rehber (adsoyad, gsmtel1, tarih) VALUES ('Tarihsiz', '1', NULL)");
    openDirectory();
    card->kartgetir();
    EXPECT_EQ(card->DateTimePicker1->date(), QDate(1899, 12, 30));
}

TEST_F(CardTest, TheNoteWarnsPast500Characters) {
    // The length is taken before the key acts, on every key, also one that types nothing.
    struct Case {
        int length;
        Qt::Key key;
        bool warned;
    };
    for (const Case &c : {Case{500, Qt::Key_A, false}, Case{501, Qt::Key_Left, true},
                          Case{501, Qt::Key_Backspace, true}, Case{499, Qt::Key_A, false}}) {
        boxes.boxes.clear();
        card->Memo1->setPlainText(QString(c.length, QLatin1Char('n')));
        QTest::keyClick(card->Memo1, c.key);
        EXPECT_EQ(messages().size(), c.warned ? 1u : 0u) << c.length << " key " << c.key;
        if (c.warned) {
            EXPECT_EQ(messages().front(), u"UYARI : 500 karekter sınırını aştınız!"_s);
        }
    }
    // The 501st character typed gives no warning yet; the next key does.
    boxes.boxes.clear();
    card->Memo1->setPlainText(QString(500, QLatin1Char('n')));
    card->Memo1->moveCursor(QTextCursor::End);
    QTest::keyClick(card->Memo1, Qt::Key_A);
    EXPECT_TRUE(messages().empty());
    QTest::keyClick(card->Memo1, Qt::Key_A);
    EXPECT_EQ(messages().size(), 1u);
    EXPECT_EQ(card->Memo1->toPlainText().size(), 502); // nothing is cut
}

TEST_F(CardTest, TextOutsideTurkishWindowsCodePageIsRefusedWhereTyped) {
    QLineEdit *name = card->LabeledEdit1->edit();
    name->setText(u"Ali"_s);
    name->setFocus();
    name->end(false);
    name->insert(u"\u4e2d"_s); // a Chinese character: Windows-1254 has none
    EXPECT_EQ(name->text(), u"Ali"_s);
    name->insert(u"ş€"_s);
    EXPECT_EQ(name->text(), u"Aliş€"_s);
    card->Memo3->setFocus();
    for (QChar ch : u"ağ\u0394"_s) { // Greek delta refused, the rest typed
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(card->Memo3, &press);
    }
    EXPECT_EQ(card->Memo3->toPlainText(), u"ağ"_s);
}

// Every input is reached by its caption, every button by its caption, on an empty card and
// on a card that holds a customer (a filled combo is named by its caption, not its text).
TEST_F(CardTest, ControlsAreNamedByTheirCaptions) {
    const std::vector<std::pair<QWidget *, QString>> named = {
        {card->LabeledEdit1->edit(), u"Adı ve Soyadı"_s},
        {card->LabeledEdit2->edit(), u"Telefon-1"_s},
        {card->LabeledEdit3->edit(), u"Telefon-2"_s},
        {card->LabeledEdit6->edit(), u"Telefon-3"_s},
        {card->Memo3, u"Adres"_s},
        {card->Memo1, u"Not"_s},
        {card->DateTimePicker1, u"Kayıt Tarihi"_s},
        {card->LabeledEdit5->edit(), u"Firma Adı"_s},
        {card->LabeledEdit11->edit(), u"Firma Ünvanı"_s},
        {card->LabeledEdit9->edit(), u"Vergi Dairesi"_s},
        {card->LabeledEdit10->edit(), u"Vergi / TCK No"_s},
        {card->ComboBox1, u"Grup"_s},
        {card->ComboBox3, u"Referans"_s},
        {card->LabeledEdit4->edit(), u"E-Posta"_s},
        {card->BitBtn1, u"Kaydet"_s},
        {card->BitBtn2, u"Yazdır"_s},
        {card->BitBtn3, u"Yeni Kayıt"_s},
        {card->BitBtn6, u"Çıkış"_s},
    };
    auto allNamed = [&](const char *state) {
        for (const auto &[widget, name] : named)
            EXPECT_EQ(accessibleText(widget), name)
                << widget->objectName().toStdString() << " on " << state;
    };
    allNamed("an empty card");
    db.exec("INSERT INTO rehber (adsoyad, gsmtel1, gsmtel2, firmatel, adres, detay, firmaad, "
            "firmaunvan, vergidaire, vergino, grup, referans, eposta, tarih) VALUES ('Ali', "
            "'05321111111', '05322222222', '02161111111', 'Moda', 'not', 'Ali Lokanta', 'Ltd.', "
            "'Kad\xFDk\xF6y', '123', 'Restoran', 'Google', 'ali@example.com', '2020-01-02')");
    openDirectory();
    card->getir();
    ASSERT_EQ(card->ComboBox1->currentText(), u"Restoran"_s);
    allNamed("a filled card");
    EXPECT_EQ(accessibleText(card->ComboBox1, QAccessible::Value), u"Restoran"_s);
    EXPECT_EQ(accessibleText(card->ComboBox3, QAccessible::Value), u"Google"_s);
    EXPECT_EQ(card->LabeledEdit2->label()->buddy(), card->LabeledEdit2->edit());
}
