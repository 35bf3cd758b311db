#include "ExportFixture.h"

#include "offers/DesktopOpener.h"
#include "offers/TForm4.h"

#include <QApplication>
#include <QDialog>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class TForm4Test : public ExportTest {
protected:
    TForm4Test() {
        db.exec("INSERT INTO rehber (tarih, adsoyad, gsmtel1) VALUES ('2024-01-01', '" +
                win("Şule") + "', '05321112233')");
        ZQuery2.setSQL("select * from rehber");
        ZQuery2.open();
        mainWindow.setWindowTitle(u"ana pencere"_s);
        mainWindow.show();
        mainWindow.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&mainWindow));
    }

    // The export window comes up from the main window, as "XLS Export" brings it.
    void activateFromMainWindow() {
        mainWindow.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&mainWindow));
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    QWidget mainWindow;
    TForm4 form{ZQuery2};
};

} // namespace

TEST_F(TForm4Test, EachActivationFromAnotherWindowExportsAndOpensTheWorkbook) {
    QSignalSpy opened(&form.opener(), &DesktopOpener::opened);
    std::vector<Qt::CursorShape> cursorWhileOpening;
    QObject::connect(&ZQuery2, &TZQuery::rowsReset, [&] {
        cursorWhileOpening.push_back(QApplication::overrideCursor()
                                         ? QApplication::overrideCursor()->shape()
                                         : Qt::ArrowCursor);
    });

    activateFromMainWindow();
    ASSERT_TRUE(opened.wait());
    ASSERT_EQ(exportFiles().size(), 1u);
    const QString first = exportsFolder() + u"/"_s + exportFiles().front();
    EXPECT_EQ(xdgOpen.openedFiles(), QStringList{first});
    EXPECT_EQ(workbook::firstSheet(first).rows.size(), 2u);
    EXPECT_EQ(customersInXml().size(), 1u);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    ASSERT_FALSE(cursorWhileOpening.empty());
    EXPECT_EQ(cursorWhileOpening.back(), Qt::WaitCursor);
    EXPECT_TRUE(boxes.boxes.empty());

    // Coming back from a dialog of the program (as from an error box) is no activation.
    QDialog dialog;
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    dialog.close();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_EQ(exportFiles().size(), 1u);

    // Coming back from the main window is: a second, complete export.
    activateFromMainWindow();
    ASSERT_TRUE(opened.wait());
    EXPECT_EQ(exportFiles().size(), 2u);
    EXPECT_EQ(xdgOpen.openedFiles().size(), 2);
    EXPECT_NE(xdgOpen.openedFiles().at(1), first);
}

TEST_F(TForm4Test, AnXdgOpenThatFailsShowsTheFileInTheErrorBox) {
    xdgOpen.setExitStatus(3);
    QSignalSpy failed(&form.opener(), &DesktopOpener::failed);
    activateFromMainWindow();
    ASSERT_TRUE(failed.wait());
    ASSERT_EQ(boxes.boxes.size(), 1u);
    const QString workbook = exportsFolder() + u"/"_s + exportFiles().front();
    EXPECT_EQ(boxes.boxes.front().kind, dialogs::Kind::Error);
    EXPECT_EQ(boxes.boxes.front().text,
              u"Dosya açılamadı:\n"_s + workbook +
                  u"\n(bu dosyayı açacak bir program yok; xdg-open çıkış kodu 3)"_s);
    EXPECT_TRUE(QFile::exists(xmlPath())); // the export itself succeeded
}

TEST_F(TForm4Test, FailuresShowInTheErrorBoxAndRestoreTheCursor) {
    struct Case {
        const char *name;
        std::function<void()> arrange;
        QString textStart;
    };
    const Case cases[] = {
        {"no xdg-open", [this] { xdgOpen.makeMissing(); }, u"Dosya açılamadı:\n"_s},
        {"no directory", [this] { db.exec("DROP TABLE rehber"); }, u"SQL Error: "_s},
        {"no exports folder",
         [this] {
             QDir(exportsFolder()).removeRecursively();
             QFile blocker(exportsFolder()); // a file where the folder should be
             blocker.open(QIODevice::WriteOnly);
         },
         u"Error creating output xlsx file. Usually a permissions error."_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        c.arrange();
        boxes.boxes.clear();
        activateFromMainWindow();
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes.front().kind, dialogs::Kind::Error);
        EXPECT_TRUE(boxes.boxes.front().text.startsWith(c.textStart))
            << boxes.boxes.front().text.toStdString();
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_TRUE(xdgOpen.openedFiles().isEmpty());
    }
}
