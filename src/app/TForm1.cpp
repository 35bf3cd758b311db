#include "app/TForm1.h"

#include "app/SettingsFile.h"
#include "callerid/CallKeeper.h"
#include "callerid/CallRegistration.h"
#include "callerid/MobileFeed.h"
#include "callerid/OnlineState.h"
#include "callerid/Receipt.h"
#include "callerid/TCIDv5.h"
#include "controls/Captioned.h"
#include "controls/DbText.h"
#include "controls/Dialogs.h"
#include "controls/LabeledEdit.h"
#include "controls/PageControl.h"
#include "controls/TextGuard.h"
#include "controls/WindowActivation.h"
#include "directory/CallList.h"
#include "directory/CustomerCard.h"
#include "directory/DirectorySearch.h"
#include "platform/Cp1254.h"
#include "platform/DataFolder.h"
#include "platform/Error.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// "'" + text + "' is not a valid integer value" unless the text is a decimal integer.
int decimalInteger(const QString &text) {
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok)
        throw Error(QStringLiteral("'") + text + QStringLiteral("' is not a valid integer value"));
    return value;
}

// The lines of a text file in the working directory, as items of a list.
QStringList linesOf(const QString &fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    for (QByteArray line : file.readAll().split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        lines << cp1254::toUnicode(line);
    }
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the file's last line break ends a line, it starts none
    return lines;
}

} // namespace

