#include "controls/TKorvalinBanner.h"

#include <QFontMetrics>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QtTest>
#include <vector>

using TRuns = QList<std::pair<int, int>>;

namespace {

QFont BannerFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    font.setBold(true);
    return font;
}

// A text exactly this many pixels wide in the font: some of one letter and
// then some of another, measured as a whole as the banner measures it (the
// advances are fractional); empty when no such pair of counts exists.
QString TextOfWidth(const QFont& font, int width, QChar wide, QChar narrow)
{
    const QFontMetrics metrics(font);
    for (int wides = width / std::max(1, metrics.horizontalAdvance(wide)) + 1; wides >= 0; --wides)
        for (int narrows = 0; narrows < 40; ++narrows) {
            const QString text = QString(wides, wide) + QString(narrows, narrow);
            const int measured = metrics.horizontalAdvance(text);
            if (measured == width)
                return text;
            if (measured > width)
                break;
        }
    return QString();
}

// Where a text drawn on its own at x = 0 has ink: [first, end) columns,
// the first one left of 0 where the glyph's edge reaches back.
std::pair<int, int> InkExtent(const QFont& font, const QString& text)
{
    constexpr int margin = 4;
    const QFontMetrics metrics(font);
    QImage image(metrics.horizontalAdvance(text) + 2 * margin, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPoint(margin, metrics.ascent()), text);
    painter.end();
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                if (first < 0)
                    first = x;
                last = x;
            }
    return {first - margin, last + 1 - margin};
}

// The columns where the banner's picture has ink, as [start, end) runs.
TRuns InkRuns(TKorvalinBanner& banner)
{
    QImage image(banner.size(), QImage::Format_RGB32);
    banner.render(&image);
    const QRgb background = banner.Color().rgb();
    TRuns runs;
    int start = -1;
    for (int x = 0; x <= image.width(); ++x) {
        bool ink = false;
        for (int y = 0; x < image.width() && y < image.height() && !ink; ++y)
            ink = image.pixel(x, y) != background;
        if (ink && start < 0)
            start = x;
        if (!ink && start >= 0) {
            runs.append({start, x});
            start = -1;
        }
    }
    return runs;
}

void Tick(TKorvalinBanner& banner, int times)
{
    for (int i = 0; i < times; ++i)
        banner.TimerTick();
}

} // namespace

class TestKorvalinBanner : public QObject
{
    Q_OBJECT

private slots:
    void designValues()
    {
        TKorvalinBanner banner;
        QCOMPARE(banner.size(), QSize(145, 18));
        QCOMPARE(banner.Text(), QStringLiteral("Banner by Korvalin"));
        QCOMPARE(banner.TickInterval(), 50);
        QCOMPARE(banner.Gap(), quint16(0));
        QVERIFY(banner.Running());
    }

    void speed_data()
    {
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("readBack");
        QTest::newRow("270") << 270 << 37 << 270;
        QTest::newRow("1000 is 500") << 1000 << 20 << 500;
        QTest::newRow("500") << 500 << 20 << 500;
        QTest::newRow("0 is 2") << 0 << 5000 << 2;
        QTest::newRow("-40 is 2") << -40 << 5000 << 2;
        QTest::newRow("160: 62.5 ms to the even 62") << 160 << 62 << 161;
        QTest::newRow("32: 312.5 ms to the even 312") << 32 << 312 << 32;
        QTest::newRow("3") << 3 << 3333 << 3;
    }
    void speed()
    {
        QFETCH(int, speed);
        QFETCH(int, interval);
        QFETCH(int, readBack);
        TKorvalinBanner banner;
        banner.SetSpeed(speed);
        QCOMPARE(banner.TickInterval(), interval);
        QCOMPARE(banner.Speed(), readBack);
    }

