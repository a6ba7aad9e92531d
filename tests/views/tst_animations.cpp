// The animations frame against the demo deployment's video server: which
// button asks for which video and stores it where, the frame's states, real
// playback with the media player on the offscreen platform, and what happens
// when a video is missing or broken, or the frame goes during a download.

#include "DemoDeployment.h"
#include "RecordingPresenter.h"
#include "TestHome.h"
#include "common/DataPaths.h"
#include "settings/Tparameter.h"
#include "views/TPictureContext.h"
#include "views/frm_animations.h"

#include <QFile>
#include <QMediaPlayer>
#include <QSignalSpy>
#include <QVideoSink>
#include <QVideoWidget>
#include <QtTest>
#include <memory>

using TState = TFrameAnimations::TState;

class TestAnimations : public QObject
{
    Q_OBJECT

    TDemoDeployment demo;
    std::unique_ptr<TTestHome> home;
    std::unique_ptr<TRecordingPresenter> presenter;
    std::unique_ptr<TPictureContext> context;
    std::unique_ptr<TFrameAnimations> frame;

    QStringList VideoRequests(qsizetype since) const
    {
        return const_cast<TDemoDeployment&>(demo).Server().Requests().mid(since).filter(
            QStringLiteral(".mpg"));
    }
    qsizetype RequestCount() const
    {
        return const_cast<TDemoDeployment&>(demo).Server().Requests().size();
    }
    bool ButtonsShown() const
    {
        for (int i = 0; i < 6; ++i)
            if (!frame->Button(i)->isVisible())
                return false;
        return true;
    }
    bool ButtonsHidden() const
    {
        for (int i = 0; i < 6; ++i)
            if (frame->Button(i)->isVisible())
                return false;
        return true;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(demo.Start(), qPrintable(demo.Error()));
        QVERIFY(!demo.ReadFile(QStringLiteral("terra3d/video/bmbf2.mpg")).isEmpty());
    }

    void init()
    {
        home = std::make_unique<TTestHome>();
        presenter = std::make_unique<TRecordingPresenter>();
        home->WriteFile(QStringLiteral("Config.ini"), demo.ConfigUrlSection());
        CreateParameters();
        context = std::make_unique<TPictureContext>();
        frame = std::make_unique<TFrameAnimations>(*context);
        frame->resize(640, 480);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
    }

    void cleanup()
    {
        frame.reset();
        QVERIFY(!context->Busy());
        context.reset();
        presenter.reset();
        home.reset();
    }

