#include "views/TStatisticsBar.h"

#include "common/LocaleText.h"
#include "views/ViewTable.h"
#include "weather/RunTableQuery.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <cmath>

namespace {

const QString Alias = QStringLiteral("XXX");
const QString Degrees = QStringLiteral("°C");

} // namespace

TStatisticsBar::TStatisticsBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("suiStatusBar"));
    setProperty("panelTag", PanelTag::Grid);
    setAttribute(Qt::WA_StyledBackground);
    setFixedHeight(22);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const int widths[3] = {160, 160, 50};
    for (int i = 0; i < 3; ++i) {
        FPanels[i] = new QLabel(this);
        FPanels[i]->setObjectName(QStringLiteral("suiStatusPanel%1").arg(i));
        FPanels[i]->setTextFormat(Qt::PlainText);
        FPanels[i]->setMinimumWidth(widths[i]);
        layout->addWidget(FPanels[i], i == 2 ? 1 : 0);
    }
}

QString TStatisticsBar::PanelText(int panel) const
{
    return panel >= 0 && panel < 3 ? FPanels[panel]->text() : QString();
}

void TStatisticsBar::UpdateTableStatistics(TWeatherTable& table)
{
    for (QLabel* panel : FPanels) {
        panel->clear();
        panel->setToolTip(QString());
    }
    auto show = [this](int panel, const QString& text) {
        FPanels[panel]->setText(text);
        FPanels[panel]->setToolTip(text);
    };
    const TQueryResult coldest = RunTableQuery(
        QStringLiteral("select KRAJ, min(TEMPERATURA) as MINT  from XXX  where (TEMPERATURA "
                       "is not NULL) group by KRAJ  order by MINT asc"),
        {&table}, {Alias});
    if (!coldest.IsOpen())
        return;
    if (!coldest.IsEmpty())
        show(1, QStringLiteral("Min: (") + coldest.Value(0, QStringLiteral("KRAJ")).toString() +
                    QStringLiteral(") ") +
                    LocaleNumber(coldest.Value(0, QStringLiteral("MINT")).toDouble()) + Degrees);
    else
        show(1, QStringLiteral("Min: -"));

    const TQueryResult warmest = RunTableQuery(
        QStringLiteral("select KRAJ, max(TEMPERATURA) as MAXT from XXX  where (TEMPERATURA is "
                       "not NULL) group by KRAJ  order by MAXT desc"),
        {&table}, {Alias});
    if (!warmest.IsOpen())
        return;
    if (!warmest.IsEmpty())
        show(0, QStringLiteral("Max: (") + warmest.Value(0, QStringLiteral("KRAJ")).toString() +
                    QStringLiteral(") ") +
                    LocaleNumber(warmest.Value(0, QStringLiteral("MAXT")).toDouble()) + Degrees);
    else
        show(0, QStringLiteral("Max: -"));

    const TQueryResult average =
        RunTableQuery(QStringLiteral("select min(TEMPERATURA) as MIT, max(TEMPERATURA) as MAT, "
                                     "avg(TEMPERATURA) as AVT from XXX where (TEMPERATURA is not "
                                     "NULL)"),
                      {&table}, {Alias});
    if (!average.IsOpen())
        return;
    const QVariant value = average.Value(0, QStringLiteral("AVT"));
    if (value.isValid()) {
        const double rounded = std::round(value.toDouble() * 10000.0) / 10000.0;
        show(2, QStringLiteral("Povprečna: ") + LocaleNumber(rounded, 2) + Degrees);
    } else {
        show(2, QStringLiteral("Povprečna: -"));
    }
}
