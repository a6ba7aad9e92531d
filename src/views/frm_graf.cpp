#include "views/frm_graf.h"

#include "common/Messages.h"
#include "net/Fetch.h"
#include "remote/ServerAddresses.h"
#include "settings/Tparameter.h"
#include "views/TPictureContext.h"
#include "views/ViewTable.h"
#include "views/ViewsLog.h"
#include "weather/StationKinds.h"
#include "weather/TNameValueList.h"
#include "weather/TWeatherData.h"
#include "weather/TWeatherTable.h"
#include "weather/TWeatherTableModel.h"
#include "weather/TemperatureGraph.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QCollator>
#include <QComboBox>
#include <QCursor>
#include <QDateTimeAxis>
#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineSeries>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace {

// Told apart on white and with the common kinds of colour blindness
// (Okabe and Ito's set without its yellow, which is too pale on white).
const QColor seriesColours[] = {
    QColor(0x00, 0x72, 0xB2), QColor(0xE6, 0x9F, 0x00), QColor(0x00, 0x9E, 0x73),
    QColor(0xCC, 0x79, 0xA7), QColor(0x56, 0xB4, 0xE9), QColor(0xD5, 0x5E, 0x00),
    QColor(0x00, 0x00, 0x00),
};

// The bottom axis of a kind when no bar gives its range.
std::pair<int, int> KindRange(int graphKind)
{
    switch (graphKind) {
    case 1:
        return {0, 23};
    case 4:
        return {1, 12};
    default:
        return {1, 31};
    }
}

QDateTimeEdit* DatePicker(const QString& name, QWidget* parent)
{
    auto* picker = new QDateTimeEdit(parent);
    picker->setObjectName(name);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("d. M. yyyy"));
    picker->setDateTime(QDateTime(QDate::currentDate(), GraphPickerTime));
    return picker;
}

QToolButton* ToolButton(const QString& name, const QString& text, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(text);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

QChartView* ChartView(const QString& name, QWidget* parent)
{
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setBackgroundBrush(Qt::white);
    chart->setBackgroundRoundness(0);
    chart->setAnimationOptions(QChart::NoAnimation);
    QFont title = chart->titleFont();
    title.setBold(true);
    title.setPointSizeF(title.pointSizeF() * 1.2);
    chart->setTitleFont(title);
    auto* view = new QChartView(chart, parent);
    view->setObjectName(name);
    view->setRenderHint(QPainter::Antialiasing);
    return view;
}

void RemoveAxes(QChart* chart)
{
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
}

QValueAxis* TemperatureAxis(int low, int high)
{
    auto* axis = new QValueAxis;
    axis->setTitleText(QStringLiteral("Temperatura"));
    axis->setLabelFormat(QStringLiteral("%d"));
    // Zero stays in sight; a margin only on the side that has bars.
    axis->setRange(low < 0 ? low - 1 : 0, high > 0 ? high + 1 : 0);
    axis->applyNiceNumbers();
    return axis;
}

// The table page's grid: the current row and the chosen cell in the
// program's colours.
class TGraphGridDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyleOptionViewItem item = option;
        const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
        const QModelIndex current = view ? view->currentIndex() : QModelIndex();
        if (option.state & QStyle::State_Selected) {
            item.palette.setColor(QPalette::Highlight, QColor(230, 235, 240));
            item.palette.setColor(QPalette::HighlightedText, QColor(52, 65, 86));
        } else if (current.isValid() && current.row() == index.row()) {
            painter->fillRect(option.rect, QColor(250, 232, 197));
        }
        QStyledItemDelegate::paint(painter, item, index);
    }
};

} // namespace

TFrameGraf::TFrameGraf(TWeatherData& weather, TPictureContext& context, QWidget* parent)
    : QWidget(parent), FWeather(weather), FContext(context),
      FCancellation(std::make_unique<pas_lib::TCancellation>())
{
    setObjectName(QStringLiteral("FrameGraf1"));
    setProperty("panelTag", PanelTag::Graph);
}

void TFrameGraf::Open()
{
    if (Opened())
        return;
    Build();
    Setup();
}

