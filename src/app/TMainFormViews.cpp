// Switching between the main window's views, the About page and the refresh
// command.
#include "app/TMainForm.h"
#include "common/DataPaths.h"
#include "controls/TSideChannel.h"
#include "remote/StationCatalogueDownload.h"
#include "settings/Tparameter.h"
#include "views/TNavigationMenu.h"
#include "views/TStationGrid.h"
#include "views/TStatisticsBar.h"
#include "views/TTitlePanel.h"
#include "views/ViewTable.h"
#include "views/frm_about.h"
#include "views/pas_parametri.h"
#include "weather/CurrentViewKind.h"
#include "weather/StationCatalogue.h"
#include "weather/TRefreshCycle.h"
#include "weather/TWeatherData.h"
#include "weather/TWeatherTable.h"
#include "weather/TWeatherTableModel.h"

#include <QAction>
#include <QApplication>
#include <QCollator>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTextBrowser>
#include <QToolButton>

Q_DECLARE_LOGGING_CATEGORY(lcMainForm)

namespace {

bool IsTableKind(int kind)
{
    return kind == 1 || kind == 2 || kind == 10 || kind == 13 || kind == 15 || kind == 16;
}

bool IsTextKind(int kind)
{
    return kind == 5 || kind == 7 || kind == 8 || kind == 9;
}

} // namespace

QAction* TMainForm::ViewAction(int kind) const
{
    for (QAction* action : FViewActions)
        if (action->data().toInt() == kind)
            return action;
    return nullptr;
}

void TMainForm::ApplyViewSwitches()
{
    FMenu->ApplyViewSwitches([this](int index) {
        const QString& name = Views().at(index).Switch;
        return name.isEmpty() || (parametri && parametri->Get(name).toBool());
    });
    if (suiSideChannel->Expanded())
        FitMenuPanel();
}

void TMainForm::ShowPanel(int tag)
{
    for (QWidget* control : std::as_const(FTaggedControls)) {
        const bool shown = control->property("panelTag").toInt() == tag;
        control->setVisible(shown);
    }
    FCurrentPanelTag = tag;
}

void TMainForm::ExecuteView(const TViewInfo& view)
{
    QElapsedTimer clock;
    clock.start();
    // Leaving the About page for another view: the title follows the views again.
    FCurrentPanelTag = 0;
    FWeather->ViewTitle->SetText(view.Title());
    suiImagePanelTitle->SetTitle(FWeather->ViewTitle->Text());
    ShowPanel(view.Tag);
    suiSideChannel->Collapse();
    pas_lib::CurrentViewKind = view.Kind;
    FMenu->SetCurrent(ViewAction(view.Kind));
    actAnimiraj->setEnabled(view.Kind == 3 || view.Kind == 4);

    const bool minimized = WindowMinimized();
    if (IsTableKind(view.Kind)) {
        ShowTableView(view.Kind);
    } else if (IsTextKind(view.Kind)) {
        LoadView(view.Kind);
        if (!minimized)
            RichEdit1->setFocus();
    } else if (view.Kind == pas_lib::CoastViewKind) {
        suiStatusBar->hide();
        LoadView(view.Kind);
    }
    qCDebug(lcMainForm) << "View" << view.Kind << "shown in" << clock.elapsed() << "ms";
}

void TMainForm::ShowTableView(int kind)
{
    if (kind == 10 || kind == 15)
        suiStatusBar->hide();
    LoadView(kind);
    suiDBGrid1->Bind(TableModel(kind), kind);
    if (!WindowMinimized())
        suiDBGrid1->setFocus();
    RestoreSort();
    TWeatherTable* const tables[] = {FWeather->tbl_opazovalne, FWeather->tbl_avtomatske,
                                     FWeather->tbl_eu, FWeather->tblAmaterske};
    const int statisticsKinds[] = {1, 2, 13, 16};
    for (int i = 0; i < 4; ++i)
        if (statisticsKinds[i] == kind)
            UpdateTableStatistics(*tables[i]);
}

TWeatherTableModel* TMainForm::TableModel(int kind)
{
    if (TWeatherTableModel* model = FTableModels.value(kind))
        return model;
    TWeatherTable* table = nullptr;
    switch (kind) {
    case 1:
        table = FWeather->tbl_opazovalne;
        break;
    case 2:
        table = FWeather->tbl_avtomatske;
        break;
    case 10:
        table = FWeather->tbl_snezna_odeja;
        break;
    case 13:
        table = FWeather->tbl_eu;
        break;
    case 15:
        table = FWeather->tblVodostaji;
        break;
    case 16:
        table = FWeather->tblAmaterske;
        break;
    default:
        return nullptr;
    }
    auto* model = new TWeatherTableModel(table, this);
    FTableModels.insert(kind, model);
    return model;
}

void TMainForm::LoadView(int kind)
{
    if (FRefresh)
        FRefresh->LoadView(kind);
}

void TMainForm::OpenAbout()
{
    if (!AboutShown()) {
        FAboutReturnVisibility.clear();
        for (QWidget* control : std::as_const(FTaggedControls))
            FAboutReturnVisibility.insert(control, !control->isHidden());
        FAboutReturnTag = FCurrentPanelTag;
    }
    ShowPanel(PanelTag::About);
    suiImagePanelTitle->SetTitle(AboutCaption);
}

void TMainForm::CloseAbout()
{
    if (!AboutShown())
        return;
    for (QWidget* control : std::as_const(FTaggedControls))
        control->setVisible(FAboutReturnVisibility.value(control, false));
    FCurrentPanelTag = FAboutReturnTag;
    // The view underneath kept its title up to date while About was shown.
    suiImagePanelTitle->SetTitle(FWeather->ViewTitle->Text());
}

void TMainForm::actOsvezitevExecute()
{
    if (WindowMinimized()) {
        RefreshData(true);
        return;
    }
    ShowRefreshIndicator();
    switch (pas_lib::CurrentViewKind) {
    case 3:
    case 4:
    case 6:
        emit PictureRefreshRequested(pas_lib::CurrentViewKind);
        break;
    default:
        RefreshData(true);
        break;
    }
    HideRefreshIndicator();
}

namespace {

// A table's places in Slovenian alphabetical order, whatever the table's sort.
QStringList SortedPlaces(const TWeatherTable& table)
{
    QStringList places;
    pas_lib::FillPlaceList(places, table);
    QCollator slovenian{QLocale(QLocale::Slovenian, QLocale::Slovenia)};
    slovenian.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(places.begin(), places.end(), slovenian);
    places.removeAll(QString());
    return places;
}

} // namespace

void TMainForm::actNastavitveExecute()
{
    auto placeLists = [this] {
        return Tform_parametri::TPlaceLists{SortedPlaces(*FWeather->tbl_avtomatske),
                                            SortedPlaces(*FWeather->tbl_opazovalne),
                                            SortedPlaces(*FWeather->tblAmaterske)};
    };
    Tform_parametri dialog(this);
    dialog.SetPlaceLists(placeLists());
    dialog.SetCatalogueRefresh([this, placeLists]() -> std::optional<Tform_parametri::TPlaceLists> {
        if (!DownloadStationCatalogue())
            return std::nullopt;
        pas_lib::LoadStationCatalogue(*FWeather, pas_lib::PostajeXmlPath);
        return placeLists();
    });
    dialog.exec();
    if (dialog.Saved == 0)
        ApplySettings();
}
