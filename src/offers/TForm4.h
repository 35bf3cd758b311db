#pragma once

#include "platform/XmlDocument.h"

#include <QWidget>

class DesktopOpener;
class TZQuery;

// The export window. Each activation from another window of the program (the search tab's
// "XLS Export", or coming back from the main window) runs one complete export: the whole
// directory into "zefiranrehber.xml" and a new workbook in the data folder, walked through
// the main window's search dataset, which it leaves open on the directory; then the
// workbook opens in the desktop's spreadsheet program. The window itself shows nothing.
class TForm4 : public QWidget {
    Q_OBJECT
public:
    explicit TForm4(TZQuery &ZQuery2, QWidget *parent = nullptr);

    void FormActivate();

    // Opens the workbooks; it tells when a program took one, or failed to.
    DesktopOpener &opener() const { return *m_opener; }

    XmlDocument XMLDocument1;

private:
    TZQuery &ZQuery2;
    DesktopOpener *m_opener;
};
