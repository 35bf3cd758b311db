#include "DatabaseFixture.h"
#include "ModelTesterWatch.h"

#include "controls/DataSetModel.h"
#include "platform/SystemLocale.h"

#include <QLocale>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace {

class ModelTest : public DatabaseTest {
protected:
    ModelTest() {
        // Id 1..3; "Çağrı" and "Şükrü" in Windows-1254.
        db.exec("INSERT INTO arayanlar (tarih, saat, telno, arayan, rehberid, notu) VALUES "
                "('2015-03-05', '14:05:09', '05321234567', x'C761F072FD', 12, NULL),"
                "('2015-03-06', '09:00:00', '02125550000', x'DEFC6B72FC', NULL, 'eski'),"
                "(NULL, NULL, '03', '', NULL, '')");
        q.setSQL("select * from arayanlar");
    }

    QString text(int row, int column) const {
        return model.data(model.index(row, column)).toString();
    }
    int columnOf(const char *field) const { return q.fieldIndex(field); }

    TZQuery q{connection, u"ZQuery3"_s};
    DataSetModel model{q};
    ModelTesterWatch watch{&model};
};

} // namespace

TEST_F(ModelTest, ShowsEveryFieldOfTheOpenDatasetAsItsText) {
    EXPECT_EQ(model.columnCount(), 0); // closed, no fixed fields
    q.open();

    ASSERT_EQ(model.rowCount(), 3);
    const QStringList titles{u"Id"_s,     u"tarih"_s, u"saat"_s,     u"telno"_s,
                             u"arayan"_s, u"firma"_s, u"rehberid"_s, u"notu"_s};
    ASSERT_EQ(model.columnCount(), titles.size());
    for (int c = 0; c < titles.size(); ++c)
        EXPECT_EQ(model.headerData(c, Qt::Horizontal).toString(), titles[c]);

    EXPECT_EQ(text(0, 0), u"1"_s);
    EXPECT_EQ(text(0, 1), systemLocale().toString(QDate(2015, 3, 5), QLocale::ShortFormat));
    EXPECT_EQ(text(0, 2), u"14:05:09"_s);
    EXPECT_EQ(text(0, columnOf("arayan")), u"Çağrı"_s);
    EXPECT_EQ(text(1, columnOf("arayan")), u"Şükrü"_s);
    EXPECT_EQ(text(0, columnOf("notu")), QString()); // null
    EXPECT_EQ(text(2, 1), QString());                // null date
    EXPECT_EQ(model.data(model.index(1, columnOf("notu")), Qt::EditRole).toString(), u"eski"_s);

    // Numbers stand at the right, texts and dates at the left; titles at the left.
    const auto alignment = [&](int column) {
        return model.data(model.index(0, column), Qt::TextAlignmentRole).value<Qt::Alignment>() &
               Qt::AlignHorizontal_Mask;
    };
    EXPECT_EQ(alignment(0), Qt::AlignRight);
    EXPECT_EQ(alignment(columnOf("rehberid")), Qt::AlignRight);
    EXPECT_EQ(alignment(columnOf("telno")), Qt::AlignLeft);
    EXPECT_EQ(alignment(1), Qt::AlignLeft);
    EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
    ModelTesterWatch::expectClean();
}

TEST_F(ModelTest, ListedColumnsHaveTheirTitlesAlignmentsAndAnEmptyCellForAMissingField) {
    model.setColumns({{"Id", {}, Qt::AlignHCenter, Qt::AlignLeft, 56},
                      {"arayan", u"Arayan"_s, Qt::AlignLeft, Qt::AlignHCenter, 0},
                      {"yok", u"Yok"_s, Qt::AlignLeft, Qt::AlignLeft, 0}});
    model.setEditable(true);
    q.open();

    ASSERT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), u"Id"_s);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), u"Arayan"_s);
    const auto titleAlignment = [&](int column) {
        return model.headerData(column, Qt::Horizontal, Qt::TextAlignmentRole)
                   .value<Qt::Alignment>() &
               Qt::AlignHorizontal_Mask;
    };
    EXPECT_EQ(titleAlignment(0), Qt::AlignLeft);
    EXPECT_EQ(titleAlignment(1), Qt::AlignHCenter);
    EXPECT_EQ(model.data(model.index(0, 0), Qt::TextAlignmentRole).value<Qt::Alignment>() &
                  Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
    EXPECT_EQ(text(1, 1), u"Şükrü"_s);
    EXPECT_EQ(model.fieldOf(2), -1);
    EXPECT_EQ(text(0, 2), QString());
    EXPECT_FALSE(model.flags(model.index(0, 2)) & Qt::ItemIsEditable);
    EXPECT_TRUE(model.flags(model.index(0, 1)) & Qt::ItemIsEditable);
    ModelTesterWatch::expectClean();
}

