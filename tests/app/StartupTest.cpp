#include "MainWindowFixture.h"

#include "controls/LabeledEdit.h"
#include "directory/CallList.h"
#include "directory/CustomerCard.h"
#include "directory/DirectorySearch.h"
#include "offers/DesktopOpener.h"
#include "offers/TForm4.h"
#include "support/Click.h"

#include "platform/Error.h"
#include "support/FakeXdgOpen.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
const QDate kCardPickerDefinitionDate(2014, 8, 27);
const QDate kCallListPickerDefinitionDate(2014, 9, 16);
} // namespace

TEST_F(MainWindowTest, StartConnectsAndOpensTheDatasets) {
    db.exec("INSERT INTO rehber (adsoyad, gsmtel1) VALUES ('Ali', '1'), ('Veli', '2')");
    db.exec("INSERT INTO arayanlar (tarih, telno) VALUES (CURDATE(), '1'), ('2014-09-16', '2')");
    writeSettings();
    TForm1 &w = start();

    // Without a device address the device cannot start; nothing else is reported.
    EXPECT_EQ(boxTexts(), std::vector<QString>{u"Caller-ID Sürücüsü Yüklenmemiş!"_s});
    EXPECT_EQ(boxes.front().kind, dialogs::Kind::Message);
    EXPECT_EQ(w.windowTitle(), u"ZEFİRAN DUDOVE PROGRAMI v2.0"_s);
    EXPECT_TRUE(w.ZConnection1.connected());
    EXPECT_TRUE(w.ZQuery1.active());
    EXPECT_TRUE(w.ZQuery2.active());
    EXPECT_EQ(w.ZQuery2.fieldCount(), 19);
    // The activation re-opened the call list for the card's date: today.
    EXPECT_EQ(w.ZQuery3.recordCount(), 1);
    EXPECT_EQ(w.TabSheet1->DateTimePicker1->date(), QDate::currentDate());
    EXPECT_EQ(w.TabSheet3->DateTimePicker2->date(), QDate::currentDate());
    EXPECT_EQ(w.TabSheet1->Label7->text(), u"2"_s);
    EXPECT_EQ(w.Timer1->interval(), 1000);
    EXPECT_EQ(w.PageControl1->currentIndex(), CustomerCard::CardPage);
    EXPECT_EQ(w.PageControl1->tabText(2), u"Çağrı Listesi"_s);
}

// The after-connect step runs before the pickers get today's date: it opens the call list
// for the window definition's date; the activation then re-opens it for the card's date.
TEST_F(MainWindowTest, AfterConnectOpensTheCallListWithTheDefinitionDate) {
    db.exec("INSERT INTO arayanlar (tarih, telno) VALUES ('2014-09-16', 'eski')");
    writeSettings();
    window = std::make_unique<TForm1>(); // created, not yet shown
    ASSERT_EQ(window->ZQuery3.recordCount(), 1);
    EXPECT_EQ(window->ZQuery3.fieldByName("telno").asString(), "eski");
    window->show();
    EXPECT_EQ(window->ZQuery3.recordCount(), 0);
}

TEST_F(MainWindowTest, FirstStartCreatesTheSettingsFileWithTheNineKeys) {
    ASSERT_FALSE(QDir(home()).exists()); // a fresh user has no data folder
    start();
    QFile file(settingsPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
              "[MySql]\r\nServerName=localhost\r\ndatabase=cid602\r\npass=583920\r\n"
              "port=3306\r\nprotokol=mysql-5\r\nUserName=root\r\n\r\n"
              "[MobilDevice]\r\nimeino=\r\n\r\n[Printing]\r\nPrintOK=\r\n\r\n"
              "[CIDevice]\r\nDeviceID=\r\n");
    // Nothing answers on the default port here: the connect's error shows, the program runs.
    const auto texts = boxTextsAfterStart();
    ASSERT_FALSE(texts.empty());
    EXPECT_TRUE(texts.front().startsWith(u"SQL Error: "_s)) << texts.front().toStdString();
    EXPECT_FALSE(window->ZQuery1.active());

    // Pointed at the test server, the next start connects.
    window.reset();
    boxes.clear();
    writeSettings();
    start();
    EXPECT_TRUE(window->ZQuery1.active());
    EXPECT_TRUE(boxTextsAfterStart().empty());
}

