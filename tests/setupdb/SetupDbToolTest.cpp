#include "SetupDbFixture.h"

#include <QFile>
#include <QProcess>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun runTool(const QStringList &arguments, const QProcessEnvironment &environment) {
    QProcess tool;
    tool.setProcessEnvironment(environment);
    tool.start(QStringLiteral(ZEFIRAN_SETUP_DB_BINARY), arguments);
    tool.closeWriteChannel();
    if (!tool.waitForFinished(60000))
        return {};
    return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1,
            QString::fromUtf8(tool.readAllStandardOutput()),
            QString::fromUtf8(tool.readAllStandardError())};
}

} // namespace

// The tool as it is run in a shop: options on the command line, the settings file in the
// data folder of the user who ran it.
class SetupDbToolTest : public SetupDbTest {
protected:
    QStringList serverArguments() const {
        return {u"--host"_s,           TestDatabase::host(),
                u"--port"_s,           QString::number(TestDatabase::port()),
                u"--admin-user"_s,     TestDatabase::user(),
                u"--admin-password"_s, TestDatabase::password(),
                u"--database"_s,       databaseName(),
                u"--user"_s,           userName()};
    }
    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(u"SUDO_USER"_s);
        env.insert(u"ZEFIRAN_HOME"_s, homePath() + u"/data"_s);
        return env;
    }
};

// Run as root through sudo by another user: the settings file is written with that user's
// rights, into that user's data folder, and belongs to that user.
TEST_F(SetupDbToolTest, ThroughSudoTheSettingsFileBelongsToTheInvokingUser) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root";
    const passwd *nobody = getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    // The invoking user may make the data folder here and read the schema.
    ASSERT_EQ(::chmod(QFile::encodeName(homePath()).constData(), 0777), 0);
    const QString schema = homePath() + u"/schema.sql"_s;
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZEFIRAN_SOURCE_DIR "/db/schema.sql"), schema));
    QProcessEnvironment env = environment();
    env.insert(u"SUDO_USER"_s, u"nobody"_s);

    const ToolRun first = runTool(serverArguments() << u"--schema"_s << schema, env);
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    struct stat file {};
    ASSERT_EQ(::stat(QFile::encodeName(settingsPath()).constData(), &file), 0);
    EXPECT_EQ(file.st_uid, nobody->pw_uid);
    EXPECT_EQ(file.st_mode & 07777, 0600u);
    struct stat folder {};
    ASSERT_EQ(::stat(QFile::encodeName(homePath() + u"/data"_s).constData(), &folder), 0);
    EXPECT_EQ(folder.st_uid, nobody->pw_uid);
    EXPECT_TRUE(first.out.contains(u"[MySql] bölümü yazıldı: "_s + settingsPath()))
        << first.out.toStdString();

    // The second run refuses, says why and fails.
    const ToolRun second = runTool(serverArguments() << u"--schema"_s << schema, env);
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_TRUE(second.err.startsWith(
        u"zefiran-setup-db: \"%1\" veritabanı zaten var"_s.arg(databaseName())))
        << second.err.toStdString();
}

TEST_F(SetupDbToolTest, BadUsageChangesNothingAndExitsWithTwo) {
    for (const QStringList &arguments : {QStringList{u"--port"_s, u"beş"_s},
                                         QStringList{u"--unknown"_s}, QStringList{u"cid602"_s}}) {
        const ToolRun run = runTool(arguments, environment());
        EXPECT_EQ(run.exitCode, 2) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(run.err.startsWith(u"zefiran-setup-db: "_s)) << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(settingsPath()));
}
