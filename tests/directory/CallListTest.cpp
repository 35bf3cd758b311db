#include "DirectoryTabsFixture.h"

#include "controls/DBNavigator.h"
#include "controls/LabeledEdit.h"
#include "platform/Cp1254.h"
#include "support/Click.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

class CallListTest : public DirectoryTabsTest {
protected:
    CallListTest() {
        db.exec("INSERT INTO rehber (adsoyad, gsmtel1, gsmtel2, firmatel) VALUES "
                "('Ahmet Y\xFDlmaz', '05321234567', NULL, NULL),"
                "('Mehmet Kaya', '', '05447654321', NULL),"
                "('Ay\xFE"
                "e Demir', NULL, NULL, '03123333333')");
        db.exec("INSERT INTO arayanlar (tarih, saat, telno, notu) VALUES "
                "('2015-03-05', '10:00:00', '05321234567', NULL),"
                "('2015-03-05', '11:00:00', '05447654321', 'eski'),"
                "('2015-03-06', '09:00:00', '05321234567', NULL),"
                "('2015-03-05', '12:00:00', '03123333333', NULL),"
                "('2015-02-01', '08:00:00', '05559990000', NULL)");
        openDatasets(QDate(2015, 3, 5));
    }

    std::vector<QByteArray> listedIds() { return column(ZQuery3, "Id"); }
    void onCall(const QByteArray &telno) { ASSERT_TRUE(ZQuery3.locate("telno", telno)); }
    void showDay(const QDate &day) {
        calls->DateTimePicker2->setDate(day);
        calls->DateTimePicker2Change();
    }
    QLineEdit *noteBox() const { return calls->LabeledEdit17->edit(); }
};

} // namespace

TEST_F(CallListTest, PickingADayListsItsCallsSettingTheDateDoesNot) {
    ASSERT_EQ(listedIds(), (std::vector<QByteArray>{"1", "2", "4"}));

    // The program setting the date re-opens nothing.
    markLog();
    calls->DateTimePicker2->setDate(QDate(2015, 2, 6));
    EXPECT_TRUE(statementsSinceMark().empty());
    EXPECT_EQ(listedIds(), (std::vector<QByteArray>{"1", "2", "4"}));

    // The user stepping the month does.
    showTab(calls);
    calls->DateTimePicker2->setFocus();
    calls->DateTimePicker2->setCurrentSection(QDateTimeEdit::MonthSection);
    QTest::keyClick(calls->DateTimePicker2, Qt::Key_Up);
    EXPECT_EQ(calls->DateTimePicker2->date(), QDate(2015, 3, 6));
    EXPECT_EQ(statementsSinceMark(),
              std::vector<QByteArray>{"select * from arayanlar where tarih='2015-03-06'"});
    EXPECT_EQ(listedIds(), std::vector<QByteArray>{"3"});
    EXPECT_EQ(calls->DBGrid2->model()->rowCount(), 1);

    // A day picked in the calendar.
    QDateEdit *picker = calls->DateTimePicker2;
    QTest::mouseClick(picker, Qt::LeftButton, {},
                      QPoint(picker->width() - 6, picker->height() / 2));
    QCalendarWidget *calendar = calls->DateTimePicker2->calendarWidget();
    ASSERT_TRUE(calendar->isVisible());
    calendar->setSelectedDate(QDate(2015, 3, 5));
    EXPECT_EQ(calls->DateTimePicker2->date(), QDate(2015, 3, 5));
    EXPECT_EQ(listedIds(), (std::vector<QByteArray>{"1", "2", "4"}));
    QTest::keyClick(calendar, Qt::Key_Escape);

    // A day without calls: an empty list; the history keeps its rows.
    onCall("05321234567");
    calls->DBGrid2CellClick();
    showDay(QDate(2015, 1, 1));
    EXPECT_EQ(ZQuery3.recordCount(), 0);
    EXPECT_EQ(calls->DBGrid3->model()->rowCount(), 2);
}

TEST_F(CallListTest, ACellClickShowsEveryCallOfTheNumberOnBothTabs) {
    showTab(calls);
    DBGrid *grid = calls->DBGrid2;
    const QModelIndex first = grid->model()->index(0, ZQuery3.fieldIndex("telno"));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(first).center());

    EXPECT_EQ(column(ZQuery4, "Id"), (std::vector<QByteArray>{"1", "3"})); // every day
    EXPECT_EQ(calls->DBGrid3->model()->rowCount(), 2);
    EXPECT_EQ(search->DBGrid4->model()->rowCount(), 2);

    onCall("03123333333");
    calls->DBGrid2CellClick();
    EXPECT_EQ(column(ZQuery4, "Id"), std::vector<QByteArray>{"4"});
    EXPECT_EQ(search->DBGrid4->model()->rowCount(), 1);
}