TEST_F(MainWindowTest, EmptyServerNameOpensNoConnectionAtStart) {
    QDir().mkpath(home());
    QFile file(settingsPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[MySql]\r\nServerName=\r\nport=3306\r\n");
    file.close();
    window = std::make_unique<TForm1>();
    EXPECT_FALSE(window->ZConnection1.connected());
    EXPECT_EQ(window->ZConnection1.Database, u"tarnivex_crm"_s); // the built-in values stay
    EXPECT_EQ(window->TabSheet1->DateTimePicker1->date(), QDate::currentDate());
    EXPECT_TRUE(boxTextsAfterStart().empty());

    // The activation's opening connects with the built-in values; that fails here.
    window->show();
    const auto texts = boxTextsAfterStart();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_TRUE(texts.front().startsWith(u"SQL Error: "_s)) << texts.front().toStdString();
    EXPECT_EQ(boxes.back().kind, dialogs::Kind::Error);
    EXPECT_FALSE(window->ZQuery3.active());
    EXPECT_EQ(window->TabSheet1->Label7->text(), QString());

    // With nothing open, the ticks count nothing and report nothing.
    for (int tick = 0; tick < 3; ++tick)
        window->Timer1Timer();
    EXPECT_EQ(boxTextsAfterStart().size(), 1u);
    EXPECT_EQ(window->TabSheet1->Label7->text(), QString());
}

TEST_F(MainWindowTest, APortThatIsNotANumberStopsTheConnection) {
    for (const QByteArray &port : {QByteArray("abc"), QByteArray("")}) {
        boxes.clear();
        writeSettingsWithPort(port);
        window = std::make_unique<TForm1>();
        EXPECT_EQ(boxTextsAfterStart(), std::vector<QString>{u"'"_s + QString::fromLatin1(port) +
                                                             u"' is not a valid integer value."_s});
        EXPECT_FALSE(window->ZConnection1.connected());
        EXPECT_EQ(window->TabSheet1->DateTimePicker1->date(), kCardPickerDefinitionDate);
        EXPECT_EQ(window->TabSheet3->DateTimePicker2->date(), kCallListPickerDefinitionDate);
    }
}

TEST_F(MainWindowTest, AnUnwritableDataFolderStopsTheStartUp) {
    // A file where the data folder's parent should be: no folder can be made, even by root.
    QFile blocker(home());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("ZEFIRAN_HOME", QFile::encodeName(home() + u"/zefiran"_s));
    window = std::make_unique<TForm1>();
    EXPECT_EQ(boxTextsAfterStart(),
              std::vector<QString>{u"Unable to write to "_s +
                                   QDir::toNativeSeparators(home() + u"/zefiran/cidsetup.ini"_s) +
                                   u"."_s});
    EXPECT_FALSE(window->ZConnection1.connected());
    EXPECT_EQ(window->TabSheet1->DateTimePicker1->date(), kCardPickerDefinitionDate);
}

TEST_F(MainWindowTest, AnErrorBoxEndsNothing) {
    EXPECT_EQ(dialogs::errorBoxText(u"Bitti."_s), u"Bitti."_s);
    EXPECT_EQ(dialogs::errorBoxText(u"Dikkat!"_s), u"Dikkat!"_s);
    EXPECT_EQ(dialogs::errorBoxText(u"(x)"_s), u"(x)"_s);
    EXPECT_EQ(dialogs::errorBoxText(u"'x'"_s), u"'x'"_s);
    EXPECT_EQ(dialogs::errorBoxText(u"Hata 7"_s), u"Hata 7."_s);
    EXPECT_EQ(dialogs::errorBoxText(u"Şİ"_s), u"Şİ."_s);
    bool after = false;
    dialogs::guarded([] { throw Error(u"SQL Error: gone"_s); });
    after = true;
    EXPECT_TRUE(after);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes.front().kind, dialogs::Kind::Error);
    EXPECT_EQ(boxes.front().text, u"SQL Error: gone."_s);
    // Titled with the program file's name.
    EXPECT_EQ(boxes.front().caption,
              QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
}

TEST_F(MainWindowTest, GroupAndReferralListsComeFromTheWorkingFolder) {
    QFile groups(u"gurup.txt"_s);
    ASSERT_TRUE(groups.open(QIODevice::WriteOnly));
    groups.write("Restoran\r\n" + win("Büfe") + "\r\n");
    groups.close();
    writeSettings();
    start();
    ASSERT_EQ(window->TabSheet1->ComboBox1->count(), 2);
    EXPECT_EQ(window->TabSheet1->ComboBox1->itemText(1), u"Büfe"_s);
    EXPECT_EQ(window->TabSheet1->ComboBox3->count(), 0); // no referans.txt
}

TEST_F(MainWindowTest, ClosingByTheWindowOrTheExitButtonRunsTheShutdown) {
    writeSettings();
    for (bool byButton : {false, true}) {
        start();
        TForm1 &w = *window;
        w.ZQuery4.setSQL("select * from arayanlar");
        w.ZQuery4.open();
        w.ZQuery1.append(); // a row being typed is dropped, not written
        w.ZQuery1.fieldByName("adsoyad").setAsString("yarım");
        if (byButton)
            clickAndRun(w.TabSheet1->BitBtn6);
        else
            w.close();
        EXPECT_FALSE(w.ZQuery1.active());
        EXPECT_FALSE(w.ZQuery2.active());
        EXPECT_FALSE(w.ZQuery3.active());
        EXPECT_FALSE(w.ZQuery4.active());
        EXPECT_FALSE(w.ZConnection1.connected());
        EXPECT_FALSE(w.Timer1->isActive());
        EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM rehber"), "0");
        window.reset();
    }
}

// Coming back from the export window re-opens the call list for the card's date.
TEST_F(MainWindowTest, ReturningFromTheExportWindowReopensTheCallList) {
    FakeXdgOpen xdgOpen; // the export window's activation exports and opens the workbook
    db.exec("INSERT INTO arayanlar (tarih, telno) VALUES ('2020-01-02', 'eski')");
    writeSettings();
    TForm1 &w = start();
    TForm4 exportWindow(w.ZQuery2);
    w.setExportWindow(&exportWindow);
    QSignalSpy opened(&exportWindow.opener(), &DesktopOpener::opened);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_EQ(w.ZQuery3.recordCount(), 0);

    w.TabSheet1->DateTimePicker1->setDate(QDate(2020, 1, 2)); // a card of another day
    w.TabSheet2->showExportWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&exportWindow));
    ASSERT_TRUE(opened.wait());
    EXPECT_EQ(w.ZQuery3.recordCount(), 0);
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    ASSERT_EQ(w.ZQuery3.recordCount(), 1);
    EXPECT_EQ(w.ZQuery3.fieldByName("telno").asString(), "eski");
}

