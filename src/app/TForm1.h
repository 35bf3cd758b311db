#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

#include "messaging/SmsSettings.h"
#include "store/TZConnection.h"
#include "store/TZQuery.h"

class CallKeeper;
class CallList;
class CustomerCard;
class DirectorySearch;
class MobileFeed;
class QLabel;
class QStatusBar;
class QTabWidget;
class QTimer;
class TCIDv5;

// The main window: the page control with the card, the search and the call list, the
// status bar, the one-second timer, the database connection with the four datasets, and
// the caller-ID device. Its creation runs the start-up (FormCreate); closing it runs the
// shutdown and ends the program.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    // Start-up and shutdown
    void FormCreate();
    void ZConnection1AfterConnect();
    void FormShow();
    void FormActivate();
    void FormClose();

    // Caller identification
    void Timer1Timer();
    // arrived: when the call reached the PC; the call is logged with this time.
    void CID_olay(const QString &DeviceID, const QString &Line, const QString &PhoneNumber,
                  const QString &DateTime, const QString &OtherText,
                  const QDateTime &arrived = QDateTime::currentDateTime());
    void CIDSignal();
    QByteArray arayankaydet(const QByteArray &number,
                            const QDateTime &arrived = QDateTime::currentDateTime());
    void fisyazdir();
    // The mobile caller feed's poll (callerid/MobileFeed), and whether the PC may be online.
    void mobilkontrol();
    bool internetvar();

    // The window that should become the export window's owner, set by the program entry.
    void setExportWindow(QWidget *window) { m_exportWindow = window; }
    // The SMS and offer windows that the card's buttons bring up, set by the program entry.
    void setSmsWindow(QWidget *window) { m_smsWindow = window; }
    void setOfferWindow(QWidget *window) { m_offerWindow = window; }

    TZConnection ZConnection1;
    TZQuery ZQuery1;
    TZQuery ZQuery2;
    TZQuery ZQuery3;
    TZQuery ZQuery4;

    QTabWidget *PageControl1;
    CustomerCard *TabSheet1;
    DirectorySearch *TabSheet2;
    CallList *TabSheet3;
    QStatusBar *StatusBar1;
    QLabel *StatusPanel;
    QTimer *Timer1;
    TCIDv5 *CIDv51 = nullptr; // the device; null when it could not be created
    // Registers the calls; holds those the database cannot take now.
    CallKeeper *callKeeper;

    // Kept from the settings file for the whole run.
    QString imeino;
    QString FeedUrl;
    bool PrintOK = false;
    QString DeviceID;
    SmsSettings smsSettings;
    // The device's answers at the last tick.
    QString deviceModel;
    QString deviceSerial;
    // The sound the feed plays; set when the window is shown.
    QString MediaPlayer1FileName;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void startDevice();
    void createFeed();
    void shutdown();

    bool m_shown = false;
    bool m_shutDown = false;
    QPointer<QWidget> m_exportWindow;
    QPointer<QWidget> m_smsWindow;
    QPointer<QWidget> m_offerWindow;
    QString m_reportedTickError;
    std::unique_ptr<MobileFeed> m_feed;
    // ZQuery3 is still where a held call left it: the call has no row, and no number yet.
    bool m_heldCallWithoutRow = false;
};
