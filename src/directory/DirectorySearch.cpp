#include "directory/DirectorySearch.h"

#include "controls/Captioned.h"
#include "controls/CountLabel.h"
#include "controls/DBGrid.h"
#include "controls/DBNavigator.h"
#include "controls/DbText.h"
#include "controls/DeferredClick.h"
#include "controls/Dialogs.h"
#include "controls/LabeledEdit.h"
#include "directory/CustomerCard.h"
#include "platform/Cp1254.h"
#include "store/TZQuery.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

// The columns of the record grid: captions centred over their column, the field's own name
// at the left.
std::vector<GridColumn> recordColumns() {
    constexpr Qt::Alignment left = Qt::AlignLeft;
    constexpr Qt::Alignment centre = Qt::AlignHCenter;
    return {
        {"Id", {}, centre, left, 56},
        {"tarih", QStringLiteral("Tarih"), centre, centre, 0},
        {"adsoyad", QStringLiteral("Adı ve Soyadı"), left, centre, 0},
        {"firmaad", QStringLiteral("Firma Adı"), left, centre, 182},
        {"gsmtel1", QStringLiteral("Cep Tel-1"), centre, centre, 0},
        {"gsmtel2", QStringLiteral("Cep Tel-2"), centre, centre, 0},
        {"firmatel", {}, left, left, 0},
        {"eposta", QStringLiteral("E-Posta"), left, centre, 0},
        {"firmaunvan", QStringLiteral("Firma Ünvan"), left, centre, 0},
        {"ili", {}, left, left, 0},
        {"ilcesi", {}, left, left, 0},
    };
}

} // namespace

