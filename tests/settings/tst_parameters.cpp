#include "RecordingPresenter.h"
#include "TestHome.h"
#include "settings/Tparameter.h"

#include <QFile>
#include <QThread>
#include <QtTest>
#include <atomic>

class TestParameters : public QObject
{
    Q_OBJECT

    std::unique_ptr<TTestHome> home;

private slots:
    void init() { home = std::make_unique<TTestHome>(); }
    void cleanup()
    {
        delete parametri;
        parametri = nullptr;
        home.reset();
    }

    void definesEveryParameterInOrder()
    {
        CreateParameters();
        const QStringList names = parametri->Names();
        QCOMPARE(names.size(), 55);
        QCOMPARE(names.first(), QStringLiteral("NE_AVTOMATSKI_ZAGON"));
        QCOMPARE(names.indexOf(QStringLiteral("PROXY_PWD")), 25);
        QCOMPARE(names.at(26), QStringLiteral("SLIKA_PADAVINE"));
        QCOMPARE(names.at(40), QStringLiteral("AMATERSKE_POSTAJE"));
        QCOMPARE(names.at(41), QStringLiteral("CAPTION_WRITER"));
        QCOMPARE(names.at(42), QStringLiteral("SORT_INDEX_OPAZ"));
        QCOMPARE(names.at(48), QStringLiteral("SORT_OPAZ"));
        QCOMPARE(names.last(), QStringLiteral("DOWNLOAD_API"));
    }

    // Each name the code uses is a defined parameter of its type letter, every
    // parameter has its name, and the names and letters are the ones users'
    // Config.ini files hold.
    void namedParametersAreTheDefinedOnes()
    {
        TRecordingPresenter presenter;
        CreateParameters();
        QStringList named;
        for (int i = 0; i < ParameterCount; ++i) {
            const TParam parameter = TParam(i);
            const QString name = ParameterName(parameter);
            QVERIFY2(parametri->TypeOf(name) != 0, qPrintable(name));
            QCOMPARE(parametri->TypeOf(name), ParameterTypeLetter(parameter));
            named.append(name + QLatin1Char(' ') + QLatin1Char(ParameterTypeLetter(parameter)));
        }
        const QStringList stored{
            "NE_AVTOMATSKI_ZAGON L", "MINIMIZE_ON_X L",     "PREVERI_NOVO_VERZIJO L",
            "INTERVAL_UPDATE I",     "IZKLOPI_OBLACEK L",   "INTERVAL_IKONA I",
            "PRIKAZEM_IKONO I",      "PISAVA_VELIKOST C",   "FONT_NAME C",
            "FONT_SIZE C",           "FONT_STYLE C",        "FONT_COLOR I",
            "FONT_BG_COLOR I",       "PODATKI_V_OBLACKU C", "TI_ZNAK_STOPINJE L",
            "TI_TRANSPARENT L",      "VI_TRANSPARENT L",    "KRAJ_AVTOMATSKE C",
            "KRAJ_OPAZOVALNE C",     "KRAJ_AMATERSKE C",    "TIP_POSTAJE I",
            "VREME_OPAZOVALNE L",    "PROXY_SERVER C",      "PROXY_PORT I",
            "PROXY_USER C",          "PROXY_PWD C",         "SLIKA_PADAVINE L",
            "VREMENSKA_NAPOVED L",   "NAPOVED_V_SLIKI L",   "GRAF_TEMPERATURE L",
            "SATELITSKA_SLIKA L",    "NAPOVED_BIO L",       "NAPOVED_JULIJCI L",
            "NAPOVED_LETALSTVO L",   "NAPOVED_VISINSKE L",  "SNEZNA_ODEJA L",
            "ANIMACIJE L",           "NAPOVED_EVROPA L",    "NAPOVED_PRIMORJE L",
            "VODOSTAJI L",           "AMATERSKE_POSTAJE L", "CAPTION_WRITER L",
            "SORT_INDEX_OPAZ I",     "SORT_INDEX_AVTO I",   "SORT_INDEX_AMAT I",
            "SORT_INDEX_SN_ODEJA I", "SORT_INDEX_EU I",     "SORT_INDEX_VODOST I",
            "SORT_OPAZ I",           "SORT_AVTO I",         "SORT_AMAT I",
            "SORT_SN_ODEJA I",       "SORT_EU I",           "SORT_VODOST I",
            "DOWNLOAD_API L"};
        QCOMPARE(named, stored);
        // Each once, in the order of definition.
        QStringList names;
        for (const QString& entry : named)
            names.append(entry.chopped(2));
        QCOMPARE(parametri->Names(), names);
        QCOMPARE(presenter.Messages, QStringList());
    }

