#include "DemoDeployment.h"
#include "MainFormFixture.h"
#include "RecordingPresenter.h"
#include "app/TMainForm.h"
#include "app/WindowPosition.h"
#include "common/Desktop.h"
#include "controls/TSideChannel.h"
#include "views/TTitlePanel.h"
#include "views/pas_parametri.h"
#include "weather/TRefreshCycle.h"

#include <QAction>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

// The window while the servers are slow: nothing waits inside anything, so a
// dialog, the refresh command, a shown window or the end of the program never
// hold up, or are held up by, a refresh that waits for the network.
class TestWaits : public QObject
{
    Q_OBJECT

    TDemoDeployment demo;
    std::unique_ptr<TDelayingProxy> slow;
    TMainFormFixture window{demo};
    std::unique_ptr<TRecordingPresenter> presenter;
    TMainForm* form = nullptr;

    TRefreshCycle* Cycle() const { return form->findChild<TRefreshCycle*>(); }
    bool Refreshing() const { return Cycle() && Cycle()->Refreshing(); }
    QAction* Action(const char* name) const
    {
        return form->findChild<QAction*>(QString::fromLatin1(name));
    }
    QSettings ProgramSettings()
    {
        return QSettings(window.Home().Path(QStringLiteral("Nimbulon.ini")), QSettings::IniFormat);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(demo.Start(), qPrintable(demo.Error()));
        // Every answer after half a second: a first refresh takes a few seconds.
        slow = std::make_unique<TDelayingProxy>(demo.BaseUrl(), 0.5);
        QVERIFY2(slow->Start(), qPrintable(slow->Error()));
        window.SetServerBase(slow->BaseUrl());
    }

    void init()
    {
        pas_lib::ResetProgramEndRequest();
        presenter = std::make_unique<TRecordingPresenter>();
    }

    void cleanup()
    {
        window.Close();
        form = nullptr;
        QCOMPARE(presenter->Messages, QStringList());
        presenter.reset();
        pas_lib::ResetProgramEndRequest();
    }

    // The settings dialog opens at once during a refresh, and the refresh
    // ends under it; the wait cursor is over the window, not over the dialog.
    void settingsDialogDuringRefresh()
    {
        form = &window.NewForm();
        form->Prikaiokno1Click();
        form->RefreshData(false);
        QVERIFY(Refreshing());
        QElapsedTimer clock;
        clock.start();
        Action("actNastavitve")->trigger();
        auto* dialog = form->findChild<Tform_parametri*>();
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(Refreshing());
        QCOMPARE(form->cursor().shape(), Qt::WaitCursor);
        QVERIFY(dialog->cursor().shape() != Qt::WaitCursor);
        QVERIFY(QApplication::overrideCursor() == nullptr);

        QTRY_VERIFY_WITH_TIMEOUT(!Refreshing(), 30000);
        QVERIFY(dialog->isVisible());
        QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);
        dialog->findChild<QPushButton*>(QStringLiteral("btn_prekini"))->click();
        QTRY_VERIFY(!form->findChild<Tform_parametri*>());
    }

    // F5 during a refresh leaves the indicator to the running refresh and the
    // one held after it, which takes it down at its end.
    void refreshCommandDuringRefresh()
    {
        form = &window.NewForm();
        form->Prikaiokno1Click();
        QSignalSpy finished(Cycle(), &TRefreshCycle::refreshFinished);
        Action("actOsvezitev")->trigger();
        QVERIFY(Refreshing());
        QVERIFY(form->TitlePanel()->Refreshing());
        Action("actOsvezitev")->trigger();
        QVERIFY(form->TitlePanel()->Refreshing());
        QCOMPARE(form->cursor().shape(), Qt::WaitCursor);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 30000);
        QVERIFY(Refreshing());
        QVERIFY(form->TitlePanel()->Refreshing());
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, 30000);
        QVERIFY(!form->TitlePanel()->Refreshing());
        QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);
    }

    // A window shown during the first refresh stays a shown window when the
    // start-up ends, whatever state was stored: the refresh command shows the
    // indicator, and its place and state are what is stored at the end.
    void windowShownDuringFirstRefresh()
    {
        TWindowPosition stored;
        stored.Bounds = QRect(60, 70, 640, 480);
        stored.State = TWindowPosition::Minimized;
        ProgramSettings().setValue(QStringLiteral("MainPozicija"), stored.Encode());
        form = &window.NewForm(QByteArray(), TMainFormFixture::TStart::Begun);
        QTRY_VERIFY(Refreshing());
        form->Prikaiokno1Click();
        QVERIFY(form->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(form->StartupDone(), 30000);
        QVERIFY(form->isVisible());
        QVERIFY(!form->WindowMinimized());
        Action("actOsvezitev")->trigger();
        QVERIFY(form->TitlePanel()->Refreshing());
        QTRY_VERIFY_WITH_TIMEOUT(!Refreshing(), 30000);
        form->setGeometry(100, 120, 600, 450);
        QTRY_COMPARE(form->geometry(), QRect(100, 120, 600, 450));
        window.CloseForm();
        const auto position = TWindowPosition::Decode(
            ProgramSettings().value(QStringLiteral("MainPozicija")).toByteArray());
        QVERIFY(position);
        QCOMPARE(position->State, quint8(TWindowPosition::Normal));
        QCOMPARE(position->Bounds, QRect(100, 120, 600, 450));
    }

    // The program ends while it waits (a fetch, the settings dialog): the
    // window goes at once, with its position and side channel stored.
    void endWhileWaiting_data()
    {
        QTest::addColumn<bool>("dialog");
        QTest::newRow("during a fetch") << false;
        QTest::newRow("during the settings dialog") << true;
    }
    void endWhileWaiting()
    {
        QFETCH(bool, dialog);
        form = &window.NewForm(QByteArray(), TMainFormFixture::TStart::Begun);
        form->SideChannel()->SetPinned(true);
        QTRY_VERIFY(Refreshing());
        if (dialog) {
            Action("actNastavitve")->trigger();
            QVERIFY(form->findChild<Tform_parametri*>());
        }
        pas_lib::RequestProgramEnd();
        QElapsedTimer clock;
        clock.start();
        window.CloseForm();
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(TWindowPosition::Decode(
            ProgramSettings().value(QStringLiteral("MainPozicija")).toByteArray()));
        QCOMPARE(ProgramSettings().value(QStringLiteral("suiSideChannel")).toBool(), true);
        // Nothing of the window is left waiting to run.
        QTest::qWait(100);
    }
};

QTEST_MAIN(TestWaits)
#include "tst_waits.moc"
