#include "views/frm_primorje.h"

#include "views/TStationGrid.h"
#include "views/ViewTable.h"
#include "weather/TWeatherData.h"
#include "weather/TWeatherTableModel.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

TFramePrimorje::TFramePrimorje(TWeatherData& weather, QWidget* parent)
    : QWidget(parent), FWeather(weather)
{
    setObjectName(QStringLiteral("FramePrimorje1"));
    setProperty("panelTag", PanelTag::Coast);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* tools = new QWidget(this);
    tools->setObjectName(QStringLiteral("CoastToolBar"));
    auto* row = new QHBoxLayout(tools);
    row->setContentsMargins(6, 4, 6, 4);
    auto* sources = new QButtonGroup(this);
    for (auto [button, name, text] :
         {std::tuple{&btnMorska, "btnMorska", "Vir: Morska biološka postaja"},
          std::tuple{&btnARSO, "btnARSO", "Vir: ARSO"}}) {
        *button = new QToolButton(tools);
        (*button)->setObjectName(QString::fromLatin1(name));
        (*button)->setText(QString::fromUtf8(text));
        (*button)->setCheckable(true);
        (*button)->setAutoRaise(true);
        (*button)->setCursor(Qt::PointingHandCursor);
        sources->addButton(*button);
        row->addWidget(*button);
    }
    row->addStretch(1);
    column->addWidget(tools);
    connect(btnMorska, &QToolButton::clicked, this, &TFramePrimorje::btnMorskaClick);
    connect(btnARSO, &QToolButton::clicked, this, &TFramePrimorje::btnARSOClick);

    suiDBGrid1 = new TStationGrid(this);
    suiDBGrid1->setObjectName(QStringLiteral("suiDBGridPrimorje"));
    column->addWidget(suiDBGrid1, 1);
    RichEdit1 = new QTextBrowser(this);
    RichEdit1->setObjectName(QStringLiteral("RichEditPrimorje"));
    RichEdit1->setDocument(FWeather.CoastTextPane);
    // The look of the text view's pane.
    FWeather.CoastTextPane->setDocumentMargin(10);
    RichEdit1->setOpenLinks(false);
    RichEdit1->setFrameShape(QFrame::NoFrame);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setAccessibleName(QStringLiteral("Morska biološka postaja"));
    column->addWidget(RichEdit1, 1);
    btnARSOClick();
}

void TFramePrimorje::ShowTable()
{
    if (!FModel)
        FModel = new TWeatherTableModel(FWeather.tbl_primorje, this);
    suiDBGrid1->Bind(FModel, TViewKind::Coast);
}

void TFramePrimorje::btnMorskaClick()
{
    btnMorska->setChecked(true);
    suiDBGrid1->hide();
    RichEdit1->show();
}

void TFramePrimorje::btnARSOClick()
{
    btnARSO->setChecked(true);
    RichEdit1->hide();
    suiDBGrid1->show();
}