    void defaultsWithoutConfigIni_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("INTERVAL_UPDATE") << "INTERVAL_UPDATE" << QVariant(20);
        QTest::newRow("MINIMIZE_ON_X") << "MINIMIZE_ON_X" << QVariant(true);
        QTest::newRow("NE_AVTOMATSKI_ZAGON") << "NE_AVTOMATSKI_ZAGON" << QVariant(false);
        QTest::newRow("KRAJ_AMATERSKE") << "KRAJ_AMATERSKE" << QVariant(QStringLiteral("Krtina"));
        QTest::newRow("PROXY_PORT") << "PROXY_PORT" << QVariant(0);
        QTest::newRow("FONT_BG_COLOR") << "FONT_BG_COLOR" << QVariant(12632256);
        QTest::newRow("FONT_NAME") << "FONT_NAME" << QVariant(QStringLiteral("MS Sans Serif"));
        QTest::newRow("PODATKI_V_OBLACKU")
            << "PODATKI_V_OBLACKU" << QVariant(QStringLiteral("012"));
        QTest::newRow("lower-case name") << "interval_update" << QVariant(20);
    }
    void defaultsWithoutConfigIni()
    {
        QFETCH(QString, name);
        QFETCH(QVariant, expected);
        TRecordingPresenter presenter;
        CreateParameters();
        QCOMPARE(parametri->Get(name), expected);
        QVERIFY(presenter.Messages.isEmpty());
        QVERIFY2(!QFile::exists(home->ConfigIni()), "reading defaults creates no file");
    }

    void unknownName()
    {
        TRecordingPresenter presenter;
        CreateParameters();
        QCOMPARE(parametri->Get(QStringLiteral("no_such")), QVariant(QString()));
        parametri->Set(QStringLiteral("NO_SUCH"), 5);
        QCOMPARE(presenter.Messages, QStringList({QStringLiteral("Nepoznan parameter: NO_SUCH"),
                                                  QStringLiteral("Nepoznan parameter: NO_SUCH")}));
        QVERIFY(!QFile::exists(home->ConfigIni()));
    }

    void longNameIsDefinedWithMessage()
    {
        TRecordingPresenter presenter;
        Tparameter store;
        const QString name = QString(41, QLatin1Char('A'));
        store.Define(name, 'i', 7);
        QCOMPARE(presenter.Messages, QStringList(name + QStringLiteral("\nPredolg naziv!!!")));
        QCOMPARE(store.Get(name), QVariant(7));
    }

    // What Set writes, the line in Config.ini, and what Get yields after a reload.
    void setWritesAndReadsBack_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QVariant>("reloaded");
        QTest::newRow("plain font style")
            << "FONT_STYLE" << QVariant(QStringLiteral("X")) << QByteArray("FONT_STYLE=\"X\"")
            << QVariant(QStringLiteral("X"));
        QTest::newRow("doubled quotes")
            << "PROXY_USER" << QVariant(QStringLiteral("a\"b"))
            << QByteArray("PROXY_USER=\"a\"\"b\"") << QVariant(QStringLiteral("a\"b"));
        QTest::newRow("integer on a text parameter")
            << "PISAVA_VELIKOST" << QVariant(5) << QByteArray("PISAVA_VELIKOST=\"5\"")
            << QVariant(QStringLiteral("5"));
        QTest::newRow("logical true") << "CAPTION_WRITER" << QVariant(true)
                                      << QByteArray("CAPTION_WRITER=\"1\"") << QVariant(true);
        QTest::newRow("logical from text") << "CAPTION_WRITER" << QVariant(QStringLiteral("yes"))
                                           << QByteArray("CAPTION_WRITER=\"0\"") << QVariant(false);
        QTest::newRow("text cut to 150") << "PROXY_PWD" << QVariant(QString(200, QLatin1Char('p')))
                                         << "PROXY_PWD=\"" + QByteArray(150, 'p') + "\""
                                         << QVariant(QString(150, QLatin1Char('p')));
        QTest::newRow("null is not quoted")
            << "KRAJ_OPAZOVALNE" << QVariant(QStringLiteral("null"))
            << QByteArray("KRAJ_OPAZOVALNE=null") << QVariant(QStringLiteral("null"));
        QTest::newRow("UTF-8 text")
            << "KRAJ_OPAZOVALNE" << QVariant(QStringLiteral("Črnomelj"))
            << QByteArray("KRAJ_OPAZOVALNE=\"Črnomelj\"") << QVariant(QStringLiteral("Črnomelj"));
        // The 150th character would be half of one: the cut keeps it whole.
        const QString emoji = QString(149, QLatin1Char('p')) + QStringLiteral("\U0001F326x");
        QTest::newRow("cut never halves a character")
            << "PROXY_PWD" << QVariant(emoji) << "PROXY_PWD=\"" + QByteArray(149, 'p') + "\""
            << QVariant(QString(149, QLatin1Char('p')));
    }
    void setWritesAndReadsBack()
    {
        QFETCH(QString, name);
        QFETCH(QVariant, value);
        QFETCH(QByteArray, line);
        QFETCH(QVariant, reloaded);
        CreateParameters();
        parametri->Set(name, value);
        const QByteArray file = home->ReadFile(QStringLiteral("Config.ini"));
        QVERIFY2(file.split('\n').contains(line), file.constData());
        CreateParameters();
        QCOMPARE(parametri->Get(name), reloaded);
    }

    // A value that would break its line of Config.ini is refused: a message
    // says so, and neither the store nor the file changes.
    void setRefusesLineBreaks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::newRow("password with a line feed") << "PROXY_PWD"
                                                   << "geslo\nnaprej";
        QTest::newRow("carriage return") << "PROXY_USER"
                                         << "jo\re";
        QTest::newRow("NUL") << "PROXY_PWD" << QStringLiteral("a") + QChar(0) + QStringLiteral("b");
        QTest::newRow("a section of its own")
            << "KRAJ_OPAZOVALNE"
            << "Celje\r\n[URL]\r\nNASTAVITVE=http://evil.example/";
        QTest::newRow("line break beyond 150 characters")
            << "FONT_NAME" << QString(160, QLatin1Char('f')) + QStringLiteral("\nPROXY_SERVER=x");
    }
    void setRefusesLineBreaks()
    {
        QFETCH(QString, name);
        QFETCH(QString, value);
        TRecordingPresenter presenter;
        home->WriteFile(QStringLiteral("Config.ini"), "[PARAMETRI]\nPROXY_PWD=\"staro\"\n");
        CreateParameters();
        const QVariant before = parametri->Get(name);
        parametri->Set(name, value);
        QCOMPARE(presenter.Messages,
                 QStringList(QStringLiteral("Vrednost parametra ") + name +
                             QStringLiteral(" vsebuje prelom vrstice in ni shranjena.")));
        QCOMPARE(parametri->Get(name), before);
        QCOMPARE(home->ReadFile(QStringLiteral("Config.ini")),
                 QByteArray("[PARAMETRI]\nPROXY_PWD=\"staro\"\n"));
        // A good value after it is taken as usual.
        parametri->Set(name, QStringLiteral("nova vrednost"));
        CreateParameters();
        QCOMPARE(parametri->Get(name).toString(), QStringLiteral("nova vrednost"));
    }

    void getConvertsStoredText_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("True") << "DOWNLOAD_API" << QByteArray("\"True\"") << QVariant(true);
        QTest::newRow("false in lower case")
            << "MINIMIZE_ON_X" << QByteArray("false") << QVariant(false);
        QTest::newRow("0") << "MINIMIZE_ON_X" << QByteArray("\"0\"") << QVariant(false);
        QTest::newRow("yes") << "MINIMIZE_ON_X" << QByteArray("\"yes\"") << QVariant(false);
        QTest::newRow("number not 0") << "CAPTION_WRITER" << QByteArray("-1") << QVariant(true);
        QTest::newRow("integer text") << "INTERVAL_UPDATE" << QByteArray("\"45\"") << QVariant(45);
        QTest::newRow("not an integer") << "INTERVAL_UPDATE" << QByteArray("\"4x\"") << QVariant(0);
        QTest::newRow("empty key repaired") << "INTERVAL_UPDATE" << QByteArray("") << QVariant(20);
        QTest::newRow("empty quoted text")
            << "PROXY_SERVER" << QByteArray("\"\"") << QVariant(QString());
    }
    void getConvertsStoredText()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, stored);
        QFETCH(QVariant, expected);
        home->WriteFile(QStringLiteral("Config.ini"),
                        "[PARAMETRI]\r\n" + name.toLatin1() + "=" + stored + "\r\n");
        CreateParameters();
        QCOMPARE(parametri->Get(name), expected);
    }

    void emptyKeyIsRepairedWithDefault()
    {
        home->WriteFile(QStringLiteral("Config.ini"),
                        "[PARAMETRI]\nINTERVAL_UPDATE=\nFONT_COLOR=255\n");
        CreateParameters();
        QCOMPARE(home->ReadFile(QStringLiteral("Config.ini")),
                 QByteArray("[PARAMETRI]\nINTERVAL_UPDATE=20\nFONT_COLOR=255\n"));
    }

    void windowsWrittenConfigIni()
    {
        home->WriteFile(QStringLiteral("Config.ini"),
                        "[PARAMETRI]\r\nkraj_opazovalne=\"\xC8rnomelj\"\r\nTIP_POSTAJE=\"1\"\r\n"
                        "MINIMIZE_ON_X=\"0\"\r\nPROXY_USER=\"jo\"\"e\"\r\n[URL]\r\n"
                        "NASTAVITVE=http://example.invalid/n\r\n");
        CreateParameters();
        QCOMPARE(parametri->Get(QStringLiteral("KRAJ_OPAZOVALNE")),
                 QVariant(QStringLiteral("Črnomelj")));
        QCOMPARE(parametri->Get(QStringLiteral("TIP_POSTAJE")), QVariant(1));
        QCOMPARE(parametri->Get(QStringLiteral("MINIMIZE_ON_X")), QVariant(false));
        QCOMPARE(parametri->Get(QStringLiteral("PROXY_USER")), QVariant(QStringLiteral("jo\"e")));
        parametri->Set(QStringLiteral("INTERVAL_UPDATE"), 30);
        QCOMPARE(
            home->ReadFile(QStringLiteral("Config.ini")),
            QByteArray("[PARAMETRI]\r\nkraj_opazovalne=\"Črnomelj\"\r\nTIP_POSTAJE=\"1\"\r\n"
                       "MINIMIZE_ON_X=\"0\"\r\nPROXY_USER=\"jo\"\"e\"\r\nINTERVAL_UPDATE=\"30\"\r\n"
                       "[URL]\r\nNASTAVITVE=http://example.invalid/n\r\n"));
    }

    void saveAllWritesInSortedOrder()
    {
        CreateParameters();
        parametri->SaveAll();
        QStringList keys;
        for (const QByteArray& line : home->ReadFile(QStringLiteral("Config.ini")).split('\n'))
            if (line.contains('='))
                keys.append(QString::fromLatin1(line.left(line.indexOf('='))));
        QCOMPARE(keys.size(), 55);
        // Letter case aside, "_" sorts before the letters, as on Windows.
        QStringList sorted = keys;
        std::sort(sorted.begin(), sorted.end(),
                  [](const QString& a, const QString& b) { return a.toLower() < b.toLower(); });
        QVERIFY(keys.indexOf(QStringLiteral("NAPOVED_V_SLIKI")) <
                keys.indexOf(QStringLiteral("NAPOVED_VISINSKE")));
        QCOMPARE(keys, sorted);
        QCOMPARE(parametri->Names(), sorted);
        CreateParameters();
        QCOMPARE(parametri->Get(QStringLiteral("INTERVAL_UPDATE")), QVariant(20));
        QCOMPARE(parametri->Get(QStringLiteral("KRAJ_AMATERSKE")),
                 QVariant(QStringLiteral("Krtina")));
    }

    void configIniValueModes()
    {
        QCOMPARE(ConfigIniValue(TIniMode::Read, QStringLiteral("Nastavitve"), QStringLiteral("d"),
                                QStringLiteral("url")),
                 QStringLiteral("d"));
        QVERIFY(!QFile::exists(home->ConfigIni()));
        QCOMPARE(ConfigIniValue(TIniMode::Write, QStringLiteral("Nastavitve"),
                                QStringLiteral("http://x/"), QStringLiteral("url")),
                 QStringLiteral("http://x/"));
        QCOMPARE(home->ReadFile(QStringLiteral("Config.ini")),
                 QByteArray("[URL]\nNASTAVITVE=http://x/\n"));
        QCOMPARE(ConfigIniValue(TIniMode::Read, QStringLiteral("nastavitve"), QStringLiteral("d"),
                                QStringLiteral("URL")),
                 QStringLiteral("http://x/"));
    }

    // A worker reads the proxy settings while the main thread sets them.
    void concurrentGetAndSet()
    {
        CreateParameters();
        std::atomic<bool> torn{false};
        std::atomic<bool> stop{false};
        QThread* reader = QThread::create([&] {
            while (!stop) {
                const QString user = parametri->Get(QStringLiteral("PROXY_USER")).toString();
                if (user != QLatin1String("aaaaaaaa") && user != QLatin1String("bbbbbbbb") &&
                    !user.isEmpty())
                    torn = true;
            }
        });
        reader->start();
        for (int i = 0; i < 200; ++i)
            parametri->Set(QStringLiteral("PROXY_USER"),
                           i % 2 ? QStringLiteral("aaaaaaaa") : QStringLiteral("bbbbbbbb"));
        stop = true;
        reader->wait();
        delete reader;
        QVERIFY(!torn);
    }
};

QTEST_GUILESS_MAIN(TestParameters)
#include "tst_parameters.moc"