void TFrameGraf::Build()
{
    FGraphTable = std::make_unique<TGraphTable>();
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("GraphTitleStrip"));
    strip->setFixedHeight(37);
    auto* stripRow = new QHBoxLayout(strip);
    stripRow->setContentsMargins(6, 4, 6, 4);
    dbTipPostaje = new QComboBox(strip);
    dbTipPostaje->setObjectName(QStringLiteral("dbTipPostaje"));
    dbTipPostaje->addItems({QStringLiteral("---Izberi tip postaje---"),
                            QStringLiteral("Opazovalna"), QStringLiteral("Avtomatska"),
                            QStringLiteral("Amaterska")});
    dbTipPostaje->setAccessibleName(QStringLiteral("Tip postaje"));
    stripRow->addWidget(dbTipPostaje);
    for (auto [list, name] :
         {std::pair{&dbPostajaOpa, "dbPostajaOpa"}, std::pair{&dbPostajaAvt, "dbPostajaAvt"},
          std::pair{&dbPostajaAmat, "dbPostajaAmat"}}) {
        *list = new QComboBox(strip);
        (*list)->setObjectName(QString::fromLatin1(name));
        (*list)->setAccessibleName(QStringLiteral("Postaja"));
        (*list)->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        (*list)->hide();
        stripRow->addWidget(*list);
    }
    stripRow->addStretch(1);
    column->addWidget(strip);
    connect(dbTipPostaje, &QComboBox::currentIndexChanged, this, &TFrameGraf::dbTipPostajeChange);

    pcGrafTemp = new QTabWidget(this);
    pcGrafTemp->setObjectName(QStringLiteral("pcGrafTemp"));
    pcGrafTemp->setDocumentMode(true);
    column->addWidget(pcGrafTemp, 1);

    // "Graf": the tool bar and the bar chart.
    auto* graphPage = new QWidget(pcGrafTemp);
    auto* graphColumn = new QVBoxLayout(graphPage);
    graphColumn->setContentsMargins(0, 4, 0, 0);
    auto* tools = new QHBoxLayout;
    tools->setContentsMargins(6, 0, 6, 0);
    btnDnevniGraf =
        ToolButton(QStringLiteral("btnDnevniGraf"), QStringLiteral("Dnevni"), graphPage);
    btnTedenskiGraf =
        ToolButton(QStringLiteral("btnTedenskiGraf"), QStringLiteral("Tedenski"), graphPage);
    btnMesecniGraf =
        ToolButton(QStringLiteral("btnMesecniGraf"), QStringLiteral("Mesečni"), graphPage);
    btnLetniGraf = ToolButton(QStringLiteral("btnLetniGraf"), QStringLiteral("Letni"), graphPage);
    btnBrisiGraf =
        ToolButton(QStringLiteral("btnBrisiGraf"), QStringLiteral("Briši graf"), graphPage);
    dtZaDatum = DatePicker(QStringLiteral("dtZaDatum"), graphPage);
    for (QWidget* tool : std::initializer_list<QWidget*>{
             btnDnevniGraf, btnTedenskiGraf, btnMesecniGraf, btnLetniGraf, btnBrisiGraf, dtZaDatum})
        tools->addWidget(tool);
    tools->addStretch(1);
    graphColumn->addLayout(tools);
    Chart1 = ChartView(QStringLiteral("Chart1"), graphPage);
    graphColumn->addWidget(Chart1, 1);
    pcGrafTemp->addTab(graphPage, QStringLiteral("Graf"));
    // The main window routes the "Dnevni" click through its own handler.
    connect(btnTedenskiGraf, &QToolButton::clicked, this, [this] { btnTedenskiGrafClick(); });
    connect(btnMesecniGraf, &QToolButton::clicked, this, [this] { btnMesecniGrafClick(); });
    connect(btnLetniGraf, &QToolButton::clicked, this, [this] { btnLetniGrafClick(); });
    connect(btnBrisiGraf, &QToolButton::clicked, this, &TFrameGraf::btnBrisiGrafClick);

    // "Tabela": the graph table of a date range.
    auto* tablePage = new QWidget(pcGrafTemp);
    auto* tableColumn = new QVBoxLayout(tablePage);
    auto* tableTools = new QHBoxLayout;
    auto* tableQuery = new QPushButton(QStringLiteral("Naredi poizvedbo"), tablePage);
    tableQuery->setObjectName(QStringLiteral("btnNarediPoizvedboTabela"));
    dbOdTabela = DatePicker(QStringLiteral("dbOdTabela"), tablePage);
    dbDoTabela = DatePicker(QStringLiteral("dbDoTabela"), tablePage);
    tableTools->addWidget(tableQuery);
    tableTools->addWidget(dbOdTabela);
    tableTools->addWidget(dbDoTabela);
    tableTools->addStretch(1);
    tableColumn->addLayout(tableTools);
    suiDBGrid2 = new QTableView(tablePage);
    suiDBGrid2->setObjectName(QStringLiteral("suiDBGrid2"));
    FTableModel = new TWeatherTableModel(&FGraphTable->Table(), suiDBGrid2);
    suiDBGrid2->setModel(FTableModel);
    suiDBGrid2->setItemDelegate(new TGraphGridDelegate(suiDBGrid2));
    suiDBGrid2->verticalHeader()->hide();
    tableColumn->addWidget(suiDBGrid2, 1);
    pcGrafTemp->addTab(tablePage, QStringLiteral("Tabela"));

    // "Črtni graf": a line of the range's readings.
    auto* linePage = new QWidget(pcGrafTemp);
    auto* lineColumn = new QVBoxLayout(linePage);
    auto* lineTools = new QHBoxLayout;
    auto* lineQuery = new QPushButton(QStringLiteral("Naredi poizvedbo"), linePage);
    lineQuery->setObjectName(QStringLiteral("btnNarediPoizvedbo"));
    dtOd = DatePicker(QStringLiteral("dtOd"), linePage);
    dtDo = DatePicker(QStringLiteral("dtDo"), linePage);
    lineTools->addWidget(lineQuery);
    lineTools->addWidget(dtOd);
    lineTools->addWidget(dtDo);
    lineTools->addStretch(1);
    lineColumn->addLayout(lineTools);
    DBChart1 = ChartView(QStringLiteral("DBChart1"), linePage);
    DBChart1->chart()->setTitle(QStringLiteral("Graf izmerjenih temperatur"));
    lineColumn->addWidget(DBChart1, 1);
    pcGrafTemp->addTab(linePage, QStringLiteral("Črtni graf"));
    for (QPushButton* query : {tableQuery, lineQuery})
        connect(query, &QPushButton::clicked, this, [this] { btnNarediPoizvedboClick(); });
    pcGrafTemp->setTabEnabled(1, false);
    pcGrafTemp->setTabEnabled(2, false);
}