    // The first tick puts the text at the right edge and steps it; the first
    // copy and its spacing leave, and the next copy takes its place.
    void spacingAndWrap_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("textWidth");
        QTest::addColumn<int>("gap");
        QTest::addColumn<int>("spacing");
        QTest::addColumn<int>("lowest");
        QTest::newRow("short text: copies a width apart") << 370 << 200 << 40 << 170 << -371;
        QTest::newRow("long text: Gap between copies") << 370 << 500 << 40 << 40 << -541;
        QTest::newRow("Gap 0: a width of space") << 300 << 100 << 0 << 300 << -401;
        QTest::newRow("text and Gap just fit") << 370 << 330 << 40 << 40 << -371;
    }
    void spacingAndWrap()
    {
        QFETCH(int, width);
        QFETCH(int, textWidth);
        QFETCH(int, gap);
        QFETCH(int, spacing);
        QFETCH(int, lowest);
        TKorvalinBanner banner;
        banner.setFont(BannerFont());
        const QString text = TextOfWidth(banner.font(), textWidth, 'M', 'l');
        QVERIFY2(!text.isEmpty(), "no text of that width in this font");
        banner.SetText(text);
        banner.SetGap(quint16(gap));
        banner.resize(width, 16);

        banner.TimerTick();
        QCOMPARE(banner.Pos(), width - 1);
        QCOMPARE(banner.Spacing(), spacing);
        Tick(banner, width - 1 - lowest - 1);
        QCOMPARE(banner.Pos(), lowest + 1);
        banner.TimerTick();
        QCOMPARE(banner.Pos(), lowest);
        banner.TimerTick();
        QCOMPARE(banner.Pos(), -1);
        banner.TimerTick();
        QCOMPARE(banner.Pos(), -2);
    }

    // Where the copies of the text are on the picture after so many ticks:
    // a 100-pixel text in a 370-pixel banner with Gap 40 (copies 370 apart),
    // and a 500-pixel one (copies 540 apart). The text is full blocks, ink
    // from its start, and spaces.
    void painting_data()
    {
        QTest::addColumn<int>("textWidth");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<QList<int>>("starts");
        QTest::newRow("first tick: at the right edge") << 100 << 1 << QList<int>{369};
        QTest::newRow("entering") << 100 << 30 << QList<int>{340};
        QTest::newRow("crossing") << 100 << 200 << QList<int>{170};
        QTest::newRow("leaving as the next one enters") << 100 << 410 << QList<int>{-40, 330};
        QTest::newRow("gone, the next one in") << 100 << 470 << QList<int>{270};
        QTest::newRow("long: both ends of the gap") << 500 << 600 << QList<int>{-230, 310};
    }
    void painting()
    {
        QFETCH(int, textWidth);
        QFETCH(int, ticks);
        QFETCH(QList<int>, starts);
        TKorvalinBanner banner;
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(16);
        banner.setFont(font);
        const QString text = TextOfWidth(font, textWidth, QChar(0x2588), QLatin1Char(' '));
        QVERIFY2(!text.isEmpty(), "no text of that width in this font");
        const auto [inkFirst, inkEnd] = InkExtent(font, text);
        QVERIFY(inkEnd - inkFirst >= textWidth / 3);
        banner.SetText(text);
        banner.SetGap(40);
        banner.SetColor(Qt::white);
        banner.SetFontColor(Qt::black);
        banner.resize(370, 16);
        // The resize reaches a hidden banner with its first picture.
        InkRuns(banner);
        Tick(banner, ticks);
        TRuns runs;
        for (int start : starts)
            if (start + inkEnd > 0)
                runs.append({std::max(start + inkFirst, 0), std::min(start + inkEnd, 370)});
        QCOMPARE(InkRuns(banner), runs);
    }

    // Stopped, the text stands at the left edge, once when it fits.
    void stop()
    {
        TKorvalinBanner banner;
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(16);
        banner.setFont(font);
        banner.SetText(QString(8, QChar(0x2588)));
        banner.SetGap(40);
        banner.SetColor(Qt::white);
        banner.SetFontColor(Qt::black);
        banner.resize(370, 16);
        banner.Stop();
        QVERIFY(!banner.Running());
        QCOMPARE(banner.Pos(), 0);
        QCOMPARE(InkRuns(banner), (TRuns{{0, InkExtent(font, banner.Text()).second}}));
    }

    // An empty text in a banner that was 0 wide at its last tick, Gap 0: its
    // copies are 0 apart, and it draws the one copy only.
    void nothingToScroll()
    {
        TKorvalinBanner banner;
        banner.SetText(QString());
        banner.resize(0, 16);
        banner.TimerTick();
        QCOMPARE(banner.Spacing(), 0);
        banner.resize(200, 16);
        QCOMPARE(InkRuns(banner), (TRuns{}));
    }

    // Nothing to scroll, nothing ticks.
    void restsWithNothingToScroll()
    {
        QWidget window;
        window.resize(400, 40);
        auto* banner = new TKorvalinBanner(&window);
        banner->SetText(QString());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!banner->Ticking());
        banner->SetText(QStringLiteral("Jutro"));
        QVERIFY(banner->Ticking());
        banner->resize(0, 16);
        QVERIFY(!banner->Ticking());
    }

    // The timer ticks only while the banner can be seen and runs.
    void tickingOnlyWhenSeen()
    {
        QWidget window;
        window.resize(400, 40);
        auto* banner = new TKorvalinBanner(&window);
        QVERIFY(!banner->Ticking());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(banner->Ticking());
        QTRY_VERIFY(banner->Pos() < banner->width());

        banner->hide();
        QVERIFY(!banner->Ticking());
        banner->show();
        QVERIFY(banner->Ticking());
        window.hide();
        QVERIFY(!banner->Ticking());
        window.show();
        QVERIFY(banner->Ticking());
        window.setWindowState(Qt::WindowMinimized);
        QVERIFY(!banner->Ticking());
        window.setWindowState(Qt::WindowNoState);
        QVERIFY(banner->Ticking());

        banner->Stop();
        QVERIFY(!banner->Ticking());
        window.hide();
        window.show();
        QVERIFY(!banner->Ticking());
        QCOMPARE(banner->Pos(), 0);
    }

    // A resize starts the text anew at the right edge; a stopped one stays.
    void resizeStartsAtTheRightEdge()
    {
        TKorvalinBanner banner;
        banner.show();
        QSignalSpy sized(&banner, &TKorvalinBanner::OnSize);
        banner.resize(300, 16);
        QCOMPARE(banner.Pos(), 300);
        QCOMPARE(sized.count(), 1);
        banner.Stop();
        banner.resize(250, 16);
        QCOMPARE(banner.Pos(), 0);
        QCOMPARE(sized.count(), 2);
    }

    // Each mouse message and what the banner reports for it; a click on the
    // way down.
    void mouse_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<Qt::KeyboardModifiers>("keys");
        QTest::addColumn<QString>("reported");
        QTest::addColumn<int>("shift");
        const int left = int(TShiftFlag::ssLeft), right = int(TShiftFlag::ssRight);
        QTest::newRow("left down") << int(QEvent::MouseButtonPress) << Qt::LeftButton
                                   << Qt::KeyboardModifiers(Qt::ShiftModifier) << "down click"
                                   << (left | int(TShiftFlag::ssShift));
        QTest::newRow("left up") << int(QEvent::MouseButtonRelease) << Qt::LeftButton
                                 << Qt::KeyboardModifiers() << "up" << 0;
        QTest::newRow("left double")
            << int(QEvent::MouseButtonDblClick) << Qt::LeftButton
            << Qt::KeyboardModifiers(Qt::ControlModifier) << "down double"
            << (left | int(TShiftFlag::ssCtrl) | int(TShiftFlag::ssDouble));
        QTest::newRow("right down") << int(QEvent::MouseButtonPress) << Qt::RightButton
                                    << Qt::KeyboardModifiers() << "down click" << right;
        QTest::newRow("right up") << int(QEvent::MouseButtonRelease) << Qt::RightButton
                                  << Qt::KeyboardModifiers() << "up" << 0;
        QTest::newRow("right double")
            << int(QEvent::MouseButtonDblClick) << Qt::RightButton << Qt::KeyboardModifiers()
            << "down double" << (right | int(TShiftFlag::ssDouble));
        QTest::newRow("middle down: nothing") << int(QEvent::MouseButtonPress) << Qt::MiddleButton
                                              << Qt::KeyboardModifiers() << "" << 0;
        QTest::newRow("move") << int(QEvent::MouseMove) << Qt::NoButton
                              << Qt::KeyboardModifiers(Qt::ShiftModifier) << "move"
                              << int(TShiftFlag::ssShift);
    }
    void mouse()
    {
        QFETCH(int, type);
        QFETCH(Qt::MouseButton, button);
        QFETCH(Qt::KeyboardModifiers, keys);
        QFETCH(QString, reported);
        QFETCH(int, shift);
        TKorvalinBanner banner;
        banner.resize(200, 16);
        QSignalSpy down(&banner, &TKorvalinBanner::OnMouseDown);
        QSignalSpy up(&banner, &TKorvalinBanner::OnMouseUp);
        QSignalSpy moved(&banner, &TKorvalinBanner::OnMouseMove);
        QSignalSpy clicked(&banner, &TKorvalinBanner::OnClick);
        QSignalSpy doubled(&banner, &TKorvalinBanner::OnDblClick);

        // The buttons held after the event: a released one is no longer down.
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
        const QPointF at(12, 7);
        QMouseEvent event(QEvent::Type(type), at, banner.mapToGlobal(at), button, held, keys);
        QApplication::sendEvent(&banner, &event);

        QStringList got;
        if (down.count())
            got << QStringLiteral("down");
        if (up.count())
            got << QStringLiteral("up");
        if (moved.count())
            got << QStringLiteral("move");
        if (clicked.count())
            got << QStringLiteral("click");
        if (doubled.count())
            got << QStringLiteral("double");
        QCOMPARE(got.join(QLatin1Char(' ')), reported);
        QSignalSpy* spy = down.count()    ? &down
                          : up.count()    ? &up
                          : moved.count() ? &moved
                                          : nullptr;
        if (!spy)
            return;
        QCOMPARE(spy->count(), 1);
        const QList<QVariant> args = spy->first();
        const int offset = spy == &moved ? 0 : 1;
        if (offset)
            QCOMPARE(args.at(0).value<Qt::MouseButton>(), button);
        QCOMPARE(int(args.at(offset).value<TShiftState>().toInt()), shift);
        QCOMPARE(args.at(offset + 1).toInt(), 12);
        QCOMPARE(args.at(offset + 2).toInt(), 7);
    }
};

QTEST_MAIN(TestKorvalinBanner)
#include "tst_korvalinbanner.moc"
