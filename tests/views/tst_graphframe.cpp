// The graph frame against a loopback nginx that answers every chart request
// with the reply a test puts there: the set-up from the settings, series that
// pile up by kind and clear, the requests sent, and the messages.

#include "Await.h"
#include "LoopbackServers.h"
#include "RecordingPresenter.h"
#include "TestHome.h"
#include "settings/Tparameter.h"
#include "views/TPictureContext.h"
#include "views/frm_graf.h"
#include "weather/TWeatherData.h"

#include <QAbstractAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QTabWidget>
#include <QtTest>
#include <memory>

namespace {

const QString ReplyPath = QStringLiteral("cgi-bin/sendgraf.exe/Load");

QByteArray Reply(const QList<std::pair<QDateTime, int>>& readings)
{
    QByteArray reply = "@@TABLEDEF START@@\r\nKDAJ,DATETIME\r\nTEMPERATURA,INTEGER\r\n"
                       "URA,INTEGER\r\n@@TABLEDEF END@@\r\nKDAJ,TEMPERATURA,URA\r\n";
    for (const auto& [at, temperature] : readings)
        reply += at.toString(QStringLiteral("\"dd/MM/yyyy HH:mm:ss\",")).toLatin1() +
                 QByteArray::number(temperature) + "," + QByteArray::number(at.time().hour()) +
                 "\r\n";
    return reply;
}

QString BottomTitle(QChart* chart)
{
    const QList<QAbstractAxis*> axes = chart->axes(Qt::Horizontal);
    return axes.isEmpty() ? QString() : axes.first()->titleText();
}

} // namespace

class TestGraphFrame : public QObject
{
    Q_OBJECT

    TNginxServer server;
    std::unique_ptr<TTestHome> home;
    std::unique_ptr<TRecordingPresenter> presenter;
    std::unique_ptr<TWeatherData> weather;
    std::unique_ptr<TPictureContext> context;
    std::unique_ptr<TFrameGraf> frame;

    template <typename T> T* Child(const char* name) const
    {
        return frame->findChild<T*>(QString::fromLatin1(name));
    }
    QStringList Requests(qsizetype since) const
    {
        return server.Requests().mid(since).filter(QStringLiteral("sendgraf"));
    }
    void NewFrame(const QByteArray& parameters)
    {
        home->WriteFile(QStringLiteral("Config.ini"),
                        DeploymentUrlSection + "GRAFI=" + server.Url(QString()).toLatin1() +
                            "\r\n[PARAMETRI]\r\n" + parameters);
        CreateParameters();
        weather = std::make_unique<TWeatherData>();
        weather->CreateWeatherTables();
        context = std::make_unique<TPictureContext>();
        frame = std::make_unique<TFrameGraf>(*weather, *context);
        frame->Open();
    }

private slots:
    void initTestCase()
    {
        // The requests below carry "." decimals.
        QLocale::setDefault(QLocale::c());
        QVERIFY2(server.Start(), qPrintable(server.Error()));
    }

    void init()
    {
        home = std::make_unique<TTestHome>();
        presenter = std::make_unique<TRecordingPresenter>();
    }

    void cleanup()
    {
        frame.reset();
        context.reset();
        weather.reset();
        presenter.reset();
        home.reset();
    }

    // The station kind of "TIP_POSTAJE", only its list in sight, the user's
    // place chosen in each list, the lists in Slovenian order; the pages of a
    // date range are there but disabled.
    void setup()
    {
        NewFrame("TIP_POSTAJE=0\r\nKRAJ_OPAZOVALNE=Ljubljana\r\nKRAJ_AVTOMATSKE=Nikjer\r\n");
        auto* kinds = Child<QComboBox>("dbTipPostaje");
        QCOMPARE(kinds->currentIndex(), 1);
        QCOMPARE(kinds->currentText(), QStringLiteral("Opazovalna"));
        auto* observation = Child<QComboBox>("dbPostajaOpa");
        QVERIFY(!observation->isHidden());
        QVERIFY(Child<QComboBox>("dbPostajaAvt")->isHidden());
        QVERIFY(Child<QComboBox>("dbPostajaAmat")->isHidden());
        QCOMPARE(observation->currentText(), QStringLiteral("Ljubljana"));
        QCOMPARE(observation->currentData().toInt(), 8);
        QCOMPARE(Child<QComboBox>("dbPostajaAvt")->currentIndex(), -1);
        QCOMPARE(observation->itemText(0), QStringLiteral("Celje"));
        QCOMPARE(observation->itemText(1), QStringLiteral("Črnomelj"));
        QCOMPARE(observation->itemText(2), QStringLiteral("Katarina nad Lj."));
        QCOMPARE(Child<QDateTimeEdit>("dtZaDatum")->dateTime(),
                 QDateTime(QDate::currentDate(), QTime(18, 25, 13)));
        auto* pages = Child<QTabWidget>("pcGrafTemp");
        QCOMPARE(pages->currentIndex(), 0);
        QVERIFY(pages->isTabEnabled(0));
        QVERIFY(!pages->isTabEnabled(1));
        QVERIFY(!pages->isTabEnabled(2));

        kinds->setCurrentIndex(2);
        QVERIFY(observation->isHidden());
        QVERIFY(!Child<QComboBox>("dbPostajaAvt")->isHidden());
        kinds->setCurrentIndex(0);
        QVERIFY(Child<QComboBox>("dbPostajaAvt")->isHidden());
    }

