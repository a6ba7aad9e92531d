#include "common/FixedFormat.h"
#include "weather/MoonPhases.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>
#include <algorithm>
#include <cmath>

namespace {

// Every phase of 2000 to 2019 as an ephemeris gives it, in UTC.
const QString AlmanacFile = QStringLiteral(NIMBULON_TEST_DATA "/data/moon-phases-2000-2019.json");

// Within this of the almanac, in minutes: the series leave out the smaller
// terms and the difference between dynamical and universal time.
constexpr double ToleranceMinutes = 5;

constexpr double MeanLunation = 29.530589;

double MoonDays(const QDateTime& dateTime)
{
    return pas_lib::DateTimeToDays(dateTime, MoonClockOffset);
}

QDateTime Cet(const QString& text)
{
    return QDateTime(QDate::fromString(text.left(10), Qt::ISODate),
                     QTime::fromString(text.mid(11), QStringLiteral("HH:mm")), Qt::OffsetFromUTC,
                     MoonClockOffset);
}

} // namespace

class TestMoonPhases : public QObject
{
    Q_OBJECT
private slots:
    void almanac_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("phase");
        QTest::newRow("new moon") << "new" << 0;
        QTest::newRow("first quarter") << "first_quarter" << 1;
        QTest::newRow("full moon") << "full" << 2;
        QTest::newRow("last quarter") << "last_quarter" << 3;
    }
    // Every phase of twenty years lies within minutes of the almanac, taken
    // from the lunation that starts nearest to it.
    void almanac()
    {
        QFETCH(QString, kind);
        QFETCH(int, phase);
        QFile file(AlmanacFile);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(AlmanacFile));
        const QJsonArray entries = QJsonDocument::fromJson(file.readAll())["phases"].toArray();
        int count = 0;
        double worst = 0;
        QString worstAt;
        for (const QJsonValue& entry : entries) {
            if (entry["phase"].toString() != kind)
                continue;
            const QDateTime published = QDateTime::fromString(entry["utc"].toString(), Qt::ISODate);
            QVERIFY(published.isValid());
            const double days = MoonDays(published);
            const double computed = MoonPhaseDates(days - phase * MeanLunation / 4)[phase];
            const double minutes = std::abs(computed - days) * 24 * 60;
            if (minutes > worst) {
                worst = minutes;
                worstAt = entry["utc"].toString();
            }
            ++count;
        }
        QVERIFY(count >= 240);
        QVERIFY2(worst <= ToleranceMinutes,
                 qPrintable(QStringLiteral("%1 minutes off at %2").arg(worst).arg(worstAt)));
    }

    void panel_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QStringList>("dayNames");
        QTest::addColumn<QStringList>("dates");
        QTest::addColumn<int>("highlighted");
        // The almanac's times on the moon clock, to the minute.
        QTest::addColumn<QStringList>("times");
        QTest::newRow("8 June 2009: full moon of yesterday stays")
            << QDate(2009, 6, 8) << QStringList{"Pon", "Pon", "Ned", "Pon"}
            << QStringList{"22.06", "29.06", "07.06", "15.06"} << -1
            << QStringList{"2009-06-22 20:35", "2009-06-29 12:28", "2009-06-07 19:12",
                           "2009-06-15 23:15"};
        // The last quarter five days ahead, not next month's.
        QTest::newRow("10 June 2009: the last quarter still ahead")
            << QDate(2009, 6, 10) << QStringList{"Pon", "Pon", "Tor", "Pon"}
            << QStringList{"22.06", "29.06", "07.07", "15.06"} << -1
            << QStringList{"2009-06-22 20:35", "2009-06-29 12:28", "2009-07-07 10:21",
                           "2009-06-15 23:15"};
        QTest::newRow("15 June 2009: the last quarter's own day highlights it")
            << QDate(2009, 6, 15) << QStringList{"Pon", "Pon", "Tor", "Pon"}
            << QStringList{"22.06", "29.06", "07.07", "15.06"} << 3
            << QStringList{"2009-06-22 20:35", "2009-06-29 12:28", "2009-07-07 10:21",
                           "2009-06-15 23:15"};
        QTest::newRow("full moon at 23:38 UT is the next day")
            << QDate(2013, 10, 18) << QStringList{"Ned", "Ned", "Sob", "Ned"}
            << QStringList{"03.11", "10.11", "19.10", "27.10"} << -1
            << QStringList{"2013-11-03 13:50", "2013-11-10 06:57", "2013-10-19 00:38",
                           "2013-10-27 00:40"};
        QTest::newRow("and that next day highlights it")
            << QDate(2013, 10, 19) << QStringList{"Ned", "Ned", "Sob", "Ned"}
            << QStringList{"03.11", "10.11", "19.10", "27.10"} << 2
            << QStringList{"2013-11-03 13:50", "2013-11-10 06:57", "2013-10-19 00:38",
                           "2013-10-27 00:40"};
        QTest::newRow("full moon day, quarter at 23:21 UT")
            << QDate(2000, 1, 21) << QStringList{"Sob", "Ned", "Pet", "Pet"}
            << QStringList{"05.02", "13.02", "21.01", "28.01"} << 2
            << QStringList{"2000-02-05 14:03", "2000-02-13 00:21", "2000-01-21 05:40",
                           "2000-01-28 08:57"};
    }
    void panel()
    {
        QFETCH(QDate, today);
        QFETCH(QStringList, dayNames);
        QFETCH(QStringList, dates);
        QFETCH(int, highlighted);
        QFETCH(QStringList, times);
        const auto labels = MoonPanelLabels(today);
        for (int phase = 0; phase < MoonPhaseCount; ++phase) {
            const TMoonPhaseLabel& label = labels[phase];
            QVERIFY(label.labelled);
            QCOMPARE(label.dayName, dayNames[phase]);
            QCOMPARE(label.date, dates[phase]);
            QCOMPARE(label.today, phase == highlighted);
            const qint64 off = MoonClock(label.time).secsTo(Cet(times[phase]));
            QVERIFY2(std::abs(off) <= ToleranceMinutes * 60, qPrintable(times[phase]));
        }
    }

    // On the day of every phase of twenty years the panel shows that phase,
    // highlighted; phases within minutes of midnight may fall on either day.
    void everyPhaseOnItsDay()
    {
        QFile file(AlmanacFile);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(AlmanacFile));
        const QJsonArray entries = QJsonDocument::fromJson(file.readAll())["phases"].toArray();
        const QStringList kinds{"new", "first_quarter", "full", "last_quarter"};
        int checked = 0;
        for (const QJsonValue& entry : entries) {
            const QDateTime utc = QDateTime::fromString(entry["utc"].toString(), Qt::ISODate);
            const QDateTime cet = utc.toOffsetFromUtc(MoonClockOffset);
            const int minuteOfDay = cet.time().hour() * 60 + cet.time().minute();
            if (minuteOfDay < ToleranceMinutes || minuteOfDay > 24 * 60 - ToleranceMinutes)
                continue;
            const int phase = int(kinds.indexOf(entry["phase"].toString()));
            const auto labels = MoonPanelLabels(cet.date());
            QVERIFY2(
                labels[phase].today && labels[phase].date == cet.toString(QStringLiteral("dd.MM")),
                qPrintable(entry["phase"].toString() + QLatin1Char(' ') + entry["utc"].toString()));
            ++checked;
        }
        QVERIFY(checked > 980);
    }

    void dayNames_data()
    {
        QTest::addColumn<QDateTime>("dateTime");
        QTest::addColumn<int>("length");
        QTest::addColumn<QChar>("mode");
        QTest::addColumn<QString>("name");
        const QDateTime thursday(QDate(2009, 6, 11), QTime(15, 0), Qt::OffsetFromUTC,
                                 MoonClockOffset);
        QTest::newRow("short, first capital") << thursday << 3 << QChar(u'1') << "Čet";
        QTest::newRow("whole, capitals") << thursday << 0 << QChar(u'U') << "ČETRTEK";
        QTest::newRow("lower-case u") << thursday << 3 << QChar(u'u') << "ČET";
        QTest::newRow("other mode") << thursday << 0 << QChar(u'x') << "četrtek";
        QTest::newRow("longer than the name") << thursday << 20 << QChar(u'1') << "Četrtek";
        QTest::newRow("Sunday, late evening")
            << QDateTime(QDate(2009, 6, 7), QTime(23, 59), Qt::OffsetFromUTC, MoonClockOffset) << 3
            << QChar(u'1') << "Ned";
        QTest::newRow("day zero") << QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::OffsetFromUTC,
                                               MoonClockOffset)
                                  << 0 << QChar(u'1') << "Sobota";
    }
    void dayNames()
    {
        QFETCH(QDateTime, dateTime);
        QFETCH(int, length);
        QFETCH(QChar, mode);
        QFETCH(QString, name);
        QCOMPARE(DayName(length, mode, MoonDays(dateTime)), name);
    }

    // Numbers that name no date give no phases and no name.
    void outOfRange()
    {
        const auto phases = MoonPhaseDates(qQNaN());
        QVERIFY(std::all_of(phases.begin(), phases.end(), [](double t) { return std::isnan(t); }));
        QCOMPARE(DayName(3, u'1', 1e12), QString());
        QVERIFY(!MoonPanelLabels(QDate())[0].labelled);
    }
};

QTEST_GUILESS_MAIN(TestMoonPhases)
#include "tst_moonphases.moc"
