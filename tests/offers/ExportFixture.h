#pragma once

#include "WorkbookReader.h"

#include "store/TZQuery.h"
#include "support/BoxRecorder.h"
#include "support/FakeXdgOpen.h"
#include "support/StoreTest.h"
#include "support/Text.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <vector>

// A directory of the test's own, the search dataset on it, a data folder of the test's own,
// the message boxes answered and an xdg-open stand-in that opens nothing.
class ExportTest : public StoreTest {
protected:
    ExportTest()
        : ZQuery2(connection, QStringLiteral("ZQuery2")) {
        connection.connect();
        qputenv("ZEFIRAN_HOME", QFile::encodeName(folder()));
    }
    ~ExportTest() override { qunsetenv("ZEFIRAN_HOME"); }

    QString folder() const { return m_home.path(); }
    QString xmlPath() const { return folder() + QStringLiteral("/zefiranrehber.xml"); }
    QString exportsFolder() const { return folder() + QStringLiteral("/exports"); }
    // The files in the exports folder, hidden ones too, by name.
    QStringList exportFiles() const {
        return QDir(exportsFolder())
            .entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
    QByteArray xmlBytes() const {
        QFile file(xmlPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The texts of each customer's eight children, in order; fails the test where the file
    // is not a customers document with exactly those children.
    std::vector<std::vector<QString>> customersInXml() const {
        static const QStringList children = {QStringLiteral("adsoyad"), QStringLiteral("firma"),
                                             QStringLiteral("gsmtel1"), QStringLiteral("gsmtel2"),
                                             QStringLiteral("eposta"),  QStringLiteral("tarih"),
                                             QStringLiteral("grup"),    QStringLiteral("ili")};
        std::vector<std::vector<QString>> customers;
        QXmlStreamReader reader(xmlBytes());
        if (!reader.readNextStartElement() || reader.name() != u"customers" ||
            !reader.attributes().isEmpty()) {
            ADD_FAILURE() << "no customers element";
            return customers;
        }
        while (reader.readNextStartElement()) {
            EXPECT_EQ(reader.name(), u"customer");
            EXPECT_TRUE(reader.attributes().isEmpty());
            QStringList names;
            std::vector<QString> texts;
            while (reader.readNextStartElement()) {
                names << reader.name().toString();
                texts.push_back(reader.readElementText());
            }
            EXPECT_EQ(names, children);
            customers.push_back(texts);
        }
        EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
        return customers;
    }

    TZQuery ZQuery2;
    BoxRecorder boxes;
    FakeXdgOpen xdgOpen;

private:
    QTemporaryDir m_home;
};