// A real message box takes the focus and gives it back when it closes; that is no return
// from another window of the program, so the call list is not opened again.
TEST_F(MainWindowTest, ClosingARealMessageBoxDoesNotRunTheActivation) {
    db.exec("INSERT INTO arayanlar (tarih, telno) VALUES ('2020-01-02', 'eski')");
    writeSettings();
    TForm1 &w = start();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.TabSheet1->DateTimePicker1->setDate(QDate(2020, 1, 2)); // what an activation would show
    QSignalSpy reopened(&w.ZQuery3, &TZQuery::rowsReset);

    dialogs::setResponder({}); // this box is shown, and closed like a user would
    bool boxWasActive = false;
    bool focusCameBack = false;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        box->activateWindow(); // as the window manager does with a new box
        boxWasActive = QTest::qWaitForWindowActive(box);
        // The focus goes from the box straight back to the main window, as it does when the
        // box closes on a desktop.
        w.activateWindow();
        focusCameBack = QTest::qWaitForWindowActive(&w);
        box->button(QMessageBox::Ok)->click();
    });
    dialogs::showMessage(u"Kayıt Edildi"_s, &w);
    EXPECT_TRUE(boxWasActive);
    EXPECT_TRUE(focusCameBack);
    EXPECT_EQ(reopened.size(), 0);
    EXPECT_EQ(w.ZQuery3.recordCount(), 0);
}
