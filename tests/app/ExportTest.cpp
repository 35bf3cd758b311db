#include "MainWindowFixture.h"

#include "controls/DBGrid.h"
#include "controls/LabeledEdit.h"
#include "directory/DirectorySearch.h"
#include "offers/DesktopOpener.h"
#include "offers/TForm4.h"
#include "support/Click.h"
#include "support/FakeXdgOpen.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

using namespace Qt::StringLiterals;

// "XLS Export" on the search tab exports the whole directory and opens the workbook; the
// search grid then lists the whole directory, newest first, and a return from the main
// window exports again.
TEST_F(MainWindowTest, XlsExportListsTheWholeDirectoryNewestFirst) {
    FakeXdgOpen xdgOpen;
    db.exec("INSERT INTO rehber (tarih, adsoyad) VALUES ('2023-05-01', 'Ali'), "
            "('2024-05-01', '" +
            win("Ayşe") + "'), (NULL, 'Veli'), ('2022-05-01', 'Alper')");
    writeSettings();
    TForm1 &w = start();
    TForm4 exportWindow(w.ZQuery2);
    w.setExportWindow(&exportWindow);
    QSignalSpy opened(&exportWindow.opener(), &DesktopOpener::opened);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.PageControl1->setCurrentIndex(1);
    DirectorySearch &search = *w.TabSheet2;
    search.LabeledEdit14->setText(u"Al"_s); // a search in force: two records
    ASSERT_EQ(search.DBGrid1->model()->rowCount(), 2);

    clickAndRun(search.BitBtn7);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&exportWindow));
    ASSERT_TRUE(opened.wait());
    EXPECT_EQ(xdgOpen.openedFiles().size(), 1);
    EXPECT_TRUE(xdgOpen.openedFiles().front().startsWith(home() + u"/exports/rehber-"_s));
    EXPECT_TRUE(QFile::exists(home() + u"/zefiranrehber.xml"_s));

    const QAbstractItemModel &grid = *search.DBGrid1->model();
    ASSERT_EQ(grid.rowCount(), 4);
    int name = 0;
    while (search.DBGrid1->fieldName(name) != "adsoyad")
        ++name;
    QStringList names;
    for (int row = 0; row < grid.rowCount(); ++row)
        names << grid.data(grid.index(row, name)).toString();
    EXPECT_EQ(names, (QStringList{u"Ayşe"_s, u"Ali"_s, u"Alper"_s, u"Veli"_s}));
    EXPECT_EQ(w.ZQuery2.SQL(), "Select * from rehber order by tarih desc");
    EXPECT_TRUE(w.ZQuery2.eof());
    EXPECT_EQ(w.ZQuery2.currentRow(), 3);
    EXPECT_EQ(search.DBGrid1->currentIndex().row(), 3);
    EXPECT_TRUE(boxTextsAfterStart().empty());

    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    clickAndRun(search.BitBtn7);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&exportWindow));
    ASSERT_TRUE(opened.wait());
    EXPECT_EQ(xdgOpen.openedFiles().size(), 2);
    EXPECT_EQ(QDir(home() + u"/exports"_s).entryList(QDir::Files).size(), 2);
}
