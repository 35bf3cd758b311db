// Dates on the tabs in the system's short format, and in the Turkish one when the system has
// no locale chosen. The system's locale is read once per process, so each locale is tried in
// a run of this test program of its own, started with that environment and running only the
// test below.

#include "directory/CallList.h"
#include "directory/CustomerCard.h"
#include "platform/Cp1254.h"
#include "store/TZConnection.h"
#include "store/TZQuery.h"
#include "store/ValueText.h"

#include <QCalendarWidget>
#include <QCoreApplication>
#include <QDateEdit>
#include <QProcess>
#include <QTabWidget>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// In a run started by the test: the texts that run must show.
constexpr char expectedVariable[] = "ZEFIRAN_TEST_EXPECTED_DATES";

// What the tabs show for 10 December 2026: the card's and the call list's date pickers, a
// date cell of a grid, and the name of December in the pickers' calendar.
QStringList shownDates() {
    TZConnection connection;
    TZQuery ZQuery1(connection, u"ZQuery1"_s), ZQuery2(connection, u"ZQuery2"_s),
        ZQuery3(connection, u"ZQuery3"_s), ZQuery4(connection, u"ZQuery4"_s);
    QTabWidget pages;
    auto *card = new CustomerCard(ZQuery1, ZQuery2, pages, &pages);
    auto *calls = new CallList(ZQuery3, ZQuery4, *card, &pages);
    const QDate day(2026, 12, 10);
    card->DateTimePicker1->setDate(day);
    calls->DateTimePicker2->setDate(day);
    return {card->DateTimePicker1->text(), calls->DateTimePicker2->text(),
            cp1254::toUnicode(valuetext::asText(FieldType::Date, "2026-12-10")),
            calls->DateTimePicker2->calendarWidget()->locale().monthName(12)};
}

QString thisTest() {
    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    return QString::fromLatin1(info->test_suite_name()) + u'.' + QString::fromLatin1(info->name());
}

} // namespace

TEST(DateFormatTest, DatesFollowTheSystemsShortFormatTurkishWhenNoneIsChosen) {
    if (const QByteArray expected = qgetenv(expectedVariable); !expected.isEmpty()) {
        EXPECT_EQ(shownDates().join(u'|').toStdString(), expected.toStdString());
        return;
    }
    struct Case {
        QStringList environment; // NAME=value
        QStringList shown;
    };
    const QStringList turkish{u"10.12.2026"_s, u"10.12.2026"_s, u"10.12.2026"_s, u"Aralık"_s};
    const Case cases[] = {
        {{u"LANG=C"_s}, turkish},
        {{u"LC_ALL=POSIX"_s}, turkish},
        {{}, turkish}, // no locale variable at all
        {{u"LANG=C.UTF-8"_s}, turkish},
        {{u"LANG=tr_TR.UTF-8"_s}, turkish},
        {{u"LANG=en_US.UTF-8"_s}, {u"12/10/26"_s, u"12/10/26"_s, u"12/10/26"_s, u"December"_s}},
        {{u"LANG=de_DE.UTF-8"_s}, {u"10.12.26"_s, u"10.12.26"_s, u"10.12.26"_s, u"Dezember"_s}},
    };
    for (const Case &c : cases) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString &name : environment.keys()) {
            if (name == u"LANG"_s || name == u"LANGUAGE"_s || name.startsWith(u"LC_"_s))
                environment.remove(name);
        }
        for (const QString &setting : c.environment)
            environment.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
        environment.insert(QLatin1String(expectedVariable), c.shown.join(u'|'));
        QProcess run;
        run.setProcessEnvironment(environment);
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.start(QCoreApplication::applicationFilePath(), {u"--gtest_filter="_s + thisTest()});
        ASSERT_TRUE(run.waitForFinished(60000));
        const QString what = c.environment.isEmpty() ? u"no locale"_s : c.environment.join(u' ');
        EXPECT_EQ(run.exitStatus(), QProcess::NormalExit) << what.toStdString();
        EXPECT_EQ(run.exitCode(), 0) << what.toStdString() << "\n" << run.readAll().toStdString();
    }
}
