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

void Show(QLabel* panel, const QString& text)
{
    panel->setText(text);
    panel->setToolTip(text);
}

// The place of the extreme temperature that sql gives first, with the
// temperature of its column: label + ": (" + place + ") " + temperature, or
// label + ": -" when no station has one. False when the query did not run.
bool ShowExtreme(QLabel* panel, TWeatherTable& table, const QString& label, const QString& sql,
                 const QString& column)
{
    const TQueryResult extreme = RunTableQuery(sql, {&table}, {Alias});
    if (!extreme.IsOpen())
        return false;
    if (!extreme.IsEmpty())
        Show(panel, label + QStringLiteral(": (") +
                        extreme.Value(0, QStringLiteral("KRAJ")).toString() + QStringLiteral(") ") +
                        LocaleNumber(extreme.Value(0, column).toDouble()) + Degrees);
    else
        Show(panel, label + QStringLiteral(": -"));
    return true;
}

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
    if (!ShowExtreme(FPanels[1], table, QStringLiteral("Min"),
                     QStringLiteral("select KRAJ, min(TEMPERATURA) as MINT  from XXX  where "
                                    "(TEMPERATURA is not NULL) group by KRAJ  order by MINT asc"),
                     QStringLiteral("MINT")) ||
        !ShowExtreme(FPanels[0], table, QStringLiteral("Max"),
                     QStringLiteral("select KRAJ, max(TEMPERATURA) as MAXT from XXX  where "
                                    "(TEMPERATURA is not NULL) group by KRAJ  order by MAXT desc"),
                     QStringLiteral("MAXT")))
        return;

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
        Show(FPanels[2], QStringLiteral("Povprečna: ") + LocaleNumber(rounded, 2) + Degrees);
    } else {
        Show(FPanels[2], QStringLiteral("Povprečna: -"));
    }
}
