#include "Await.h"
#include "LoopbackServers.h"
#include "RecordingPresenter.h"
#include "TestHome.h"
#include "common/DataPaths.h"
#include "common/Desktop.h"
#include "net/LastModifiedStamps.h"
#include "remote/ClientIdentity.h"
#include "remote/MirrorTable.h"
#include "remote/RemoteSettings.h"
#include "settings/Tparameter.h"

#include <QFile>
#include <QtTest>

namespace {

QByteArray Mirror(const QString& url, const QString& weight = QString())
{
    QByteArray p = "<P>";
    if (!url.isNull())
        p += "<URL>" + url.toUtf8() + "</URL>";
    if (!weight.isNull())
        p += "<Prioriteta>" + weight.toUtf8() + "</Prioriteta>";
    return "<Ogledala>" + p + "</P></Ogledala>";
}

// A settings document; the parts are XML fragments put below the root.
QByteArray Document(const QByteArray& inner)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Nastavitve>" + inner + "</Nastavitve>\n";
}

} // namespace

class TestRemoteSettings : public QObject
{
    Q_OBJECT

    TNginxServer nginx;
    std::unique_ptr<TTestHome> home;
    std::unique_ptr<TRecordingPresenter> presenter;
    QStringList opened;

    void Serve(const QString& name, const QByteArray& document) { nginx.WriteFile(name, document); }
    QStringList RequestsSince(int before) const { return nginx.Requests().mid(before); }

private slots:
    void initTestCase() { QVERIFY2(nginx.Start(), qPrintable(nginx.Error())); }

    void init()
    {
        home = std::make_unique<TTestHome>();
        presenter = std::make_unique<TRecordingPresenter>();
        opened.clear();
        pas_lib::SetWebAddressOpener([this](const QString& address) {
            opened.append(address);
            return true;
        });
        pas_lib::ResetProgramEndRequest();
        home->WriteFile(QStringLiteral("Config.ini"),
                        ("[URL]\nNASTAVITVE=" + nginx.Url(QStringLiteral("cliententer.asp")) +
                         "\nSTATICNENASTAVITVE=" + nginx.Url(QStringLiteral("nastavitve.xml")) +
                         "\n")
                            .toUtf8());
        // A fresh catalogue, so that only the tests about it download one.
        home->WriteFile(QStringLiteral("Postaje.xml"), "<Postaje/>");
        CreateParameters();
        LastRemoteRead = QDateTime();
        AdsUrl.clear();
        AdsActive = false;
        HomePageUrl.clear();
        Proverb.clear();
        StationCatalogueUrl.clear();
        MirrorTable.Clear();
        MirrorTable.Count = 0;
        QFile::remove(nginx.Root() + QStringLiteral("/cliententer.asp"));
        QFile::remove(nginx.Root() + QStringLiteral("/nastavitve.xml"));
    }
    void cleanup()
    {
        pas_lib::SetWebAddressOpener({});
        presenter.reset();
        delete parametri;
        parametri = nullptr;
        home.reset();
    }

    void requestsOnceADayWithReport()
    {
        Serve(QStringLiteral("cliententer.asp"),
              Document("<URL><HomePage>http://www.nimbulon.si/</HomePage></URL>"
                       "<Razno><Pregovor>Manj &amp;lt; več&lt;br&gt;dežja</Pregovor></Razno>" +
                       Mirror(QStringLiteral("http://m1.example/"), QStringLiteral("2"))));
        const int before = nginx.Requests().size();
        Await(ReadRemoteSettings());
        Await(ReadRemoteSettings());
        QCOMPARE(RequestsSince(before),
                 QStringList(QStringLiteral("GET /cliententer.asp") +
                             ClientReport(TReportMode::Settings) + QStringLiteral(" 200")));
        QCOMPARE(HomePageUrl, QStringLiteral("http://www.nimbulon.si/"));
        QCOMPARE(Proverb, QStringLiteral("Manj < več\rdežja"));
        QCOMPARE(MirrorTable.Count, 1);

        // A day later it asks again.
        LastRemoteRead = LastRemoteRead.addDays(-1).addSecs(-1);
        Await(ReadRemoteSettings());
        QCOMPARE(RequestsSince(before).size(), 2);
    }