TFrameGraf::~TFrameGraf()
{
    FCancellation->Cancel();
}

QChart* TFrameGraf::Chart() const
{
    return Chart1->chart();
}

QChart* TFrameGraf::LineChart() const
{
    return DBChart1->chart();
}

void TFrameGraf::Setup()
{
    if (!Opened()) {
        Open();
        return;
    }
    pcGrafTemp->setCurrentIndex(0);
    const QDate today = QDate::currentDate();
    for (QDateTimeEdit* picker : {dtZaDatum, dtOd, dtDo, dbOdTabela, dbDoTabela})
        picker->setDateTime(QDateTime(today, picker->time()));
    for (int kind = 0; kind < pas_lib::StationKindCount; ++kind)
        FillStationList(StationList(kind + 1), kind);
    const int kind = parametri ? parametri->Get(TParam::TIP_POSTAJE).toInt() : 0;
    dbTipPostaje->setCurrentIndex(kind >= 0 && kind < pas_lib::StationKindCount ? kind + 1 : 0);
    dbTipPostajeChange();
}

void TFrameGraf::FillStationList(QComboBox* list, int kind)
{
    const pas_lib::TStationKind& stationKind = pas_lib::StationKinds[size_t(kind)];
    QList<std::pair<QString, int>> stations;
    for (const auto& [name, value] : (FWeather.*stationKind.graphList).Entries()) {
        bool ok = false;
        const int code = value.toInt(&ok);
        if (ok && code > 0)
            stations.append({name, code});
    }
    // Before the first catalogue arrives only the station table knows the
    // built-in stations; without them no station could be chosen.
    if (stations.isEmpty()) {
        const TWeatherTable& table = *(FWeather.*stationKind.table);
        for (const TWeatherRow& row : table.Rows()) {
            const QVariant code = table.Value(row, QStringLiteral("SIFRA"));
            if (code.isValid() && code.toInt() > 0)
                stations.append(
                    {table.Value(row, QStringLiteral("KRAJ")).toString(), code.toInt()});
        }
    }
    QCollator collator(QLocale(QLocale::Slovenian, QLocale::Slovenia));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(stations.begin(), stations.end(), [&](const auto& a, const auto& b) {
        return collator.compare(a.first, b.first) < 0;
    });
    list->clear();
    for (const auto& [name, code] : std::as_const(stations))
        list->addItem(name, code);
    const QString place =
        parametri ? parametri->Get(stationKind.chosenPlace).toString() : QString();
    list->setCurrentIndex(list->findText(place, Qt::MatchFixedString));
}

