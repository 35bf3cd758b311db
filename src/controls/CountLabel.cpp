#include "controls/CountLabel.h"

#include "controls/AccessibleFactory.h"

#include <QAccessibleWidget>

namespace {

class CountLabelAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit CountLabelAccessible(QWidget *widget)
        : QAccessibleWidget(widget, QAccessible::StaticText) {}

    void *interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name:
            return label()->caption();
        case QAccessible::Value:
            return shown();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    // The text: what the label shows, read only, without a caret or a selection.
    QString text(int start, int end) const override {
        const QString all = shown();
        if (end < 0 || end > all.size())
            end = static_cast<int>(all.size());
        return start >= 0 && start < end ? all.mid(start, end - start) : QString();
    }
    int characterCount() const override { return static_cast<int>(shown().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    void selection(int, int *start, int *end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    QRect characterRect(int) const override { return rect(); }
    int offsetAtPoint(const QPoint &) const override { return 0; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int *start, int *end) const override {
        *start = offset;
        *end = offset;
        return {};
    }

private:
    const CountLabel *label() const { return static_cast<const CountLabel *>(widget()); }
    QString shown() const { return label()->text(); }
};

QAccessibleInterface *countLabelAccessible(const QString &className, QObject *object) {
    if (className == QLatin1String(CountLabel::staticMetaObject.className()) && object &&
        object->isWidgetType())
        return new CountLabelAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

CountLabel::CountLabel(const QString &caption, const QString &text, QWidget *parent)
    : QLabel(text, parent)
    , m_caption(caption) {
    // No accessible name on the widget: the interface names it by the caption, and a label
    // without one tells assistive tools of every new text it is given.
    useAccessibleFactory(this, countLabelAccessible);
}
