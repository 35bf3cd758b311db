#include "directory/CallList.h"

#include "controls/Captioned.h"
#include "controls/DBGrid.h"
#include "controls/DBNavigator.h"
#include "controls/DatePicker.h"
#include "controls/DbText.h"
#include "controls/DeferredClick.h"
#include "controls/Dialogs.h"
#include "controls/LabeledEdit.h"
#include "directory/CustomerCard.h"
#include "store/TZQuery.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <functional>

namespace {

// A date picker that tells apart the user's changes from the program's: userChanged runs
// for a date changed by the keyboard, the mouse or the calendar, not by setDate.
class DayPicker final : public QDateEdit {
public:
    explicit DayPicker(QWidget *parent)
        : QDateEdit(parent) {
        setCalendarPopup(true);
        connect(this, &QDateEdit::dateChanged, this, [this] {
            // The user types, steps or scrolls in the box, or picks in the open calendar.
            const bool picking = calendarWidget() && calendarWidget()->isVisible();
            if ((m_input > 0 || picking) && userChanged)
                userChanged();
        });
    }

    std::function<void()> userChanged;

protected:
    bool event(QEvent *event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::InputMethod:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::Timer: // the repeat of a held arrow
        case QEvent::FocusOut: {
            ++m_input;
            const bool handled = QDateEdit::event(event);
            --m_input;
            return handled;
        }
        default:
            return QDateEdit::event(event);
        }
    }

private:
    int m_input = 0;
};

} // namespace

CallList::CallList(TZQuery &ZQuery3, TZQuery &ZQuery4, CustomerCard &card, QWidget *parent)
    : QWidget(parent)
    , ZQuery3(ZQuery3)
    , ZQuery4(ZQuery4)
    , card(card) {
    setObjectName(QStringLiteral("TabSheet3"));
    QFont pageFont = font();
    pageFont.setFamily(QStringLiteral("Tahoma"));
    pageFont.setPixelSize(12);
    setFont(pageFont);

    auto *picker = new DayPicker(this);
    picker->userChanged = [this] {
        dialogs::guarded([this] { DateTimePicker2Change(); }, this);
    };
    DateTimePicker2 = picker;
    useSystemShortDate(DateTimePicker2);
    DateTimePicker2->setObjectName(QStringLiteral("DateTimePicker2"));
    DateTimePicker2->setAccessibleName(QStringLiteral("Çağrı Tarihi"));

    DBGrid2 = new DBGrid(ZQuery3, this);
    DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
    DBGrid2->setAccessibleName(QStringLiteral("Çağrı Listesi"));
    DBGrid2->setAlwaysShowSelection(true);
    QFont listFont = DBGrid2->font();
    listFont.setPixelSize(16);
    DBGrid2->setFont(listFont);

    auto button = [this](const char *name, const QString &caption, const QIcon &icon) {
        return newButton(name, caption, icon, this);
    };
    BitBtn4 = button("BitBtn4", QStringLiteral("Kayıt"),
                     themeIcon("x-office-address-book", QStyle::SP_FileDialogInfoView, this));
    using Nav = DBNavigator::Button;
    DBNavigator3 = new DBNavigator(
        ZQuery3,
        {Nav::First, Nav::Prior, Nav::Next, Nav::Last, Nav::Delete, Nav::Cancel, Nav::Refresh},
        this);
    DBNavigator3->setObjectName(QStringLiteral("DBNavigator3"));
    BitBtn8 = button("BitBtn8", QStringLiteral("Çağrı Listesini Temizle"),
                     themeIcon("edit-clear-all", QStyle::SP_TrashIcon, this));

    LabeledEdit17 = newLabeledEdit("LabeledEdit17", QStringLiteral("Notu :"), this);
    BitBtn5 =
        button("BitBtn5", QString(), themeIcon("document-save", QStyle::SP_DialogSaveButton, this));
    BitBtn5->setAccessibleName(QStringLiteral("Notu kaydet"));
    BitBtn5->setToolTip(QStringLiteral("Notu kaydet"));

    DBGrid3 = new DBGrid(ZQuery4, this);
    DBGrid3->setObjectName(QStringLiteral("DBGrid3"));
    DBGrid3->setAccessibleName(QStringLiteral("Arama geçmişi"));

    // The day on top, the day's calls, the buttons, the note, the number's calls.
    auto *dayRow = new QHBoxLayout;
    dayRow->addWidget(DateTimePicker2);
    dayRow->addStretch();
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(BitBtn4);
    buttonRow->addWidget(DBNavigator3, 1);
    buttonRow->addWidget(BitBtn8);
    auto *noteRow = new QHBoxLayout;
    noteRow->addWidget(LabeledEdit17, 1);
    noteRow->addWidget(BitBtn5, 0, Qt::AlignBottom);
    auto *page = new QVBoxLayout(this);
    page->addLayout(dayRow);
    page->addWidget(DBGrid2, 3);
    page->addLayout(buttonRow);
    page->addLayout(noteRow);
    page->addWidget(DBGrid3, 2);

    setTabOrder(DateTimePicker2, DBGrid2);
    setTabOrder(DBGrid2, BitBtn4);
    setTabOrder(BitBtn4, DBNavigator3);
    setTabOrder(DBNavigator3, BitBtn8);
    setTabOrder(BitBtn8, LabeledEdit17);
    setTabOrder(LabeledEdit17, BitBtn5);
    setTabOrder(BitBtn5, DBGrid3);

    auto on = [this](auto handler) {
        return dialogs::guard(this, [this, handler] { (this->*handler)(); });
    };
    connect(DBGrid2, &DBGrid::cellClick, this, on(&CallList::DBGrid2CellClick));
    connect(DBGrid2, &DBGrid::dblClick, this, on(&CallList::DBGrid2DblClick));
    connectDeferredClick(BitBtn4, this, [this] { BitBtn4Click(); });
    connectDeferredClick(BitBtn5, this, [this] { BitBtn5Click(); });
    connectDeferredClick(BitBtn8, this, [this] { BitBtn8Click(); });
    connect(LabeledEdit17, &LabeledEdit::keyDown, this, on(&CallList::LabeledEdit17KeyDown));
}

