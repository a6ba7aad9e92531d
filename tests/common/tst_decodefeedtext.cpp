#include "common/DecodeFeedText.h"

#include <QStringDecoder>
#include <QtTest>

using pas_lib::DecodeFeedText;

namespace {

// Text as a Windows-1250 feed reaches the program: its bytes read in that code page.
QString FromWindows1250(const QByteArray& bytes)
{
    QStringDecoder decoder("windows-1250");
    return decoder(bytes);
}

QByteArray Repeated(const QByteArray& part, int count)
{
    QByteArray bytes;
    for (int index = 0; index < count; ++index)
        bytes += part;
    return bytes;
}

} // namespace

class TestDecodeFeedText : public QObject
{
    Q_OBJECT

private slots:
    void replacesBytes_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("line break") << QByteArray("a<br>b") << QByteArray("a\rb");
        QTest::newRow("u diaeresis") << QByteArray("M\xC3\xBCnchen") << QByteArray("M\xFCnchen");
        QTest::newRow("o stroke") << QByteArray("K\xC3\xB8"
                                                "benhavn")
                                  << QByteArray("Kobenhavn");
        QTest::newRow("C caron") << QByteArray("\xC4\x8C"
                                               "ate\xC5\xBE")
                                 << QByteArray("\xC8"
                                               "ate\x9E");
        QTest::newRow("c caron") << QByteArray("Ko\xC4\x8D"
                                               "evje")
                                 << QByteArray("Ko\xE8"
                                               "evje");
        QTest::newRow("s caron") << QByteArray("Kr\xC5\xA1ko") << QByteArray("Kr\x9Ako");
        QTest::newRow("Z caron") << QByteArray("\xC5\xBD"
                                               "irje")
                                 << QByteArray("\x8E"
                                               "irje");
        QTest::newRow("z caron") << QByteArray("Zre\xC5\xBE") << QByteArray("Zre\x9E");
        QTest::newRow("S caron") << QByteArray("\xC5\xA0kofja") << QByteArray("\x8Akofja");
        QTest::newRow("lone C5") << QByteArray("a\xC5z") << QByteArray("a\x8Az");
        QTest::newRow("gt") << QByteArray("a &gt; b") << QByteArray("a > b");
        QTest::newRow("lt") << QByteArray("a &lt; b") << QByteArray("a < b");
        QTest::newRow("lone C2") << QByteArray("5\xC2\xA0m") << QByteArray("5 \xA0m");
        // "&lt;br&gt;" becomes "<br>" only after the line breaks were replaced.
        QTest::newRow("proverb") << QByteArray("Kdor &lt; drugim<br>jamo koplje")
                                 << QByteArray("Kdor < drugim\rjamo koplje");
        QTest::newRow("escaped break stays") << QByteArray("&lt;br&gt;") << QByteArray("<br>");
        QTest::newRow("plain") << QByteArray("Ljubljana 12.5") << QByteArray("Ljubljana 12.5");
        QTest::newRow("empty") << QByteArray() << QByteArray();
    }
    void replacesBytes()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, expected);
        QCOMPARE(DecodeFeedText(input), expected);
    }

    void stopsAfter500SubstitutionsPerReplacement()
    {
        const QByteArray input = Repeated("<br>", 501) + Repeated("&gt;", 500);
        const QByteArray expected = Repeated("\r", 500) + "<br>" + Repeated(">", 500);
        QCOMPARE(DecodeFeedText(input), expected);
    }

    void decodesStrayUtf8InWindows1250Text_data()
    {
        QTest::addColumn<QByteArray>("feedBytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Windows-1250 letters stay")
            << QByteArray("\xC8rnomelj \x8Akofja Loka") << QStringLiteral("Črnomelj Škofja Loka");
        QTest::newRow("stray UTF-8") << QByteArray("Ko\xC4\x8D"
                                                   "evje, Kr\xC5\xA1ko, \xC5\xBD"
                                                   "alec")
                                     << QStringLiteral("Kočevje, Krško, Žalec");
        QTest::newRow("mixed") << QByteArray("\xE8"
                                             "rn \xC4\x8D"
                                             "rn")
                               << QStringLiteral("črn črn");
        QTest::newRow("break and entity")
            << QByteArray("Sever<br>&lt;5 m/s") << QStringLiteral("Sever\r<5 m/s");
    }
    void decodesStrayUtf8InWindows1250Text()
    {
        QFETCH(QByteArray, feedBytes);
        QFETCH(QString, expected);
        QCOMPARE(DecodeFeedText(FromWindows1250(feedBytes)), expected);
    }

    void keepsUnicodeTextOfUtf8Feeds()
    {
        const QString text = QStringLiteral("Čateške Toplice, Šmarje, Žiri, Münster");
        QCOMPARE(DecodeFeedText(text), text);
    }

    void keepsCharactersOutsideWindows1250()
    {
        // Windows-1250 has neither ø nor the Greek letters nor the emoji; they
        // survive, and the replacements around them still apply.
        const QString text = QStringLiteral("Tromsø<br>Αθήνα &gt; 30 ☀️ Ko") +
                             FromWindows1250("\xC4\x8D") + QStringLiteral("evje");
        QCOMPARE(DecodeFeedText(text), QStringLiteral("Tromsø\rΑθήνα > 30 ☀️ Kočevje"));
    }

    void sharesTheLimitAcrossTheWholeText()
    {
        // The Greek letters split the text; the limit still counts over all of it.
        QString text;
        for (int index = 0; index < 300; ++index)
            text += QStringLiteral("<br>α");
        for (int index = 0; index < 300; ++index)
            text += QStringLiteral("<br>");
        const QString decoded = DecodeFeedText(text);
        QCOMPARE(decoded.count(QLatin1Char('\r')), 500);
        QCOMPARE(decoded.count(QStringLiteral("<br>")), 100);
        QVERIFY(decoded.endsWith(QStringLiteral("<br>")));
        QCOMPARE(decoded.count(QChar(0x3B1)), 300);
    }
};

QTEST_GUILESS_MAIN(TestDecodeFeedText)
#include "tst_decodefeedtext.moc"
