#pragma once

#include <QWidget>

#include <initializer_list>
#include <map>

class QToolButton;
class TZQuery;

// A row of buttons that moves in a dataset and acts on its current row. Each bar shows only
// the buttons it lists; a button is enabled when its action can do something.
class DBNavigator final : public QWidget {
    Q_OBJECT
public:
    enum class Button { First, Prior, Next, Last, Delete, Cancel, Refresh };

    DBNavigator(TZQuery &dataset, std::initializer_list<Button> buttons, QWidget *parent = nullptr);

    // Null for a button the bar does not show.
    QToolButton *button(Button which) const;

    // The button's action: first, prior, next, last; delete after "Delete record?" is
    // answered with OK; cancel the row's changes; run the statement again. Errors reach the
    // caller (the buttons show them in the application's error box).
    void click(Button which);

private:
    void updateButtons();

    TZQuery &m_dataset;
    std::map<Button, QToolButton *> m_buttons;
};
