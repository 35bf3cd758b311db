#include "MainWindowFixture.h"

#include "controls/LabeledEdit.h"
#include "directory/CustomerCard.h"
#include "messaging/TForm2.h"
#include "offers/TForm3.h"
#include "support/Click.h"

#include <QComboBox>
#include <QPushButton>
#include <QtTest/QTest>

using namespace Qt::StringLiterals;

namespace {

// The main window with the SMS and offer windows wired as the program entry wires them.
class CardWindowsTest : public MainWindowTest {
protected:
    CardWindowsTest() {
        db.exec(win("INSERT INTO rehber (Id, adsoyad, gsmtel1, eposta) VALUES "
                    "(1, 'Ayşe Yılmaz', '05321234567', 'ayse@ornek.com.tr'), "
                    "(2, 'Mehmet Kara', '05335556677', NULL)"));
        db.exec(win("INSERT INTO teklif (referansno, rehberid, adsoyad, gecerlitar) VALUES "
                    "('T-1', 1, 'Ayşe Yılmaz', '2099-01-01'), "
                    "('T-2', 2, 'Mehmet Kara', '2099-01-01')"));
        writeSettings("[Sms]\r\nWebAddress=www.ornek.com.tr\r\n");
        TForm1 &w = start();
        const CustomerCard *card = w.TabSheet1;
        sms = std::make_unique<TForm2>(
            w.ZConnection1, w.ZQuery1, [card] { return card->LabeledEdit1->text(); },
            [card] { return card->LabeledEdit4->text(); }, w.smsSettings);
        offers = std::make_unique<TForm3>(w.ZConnection1, w.ZQuery1);
        w.setSmsWindow(sms.get());
        w.setOfferWindow(offers.get());
    }
    ~CardWindowsTest() override {
        sms.reset();
        offers.reset();
    }

    // Loads the card of that customer the way a user does: by its number on the search tab.
    void loadCard(const char *number) { window->TabSheet1->numarabul(number); }

    std::unique_ptr<TForm2> sms;
    std::unique_ptr<TForm3> offers;
};

} // namespace

TEST_F(CardWindowsTest, CardButtonsOpenTheWindowsForTheLoadedCustomer) {
    TForm1 &w = *window;
    CustomerCard *card = w.TabSheet1;
    EXPECT_EQ(card->BitBtn7->accessibleName(), u"SMS"_s);
    EXPECT_EQ(card->BitBtn8->accessibleName(), u"Teklifler"_s);

    loadCard("05335556677");
    clickAndRun(card->BitBtn7);
    ASSERT_TRUE(sms->isVisible());
    EXPECT_EQ(sms->ZQuery1.fieldByName("referansno").asString(), "T-2");
    EXPECT_EQ(sms->ComboBox2->currentText(), u"05335556677"_s);
    EXPECT_EQ(sms->LabeledEdit1->text(), u"05400000000 www.ornek.com.tr"_s);
    clickAndRun(sms->BitBtn1);
    EXPECT_TRUE(sms->messageText().startsWith(u"Sayın Mehmet Kara;\r\n"_s));
    sms->close();

    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    loadCard("05321234567");
    clickAndRun(card->BitBtn8);
    ASSERT_TRUE(QTest::qWaitForWindowActive(offers.get()));
    EXPECT_EQ(offers->ZQuery1.recordCount(), 1);
    EXPECT_EQ(offers->ZQuery1.fieldByName("referansno").asString(), "T-1");
    EXPECT_TRUE(boxTextsAfterStart().empty());
}

TEST_F(CardWindowsTest, AltSAndAltTOpenTheWindowsFromTheCard) {
    TForm1 &w = *window;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    loadCard("05321234567");
    // A mnemonic clicks the button a moment later, as a click by the mouse looks.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([this] { return sms->isVisible(); }));
    sms->close();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_T, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([this] { return offers->isVisible(); }));
}