    void staticDocumentWhenRequestFails_data()
    {
        QTest::addColumn<QByteArray>("primary"); // empty: not served (404)
        QTest::newRow("404") << QByteArray();
        QTest::newRow("not XML") << QByteArray("<html><body>Napaka na stre");
    }
    void staticDocumentWhenRequestFails()
    {
        QFETCH(QByteArray, primary);
        if (!primary.isEmpty())
            Serve(QStringLiteral("cliententer.asp"), primary);
        Serve(QStringLiteral("nastavitve.xml"),
              Document("<URL><HomePage>http://static.example/</HomePage></URL>" +
                       Mirror(QStringLiteral("http://m1.example/"))));
        const int before = nginx.Requests().size();
        Await(ReadRemoteSettings());
        const QStringList requests = RequestsSince(before);
        QCOMPARE(requests.size(), 2);
        QCOMPARE(requests.at(1), QStringLiteral("GET /nastavitve.xml 200"));
        QCOMPARE(HomePageUrl, QStringLiteral("http://static.example/"));
        QVERIFY(LastRemoteRead.isValid());
    }

    // Neither document usable: nothing changes, and the next refresh asks again.
    void nothingUsableChangesNothing()
    {
        HomePageUrl = QStringLiteral("http://before.example/");
        MirrorTable.SetMirror(1, QStringLiteral("http://m.example/"), 3);
        MirrorTable.Count = 1;
        LastModifiedStamps.Set(4, 40000.0);
        Serve(QStringLiteral("cliententer.asp"), "not xml at all");
        Serve(QStringLiteral("nastavitve.xml"), "<Nastavitve><URL>");
        const int before = nginx.Requests().size();
        Await(ReadRemoteSettings());
        QCOMPARE(HomePageUrl, QStringLiteral("http://before.example/"));
        QCOMPARE(MirrorFileAddress(1, 1), QStringLiteral("http://m.example/podatki.xml"));
        QCOMPARE(LastModifiedStamps.Get(4), 40000.0);
        QVERIFY(!LastRemoteRead.isValid());
        Await(ReadRemoteSettings());
        QCOMPARE(RequestsSince(before).size(), 4);
    }

    void addressCache()
    {
        const QString next = nginx.Url(QStringLiteral("drugi/cliententer.asp"));
        Serve(QStringLiteral("cliententer.asp"),
              Document("<URL><Nastavitve>" + next.toUtf8() +
                       "</Nastavitve>"
                       "<Reklame>http://oglasi.example/seznam.asp</Reklame></URL>"));
        Await(ReadRemoteSettings());
        const QByteArray config = home->ReadFile(QStringLiteral("Config.ini"));
        QVERIFY2(config.contains("NASTAVITVE=" + next.toUtf8() + "\n"), config.constData());
        QVERIFY2(config.contains("REKLAME=http://oglasi.example/seznam.asp\n"), config.constData());
    }

    // Documents of a hostile or careless server against the Config.ini that
    // results: only whole web addresses are cached, trimmed, each on its line.
    void hostileDocuments_data()
    {
        QTest::addColumn<QByteArray>("inner");
        QTest::addColumn<QString>("next");    // NASTAVITVE afterwards; empty: as before
        QTest::addColumn<QString>("adverts"); // REKLAME afterwards; empty: none
        QTest::newRow("line break and a section in Nastavitve")
            << QByteArray("<URL><Nastavitve>http://x.example/c.asp\n[PARAMETRI]\n"
                          "PROXY_SERVER=evil.example</Nastavitve></URL>")
            << ""
            << "";
        QTest::newRow("CR LF and a key in Reklame")
            << QByteArray("<URL><Reklame>http://ads.example/s.asp&#13;&#10;[URL]&#13;&#10;"
                          "NASTAVITVE=http://evil.example/</Reklame></URL>")
            << ""
            << "";
        QTest::newRow("carriage return alone")
            << QByteArray(
                   "<URL><Nastavitve>http://x.example/&#13;PROXY_SERVER=e</Nastavitve></URL>")
            << ""
            << "";
        QTest::newRow("pretty-printed")
            << QByteArray("\n  <URL>\n    <Nastavitve>\n      http://x.example/c.asp\n"
                          "    </Nastavitve>\n    <Reklame>\r\n\thttp://ads.example/s.asp \n"
                          "    </Reklame>\n  </URL>\n")
            << "http://x.example/c.asp"
            << "http://ads.example/s.asp";
        QTest::newRow("no web addresses")
            << QByteArray("<URL><Nastavitve>file:///etc/passwd</Nastavitve>"
                          "<Reklame>javascript:alert(1)</Reklame></URL>")
            << ""
            << "";
        QTest::newRow("blank inside, no host")
            << QByteArray("<URL><Nastavitve>http://x.example/a b</Nastavitve>"
                          "<Reklame>http://</Reklame></URL>")
            << ""
            << "";
        QTest::newRow("https") << QByteArray(
                                      "<URL><Nastavitve>HTTPS://x.example/c</Nastavitve></URL>")
                               << "HTTPS://x.example/c"
                               << "";
    }
    void hostileDocuments()
    {
        QFETCH(QByteArray, inner);
        QFETCH(QString, next);
        QFETCH(QString, adverts);
        const QByteArray before = home->ReadFile(QStringLiteral("Config.ini"));
        const QString cached = nginx.Url(QStringLiteral("cliententer.asp"));
        Serve(QStringLiteral("cliententer.asp"),
              Document(inner + Mirror(QStringLiteral("http://m1.example/"))));
        Await(ReadRemoteSettings());
        QVERIFY(LastRemoteRead.isValid());
        QByteArray expected = before;
        if (!next.isEmpty())
            expected.replace(cached.toUtf8(), next.toUtf8());
        if (!adverts.isEmpty())
            expected += "REKLAME=" + adverts.toUtf8() + "\n";
        QCOMPARE(home->ReadFile(QStringLiteral("Config.ini")), expected);
        CreateParameters();
        QCOMPARE(parametri->Get(QStringLiteral("PROXY_SERVER")).toString(), QString());
        QCOMPARE(AdsUrl.isEmpty(), adverts.isEmpty());
        QCOMPARE(presenter->Messages, QStringList());
    }

