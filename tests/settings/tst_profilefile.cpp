#include "TestHome.h"
#include "settings/ProfileFile.h"

#include <QFileInfo>
#include <QtTest>

using namespace pas_lib;

class TestProfileFile : public QObject
{
    Q_OBJECT
private slots:
    void reads_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected"); // "<missing>" when absent
        const QByteArray windows = "[PARAMETRI]\r\nKRAJ_OPAZOVALNE=\"\xC8rnomelj\"\r\n"
                                   "INTERVAL_UPDATE=30\r\n[URL]\r\nNastavitve=http://a/b\r\n";
        QTest::newRow("Windows-1250, CRLF") << windows << "PARAMETRI"
                                            << "KRAJ_OPAZOVALNE"
                                            << "Črnomelj";
        QTest::newRow("UTF-8, LF")
            << QByteArray("[PARAMETRI]\nKRAJ_OPAZOVALNE=\"Črnomelj\"\n") << "PARAMETRI"
            << "KRAJ_OPAZOVALNE"
            << "Črnomelj";
        QTest::newRow("UTF-8 with byte order mark")
            << QByteArray("\xEF\xBB\xBF[PARAMETRI]\nKRAJ_OPAZOVALNE=Šoštanj\n") << "PARAMETRI"
            << "KRAJ_OPAZOVALNE"
            << "Šoštanj";
        QTest::newRow("names in any case") << windows << "url"
                                           << "NASTAVITVE"
                                           << "http://a/b";
        QTest::newRow("blanks and one pair of quotes")
            << QByteArray("[S]\nK =  \"\"x\"\"  \n") << "S"
            << "K"
            << "\"x\"";
        QTest::newRow("key of another section") << windows << "URL"
                                                << "INTERVAL_UPDATE"
                                                << "<missing>";
        QTest::newRow("missing section") << windows << "OTHER"
                                         << "K"
                                         << "<missing>";
        QTest::newRow("comment is no key") << QByteArray("[S]\n;K=1\n") << "S"
                                           << "K"
                                           << "<missing>";
        QTest::newRow("first of two sections") << QByteArray("[S]\nK=1\n[S]\nK=2\n") << "S"
                                               << "K"
                                               << "1";
        QTest::newRow("empty value") << QByteArray("[S]\nK=\n") << "S"
                                     << "K"
                                     << "";
    }
    void reads()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        TTestHome home;
        home.WriteFile(QStringLiteral("Config.ini"), file);
        const auto value = ReadProfileString(home.ConfigIni(), section, key);
        QCOMPARE(value.value_or(QStringLiteral("<missing>")), expected);
    }

    void writes_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("new file") << QByteArray() << "PARAMETRI"
                                  << "K" << QByteArray("[PARAMETRI]\nK=v\n");
        QTest::newRow("replace in place, keep CRLF and other keys")
            << QByteArray("[A]\r\nk=1\r\nL=2\r\n") << "A"
            << "K" << QByteArray("[A]\r\nK=v\r\nL=2\r\n");
        QTest::newRow("new key at end of its section")
            << QByteArray("[A]\nX=1\n\n[B]\nY=2\n") << "A"
            << "K" << QByteArray("[A]\nX=1\nK=v\n\n[B]\nY=2\n");
        QTest::newRow("new section at end of file") << QByteArray("[A]\nX=1\n") << "URL"
                                                    << "K" << QByteArray("[A]\nX=1\n[URL]\nK=v\n");
        QTest::newRow("Windows-1250 lines come back as UTF-8")
            << QByteArray("[A]\r\nP=\xC8rnomelj\r\n") << "A"
            << "K" << QByteArray("[A]\r\nP=Črnomelj\r\nK=v\r\n");
    }
    void writes()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QByteArray, after);
        TTestHome home;
        if (!before.isEmpty())
            home.WriteFile(QStringLiteral("Config.ini"), before);
        QVERIFY(WriteProfileString(home.ConfigIni(), section, key, QStringLiteral("v")));
        QCOMPARE(home.ReadFile(QStringLiteral("Config.ini")), after);
        // It may hold the proxy password.
        const auto permissions = QFileInfo(home.ConfigIni()).permissions();
        QVERIFY(permissions.testFlags(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QVERIFY(!(permissions & (QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                 QFileDevice::ReadOther | QFileDevice::WriteOther)));
    }

    void unreadableFileIsNeverReplaced()
    {
        TTestHome home;
        const QByteArray huge(5 * 1024 * 1024, 'x');
        home.WriteFile(QStringLiteral("Config.ini"), huge);
        QVERIFY(!WriteProfileString(home.ConfigIni(), QStringLiteral("A"), QStringLiteral("K"),
                                    QStringLiteral("v")));
        QCOMPARE(home.ReadFile(QStringLiteral("Config.ini")).size(), huge.size());
        QVERIFY(!ReadProfileString(home.ConfigIni(), QStringLiteral("A"), QStringLiteral("K")));
    }
};

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profilefile.moc"
