#include "tray/TrayPictures.h"
#include "tray/TrayRules.h"

#include <QFontMetrics>
#include <QPainter>
#include <QtTest>

namespace {

// The pixels that carry ink: drawn over the transparent background.
QRect InkBounds(const QImage& image, int threshold = 128)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) >= threshold)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

int InkCount(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) >= 128;
    return count;
}

TTrayTextStyle DefaultStyle()
{
    TTrayTextStyle style;
    style.Font = pas_lib::TrayTextFont(QStringLiteral("MS Sans Serif"), QStringLiteral("9"),
                                       QStringLiteral("B"));
    style.Color = Qt::black;
    style.Transparent = true;
    return style;
}

} // namespace

// The icon's pictures and its text picture, pixel by pixel.
class TestTrayPictures : public QObject
{
    Q_OBJECT

private slots:
    // The fill is the background colour; without one, or with the font's own
    // colour, the font colour inverted.
    void textFill_data()
    {
        QTest::addColumn<QColor>("color");
        QTest::addColumn<std::optional<QColor>>("background");
        QTest::addColumn<QColor>("fill");
        QTest::newRow("silver") << QColor(Qt::black) << std::optional<QColor>(QColor(192, 192, 192))
                                << QColor(192, 192, 192);
        QTest::newRow("none") << QColor(0, 0, 255) << std::optional<QColor>()
                              << QColor(255, 255, 0);
        QTest::newRow("same as the font")
            << QColor(10, 200, 30) << std::optional<QColor>(QColor(10, 200, 30))
            << QColor(245, 55, 225);
    }
    void textFill()
    {
        QFETCH(QColor, color);
        QFETCH(std::optional<QColor>, background);
        QFETCH(QColor, fill);
        TTrayTextStyle style = DefaultStyle();
        style.Color = color;
        style.Background = background;
        style.Transparent = false;
        const QImage image = RenderTrayText(QStringLiteral("1"), style, 16);
        QCOMPARE(image.size(), QSize(16, 16));
        for (const QPoint corner : {QPoint(0, 0), QPoint(15, 0), QPoint(0, 15), QPoint(15, 15)})
            QCOMPARE(image.pixel(corner), fill.rgb());
        // The glyph is there in the font colour.
        bool glyph = false;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                glyph |= image.pixel(x, y) == color.rgb();
        QVERIFY(glyph);
    }

