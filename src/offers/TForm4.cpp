#include "offers/TForm4.h"

#include "controls/Dialogs.h"
#include "controls/WindowActivation.h"
#include "offers/DesktopOpener.h"
#include "offers/DirectoryExport.h"
#include "platform/DataFolder.h"

#include <QApplication>

namespace {

// The hourglass while it lives, the cursor as it was afterwards, also when the export fails.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { restore(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
    void restore() {
        if (m_set)
            QApplication::restoreOverrideCursor();
        m_set = false;
    }

private:
    bool m_set = true;
};

} // namespace

TForm4::TForm4(TZQuery &ZQuery2, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , ZQuery2(ZQuery2)
    , m_opener(new DesktopOpener(this)) {
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(QStringLiteral("Form4"));
    setGeometry(192, 125, 928, 480);
    connect(m_opener, &DesktopOpener::failed, this,
            [this](const QString &, const QString &text) { dialogs::showError(text, this); });
    new WindowActivation(this, [this] { FormActivate(); });
}

void TForm4::FormActivate() {
    WaitCursor hourglass;
    DirectoryExport directoryExport(ZQuery2, XMLDocument1, dataFolder());
    const QString workbook = directoryExport.run();
    hourglass.restore();
    m_opener->open(workbook);
}