    // Graphs of one kind pile up, another kind clears the chart first, and
    // "Briši graf" clears it; each request names the station and the date.
    void pileAndClear()
    {
        NewFrame("TIP_POSTAJE=0\r\nKRAJ_OPAZOVALNE=Ljubljana\r\n");
        const QDate day(2026, 3, 1);
        Child<QDateTimeEdit>("dtZaDatum")->setDate(day);
        server.WriteFile(ReplyPath, Reply({{QDateTime(day, QTime(0, 0)), -2},
                                           {QDateTime(day, QTime(13, 0)), 7}}));
        const qsizetype before = server.Requests().size();
        Await(frame->btnDnevniGrafClick());
        Child<QComboBox>("dbPostajaOpa")->setCurrentText(QStringLiteral("Celje"));
        server.WriteFile(ReplyPath, Reply({{QDateTime(day, QTime(13, 0)), 9}}));
        Await(frame->btnDnevniGrafClick());
        QCOMPARE(
            Requests(before),
            (QStringList{"GET /cgi-bin/sendgraf.exe/Load?&POSTAJA_TIP=1&POSTAJA_IME=8&OD_DAT=46082."
                         "7675115741&TIP_GRAFA=1 200",
                         "GET /cgi-bin/sendgraf.exe/Load?&POSTAJA_TIP=1&POSTAJA_IME=1&OD_DAT=46082."
                         "7675115741&TIP_GRAFA=1 200"}));
        QCOMPARE(frame->Chart()->series().size(), 2);
        QCOMPARE(frame->SeriesBars(), (QList<QMap<int, int>>{{{0, -2}, {13, 7}}, {{13, 9}}}));
        QCOMPARE(frame->Chart()->title(), QStringLiteral("Dnevni graf"));
        QCOMPARE(BottomTitle(frame->Chart()), QStringLiteral("Ura"));
        QVERIFY(!frame->Chart()->legend()->isVisible());
        // Told apart by colour.
        const auto* first = qobject_cast<QBarSeries*>(frame->Chart()->series().at(0));
        const auto* second = qobject_cast<QBarSeries*>(frame->Chart()->series().at(1));
        QVERIFY(first->barSets().first()->color() != second->barSets().first()->color());

        server.WriteFile(ReplyPath, Reply({{QDateTime(QDate(2026, 1, 1), QTime(0, 0)), 1},
                                           {QDateTime(QDate(2026, 2, 1), QTime(0, 0)), 3}}));
        Await(frame->btnLetniGrafClick());
        QCOMPARE(frame->Chart()->series().size(), 1);
        QCOMPARE(frame->SeriesBars(), (QList<QMap<int, int>>{{{1, 1}, {2, 3}}}));
        QCOMPARE(frame->Chart()->title(), QStringLiteral("Letni graf"));
        QCOMPARE(BottomTitle(frame->Chart()), QStringLiteral("Mesec"));
        QCOMPARE(frame->CurrentGraphKind(), 4);

        frame->btnBrisiGrafClick();
        QVERIFY(frame->Chart()->series().isEmpty());
        QCOMPARE(presenter->Messages, QStringList());
    }

    // No reply: the kind's title and a series without bars; the chart goes on.
    void noReply()
    {
        NewFrame("TIP_POSTAJE=1\r\nKRAJ_AVTOMATSKE=Nikjer\r\n");
        server.WriteFile(ReplyPath, QByteArray());
        QFile::remove(server.Root() + QLatin1Char('/') + ReplyPath);
        Await(frame->btnTedenskiGrafClick());
        QCOMPARE(frame->Chart()->title(), QStringLiteral("Tedenski graf"));
        QCOMPARE(frame->SeriesBars(), (QList<QMap<int, int>>{{}}));
        QVERIFY(Requests(0).last().contains(QStringLiteral("&POSTAJA_TIP=2&POSTAJA_IME=0&")));
        QVERIFY(Requests(0).last().endsWith(QStringLiteral(" 404")));
    }

    // The messages, each without a request: no station kind, a range over 31
    // days; a range of 31 days is sent with "DO_DAT" a day after its end.
    void messages()
    {
        NewFrame("TIP_POSTAJE=0\r\nKRAJ_OPAZOVALNE=Nikjer\r\n");
        server.WriteFile(ReplyPath, Reply({{QDateTime(QDate(2026, 3, 1), QTime(1, 0)), 4}}));
        const qsizetype before = server.Requests().size();
        Child<QComboBox>("dbTipPostaje")->setCurrentIndex(0);
        Await(frame->btnMesecniGrafClick());
        QCOMPARE(presenter->Messages, QStringList{QStringLiteral("Izberi tip postaje")});
        QVERIFY(frame->Chart()->series().isEmpty());

        Child<QComboBox>("dbTipPostaje")->setCurrentIndex(1);
        Child<QDateTimeEdit>("dtOd")->setDate(QDate(2026, 3, 1));
        Child<QDateTimeEdit>("dtDo")->setDate(QDate(2026, 4, 2));
        Await(frame->btnNarediPoizvedboClick());
        QCOMPARE(presenter->Messages.last(),
                 QStringLiteral("Podatke lahko dobiš za največ 31 dni!!"));
        QCOMPARE(Requests(before), QStringList());

        Child<QDateTimeEdit>("dtDo")->setDate(QDate(2026, 4, 1));
        Await(frame->btnNarediPoizvedboClick());
        QCOMPARE(presenter->Messages.size(), 2);
        QCOMPARE(Requests(before),
                 QStringList{"GET /cgi-bin/sendgraf.exe/Load?&POSTAJA_TIP=1&POSTAJA_IME=0&OD_DAT="
                             "46082.7675115741&DO_DAT=46114.7675115741 200"});
        QCOMPARE(frame->LineChart()->series().size(), 1);
        QCOMPARE(frame->LineChart()->title(), QStringLiteral("Graf izmerjenih temperatur"));
    }
};

QTEST_MAIN(TestGraphFrame)
#include "tst_graphframe.moc"
