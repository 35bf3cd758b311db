#include "DirectoryTabsFixture.h"

#include "controls/DBNavigator.h"
#include "controls/LabeledEdit.h"
#include "platform/Cp1254.h"
#include "support/Click.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// A text value as a quoted literal in Windows-1254; a null QString is NULL.
QByteArray lit(const QString &text) {
    return text.isNull() ? QByteArray("NULL") : '\'' + cp1254::fromUnicode(text) + '\'';
}

struct Customer {
    QString adsoyad, gsmtel1, gsmtel2, firmatel, firmaad, eposta, adres, grup, referans;
};

class SearchTest : public DirectoryTabsTest {
protected:
    SearchTest() {
        const QString null;
        const Customer customers[] = {
            // Id 1..7
            {u"Ahmet Yılmaz"_s, u"05321234567"_s, u""_s, u"02161111111"_s, u"Yılmaz Lokanta"_s,
             u"ahmet@ornek.com"_s, u"Kadıköy İstanbul"_s, u"A"_s, u"web"_s},
            {u"Mehmet Kaya"_s, u""_s, u"05447654321"_s, u"02122222222"_s, u"Kaya Cafe"_s,
             u"mehmet@kaya.com"_s, u"Beşiktaş"_s, u"AB"_s, u"fuar"_s},
            {u"Ayşe Demir"_s, null, null, u"03123333333"_s, u"Demir Pastane"_s, u"ayse@demir.com"_s,
             u"Çankaya Ankara"_s, u""_s, u""_s},
            {u"Zeynep Ak"_s, u"05059998877"_s, null, null, null, null, null, null, u"web"_s},
            {u"Numarasız"_s, null, u""_s, null, null, null, null, null, u"bayi"_s},
            {u"İkinci Ahmet"_s, u"05321234567"_s, null, null, null, null, null, null, null},
            {u"Sadece Cep2"_s, u""_s, u"05051112233"_s, u""_s, null, null, null, null, null},
        };
        for (const Customer &c : customers)
            db.exec("INSERT INTO rehber (adsoyad, gsmtel1, gsmtel2, firmatel, firmaad, eposta, "
                    "adres, grup, referans, tarih) VALUES (" +
                    lit(c.adsoyad) + ',' + lit(c.gsmtel1) + ',' + lit(c.gsmtel2) + ',' +
                    lit(c.firmatel) + ',' + lit(c.firmaad) + ',' + lit(c.eposta) + ',' +
                    lit(c.adres) + ',' + lit(c.grup) + ',' + lit(c.referans) + ",'2015-01-10')");
        db.exec("INSERT INTO arayanlar (tarih, telno) VALUES ('2015-03-05', '05321234567'),"
                "('2015-03-06', '05321234567'), ('2015-03-05', '05447654321'),"
                "('2015-03-05', '03123333333'), ('2015-03-05', '02161111111')");
        openDatasets();
    }

    std::vector<QString> listedNames() {
        std::vector<QString> names;
        for (const QByteArray &name : column(ZQuery2, "adsoyad"))
            names.push_back(cp1254::toUnicode(name));
        return names;
    }
    QString count() const { return search->Label4->text(); }
    // Puts ZQuery2 on the record with that name, as a click on its row does.
    void selectRecord(const QString &name) {
        ASSERT_TRUE(ZQuery2.locate("adsoyad", cp1254::fromUnicode(name))) << name.toStdString();
    }
};

} // namespace