    void buttons_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("file");
        QTest::newRow("Europe") << 0 << "suiIBEvropa5"
                                << "/terra3d/video/bmbf2.mpg"
                                << "bmbf2.mpg";
        QTest::newRow("world") << 1 << "suiIBSvet5"
                               << "/terra3d/video/bmbf3.mpg"
                               << "bmbf3.mpg";
        QTest::newRow("latest 12") << 2 << "suiIBZadnjih12"
                                   << "/wetter/meteosat/met_512.mpg"
                                   << "met_512.mpg";
        QTest::newRow("earlier 12") << 3 << "suiIBPrejsnjih12"
                                    << "/wetter/meteosat/met_512OLD.mpg"
                                    << "met_512OLD.mpg";
        QTest::newRow("cloud cover") << 4 << "suiIBPokritost"
                                     << "/terra3d/video/skycover.mpg"
                                     << "skycover.mpg";
        QTest::newRow("air flow") << 5 << "suiIBZracniTok"
                                  << "/terra3d/video/dailystream.mpg"
                                  << "dailystream.mpg";
    }

    // Each button fetches its video from the video server into its file in
    // the picture folder and plays it; the buttons lie in two columns.
    void buttons()
    {
        QFETCH(int, index);
        QFETCH(QString, name);
        QFETCH(QString, path);
        QFETCH(QString, file);
        auto* button = frame->findChild<QAbstractButton*>(name);
        QVERIFY(button);
        QCOMPARE(button, frame->Button(index));
        QCOMPARE(button->size(), QSize(184, 64));
        QCOMPARE(button->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(button->text().isEmpty());
        QVERIFY(!button->accessibleName().isEmpty());
        if (index % 2 == 1) {
            QVERIFY(button->x() > frame->Button(index - 1)->x());
            QCOMPARE(button->y(), frame->Button(index - 1)->y());
        } else if (index > 0) {
            QCOMPARE(button->x(), frame->Button(index - 2)->x());
            QVERIFY(button->y() > frame->Button(index - 2)->y());
        }

        const qsizetype since = RequestCount();
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_COMPARE(frame->State(), TState::Playing);
        QCOMPARE(VideoRequests(since), QStringList{QStringLiteral("GET %1 200").arg(path)});
        QCOMPARE(TFrameAnimations::LocalFile(index), pas_lib::SlikeDir + file);
        QFile local(pas_lib::SlikeDir + file);
        QVERIFY(local.open(QIODevice::ReadOnly));
        QCOMPARE(local.readAll(), demo.ReadFile(path.mid(1)));
        QCOMPARE(frame->Player()->source(), QUrl::fromLocalFile(pas_lib::SlikeDir + file));
        QTRY_COMPARE(frame->Player()->playbackState(), QMediaPlayer::PlayingState);
    }

    // Buttons, then a download with the busy cursor and the buttons still
    // there (a second click does nothing), then playback, then buttons.
    void states()
    {
        QSignalSpy states(frame.get(), &TFrameAnimations::StateChanged);
        QSignalSpy busy(context.get(), &TPictureContext::BusyChanged);
        QCOMPARE(frame->State(), TState::Buttons);
        QVERIFY(!frame->Opened());
        const qsizetype since = RequestCount();
        QTest::mouseClick(frame->Button(1), Qt::LeftButton);
        QCOMPARE(frame->State(), TState::Downloading);
        QVERIFY(context->Busy());
        QVERIFY(ButtonsShown());
        QTest::mouseClick(frame->Button(1), Qt::LeftButton);
        QTest::mouseClick(frame.get(), Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(frame->State(), TState::Downloading);
        QTRY_COMPARE(frame->State(), TState::Playing);
        QVERIFY(frame->Opened());
        QCOMPARE(VideoRequests(since).size(), 1);
        QVERIFY(!context->Busy());
        QVERIFY(ButtonsHidden());
        QCOMPARE(frame->toolTip(), QStringLiteral("Klikni za vrnitev..."));
        frame->FrameClick();
        QCOMPARE(frame->State(), TState::Buttons);
        QCOMPARE(states.size(), 3);
        QCOMPARE(states.at(0).at(0).value<TState>(), TState::Downloading);
        QCOMPARE(states.at(1).at(0).value<TState>(), TState::Playing);
        QCOMPARE(states.at(2).at(0).value<TState>(), TState::Buttons);
        QCOMPARE(busy.size(), 2);
        QCOMPARE(presenter->Messages, QStringList());
    }

    // The real player shows the video's pictures at its own size; a click on
    // the picture ends it and brings the buttons back, a second click on the
    // frame changes nothing.
    void playAndStop()
    {
        frame->Open();
        QSignalSpy pictures(frame->VideoWidget()->videoSink(), &QVideoSink::videoFrameChanged);
        QTest::mouseClick(frame->Button(0), Qt::LeftButton);
        QTRY_COMPARE(frame->State(), TState::Playing);
        QTRY_VERIFY_WITH_TIMEOUT(pictures.size() >= 2, 10000);
        QCOMPARE(frame->Player()->playbackState(), QMediaPlayer::PlayingState);
        QVERIFY(frame->VideoWidget()->isVisible());
        QTRY_COMPARE(frame->VideoWidget()->size(), QSize(352, 288));
        QCOMPARE(frame->VideoWidget()->pos(), QPoint(1, 1));
        QVERIFY(ButtonsHidden());

        QTest::mouseClick(frame->VideoWidget(), Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(frame->State(), TState::Buttons);
        QVERIFY(ButtonsShown());
        QVERIFY(frame->toolTip().isEmpty());
        QVERIFY(!frame->VideoWidget()->isVisible());
        QCOMPARE(frame->Player()->playbackState(), QMediaPlayer::StoppedState);
        QVERIFY(frame->Player()->source().isEmpty());

        QSignalSpy states(frame.get(), &TFrameAnimations::StateChanged);
        QTest::mouseClick(frame.get(), Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(states.size(), 0);
        QVERIFY(ButtonsShown());
        QCOMPARE(presenter->Messages, QStringList());
    }

    // A smaller frame shows the video smaller, its shape kept.
    void scaledDown()
    {
        frame->resize(420, 240);
        QTest::mouseClick(frame->Button(0), Qt::LeftButton);
        QTRY_COMPARE(frame->State(), TState::Playing);
        QVERIFY(frame->height() < 290);
        const QSize expected =
            QSize(352, 288).scaled(frame->size() - QSize(2, 2), Qt::KeepAspectRatio);
        QTRY_COMPARE(frame->VideoWidget()->size(), expected);
        frame->resize(640, 480);
        QCOMPARE(frame->VideoWidget()->size(), QSize(352, 288));
    }

    void failures_data()
    {
        QTest::addColumn<QByteArray>("served");
        QTest::addColumn<QByteArray>("earlier");
        QTest::addColumn<bool>("plays");
        const QByteArray video = demo.ReadFile(QStringLiteral("terra3d/video/bmbf2.mpg"));
        // Not served: the server answers 404.
        QTest::newRow("missing") << QByteArray() << QByteArray() << false;
        QTest::newRow("missing, earlier copy") << QByteArray() << video << true;
        QTest::newRow("not a video")
            << QByteArray("<html>Not here</html>\n", 22) << QByteArray() << false;
        QTest::newRow("noise") << QByteArray(200000, '\x5a') << QByteArray() << false;
        QTest::newRow("truncated") << video.left(video.size() / 3) << QByteArray() << true;
        QTest::newRow("head only") << video.left(300) << QByteArray() << false;
    }

    // A video that does not play tells why (plain text, once) and leaves the
    // frame with the hint and without buttons until a click; one that cannot be
    // downloaded plays the copy from before, if there is one.
    void failures()
    {
        QFETCH(QByteArray, served);
        QFETCH(QByteArray, earlier);
        QFETCH(bool, plays);
        // The Europe button asks for /terra3d/video/bmbf2.mpg under the address.
        home->WriteFile(QStringLiteral("Config.ini"),
                        "[URL]\r\nVIDEO=" + demo.BaseUrl().toLatin1() + "/broken\r\n");
        CreateParameters();
        const QString servedPath = QStringLiteral("broken/terra3d/video/bmbf2.mpg");
        QFile::remove(demo.FilePath(servedPath));
        if (!served.isEmpty())
            demo.Server().WriteFile(servedPath, served);
        QVERIFY(QDir().mkpath(pas_lib::SlikeDir));
        QFile::remove(TFrameAnimations::LocalFile(0));
        if (!earlier.isEmpty()) {
            QFile file(TFrameAnimations::LocalFile(0));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(earlier);
        }
        frame->Open();
        QSignalSpy pictures(frame->VideoWidget()->videoSink(), &QVideoSink::videoFrameChanged);
        QTest::mouseClick(frame->Button(0), Qt::LeftButton);
        if (plays) {
            QTRY_VERIFY_WITH_TIMEOUT(pictures.size() >= 1, 10000);
            QTRY_COMPARE_WITH_TIMEOUT(frame->Player()->mediaStatus(), QMediaPlayer::EndOfMedia,
                                      20000);
            QCOMPARE(frame->State(), TState::Playing);
            QCOMPARE(presenter->Messages, QStringList());
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(frame->State(), TState::Failed, 20000);
            QCOMPARE(presenter->Messages.size(), 1);
            QVERIFY(!presenter->Messages.first().isEmpty());
            // More reports of the same failure add no message.
            QTest::qWait(200);
            QCOMPARE(presenter->Messages.size(), 1);
        }
        QVERIFY(ButtonsHidden());
        QCOMPARE(frame->toolTip(), QStringLiteral("Klikni za vrnitev..."));
        QTest::mouseClick(frame.get(), Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(frame->State(), TState::Buttons);
        QVERIFY(ButtonsShown());
        QVERIFY(frame->toolTip().isEmpty());
    }

    // Leaving the view during a download ends it: nothing plays, the buttons
    // stay. A frame deleted during a download shows nothing and leaves no
    // busy cursor.
    void stopDuringDownload()
    {
        QTest::mouseClick(frame->Button(2), Qt::LeftButton);
        QCOMPARE(frame->State(), TState::Downloading);
        frame->Stop();
        QCOMPARE(frame->State(), TState::Buttons);
        QVERIFY(!context->Busy());
        QTest::qWait(300);
        QCOMPARE(frame->State(), TState::Buttons);
        QVERIFY(ButtonsShown());
        QVERIFY(!frame->Opened());

        QTest::mouseClick(frame->Button(3), Qt::LeftButton);
        QCOMPARE(frame->State(), TState::Downloading);
        frame.reset();
        QVERIFY(!context->Busy());
        QTest::qWait(300);
        QCOMPARE(presenter->Messages, QStringList());
    }

    // A video still playing when the frame goes ends with it.
    void deleteWhilePlaying()
    {
        QTest::mouseClick(frame->Button(4), Qt::LeftButton);
        QTRY_VERIFY(frame->Player() &&
                    frame->Player()->playbackState() == QMediaPlayer::PlayingState);
        frame.reset();
        QTest::qWait(100);
        QCOMPARE(presenter->Messages, QStringList());
    }
};

QTEST_MAIN(TestAnimations)
#include "tst_animations.moc"
