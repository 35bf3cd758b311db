#include "controls/DatePicker.h"

#include "platform/SystemLocale.h"

#include <QCalendarWidget>
#include <QDateEdit>

void useSystemShortDate(QDateEdit *picker) {
    const QLocale locale = systemLocale();
    // The picker takes its format from the locale it was made with; a new locale alone does
    // not change it.
    picker->setLocale(locale);
    picker->setDisplayFormat(locale.dateFormat(QLocale::ShortFormat));
    if (QCalendarWidget *calendar = picker->calendarWidget())
        calendar->setLocale(locale);
}
