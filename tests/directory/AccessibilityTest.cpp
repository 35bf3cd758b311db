// What a screen reader or an automation tool meets on the three tabs, through the accessible
// interfaces the toolkit gives the controls.

#include "DirectoryTabsFixture.h"

#include "controls/DBNavigator.h"
#include "controls/LabeledEdit.h"
#include "support/Accessible.h"
#include "support/Typing.h"

#include <QAccessible>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

class AccessibilityTest : public DirectoryTabsTest {
protected:
    AccessibilityTest() {
        db.exec("INSERT INTO rehber (adsoyad, gsmtel1, eposta, firmaunvan, grup, referans) VALUES "
                "('G\xF6khan Karadeniz', '05341455534', 'gokhan.karadeniz.muhasebe48@outlook.com',"
                " 'Karadeniz Turizm Otelcilik ve Restoran \xDD\xFEletmeleri', 'Restoran', "
                "'Google'),"
                "('Ali Can', '05320000000', NULL, NULL, NULL, NULL)");
        db.exec("INSERT INTO arayanlar (tarih, saat, telno) VALUES "
                "('2015-03-05', '10:00:00', '05341455534')");
        openDatasets(QDate(2015, 3, 5));
    }

    static QString textOf(QObject *object) {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
        QAccessibleTextInterface *text = iface ? iface->textInterface() : nullptr;
        return text ? text->text(0, text->characterCount()) : QString();
    }
};

} // namespace

// A press through the accessibility action comes back before the box opens: the box runs
// its own event loop, and the tool that pressed would wait for it to be answered.
TEST_F(AccessibilityTest, ButtonsThatOpenABoxReturnTheirPressFirst) {
    showTab(card);
    boxes.answer = QMessageBox::No;
    using Nav = DBNavigator::Button;
    struct Case {
        const char *what;
        std::function<QWidget *()> button;
        QString box;
    };
    const Case cases[] = {
        {"Kaydet on an empty card", [&] { return card->BitBtn1; },
         u"GSM-Telefon-1 veya Firma Telefon Alanları Boş Olamaz!"_s},
        {"the search list's delete", [&] { return search->DBNavigator2->button(Nav::Delete); },
         u"Delete record?"_s},
        {"the call list's delete", [&] { return calls->DBNavigator3->button(Nav::Delete); },
         u"Delete record?"_s},
        {"Çağrı Listesini Temizle", [&] { return calls->BitBtn8; }, u"Emin Misiniz ?"_s},
        {"the note button on a day without calls",
         [&] {
             calls->DateTimePicker2->setDate(QDate(2015, 1, 1));
             calls->DateTimePicker2Change();
             calls->LabeledEdit17->setText(u"geri aranacak"_s);
             return calls->BitBtn5;
         },
         u"Listede not eklenecek çağrı yok!"_s},
    };
    for (const Case &c : cases) {
        boxes.boxes.clear();
        pressAsAssistiveTool(c.button());
        EXPECT_TRUE(boxes.boxes.empty()) << c.what;
        ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.boxes.empty(); })) << c.what;
        EXPECT_EQ(boxes.texts(), std::vector<QString>{c.box}) << c.what;
    }
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM arayanlar"), "1"); // every box was answered No
}

TEST_F(AccessibilityTest, TheSearchInputsAreFoundByTheirCaptionsWhateverTheyHold) {
    showTab(search);
    const std::pair<QWidget *, QString> inputs[] = {
        {search->LabeledEdit12->edit(), u"Telefon Ara"_s},
        {search->LabeledEdit14->edit(), u"Ad-Soyad Ara"_s},
        {search->LabeledEdit16->edit(), u"Adres"_s},
        {search->LabeledEdit15->edit(), u"Firma / Eposta"_s},
        {search->ComboBox2, u"Grup"_s},
        {search->ComboBox4, u"Referans"_s},
    };
    for (const auto &[input, caption] : inputs) {
        EXPECT_EQ(accessibleText(input), caption);
        input->setFocus();
        QTest::keyClicks(input, u"Rest"_s);
        EXPECT_EQ(accessibleText(input), caption) << "holding Rest";
        EXPECT_EQ(accessibleText(input, QAccessible::Value), u"Rest"_s) << caption.toStdString();
    }
    // The combo's edit carries the caption too, and the text.
    QAccessibleInterface *group = QAccessible::queryAccessibleInterface(search->ComboBox2);
    ASSERT_EQ(group->childCount(), 2);
    QAccessibleInterface *edit = group->child(1);
    EXPECT_EQ(edit->object(), search->ComboBox2->lineEdit());
    EXPECT_EQ(edit->text(QAccessible::Name), u"Grup"_s);
    EXPECT_EQ(textOf(search->ComboBox2->lineEdit()), u"Rest"_s);
    EXPECT_EQ(group->indexOfChild(edit), 1);
    EXPECT_EQ(edit->parent(), group);
}

