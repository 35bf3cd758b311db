#include "callerid/CallSpool.h"

#include "platform/Error.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QDateTime at(int hour, int minute, int second, int ms = 0) {
    return QDateTime(QDate(2026, 12, 10), QTime(hour, minute, second, ms));
}

class CallSpoolTest : public ::testing::Test {
protected:
    QString path() const { return dir.filePath(QStringLiteral("data/cidspool.txt")); }
    QByteArray fileText() const {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeFile(const QByteArray &text) {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    std::vector<QByteArray> numbersWaiting(const CallSpool &spool) {
        std::vector<QByteArray> numbers;
        for (const CallSpool::Call &call : spool.waiting())
            numbers.push_back(call.number);
        return numbers;
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(CallSpoolTest, HeldCallsWaitAcrossARestartUntilEachIsDone) {
    // Numbers as any device may deliver them: blanks, the escape character, line ends,
    // Windows-1254 letters, nothing at all.
    const std::vector<QByteArray> numbers = {"05321234567", "Gizli Numara", "50%\r\n",
                                             "\xde\xfd\xf0", ""};
    {
        CallSpool spool(path());
        EXPECT_TRUE(spool.empty());
        for (size_t i = 0; i < numbers.size(); ++i)
            spool.hold(at(14, 5, static_cast<int>(i), 123), numbers[i], i == 1);
        // Callers' numbers: readable by the user alone.
        const auto others =
            QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
        EXPECT_FALSE(QFile::permissions(path()) & others);
    }
    {
        CallSpool spool(path()); // the program started again
        ASSERT_EQ(numbersWaiting(spool), numbers);
        EXPECT_EQ(spool.waiting()[0].arrived, at(14, 5, 0, 123));
        EXPECT_FALSE(spool.waiting()[0].unsure);
        EXPECT_TRUE(spool.waiting()[1].unsure);
        const quint64 first = spool.waiting()[0].id;
        const quint64 third = spool.waiting()[2].id;
        spool.markDone(first);
        spool.markUnsure(third);
        spool.hold(at(14, 6, 0), "05329999999", false);
    }
    CallSpool spool(path());
    ASSERT_EQ(spool.waiting().size(), numbers.size());
    EXPECT_EQ(spool.waiting()[0].number, "Gizli Numara");
    EXPECT_EQ(spool.waiting()[1].number, "50%\r\n");
    EXPECT_TRUE(spool.waiting()[1].unsure);
    EXPECT_EQ(spool.waiting().back().number, "05329999999");
    EXPECT_GT(spool.waiting().back().id, spool.waiting()[0].id);
    while (!spool.empty())
        spool.markDone(spool.waiting().front().id);
    EXPECT_FALSE(QFile::exists(path())); // nothing waits: the file goes
    EXPECT_TRUE(CallSpool(path()).empty());
}

// A file that a crash or a hand cut short or changed: every call that can be read waits,
// and the lines that cannot be read stay in the file.
TEST_F(CallSpoolTest, LinesThatCannotBeReadAreSkippedAndKept) {
    const struct {
        const char *name;
        QByteArray text;
        std::vector<QByteArray> waiting;
        int unreadable;
    } cases[] = {
        {"cut short", "held 1 2026-12-10T14:05:00.000 111\nheld 2 2026-12-1", {"111"}, 1},
        {"done of another", "held 1 2026-12-10T14:05:00.000 111\ndone 7\n", {"111"}, 1},
        {"done twice", "held 1 2026-12-10T14:05:00.000 111\ndone 1\ndone 1\n", {}, 1},
        {"same id twice",
         "held 1 2026-12-10T14:05:00.000 111\nheld 1 2026-12-10T14:05:00.000 222\n",
         {"111"},
         1},
        {"bad time", "held 1 2026-13-10T14:05:00.000 111\n", {}, 1},
        {"bad ids",
         "held 0 2026-12-10T14:05:00.000 111\nheld +2 2026-12-10T14:05:00.000 2\n",
         {},
         2},
        {"extra field", "held 1 2026-12-10T14:05:00.000 111 x\n", {}, 1},
        {"unknown word", "kept 1\n\n\r\n", {}, 2},
    };
    for (const auto &c : cases) {
        const CallSpool::Contents contents = CallSpool::read(c.text);
        std::vector<QByteArray> waiting;
        for (const CallSpool::Call &call : contents.waiting)
            waiting.push_back(call.number);
        EXPECT_EQ(waiting, c.waiting) << c.name;
        EXPECT_EQ(contents.unreadableLines, c.unreadable) << c.name;
    }

    // A call held after a line that was cut short starts a line of its own.
    QDir().mkpath(dir.filePath(QStringLiteral("data")));
    writeFile("held 1 2026-12-10T14:05:00.000 111\nheld 2 2026-12-1");
    {
        CallSpool spool(path());
        spool.hold(at(14, 7, 0), "333", false);
        EXPECT_EQ(spool.waiting().back().id, 2u);
    }
    CallSpool spool(path());
    ASSERT_EQ(numbersWaiting(spool), (std::vector<QByteArray>{"111", "333"}));
    spool.markDone(spool.waiting()[0].id);
    spool.markDone(spool.waiting()[0].id);
    EXPECT_TRUE(spool.empty());
    EXPECT_TRUE(fileText().contains("held 2 2026-12-1\n")); // kept, not lost
}

TEST_F(CallSpoolTest, AFileThatCannotBeWrittenFailsTheHoldingAndKeepsNothing) {
    QFile blocker(dir.filePath(QStringLiteral("data")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    CallSpool spool(path());
    try {
        spool.hold(at(14, 5, 0), "111", false);
        ADD_FAILURE() << "held without a file";
    } catch (const Error &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Unable to write to ") + path());
    }
    EXPECT_TRUE(spool.empty());
}
