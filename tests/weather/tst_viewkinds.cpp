#include "settings/ParameterNames.h"
#include "weather/ViewKinds.h"

#include <QtTest>

// The view-kind table: every kind has its row under its own number, and every
// parameter a row names has the type it is used as.
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

    void parametersOfTheirType()
    {
        auto expect = [](std::optional<TParam> parameter, char type) {
            if (parameter)
                QVERIFY2(ParameterTypeLetter(*parameter) == type,
                         ParameterName(*parameter).latin1());
        };
        for (const TViewKindInfo& view : ViewKinds()) {
            expect(view.switchParameter, 'L');
            expect(view.chosenPlaceParameter, 'C');
            expect(view.sortIndexParameter, 'I');
            expect(view.sortDirectionParameter, 'I');
            // A grid view sorts and keeps its layout; other views have no grid,
            // but for the coast frame's own, which keeps a layout too.
            QCOMPARE(!view.dataSource.isEmpty(), view.grid || view.kind == TViewKind::Coast);
            QCOMPARE(view.sortIndexParameter.has_value(), view.grid);
            QCOMPARE(view.sortDirectionParameter.has_value(), view.grid);
            QVERIFY(!view.grid || view.table);
            QVERIFY(!view.statistics || view.grid);
        }
    }
};

QTEST_MAIN(TestViewKinds)
#include "tst_viewkinds.moc"