TEST_F(AccessibilityTest, TheCountsAreReadWithTheirCaption) {
    for (CountLabel *count : {search->Label4, card->Label7}) {
        EXPECT_EQ(accessibleText(count), u"Kayıt sayısı"_s);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(count)->role(), QAccessible::StaticText);
    }
    EXPECT_EQ(textOf(search->Label4), u"KS"_s);
    search->LabeledEdit14->setText(u"an"_s); // both customers
    EXPECT_EQ(textOf(search->Label4), u"2"_s);
    EXPECT_EQ(accessibleText(search->Label4, QAccessible::Value), u"2"_s);
    EXPECT_EQ(accessibleText(search->Label4), u"Kayıt sayısı"_s);
    card->Label7->setText(u"14"_s); // as the main window writes it
    EXPECT_EQ(textOf(card->Label7), u"14"_s);
    EXPECT_EQ(accessibleText(card->Label7), u"Kayıt sayısı"_s);
}

TEST_F(AccessibilityTest, EditsFilledByTheProgramShowTheStartOfTheirText) {
    showTab(calls);
    PageControl1.resize(500, 545); // narrower than the long texts
    calls->BitBtn4Click();         // the card of the selected call's caller
    ASSERT_EQ(PageControl1.currentWidget(), card);
    QApplication::processEvents();
    const std::pair<QLineEdit *, const char *> filled[] = {
        {card->LabeledEdit4->edit(), "E-Posta"},
        {card->LabeledEdit11->edit(), "Firma Ünvanı"},
        {card->ComboBox1->lineEdit(), "Grup"},
    };
    for (const auto &[edit, what] : filled) {
        EXPECT_FALSE(edit->text().isEmpty()) << what;
        EXPECT_EQ(edit->cursorPosition(), 0) << what;
    }
    QLineEdit *email = card->LabeledEdit4->edit();
    ASSERT_LT(email->width(), email->fontMetrics().horizontalAdvance(email->text()));
    const QRect caret = email->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    EXPECT_LT(caret.left(), email->width() / 4); // scrolled to the start
}

// What Windows-1254 cannot hold is refused by the search boxes as by the card's: typed, or
// put in by an assistive tool; nothing is searched for it.
TEST_F(AccessibilityTest, TheSearchBoxesRefuseTextWindows1254CannotHold) {
    showTab(search);
    QLineEdit *inputs[] = {search->LabeledEdit12->edit(), search->LabeledEdit14->edit(),
                           search->LabeledEdit16->edit(), search->LabeledEdit15->edit(),
                           search->ComboBox2->lineEdit(), search->ComboBox4->lineEdit()};
    for (QLineEdit *box : inputs) {
        box->setFocus();
        markLog();
        typeText(box, u"xəy😀z"_s);
        EXPECT_EQ(box->text(), u"xyz"_s) << box->objectName().toStdString();
        const std::vector<QByteArray> typed = statementsSinceMark();
        EXPECT_FALSE(typed.empty());
        for (const QByteArray &statement : typed)
            EXPECT_FALSE(statement.contains('?')) << statement.toStdString();

        markLog();
        QAccessibleEditableTextInterface *editable =
            QAccessible::queryAccessibleInterface(box)->editableTextInterface();
        ASSERT_NE(editable, nullptr);
        editable->insertText(1, u"ə😀"_s);
        EXPECT_EQ(box->text(), u"xyz"_s);
        EXPECT_TRUE(statementsSinceMark().empty());
        editable->replaceText(0, 3, u"şğı"_s); // Turkish letters are welcome
        EXPECT_EQ(box->text(), u"şğı"_s);
        const std::vector<QByteArray> replaced = statementsSinceMark();
        ASSERT_FALSE(replaced.empty());
        // The server's log shows the Windows-1254 bytes of "şğı" escaped.
        EXPECT_TRUE(replaced.back().contains(R"(\xFE\xF0\xFD)")) << replaced.back().toStdString();
        box->clear();
    }
}