DirectorySearch::DirectorySearch(TZQuery &ZQuery1, TZQuery &ZQuery2, TZQuery &ZQuery4,
                                 CustomerCard &card, QWidget *parent)
    : QWidget(parent)
    , ZQuery1(ZQuery1)
    , ZQuery2(ZQuery2)
    , ZQuery4(ZQuery4)
    , card(card) {
    setObjectName(QStringLiteral("TabSheet2"));
    QFont pageFont = font();
    pageFont.setFamily(QStringLiteral("Tahoma"));
    pageFont.setPixelSize(12);
    setFont(pageFont);

    LabeledEdit12 = newLabeledEdit("LabeledEdit12", QStringLiteral("Telefon Ara :"), this);
    LabeledEdit14 = newLabeledEdit("LabeledEdit14", QStringLiteral("Ad-Soyad Ara"), this);
    LabeledEdit16 = newLabeledEdit("LabeledEdit16", QStringLiteral("Adres"), this);
    LabeledEdit15 = newLabeledEdit("LabeledEdit15", QStringLiteral("Firma / Eposta"), this);

    ComboBox2 = newCaptionedCombo("ComboBox2", "Label1", QStringLiteral("Grup:"), Label1, this);
    ComboBox4 = newCaptionedCombo("ComboBox4", "Label3", QStringLiteral("Referans:"), Label3, this);

    Label4 = new CountLabel(QStringLiteral("Kayıt sayısı"), QStringLiteral("KS"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    Button1 = newButton("Button1", QStringLiteral("Hepsi"), QIcon(), this);

    GroupBox4 = new QGroupBox(QStringLiteral("Rehber Kayıtları"), this);
    GroupBox4->setObjectName(QStringLiteral("GroupBox4"));
    DBGrid1 = new DBGrid(ZQuery2, GroupBox4);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("Rehber Kayıtları"));
    DBGrid1->setColumns(recordColumns());
    DBGrid1->setAlwaysShowSelection(true);
    using Nav = DBNavigator::Button;
    DBNavigator2 = new DBNavigator(
        ZQuery2, {Nav::First, Nav::Prior, Nav::Next, Nav::Last, Nav::Delete, Nav::Refresh},
        GroupBox4);
    DBNavigator2->setObjectName(QStringLiteral("DBNavigator2"));
    BitBtn7 = newButton("BitBtn7", QStringLiteral("XLS Export"),
                        themeIcon("x-office-spreadsheet", QStyle::SP_FileDialogListView, this),
                        GroupBox4);
    DBGrid4 = new DBGrid(ZQuery4, GroupBox4);
    DBGrid4->setObjectName(QStringLiteral("DBGrid4"));
    DBGrid4->setAccessibleName(QStringLiteral("Arama geçmişi"));
    DBGrid4->setEditable(true);

    // The search boxes in one row, the count above "Hepsi"; the record grid, its bar and
    // the call history below them.
    auto *searchRow = new QHBoxLayout;
    searchRow->addWidget(LabeledEdit12, 3);
    searchRow->addWidget(LabeledEdit14, 3);
    searchRow->addWidget(LabeledEdit16, 3);
    searchRow->addWidget(LabeledEdit15, 3);
    auto comboBox = [](QLabel *label, QComboBox *box) {
        auto *column = new QVBoxLayout;
        column->setSpacing(2);
        column->addWidget(label);
        column->addWidget(box);
        return column;
    };
    searchRow->addLayout(comboBox(Label1, ComboBox2), 2);
    searchRow->addLayout(comboBox(Label3, ComboBox4), 2);
    auto *countColumn = new QVBoxLayout;
    countColumn->setSpacing(2);
    countColumn->addWidget(Label4);
    countColumn->addWidget(Button1);
    searchRow->addLayout(countColumn, 1);

    auto *barRow = new QHBoxLayout;
    barRow->addWidget(DBNavigator2);
    barRow->addSpacing(12);
    barRow->addWidget(BitBtn7);
    barRow->addStretch();
    auto *records = new QVBoxLayout(GroupBox4);
    records->addWidget(DBGrid1, 3);
    records->addLayout(barRow);
    records->addWidget(DBGrid4, 1);

    auto *page = new QVBoxLayout(this);
    page->addLayout(searchRow);
    page->addWidget(GroupBox4, 1);

    setTabOrder(DBGrid1, DBNavigator2);
    setTabOrder(DBNavigator2, BitBtn7);
    setTabOrder(BitBtn7, DBGrid4);
    setTabOrder(DBGrid4, LabeledEdit12);
    setTabOrder(LabeledEdit12, LabeledEdit14);
    setTabOrder(LabeledEdit14, LabeledEdit15);
    setTabOrder(LabeledEdit15, LabeledEdit16);
    setTabOrder(LabeledEdit16, ComboBox2);
    setTabOrder(ComboBox2, Button1);
    setTabOrder(Button1, ComboBox4);

    auto on = [this](auto handler) {
        return dialogs::guard(this, [this, handler] { (this->*handler)(); });
    };
    // A text that Windows-1254 cannot hold is refused by its box, which goes back to the text
    // it had: there is nothing new to search for.
    auto onText = [this](auto handler) {
        return [this, handler](const QString &text) {
            if (cp1254::canEncode(text))
                dialogs::guarded([this, handler] { (this->*handler)(); }, this);
        };
    };
    connect(LabeledEdit12->edit(), &QLineEdit::textChanged, this,
            onText(&DirectorySearch::LabeledEdit12Change));
    connect(LabeledEdit14->edit(), &QLineEdit::textChanged, this,
            onText(&DirectorySearch::LabeledEdit14Change));
    connect(LabeledEdit15->edit(), &QLineEdit::textChanged, this,
            onText(&DirectorySearch::LabeledEdit15Change));
    connect(LabeledEdit16->edit(), &QLineEdit::textChanged, this,
            onText(&DirectorySearch::LabeledEdit16Change));
    connect(ComboBox2, &QComboBox::editTextChanged, this,
            onText(&DirectorySearch::ComboBox2Change));
    connect(ComboBox4, &QComboBox::editTextChanged, this,
            onText(&DirectorySearch::ComboBox4Change));
    connectDeferredClick(Button1, this, [this] { Button1Click(); });
    connectDeferredClick(BitBtn7, this, [this] { BitBtn7Click(); });
    connect(DBGrid1, &DBGrid::cellClick, this, on(&DirectorySearch::DBGrid1CellClick));
    connect(DBGrid1, &DBGrid::dblClick, this, on(&DirectorySearch::DBGrid1DblClick));
    connect(DBGrid1, &DBGrid::titleClick, this, [this](int column) {
        dialogs::guarded([this, column] { DBGrid1TitleClick(column); }, this);
    });
    ZQuery2.AfterRefresh = [this](TZQuery &) {
        ZQuery2AfterRefresh();
    };
}

// ---------------------------------------------------------------- searching

void DirectorySearch::search(const QByteArray &statement, const QByteArray &param,
                             const QByteArray &value) {
    ZQuery2.setSQL(statement);
    if (!param.isEmpty())
        ZQuery2.ParamByName(param).setAsString(value);
    ZQuery2.open();
    ZQuery2.refresh();
}

void DirectorySearch::stagedSearch(std::initializer_list<const char *> statements,
                                   const QByteArray &value) {
    for (const char *statement : statements) {
        search(statement, "MAG", value);
        if (ZQuery2.recordCount() > 0)
            return;
    }
}

void DirectorySearch::LabeledEdit12Change() {
    stagedSearch({"Select * from rehber where gsmtel1 Like:MAG",
                  "Select * from rehber where gsmtel2 Like:MAG",
                  "Select * from rehber where firmatel Like:MAG"},
                 toDb(LabeledEdit12->text()) + '%');
}

void DirectorySearch::LabeledEdit14Change() {
    search("Select * from rehber where adsoyad Like:MAG", "MAG",
           '%' + toDb(LabeledEdit14->text()) + '%');
}

void DirectorySearch::LabeledEdit15Change() {
    stagedSearch({"Select * from rehber where firmaad Like:MAG",
                  "Select * from rehber where eposta Like:MAG"},
                 '%' + toDb(LabeledEdit15->text()) + '%');
}

void DirectorySearch::LabeledEdit16Change() {
    search("Select * from rehber where adres Like:MAG", "MAG",
           '%' + toDb(LabeledEdit16->text()) + '%');
}

void DirectorySearch::ComboBox2Change() {
    const QString text = ComboBox2->currentText();
    if (text.isEmpty())
        search("Select * from rehber where grup=:par1", "par1", QByteArray(""));
    else
        search("Select * from rehber where grup Like:MAG", "MAG", toDb(text));
}

void DirectorySearch::ComboBox4Change() {
    const QString text = ComboBox4->currentText();
    if (text.isEmpty())
        search("Select * from rehber");
    else
        search("Select * from rehber where referans Like:MAG", "MAG", toDb(text));
}

void DirectorySearch::Button1Click() {
    ZQuery2.setSQL("Select * from rehber");
    ZQuery2.open();
}

void DirectorySearch::ZQuery2AfterRefresh() {
    Label4->setText(QString::number(ZQuery2.recordCount()));
}

// ---------------------------------------------------------------- the record grid

void DirectorySearch::DBGrid1TitleClick(int column) {
    const QByteArray field = DBGrid1->fieldName(column);
    if (!field.isEmpty())
        ZQuery2.setSortedFields(field);
}

void DirectorySearch::DBGrid1CellClick() {
    // The calls of the record's first number that is not empty.
    QByteArray number;
    for (const char *column : {"gsmtel1", "gsmtel2", "firmatel"}) {
        number = ZQuery2.fieldByName(column).asString();
        if (!number.isEmpty())
            break;
    }
    ZQuery4.setSQL("select * from arayanlar where telno=:par1");
    // A record without any number has no calls: the parameter is null, which matches no
    // row, rather than the number of the record clicked before.
    if (number.isEmpty())
        ZQuery4.ParamByName("par1").clear();
    else
        ZQuery4.ParamByName("par1").setAsString(number);
    ZQuery4.open();
}

void DirectorySearch::DBGrid1DblClick() {
    // The record is found again on the card's dataset by its numbers, not by its Id.
    const QByteArray mobile = ZQuery2.fieldByName("gsmtel1").asString();
    const QByteArray company = ZQuery2.fieldByName("firmatel").asString();
    ZQuery1.refresh();
    if (!mobile.isEmpty() && ZQuery1.locate("gsmtel1", mobile)) {
        card.kartgetir();
        return;
    }
    if (!company.isEmpty() && ZQuery1.locate("firmatel", company))
        card.kartgetir();
}

void DirectorySearch::BitBtn7Click() {
    if (showExportWindow)
        showExportWindow();
}

std::vector<FieldDef> DirectorySearch::ZQuery2Fields() {
    return {
        {"Id", FieldType::Integer, 0, true},        {"tarih", FieldType::Date, 0, false},
        {"adsoyad", FieldType::String, 30, false},  {"gsmtel1", FieldType::String, 11, false},
        {"gsmtel2", FieldType::String, 11, false},  {"eposta", FieldType::String, 50, false},
        {"firmaad", FieldType::String, 30, false},  {"firmaunvan", FieldType::String, 50, false},
        {"firmatel", FieldType::String, 11, false}, {"vergidaire", FieldType::String, 30, false},
        {"vergino", FieldType::String, 15, false},  {"grup", FieldType::String, 10, false},
        {"referans", FieldType::String, 10, false}, {"detay", FieldType::String, 500, false},
        {"adres1", FieldType::String, 50, false},   {"adres2", FieldType::String, 50, false},
        {"adres3", FieldType::String, 50, false},   {"ili", FieldType::String, 30, false},
        {"ilcesi", FieldType::String, 30, false}};
}