    // The version note goes to the message as it is, markup and all; the
    // presenter shows it as plain text.
    void versionNoteIsText()
    {
        Serve(QStringLiteral("cliententer.asp"),
              Document(
                  "<Verzija><Stevilka>9.7.0.0</Stevilka><Opomba>\n  &lt;img src=\"/dev/zero\"&gt;"
                  "&lt;b&gt;Nova&lt;/b&gt;\n</Opomba></Verzija>"));
        Await(ReadRemoteSettings());
        QCOMPARE(presenter->Messages,
                 QStringList(QStringLiteral("<img src=\"/dev/zero\"><b>Nova</b>")));
    }

    void advertising_data()
    {
        QTest::addColumn<QByteArray>("onOff");
        QTest::addColumn<QByteArray>("address");
        QTest::addColumn<QByteArray>("cached");
        QTest::addColumn<bool>("active");
        QTest::addColumn<QString>("url");
        QTest::newRow("da2") << QByteArray("da2") << QByteArray("http://oglasi.example/s.asp")
                             << QByteArray() << true << "http://oglasi.example/s.asp";
        QTest::newRow("DA") << QByteArray("DA") << QByteArray("http://oglasi.example/s.asp")
                            << QByteArray() << false << "http://oglasi.example/s.asp";
        QTest::newRow("cached address used")
            << QByteArray("DA2") << QByteArray() << QByteArray("http://star.example/s.asp") << true
            << "http://star.example/s.asp";
        QTest::newRow("no address at all")
            << QByteArray("DA2") << QByteArray() << QByteArray() << false << "";
    }
    void advertising()
    {
        QFETCH(QByteArray, onOff);
        QFETCH(QByteArray, address);
        QFETCH(QByteArray, cached);
        QFETCH(bool, active);
        QFETCH(QString, url);
        if (!cached.isEmpty())
            ConfigIniValue(TIniMode::Write, QStringLiteral("Reklame"), QString::fromUtf8(cached),
                           QStringLiteral("URL"));
        QByteArray inner = "<PrikazOglasa>" + onOff + "</PrikazOglasa>";
        if (!address.isEmpty())
            inner += "<URL><Reklame>" + address + "</Reklame></URL>";
        Serve(QStringLiteral("cliententer.asp"), Document(inner));
        const TReportStations stations{QStringLiteral("8"), QStringLiteral("11")};
        Await(ReadRemoteSettings([stations] { return stations; }));
        QCOMPARE(AdsActive, active);
        QCOMPARE(AdsUrl, url.isEmpty() ? QString()
                                       : url + ClientReport(TReportMode::Advertising, stations));
        if (!url.isEmpty())
            QVERIFY2(AdsUrl.endsWith(QLatin1String("&KO=8&KA=11")), qPrintable(AdsUrl));
    }

