#pragma once

#include "controls/DatabaseFixture.h"

#include "controls/DBGrid.h"
#include "controls/PageControl.h"
#include "directory/CallList.h"
#include "directory/CustomerCard.h"
#include "directory/DirectorySearch.h"

#include <QTabWidget>
#include <QTest>

#include <memory>

// The three tabs of the main window over their four datasets, as the main window builds
// them, on a database of the test's own.
class DirectoryTabsTest : public DatabaseTest {
protected:
    DirectoryTabsTest() {
        ZQuery2.setFixedFields(DirectorySearch::ZQuery2Fields());
        card = new CustomerCard(ZQuery1, ZQuery2, PageControl1, &PageControl1);
        search = new DirectorySearch(ZQuery1, ZQuery2, ZQuery4, *card, &PageControl1);
        calls = new CallList(ZQuery3, ZQuery4, *card, &PageControl1);
        PageControl1.addTab(card, QStringLiteral("Müşteri Kartı"));
        PageControl1.addTab(search, QStringLiteral("Kayıt Arama"));
        PageControl1.addTab(calls, QStringLiteral("Çağrı Listesi"));
        PageControl1.resize(761, 545);
    }

    // What the main window does once connected: every dataset open, the call list on a day.
    void openDatasets(const QDate &day = QDate(2015, 3, 5)) {
        ZQuery1.setSQL("select * from rehber");
        ZQuery1.open();
        ZQuery2.setSQL("select * from rehber");
        ZQuery2.open();
        ZQuery3.setSQL("select * from arayanlar where tarih=:par1");
        ZQuery3.ParamByName("par1").setAsDate(day);
        ZQuery3.open();
    }

    // Shows the window with that tab on top.
    void showTab(QWidget *tab) {
        PageControl1.setCurrentWidget(tab);
        PageControl1.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&PageControl1));
    }

    // A column of a dataset, row by row in the dataset's order.
    static std::vector<QByteArray> column(TZQuery &q, const char *field) {
        std::vector<QByteArray> values;
        const int f = q.fieldIndex(field);
        for (int row = 0; row < q.rowCount(); ++row)
            values.push_back(q.textAt(row, f));
        return values;
    }

    TZQuery ZQuery1{connection, QStringLiteral("ZQuery1")};
    TZQuery ZQuery2{connection, QStringLiteral("ZQuery2")};
    TZQuery ZQuery3{connection, QStringLiteral("ZQuery3")};
    TZQuery ZQuery4{connection, QStringLiteral("ZQuery4")};
    PageControl PageControl1;
    CustomerCard *card;
    DirectorySearch *search;
    CallList *calls;
};
