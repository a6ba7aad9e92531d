#include "tray/TrayRules.h"

#include <QFontInfo>
#include <QPalette>
#include <QtTest>

using Records = std::array<CurrentConditions, pas_lib::StationKindCount>;

namespace {

// Records with a temperature for the kinds listed.
Records WithData(std::initializer_list<int> kinds)
{
    Records records;
    for (int kind : kinds)
        records[size_t(kind)].temperature = QStringLiteral("%1°").arg(kind + 10);
    return records;
}

} // namespace

// What the tray icon shows, decided without any widget.
class TestTrayRules : public QObject
{
    Q_OBJECT

private slots:
    void mapWeatherToIcon_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("night");
        // The exact descriptions.
        const QList<std::tuple<const char*, int, int>> exact{
            {"jasno", 0, 17},
            {"pretežno jasno", 1, 18},
            {"rahlo oblačno", 1, 18},
            {"delno oblačno", 2, 19},
            {"zmerno oblačno", 2, 19},
            {"pretežno oblačno", 3, 20},
            {"oblačno", 4, 4},
            {"rahlo rosi", 6, 6},
            {"rosi", 6, 6},
            {"po nevihti", 9, 9},
            {"nevihta", 9, 9},
            {"ploha", 8, 8},
            {"manjša ploha", 7, 7},
            {"grmi", 9, 9},
            {"megla", 5, 5},
            {"megla v pasovih", 5, 5},
            {"megla v okolici", 5, 5},
            {"rahlo dežuje", 7, 7},
            {"dežuje", 8, 8},
            {"rahlo sneži", 10, 10},
            {"sneži", 11, 11},
            {"sneg", 11, 11},
        };
        for (const auto& [text, day, night] : exact)
            QTest::addRow("= %s", text) << QString::fromUtf8(text) << day << night;
        // The substring rules give day pictures at any hour.
        QTest::newRow("oblačn") << "spremenljivo oblačno" << 3 << 3;
        QTest::newRow("megl") << "meglica" << 5 << 5;
        QTest::newRow("megl before rosi") << "rahlo rosi, megla" << 5 << 5;
        QTest::newRow("rosi") << "občasno rosi" << 6 << 6;
        QTest::newRow("sodr") << "sodra" << 12 << 12;
        QTest::newRow("neviht") << "nevihte v okolici" << 9 << 9;
        QTest::newRow("ploh") << "plohe" << 8 << 8;
        QTest::newRow("dež") << "močan dež" << 8 << 8;
        QTest::newRow("sne") << "sneženje" << 10 << 10;
        QTest::newRow("jasn") << "delno jasno" << 1 << 1;
        // The edge cases.
        QTest::newRow("not exact: substring") << "pretežno oblačno, megla" << 3 << 3;
        QTest::newRow("dež before sne") << "dež s snegom" << 8 << 8;
        QTest::newRow("dežjem") << "sneg z dežjem" << 8 << 8;
        QTest::newRow("toča") << "toča" << 0 << 0;
        QTest::newRow("capital J") << "Jasno" << 0 << 0;
        QTest::newRow("capitals") << "OBLAČNO" << 0 << 0;
        QTest::newRow("blank after") << "jasno " << 1 << 1;
        QTest::newRow("empty") << "" << 0 << 0;
    }
    void mapWeatherToIcon()
    {
        QFETCH(QString, description);
        QFETCH(int, day);
        QFETCH(int, night);
        QCOMPARE(pas_lib::MapWeatherToIcon(description, false), day);
        QCOMPARE(pas_lib::MapWeatherToIcon(description, true), night);
    }

    void night_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<double>("sunrise");
        QTest::addColumn<double>("sunset");
        QTest::addColumn<bool>("night");
        QTest::newRow("noon") << QTime(12, 0) << 0.25 << 0.84 << false;
        QTest::newRow("after sunset") << QTime(20, 17) << 0.25 << 0.84 << true;
        QTest::newRow("at sunset") << QTime(20, 9, 36) << 0.25 << 0.84 << false;
        QTest::newRow("before sunrise") << QTime(5, 59) << 0.25 << 0.84 << true;
        QTest::newRow("at sunrise") << QTime(6, 0) << 0.25 << 0.84 << false;
        // Before any sun time is read, all but midnight itself is night.
        QTest::newRow("unknown, midnight") << QTime(0, 0) << 0.0 << 0.0 << false;
        QTest::newRow("unknown, a second later") << QTime(0, 0, 1) << 0.0 << 0.0 << true;
        QTest::newRow("unknown, noon") << QTime(12, 0) << 0.0 << 0.0 << true;
    }
    void night()
    {
        QFETCH(QTime, time);
        QFETCH(double, sunrise);
        QFETCH(double, sunset);
        QFETCH(bool, night);
        QCOMPARE(pas_lib::IsNight(pas_lib::TimeOfDay(time), sunrise, sunset), night);
    }

    // "pretežno jasno" after sunset gives the moon with a small cloud.
    void nightPictureAfterSunset()
    {
        const bool night = pas_lib::IsNight(pas_lib::TimeOfDay(QTime(22, 30)), 0.24, 0.86);
        QCOMPARE(pas_lib::MapWeatherToIcon(QStringLiteral("pretežno jasno"), night), 18);
    }

    void trayStationKind_data()
    {
        QTest::addColumn<int>("tipPostaje");
        QTest::addColumn<Records>("records");
        QTest::addColumn<int>("kind");
        QTest::newRow("0 with data") << 0 << WithData({0}) << 0;
        QTest::newRow("0 without: 1") << 0 << WithData({1, 2}) << 1;
        QTest::newRow("0 without, 1 empty too: 1") << 0 << WithData({2}) << 1;
        QTest::newRow("1 with data") << 1 << WithData({1}) << 1;
        QTest::newRow("1 without: 0") << 1 << WithData({0, 2}) << 0;
        QTest::newRow("2 with data") << 2 << WithData({2}) << 2;
        QTest::newRow("2 without: 0, not 1") << 2 << WithData({1}) << 0;
        QTest::newRow("2 without, nothing at all: 0") << 2 << WithData({}) << 0;
        QTest::newRow("unknown kind: 0") << 7 << WithData({0, 1, 2}) << 0;
        QTest::newRow("negative kind: 0") << -1 << WithData({0, 1, 2}) << 0;
    }
    void trayStationKind()
    {
        QFETCH(int, tipPostaje);
        QFETCH(Records, records);
        QFETCH(int, kind);
        QCOMPARE(pas_lib::TrayStationKind(tipPostaje, records), kind);
    }

    void weatherSourceKind_data()
    {
        QTest::addColumn<int>("tipPostaje");
        QTest::addColumn<bool>("vremeOpazovalne");
        QTest::addColumn<int>("kind");
        QTest::newRow("automatic, observation weather") << 1 << true << 0;
        QTest::newRow("automatic, its own weather") << 1 << false << 1;
        QTest::newRow("amateur, its own weather") << 2 << false << 2;
        QTest::newRow("observation") << 0 << false << 0;
        QTest::newRow("unknown kind") << 9 << false << 0;
    }
    void weatherSourceKind()
    {
        QFETCH(int, tipPostaje);
        QFETCH(bool, vremeOpazovalne);
        QFETCH(int, kind);
        QCOMPARE(pas_lib::WeatherSourceKind(tipPostaje, vremeOpazovalne), kind);
    }

    void temperatureText_data()
    {
        QTest::addColumn<QString>("temperature");
        QTest::addColumn<bool>("degreeSign");
        QTest::addColumn<QString>("text");
        QTest::newRow("without the sign") << "12°" << false << "12";
        QTest::newRow("with the sign") << "12°" << true << "12°";
        QTest::newRow("below zero") << "-3°" << false << "-3";
        QTest::newRow("no data") << "" << false << "NA";
        QTest::newRow("no data, with the sign") << "" << true << "NA";
        QTest::newRow("only the sign") << "°" << false << "NA";
    }
    void temperatureText()
    {
        QFETCH(QString, temperature);
        QFETCH(bool, degreeSign);
        QFETCH(QString, text);
        QCOMPARE(pas_lib::TrayTemperatureText(temperature, degreeSign), text);
    }

    void fontStyle_data()
    {
        QTest::addColumn<QString>("letters");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<bool>("underline");
        QTest::addColumn<bool>("strikeOut");
        QTest::newRow("BI") << "BI" << true << true << false << false;
        QTest::newRow("lower case is ignored") << "b" << false << false << false << false;
        QTest::newRow("the dialog's plain X") << "X" << false << false << false << false;
        QTest::newRow("the dialog's XBUS") << "XBUS" << true << false << true << true;
        QTest::newRow("any order, repeated") << "IBBI" << true << true << false << false;
        QTest::newRow("empty") << "" << false << false << false << false;
    }
    void fontStyle()
    {
        QFETCH(QString, letters);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        QFETCH(bool, underline);
        QFETCH(bool, strikeOut);
        QFont font;
        font.setBold(true);
        font.setStrikeOut(true);
        pas_lib::ApplyFontStyle(font, letters);
        QCOMPARE(font.bold(), bold);
        QCOMPARE(font.italic(), italic);
        QCOMPARE(font.underline(), underline);
        QCOMPARE(font.strikeOut(), strikeOut);
    }

    void windowsColor_data()
    {
        QTest::addColumn<qint64>("value");
        QTest::addColumn<QColor>("color");
        QTest::newRow("black") << qint64(0) << QColor(0, 0, 0);
        QTest::newRow("silver, the default") << qint64(12632256) << QColor(192, 192, 192);
        QTest::newRow("red in the low byte") << qint64(0x0000FF) << QColor(255, 0, 0);
        QTest::newRow("blue in the high byte") << qint64(0xFF0000) << QColor(0, 0, 255);
        QTest::newRow("mixed") << qint64(0x123456) << QColor(0x56, 0x34, 0x12);
        QTest::newRow("button face")
            << qint64(0x8000000F) << QGuiApplication::palette().color(QPalette::Button);
        QTest::newRow("negative: window text")
            << qint64(qint32(0x80000008)) << QGuiApplication::palette().color(QPalette::Text);
    }
    void windowsColor()
    {
        QFETCH(qint64, value);
        QFETCH(QColor, color);
        const std::optional<QColor> result = pas_lib::WindowsColor(value);
        QVERIFY(result);
        QCOMPARE(result->rgb(), color.rgb());
    }

    void windowsColorNone() { QVERIFY(!pas_lib::WindowsColor(0x1FFFFFFF)); }

    // The Windows program's fonts and fonts the system lacks become a
    // condensed sans font that the system really has; a font it has stays.
    void textFont_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("kept");
        QTest::newRow("MS Sans Serif") << "MS Sans Serif" << false;
        QTest::newRow("Small Fonts") << "Small Fonts" << false;
        QTest::newRow("Tahoma") << "tahoma" << false;
        QTest::newRow("unknown") << "No Such Font 4711" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("a font the system has") << "DejaVu Serif" << true;
    }
    void textFont()
    {
        QFETCH(QString, family);
        QFETCH(bool, kept);
        const QFont font = pas_lib::TrayTextFont(family, QStringLiteral("9"), QStringLiteral("B"));
        if (kept)
            QCOMPARE(font.family(), family);
        else
            QVERIFY2(font.family().contains(QStringLiteral("Condensed")) ||
                         font.family().contains(QStringLiteral("Narrow")),
                     qPrintable(font.family()));
        // The system draws it with that very family (and names its foundry).
        QVERIFY2(QFontInfo(font).family().startsWith(font.family()),
                 qPrintable(QFontInfo(font).family()));
        QCOMPARE(font.pointSize(), 9);
        QVERIFY(font.bold());
    }

    void textFontSize_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("points");
        QTest::newRow("9") << "9" << 9;
        QTest::newRow("blanks") << " 12 " << 12;
        QTest::newRow("not a number") << "devet" << 9;
        QTest::newRow("empty") << "" << 9;
        QTest::newRow("zero") << "0" << 4;
        QTest::newRow("negative") << "-8" << 4;
        QTest::newRow("huge") << "100000" << 72;
    }
    void textFontSize()
    {
        QFETCH(QString, stored);
        QFETCH(int, points);
        QCOMPARE(
            pas_lib::TrayTextFont(QStringLiteral("DejaVu Sans"), stored, QString()).pointSize(),
            points);
    }
};

QTEST_MAIN(TestTrayRules)
#include "tst_trayrules.moc"
