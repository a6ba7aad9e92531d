#include "views/TMoonPanel.h"
#include "weather/MoonPhases.h"

#include <QImage>
#include <QRegularExpression>
#include <QtTest>
#include <algorithm>
#include <cmath>

namespace {

QStringList viewsLog;

void CollectViewsLog(QtMsgType, const QMessageLogContext& context, const QString& message)
{
    if (QByteArray(context.category) == "nimbulon.views")
        viewsLog.append(message);
}

// Pixels of the highlight colour are warm; white text on the blue ground
// gives bright grey ones.
bool Warm(const QColor& pixel)
{
    return pixel.red() > 120 && pixel.red() - pixel.blue() > 40;
}
bool BrightGrey(const QColor& pixel)
{
    return std::min({pixel.red(), pixel.green(), pixel.blue()}) > 130 &&
           std::abs(pixel.red() - pixel.blue()) < 30;
}

// Whether a pixel inside rect (in the panel's coordinates) passes test.
template <typename Test> bool AnyPixel(const QImage& image, const QRectF& rect, Test test)
{
    const qreal ratio = image.devicePixelRatio();
    const QRect pixels = QRectF(rect.topLeft() * ratio, rect.size() * ratio)
                             .toAlignedRect()
                             .intersected(image.rect());
    for (int y = pixels.top(); y <= pixels.bottom(); ++y)
        for (int x = pixels.left(); x <= pixels.right(); ++x)
            if (test(image.pixelColor(x, y)))
                return true;
    return false;
}

} // namespace

class TestMoonPanel : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("nimbulon.views.debug=true"));
        previousHandler = qInstallMessageHandler(CollectViewsLog);
    }
    void cleanupTestCase() { qInstallMessageHandler(previousHandler); }
    void init() { viewsLog.clear(); }

    // The labels of 8 June 2009, one debug line per phase with its time on
    // the moon clock.
    void labelsAndLog()
    {
        TMoonPanel panel;
        panel.DrawMoonPhases(QDate(2009, 6, 8));
        const QList<TMoonPanel::TLabel> labels = panel.Labels();
        QCOMPARE(labels.size(), 4);
        const QStringList dayNames{"Pon", "Pon", "Ned", "Pon"};
        const QStringList dates{"22.06", "29.06", "07.06", "15.06"};
        for (int phase = 0; phase < 4; ++phase) {
            QCOMPARE(labels[phase].DayName, dayNames[phase]);
            QCOMPARE(labels[phase].Date, dates[phase]);
            QVERIFY(!labels[phase].Today);
        }

        // The almanac's times, UTC + 1 hour.
        const QStringList kinds{"new", "first quarter", "full", "last quarter"};
        const QStringList times{"2009-06-22 20:35", "2009-06-29 12:28", "2009-06-07 19:12",
                                "2009-06-15 23:15"};
        QCOMPARE(viewsLog.size(), 4);
        static const QRegularExpression line(
            QStringLiteral("^moon ([a-z ]+) (\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d) CET$"));
        for (int phase = 0; phase < 4; ++phase) {
            const QRegularExpressionMatch match = line.match(viewsLog[phase]);
            QVERIFY2(match.hasMatch(), qPrintable(viewsLog[phase]));
            QCOMPARE(match.captured(1), kinds[phase]);
            const QDateTime logged =
                QDateTime::fromString(match.captured(2), QStringLiteral("yyyy-MM-dd HH:mm"));
            const QDateTime almanac =
                QDateTime::fromString(times[phase], QStringLiteral("yyyy-MM-dd HH:mm"));
            QVERIFY2(std::abs(logged.secsTo(almanac)) <= 5 * 60, qPrintable(viewsLog[phase]));
        }
    }

    void drawn_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("scale 1") << 1.0;
        QTest::newRow("scale 2") << 2.0;
    }
    // On a full-moon day only that label is in the highlight colour, and every
    // text lies inside the panel apart from the others.
    void drawn()
    {
        QFETCH(qreal, ratio);
        TMoonPanel panel;
        panel.DrawMoonPhases(QDate(2000, 1, 21));
        QVERIFY(panel.Labels()[2].Today);
        QCOMPARE(viewsLog.size(), 4);
        QVERIFY(viewsLog[2].endsWith(QLatin1String("CET today")));
        QVERIFY(viewsLog[3].endsWith(QLatin1String("CET")));

        const QList<QRectF> rects = panel.TextRects();
        QCOMPARE(rects.size(), 8);
        for (int i = 0; i < rects.size(); ++i) {
            QVERIFY2(QRectF(panel.rect()).contains(rects[i]), qPrintable(QString::number(i)));
            for (int j = i + 1; j < rects.size(); ++j)
                QVERIFY(!rects[i].intersects(rects[j]));
        }

        QImage image(panel.size() * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        panel.render(&image);
        for (int i = 0; i < rects.size(); ++i) {
            const bool today = i / 2 == 2;
            QCOMPARE(AnyPixel(image, rects[i], Warm), today);
            QCOMPARE(AnyPixel(image, rects[i], BrightGrey), !today);
        }
    }

private:
    QtMessageHandler previousHandler = nullptr;
};

QTEST_MAIN(TestMoonPanel)
#include "tst_moonpanel.moc"
