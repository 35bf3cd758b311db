#include "controls/PageControl.h"

#include "controls/AccessibleFactory.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QToolButton>

namespace {

QString tabName(const QTabBar *bar, int index) {
    const QString name = bar->accessibleTabName(index);
    return name.isEmpty() ? QString(bar->tabText(index)).remove(QLatin1Char('&')) : name;
}

// One tab: a page tab that can be pressed, selected while its page is the current one.
class PageTabAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    PageTabAccessible(QTabBar *bar, int index)
        : m_bar(bar)
        , m_index(index) {}

    void *interface_cast(QAccessible::InterfaceType t) override {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this)
                                                 : nullptr;
    }

    bool isValid() const override { return m_bar && m_index < m_bar->count(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_bar ? m_bar->window()->windowHandle() : nullptr; }
    QAccessible::Role role() const override { return QAccessible::PageTab; }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        const bool current = m_index == m_bar->currentIndex();
        s.selectable = true;
        s.selected = current;
        s.focusable = true;
        s.focused = current && m_bar->hasFocus();
        s.disabled = !m_bar->isEnabled() || !m_bar->isTabEnabled(m_index);
        s.invisible = !m_bar->isVisible() || !m_bar->isTabVisible(m_index);
        return s;
    }

    QRect rect() const override {
        if (!isValid())
            return {};
        return m_bar->tabRect(m_index).translated(m_bar->mapToGlobal(QPoint(0, 0)));
    }

    QString text(QAccessible::Text t) const override {
        if (!isValid())
            return {};
        switch (t) {
        case QAccessible::Name:
            return tabName(m_bar, m_index);
        case QAccessible::Description:
            return m_bar->tabToolTip(m_index);
        case QAccessible::Help:
            return m_bar->tabWhatsThis(m_index);
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString &) override {}

    QAccessibleInterface *parent() const override {
        return QAccessible::queryAccessibleInterface(m_bar.data());
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &action) override {
        if (isValid() && action == pressAction())
            m_bar->setCurrentIndex(m_index);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

    int index() const { return m_index; }

private:
    QPointer<QTabBar> m_bar;
    int m_index;
};

// The list of tabs, named by the current page; its children are the tabs, then the bar's
// scroll buttons.
class PageTabListAccessible final : public QAccessibleWidget {
public:
    explicit PageTabListAccessible(QWidget *widget)
        : QAccessibleWidget(widget, QAccessible::PageTabList) {}

    ~PageTabListAccessible() override {
        for (const QAccessible::Id id : std::as_const(m_tabs))
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override {
        return bar()->count() + static_cast<int>(scrollButtons().size());
    }

    QAccessibleInterface *child(int index) const override {
        if (index < 0)
            return nullptr;
        if (index < bar()->count()) {
            if (const QAccessible::Id id = m_tabs.value(index))
                return QAccessible::accessibleInterface(id);
            auto *tab = new PageTabAccessible(bar(), index);
            m_tabs.insert(index, QAccessible::registerAccessibleInterface(tab));
            return tab;
        }
        const QList<QToolButton *> buttons = scrollButtons();
        const int button = index - bar()->count();
        return button < buttons.size() ? QAccessible::queryAccessibleInterface(buttons[button])
                                       : nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override {
        if (!child)
            return -1;
        if (child->role() == QAccessible::PageTab && child->parent() == this)
            return static_cast<const PageTabAccessible *>(child)->index();
        const int button =
            static_cast<int>(scrollButtons().indexOf(qobject_cast<QToolButton *>(child->object())));
        return button < 0 ? -1 : bar()->count() + button;
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty() &&
            bar()->currentIndex() >= 0)
            return tabName(bar(), bar()->currentIndex());
        return QAccessibleWidget::text(t);
    }

private:
    QTabBar *bar() const { return static_cast<QTabBar *>(widget()); }
    QList<QToolButton *> scrollButtons() const {
        return bar()->findChildren<QToolButton *>(Qt::FindDirectChildrenOnly);
    }

    mutable QHash<int, QAccessible::Id> m_tabs;
};

QAccessibleInterface *pageTabListAccessible(const QString &className, QObject *object) {
    if (className == QLatin1String(PageTabBar::staticMetaObject.className()) && object &&
        object->isWidgetType())
        return new PageTabListAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

PageTabBar::PageTabBar(QWidget *parent)
    : QTabBar(parent) {
    useAccessibleFactory(this, pageTabListAccessible);
    connect(this, &QTabBar::currentChanged, this, &PageTabBar::announce);
}

void PageTabBar::announce(int current) {
    const int previous = m_announced;
    m_announced = current;
    if (!QAccessible::isActive())
        return;
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(this);
    if (!list)
        return;
    // The tab that was selected is no longer, the new one is, and the list's name (the page)
    // changed.
    if (previous >= 0 && previous != current) {
        if (QAccessibleInterface *tab = list->child(previous)) {
            QAccessibleEvent left(tab, QAccessible::SelectionRemove);
            QAccessible::updateAccessibility(&left);
        }
    }
    if (QAccessibleInterface *tab = list->child(current)) {
        QAccessibleEvent chosen(tab, QAccessible::Selection);
        QAccessible::updateAccessibility(&chosen);
    }
    QAccessibleEvent renamed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
}

PageControl::PageControl(QWidget *parent)
    : QTabWidget(parent) {
    setTabBar(new PageTabBar(this));
}
