#pragma once

#include <QTabBar>
#include <QTabWidget>

// The tabs of a page control as assistive technology meets them: each tab says whether it
// is the active page (selected), and a change of page is announced, whoever made it.
class PageTabBar final : public QTabBar {
    Q_OBJECT
public:
    explicit PageTabBar(QWidget *parent = nullptr);

private:
    void announce(int current);

    int m_announced = -1;
};

// A tab widget with the tabs above.
class PageControl final : public QTabWidget {
    Q_OBJECT
public:
    explicit PageControl(QWidget *parent = nullptr);
};
