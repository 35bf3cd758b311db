#pragma once

#include "messaging/TForm2.h"
#include "support/BoxRecorder.h"
#include "support/StoreTest.h"
#include "support/Text.h"

#include <QComboBox>

#include <memory>

// The SMS window over a small directory with offers and a bank account, and a card whose
// name and e-mail edits the test sets. Boxes are answered by the recorder.
class SmsWindowTest : public StoreTest {
protected:
    SmsWindowTest() {
        connection.connect();
        exec("INSERT INTO rehber (Id, adsoyad, gsmtel1, gsmtel2, eposta) VALUES "
             "(1, 'Ayşe Yılmaz', '05321234567', '05441112233', 'ayse@ornek.com.tr'), "
             "(2, 'Mehmet Kara', '05335556677', NULL, NULL), "
             "(3, 'Ayşe Yılmaz', '05009998877', '', NULL), "
             "(4, 'Yeni Müşteri', NULL, '05551230000', NULL)");
        exec("INSERT INTO teklif (referansno, rehberid, adsoyad, tarih, gecerlitar, toplam, "
             "indirim, kargotakip) VALUES "
             "('T-1', 1, 'Ayşe Yılmaz', '2026-03-05', '2099-12-31', 12500.50, 500, 'MNG-42'), "
             "('T-2', 3, 'Ayşe Yılmaz', '2019-12-02', '2020-01-01', 800, 0, ''), "
             "('T-3', 2, 'Mehmet Kara', '2026-02-01', '2099-06-30', 300, 0, NULL)");
        exec("INSERT INTO banka (bankaadi, hesapadi, hesapno, iban) VALUES "
             "('Garanti', 'Zefiran Bilişim Ltd.', '123-4567890', 'TR120001000200030004000506')");
        directory.setSQL("select * from rehber");
        directory.open();
    }

    void exec(const char *utf8Statement) { db.exec(win(utf8Statement)); }

    TForm2 &window() {
        if (!m_window)
            m_window = std::make_unique<TForm2>(
                connection, directory, [this] { return cardName; }, [this] { return cardEmail; },
                settings);
        return *m_window;
    }

    // Shows the window for the directory record with that Id, as the card's button does.
    TForm2 &showFor(int id) {
        EXPECT_TRUE(directory.locate("Id", QByteArray::number(id)));
        cardName = fromWin(directory.fieldByName("adsoyad").asString());
        cardEmail = fromWin(directory.fieldByName("eposta").asString());
        TForm2 &w = window();
        w.show();
        return w;
    }

    static QString fromWin(const QByteArray &bytes) { return cp1254::toUnicode(bytes); }

    static QStringList items(const QComboBox *box) {
        QStringList list;
        for (int i = 0; i < box->count(); ++i)
            list << box->itemText(i);
        return list;
    }

    BoxRecorder boxes;
    TZQuery directory{connection, QStringLiteral("ZQuery1")};
    QString cardName;
    QString cardEmail;
    SmsSettings settings;

private:
    std::unique_ptr<TForm2> m_window;
};
