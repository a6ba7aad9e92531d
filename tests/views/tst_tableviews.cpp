#include "DemoDeployment.h"
#include "MainFormFixture.h"
#include "RecordingPresenter.h"
#include "TestHome.h"
#include "app/TMainForm.h"
#include "common/LocaleText.h"
#include "common/UserSettings.h"
#include "remote/RemoteSettings.h"
#include "settings/Tparameter.h"
#include "views/GridLayout.h"
#include "views/TStationGrid.h"
#include "views/TStatisticsBar.h"
#include "views/TTitlePanel.h"
#include "weather/CurrentViewKind.h"
#include "weather/TRefreshCycle.h"
#include "weather/TWeatherData.h"
#include "weather/TWeatherTableModel.h"

#include <QAction>
#include <QCollator>
#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QtTest>
#include <memory>

namespace {

const QByteArray AllTables =
    "AMATERSKE_POSTAJE=1\r\nSNEZNA_ODEJA=1\r\nNAPOVED_EVROPA=1\r\nVODOSTAJI=1\r\n";

// A grid column's texts, top to bottom.
QStringList ColumnTexts(const TStationGrid& grid, int gridColumn)
{
    QStringList texts;
    const int logical = grid.GridColumns().value(gridColumn);
    for (int row = 0; row < grid.model()->rowCount(); ++row)
        texts.append(grid.model()->index(row, logical).data().toString());
    return texts;
}

QList<QVariant> ColumnValues(const TStationGrid& grid, int gridColumn)
{
    QList<QVariant> values;
    const int logical = grid.GridColumns().value(gridColumn);
    for (int row = 0; row < grid.model()->rowCount(); ++row)
        values.append(grid.model()->index(row, logical).data());
    return values;
}

// Texts compare as place names do: in Slovenian order, letter case ignored.
int Compare(const QVariant& left, const QVariant& right)
{
    if (left.typeId() == QMetaType::QString && right.typeId() == QMetaType::QString) {
        static const QCollator slovenian = [] {
            QCollator collator{QLocale(QLocale::Slovenian, QLocale::Slovenia)};
            collator.setCaseSensitivity(Qt::CaseInsensitive);
            return collator;
        }();
        return slovenian.compare(left.toString(), right.toString());
    }
    const QPartialOrdering order = QVariant::compare(left, right);
    return order == QPartialOrdering::Less ? -1 : order == QPartialOrdering::Greater ? 1 : 0;
}

// Whether the values run in order (empty ones last, whatever the direction).
bool Ordered(const QList<QVariant>& values, bool descending)
{
    bool emptySeen = false;
    for (int i = 0; i < values.size(); ++i) {
        if (!values[i].isValid() || values[i].toString().isEmpty()) {
            emptySeen = true;
            continue;
        }
        if (emptySeen)
            return false;
        if (i == 0)
            continue;
        const int order = Compare(values[i - 1], values[i]);
        if (descending ? order < 0 : order > 0)
            return false;
    }
    return true;
}

} // namespace

class TestTableViews : public QObject
{
    Q_OBJECT

    TDemoDeployment demo;
    TMainFormFixture window{demo, TMainFormFixture::TConfig::Keep};
    std::unique_ptr<TRecordingPresenter> presenter;
    TMainForm* form = nullptr;

    void NewForm(const QByteArray& parameters = QByteArray())
    {
        form = &window.NewForm(AllTables + parameters);
    }

    TStationGrid& Grid() { return *form->findChild<TStationGrid*>(); }
    void Open(TViewKind kind) { form->ViewAction(kind)->trigger(); }
    void Open(int kind) { Open(TViewKind(kind)); }

private slots:
    void initTestCase() { QVERIFY2(demo.Start(), qPrintable(demo.Error())); }

    void init() { presenter = std::make_unique<TRecordingPresenter>(); }

