#pragma once

class QDateEdit;

// The date picker shows the system's short date format (the Turkish one when the system has
// no locale chosen, see systemLocale), and its calendar names the months and days in the same
// language.
void useSystemShortDate(QDateEdit *picker);
