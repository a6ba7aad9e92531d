#include "RecordingPresenter.h"
#include "TestHome.h"
#include "settings/Tparameter.h"
#include "weather/ViewKinds.h"

#include <QtTest>

// The view-kind table: every kind has its row under its own number, and every
// parameter a row names is one the store knows, of the type it is used as.
class TestViewKinds : public QObject
{
    Q_OBJECT

private slots:
    void rowsByNumber()
    {
        QCOMPARE(ViewKinds().size(), 16);
        for (int number = 1; number <= 16; ++number)
            QCOMPARE(int(ViewKindInfo(TViewKind(number))->kind), number);
        QCOMPARE(ViewKindInfo(TViewKind::None), nullptr);
    }

    void parametersAreDefined()
    {
        TTestHome home;
        TRecordingPresenter presenter;
        CreateParameters();
        auto expect = [](const QString& name, char type) {
            if (!name.isEmpty())
                QVERIFY2(parametri->TypeOf(name) == type, qPrintable(name));
        };
        for (const TViewKindInfo& view : ViewKinds()) {
            expect(view.switchParameter, 'L');
            expect(view.chosenPlaceParameter, 'C');
            expect(view.sortIndexParameter, 'I');
            expect(view.sortDirectionParameter, 'I');
            // A grid view sorts and keeps its layout; other views have no grid.
            QCOMPARE(!view.dataSource.isEmpty(), view.grid);
            QCOMPARE(!view.sortIndexParameter.isEmpty(), view.grid);
            QVERIFY(!view.grid || view.table);
            QVERIFY(!view.statistics || view.grid);
        }
        QCOMPARE(presenter.Messages, QStringList());
    }
};

QTEST_MAIN(TestViewKinds)
#include "tst_viewkinds.moc"