    void cleanup()
    {
        window.Close();
        form = nullptr;
        QCOMPARE(presenter->Messages, QStringList());
        presenter.reset();
        QLocale::setDefault(QLocale::c());
    }

    // A first start sorts by the first column ascending; every click sorts the
    // other way than the last sort; the view reopens in its last sort.
    void titleClickSequence()
    {
        NewForm();
        TStationGrid& grid = Grid();
        QCOMPARE(grid.BoldColumn(), 0);
        QVERIFY(Ordered(ColumnValues(grid, 0), false));
        QCOMPARE(grid.horizontalHeader()->cursor().shape(), Qt::PointingHandCursor);

        // Through the header, as the user clicks it.
        form->Prikaiokno1Click();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QTest::mouseClick(
            grid.horizontalHeader()->viewport(), Qt::LeftButton, {},
            QPoint(grid.horizontalHeader()->sectionViewportPosition(grid.GridColumns()[3]) + 5, 5));
        QCOMPARE(grid.BoldColumn(), 3);
        QVERIFY2(Ordered(ColumnValues(grid, 3), true), qPrintable(ColumnTexts(grid, 3).join('|')));
        QCOMPARE(parametri->Get(QStringLiteral("SORT_OPAZ")).toInt(), 1);
        // The same column again alternates.
        grid.TitleClick(3);
        QVERIFY(Ordered(ColumnValues(grid, 3), false));
        grid.TitleClick(3);
        QVERIFY(Ordered(ColumnValues(grid, 3), true));
        grid.TitleClick(5);
        QVERIFY(Ordered(ColumnValues(grid, 5), false));
        QCOMPARE(parametri->Get(QStringLiteral("SORT_INDEX_OPAZ")).toInt(), 5);
        QCOMPARE(parametri->Get(QStringLiteral("SORT_OPAZ")).toInt(), 0);
        const QFont bold = grid.model()
                               ->headerData(grid.GridColumns()[5], Qt::Horizontal, Qt::FontRole)
                               .value<QFont>();
        QVERIFY(bold.bold());
        QVERIFY(!grid.model()
                     ->headerData(grid.GridColumns()[3], Qt::Horizontal, Qt::FontRole)
                     .value<QFont>()
                     .bold());

        // Another table keeps its own sort; the first comes back as it was left.
        Open(TViewKind::AutomaticStations);
        QCOMPARE(grid.BoldColumn(), 0);
        Open(TViewKind::ObservationStations);
        QCOMPARE(grid.BoldColumn(), 5);
        QVERIFY(Ordered(ColumnValues(grid, 5), false));

        // ... also in the next run of the program.
        NewForm();
        QCOMPARE(Grid().BoldColumn(), 5);
        QVERIFY(Ordered(ColumnValues(Grid(), 5), false));
        QCOMPARE(
            window.Home().ReadFile(QStringLiteral("Config.ini")).contains("SORT_INDEX_OPAZ=\"5\""),
            true);
    }