TEST_F(SearchTest, ThePhoneSearchFallsThroughItsStagesRunningEachInFull) {
    struct Case {
        const char *typed;
        std::vector<QString> listed;
        int stages;
    };
    const Case cases[] = {
        {"0532", {u"Ahmet Yılmaz"_s, u"İkinci Ahmet"_s}, 1},
        {"0505", {u"Zeynep Ak"_s}, 1}, // 05051112233 as gsmtel2 is not reached
        {"0544", {u"Mehmet Kaya"_s}, 2},
        {"0312", {u"Ayşe Demir"_s}, 3},
        {"0999", {}, 3},
    };
    const char *columns[] = {"gsmtel1", "gsmtel2", "firmatel"};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        markLog();
        search->LabeledEdit12->setText(QLatin1String(c.typed));
        EXPECT_EQ(listedNames(), c.listed);
        EXPECT_EQ(count(), QString::number(c.listed.size()));
        std::vector<QByteArray> expected;
        for (int stage = 0; stage < c.stages; ++stage) {
            const QByteArray statement = QByteArray("Select * from rehber where ") +
                                         columns[stage] + " Like'" + c.typed + "%'";
            expected.insert(expected.end(), {statement, statement}); // open, then refresh
        }
        EXPECT_EQ(statementsSinceMark(), expected);
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(SearchTest, TheTextSearchesMatchAnywhereAndTheCompanySearchFallsThroughToEmail) {
    EXPECT_EQ(count(), u"KS"_s);

    markLog();
    search->LabeledEdit14->setText(u"aya"_s);
    EXPECT_EQ(listedNames(), std::vector<QString>{u"Mehmet Kaya"_s});
    EXPECT_EQ(statementsSinceMark(),
              (std::vector<QByteArray>{"Select * from rehber where adsoyad Like'%aya%'",
                                       "Select * from rehber where adsoyad Like'%aya%'"}));
    EXPECT_EQ(count(), u"1"_s);

    search->LabeledEdit14->setText(u"ILMAZ"_s); // the table's collation ignores case
    EXPECT_EQ(listedNames(), std::vector<QString>{u"Ahmet Yılmaz"_s});

    search->LabeledEdit15->setText(u"Lokanta"_s);
    EXPECT_EQ(listedNames(), std::vector<QString>{u"Ahmet Yılmaz"_s});
    markLog();
    search->LabeledEdit15->setText(u"kaya.com"_s);
    EXPECT_EQ(listedNames(), std::vector<QString>{u"Mehmet Kaya"_s});
    EXPECT_EQ(statementsSinceMark().size(), 4u); // firmaad twice, then eposta twice

    search->LabeledEdit16->setText(u"Kadıköy"_s);
    EXPECT_EQ(listedNames(), std::vector<QString>{u"Ahmet Yılmaz"_s});

    // An emptied box lists every record whose column is not null.
    search->LabeledEdit16->setText(QString());
    EXPECT_EQ(count(), u"3"_s);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(SearchTest, EachKeyPressSearchesAtOnce) {
    QLineEdit *box = search->LabeledEdit14->edit();
    markLog();
    QTest::keyClicks(box, u"ay"_s);
    EXPECT_EQ(statementsSinceMark(),
              (std::vector<QByteArray>{"Select * from rehber where adsoyad Like'%a%'",
                                       "Select * from rehber where adsoyad Like'%a%'",
                                       "Select * from rehber where adsoyad Like'%ay%'",
                                       "Select * from rehber where adsoyad Like'%ay%'"}));
    EXPECT_EQ(listedNames(), (std::vector<QString>{u"Mehmet Kaya"_s, u"Ayşe Demir"_s}));
    EXPECT_EQ(search->DBGrid1->model()->rowCount(), 2);
}

TEST_F(SearchTest, GroupAndReferralValuesMatchWholeAndTheirEmptyValuesDiffer) {
    search->ComboBox2->setEditText(u"A"_s);
    EXPECT_EQ(listedNames(), std::vector<QString>{u"Ahmet Yılmaz"_s}); // not group AB

    // The emptied group box lists the records of the empty group, not those without one.
    markLog();
    search->ComboBox2->setEditText(QString());
    EXPECT_EQ(listedNames(), std::vector<QString>{u"Ayşe Demir"_s});
    EXPECT_EQ(statementsSinceMark(),
              (std::vector<QByteArray>{"Select * from rehber where grup=''",
                                       "Select * from rehber where grup=''"}));

    search->ComboBox4->setEditText(u"web"_s);
    EXPECT_EQ(listedNames(), (std::vector<QString>{u"Ahmet Yılmaz"_s, u"Zeynep Ak"_s}));
    markLog();
    search->ComboBox4->setEditText(QString());
    EXPECT_EQ(count(), u"7"_s); // every record
    EXPECT_EQ(statementsSinceMark(),
              (std::vector<QByteArray>{"Select * from rehber", "Select * from rehber"}));
}

TEST_F(SearchTest, HepsiListsAllRecordsAndKeepsTheCount) {
    search->LabeledEdit12->setText(u"0544"_s);
    ASSERT_EQ(count(), u"1"_s);
    markLog();
    clickAndRun(search->Button1);
    EXPECT_EQ(statementsSinceMark(), std::vector<QByteArray>{"Select * from rehber"});
    EXPECT_EQ(ZQuery2.recordCount(), 7);
    EXPECT_EQ(search->DBGrid1->model()->rowCount(), 7);
    EXPECT_EQ(count(), u"1"_s);

    // The navigator's refresh counts again.
    clickAndRun(search->DBNavigator2->button(DBNavigator::Button::Refresh));
    EXPECT_EQ(count(), u"7"_s);
}

TEST_F(SearchTest, ATitleClickSortsTheListAndTheSortStaysForLaterSearches) {
    EXPECT_EQ(search->DBGrid1->fieldName(2), "adsoyad");
    search->DBGrid1TitleClick(2);
    const std::vector<QString> byName{u"Ahmet Yılmaz"_s, u"Ayşe Demir"_s, u"İkinci Ahmet"_s,
                                      u"Mehmet Kaya"_s,  u"Numarasız"_s,  u"Sadece Cep2"_s,
                                      u"Zeynep Ak"_s};
    EXPECT_EQ(listedNames(), byName);

    search->ComboBox4->setEditText(u"web"_s);
    search->ComboBox4->setEditText(QString());
    EXPECT_EQ(listedNames(), byName);
    search->Button1Click();
    EXPECT_EQ(listedNames(), byName);

    // Another title sorts by its column; the grid shows the dataset's order.
    const int phone = 4;
    ASSERT_EQ(search->DBGrid1->fieldName(phone), "gsmtel1");
    search->DBGrid1TitleClick(phone);
    EXPECT_EQ(column(ZQuery2, "gsmtel1"), (std::vector<QByteArray>{"", "", "", "", "05059998877",
                                                                   "05321234567", "05321234567"}));
    EXPECT_EQ(search->DBGrid1->model()->data(search->DBGrid1->model()->index(6, phone)),
              u"05321234567"_s);
}

TEST_F(SearchTest, ACellClickShowsTheCallsOfTheRecordsFirstNumberThatIsNotEmpty) {
    const auto historyNumbers = [&] {
        return column(ZQuery4, "telno");
    };

    selectRecord(u"Ahmet Yılmaz"_s); // gsmtel1
    search->DBGrid1CellClick();
    EXPECT_EQ(historyNumbers(), (std::vector<QByteArray>{"05321234567", "05321234567"}));

    selectRecord(u"Mehmet Kaya"_s); // empty gsmtel1, then gsmtel2
    search->DBGrid1CellClick();
    EXPECT_EQ(historyNumbers(), std::vector<QByteArray>{"05447654321"});

    selectRecord(u"Ayşe Demir"_s); // null gsmtel1 and gsmtel2, then firmatel
    search->DBGrid1CellClick();
    EXPECT_EQ(historyNumbers(), std::vector<QByteArray>{"03123333333"});

    // A record without any number has no calls; the calls shown before do not stay.
    markLog();
    selectRecord(u"Numarasız"_s);
    search->DBGrid1CellClick();
    EXPECT_TRUE(ZQuery4.active());
    EXPECT_EQ(ZQuery4.recordCount(), 0);
    EXPECT_EQ(statementsSinceMark(),
              std::vector<QByteArray>{"select * from arayanlar where telno=NULL"});

    // The history grids of both tabs show the same rows.
    selectRecord(u"Ahmet Yılmaz"_s);
    search->DBGrid1CellClick();
    EXPECT_EQ(search->DBGrid4->model()->rowCount(), 2);
    EXPECT_EQ(calls->DBGrid3->model()->rowCount(), 2);
}

TEST_F(SearchTest, AMouseClickOnARecordShowsItsCallsAKeyboardMoveDoesNot) {
    showTab(search);
    DBGrid *grid = search->DBGrid1;
    const QModelIndex mehmet = grid->model()->index(1, 2);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(mehmet).center());
    EXPECT_EQ(column(ZQuery4, "telno"), std::vector<QByteArray>{"05447654321"});

    QTest::keyClick(grid, Qt::Key_Up);
    EXPECT_EQ(ZQuery2.fieldByName("adsoyad").asString(), "Ahmet Y\xFDlmaz");
    EXPECT_EQ(column(ZQuery4, "telno"), std::vector<QByteArray>{"05447654321"});
}

TEST_F(SearchTest, ADoubleClickOpensTheCardByTheFirstMobileThenTheCompanyNumber) {
    PageControl1.setCurrentIndex(CustomerCard::SearchPage);
    const auto opened = [&] {
        return card->LabeledEdit1->text();
    };

    // By gsmtel1: the first record in the card's dataset with that number, not the
    // double-clicked one by its Id.
    selectRecord(u"İkinci Ahmet"_s);
    search->DBGrid1DblClick();
    EXPECT_EQ(opened(), u"Ahmet Yılmaz"_s);
    EXPECT_EQ(PageControl1.currentIndex(), CustomerCard::CardPage);

    // By firmatel when gsmtel1 is empty.
    PageControl1.setCurrentIndex(CustomerCard::SearchPage);
    selectRecord(u"Ayşe Demir"_s);
    search->DBGrid1DblClick();
    EXPECT_EQ(opened(), u"Ayşe Demir"_s);
    EXPECT_EQ(PageControl1.currentIndex(), CustomerCard::CardPage);

    // gsmtel2 is not tried: nothing happens, without a message.
    card->temizle();
    PageControl1.setCurrentIndex(CustomerCard::SearchPage);
    selectRecord(u"Sadece Cep2"_s);
    search->DBGrid1DblClick();
    EXPECT_EQ(opened(), QString());
    EXPECT_EQ(PageControl1.currentIndex(), CustomerCard::SearchPage);

    // The card's dataset is refreshed first: a record added since it was opened is found.
    db.exec("INSERT INTO rehber (adsoyad, gsmtel1) VALUES ('Yeni Musteri', '05550000000')");
    search->LabeledEdit12->setText(u"0555"_s);
    search->DBGrid1DblClick();
    EXPECT_EQ(opened(), u"Yeni Musteri"_s);
    EXPECT_EQ(PageControl1.currentIndex(), CustomerCard::CardPage);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(SearchTest, TheNavigatorDeletesTheRecordOnlyAfterOk) {
    selectRecord(u"Zeynep Ak"_s);
    QToolButton *remove = search->DBNavigator2->button(DBNavigator::Button::Delete);
    ASSERT_NE(remove, nullptr);
    EXPECT_EQ(search->DBNavigator2->button(DBNavigator::Button::Cancel), nullptr);

    boxes.answer = QMessageBox::Cancel;
    clickAndRun(remove);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM rehber"), "7");

    boxes.answer = QMessageBox::Ok;
    markLog();
    clickAndRun(remove);
    EXPECT_EQ(boxes.texts(), (std::vector<QString>{u"Delete record?"_s, u"Delete record?"_s}));
    EXPECT_EQ(statementsSinceMark(),
              std::vector<QByteArray>{"DELETE FROM " + dbName() + ".rehber WHERE Id=4"});
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM rehber WHERE Id=4"), "0");
    EXPECT_EQ(ZQuery2.recordCount(), 6);
}

TEST_F(SearchTest, TheHistoryGridEditsCallsInPlaceTheRecordGridDoesNot) {
    EXPECT_TRUE(search->DBGrid4->editable());
    EXPECT_FALSE(search->DBGrid1->editable());
    selectRecord(u"Ahmet Yılmaz"_s);
    search->DBGrid1CellClick();
    DataSetModel *history = search->DBGrid4->dataModel();
    ASSERT_TRUE(history->setData(history->index(0, ZQuery4.fieldIndex("notu")), u"geri ara"_s));
    ZQuery4.moveTo(1); // the cursor leaves the row: it is posted
    EXPECT_EQ(db.scalar("SELECT notu FROM arayanlar WHERE Id=1"), "geri ara");
}

TEST_F(SearchTest, ErrorsShowInTheErrorBoxAndTheTabGoesOn) {
    int exports = 0;
    search->showExportWindow = [&] {
        ++exports;
    };
    clickAndRun(search->BitBtn7);
    EXPECT_EQ(exports, 1);

    db.exec("DROP TABLE rehber");
    search->LabeledEdit14->setText(u"a"_s);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].kind, dialogs::Kind::Error);
    EXPECT_TRUE(boxes.boxes[0].text.startsWith(u"SQL Error: "_s));
    EXPECT_EQ(search->DBGrid1->model()->rowCount(), 0);
}