    // Over the empty picture only the glyphs are opaque.
    void textTransparent()
    {
        TTrayTextStyle style = DefaultStyle();
        style.Color = QColor(200, 30, 40);
        style.Background = QColor(Qt::white); // ignored when transparent
        const QImage image = RenderTrayText(QStringLiteral("-7"), style, 16);
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(15, 15)), 0);
        int solid = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (qAlpha(image.pixel(x, y)) == 255) {
                    QCOMPARE(image.pixel(x, y), style.Color.rgb());
                    ++solid;
                }
        QVERIFY(solid >= 6);
        QVERIFY(InkCount(image) < 16 * 16 / 2);
    }

    // At 16 pixels the text stands at x = (15 - width) div 2 + 1 and
    // y = (15 - height) div 2 in the font's own metrics.
    void textPosition_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<QString>("text");
        QTest::newRow("1") << "DejaVu Sans" << 9 << "1";
        QTest::newRow("7") << "DejaVu Sans" << 11 << "7";
        QTest::newRow("-3") << "DejaVu Sans Condensed" << 10 << "-3";
        QTest::newRow("NA") << "DejaVu Sans Condensed" << 8 << "NA";
        QTest::newRow("-20") << "DejaVu Sans Condensed" << 8 << "-20";
    }
    void textPosition()
    {
        QFETCH(QString, family);
        QFETCH(int, pixels);
        QFETCH(QString, text);
        TTrayTextStyle style = DefaultStyle();
        style.Font = QFont(family);
        style.Font.setPixelSize(pixels);
        const QFontMetrics metrics(style.Font);
        const int x = (15 - metrics.horizontalAdvance(text)) / 2 + 1;
        const int y = (15 - metrics.height()) / 2;
        const QRect expected = metrics.tightBoundingRect(text).translated(x, y + metrics.ascent());
        QVERIFY2(QRect(1, 0, 14, 16).contains(expected), "the case must fit unshrunk");
        const QRect ink = InkBounds(RenderTrayText(text, style, 16), 1);
        QVERIFY2(std::abs(ink.left() - expected.left()) <= 1 &&
                     std::abs(ink.right() - expected.right()) <= 1 &&
                     std::abs(ink.top() - expected.top()) <= 1 &&
                     std::abs(ink.bottom() - expected.bottom()) <= 1,
                 qPrintable(QStringLiteral("ink %1,%2 %3x%4, expected %5,%6 %7x%8")
                                .arg(ink.x())
                                .arg(ink.y())
                                .arg(ink.width())
                                .arg(ink.height())
                                .arg(expected.x())
                                .arg(expected.y())
                                .arg(expected.width())
                                .arg(expected.height())));
    }

    // With the default settings the widest usual texts fit whole, and stay
    // large enough to read, at the sizes trays ask for.
    void defaultTextFits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("size");
        for (const char* text : {"-12°", "NA", "-12", "-27", "38°", "0"})
            for (int size : {16, 22, 24}) {
                QTest::addRow("%s at %d", text, size) << QString::fromUtf8(text) << size;
            }
    }
    void defaultTextFits()
    {
        QFETCH(QString, text);
        QFETCH(int, size);
        const QImage image = RenderTrayText(text, DefaultStyle(), size);
        // No solid glyph pixel on the border: a glyph there would be a cut one.
        for (int i = 0; i < size; ++i)
            for (const QPoint border :
                 {QPoint(0, i), QPoint(size - 1, i), QPoint(i, 0), QPoint(i, size - 1)})
                QVERIFY2(qAlpha(image.pixel(border)) < 128,
                         qPrintable(QStringLiteral("at %1,%2").arg(border.x()).arg(border.y())));
        const QRect ink = InkBounds(image);
        QVERIFY2(ink.height() * 16 >= 6 * size, qPrintable(QString::number(ink.height())));
        if (text.size() > 1)
            QVERIFY2(ink.width() * 16 >= 9 * size, qPrintable(QString::number(ink.width())));
    }

    // Larger icons draw the text anew with the same layout: the glyphs fill
    // the same share of the icon, and the picture is not the small one enlarged.
    void textScales_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("32") << 32;
        QTest::newRow("48") << 48;
    }
    void textScales()
    {
        QFETCH(int, size);
        const QString text = QStringLiteral("-12");
        const QImage small = RenderTrayText(text, DefaultStyle(), 16);
        const QImage large = RenderTrayText(text, DefaultStyle(), size);
        const QRect smallInk = InkBounds(small);
        const QRect largeInk = InkBounds(large);
        const double factor = size / 16.0;
        QVERIFY2(std::abs(largeInk.width() - smallInk.width() * factor) <= factor + 1 &&
                     std::abs(largeInk.height() - smallInk.height() * factor) <= factor + 1 &&
                     std::abs(largeInk.center().x() - smallInk.center().x() * factor) <=
                         factor + 1 &&
                     std::abs(largeInk.center().y() - smallInk.center().y() * factor) <= factor + 1,
                 qPrintable(QStringLiteral("16: %1x%2 at %3,%4; %5: %6x%7 at %8,%9")
                                .arg(smallInk.width())
                                .arg(smallInk.height())
                                .arg(smallInk.x())
                                .arg(smallInk.y())
                                .arg(size)
                                .arg(largeInk.width())
                                .arg(largeInk.height())
                                .arg(largeInk.x())
                                .arg(largeInk.y())));
        const QImage enlarged =
            small.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        int differing = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                differing +=
                    std::abs(qAlpha(enlarged.pixel(x, y)) - qAlpha(large.pixel(x, y))) > 64;
        QVERIFY2(differing > size / 2, qPrintable(QString::number(differing)));
    }

    // Hostile lengths still give an icon, drawn small.
    void longText()
    {
        const QImage image = RenderTrayText(QString(200, QLatin1Char('8')), DefaultStyle(), 16);
        QCOMPARE(image.size(), QSize(16, 16));
    }

    // Every weather picture has a shape of its own; 16 is empty.
    void weatherPictures()
    {
        QList<QImage> pictures;
        for (int i = 0; i < pas_lib::WeatherPictureCount; ++i) {
            const QImage picture = RenderTrayPicture(TTrayList::Transparent, i, Qt::red, 16);
            QCOMPARE(picture.size(), QSize(16, 16));
            if (i == pas_lib::EmptyPicture) {
                QCOMPARE(InkBounds(picture, 1), QRect());
            } else {
                QVERIFY2(InkCount(picture) >= 25, qPrintable(QString::number(i)));
                for (int j = 0; j < pictures.size(); ++j)
                    QVERIFY2(picture != pictures[j],
                             qPrintable(QStringLiteral("%1 equals %2").arg(i).arg(j)));
            }
            pictures.append(picture);
        }
    }

    // The opaque list is the same drawing on the background colour.
    void opaquePictures_data()
    {
        QTest::addColumn<int>("index");
        for (int i : {0, 4, 16, 20})
            QTest::addRow("%d", i) << i;
    }
    void opaquePictures()
    {
        QFETCH(int, index);
        const QColor silver(192, 192, 192);
        const QImage opaque = RenderTrayPicture(TTrayList::Opaque, index, silver, 16);
        const QImage clear = RenderTrayPicture(TTrayList::Transparent, index, silver, 16);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                QCOMPARE(qAlpha(opaque.pixel(x, y)), 255);
                if (qAlpha(clear.pixel(x, y)) == 0)
                    QCOMPARE(opaque.pixel(x, y), silver.rgb());
                if (qAlpha(clear.pixel(x, y)) == 255)
                    QCOMPARE(opaque.pixel(x, y), clear.pixel(x, y));
            }
    }

    // Sixteen frames of one sweep: each different, the last before the first.
    void refreshFrames()
    {
        QCOMPARE(PictureCount(TTrayList::Animation), 16);
        QList<QImage> frames;
        for (int i = 0; i < 16; ++i) {
            const QImage frame = RenderTrayPicture(TTrayList::Animation, i, Qt::red, 16);
            QVERIFY(InkCount(frame) > 100);
            QVERIFY(!frames.contains(frame));
            frames.append(frame);
        }
        // An index past the end shows the last frame.
        QCOMPARE(RenderTrayPicture(TTrayList::Animation, 99, Qt::red, 16), frames.last());
        // The beam points up in frame 0, right in frame 4, down in frame 8:
        // yellow there.
        auto yellow = [](QRgb pixel) {
            return qRed(pixel) > 200 && qGreen(pixel) > 170 && qBlue(pixel) < 120;
        };
        QVERIFY(yellow(frames[0].pixel(7, 2)));
        QVERIFY(!yellow(frames[0].pixel(12, 7)));
        QVERIFY(yellow(frames[4].pixel(12, 7)));
        QVERIFY(!yellow(frames[4].pixel(7, 2)));
        QVERIFY(yellow(frames[8].pixel(7, 12)));
    }

    // The pictures are drawn for the size, keeping their proportions.
    void picturesScale_data()
    {
        QTest::addColumn<int>("index");
        for (int i : {0, 3, 9, 17})
            QTest::addRow("%d", i) << i;
    }
    void picturesScale()
    {
        QFETCH(int, index);
        const QRect small = InkBounds(RenderTrayPicture(TTrayList::Transparent, index, {}, 16));
        for (int size : {32, 64}) {
            const QRect large =
                InkBounds(RenderTrayPicture(TTrayList::Transparent, index, {}, size));
            const int factor = size / 16;
            QVERIFY(std::abs(large.left() - small.left() * factor) <= factor);
            QVERIFY(std::abs(large.right() + 1 - (small.right() + 1) * factor) <= factor);
            QVERIFY(std::abs(large.bottom() + 1 - (small.bottom() + 1) * factor) <= factor);
        }
    }

    // The icon hands the tray a picture drawn for each size and pixel ratio.
    void faceIcon()
    {
        TTrayFace face;
        face.FaceKind = TTrayFace::Text;
        face.FaceText = QStringLiteral("-4");
        face.TextStyle = DefaultStyle();
        const QIcon icon = TrayFaceIcon(face, QIcon());
        const QList<QSize> sizes = icon.availableSizes();
        for (int side : {16, 22, 24, 32, 48, 64})
            QVERIFY(sizes.contains(QSize(side, side)));

        const QPixmap sharp = icon.pixmap(QSize(22, 22), 2.0);
        QCOMPARE(sharp.devicePixelRatio(), 2.0);
        QCOMPARE(sharp.size(), QSize(44, 44));
        QImage drawn = sharp.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        drawn.setDevicePixelRatio(1.0);
        QCOMPARE(drawn, RenderTrayText(face.FaceText, face.TextStyle, 44));

        // Painted into a device of pixel ratio 2 (a tray on a HiDPI screen).
        QImage device(48, 48, QImage::Format_ARGB32_Premultiplied);
        device.setDevicePixelRatio(2.0);
        device.fill(Qt::transparent);
        {
            QPainter painter(&device);
            icon.paint(&painter, QRect(0, 0, 24, 24));
        }
        device.setDevicePixelRatio(1.0);
        QCOMPARE(device, RenderTrayText(face.FaceText, face.TextStyle, 48));
    }

    void faceDescription_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("list");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("description");
        QTest::newRow("text") << int(TTrayFace::Text) << "2°" << 0 << 0 << "text \"2°\"";
        QTest::newRow("transparent") << int(TTrayFace::Picture) << "" << int(TTrayList::Transparent)
                                     << 20 << "picture 20 of the transparent list";
        QTest::newRow("opaque") << int(TTrayFace::Picture) << "" << int(TTrayList::Opaque) << 3
                                << "picture 3 of the opaque list";
        QTest::newRow("frames") << int(TTrayFace::Picture) << "" << int(TTrayList::Animation) << 15
                                << "picture 15 of the animation list";
    }
    void faceDescription()
    {
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(int, list);
        QFETCH(int, index);
        QFETCH(QString, description);
        TTrayFace face;
        face.FaceKind = TTrayFace::Kind(kind);
        face.FaceText = text;
        face.List = TTrayList(list);
        face.Index = index;
        QCOMPARE(face.Description(), description);
    }
};

QTEST_MAIN(TestTrayPictures)
#include "tst_traypictures.moc"