TEST_F(CallListTest, KayitAndADoubleClickOpenTheCallersCardOrANewOneWithTheNumber) {
    PageControl1.setCurrentIndex(CustomerCard::CallListPage);
    onCall("05447654321"); // gsmtel2 of a customer
    clickAndRun(calls->BitBtn4);
    EXPECT_EQ(card->LabeledEdit1->text(), u"Mehmet Kaya"_s);
    EXPECT_EQ(PageControl1.currentIndex(), CustomerCard::CardPage);

    PageControl1.setCurrentIndex(CustomerCard::CallListPage);
    onCall("03123333333"); // firmatel of a customer
    calls->DBGrid2DblClick();
    EXPECT_EQ(card->LabeledEdit1->text(), u"Ayşe Demir"_s);
    EXPECT_EQ(card->LabeledEdit6->text(), u"03123333333"_s);

    // A number nobody has: a cleared card holding the number.
    showDay(QDate(2015, 2, 1));
    PageControl1.setCurrentIndex(CustomerCard::CallListPage);
    calls->DBGrid2DblClick();
    EXPECT_EQ(card->LabeledEdit1->text(), QString());
    EXPECT_EQ(card->LabeledEdit2->text(), u"05559990000"_s);
    EXPECT_EQ(card->DateTimePicker1->date(), QDate::currentDate());
    EXPECT_EQ(PageControl1.currentIndex(), CustomerCard::CardPage);

    // With no call in the list "Kayıt" opens no card, not even that of a customer whose
    // number is empty.
    db.exec("INSERT INTO rehber (adsoyad, gsmtel1) VALUES ('Bo\xFE Numara', '')");
    ZQuery1.refresh();
    showDay(QDate(2015, 1, 1));
    card->temizle();
    PageControl1.setCurrentIndex(CustomerCard::CallListPage);
    clickAndRun(calls->BitBtn4);
    EXPECT_EQ(card->LabeledEdit1->text(), QString());
    EXPECT_EQ(PageControl1.currentIndex(), CustomerCard::CallListPage);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(CallListTest, TheNoteIsStoredOnTheSelectedCallAndReplacesTheEarlierOne) {
    onCall("05447654321");
    noteBox()->setText(u"yeni not"_s);
    markLog();
    clickAndRun(calls->BitBtn5);
    EXPECT_EQ(statementsSinceMark(),
              std::vector<QByteArray>{"UPDATE " + dbName() +
                                      ".arayanlar SET notu='yeni not' WHERE Id=2"});
    EXPECT_EQ(db.scalar("SELECT notu FROM arayanlar WHERE Id=2"), "yeni not");
    EXPECT_EQ(noteBox()->text(), QString());
    EXPECT_EQ(ZQuery3.fieldByName("Id").asString(), "2"); // the cursor stays on the call
    EXPECT_EQ(ZQuery3.state(), DataSetState::Browse);

    // An empty box does nothing.
    markLog();
    calls->BitBtn5Click();
    EXPECT_TRUE(statementsSinceMark().empty());

    // Turkish text as typed; a note longer than the column is stored cut to it.
    onCall("05321234567");
    noteBox()->setText(u"Şükrü "_s + QString(120, u'x'));
    calls->BitBtn5Click();
    EXPECT_EQ(db.scalar("SELECT HEX(LEFT(notu, 6)) FROM arayanlar WHERE Id=1"), "DEFC6B72FC20");
    EXPECT_EQ(db.scalar("SELECT LENGTH(notu) FROM arayanlar WHERE Id=1"), "100");
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(calls->BitBtn5->accessibleName(), u"Notu kaydet"_s);
}

TEST_F(CallListTest, ANoteWithNoCallInTheListIsRefusedAndKept) {
    showDay(QDate(2015, 1, 1));
    ASSERT_EQ(ZQuery3.recordCount(), 0);
    noteBox()->setText(u"kimse yok"_s);
    markLog();
    clickAndRun(calls->BitBtn5);
    EXPECT_EQ(boxes.texts(), std::vector<QString>{u"Listede not eklenecek çağrı yok!"_s});
    EXPECT_EQ(boxes.boxes[0].kind, dialogs::Kind::Message);
    EXPECT_TRUE(statementsSinceMark().empty());
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM arayanlar"), "5");
    EXPECT_EQ(noteBox()->text(), u"kimse yok"_s);
    EXPECT_EQ(ZQuery3.state(), DataSetState::Browse);
}

TEST_F(CallListTest, ANoteOverAHundredCharactersWarnsAtTheNextKeyPress) {
    const QString warning = u"UYARI : 100 karekter sınırını aştınız!"_s;
    struct Case {
        int length;
        Qt::Key key;
        size_t warnings;
    };
    const Case cases[] = {
        {100, Qt::Key_End, 0},  {100, Qt::Key_A, 0}, // the length before the key counts: 100
        {101, Qt::Key_Left, 1}, {101, Qt::Key_Backspace, 1}, {150, Qt::Key_Shift, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.length);
        boxes.boxes.clear();
        noteBox()->setText(QString(c.length, u'n'));
        QTest::keyClick(noteBox(), c.key);
        EXPECT_EQ(boxes.texts(), std::vector<QString>(c.warnings, warning));
        for (const dialogs::Box &box : boxes.boxes)
            EXPECT_EQ(box.kind, dialogs::Kind::Message);
    }
    // After the key that made it 101, the next one warns; nothing is cut.
    noteBox()->setText(QString(100, u'n'));
    QTest::keyClick(noteBox(), Qt::Key_A);
    boxes.boxes.clear();
    QTest::keyClick(noteBox(), Qt::Key_End);
    EXPECT_EQ(boxes.texts(), std::vector<QString>{warning});
    EXPECT_EQ(noteBox()->text().size(), 101);
}

TEST_F(CallListTest, EmptyingTheLogAsksAndTruncatesOnlyAfterYes) {
    onCall("05321234567");
    calls->DBGrid2CellClick(); // the history holds two calls

    boxes.answer = QMessageBox::No;
    markLog();
    clickAndRun(calls->BitBtn8);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].kind, dialogs::Kind::Confirmation);
    EXPECT_EQ(boxes.boxes[0].text, u"Emin Misiniz ?"_s);
    EXPECT_EQ(boxes.boxes[0].caption, u"TÜM ÇAĞRI LİSTESİ SİLİNECEK !!!"_s);
    EXPECT_TRUE(statementsSinceMark().empty());
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM arayanlar"), "5");
    EXPECT_EQ(ZQuery3.recordCount(), 3);

    boxes.answer = QMessageBox::Yes;
    clickAndRun(calls->BitBtn8);
    EXPECT_EQ(statementsSinceMark(),
              (std::vector<QByteArray>{"TRUNCATE TABLE arayanlar", "select * from arayanlar"}));
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM arayanlar"), "0"); // every day's calls
    EXPECT_EQ(ZQuery3.SQL(), "select * from arayanlar");
    EXPECT_TRUE(ZQuery3.active());
    EXPECT_EQ(calls->DBGrid2->model()->rowCount(), 0);
    EXPECT_EQ(calls->DBGrid3->model()->rowCount(), 2); // the history is not touched

    // Calls registered afterwards show whatever their day.
    db.exec("INSERT INTO arayanlar (tarih, telno) VALUES ('2016-01-01', '1')");
    clickAndRun(calls->DBNavigator3->button(DBNavigator::Button::Refresh));
    EXPECT_EQ(ZQuery3.recordCount(), 1);
    EXPECT_EQ(db.scalar("SELECT Id FROM arayanlar"), "1"); // numbering starts again
}

TEST_F(CallListTest, TheTabHasItsControlsAndTheListItsLargerFont) {
    for (const char *name : {"DateTimePicker2", "DBGrid2", "BitBtn4", "DBNavigator3", "BitBtn8",
                             "LabeledEdit17", "BitBtn5", "DBGrid3"})
        EXPECT_NE(calls->findChild<QWidget *>(QLatin1String(name)), nullptr) << name;
    EXPECT_EQ(calls->DBGrid2->font().pixelSize(), 16);
    EXPECT_FALSE(calls->DBGrid2->editable());
    EXPECT_FALSE(calls->DBGrid3->editable());
    EXPECT_EQ(calls->DBNavigator3->findChildren<QToolButton *>().size(), 7);
    EXPECT_FALSE(calls->DateTimePicker2->accessibleName().isEmpty());
    EXPECT_EQ(calls->BitBtn8->accessibleName(), u"Çağrı Listesini Temizle"_s);
    // Every column of the call log, titled with its name.
    EXPECT_EQ(calls->DBGrid2->model()->headerData(3, Qt::Horizontal).toString(), u"telno"_s);
}
