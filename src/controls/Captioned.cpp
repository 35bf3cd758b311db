#include "controls/Captioned.h"

#include "controls/EditableCombo.h"
#include "controls/LabeledEdit.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

QString accessibleCaption(const QString &caption) {
    QString name = caption.trimmed();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    return name.trimmed();
}

QIcon themeIcon(const char *name, QStyle::StandardPixmap fallback, const QWidget *widget) {
    return QIcon::fromTheme(QLatin1String(name), widget->style()->standardIcon(fallback));
}

LabeledEdit *newLabeledEdit(const char *name, const QString &caption, QWidget *parent) {
    auto *edit = new LabeledEdit(caption, parent);
    edit->setObjectName(QLatin1String(name));
    edit->edit()->setObjectName(QLatin1String(name) + QLatin1String("Edit"));
    return edit;
}

QPushButton *newButton(const char *name, const QString &caption, const QIcon &icon,
                       QWidget *parent) {
    auto *button = new QPushButton(icon, caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAccessibleName(caption);
    return button;
}

QComboBox *newCaptionedCombo(const char *name, const char *labelName, const QString &caption,
                             QLabel *&label, QWidget *parent) {
    label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(labelName));
    QComboBox *box = newEditableCombo(name, accessibleCaption(caption), parent);
    label->setBuddy(box);
    return box;
}