TForm1::TForm1(QWidget *parent)
    : QWidget(parent)
    , ZQuery1(ZConnection1, QStringLiteral("ZQuery1"))
    , ZQuery2(ZConnection1, QStringLiteral("ZQuery2"))
    , ZQuery3(ZConnection1, QStringLiteral("ZQuery3"))
    , ZQuery4(ZConnection1, QStringLiteral("ZQuery4")) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("ZEFİRAN DUDOVE PROGRAMI v2.0"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    QFont windowFont(QStringLiteral("Tahoma"));
    windowFont.setPixelSize(12);
    setFont(windowFont);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    // The connection's values until the settings file replaces them.
    ZConnection1.Protocol = QStringLiteral("mysql-5");
    ZConnection1.HostName = QStringLiteral("localhost");
    ZConnection1.Port = 0;
    ZConnection1.Database = QStringLiteral("tarnivex_crm");
    ZConnection1.User = QStringLiteral("root");
    ZConnection1.Password = QStringLiteral("583920");
    ZConnection1.AfterConnect = [this] {
        ZConnection1AfterConnect();
    };
    for (TZQuery *q : {&ZQuery1, &ZQuery2, &ZQuery3, &ZQuery4})
        q->setSQL(q == &ZQuery1 || q == &ZQuery2 ? "select * from rehber"
                                                 : "select * from arayanlar");
    ZQuery2.setFixedFields(DirectorySearch::ZQuery2Fields());

    PageControl1 = new PageControl(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    QFont tabFont = windowFont;
    tabFont.setPixelSize(19);
    PageControl1->tabBar()->setFont(tabFont);
    PageControl1->tabBar()->setCursor(Qt::PointingHandCursor);
    TabSheet1 = new CustomerCard(ZQuery1, ZQuery2, *PageControl1, PageControl1);
    TabSheet2 = new DirectorySearch(ZQuery1, ZQuery2, ZQuery4, *TabSheet1, PageControl1);
    TabSheet3 = new CallList(ZQuery3, ZQuery4, *TabSheet1, PageControl1);
    TabSheet3->DateTimePicker2->setDate(QDate(2014, 9, 16));
    PageControl1->addTab(TabSheet1,
                         themeIcon("x-office-address-book", QStyle::SP_FileDialogInfoView, this),
                         QStringLiteral("Müşteri Kartı"));
    PageControl1->addTab(TabSheet2,
                         themeIcon("system-search", QStyle::SP_FileDialogContentsView, this),
                         QStringLiteral("Kayıt Arama"));
    PageControl1->addTab(TabSheet3,
                         themeIcon("call-start", QStyle::SP_FileDialogDetailedView, this),
                         QStringLiteral("Çağrı Listesi"));
    PageControl1->setCurrentIndex(CustomerCard::CardPage);
    TabSheet1->fisyazdir = [this] {
        fisyazdir();
    };
    TabSheet1->shutdownAndQuit = [this] {
        shutdown();
        QApplication::quit();
    };
    TabSheet2->showExportWindow = [this] {
        if (m_exportWindow) {
            m_exportWindow->show();
            m_exportWindow->raise();
            m_exportWindow->activateWindow();
        }
    };
    const auto bringUp = [](QWidget *window) {
        if (window) {
            window->show();
            window->raise();
            window->activateWindow();
        }
    };
    TabSheet1->showSmsWindow = [this, bringUp] {
        bringUp(m_smsWindow);
    };
    TabSheet1->showOfferWindow = [this, bringUp] {
        bringUp(m_offerWindow);
    };

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusPanel = new QLabel(StatusBar1);
    StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
    StatusPanel->setAccessibleName(QStringLiteral("Durum"));
    StatusBar1->addWidget(StatusPanel, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 0);
    layout->addWidget(PageControl1, 1);
    layout->addWidget(StatusBar1);
    resize(791, 614);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(5000);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1->start();

    // Coming back to the main window from the program's other windows (not from a box).
    new WindowActivation(this, [this] {
        if (m_shown)
            FormActivate();
    });

    // Calls held while the database could not be reached are written as soon as it answers:
    // when the connection has come back (after the statement that brought it back), or when
    // the tick's probe finds the server.
    callKeeper = new CallKeeper(ZQuery1, ZQuery3, callSpoolFilePath(), this);
    callKeeper->tell = [this](const QString &text) {
        dialogs::showMessage(text, this);
    };
    callKeeper->report = [this](const QString &text) {
        dialogs::showError(text, this);
    };
    ZConnection1.AfterReconnect = [this] {
        QTimer::singleShot(0, callKeeper, &CallKeeper::writeHeldCalls);
    };
    connect(Timer1, &QTimer::timeout, callKeeper, &CallKeeper::tick);
    connect(&ZQuery3, &TZQuery::currentRowChanged, this, [this] { m_heldCallWithoutRow = false; });

    dialogs::guarded([this] { FormCreate(); });
}

TForm1::~TForm1() {
    shutdown();
}

void TForm1::FormCreate() {
    // Hot tracking: the tabs highlight under the mouse.
    PageControl1->tabBar()->setAttribute(Qt::WA_Hover);
    Timer1->setInterval(10000);
    startDevice();

    const CidSettings settings = loadSettings();
    imeino = settings.imeino;
    FeedUrl = settings.FeedUrl;
    createFeed();
    PrintOK = settings.printingEnabled;
    DeviceID = settings.DeviceID;
    smsSettings = settings.sms;

    if (!settings.ServerName.isEmpty()) {
        ZConnection1.Catalog = settings.database;
        ZConnection1.Database = settings.database;
        ZConnection1.HostName = settings.ServerName;
        ZConnection1.Password = settings.pass;
        ZConnection1.Port = decimalInteger(settings.port);
        ZConnection1.Protocol = settings.protokol;
        ZConnection1.User = settings.UserName;
        ZConnection1.connect();
    }
    TabSheet1->DateTimePicker1->setDate(QDate::currentDate());
    TabSheet3->DateTimePicker2->setDate(QDate::currentDate());
}

void TForm1::startDevice() {
    try {
        CIDv51 = new TCIDv5(this);
        // The device's address is a setting of its own, read before the others.
        CIDv51->setPort(readSettingsFile(settingsFilePath()).devicePort);
        connect(CIDv51, &TCIDv5::OnCallerID, this,
                [this](const QString &deviceId, const QString &line, const QString &number,
                       const QString &dateTime, const QString &otherText) {
                    const QDateTime arrived = CIDv51->callArrived();
                    dialogs::guarded(
                        [&] { CID_olay(deviceId, line, number, dateTime, otherText, arrived); },
                        this);
                });
        connect(CIDv51, &TCIDv5::OnSignalA, this, [this] { CIDSignal(); });
        CIDv51->StartDevice();
    } catch (const std::exception &) {
        dialogs::showMessage(QStringLiteral("Caller-ID Sürücüsü Yüklenmemiş!"), this);
    }
}

void TForm1::ZConnection1AfterConnect() {
    ZQuery1.setSQL("select * from rehber");
    ZQuery1.open();
    ZQuery2.setSQL("select * from rehber");
    ZQuery2.open();
    ZQuery3.setSQL("select * from arayanlar where tarih=:par1");
    ZQuery3.ParamByName("par1").setAsDate(TabSheet3->DateTimePicker2->date());
    ZQuery3.open();
}

void TForm1::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    dialogs::guarded([this] { FormShow(); }, this);
    dialogs::guarded([this] { FormActivate(); }, this);
}

void TForm1::FormShow() {
    Timer1->setInterval(1000);
    if (QFile::exists(QStringLiteral("phone.mp3")))
        MediaPlayer1FileName = QStringLiteral("phone.mp3");
    if (QFile::exists(QStringLiteral("gurup.txt"))) {
        TabSheet1->ComboBox1->clear();
        TabSheet1->ComboBox1->addItems(linesOf(QStringLiteral("gurup.txt")));
        TabSheet1->ComboBox1->setEditText(QString());
    }
    if (QFile::exists(QStringLiteral("referans.txt"))) {
        TabSheet1->ComboBox3->clear();
        TabSheet1->ComboBox3->addItems(linesOf(QStringLiteral("referans.txt")));
        TabSheet1->ComboBox3->setEditText(QString());
    }
}

void TForm1::FormActivate() {
    ZQuery3.setSQL("select * from arayanlar where tarih=:par1");
    ZQuery3.ParamByName("par1").setAsDate(TabSheet1->DateTimePicker1->date());
    ZQuery3.open();
    TabSheet1->Label7->setText(ZQuery1.active() ? QString::number(ZQuery1.recordCount())
                                                : QString());
}

void TForm1::FormClose() {
    shutdown();
}