void CallList::DateTimePicker2Change() {
    ZQuery3.close();
    ZQuery3.setSQL("select * from arayanlar where tarih=:par1");
    ZQuery3.ParamByName("par1").setAsDate(DateTimePicker2->date());
    ZQuery3.open();
}

void CallList::DBGrid2CellClick() {
    ZQuery4.setSQL("select * from arayanlar where telno=:par1");
    ZQuery4.ParamByName("par1").setAsString(ZQuery3.fieldByName("telno").asString());
    ZQuery4.open();
}

void CallList::DBGrid2DblClick() {
    openCallersCard();
}

void CallList::BitBtn4Click() {
    openCallersCard();
}

void CallList::openCallersCard() {
    // Without a call in the list there is no number: the card of whichever customer has an
    // empty number would open.
    if (!ZQuery3.active() || ZQuery3.recordCount() == 0)
        return;
    card.numarabul(ZQuery3.fieldByName("telno").asString());
}

void CallList::BitBtn5Click() {
    const QString note = LabeledEdit17->text();
    if (note.isEmpty())
        return;
    // A note belongs to a call: with no call in the list it would become a call row of its
    // own, without date, time or number.
    if (!ZQuery3.active() || ZQuery3.recordCount() == 0) {
        dialogs::showMessage(QStringLiteral("Listede not eklenecek çağrı yok!"), this);
        return;
    }
    ZQuery3.edit();
    ZQuery3.fieldByName("notu").setAsString(toDb(note));
    ZQuery3.post();
    LabeledEdit17->clear();
}

void CallList::BitBtn8Click() {
    if (!dialogs::confirm(QStringLiteral("Emin Misiniz ?"),
                          QStringLiteral("TÜM ÇAĞRI LİSTESİ SİLİNECEK !!!"), this))
        return;
    ZQuery3.setSQL("TRUNCATE TABLE arayanlar");
    ZQuery3.execute();
    ZQuery3.setSQL("select * from arayanlar");
    ZQuery3.open();
}

void CallList::LabeledEdit17KeyDown() {
    if (LabeledEdit17->text().size() > 100)
        dialogs::showMessage(QStringLiteral("UYARI : 100 karekter sınırını aştınız!"), this);
}
