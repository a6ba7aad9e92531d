#include "common/XmlDocument.h"

#include <QtTest>

using namespace pas_lib;

namespace {

// n elements in a row below the root (n + 1 in all).
QByteArray Flat(qsizetype n)
{
    QByteArray bytes = "<r>";
    bytes.reserve(n * 4 + 8);
    for (qsizetype i = 0; i < n; ++i)
        bytes += "<e/>";
    return bytes + "</r>";
}

// Elements nested depth levels deep, the root included.
QByteArray Nested(int depth)
{
    return QByteArray("<a>").repeated(depth) + "x" + QByteArray("</a>").repeated(depth);
}

} // namespace

class TestXmlDocument : public QObject
{
    Q_OBJECT
private slots:
    void selectsPathsAndText()
    {
        const TXmlDocument document(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<Root>\n  <URL>\n    <Nastavitve>\n      http://a/b\n    </Nastavitve>\n  </URL>\n"
            "  <P><K>1</K><V>a<b>x</b>c</V></P>\n  <P><K>2</K><V><![CDATA[ <br> ]]></V></P>\n"
            "  <!-- comment --><?pi data?><E>&lt;&amp;&#x10C;</E><Empty/>\n</Root>\n");
        QVERIFY(document.IsValid());
        QCOMPARE(document.Root().Name(), QStringLiteral("Root"));
        // The text keeps what lies inside the element, blanks included; only
        // blanks between elements are no text.
        QCOMPARE(document.Value("URL/Nastavitve"), QStringLiteral("\n      http://a/b\n    "));
        QCOMPARE(document.Value("/URL//Nastavitve/"), document.Value("URL/Nastavitve"));
        QCOMPARE(document.Root().FirstChild("URL").Text(), document.Value("URL/Nastavitve"));
        const QList<TXmlElement> records = document.Select("P");
        QCOMPARE(records.size(), 2);
        QCOMPARE(records[0].FirstChild("V").Text(), QStringLiteral("axc"));
        QCOMPARE(records[1].FirstChild("V").Text(), QStringLiteral(" <br> "));
        QCOMPARE(records[0].NextSibling("P"), records[1]);
        QVERIFY(records[1].NextSibling("P").IsNull());
        QCOMPARE(records[1].NextSibling().Name(), QStringLiteral("E"));
        QCOMPARE(document.Value("E"), QStringLiteral("<&Č"));
        QCOMPARE(document.Value("Empty"), QString());
        QVERIFY(document.Select("Missing/P").isEmpty());
        QVERIFY(document.Root().FirstChild("Missing").IsNull());
        QCOMPARE(records[0].NameId(), records[1].NameId());
        QCOMPARE(records[0].NameId(), document.NameId(u"P"));
        QCOMPARE(document.NameId(u"Missing"), -1);
    }

    void readsTheDeclaredEncoding()
    {
        const TXmlDocument document("<?xml version=\"1.0\" encoding=\"windows-1250\"?>"
                                    "<r><v>\xC8rnomelj \x9A</v></r>");
        QVERIFY(document.IsValid());
        QCOMPARE(document.Value("v"), QStringLiteral("Črnomelj š"));
    }

    void namesAsWritten()
    {
        const TXmlDocument document("<r><x:P>1</x:P><P>2</P></r>");
        QVERIFY(document.IsValid());
        QCOMPARE(document.Value("x:P"), QStringLiteral("1"));
        QCOMPARE(document.Value("P"), QStringLiteral("2"));
        QCOMPARE(document.Value("p"), QString()); // names are exact
    }

    void refusesWhatIsNoDocument_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("Storitev ni na voljo.");
        QTest::newRow("truncated") << QByteArray("<r><P>1</P><P>");
        QTest::newRow("two roots") << QByteArray("<r/><r/>");
        QTest::newRow("mismatched end") << QByteArray("<r><a></b></r>");
        QTest::newRow("undeclared entity") << QByteArray("<r>&nbsp;</r>");
        QTest::newRow("unknown encoding")
            << QByteArray("<?xml version=\"1.0\" encoding=\"x-none\"?><r/>");
        // Entities that multiply: refused by the reader's expansion limit or ours.
        QByteArray laughs =
            "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY a \"" + QByteArray(1000, 'a') + "\">";
        QByteArray previous = "a";
        for (const char* name : {"b", "c", "d", "e"}) {
            laughs += QByteArray("<!ENTITY ") + name + " \"" + ("&" + previous + ";").repeated(20) +
                      "\">";
            previous = name;
        }
        QTest::newRow("entities that multiply") << laughs + "]><r>&e;&e;&e;</r>";
    }
    void refusesWhatIsNoDocument()
    {
        QFETCH(QByteArray, bytes);
        TXmlDocument document;
        QVERIFY(document.Parse("<old><v>1</v></old>"));
        QVERIFY(!document.Parse(bytes));
        QVERIFY(!document.IsValid());
        QVERIFY(document.Root().IsNull());
        QCOMPARE(document.ElementCount(), 0);
        QVERIFY(document.Select("v").isEmpty());
        QCOMPARE(document.Value("v"), QString());
    }

    // A document may have up to 200,000 elements, 64 levels and 8 MiB.
    void limits_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("valid");
        QTest::newRow("200000 elements") << Flat(199999) << true;
        QTest::newRow("200001 elements") << Flat(200000) << false;
        QTest::newRow("64 levels") << Nested(64) << true;
        QTest::newRow("65 levels") << Nested(65) << false;
        QTest::newRow("100000 levels, never closed") << QByteArray("<a>").repeated(100000) << false;
        const QByteArray small = "<r>x</r>";
        QTest::newRow("8 MiB") << small + QByteArray(8 * 1024 * 1024 - small.size(), ' ') << true;
        QTest::newRow("8 MiB and a byte")
            << small + QByteArray(8 * 1024 * 1024 - small.size() + 1, ' ') << false;
    }
    void limits()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, valid);
        const TXmlDocument document(bytes);
        QCOMPARE(document.IsValid(), valid);
    }

    void limitsCanBeSet()
    {
        TXmlLimits limits;
        limits.MaxElements = 3;
        QVERIFY(TXmlDocument(Flat(2), limits).IsValid());
        QVERIFY(!TXmlDocument(Flat(3), limits).IsValid());
        limits = TXmlLimits();
        limits.MaxDepth = 2;
        QVERIFY(TXmlDocument(Nested(2), limits).IsValid());
        QVERIFY(!TXmlDocument(Nested(3), limits).IsValid());
        limits = TXmlLimits();
        limits.MaxBytes = 10;
        QVERIFY(TXmlDocument("<r>12</r>", limits).IsValid());
        QVERIFY(!TXmlDocument("<r>12345</r>", limits).IsValid());
    }
};

QTEST_GUILESS_MAIN(TestXmlDocument)
#include "tst_xmldocument.moc"
