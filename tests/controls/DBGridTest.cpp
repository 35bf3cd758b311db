#include "DatabaseFixture.h"

#include "controls/DBGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class GridTest : public DatabaseTest {
protected:
    GridTest() {
        db.exec("INSERT INTO rehber (adsoyad, gsmtel1, firmatel) VALUES "
                "('Ali', '05321111111', ''), ('Veli', '05322222222', ''),"
                "('Can', '05323333333', '02120000000')");
        q.setSQL("select * from rehber");
        q.open();
        grid.resize(700, 300);
    }

    QModelIndex cell(int row, const char *field) const {
        return grid.model()->index(row, q.fieldIndex(field));
    }
    void show() {
        grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    }

    TZQuery q{connection, u"ZQuery2"_s};
    DBGrid grid{q};
};

} // namespace

TEST_F(GridTest, TheGridsRowAndTheDatasetsRowFollowEachOther) {
    EXPECT_EQ(grid.currentIndex().row(), 0);
    EXPECT_TRUE(grid.selectionModel()->isRowSelected(0, {}));

    ASSERT_TRUE(q.locate("adsoyad", "Can"));
    EXPECT_EQ(grid.currentIndex().row(), 2);
    EXPECT_TRUE(grid.selectionModel()->isRowSelected(2, {}));
    EXPECT_FALSE(grid.selectionModel()->isRowSelected(0, {}));

    grid.setCurrentIndex(cell(1, "gsmtel1"));
    EXPECT_EQ(q.currentRow(), 1);
    EXPECT_EQ(q.fieldByName("adsoyad").asString(), "Veli");

    // A new statement starts on the first row, in the grid too.
    q.refresh();
    EXPECT_EQ(grid.currentIndex().row(), 1); // refresh returns to the same record
    q.setSQL("select * from rehber where adsoyad='Can'");
    q.open();
    EXPECT_EQ(grid.model()->rowCount(), 1);
    EXPECT_EQ(grid.currentIndex().row(), 0);
}

TEST_F(GridTest, MouseClicksOnCellsAndTitlesAreReportedKeyboardMovesAreNot) {
    show();
    QSignalSpy cellClicks(&grid, &DBGrid::cellClick);
    QSignalSpy titleClicks(&grid, &DBGrid::titleClick);
    QSignalSpy doubleClicks(&grid, &DBGrid::dblClick);

    const QModelIndex target = cell(2, "adsoyad");
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(target).center());
    ASSERT_EQ(cellClicks.size(), 1);
    EXPECT_EQ(cellClicks[0][0].toInt(), target.column());
    EXPECT_EQ(q.currentRow(), 2);

    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_Up);
    EXPECT_EQ(q.currentRow(), 1);
    EXPECT_EQ(cellClicks.size(), 1);

    // A double click: press, release, then the second press comes as a double click.
    const QPoint first = grid.visualRect(cell(0, "Id")).center();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, first);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, first);
    EXPECT_EQ(cellClicks.size(), 2);
    EXPECT_EQ(doubleClicks.size(), 1);
    EXPECT_EQ(q.currentRow(), 0);

    QHeaderView *header = grid.horizontalHeader();
    const int column = q.fieldIndex("gsmtel1");
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    ASSERT_EQ(titleClicks.size(), 1);
    EXPECT_EQ(titleClicks[0][0].toInt(), column);
    EXPECT_EQ(grid.fieldName(column), "gsmtel1");
    EXPECT_EQ(q.currentRow(), 0); // a title click does not move
}

TEST_F(GridTest, AnEditedRowIsPostedWhenTheCursorLeavesIt) {
    grid.setEditable(true);
    show();
    const QModelIndex name = cell(0, "adsoyad");
    grid.setCurrentIndex(name);
    grid.edit(name);
    auto *editor = grid.viewport()->findChild<QLineEdit *>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->maxLength(), 30);
    editor->setText(u"Ayşe"_s);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the editor commits its text after the key
    EXPECT_EQ(q.state(), DataSetState::Edit);
    EXPECT_EQ(grid.model()->data(name).toString(), u"Ayşe"_s);
    EXPECT_EQ(db.scalar("SELECT adsoyad FROM rehber WHERE Id=1"), "Ali");

    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(q.currentRow(), 1);
    EXPECT_EQ(q.state(), DataSetState::Browse);
    EXPECT_EQ(db.scalar("SELECT adsoyad FROM rehber WHERE Id=1"), "Ay\xFE\x65");
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(GridTest, ARowThatCannotBePostedKeepsTheCursorAndEscapeDropsItsChanges) {
    grid.setEditable(true);
    show();
    ASSERT_TRUE(grid.model()->setData(cell(0, "Id"), QString())); // Id is required
    ASSERT_EQ(q.state(), DataSetState::Edit);

    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(boxes.texts(), std::vector<QString>{u"Field Id is required, but not supplied."_s});
    EXPECT_EQ(q.currentRow(), 0);
    EXPECT_EQ(grid.currentIndex().row(), 0);
    EXPECT_EQ(q.state(), DataSetState::Edit);

    QTest::keyClick(&grid, Qt::Key_Escape);
    EXPECT_EQ(q.state(), DataSetState::Browse);
    EXPECT_EQ(grid.model()->data(cell(0, "Id")).toString(), u"1"_s);
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(q.currentRow(), 1);
    EXPECT_EQ(boxes.boxes.size(), 1u);
}

