#include "offers/TForm3.h"

#include "controls/DBGrid.h"
#include "controls/Dialogs.h"
#include "controls/WindowActivation.h"

#include <QApplication>
#include <QCloseEvent>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TForm3::TForm3(TZConnection &connection, TZQuery &directory, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , ZQuery1(connection, u"ZQuery1"_s)
    , ZQuery2(connection, u"ZQuery2"_s)
    , m_directory(directory) {
    setObjectName(u"TForm3"_s);
    setWindowTitle(u"DETAYLAR"_s);
    setFont(QFont(u"Tahoma"_s, 9));
    resize(1216, 499);

    auto grid = [this](TZQuery &dataset, const char *name, const QString &accessibleName) {
        auto *g = new DBGrid(dataset, this);
        g->setObjectName(QLatin1String(name));
        g->setAccessibleName(accessibleName);
        g->setAlwaysShowSelection(true);
        return g;
    };
    DBGrid1 = grid(ZQuery1, "DBGrid1", u"Teklifler"_s);
    DBGrid2 = grid(ZQuery2, "DBGrid2", u"Teklif Satırları"_s);

    // The offers above the lines, in the heights 137 to 305.
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1, 137);
    layout->addWidget(DBGrid2, 305);

    connect(DBGrid1, &DBGrid::cellClick, this,
            dialogs::guard(this, [this] { DBGrid1CellClick(); }));
    new WindowActivation(this, [this] { FormActivate(); });
}

TForm3::~TForm3() {
    // The grids read the datasets, which are members and go before the child widgets would.
    delete DBGrid1;
    delete DBGrid2;
}

void TForm3::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!m_placed && screen()) {
        m_placed = true;
        move(screen()->availableGeometry().center() - rect().center());
    }
}

void TForm3::closeEvent(QCloseEvent *event) {
    dialogs::guarded([this] { FormClose(); }, this);
    event->accept();
}

void TForm3::FormActivate() {
    ZQuery1.setSQL("select * from teklif where rehberid=:par1");
    ZQuery1.ParamByName("par1").setAsInteger(m_directory.fieldByName("Id").asInteger());
    ZQuery1.open();
    openLines();
}

void TForm3::openLines() {
    ZQuery2.setSQL("select * from teklifler where referansno=:par2");
    ZQuery2.ParamByName("par2").setAsString(ZQuery1.fieldByName("referansno").asString());
    ZQuery2.open();
}

void TForm3::DBGrid1CellClick() {
    openLines();
}

void TForm3::FormClose() {
    ZQuery1.close();
    ZQuery2.close();
}
