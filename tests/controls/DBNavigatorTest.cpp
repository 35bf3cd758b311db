#include "DatabaseFixture.h"

#include "controls/DBNavigator.h"
#include "support/Accessible.h"
#include "support/Click.h"

#include <QToolButton>

using namespace Qt::StringLiterals;
using Button = DBNavigator::Button;

namespace {

class NavigatorTest : public DatabaseTest {
protected:
    NavigatorTest() {
        db.exec("INSERT INTO arayanlar (telno) VALUES ('1'), ('2'), ('3')");
        q.setSQL("select * from arayanlar");
        q.open();
    }
    bool enabled(Button b) const { return nav.button(b)->isEnabled(); }

    TZQuery q{connection, u"ZQuery3"_s};
    DBNavigator nav{q,
                    {Button::First, Button::Prior, Button::Next, Button::Last, Button::Delete,
                     Button::Cancel, Button::Refresh}};
};

} // namespace

TEST_F(NavigatorTest, ShowsOnlyTheListedButtons) {
    DBNavigator bar(q, {Button::First, Button::Last, Button::Delete, Button::Refresh});
    EXPECT_EQ(bar.findChildren<QToolButton *>().size(), 4);
    EXPECT_EQ(bar.button(Button::Prior), nullptr);
    EXPECT_EQ(bar.button(Button::Cancel), nullptr);
    EXPECT_EQ(bar.button(Button::Delete)->accessibleName(), u"Delete record"_s);
    EXPECT_EQ(bar.button(Button::Refresh)->toolTip(), u"Refresh data"_s);
}

TEST_F(NavigatorTest, MovesThroughTheRowsAndEnablesWhatCanAct) {
    EXPECT_FALSE(enabled(Button::First));
    EXPECT_FALSE(enabled(Button::Prior));
    EXPECT_TRUE(enabled(Button::Next));
    EXPECT_TRUE(enabled(Button::Delete));
    EXPECT_FALSE(enabled(Button::Cancel));

    clickAndRun(nav.button(Button::Next));
    EXPECT_EQ(q.fieldByName("telno").asString(), "2");
    EXPECT_TRUE(enabled(Button::Prior));
    clickAndRun(nav.button(Button::Last));
    EXPECT_EQ(q.fieldByName("telno").asString(), "3");
    EXPECT_FALSE(enabled(Button::Next));
    EXPECT_FALSE(enabled(Button::Last));
    clickAndRun(nav.button(Button::Prior));
    EXPECT_EQ(q.fieldByName("telno").asString(), "2");
    clickAndRun(nav.button(Button::First));
    EXPECT_EQ(q.fieldByName("telno").asString(), "1");

    // Cancel drops the changes of the row.
    q.edit();
    q.fieldByName("telno").setAsString("9");
    EXPECT_TRUE(enabled(Button::Cancel));
    clickAndRun(nav.button(Button::Cancel));
    EXPECT_EQ(q.state(), DataSetState::Browse);
    EXPECT_EQ(q.fieldByName("telno").asString(), "1");
    EXPECT_FALSE(enabled(Button::Cancel));

    q.close();
    for (Button b : {Button::First, Button::Next, Button::Delete, Button::Refresh})
        EXPECT_FALSE(enabled(b));
}

TEST_F(NavigatorTest, DeleteAsksAndDeletesOnlyAfterOk) {
    q.moveTo(1);
    boxes.answer = QMessageBox::Cancel;
    markLog();
    clickAndRun(nav.button(Button::Delete));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].kind, dialogs::Kind::OkCancel);
    EXPECT_EQ(boxes.boxes[0].text, u"Delete record?"_s);
    EXPECT_TRUE(statementsSinceMark().empty());
    EXPECT_EQ(q.recordCount(), 3);

    boxes.answer = QMessageBox::Ok;
    clickAndRun(nav.button(Button::Delete));
    EXPECT_EQ(statementsSinceMark(),
              std::vector<QByteArray>{"DELETE FROM " + dbName() + ".arayanlar WHERE Id=2"});
    EXPECT_EQ(q.recordCount(), 2);
    EXPECT_EQ(q.fieldByName("telno").asString(), "3");
    EXPECT_EQ(db.scalar("SELECT GROUP_CONCAT(telno ORDER BY Id) FROM arayanlar"), "1,3");
}

// A screen reader's press of a tool button clicks it at once; the box comes after the press
// has returned, so the tool is not held up while the box waits for an answer.
TEST_F(NavigatorTest, AnAssistiveToolsPressReturnsBeforeTheBoxOpens) {
    q.moveTo(1);
    boxes.answer = QMessageBox::Ok;
    pressAsAssistiveTool(nav.button(Button::Delete));
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(q.recordCount(), 3);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    EXPECT_EQ(boxes.texts(), std::vector<QString>{u"Delete record?"_s});
    EXPECT_EQ(q.recordCount(), 2);

    db.exec("DROP TABLE arayanlar");
    pressAsAssistiveTool(nav.button(Button::Refresh));
    EXPECT_EQ(boxes.boxes.size(), 1u);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].kind, dialogs::Kind::Error);
}

TEST_F(NavigatorTest, RefreshRunsTheStatementAgainAndErrorsShowInTheErrorBox) {
    int refreshed = 0;
    q.AfterRefresh = [&](TZQuery &) {
        ++refreshed;
    };
    db.exec("INSERT INTO arayanlar (telno) VALUES ('4')");
    clickAndRun(nav.button(Button::Refresh));
    EXPECT_EQ(refreshed, 1);
    EXPECT_EQ(q.recordCount(), 4);

    db.exec("DROP TABLE arayanlar");
    clickAndRun(nav.button(Button::Refresh));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].kind, dialogs::Kind::Error);
    EXPECT_TRUE(boxes.boxes[0].text.startsWith(u"SQL Error: "_s))
        << boxes.boxes[0].text.toStdString();
}
