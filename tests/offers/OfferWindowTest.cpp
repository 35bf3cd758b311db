#include "controls/DBGrid.h"
#include "offers/TForm3.h"
#include "support/BoxRecorder.h"
#include "support/StoreTest.h"
#include "support/Text.h"

#include <QtTest/QTest>

#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Customer 1 has three offers, two of them sharing the reference T-1; customer 2 has none.
// Lines with an empty reference exist too.
class OfferWindowTest : public StoreTest {
protected:
    OfferWindowTest() {
        connection.connect();
        db.exec(win("INSERT INTO rehber (Id, adsoyad) VALUES (1, 'Ayşe Yılmaz'), "
                    "(2, 'Mehmet Kara')"));
        db.exec("INSERT INTO teklif (Id, referansno, rehberid) VALUES "
                "(10, 'T-1', 1), (11, 'T-2', 1), (12, 'T-1', 1), (13, 'T-9', 3)");
        db.exec(win("INSERT INTO teklifler (referansno, urun, adet) VALUES "
                    "('T-1', 'POS terminali', 2), ('T-2', 'Yazıcı', 1), "
                    "('T-1', 'Kurulum', 1), ('', 'Boş referanslı', 1), ('T-9', 'Başka', 1)"));
        directory.setSQL("select * from rehber");
        directory.open();
    }

    void standOn(int id) { ASSERT_TRUE(directory.locate("Id", QByteArray::number(id))); }

    static std::vector<QByteArray> column(TZQuery &q, const char *name) {
        std::vector<QByteArray> values;
        for (int row = 0; row < q.rowCount(); ++row)
            values.push_back(q.textAt(row, q.fieldIndex(name)));
        return values;
    }

    void clickOffer(int row) {
        if (!window.isVisible())
            window.show();
        const QModelIndex index = window.DBGrid1->model()->index(row, 0);
        QTest::mouseClick(window.DBGrid1->viewport(), Qt::LeftButton, {},
                          window.DBGrid1->visualRect(index).center());
    }

    BoxRecorder boxes;
    TZQuery directory{connection, u"ZQuery1"_s};
    TForm3 window{connection, directory};
};

using Lines = std::vector<QByteArray>;

} // namespace

TEST_F(OfferWindowTest, ActivationShowsTheCustomersOffersWithTheFirstOnesLines) {
    EXPECT_EQ(window.windowTitle(), u"DETAYLAR"_s);
    EXPECT_EQ(window.size(), QSize(1216, 499));
    standOn(1);
    window.FormActivate();

    EXPECT_EQ(column(window.ZQuery1, "Id"), (Lines{"10", "11", "12"}));
    // Every column of both tables, in the table's order.
    EXPECT_EQ(window.DBGrid1->model()->columnCount(), 10);
    EXPECT_EQ(window.DBGrid1->model()->headerData(1, Qt::Horizontal).toString(), u"referansno"_s);
    EXPECT_EQ(window.DBGrid2->model()->columnCount(), 6);
    EXPECT_EQ(column(window.ZQuery2, "urun"), (Lines{"POS terminali", "Kurulum"}));
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(OfferWindowTest, ClickingAnOfferShowsTheLinesOfItsReference) {
    standOn(1);
    window.FormActivate();

    clickOffer(1);
    EXPECT_EQ(column(window.ZQuery2, "urun"), (Lines{win("Yazıcı")}));
    // The third offer shares T-1 with the first: the lines of both.
    clickOffer(2);
    EXPECT_EQ(column(window.ZQuery2, "urun"), (Lines{"POS terminali", "Kurulum"}));

    // Moving with the keyboard leaves the lines as they are.
    window.DBGrid1->setFocus();
    QTest::keyClick(window.DBGrid1, Qt::Key_Up);
    ASSERT_EQ(window.ZQuery1.fieldByName("Id").asString(), "11");
    EXPECT_EQ(column(window.ZQuery2, "urun"), (Lines{"POS terminali", "Kurulum"}));
}

TEST_F(OfferWindowTest, CustomerWithoutOffersShowsTheLinesWithAnEmptyReference) {
    standOn(2);
    window.FormActivate();
    EXPECT_EQ(window.ZQuery1.recordCount(), 0);
    EXPECT_EQ(column(window.ZQuery2, "urun"), (Lines{win("Boş referanslı")}));
}

TEST_F(OfferWindowTest, ActivatingAgainFollowsTheMainWindowsCurrentRecord) {
    standOn(2);
    window.FormActivate();
    standOn(1);
    window.FormActivate();
    EXPECT_EQ(column(window.ZQuery1, "Id"), (Lines{"10", "11", "12"}));
    EXPECT_EQ(column(window.ZQuery2, "urun"), (Lines{"POS terminali", "Kurulum"}));

    window.close();
    EXPECT_FALSE(window.ZQuery1.active());
    EXPECT_FALSE(window.ZQuery2.active());
}

TEST_F(OfferWindowTest, BecomingActiveFromAnotherWindowOfTheProgramQueriesAnew) {
    standOn(1);
    QWidget mainWindow;
    mainWindow.show();
    mainWindow.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&mainWindow));

    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(column(window.ZQuery1, "Id"), (Lines{"10", "11", "12"}));

    window.close();
    standOn(2);
    mainWindow.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&mainWindow));
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(window.ZQuery1.recordCount(), 0);
}

TEST_F(OfferWindowTest, DatabaseErrorAtActivationGoesToTheErrorBox) {
    db.exec("DROP TABLE teklifler");
    standOn(1);
    QWidget mainWindow;
    mainWindow.show();
    mainWindow.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&mainWindow));
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].kind, dialogs::Kind::Error);
    EXPECT_TRUE(boxes.boxes[0].text.contains(u"teklifler"_s)) << boxes.boxes[0].text.toStdString();
}