void TForm1::closeEvent(QCloseEvent *event) {
    dialogs::guarded([this] { FormClose(); }, this);
    event->accept();
    QApplication::quit();
}

void TForm1::shutdown() {
    if (m_shutDown)
        return;
    m_shutDown = true;
    Timer1->stop();
    ZQuery1.close();
    ZQuery2.close();
    ZQuery3.close();
    ZConnection1.disconnect();
}

void TForm1::Timer1Timer() {
    // While the directory is not open there is nothing to count, and nothing to report.
    TabSheet1->Label7->setText(ZQuery1.active() ? QString::number(ZQuery1.recordCount())
                                                : QString());
    deviceModel.clear();
    if (CIDv51) {
        try {
            deviceModel = CIDv51->DeviceInfo(QStringLiteral("devicemodel"));
            deviceSerial = CIDv51->DeviceInfo(QStringLiteral("serial"));
            m_reportedTickError.clear();
        } catch (const Error &e) {
            // Reported once, not on every tick, until the device answers again.
            if (e.text() != m_reportedTickError) {
                m_reportedTickError = e.text();
                dialogs::showError(e.text(), this);
            }
            return;
        }
        StatusPanel->setText(deviceModel.isEmpty()
                                 ? QStringLiteral("Caller-ID Cihazı bağlı değil...")
                                 : QStringLiteral("Caller-ID Cihazı Aktif (") + deviceSerial +
                                       QLatin1Char(')'));
    }
    if (internetvar() && !imeino.isEmpty() && m_feed && m_feed->configured())
        mobilkontrol();
}

bool TForm1::internetvar() {
    return feedMayPoll(systemReachability());
}

void TForm1::mobilkontrol() {
    if (m_feed)
        m_feed->mobilkontrol();
}

void TForm1::createFeed() {
    MobileFeed::Settings settings;
    settings.baseUrl = FeedUrl;
    settings.imeino = imeino;
    settings.acknowledgementPath = dataFolder() + QStringLiteral("/cidsil.xml");
    MobileFeed::Hooks hooks;
    hooks.showStatus = [this](const QString &text) {
        StatusPanel->setText(text);
    };
    hooks.showFetchFailure = [this] {
        Timer1->stop();
        dialogs::showMessage(MobileFeed::kFetchFailureText, this);
        if (!m_shutDown)
            Timer1->start();
    };
    // While the device exists its status was written to the panel this tick: keep it.
    hooks.showFeedNote = [this](const QString &note) {
        const QString noted = QStringLiteral(" · ") + MobileFeed::kFeedNoteText;
        QString text = StatusPanel->text();
        if (note.isEmpty()) {
            if (text.endsWith(MobileFeed::kFeedNoteText))
                text.chop(text.endsWith(noted) ? noted.size() : MobileFeed::kFeedNoteText.size());
        } else if (!text.endsWith(note)) {
            text = CIDv51 && !text.isEmpty() ? text + noted : note;
        }
        StatusPanel->setText(text);
    };
    hooks.showError = [this](const QString &text) {
        dialogs::showError(text, this);
    };
    hooks.registerCall = [this](const QByteArray &number, const QDateTime &arrived) {
        arayankaydet(number, arrived);
    };
    m_feed = std::make_unique<MobileFeed>(settings, hooks);
}

void TForm1::CID_olay(const QString &, const QString &Line, const QString &PhoneNumber,
                      const QString &, const QString &, const QDateTime &arrived) {
    decimalInteger(Line);
    const QByteArray number = cp1254::fromUnicode(PhoneNumber);
    const QByteArray name = arayankaydet(number, arrived);
    if (PageControl1->currentIndex() != CustomerCard::CallListPage)
        return;
    TabSheet1->temizle();
    if (!name.isEmpty())
        TabSheet1->getir();
    else
        TabSheet1->LabeledEdit2->setText(cp1254::toUnicode(number));
    PageControl1->setCurrentIndex(CustomerCard::CardPage);
    if (PrintOK)
        fisyazdir();
}

void TForm1::CIDSignal() {}

QByteArray TForm1::arayankaydet(const QByteArray &number, const QDateTime &arrived) {
    const QByteArray name = callKeeper->registerCall(number, arrived);
    m_heldCallWithoutRow = callKeeper->lastCallHeld();
    return name;
}

void TForm1::fisyazdir() {
    ReceiptInput input;
    input.name = fromDb(ZQuery1.fieldByName("adsoyad").asString());
    input.phone1 = TabSheet1->LabeledEdit2->text();
    input.phone2 = TabSheet1->LabeledEdit3->text();
    input.phone3 = TabSheet1->LabeledEdit6->text();
    input.company = TabSheet1->LabeledEdit5->text();
    input.addressLines = receiptMemoLines(TabSheet1->Memo3->toPlainText());
    input.noteLines = receiptMemoLines(TabSheet1->Memo1->toPlainText());
    input.dateTime = receiptDateTimeText(QDateTime::currentDateTime());
    input.serialNumber =
        m_heldCallWithoutRow ? QString() : fromDb(ZQuery3.fieldByName("Id").asString());
    printReceipt(input);
}
