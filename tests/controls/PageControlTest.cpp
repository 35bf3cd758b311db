#include "controls/PageControl.h"

#include <QAccessible>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The names of the tabs that assistive technology is told are selected.
QStringList selectedTabs(QAccessibleInterface *list) {
    QStringList names;
    for (int i = 0; i < list->childCount(); ++i) {
        QAccessibleInterface *tab = list->child(i);
        if (tab && tab->role() == QAccessible::PageTab && tab->state().selected)
            names << tab->text(QAccessible::Name);
    }
    return names;
}

} // namespace

TEST(PageControlTest, TheActivePageIsTheSelectedTabWhoeverChangedIt) {
    PageControl pages;
    const QStringList captions{u"Müşteri Kartı"_s, u"Kayıt Arama"_s, u"Çağrı Listesi"_s};
    for (const QString &caption : captions)
        pages.addTab(new QLabel(caption), caption);
    pages.resize(600, 300);
    pages.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pages));

    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(pages.tabBar());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::PageTabList);
    ASSERT_GE(list->childCount(), 3); // the tabs, then the bar's scroll buttons
    for (int i = 0; i < 3; ++i) {
        QAccessibleInterface *tab = list->child(i);
        EXPECT_EQ(tab->role(), QAccessible::PageTab);
        EXPECT_EQ(tab->text(QAccessible::Name), captions[i]);
        EXPECT_TRUE(tab->state().selectable);
        EXPECT_EQ(tab->parent(), list);
        EXPECT_EQ(list->indexOfChild(tab), i);
        EXPECT_EQ(list->child(i), tab); // the same tab each time it is asked for
        EXPECT_TRUE(list->rect().contains(tab->rect()));
    }
    EXPECT_EQ(selectedTabs(list), QStringList{u"Müşteri Kartı"_s});

    pages.setCurrentIndex(2); // the program changes the page (a save returns to the list)
    EXPECT_EQ(selectedTabs(list), QStringList{u"Çağrı Listesi"_s});
    EXPECT_EQ(list->text(QAccessible::Name), u"Çağrı Listesi"_s);

    QAccessibleActionInterface *press = list->child(1)->actionInterface();
    ASSERT_NE(press, nullptr);
    press->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(pages.currentIndex(), 1);
    EXPECT_EQ(selectedTabs(list), QStringList{u"Kayıt Arama"_s});
}
