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
        QTest::newRow("names with blanks around") << QByteArray("[A]\nK=1\n") << " A "
                                                  << " K\t" << QByteArray("[A]\nK=v\n");
        QTest::newRow("new names without blanks around") << QByteArray() << " B "
                                                         << " K " << QByteArray("[B]\nK=v\n");
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
        QCOMPARE(ReadProfileString(home.ConfigIni(), section, key), QStringLiteral("v"));
        // It may hold the proxy password.
        const auto permissions = QFileInfo(home.ConfigIni()).permissions();
        QVERIFY(permissions.testFlags(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QVERIFY(!(permissions & (QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                 QFileDevice::ReadOther | QFileDevice::WriteOther)));
    }

    // What would read back as something else is never written: the call fails
    // and the file stays as it was.
    void refusesWhatWouldNotReadBack_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("line feed in the value") << "URL"
                                                << "NASTAVITVE"
                                                << "http://a/\n[PARAMETRI]\nPROXY_SERVER=evil";
        QTest::newRow("carriage return in the value") << "URL"
                                                      << "REKLAME"
                                                      << "http://a/\rb";
        QTest::newRow("NUL in the value") << "URL"
                                          << "K" << QStringLiteral("a") + QChar(0);
        QTest::newRow("line break in the key") << "URL"
                                               << "K\nL"
                                               << "v";
        QTest::newRow("NUL in the key") << "URL" << QStringLiteral("K") + QChar(0) << "v";
        QTest::newRow("line break in the section") << "URL\r\n[X"
                                                   << "K"
                                                   << "v";
        QTest::newRow("bracket in the section") << "A]B"
                                                << "K"
                                                << "v";
        QTest::newRow("equals sign in the key") << "URL"
                                                << "K=L"
                                                << "v";
        QTest::newRow("key that is a comment") << "URL"
                                               << ";K"
                                               << "v";
        QTest::newRow("key that is a section") << "URL"
                                               << "[K"
                                               << "v";
        QTest::newRow("empty key") << "URL"
                                   << " "
                                   << "v";
        QTest::newRow("empty section") << ""
                                       << "K"
                                       << "v";
    }
    void refusesWhatWouldNotReadBack()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        TTestHome home;
        const QByteArray before = "[URL]\r\nNASTAVITVE=http://a/\r\n";
        home.WriteFile(QStringLiteral("Config.ini"), before);
        QVERIFY(!IsWritableProfileEntry(section, key, value));
        QVERIFY(!WriteProfileString(home.ConfigIni(), section, key, value));
        QCOMPARE(home.ReadFile(QStringLiteral("Config.ini")), before);
        TProfileFile file(home.ConfigIni());
        QVERIFY(!file.SetValue(section, key, value));
        QVERIFY(file.Save());
        QCOMPARE(home.ReadFile(QStringLiteral("Config.ini")), before);
    }

    // Many values in one reading and one writing.
    void manyValuesAtOnce()
    {
        TTestHome home;
        home.WriteFile(QStringLiteral("Config.ini"), "[A]\r\nX=1\r\n");
        {
            TProfileFile file(home.ConfigIni());
            QCOMPARE(file.Value(QStringLiteral("a"), QStringLiteral("x")), QStringLiteral("1"));
            QVERIFY(file.SetValue(QStringLiteral("A"), QStringLiteral("Y"), QStringLiteral("2")));
            QVERIFY(file.SetValue(QStringLiteral("B"), QStringLiteral("Z"), QStringLiteral("3")));
            QCOMPARE(file.Value(QStringLiteral("B"), QStringLiteral("Z")), QStringLiteral("3"));
            // Nothing reaches the file before Save.
            QCOMPARE(home.ReadFile(QStringLiteral("Config.ini")), QByteArray("[A]\r\nX=1\r\n"));
            QVERIFY(file.Save());
        }
        QCOMPARE(home.ReadFile(QStringLiteral("Config.ini")),
                 QByteArray("[A]\r\nX=1\r\nY=2\r\n[B]\r\nZ=3\r\n"));
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
