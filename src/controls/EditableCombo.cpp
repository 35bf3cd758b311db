#include "controls/EditableCombo.h"

#include "controls/AccessibleFactory.h"
#include "controls/TextGuard.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QLineEdit>

namespace {

// The toolkit's own interface names a combo on this platform by the text it holds, so that
// a filled "Grup" box cannot be found by its caption. This one keeps the caption as the name
// and gives the text as the value; its children are the drop-down list and the edit.
class EditableComboAccessible final : public QAccessibleWidget {
public:
    explicit EditableComboAccessible(QWidget *widget)
        : QAccessibleWidget(widget, QAccessible::ComboBox) {}

    int childCount() const override { return combo()->isEditable() ? 2 : 1; }

    QAccessibleInterface *child(int index) const override {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(combo()->view());
        if (index == 1 && combo()->isEditable())
            return QAccessible::queryAccessibleInterface(combo()->lineEdit());
        return nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override {
        if (!child)
            return -1;
        if (child->object() == combo()->view())
            return 0;
        if (combo()->isEditable() && child->object() == combo()->lineEdit())
            return 1;
        return -1;
    }

    QAccessibleInterface *childAt(int x, int y) const override {
        QLineEdit *edit = combo()->lineEdit();
        if (edit && QRect(edit->mapToGlobal(QPoint(0, 0)), edit->size()).contains(x, y))
            return child(1);
        return nullptr;
    }

    // The edit has the keyboard while the box has the focus.
    QAccessibleInterface *focusChild() const override {
        if (combo()->isEditable() && combo()->hasFocus())
            return child(1);
        return QAccessibleWidget::focusChild();
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return combo()->currentText();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = combo()->isEditable();
        s.hasPopup = true;
        s.expandable = true;
        s.expanded = combo()->view()->isVisible();
        return s;
    }

    QStringList actionNames() const override {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &action) override {
        if (action == showMenuAction() || action == pressAction()) {
            if (combo()->view()->isVisible())
                combo()->hidePopup();
            else
                combo()->showPopup();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QComboBox *combo() const { return static_cast<QComboBox *>(widget()); }
};

QAccessibleInterface *editableComboAccessible(const QString &className, QObject *object) {
    if (className == QLatin1String(EditableCombo::staticMetaObject.className()) && object &&
        object->isWidgetType())
        return new EditableComboAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

EditableCombo::EditableCombo(const QString &accessibleName, QWidget *parent)
    : QComboBox(parent) {
    useAccessibleFactory(this, editableComboAccessible);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setAccessibleName(accessibleName);
    lineEdit()->setAccessibleName(accessibleName);
    guardText(this);
}

QComboBox *newEditableCombo(const char *objectName, const QString &accessibleName,
                            QWidget *parent) {
    auto *combo = new EditableCombo(accessibleName, parent);
    combo->setObjectName(QLatin1String(objectName));
    return combo;
}

void setComboText(QComboBox *combo, const QString &text) {
    combo->setEditText(text);
    if (QLineEdit *edit = combo->lineEdit())
        edit->setCursorPosition(0);
}