    // Places in Slovenian order, numbers as numbers, empty values last.
    void sortOrder_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("column");
        QTest::newRow("places") << 1 << 0;
        QTest::newRow("temperatures") << 2 << 1;
        QTest::newRow("pressure, some empty") << 1 << 8;
        QTest::newRow("water levels") << 15 << 1;
    }
    void sortOrder()
    {
        QFETCH(int, kind);
        QFETCH(int, column);
        NewForm();
        Open(kind);
        TStationGrid& grid = Grid();
        for (bool descending : {true, false}) {
            grid.TitleClick(column);
            QCOMPARE(parametri->Get(*ViewKindInfo(TViewKind(kind))->sortDirectionParameter).toInt(),
                     int(descending));
            const QList<QVariant> values = ColumnValues(grid, column);
            QVERIFY2(Ordered(values, descending), qPrintable(ColumnTexts(grid, column).join('|')));
            if (column == 0) {
                QStringList places = ColumnTexts(grid, 0);
                QCollator slovenian{QLocale(QLocale::Slovenian, QLocale::Slovenia)};
                slovenian.setCaseSensitivity(Qt::CaseInsensitive);
                QStringList expected = places;
                std::sort(expected.begin(), expected.end(), slovenian);
                if (descending)
                    std::reverse(expected.begin(), expected.end());
                QCOMPARE(places, expected);
                // Č after C and before K.
                const qsizetype c = places.indexOf(QStringLiteral("Celje"));
                const qsizetype ch = places.indexOf(QStringLiteral("Črnomelj"));
                const qsizetype k = places.indexOf(QStringLiteral("Kočevje"));
                QVERIFY(c >= 0 && ch >= 0 && k >= 0);
                QVERIFY(descending ? (k < ch && ch < c) : (c < ch && ch < k));
            }
        }
    }

    // The chosen place's row is marked in the observation, automatic and
    // amateur tables and nowhere else; the current row wins over it.
    void chosenPlaceMarking_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("marked");
        QTest::newRow("observation") << 1 << true;
        QTest::newRow("automatic") << 2 << true;
        QTest::newRow("amateur") << 16 << true;
        QTest::newRow("snow cover") << 10 << false;
        QTest::newRow("European cities") << 13 << false;
        QTest::newRow("water levels") << 15 << false;
    }
    void chosenPlaceMarking()
    {
        QFETCH(int, kind);
        QFETCH(bool, marked);
        NewForm();
        form->Prikaiokno1Click();
        Open(kind);
        TStationGrid& grid = Grid();
        // Every chosen place is the table's second row, so a wrong rule would show.
        const QString second = ColumnTexts(grid, 0).value(1);
        for (const char* name : {"KRAJ_OPAZOVALNE", "KRAJ_AVTOMATSKE", "KRAJ_AMATERSKE"})
            parametri->Set(QString::fromLatin1(name), second);
        grid.setCurrentIndex(grid.model()->index(3, grid.GridColumns()[0]));
        const QImage shot = grid.viewport()->grab().toImage();
        auto background = [&](int row) {
            const QRect cell = grid.visualRect(grid.model()->index(row, grid.GridColumns()[1]));
            return QColor(shot.pixel(cell.right() - 2, cell.center().y()));
        };
        QCOMPARE(background(1) == QColor(230, 235, 240), marked);
        QCOMPARE(background(2), QColor(Qt::white));
        QCOMPARE(background(3), QColor(250, 232, 197));

        // Names are compared exactly: another letter case is another place.
        if (marked) {
            parametri->Set(*ViewKindInfo(TViewKind(kind))->chosenPlaceParameter, second.toUpper());
            const QImage again = grid.viewport()->grab().toImage();
            const QRect cell = grid.visualRect(grid.model()->index(1, grid.GridColumns()[1]));
            QCOMPARE(QColor(again.pixel(cell.right() - 2, cell.center().y())), QColor(Qt::white));
        }
    }

    // A saved layout comes back in the next window; the default one after
    // "Privzete nastavitve"; a broken one is the default.
    void columnLayout()
    {
        NewForm();
        TStationGrid& grid = Grid();
        QHeaderView* header = grid.horizontalHeader();
        const QList<TGridColumn> defaults = GridLayoutOf(grid);
        QCOMPARE(defaults.first().Field, QStringLiteral("KRAJ"));
        QCOMPARE(defaults.first().Title, QStringLiteral("Kraj"));

        header->moveSection(header->visualIndex(grid.GridColumns()[2]), 0);
        grid.setColumnWidth(grid.GridColumns()[1], 123);
        QMenu* menu = form->findChild<QMenu*>(QStringLiteral("suiPUshrani"));
        QVERIFY(menu);
        menu->findChild<QAction*>(QStringLiteral("Shraninastavitve1"))->trigger();
        const QList<TGridColumn> saved = GridLayoutOf(grid);
        QCOMPARE(saved.first().Field, QStringLiteral("TEMPERATURA"));

        NewForm();
        QCOMPARE(GridLayoutOf(Grid()), saved);
        QCOMPARE(Grid().columnWidth(Grid().GridColumns()[1]), 123);
        // Other tables keep their own columns.
        Open(TViewKind::AutomaticStations);
        QCOMPARE(GridLayoutOf(Grid()).first().Field, QStringLiteral("KRAJ"));
        Open(TViewKind::ObservationStations);
        QCOMPARE(GridLayoutOf(Grid()), saved);

        form->findChild<QAction*>(QStringLiteral("Privzetenastavitve1"))->trigger();
        QCOMPARE(GridLayoutOf(Grid()), saved);
        Open(TViewKind::AutomaticStations);
        Open(TViewKind::ObservationStations);
        QCOMPARE(GridLayoutOf(Grid()), defaults);

        // Unknown columns, or bytes that are no layout, give the default.
        auto settings = OpenProgramSettings();
        settings->setValue(QStringLiteral("ds_opazovalne"),
                           EncodeGridLayout({{QStringLiteral("KRAJ"), 80, QStringLiteral("K")},
                                             {QStringLiteral("NIKJER"), 80, QStringLiteral("?")}}));
        settings.reset();
        NewForm();
        QCOMPARE(GridLayoutOf(Grid()), defaults);
        OpenProgramSettings()->setValue(QStringLiteral("ds_opazovalne"),
                                        QByteArray("\x01\x02garbage"));
        NewForm();
        QCOMPARE(GridLayoutOf(Grid()), defaults);
    }

    void layoutEncoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray good =
            EncodeGridLayout({{QStringLiteral("KRAJ"), 80, QStringLiteral("Kraj")}});
        QTest::newRow("cut short") << good.left(good.size() - 3);
        QTest::newRow("trailing bytes") << good + "x";
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("no columns") << EncodeGridLayout({});
        QTest::newRow("absurd width")
            << EncodeGridLayout({{QStringLiteral("KRAJ"), 999999, QStringLiteral("Kraj")}});
        QTest::newRow("no field name") << EncodeGridLayout({{QString(), 80, QStringLiteral("x")}});
    }
    void layoutEncoding()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(!DecodeGridLayout(bytes));
        const QList<TGridColumn> columns{{QStringLiteral("KRAJ"), 80, QStringLiteral("Kraj")},
                                         {QStringLiteral("VREME"), 120, QStringLiteral("Vreme")}};
        QCOMPARE(DecodeGridLayout(EncodeGridLayout(columns)), std::optional(columns));
    }

    // Numbers and times as the locale writes them, with a plain minus sign
    // and a four-digit year.
    void localeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const QLocale sl(QLocale::Slovenian, QLocale::Slovenia);
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        QTest::newRow("negative, shortest") << LocaleNumber(-2.25, sl) << "-2,25";
        QTest::newRow("no grouping in the shortest") << LocaleNumber(1234.5, sl) << "1234,5";
        QTest::newRow("whole") << LocaleNumber(11.0, sl) << "11";
        QTest::newRow("two decimals, grouped") << LocaleNumber(1234.567, 2, sl) << "1.234,57";
        QTest::newRow("two decimals, US") << LocaleNumber(-1234.5, 2, us) << "-1,234.50";
        QTest::newRow("date and time")
            << LocaleDateTime(QDateTime(QDate(2026, 12, 9), QTime(22, 0)), sl)
            << "9. 12. 2026 22:00";
        QTest::newRow("US date")
            << LocaleDateTime(QDateTime(QDate(2026, 12, 9), QTime(7, 5)), us).left(9)
            << "12/9/2026";
    }
    void localeText()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(text, expected);
    }

    // The statistics under a comma locale, and with no temperatures at all.
    void statistics()
    {
        QLocale::setDefault(QLocale(QLocale::Slovenian, QLocale::Slovenia));
        TTestHome local;
        TWeatherData data;
        data.CreateWeatherTables();
        TWeatherTable& table = *data.tbl_opazovalne;
        table.Empty();
        TStatisticsBar bar;
        bar.UpdateTableStatistics(table);
        QCOMPARE(bar.PanelText(0), QStringLiteral("Max: -"));
        QCOMPARE(bar.PanelText(1), QStringLiteral("Min: -"));
        QCOMPARE(bar.PanelText(2), QStringLiteral("Povprečna: -"));

        const QList<std::pair<QString, QVariant>> places{{QStringLiteral("Celje"), 3.5},
                                                         {QStringLiteral("Koper"), 11},
                                                         {QStringLiteral("Rateče"), -2.25},
                                                         {QStringLiteral("Vojsko"), QVariant()}};
        for (const auto& [place, temperature] : places) {
            TWeatherRow row = table.NewRow();
            table.SetValue(row, table.FieldIndex(QStringLiteral("KRAJ")), place);
            table.SetValue(row, table.FieldIndex(QStringLiteral("TEMPERATURA")), temperature);
            table.Post(row);
        }
        bar.UpdateTableStatistics(table);
        QCOMPARE(bar.PanelText(0), QStringLiteral("Max: (Koper) 11°C"));
        QCOMPARE(bar.PanelText(1), QStringLiteral("Min: (Rateče) -2,25°C"));
        QCOMPARE(bar.PanelText(2), QStringLiteral("Povprečna: 4,08°C"));

        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        TWeatherRow row = table.NewRow();
        table.SetValue(row, table.FieldIndex(QStringLiteral("KRAJ")), QStringLiteral("Vroče"));
        table.SetValue(row, table.FieldIndex(QStringLiteral("TEMPERATURA")), 40.5);
        table.Post(row);
        bar.UpdateTableStatistics(table);
        QCOMPARE(bar.PanelText(0), QStringLiteral("Max: (Vroče) 40.5°C"));
        QCOMPARE(bar.PanelText(1), QStringLiteral("Min: (Rateče) -2.25°C"));
        QCOMPARE(bar.PanelText(2), QStringLiteral("Povprečna: 13.19°C"));
    }

    // The statistics follow the view and the refresh.
    void statisticsInTheWindow()
    {
        NewForm();
        auto* bar = form->findChild<TStatisticsBar*>();
        QVERIFY(!bar->isHidden());
        QVERIFY(bar->PanelText(0).startsWith(QStringLiteral("Max: (")));
        QVERIFY(bar->PanelText(2).startsWith(QStringLiteral("Povprečna: ")));
        Open(TViewKind::SnowCover);
        QVERIFY(bar->isHidden());
        Open(TViewKind::EuropeanCities);
        QVERIFY(!bar->isHidden());
        QVERIFY(bar->PanelText(1).startsWith(QStringLiteral("Min: (")));
    }

    // A refresh of the view shown keeps the current row and the scroll place.
    void refreshKeepsThePlace()
    {
        NewForm();
        form->Prikaiokno1Click();
        Open(TViewKind::AutomaticStations);
        TStationGrid& grid = Grid();
        form->resize(600, 420);
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QTRY_VERIFY(grid.verticalScrollBar()->maximum() > 10);
        grid.setCurrentIndex(grid.model()->index(12, grid.GridColumns()[1]));
        const QString place = grid.model()->index(12, grid.GridColumns()[0]).data().toString();
        grid.verticalScrollBar()->setValue(7);
        grid.horizontalScrollBar()->setValue(grid.horizontalScrollBar()->maximum());
        const int horizontal = grid.horizontalScrollBar()->value();
        form->RefreshData(true);
        QTRY_VERIFY(!form->findChild<TRefreshCycle*>()->Refreshing());
        QCOMPARE(
            grid.model()->index(grid.currentIndex().row(), grid.GridColumns()[0]).data().toString(),
            place);
        QCOMPARE(grid.currentIndex().column(), grid.GridColumns()[1]);
        QCOMPARE(grid.verticalScrollBar()->value(), 7);
        QCOMPARE(grid.horizontalScrollBar()->value(), horizontal);
    }

    // The text views' styles follow the font size setting.
    void textStyles_data()
    {
        QTest::addColumn<QByteArray>("size");
        QTest::addColumn<double>("points");
        QTest::newRow("8") << QByteArray("8") << 8.0;
        QTest::newRow("10") << QByteArray("10") << 10.0;
    }
    void textStyles()
    {
        QFETCH(QByteArray, size);
        QFETCH(double, points);
        NewForm("PISAVA_VELIKOST=" + size + "\r\n");
        Open(TViewKind::GeneralForecast);
        auto* pane = form->findChild<QTextBrowser*>(QStringLiteral("RichEdit1"));
        QVERIFY(!pane->isHidden());
        QTextDocument* document = pane->document();
        QTextBlock block = document->begin();
        QVERIFY(block.text().isEmpty());
        int headings = 0;
        int paragraphs = 0;
        for (block = block.next(); block.isValid(); block = block.next()) {
            if (block.text().isEmpty())
                continue;
            // Every text is followed by an empty line.
            QVERIFY(block.next().isValid() && block.next().text().isEmpty());
            const QTextCharFormat format = block.begin().fragment().charFormat();
            const bool heading = format.fontWeight() == QFont::Bold;
            (heading ? headings : paragraphs)++;
            QCOMPARE(format.foreground().color(),
                     heading ? QColor(234, 171, 55) : QColor(52, 65, 86));
            QCOMPARE(format.fontPointSize(), heading ? points + 2 : points);
            QVERIFY(qAbs(block.blockFormat().textIndent() - 10 * 96.0 / 72) < 0.01);
            QVERIFY(qAbs(block.blockFormat().rightMargin() - 6 * 96.0 / 72) < 0.01);
        }
        QVERIFY(headings > 2);
        QVERIFY(paragraphs > headings);
        QVERIFY(pane->isReadOnly());
        QVERIFY(!pane->openLinks());
    }

    // A feed without the section leaves the pane with one empty line and the
    // title without a time.
    void feedWithoutTheSection()
    {
        // Serve feeds without the general forecast for this test.
        QByteArray original[2];
        const QString mirrors[2] = {QStringLiteral("ogledalo1"), QStringLiteral("ogledalo2")};
        for (int i = 0; i < 2; ++i) {
            original[i] = demo.ReadFile(mirrors[i] + QStringLiteral("/podatki.xml"));
            QByteArray changed = original[i];
            const qsizetype from = changed.indexOf("<VremenskaNapoved>");
            const qsizetype to = changed.indexOf("</VremenskaNapoved>");
            QVERIFY(from > 0 && to > from);
            changed.remove(from, to + int(qstrlen("</VremenskaNapoved>")) - from);
            QFile file(demo.FilePath(mirrors[i] + QStringLiteral("/podatki.xml")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(changed);
        }
        NewForm();
        Open(TViewKind::GeneralForecast);
        for (int i = 0; i < 2; ++i) {
            QFile file(demo.FilePath(mirrors[i] + QStringLiteral("/podatki.xml")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(original[i]);
        }
        QTextDocument* document =
            form->findChild<QTextBrowser*>(QStringLiteral("RichEdit1"))->document();
        QCOMPARE(document->blockCount(), 1);
        QVERIFY(document->toPlainText().isEmpty());
        QCOMPARE(form->TitlePanel()->Title(), QStringLiteral("Napoved v besedi (Vir:ARSO)"));
    }
};

QTEST_MAIN(TestTableViews)
#include "tst_tableviews.moc"