    void versionCheck_data()
    {
        QTest::addColumn<QString>("newest");
        QTest::addColumn<QString>("note");
        QTest::addColumn<bool>("answerYes");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<bool>("ends");
        const QString homePage = QStringLiteral("http://www.nimbulon.si/");
        QTest::newRow("1.6.0.10 is not newer") << "1.6.0.10"
                                               << "" << true << "" << false << false;
        QTest::newRow("same version") << ProgramVersion() << "" << true << "" << false << false;
        QTest::newRow("empty") << ""
                               << "" << true << "" << false << false;
        QTest::newRow("newer, answered yes") << "9.7.0.0"
                                             << "" << true
                                             << "Na voljo je novejša verzija programa "
                                                "Nimbulon!\n\r\n\rŽeliš preveriti domačo stran: " +
                                                    homePage + "?\n\r"
                                             << true << false;
        QTest::newRow("newer, answered no") << "9.7.0.0"
                                            << "" << false
                                            << "Na voljo je novejša verzija programa "
                                               "Nimbulon!\n\r\n\rŽeliš preveriti domačo stran: " +
                                                   homePage + "?\n\r"
                                            << false << false;
        QTest::newRow("newer with a note")
            << "9.7.0.0"
            << "Nova verzija je tu." << true << "Nova verzija je tu." << false << false;
        QTest::newRow("this one no longer works")
            << "9.7.0.0"
            << "!" << true
            << "Trenutna verzija programa ne deluje več!\n\r\n\rPreveri domačo stran: " + homePage +
                   "\n\r"
            << false << true;
    }
    void versionCheck()
    {
        QFETCH(QString, newest);
        QFETCH(QString, note);
        QFETCH(bool, answerYes);
        QFETCH(QString, message);
        QFETCH(bool, opens);
        QFETCH(bool, ends);
        presenter->NextAnswers = {answerYes ? pas_lib::TMessageAnswer::Yes
                                            : pas_lib::TMessageAnswer::No};
        Serve(
            QStringLiteral("cliententer.asp"),
            Document("<URL><HomePage>http://www.nimbulon.si/</HomePage></URL><Verzija><Stevilka>" +
                     newest.toUtf8() + "</Stevilka><Opomba>" + note.toUtf8() +
                     "</Opomba></Verzija>" + Mirror(QStringLiteral("http://m1.example/"))));
        Await(ReadRemoteSettings());
        QCOMPARE(presenter->Messages, message.isEmpty() ? QStringList() : QStringList(message));
        QCOMPARE(opened,
                 opens ? QStringList(QStringLiteral("http://www.nimbulon.si/")) : QStringList());
        QCOMPARE(pas_lib::ProgramEndRequested(), ends);
        QCOMPARE(MirrorTable.Count, 1); // the rest of the reading still runs
    }

    void homePageOnlyOnTheWeb()
    {
        presenter->NextAnswers = {pas_lib::TMessageAnswer::Yes};
        Serve(QStringLiteral("cliententer.asp"),
              Document("<URL><HomePage>file:///etc/passwd</HomePage></URL>"
                       "<Verzija><Stevilka>9.0.0.0</Stevilka></Verzija>"));
        Await(ReadRemoteSettings());
        QCOMPARE(presenter->Messages.size(), 1);
        QCOMPARE(opened, QStringList());
    }

    void versionCheckSwitchedOff()
    {
        parametri->Set(QStringLiteral("PREVERI_NOVO_VERZIJO"), false);
        Serve(QStringLiteral("cliententer.asp"),
              Document("<Verzija><Stevilka>9.0.0.0</Stevilka></Verzija>"));
        Await(ReadRemoteSettings());
        QCOMPARE(presenter->Messages, QStringList());
    }

