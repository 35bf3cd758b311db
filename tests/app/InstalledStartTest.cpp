#include "app/InstalledStart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

using namespace Qt::StringLiterals;

namespace {

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

QByteArray readFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// An installation's shipped folder with the three files, and a data folder to fill.
class InstalledStartTest : public ::testing::Test {
protected:
    InstalledStartTest() {
        QDir().mkpath(shipped());
        writeFile(shipped() + u"/gurup.txt"_s, "Bayi\r\nM\xfc\xfeteri\r\n");
        writeFile(shipped() + u"/referans.txt"_s, "Fuar\r\n");
        writeFile(shipped() + u"/phone.mp3"_s, "ID3 ring");
        // Installed files are not the user's to change.
        for (const QString &name : workingFolderFiles())
            QFile::setPermissions(shipped() + u'/' + name, QFile::ReadOwner | QFile::ReadOther);
    }

    QString shipped() const { return m_root.path() + u"/usr/share/zefiran"_s; }
    QString data() const { return m_root.path() + u"/home/.local/share/zefiran"_s; }

private:
    QTemporaryDir m_root;
};

} // namespace

// What the data folder holds before the start, and what it holds after it: the user's own
// copies stay as they are, the missing files come from the installation.
TEST_F(InstalledStartTest, CopiesOnlyTheFilesTheDataFolderLacks) {
    struct Case {
        const char *name;
        std::map<QString, QByteArray> before;
        QStringList copied;
    };
    const QByteArray ownGroups = "Kendi grubum\r\n";
    const QByteArray ownSound = "my ring";
    const std::vector<Case> cases = {
        {"no data folder yet", {}, {u"gurup.txt"_s, u"referans.txt"_s, u"phone.mp3"_s}},
        {"own group list", {{u"gurup.txt"_s, ownGroups}}, {u"referans.txt"_s, u"phone.mp3"_s}},
        {"an emptied referral list is the user's choice",
         {{u"referans.txt"_s, QByteArray()}},
         {u"gurup.txt"_s, u"phone.mp3"_s}},
        {"everything own",
         {{u"gurup.txt"_s, ownGroups}, {u"referans.txt"_s, ""}, {u"phone.mp3"_s, ownSound}},
         {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QDir(data()).removeRecursively();
        if (!c.before.empty())
            QDir().mkpath(data());
        for (const auto &[name, bytes] : c.before)
            writeFile(data() + u'/' + name, bytes);

        EXPECT_EQ(copyShippedFiles(shipped(), data()), c.copied);
        for (const QString &name : workingFolderFiles()) {
            const QString path = data() + u'/' + name;
            const auto own = c.before.find(name);
            EXPECT_EQ(readFile(path),
                      own != c.before.end() ? own->second : readFile(shipped() + u'/' + name))
                << name.toStdString();
            EXPECT_TRUE(QFileInfo(path).permissions() & QFile::WriteOwner) << name.toStdString();
        }
        // A second start finds everything there and copies nothing.
        EXPECT_EQ(copyShippedFiles(shipped(), data()), QStringList());
    }
}

TEST_F(InstalledStartTest, AFileTheInstallationLacksIsLeftOut) {
    QFile::remove(shipped() + u"/phone.mp3"_s);
    EXPECT_EQ(copyShippedFiles(shipped(), data()),
              (QStringList{u"gurup.txt"_s, u"referans.txt"_s}));
    EXPECT_FALSE(QFileInfo::exists(data() + u"/phone.mp3"_s));
}

class WorkingDirectoryTest : public InstalledStartTest {
protected:
    WorkingDirectoryTest()
        : m_old(QDir::currentPath()) {}
    ~WorkingDirectoryTest() override { QDir::setCurrent(m_old); }

private:
    QString m_old;
};

TEST_F(WorkingDirectoryTest, AnInstalledProgramStartsInItsDataFolder) {
    ASSERT_TRUE(enterDataFolder(shipped(), data()));
    EXPECT_EQ(QFileInfo(QDir::currentPath()).canonicalFilePath(),
              QFileInfo(data()).canonicalFilePath());
    // The program reads its lists by their relative names.
    EXPECT_EQ(readFile(u"gurup.txt"_s), readFile(shipped() + u"/gurup.txt"_s));
}

TEST_F(WorkingDirectoryTest, AProgramThatIsNotInstalledStaysWhereItWasStarted) {
    const QString before = QDir::currentPath();
    EXPECT_FALSE(enterDataFolder(QString(), data()));
    EXPECT_EQ(QDir::currentPath(), before);
    EXPECT_FALSE(QFileInfo::exists(data()));
}

// A data folder that cannot be made (a file stands where its parent folder should be): the
// program starts where it was started, and the settings step reports the folder.
TEST_F(WorkingDirectoryTest, ADataFolderThatCannotBeMadeKeepsTheWorkingDirectory) {
    const QString blocked = QFileInfo(data()).absolutePath();
    QDir().mkpath(QFileInfo(blocked).absolutePath());
    writeFile(blocked, "not a folder");
    const QString before = QDir::currentPath();
    EXPECT_FALSE(enterDataFolder(shipped(), data()));
    EXPECT_EQ(QDir::currentPath(), before);
}