// The dataset's changes reach the views as insertions, removals and changes, not resets.
TEST_F(ModelTest, RowChangesOfTheDatasetAreInsertionsRemovalsAndChanges) {
    q.open();
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    q.append();
    ASSERT_EQ(inserted.size(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 3);
    EXPECT_EQ(model.rowCount(), 4);
    q.fieldByName("telno").setAsString("0555");
    EXPECT_EQ(changed.size(), 1);
    EXPECT_EQ(text(3, columnOf("telno")), u"0555"_s);
    q.post();
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(text(3, 0), u"4"_s); // the id the server gave

    q.append();
    q.cancel(); // the new row goes again
    ASSERT_EQ(removed.size(), 1);
    EXPECT_EQ(removed[0][1].toInt(), 4);

    q.first();
    q.deleteRecord();
    ASSERT_EQ(removed.size(), 2);
    EXPECT_EQ(removed[1][1].toInt(), 0);
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(text(0, columnOf("telno")), u"02125550000"_s);
    EXPECT_EQ(resets.size(), 0);

    q.refresh();
    EXPECT_EQ(resets.size(), 1);
    q.close();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), 0);
    ModelTesterWatch::expectClean();
}

TEST_F(ModelTest, AnEditIsWrittenIntoTheCurrentRowAndPostedWhenTheCursorLeavesIt) {
    model.setEditable(true);
    q.open();
    const int notu = columnOf("notu");

    // Writing a row that is not current moves the dataset there first.
    ASSERT_TRUE(model.setData(model.index(1, notu), u"yeni not"_s));
    EXPECT_EQ(q.currentRow(), 1);
    EXPECT_EQ(q.state(), DataSetState::Edit);
    EXPECT_EQ(text(1, notu), u"yeni not"_s);
    EXPECT_EQ(db.scalar("SELECT notu FROM arayanlar WHERE Id=2"), "eski"); // not posted yet

    markLog();
    q.moveTo(0);
    EXPECT_EQ(statementsSinceMark(),
              std::vector<QByteArray>{"UPDATE " + dbName() +
                                      ".arayanlar SET notu='yeni not' WHERE Id=2"});
    EXPECT_EQ(q.state(), DataSetState::Browse);

    // Text goes to the table as Windows-1254.
    ASSERT_TRUE(model.setData(model.index(2, notu), u"Şükrü aradı"_s));
    q.post();
    EXPECT_EQ(db.scalar("SELECT HEX(notu) FROM arayanlar WHERE Id=3"), "DEFC6B72FC2061726164FD");

    // An emptied number is no value; an emptied text is an empty text.
    ASSERT_TRUE(model.setData(model.index(0, columnOf("rehberid")), QString()));
    ASSERT_TRUE(model.setData(model.index(0, columnOf("arayan")), QString()));
    q.post();
    EXPECT_EQ(db.query("SELECT rehberid IS NULL, arayan FROM arayanlar WHERE Id=1"),
              (std::vector<TestDatabase::Row>{{"1", ""}}));
    EXPECT_TRUE(boxes.boxes.empty());
    ModelTesterWatch::expectClean();
}

TEST_F(ModelTest, ARefusedValueShowsTheErrorAndTheCellKeepsItsValue) {
    model.setEditable(true);
    q.open();
    const QModelIndex id = model.index(0, columnOf("rehberid"));
    EXPECT_FALSE(model.setData(id, u"on iki"_s));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].kind, dialogs::Kind::Error);
    EXPECT_EQ(boxes.boxes[0].text, u"'on iki' is not a valid integer value."_s);
    EXPECT_EQ(model.data(id).toString(), u"12"_s);
    EXPECT_EQ(q.state(), DataSetState::Browse); // the edit it started is dropped

    // A cell given the text it already shows starts no edit.
    EXPECT_TRUE(model.setData(model.index(1, columnOf("notu")), u"eski"_s));
    EXPECT_EQ(q.state(), DataSetState::Browse);
}