QComboBox* TFrameGraf::StationList(int kind) const
{
    switch (kind) {
    case 1:
        return dbPostajaOpa;
    case 2:
        return dbPostajaAvt;
    case 3:
        return dbPostajaAmat;
    default:
        return nullptr;
    }
}

void TFrameGraf::dbTipPostajeChange()
{
    if (!Opened())
        return;
    const int kind = dbTipPostaje->currentIndex();
    for (int list = 1; list <= 3; ++list)
        StationList(list)->setVisible(list == kind);
}

int TFrameGraf::StationKind() const
{
    return std::max(0, dbTipPostaje->currentIndex());
}

int TFrameGraf::StationCode() const
{
    const QComboBox* list = StationList(StationKind());
    return list && list->currentIndex() >= 0 ? list->currentData().toInt() : 0;
}

void TFrameGraf::Stop()
{
    FRequesting = false;
    FCancellation->Cancel();
    FCancellation.release()->deleteLater();
    FCancellation = std::make_unique<pas_lib::TCancellation>();
}

QCoro::Task<bool> TFrameGraf::Request(QString query)
{
    TBusyScope busy(FContext);
    FRequesting = true;
    const pas_lib::TCancellation* cancellation = FCancellation.get();
    const QPointer<TFrameGraf> self(this);
    const QString address = GraphAddress(ServerAddress(TServer::Charts), query);
    QBuffer reply;
    reply.open(QIODevice::ReadWrite);
    const int result = co_await Fetch(address, QString(), &reply, -1, cancellation);
    // Stop() has given the next request its turn already.
    if (!self || cancellation->Cancelled())
        co_return false;
    FRequesting = false;
    qCDebug(lcViews) << "Graph request" << query << "answered:" << result;
    if (result < 0) {
        FGraphTable->MoveToEnd();
        co_return false;
    }
    FGraphTable->LoadReply(reply.data());
    co_return true;
}

QCoro::Task<> TFrameGraf::DrawGraph(int graphKind)
{
    Open();
    const TGraphKindInfo* kind = GraphKindInfo(graphKind);
    // One request at a time: a click while one runs is not queued.
    if (!kind || FRequesting)
        co_return;
    if (StationKind() == 0) {
        pas_lib::ShowMessage(QStringLiteral("Izberi tip postaje"));
        co_return;
    }
    const QComboBox* list = StationList(StationKind());
    const QString label =
        (list->currentIndex() >= 0 ? list->currentText() + QStringLiteral(", ") : QString()) +
        dtZaDatum->date().toString(QStringLiteral("d. M. yyyy"));
    const pas_lib::TCancellation* cancellation = FCancellation.get();
    const QPointer<TFrameGraf> self(this);
    co_await Request(GraphQuery(StationKind(), StationCode(), dtZaDatum->dateTime(), graphKind));
    if (!self || cancellation->Cancelled())
        co_return;
    if (FGraphKind != graphKind)
        btnBrisiGrafClick();
    FGraphKind = graphKind;
    QMap<int, int> bars;
    for (const TGraphPoint& point : FGraphTable->Bars(graphKind))
        bars.insert(point.x, point.temperature);
    FGraphTable->MoveToEnd();
    FSeries.append(bars);
    FSeriesLabels.append(label);
    Redraw();
}

void TFrameGraf::btnBrisiGrafClick()
{
    Open();
    FSeries.clear();
    FSeriesLabels.clear();
    Redraw();
}

