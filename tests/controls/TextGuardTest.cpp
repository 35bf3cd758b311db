#include "controls/TextGuard.h"

#include "support/Typing.h"

#include <QAccessible>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QAccessibleEditableTextInterface *editableText(QWidget *widget) {
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    return iface ? iface->editableTextInterface() : nullptr;
}

} // namespace

// Typed, set by the program or put in by an assistive tool: a text that holds a character
// outside Windows-1254 does not stay, and the edit keeps the text it had.
TEST(TextGuardTest, AnEditRefusesTextWindows1254CannotHoldHoweverItComes) {
    QLineEdit edit;
    guardText(&edit);
    edit.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    typeText(&edit, u"xəy😀z"_s);
    EXPECT_EQ(edit.text(), u"xyz"_s);

    QAccessibleEditableTextInterface *tool = editableText(&edit);
    ASSERT_NE(tool, nullptr);
    QSignalSpy changes(&edit, &QLineEdit::textChanged);
    tool->insertText(1, u"ə"_s);
    EXPECT_EQ(edit.text(), u"xyz"_s);
    // Whoever follows the edit saw the refused text come, and no second change after it.
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes[0][0].toString(), u"xəyz"_s);

    edit.setText(u"😀"_s);
    EXPECT_EQ(edit.text(), u"xyz"_s);
    tool->replaceText(0, 3, u"İşçi Ünal"_s);
    EXPECT_EQ(edit.text(), u"İşçi Ünal"_s);
    tool->deleteText(0, 5);
    EXPECT_EQ(edit.text(), u"Ünal"_s);
}

TEST(TextGuardTest, AMemoRefusesTextWindows1254CannotHoldHoweverItComes) {
    Memo memo;
    memo.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&memo));
    typeText(&memo, u"aə😀b"_s);
    EXPECT_EQ(memo.toPlainText(), u"ab"_s);

    QAccessibleEditableTextInterface *tool = editableText(&memo);
    ASSERT_NE(tool, nullptr);
    tool->insertText(1, u"ə"_s);
    EXPECT_EQ(memo.toPlainText(), u"ab"_s);
    tool->insertText(1, u"\nğ"_s);
    EXPECT_EQ(memo.toPlainText(), u"a\nğb"_s);
    memo.setPlainText(u"x😀"_s);
    EXPECT_EQ(memo.toPlainText(), u"a\nğb"_s);
}
