#pragma once

#include "app/TForm1.h"
#include "platform/Cp1254.h"
#include "support/BoxRecorder.h"
#include "support/Printing.h"
#include "support/TestDatabase.h"
#include "support/Text.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// The main window on a database of the test's own: a data folder with a settings file that
// points at the test server, a working folder with the item lists, and every message box
// answered and recorded.
class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() {
        qputenv("ZEFIRAN_HOME", QFile::encodeName(home()));
        m_oldWorkingDir = QDir::currentPath();
        QDir::setCurrent(m_work.path());
    }
    ~MainWindowTest() override {
        window.reset();
        QDir::setCurrent(m_oldWorkingDir);
        qunsetenv("ZEFIRAN_HOME");
    }

    QString home() const { return m_home.path() + QStringLiteral("/data"); }
    QString settingsPath() const { return home() + QStringLiteral("/cidsetup.ini"); }

    // Writes the settings file pointing at the test server.
    void writeSettings(const QByteArray &otherSections = {}) {
        writeSettingsWithPort(QByteArray::number(TestDatabase::port()), otherSections);
    }
    void writeSettingsWithPort(const QByteArray &port, const QByteArray &otherSections = {}) {
        QDir().mkpath(home());
        QFile file(settingsPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[MySql]\r\nServerName=" + TestDatabase::host().toUtf8() +
                   "\r\ndatabase=" + db.name().toUtf8() +
                   "\r\npass=" + TestDatabase::password().toUtf8() + "\r\nport=" + port +
                   "\r\nprotokol=mysql-5\r\nUserName=" + TestDatabase::user().toUtf8() + "\r\n" +
                   otherSections);
    }

    // Creates the main window (its creation runs the start-up) and shows it.
    TForm1 &start() {
        window = std::make_unique<TForm1>();
        window->show();
        return *window;
    }

    std::vector<QString> boxTexts() const { return recorder.texts(); }
    // The boxes after the device's start-up message, which every test without a device sees.
    std::vector<QString> boxTextsAfterStart() const {
        auto texts = boxTexts();
        if (!texts.empty() && texts.front() == QStringLiteral("Caller-ID Sürücüsü Yüklenmemiş!"))
            texts.erase(texts.begin());
        return texts;
    }

    TestDatabase db;
    std::unique_ptr<TForm1> window;
    BoxRecorder recorder;
    std::vector<dialogs::Box> &boxes = recorder.boxes;

private:
    QTemporaryDir m_home;
    QTemporaryDir m_work;
    QString m_oldWorkingDir;
};