    void mirrors()
    {
        QByteArray list = Mirror(QStringLiteral("http://m1.example/")); // no weight: 5
        list += Mirror(QString(), QStringLiteral("7"));                 // address of the one before
        list += Mirror(QStringLiteral("http://m3.example/") + QString(300, QLatin1Char('a')) +
                           QLatin1Char('/'),
                       QStringLiteral("x"));
        for (int i = 4; i <= 12; ++i)
            list += Mirror(QStringLiteral("http://m%1.example/").arg(i), QStringLiteral("1"));
        LastModifiedStamps.Set(4, 40000.0);
        Serve(QStringLiteral("cliententer.asp"), Document(list));
        Await(ReadRemoteSettings());

        QCOMPARE(MirrorTable.Count, 10);
        QCOMPARE(MirrorTable.Mirrors[1].Weight, 5);
        QCOMPARE(MirrorFileAddress(1, 1), QStringLiteral("http://m1.example/podatki.xml"));
        QCOMPARE(MirrorFileAddress(1, 2), QStringLiteral("http://m1.example/jutri.png"));
        QCOMPARE(MirrorFileAddress(1, 3), QStringLiteral("http://m1.example/pojutri.png"));
        QCOMPARE(MirrorFileAddress(1, 4), QStringLiteral("http://m1.example/radar.gif"));
        QCOMPARE(MirrorFileAddress(1, 5), QStringLiteral("http://m1.example/radar_anim.gif"));
        QCOMPARE(MirrorFileAddress(1, 6), QStringLiteral("http://m1.example/vreme.jpg"));
        QCOMPARE(MirrorFileAddress(1, 7), QStringLiteral("http://m1.example/"));
        QCOMPARE(MirrorFileAddress(1, 11), QStringLiteral("http://m1.example/"));
        QCOMPARE(MirrorFileAddress(1, 12), QString());
        QCOMPARE(MirrorFileAddress(2, 1), QStringLiteral("http://m1.example/podatki.xml"));
        QCOMPARE(MirrorTable.Mirrors[2].Weight, 7);
        QCOMPARE(MirrorTable.Mirrors[3].Weight, 0);
        QCOMPARE(MirrorFileAddress(3, 1).size(), 250);
        QCOMPARE(MirrorFileAddress(10, 7), QStringLiteral("http://m10.example/"));
        QCOMPARE(MirrorFileAddress(11, 1), QString());
        QCOMPARE(MirrorFileAddress(0, 1), QString());
        QCOMPARE(LastModifiedStamps.Get(4), 0.0);
    }

    void pickByWeight()
    {
        MirrorTable.Clear();
        MirrorTable.Count = 0;
        QCOMPARE(PickMirror(), 0);
        MirrorTable.SetMirror(1, QStringLiteral("http://a/"), 1);
        MirrorTable.SetMirror(2, QStringLiteral("http://b/"), 3);
        MirrorTable.Count = 2;
        int first = 0;
        constexpr int picks = 4000;
        for (int i = 0; i < picks; ++i) {
            const int mirror = PickMirror();
            QVERIFY(mirror == 1 || mirror == 2);
            first += mirror == 1 ? 1 : 0;
        }
        QVERIFY2(first > picks / 4 - 200 && first < picks / 4 + 200,
                 qPrintable(QString::number(first)));
        // All weights 0: the last mirror.
        MirrorTable.Mirrors[1].Weight = 0;
        MirrorTable.Mirrors[2].Weight = 0;
        QCOMPARE(PickMirror(), 2);
    }

    void catalogueDue_data()
    {
        QTest::addColumn<int>("ageDays");
        QTest::addColumn<bool>("downloaded");
        QTest::newRow("63 days old") << 63 << true;
        QTest::newRow("61 days old") << 61 << false;
        QTest::newRow("missing") << -1 << true;
    }
    void catalogueDue()
    {
        QFETCH(int, ageDays);
        QFETCH(bool, downloaded);
        QFile::remove(pas_lib::PostajeXmlPath);
        if (ageDays >= 0) {
            QFile file(pas_lib::PostajeXmlPath);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("<old/>");
            file.flush();
            file.setFileTime(QDateTime::currentDateTime().addDays(-ageDays),
                             QFileDevice::FileModificationTime);
        }
        nginx.WriteFile(QStringLiteral("Postaje.xml"), "<Postaje><AVTOMATSKE/></Postaje>");
        const QString catalogue = nginx.Url(QStringLiteral("Postaje.xml"));
        Serve(QStringLiteral("cliententer.asp"),
              Document("<URL><Postaje>" + catalogue.toUtf8() + "</Postaje></URL>"));
        Await(ReadRemoteSettings());
        QCOMPARE(home->ReadFile(QStringLiteral("Postaje.xml")),
                 downloaded ? QByteArray("<Postaje><AVTOMATSKE/></Postaje>")
                            : QByteArray("<old/>"));
        // Known even when not due, for the settings dialog's download.
        QCOMPARE(StationCatalogueUrl, catalogue);
    }
};

QTEST_GUILESS_MAIN(TestRemoteSettings)
#include "tst_remotesettings.moc"