TEST_F(SearchTest, EveryControlHasItsNameAndAnAccessibleName) {
    for (const char *name :
         {"LabeledEdit12", "LabeledEdit14", "LabeledEdit15", "LabeledEdit16", "ComboBox2",
          "ComboBox4", "Button1", "Label4", "DBGrid1", "DBNavigator2", "BitBtn7", "DBGrid4"})
        EXPECT_NE(search->findChild<QWidget *>(QLatin1String(name)), nullptr) << name;
    EXPECT_EQ(search->LabeledEdit12->label()->text(), u"Telefon Ara :"_s);
    EXPECT_EQ(search->LabeledEdit12->edit()->accessibleName(), u"Telefon Ara"_s);
    EXPECT_EQ(search->ComboBox2->accessibleName(), u"Grup"_s);
    EXPECT_EQ(search->ComboBox4->accessibleName(), u"Referans"_s);
    EXPECT_EQ(search->BitBtn7->accessibleName(), u"XLS Export"_s);

    const QStringList titles{u"Id"_s,          u"Tarih"_s,     u"Adı ve Soyadı"_s, u"Firma Adı"_s,
                             u"Cep Tel-1"_s,   u"Cep Tel-2"_s, u"firmatel"_s,      u"E-Posta"_s,
                             u"Firma Ünvan"_s, u"ili"_s,       u"ilcesi"_s};
    QAbstractItemModel *model = search->DBGrid1->model();
    ASSERT_EQ(model->columnCount(), titles.size());
    for (int c = 0; c < titles.size(); ++c)
        EXPECT_EQ(model->headerData(c, Qt::Horizontal).toString(), titles[c]);
    EXPECT_EQ(search->DBGrid1->columnWidth(0), 56);
    EXPECT_EQ(search->DBGrid1->columnWidth(3), 182);
}