void TFrameGraf::Redraw()
{
    QChart* chart = Chart1->chart();
    chart->removeAllSeries();
    RemoveAxes(chart);
    const TGraphKindInfo* kind = GraphKindInfo(FGraphKind);
    chart->setTitle(kind ? QString::fromUtf8(kind->title) : QString());
    if (!kind)
        return;

    int first = std::numeric_limits<int>::max();
    int last = std::numeric_limits<int>::min();
    int low = 0;
    int high = 0;
    for (const QMap<int, int>& bars : std::as_const(FSeries)) {
        for (auto bar = bars.cbegin(); bar != bars.cend(); ++bar) {
            first = std::min(first, bar.key());
            last = std::max(last, bar.key());
            low = std::min(low, bar.value());
            high = std::max(high, bar.value());
        }
    }
    if (first > last)
        std::tie(first, last) = KindRange(FGraphKind);

    auto* bottom = new QBarCategoryAxis;
    bottom->setTitleText(QString::fromUtf8(kind->axisTitle));
    for (int x = first; x <= last; ++x)
        bottom->append(QString::number(x));
    chart->addAxis(bottom, Qt::AlignBottom);
    QValueAxis* left = TemperatureAxis(low, high);
    chart->addAxis(left, Qt::AlignLeft);

    // The chart sets the bars of its series side by side in each place, each
    // graph in its own colour.
    for (qsizetype index = 0; index < FSeries.size(); ++index) {
        auto* set = new QBarSet(QStringLiteral("Temperatura"));
        const QColor colour = seriesColours[index % std::size(seriesColours)];
        set->setColor(colour);
        set->setBorderColor(colour.darker(130));
        for (int x = first; x <= last; ++x)
            set->append(FSeries.at(index).value(x, 0));
        auto* series = new QBarSeries;
        series->append(set);
        series->setLabelsVisible(false);
        series->setBarWidth(0.8);
        chart->addSeries(series);
        series->attachAxis(bottom);
        series->attachAxis(left);
        connect(series, &QBarSeries::hovered, this, [this, series](bool status, int bar, QBarSet*) {
            ShowBarTip(status, bar, series);
        });
    }
}

void TFrameGraf::ShowBarTip(bool status, int index, QBarSeries* series)
{
    const qsizetype number = Chart1->chart()->series().indexOf(series);
    if (!status || number < 0 || number >= FSeries.size() || series->barSets().isEmpty()) {
        QToolTip::hideText();
        return;
    }
    const auto* axis =
        qobject_cast<QBarCategoryAxis*>(Chart1->chart()->axes(Qt::Horizontal).value(0));
    const QString place = axis ? axis->at(index) : QString();
    if (!FSeries.at(number).contains(place.toInt())) {
        QToolTip::hideText();
        return;
    }
    QToolTip::showText(QCursor::pos(),
                       FSeriesLabels.value(number) + QStringLiteral(" (") +
                           QString::fromUtf8(GraphKindInfo(FGraphKind)->axisTitle) +
                           QLatin1Char(' ') + place + QStringLiteral("): ") +
                           QString::number(FSeries.at(number).value(place.toInt())) +
                           QStringLiteral(" °C"),
                       Chart1);
}

QCoro::Task<> TFrameGraf::btnNarediPoizvedboClick()
{
    Open();
    if (FRequesting)
        co_return;
    btnBrisiGrafClick();
    if (RangeTooLong(dtOd->dateTime(), dtDo->dateTime())) {
        pas_lib::ShowMessage(QStringLiteral("Podatke lahko dobiš za največ 31 dni!!"));
        co_return;
    }
    if (StationKind() == 0) {
        pas_lib::ShowMessage(QStringLiteral("Izberi tip postaje"));
        co_return;
    }
    const pas_lib::TCancellation* cancellation = FCancellation.get();
    const QPointer<TFrameGraf> self(this);
    co_await Request(RangeQuery(StationKind(), StationCode(), dtOd->dateTime(), dtDo->dateTime()));
    if (!self || cancellation->Cancelled())
        co_return;
    QChart* chart = DBChart1->chart();
    chart->removeAllSeries();
    RemoveAxes(chart);
    auto* line = new QLineSeries;
    line->setName(QStringLiteral("TEMPERATURA"));
    line->setColor(Qt::red);
    int low = 0;
    int high = 0;
    for (const TGraphPoint& reading : FGraphTable->Readings()) {
        line->append(double(reading.at.toMSecsSinceEpoch()), reading.temperature);
        low = std::min(low, reading.temperature);
        high = std::max(high, reading.temperature);
    }
    chart->addSeries(line);
    auto* time = new QDateTimeAxis;
    time->setTitleText(QStringLiteral("Čas"));
    time->setFormat(QStringLiteral("d. M."));
    if (line->count() > 0)
        time->setRange(QDateTime::fromMSecsSinceEpoch(qint64(line->at(0).x())),
                       QDateTime::fromMSecsSinceEpoch(qint64(line->at(line->count() - 1).x())));
    chart->addAxis(time, Qt::AlignBottom);
    QValueAxis* left = TemperatureAxis(low, high);
    chart->addAxis(left, Qt::AlignLeft);
    line->attachAxis(time);
    line->attachAxis(left);
}
