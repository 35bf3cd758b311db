#include "app/InstalledStart.h"
#include "app/TForm1.h"
#include "controls/LabeledEdit.h"
#include "directory/CustomerCard.h"
#include "messaging/TForm2.h"
#include "offers/TForm3.h"
#include "offers/TForm4.h"
#include "platform/DataFolder.h"
#include "platform/HttpRequest.h"
#include "platform/ShippedFolder.h"

#include <QApplication>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("zefiran"));
    // The desktop entry's name, so that the desktop shows its icon for the window.
    app.setDesktopFileName(QStringLiteral("tr.com.zefiran.Zefiran"));
    enterDataFolder(shippedFolder(), dataFolder());
    // On Windows the caller-ID device, XML and automation needed the component runtime here;
    // of their replacements only the HTTP client wants its set-up before the first request.
    http::globalInit();
    TForm1 form1;
    const CustomerCard *card = form1.TabSheet1;
    TForm2 form2(
        form1.ZConnection1, form1.ZQuery1, [card] { return card->LabeledEdit1->text(); },
        [card] { return card->LabeledEdit4->text(); }, form1.smsSettings);
    TForm3 form3(form1.ZConnection1, form1.ZQuery1);
    TForm4 form4(form1.ZQuery2);
    form1.setExportWindow(&form4);
    form1.setSmsWindow(&form2);
    form1.setOfferWindow(&form3);
    form1.show();
    return app.exec();
}