TEST_F(GridTest, ColumnWidthsComeFromTheListOrTheRowsAndTheUsersWidthsStay) {
    // Every field: a column is as wide as its first rows' texts need.
    const int name = q.fieldIndex("adsoyad");
    const QFontMetrics metrics = grid.fontMetrics();
    EXPECT_GE(grid.columnWidth(name), metrics.horizontalAdvance(u"Veli"_s));
    EXPECT_LT(grid.columnWidth(name), metrics.horizontalAdvance(u"Veli"_s) * 4);

    grid.setColumns({{"Id", {}, Qt::AlignHCenter, Qt::AlignLeft, 56},
                     {"adsoyad", u"Adı ve Soyadı"_s, Qt::AlignLeft, Qt::AlignHCenter, 0}});
    EXPECT_EQ(grid.columnWidth(0), 56);
    EXPECT_GE(grid.columnWidth(1),
              grid.horizontalHeader()->fontMetrics().horizontalAdvance(u"Adı ve Soyadı"_s));

    grid.setColumnWidth(1, 300); // the user widens a column
    q.setSQL("select * from rehber where Id>1");
    q.open();
    EXPECT_EQ(grid.model()->rowCount(), 2);
    EXPECT_EQ(grid.columnWidth(0), 56);
    EXPECT_EQ(grid.columnWidth(1), 300);
    grid.setColumnWidth(0, 80);
    q.refresh();
    EXPECT_EQ(grid.columnWidth(0), 80);
}

// The call list opened on a morning without calls: the calls that come later, and the calls
// after the log was emptied, show their date, time and name in full.
TEST_F(GridTest, ColumnsFollowRowsThatArriveLaterAndTheUsersWidthsStay) {
    TZQuery calls{connection, u"ZQuery3"_s};
    calls.setSQL("select * from arayanlar where tarih=:par1");
    calls.ParamByName("par1").setAsDate(QDate(2026, 12, 10));
    calls.open();
    DBGrid list{calls};
    QFont listFont = list.font();
    listFont.setPixelSize(16);
    list.setFont(listFont);
    const int date = calls.fieldIndex("tarih"), time = calls.fieldIndex("saat"),
              number = calls.fieldIndex("telno"), caller = calls.fieldIndex("arayan"),
              company = calls.fieldIndex("firma");
    list.setColumnWidth(number, 40); // the user narrows a column
    const QFontMetrics metrics = list.fontMetrics();
    const auto fits = [&](int column) {
        const QString text = list.model()->data(list.model()->index(0, column)).toString();
        return list.columnWidth(column) >= metrics.horizontalAdvance(text) + 6;
    };
    const auto arrives = [&](const QByteArray &name, const QByteArray &firm = {}) {
        calls.append();
        calls.fieldByName("tarih").setAsDate(QDate(2026, 12, 10));
        calls.fieldByName("saat").setAsString("06:12:45");
        calls.fieldByName("telno").setAsString("05341455534");
        calls.fieldByName("arayan").setAsString(name);
        calls.fieldByName("firma").setAsString(firm);
        calls.post();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall); // back in the event loop
    };

    arrives("G\xF6khan Karadenizo\xF0lu");
    ASSERT_EQ(list.model()->rowCount(), 1);
    EXPECT_TRUE(fits(date));
    EXPECT_TRUE(fits(time));
    EXPECT_TRUE(fits(caller));
    EXPECT_EQ(list.columnWidth(number), 40);

    // A shorter name narrows nothing; a text wider than the limit stops there.
    const int callerWidth = list.columnWidth(caller);
    arrives("Al");
    EXPECT_EQ(list.columnWidth(caller), callerWidth);
    arrives("Ali", QByteArray(30, 'W'));
    EXPECT_LE(list.columnWidth(company), 32 * metrics.averageCharWidth() + 12);
    EXPECT_GT(list.columnWidth(company), 20 * metrics.averageCharWidth());

    // A changed row widens too.
    ASSERT_TRUE(calls.locate("arayan", "Al"));
    calls.edit();
    calls.fieldByName("arayan").setAsString("Mehmet Ali Karadenizo\xF0ullar\xFD");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    EXPECT_GT(list.columnWidth(caller), callerWidth);
    calls.cancel();

    // The log emptied, the list opened again without rows: the next call shows in full.
    db.exec("TRUNCATE TABLE arayanlar");
    calls.setSQL("select * from arayanlar");
    calls.open();
    arrives("G\xF6khan Karadenizo\xF0lu");
    EXPECT_TRUE(fits(date));
    EXPECT_TRUE(fits(time));
    EXPECT_TRUE(fits(caller));
    EXPECT_EQ(list.columnWidth(number), 40);
}
