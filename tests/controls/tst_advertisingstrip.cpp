// The advertising strip: where a picture stands, and what it refuses.

#include "TestFiles.h"
#include "controls/TAdvertisingStrip.h"

#include <QBuffer>
#include <QImage>
#include <QtTest>

namespace {

QByteArray Jpeg(QSize size)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPEG");
    return bytes;
}

} // namespace

class TestAdvertisingStrip : public QObject
{
    Q_OBJECT

private slots:
    void placement_data()
    {
        QTest::addColumn<QByteArray>("picture");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QRect>("where"); // empty: the placeholder only
        QTest::newRow("larger: scaled down, aspect kept")
            << Jpeg(QSize(780, 50)) << QByteArray("JPEG") << QRect(0, 0, 390, 25);
        QTest::newRow("smaller: natural size, top left")
            << Jpeg(QSize(120, 30)) << QByteArray("JPEG") << QRect(0, 0, 120, 30);
        QTest::newRow("exactly the strip")
            << Jpeg(QSize(390, 50)) << QByteArray("JPEG") << QRect(0, 0, 390, 50);
        QTest::newRow("a kind it does not show") << Jpeg(QSize(390, 50)) << QByteArray() << QRect();
        QTest::newRow("not a picture")
            << QByteArray("<html>404</html>") << QByteArray("JPEG") << QRect();
        QTest::newRow("declares 30000 x 30000") << HugeGif() << QByteArray("GIF") << QRect();
        QTest::newRow("cleared") << QByteArray() << QByteArray() << QRect();
    }
    void placement()
    {
        QFETCH(QByteArray, picture);
        QFETCH(QByteArray, format);
        QFETCH(QRect, where);
        TAdvertisingStrip strip;
        strip.SetPicture(Jpeg(QSize(10, 10)), "JPEG");
        strip.SetPicture(picture, format);
        QCOMPARE(strip.PictureRect(), where);
        QCOMPARE(strip.HasPicture(), !where.isEmpty());
        // Drawn either way, the placeholder under it.
        QImage shot(strip.size(), QImage::Format_ARGB32);
        shot.fill(Qt::transparent);
        strip.render(&shot);
        QVERIFY(shot.pixelColor(strip.width() - 3, strip.height() / 2).alpha() > 0);
    }

    // A click on the picture and one beside it.
    void clicks()
    {
        TAdvertisingStrip strip;
        strip.SetPicture(Jpeg(QSize(120, 30)), "JPEG");
        QSignalSpy picture(&strip, &TAdvertisingStrip::pictureClicked);
        QSignalSpy beside(&strip, &TAdvertisingStrip::stripClicked);
        QTest::mouseClick(&strip, Qt::LeftButton, {}, QPoint(60, 15));
        QTest::mouseClick(&strip, Qt::LeftButton, {}, QPoint(300, 40));
        QTest::mouseClick(&strip, Qt::RightButton, {}, QPoint(60, 15));
        QCOMPARE(picture.size(), 1);
        QCOMPARE(beside.size(), 1);
    }
};

QTEST_MAIN(TestAdvertisingStrip)
#include "tst_advertisingstrip.moc"
