#pragma once

#include <QLabel>
#include <QString>

// A label that shows a count. Assistive technology finds it by its caption ("Kayıt sayısı")
// whatever it shows, and reads what it shows ("14", or "KS" before the first count) as its
// text and value, so that a screen reader says the caption and the count together. Setting
// the text tells assistive tools that the label changed.
class CountLabel final : public QLabel {
    Q_OBJECT
public:
    CountLabel(const QString &caption, const QString &text, QWidget *parent = nullptr);

    QString caption() const { return m_caption; }

private:
    QString m_caption;
};
