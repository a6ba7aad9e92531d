#include "app/WindowPosition.h"

#include <QtTest>

class TestWindowPosition : public QObject
{
    Q_OBJECT

private slots:
    // Four little-endian 32-bit bounds (right and bottom, not sizes) and a state.
    void encoding()
    {
        TWindowPosition position;
        position.Bounds = QRect(-10, 20, 744, 545);
        position.State = TWindowPosition::Maximized;
        const QByteArray bytes = position.Encode();
        QCOMPARE(bytes.toHex(), QByteArray("f6ffffff14000000de02000035020000"
                                           "02"));
        const auto back = TWindowPosition::Decode(bytes);
        QVERIFY(back);
        QCOMPARE(back->Bounds, position.Bounds);
        QCOMPARE(back->State, position.State);
    }

    void refused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("16 bytes") << QByteArray(16, '\0');
        QTest::newRow("18 bytes") << QByteArray(18, '\0');
        QTest::newRow("no size") << QByteArray(17, '\0');
        QTest::newRow("state 3") << QByteArray::fromHex("0000000000000000640000006400000003");
        QTest::newRow("right left of left")
            << QByteArray::fromHex("6400000000000000000000006400000000");
        QTest::newRow("far away") << QByteArray::fromHex("ffffff7f00000000ffffff7f6400000000");
        QTest::newRow("wider than any desktop")
            << QByteArray::fromHex("0000008000000000ffffff7f6400000000");
    }
    void refused()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(!TWindowPosition::Decode(bytes));
    }

    void fitOnScreens_data()
    {
        QTest::addColumn<QRect>("bounds");
        QTest::addColumn<QRect>("fitted");
        QTest::newRow("on the screen") << QRect(100, 100, 744, 545) << QRect(100, 100, 744, 545);
        QTest::newRow("on the second screen")
            << QRect(1400, 50, 700, 500) << QRect(1400, 50, 700, 500);
        QTest::newRow("across both, mostly on the second")
            << QRect(1000, 100, 744, 545) << QRect(1280, 100, 744, 545);
        QTest::newRow("mostly off the right")
            << QRect(2900, 100, 744, 545) << QRect(2176, 100, 744, 545);
        QTest::newRow("far off") << QRect(90000, 90000, 744, 545) << QRect(2176, 535, 744, 545);
        QTest::newRow("above") << QRect(100, -3000, 744, 545) << QRect(100, 0, 744, 545);
        QTest::newRow("larger than the screen")
            << QRect(10, 10, 1200, 5000) << QRect(10, 0, 1200, 800);
    }
    void fitOnScreens()
    {
        QFETCH(QRect, bounds);
        QFETCH(QRect, fitted);
        // Two screens side by side: 1280 x 800 and 1640 x 1080.
        const QList<QRect> screens{QRect(0, 0, 1280, 800), QRect(1280, 0, 1640, 1080)};
        const QRect result = FitOnScreens(bounds, screens);
        QCOMPARE(result, fitted);
    }
};

QTEST_MAIN(TestWindowPosition)
#include "tst_windowposition.moc"
