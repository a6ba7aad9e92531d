#include "DemoDeployment.h"
#include "MainFormFixture.h"
#include "RecordingPresenter.h"
#include "TestHome.h"
#include "app/ProgramStyle.h"
#include "app/TMainForm.h"
#include "common/DataPaths.h"
#include "common/WindowsColor.h"
#include "controls/TCheckList.h"
#include "platform/StartAtLogon.h"
#include "remote/RemoteSettings.h"
#include "settings/Tparameter.h"
#include "views/pas_parametri.h"
#include "weather/TRefreshCycle.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>
#include <algorithm>
#include <memory>

namespace {

const Tform_parametri::TPlaceLists Places{{"Bovec", "Celje", "Koper", "Ljubljana", "Črnomelj"},
                                          {"Celje", "Ljubljana", "Murska Sobota"},
                                          {"Krtina", "Radomlje"}};

template <typename T> T* Find(const QWidget& parent, const char* name)
{
    return parent.findChild<T*>(QString::fromLatin1(name));
}

bool Checked(const QWidget& dialog, const char* list, int row)
{
    return Find<TCheckList>(dialog, list)->IsChecked(row);
}

QString Parameter(const char* name)
{
    return parametri->Get(QLatin1String(name)).toString();
}

bool Logical(const char* name)
{
    return parametri->Get(QLatin1String(name)).toBool();
}

// The least size a layout may give a control, as Qt's layouts reckon it.
QSize LeastSize(const QWidget& widget)
{
    const QSizePolicy policy = widget.sizePolicy();
    const QSize hint = widget.sizeHint();
    const QSize least = widget.minimumSizeHint();
    QSize size(0, 0);
    if (policy.horizontalPolicy() != QSizePolicy::Ignored)
        size.setWidth(policy.horizontalPolicy() & QSizePolicy::ShrinkFlag
                          ? least.width()
                          : std::max(hint.width(), least.width()));
    if (policy.verticalPolicy() != QSizePolicy::Ignored)
        size.setHeight(policy.verticalPolicy() & QSizePolicy::ShrinkFlag
                           ? least.height()
                           : std::max(hint.height(), least.height()));
    if (widget.minimumWidth() > 0)
        size.setWidth(widget.minimumWidth());
    if (widget.minimumHeight() > 0)
        size.setHeight(widget.minimumHeight());
    return size;
}

QString Describe(const QWidget& widget)
{
    return widget.objectName() + QLatin1Char('/') +
           QString::fromLatin1(widget.metaObject()->className());
}

// Controls squeezed below their least size or lying over each other: of every
// widget with a layout, its shown children; one fault a line.
QString LayoutFaults(const QWidget& root)
{
    QString faults;
    QList<QWidget*> parents = root.findChildren<QWidget*>();
    parents.prepend(const_cast<QWidget*>(&root));
    for (const QWidget* parent : std::as_const(parents)) {
        // A scroll area's parts (viewport, bars, corner) lie over each other by design.
        if (!parent->layout() || !parent->isVisible() || qobject_cast<const QScrollArea*>(parent))
            continue;
        QList<const QWidget*> shown;
        for (const QObject* child : parent->children())
            if (child->isWidgetType() && static_cast<const QWidget*>(child)->isVisible() &&
                !static_cast<const QWidget*>(child)->isWindow())
                shown.append(static_cast<const QWidget*>(child));
        for (qsizetype i = 0; i < shown.size(); ++i) {
            const QSize least = LeastSize(*shown[i]);
            if (shown[i]->width() < least.width() || shown[i]->height() < least.height())
                faults += Describe(*shown[i]) + QStringLiteral(" squeezed to %1 x %2\n")
                                                    .arg(shown[i]->width())
                                                    .arg(shown[i]->height());
            for (qsizetype k = i + 1; k < shown.size(); ++k)
                if (shown[i]->geometry().intersects(shown[k]->geometry()))
                    faults += Describe(*shown[i]) + QStringLiteral(" over ") + Describe(*shown[k]) +
                              QLatin1Char('\n');
        }
    }
    return faults;
}

} // namespace

class TestSettingsDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<TTestHome> home;
    std::unique_ptr<TRecordingPresenter> presenter;
    std::unique_ptr<Tform_parametri> dialog;
    QTemporaryDir xdg;

    void Open(const QByteArray& parameters)
    {
        home = std::make_unique<TTestHome>();
        home->WriteFile(QStringLiteral("Config.ini"), "[PARAMETRI]\r\n" + parameters);
        CreateParameters();
        dialog = std::make_unique<Tform_parametri>();
        dialog->SetPlaceLists(Places);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }

    void Confirm() { Find<QPushButton>(*dialog, "btn_potrdi")->click(); }

private slots:
    void initTestCase()
    {
        QVERIFY(xdg.isValid());
        qputenv("XDG_CONFIG_HOME", xdg.path().toUtf8());
        // The program's look, whose margins and fonts the sizes depend on.
        ApplyProgramStyle();
    }

    void init() { presenter = std::make_unique<TRecordingPresenter>(); }

    void cleanup()
    {
        dialog.reset();
        home.reset();
        presenter.reset();
    }

    // What the dialog shows of the stored parameters.
    void formShow_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("expected");
        QTest::newRow("catalogue code as place")
            << QByteArray("KRAJ_AVTOMATSKE=5") << "cb_moj_kraj_avto"
            << "Ljubljana";
        QTest::newRow("place") << QByteArray("KRAJ_OPAZOVALNE=Celje") << "cb_moj_kraj_opazovalne"
                               << "Celje";
        QTest::newRow("place not in the list")
            << QByteArray("KRAJ_AMATERSKE=Nikjer") << "cb_moj_kraj_amaterske"
            << "";
        QTest::newRow("empty port shows 0") << QByteArray("PROXY_PORT=") << "db_proxy_port"
                                            << "0";
        QTest::newRow("port") << QByteArray("PROXY_PORT=8080") << "db_proxy_port"
                              << "8080";
        QTest::newRow("refresh 5 minutes") << QByteArray("INTERVAL_UPDATE=5") << "tb_interval"
                                           << "10";
        QTest::newRow("refresh 500 minutes") << QByteArray("INTERVAL_UPDATE=500") << "tb_interval"
                                             << "180";
        QTest::newRow("icon interval") << QByteArray("INTERVAL_IKONA=7") << "lbl_interval2"
                                       << "Interval izmenjave ikone 7 [sek]";
        QTest::newRow("password") << QByteArray("PROXY_PWD=skrito") << "db_proxy_pwd"
                                  << "skrito";
    }
    void formShow()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, control);
        QFETCH(QString, expected);
        Open(stored + "\r\n");
        QWidget* widget = dialog->findChild<QWidget*>(control);
        QVERIFY(widget);
        QString shown;
        if (auto* list = qobject_cast<QComboBox*>(widget))
            shown = list->currentText();
        else if (auto* edit = qobject_cast<QLineEdit*>(widget))
            shown = edit->text();
        else if (auto* slider = qobject_cast<QSlider*>(widget))
            shown = QString::number(slider->value());
        else if (auto* label = qobject_cast<QLabel*>(widget))
            shown = label->text();
        QCOMPARE(shown, expected);
        // Only the catalogue code is written at once.
        QCOMPARE(
            home->ReadFile(QStringLiteral("Config.ini")).contains("KRAJ_AVTOMATSKE=\"Ljubljana\""),
            stored == "KRAJ_AVTOMATSKE=5");
        QCOMPARE(dialog->CurrentPage(), 0);
        QCOMPARE(Find<QLineEdit>(*dialog, "db_proxy_pwd")->echoMode(), QLineEdit::Password);
    }

    // The balloon's items follow the digits; the check boxes and choices
    // their parameters, with their dependent controls.
    void formShowStates()
    {
        Open("PODATKI_V_OBLACKU=025\r\nTIP_POSTAJE=1\r\nDOWNLOAD_API=1\r\nTI_TRANSPARENT=1\r\n"
             "INTERVAL_IKONA=0\r\nPRIKAZEM_IKONO=1\r\nNE_AVTOMATSKI_ZAGON=1\r\nMINIMIZE_ON_X=0\r\n"
             "SNEZNA_ODEJA=1\r\nAMATERSKE_POSTAJE=0\r\n");
        const QList<bool> balloon{true, false, true, false, false, true};
        for (int k = 0; k < 6; ++k)
            QCOMPARE(Checked(*dialog, "lb_podatki_v_oblacku", k), balloon[k]);
        QVERIFY(Find<QRadioButton>(*dialog, "rg_tip_postaje1")->isChecked());
        QVERIFY(Find<QCheckBox>(*dialog, "cb_vreme_opazovalne")->isEnabled());
        QVERIFY(!Find<QGroupBox>(*dialog, "GroupBox3")->isEnabled());
        QVERIFY(!Find<QPushButton>(*dialog, "btn_font_bg_color")->isEnabled());
        QVERIFY(Find<QGroupBox>(*dialog, "rg_prikazem_ikono")->isEnabled());
        QVERIFY(Find<QRadioButton>(*dialog, "rg_prikazem_ikono1")->isChecked());
        QVERIFY(!Find<QCheckBox>(*dialog, "cb_ne_avtomatski_zagon")->isChecked());
        QVERIFY(!Find<QCheckBox>(*dialog, "cb_minimize")->isChecked());
        // Snow cover is the ninth item, amateur stations the last.
        QVERIFY(Checked(*dialog, "lb_parametri", 8));
        QVERIFY(!Checked(*dialog, "lb_parametri", 13));
        QCOMPARE(Find<TCheckList>(*dialog, "lb_parametri")->Count(), 14);
        QCOMPARE(Find<TCheckList>(*dialog, "lb_parametri")->Text(3),
                 QStringLiteral("Graf gibanja temperature mojega kraja"));
    }

    // One table binds each control to its parameter, for loading and saving
    // alike: every parameter the dialog shows once, every control once.
    void bindingsCoverTheDialog()
    {
        Open("");
        QStringList bound;
        QList<std::pair<const QObject*, int>> controls;
        for (const Tform_parametri::TBinding& binding : dialog->Bindings()) {
            bound.append(ParameterName(binding.Parameter));
            QVERIFY(parametri->TypeOf(bound.last()) != 0);
            controls.append({binding.Control, binding.Row});
        }
        QStringList shown{"KRAJ_AVTOMATSKE",  "KRAJ_OPAZOVALNE",     "KRAJ_AMATERSKE",
                          "INTERVAL_IKONA",   "PRIKAZEM_IKONO",      "INTERVAL_UPDATE",
                          "DOWNLOAD_API",     "MINIMIZE_ON_X",       "PREVERI_NOVO_VERZIJO",
                          "CAPTION_WRITER",   "NE_AVTOMATSKI_ZAGON", "IZKLOPI_OBLACEK",
                          "TIP_POSTAJE",      "VREME_OPAZOVALNE",    "PROXY_PORT",
                          "PROXY_SERVER",     "PROXY_USER",          "PROXY_PWD",
                          "SLIKA_PADAVINE",   "VREMENSKA_NAPOVED",   "NAPOVED_V_SLIKI",
                          "GRAF_TEMPERATURE", "SATELITSKA_SLIKA",    "NAPOVED_BIO",
                          "NAPOVED_JULIJCI",  "NAPOVED_LETALSTVO",   "SNEZNA_ODEJA",
                          "ANIMACIJE",        "NAPOVED_EVROPA",      "NAPOVED_PRIMORJE",
                          "VODOSTAJI",        "AMATERSKE_POSTAJE",   "TI_TRANSPARENT",
                          "TI_ZNAK_STOPINJE", "VI_TRANSPARENT",      "PODATKI_V_OBLACKU"};
        // In the order of writing, which places keys new to Config.ini.
        QCOMPARE(bound, shown);

        // Every control that holds a setting, and every item of a check list
        // unless the list is bound whole.
        QList<std::pair<const QObject*, int>> expected;
        for (QObject* control : dialog->findChildren<QObject*>()) {
            if (auto* list = qobject_cast<TCheckList*>(control)) {
                if (controls.contains(std::pair<const QObject*, int>(list, -1)))
                    expected.append({list, -1});
                else
                    for (int row = 0; row < list->Count(); ++row)
                        expected.append({list, row});
            } else if (qobject_cast<QComboBox*>(control) || qobject_cast<QSlider*>(control) ||
                       qobject_cast<QLineEdit*>(control) || qobject_cast<QButtonGroup*>(control) ||
                       (qobject_cast<QCheckBox*>(control) &&
                        !qobject_cast<TCheckList*>(control->parent()))) {
                expected.append({control, -1});
            }
        }
        auto sorted = [](QList<std::pair<const QObject*, int>> list) {
            std::sort(list.begin(), list.end());
            return list;
        };
        QCOMPARE(sorted(controls), sorted(expected));
    }

    // Each change handler keeps the dependent controls in step.
    void changeHandlers()
    {
        Open("INTERVAL_IKONA=3\r\nTIP_POSTAJE=0\r\n");
        auto* interval = Find<QSlider>(*dialog, "tb_interval2");
        auto* which = Find<QGroupBox>(*dialog, "rg_prikazem_ikono");
        QVERIFY(!which->isEnabled());
        interval->setValue(0);
        QVERIFY(which->isEnabled());
        QCOMPARE(Find<QLabel>(*dialog, "lbl_interval2")->text(),
                 QStringLiteral("Interval izmenjave ikone 0 [sek]"));
        interval->setValue(12);
        QVERIFY(!which->isEnabled());

        auto* weather = Find<QCheckBox>(*dialog, "cb_vreme_opazovalne");
        QVERIFY(!weather->isEnabled());
        Find<QRadioButton>(*dialog, "rg_tip_postaje1")->click();
        QVERIFY(weather->isEnabled());
        Find<QRadioButton>(*dialog, "rg_tip_postaje0")->click();
        QVERIFY(!weather->isEnabled());

        auto* proxy = Find<QGroupBox>(*dialog, "GroupBox3");
        Find<QCheckBox>(*dialog, "cb_api_nastavitve")->click();
        QVERIFY(!proxy->isEnabled());
        Find<QCheckBox>(*dialog, "cb_api_nastavitve")->click();
        QVERIFY(proxy->isEnabled());

        auto* background = Find<QPushButton>(*dialog, "btn_font_bg_color");
        auto* icon = Find<TCheckList>(*dialog, "lb_temp_ikona");
        icon->Box(0)->click();
        QVERIFY(background->isEnabled());
        icon->Box(0)->click();
        QVERIFY(!background->isEnabled());

        auto* tree = Find<QTreeWidget>(*dialog, "izberi_menu");
        QCOMPARE(tree->topLevelItemCount(), 3);
        for (int page = 2; page >= 0; --page) {
            tree->setCurrentItem(tree->topLevelItem(page));
            QCOMPARE(dialog->CurrentPage(), page);
        }
    }

    // Leaving the port field with letters in it says so and goes back there.
    void portCheck()
    {
        Open("");
        Find<QTreeWidget>(*dialog, "izberi_menu")
            ->setCurrentItem(Find<QTreeWidget>(*dialog, "izberi_menu")->topLevelItem(2));
        auto* port = Find<QLineEdit>(*dialog, "db_proxy_port");
        port->setFocus();
        QTRY_VERIFY(port->hasFocus());
        port->setText(QStringLiteral("80a"));
        Find<QLineEdit>(*dialog, "db_proxy_user")->setFocus();
        QCOMPARE(presenter->Messages, QStringList({"Za port vpiši številko!!!"}));
        QTRY_VERIFY(port->hasFocus());
        port->setText(QString());
        Find<QLineEdit>(*dialog, "db_proxy_user")->setFocus();
        QCOMPARE(presenter->Messages.size(), 1);
    }

    // "Shrani" writes every control's parameter; a missing place is stored empty.
    void confirmWritesEverything()
    {
        Open("KRAJ_AMATERSKE=Nikjer\r\nPODATKI_V_OBLACKU=012\r\nINTERVAL_UPDATE=500\r\n");
        Find<QComboBox>(*dialog, "cb_moj_kraj_avto")->setCurrentText(QStringLiteral("Koper"));
        Find<QSlider>(*dialog, "tb_interval2")->setValue(0);
        Find<QRadioButton>(*dialog, "rg_prikazem_ikono1")->click();
        Find<QRadioButton>(*dialog, "rg_tip_postaje2")->click();
        Find<QLineEdit>(*dialog, "db_proxy_server")->setText(QStringLiteral("proxy.example"));
        Find<QLineEdit>(*dialog, "db_proxy_port")->setText(QStringLiteral("3128"));
        Find<QLineEdit>(*dialog, "db_proxy_pwd")->setText(QStringLiteral("geslo\"x"));
        Find<QCheckBox>(*dialog, "cb_caption_writer")->setChecked(true);
        Find<QCheckBox>(*dialog, "cb_ne_avtomatski_zagon")->setChecked(false);
        auto* balloon = Find<TCheckList>(*dialog, "lb_podatki_v_oblacku");
        for (int k = 0; k < 6; ++k)
            balloon->SetChecked(k, k == 3 || k == 5);
        Find<TCheckList>(*dialog, "lb_parametri")->Box(0)->click();
        Find<TCheckList>(*dialog, "lb_temp_ikona")->Box(1)->click();
        Confirm();
        QCOMPARE(dialog->Saved, 0);
        QVERIFY(!dialog->isVisible());

        QCOMPARE(Parameter("KRAJ_AVTOMATSKE"), QStringLiteral("Koper"));
        QCOMPARE(Parameter("KRAJ_AMATERSKE"), QString());
        QCOMPARE(Parameter("INTERVAL_IKONA"), QStringLiteral("0"));
        QCOMPARE(Parameter("PRIKAZEM_IKONO"), QStringLiteral("1"));
        QCOMPARE(Parameter("INTERVAL_UPDATE"), QStringLiteral("180"));
        QCOMPARE(Parameter("TIP_POSTAJE"), QStringLiteral("2"));
        QCOMPARE(Parameter("PROXY_SERVER"), QStringLiteral("proxy.example"));
        QCOMPARE(Parameter("PROXY_PORT"), QStringLiteral("3128"));
        QCOMPARE(Parameter("PROXY_PWD"), QStringLiteral("geslo\"x"));
        QCOMPARE(Logical("CAPTION_WRITER"), true);
        QCOMPARE(Logical("NE_AVTOMATSKI_ZAGON"), true);
        QCOMPARE(Parameter("PODATKI_V_OBLACKU"), QStringLiteral("35"));
        QCOMPARE(Logical("SLIKA_PADAVINE"), true);
        QCOMPARE(Logical("TI_ZNAK_STOPINJE"), true);
        // The file holds them too, and reads back the same.
        CreateParameters();
        QCOMPARE(Parameter("PROXY_PWD"), QStringLiteral("geslo\"x"));
        QCOMPARE(Parameter("PODATKI_V_OBLACKU"), QStringLiteral("35"));
        QCOMPARE(Parameter("KRAJ_AVTOMATSKE"), QStringLiteral("Koper"));
    }

    // Any way out but "Shrani" writes nothing.
    void cancelWritesNothing_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("Prekini") << 0;
        QTest::newRow("closed") << 1;
        QTest::newRow("Escape") << 2;
    }
    void cancelWritesNothing()
    {
        QFETCH(int, how);
        Open("KRAJ_OPAZOVALNE=Celje\r\nINTERVAL_UPDATE=500\r\n");
        const QByteArray before = home->ReadFile(QStringLiteral("Config.ini"));
        Find<QComboBox>(*dialog, "cb_moj_kraj_opazovalne")->setCurrentIndex(1);
        Find<QCheckBox>(*dialog, "cb_caption_writer")->setChecked(true);
        if (how == 0)
            Find<QPushButton>(*dialog, "btn_prekini")->click();
        else if (how == 1)
            dialog->close();
        else
            QTest::keyClick(dialog.get(), Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->Saved, -1);
        QCOMPARE(home->ReadFile(QStringLiteral("Config.ini")), before);
        QVERIFY(!QFile::exists(StartAtLogonEntryPath()));
    }

    // The layout gives the dialog its minimum, and the dialog keeps to it;
    // at its minimum every page scrolls, and no control is squeezed or lies
    // over another.
    void minimumFromLayout()
    {
        Open("");
        dialog->resize(10, 10);
        QCOMPARE(dialog->minimumSize(), dialog->layout()->totalMinimumSize());
        QVERIFY(dialog->width() >= dialog->minimumSizeHint().width());
        QVERIFY(dialog->height() >= dialog->minimumSizeHint().height());
        auto* menu = Find<QTreeWidget>(*dialog, "izberi_menu");
        for (int page = 0; page < menu->topLevelItemCount(); ++page) {
            menu->setCurrentItem(menu->topLevelItem(page));
            QCOMPARE(dialog->CurrentPage(), page);
            auto* scroll =
                dialog->findChild<QScrollArea*>(QStringLiteral("TabSheet%1Scroll").arg(page + 1));
            QVERIFY(scroll && scroll->isVisible());
            QTRY_VERIFY(scroll->verticalScrollBar()->maximum() > 0);
            const QString faults = LayoutFaults(*dialog);
            QVERIFY2(faults.isEmpty(), qPrintable(faults));
        }
    }

    // It opens with all of its content where the screen has room for it, and
    // no larger than the screen where it has not, the pages scrolling; no
    // control is squeezed or lies over another either way.
    void initialSize_data()
    {
        QTest::addColumn<QSize>("room");
        QTest::addColumn<bool>("whole");
        QTest::newRow("1366 x 768") << QSize(1366, 768) << true;
        QTest::newRow("1024 x 768") << QSize(1024, 768) << true;
        QTest::newRow("1024 x 768 at scale 2") << QSize(512, 384) << false;
        QTest::newRow("640 x 480") << QSize(640, 480) << false;
    }
    void initialSize()
    {
        QFETCH(QSize, room);
        QFETCH(bool, whole);
        Open("");
        const QSize size = dialog->InitialSize(room);
        QVERIFY2(size.width() <= room.width() && size.height() <= room.height(),
                 qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
        QVERIFY(size.width() >= dialog->minimumSizeHint().width());
        QVERIFY(size.height() >= dialog->minimumSizeHint().height());
        QCOMPARE(size == dialog->sizeHint(), whole);
        dialog->resize(size);
        QTRY_COMPARE(dialog->size(), size);
        auto* menu = Find<QTreeWidget>(*dialog, "izberi_menu");
        bool scrolls = false;
        for (int page = 0; page < menu->topLevelItemCount(); ++page) {
            menu->setCurrentItem(menu->topLevelItem(page));
            auto* scroll =
                dialog->findChild<QScrollArea*>(QStringLiteral("TabSheet%1Scroll").arg(page + 1));
            QVERIFY(scroll && scroll->isVisible());
            // The page's layout settles on posted requests.
            QTest::qWait(20);
            scrolls = scrolls || scroll->verticalScrollBar()->maximum() > 0 ||
                      scroll->horizontalScrollBar()->maximum() > 0;
            const QString faults = LayoutFaults(*dialog);
            QVERIFY2(faults.isEmpty(), qPrintable(faults));
        }
        QCOMPARE(scrolls, !whole);
    }

    // The font and colour buttons store their parameters at once, also when
    // the dialog is then cancelled.
    void immediateButtons()
    {
        Open("FONT_NAME=Tahoma\r\nFONT_SIZE=9\r\nFONT_STYLE=BU\r\nFONT_COLOR=255\r\n"
             "TI_TRANSPARENT=0\r\nPISAVA_VELIKOST=8\r\n");
        QFont offered;
        QColor colourOffered;
        QList<std::optional<QFont>> fonts;
        QList<std::optional<QColor>> colours;
        dialog->SetFontChooser([&](QFont initial) -> QCoro::Task<std::optional<QFont>> {
            offered = initial;
            co_return fonts.takeFirst();
        });
        dialog->SetColorChooser([&](QColor initial) -> QCoro::Task<std::optional<QColor>> {
            colourOffered = initial;
            co_return colours.takeFirst();
        });
        QFont boldItalic(QStringLiteral("DejaVu Sans"), 11);
        boldItalic.setBold(true);
        boldItalic.setItalic(true);
        fonts = {boldItalic};
        colours = {QColor(0x12, 0x34, 0x56)};
        Find<QPushButton>(*dialog, "btn_font")->click();
        QCOMPARE(offered.family(), QStringLiteral("Tahoma"));
        QCOMPARE(offered.pointSize(), 9);
        QVERIFY(offered.bold() && offered.underline() && !offered.italic());
        QCOMPARE(colourOffered, QColor(255, 0, 0));
        QCOMPARE(Parameter("FONT_NAME"), QStringLiteral("DejaVu Sans"));
        QCOMPARE(Parameter("FONT_SIZE"), QStringLiteral("11"));
        QCOMPARE(Parameter("FONT_STYLE"), QStringLiteral("XBI"));
        QCOMPARE(Parameter("FONT_COLOR"), QString::number(0x563412));

        fonts = {QFont(QStringLiteral("DejaVu Sans"), 9)};
        colours = {std::nullopt};
        Find<QPushButton>(*dialog, "btn_font")->click();
        QCOMPARE(Parameter("FONT_STYLE"), QStringLiteral("X"));
        QCOMPARE(Parameter("FONT_COLOR"), QString::number(0x563412));

        colours = {QColor(0xC0, 0xC0, 0xC1)};
        Find<QPushButton>(*dialog, "btn_font_bg_color")->click();
        QCOMPARE(Parameter("FONT_BG_COLOR"), QString::number(0xC1C0C0));

        QFont larger;
        larger.setPointSize(12);
        fonts = {larger};
        Find<QPushButton>(*dialog, "BitBtn1")->click();
        QCOMPARE(offered.pointSize(), 8);
        QCOMPARE(Parameter("PISAVA_VELIKOST"), QStringLiteral("12"));

        fonts = {std::nullopt};
        Find<QPushButton>(*dialog, "BitBtn1")->click();
        QCOMPARE(Parameter("PISAVA_VELIKOST"), QStringLiteral("12"));

        Find<QPushButton>(*dialog, "btn_prekini")->click();
        CreateParameters();
        QCOMPARE(Parameter("FONT_STYLE"), QStringLiteral("X"));
        QCOMPARE(Parameter("PISAVA_VELIKOST"), QStringLiteral("12"));
    }

    // The log-on entry follows the box: written with the program and
    // "/startup", removed again.
    void startAtLogon()
    {
        Open("NE_AVTOMATSKI_ZAGON=1\r\n");
        Find<QCheckBox>(*dialog, "cb_ne_avtomatski_zagon")->setChecked(true);
        Confirm();
        QCOMPARE(Logical("NE_AVTOMATSKI_ZAGON"), false);
        const QString entryPath = xdg.filePath(QStringLiteral("autostart/nimbulon.desktop"));
        QCOMPARE(StartAtLogonEntryPath(), entryPath);
        QFile entry(entryPath);
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(entry.readAll()).split(QLatin1Char('\n'));
        QVERIFY(lines.contains(QStringLiteral("[Desktop Entry]")));
        QVERIFY(lines.contains(QStringLiteral("Type=Application")));
        QVERIFY(lines.contains(QStringLiteral("Name=Nimbulon")));
        const QString exec = lines.filter(QStringLiteral("Exec=")).value(0);
        QVERIFY2(exec.endsWith(QStringLiteral(" /startup")), qPrintable(exec));
        QVERIFY2(exec.contains(QCoreApplication::applicationFilePath()), qPrintable(exec));
        // The test's own data folder goes with it.
        QVERIFY2(exec.startsWith(QStringLiteral("Exec=env NIMBULON_HOME=")), qPrintable(exec));

        dialog.reset();
        dialog = std::make_unique<Tform_parametri>();
        dialog->show();
        QVERIFY(Find<QCheckBox>(*dialog, "cb_ne_avtomatski_zagon")->isChecked());
        Find<QCheckBox>(*dialog, "cb_ne_avtomatski_zagon")->setChecked(false);
        Confirm();
        QVERIFY(!QFile::exists(entryPath));
        QCOMPARE(Logical("NE_AVTOMATSKI_ZAGON"), true);
    }

    // Paths that need quoting are quoted as desktop entries want them.
    void startAtLogonQuoting()
    {
        TTestHome plain;
        qputenv("NIMBULON_HOME", "/tmp/Moj dom/$x");
        const QString command = StartAtLogonCommand();
        qputenv("NIMBULON_HOME", plain.Path().toUtf8());
        QVERIFY2(command.startsWith(QStringLiteral("env \"NIMBULON_HOME=/tmp/Moj dom/\\\\$x/\" ")),
                 qPrintable(command));
    }

    // The entry names the program by its command name when PATH finds this
    // very program, so that it survives upgrades of an installed package.
    void startAtLogonCommandName_data()
    {
        QTest::addColumn<bool>("ownFolderOnPath");
        QTest::addColumn<bool>("otherFirst");
        QTest::addColumn<bool>("byName");
        QTest::newRow("on PATH") << true << false << true;
        QTest::newRow("not on PATH") << false << false << false;
        // Another program of the same name comes first on PATH.
        QTest::newRow("shadowed") << true << true << false;
    }

    void startAtLogonCommandName()
    {
        QFETCH(bool, ownFolderOnPath);
        QFETCH(bool, otherFirst);
        QFETCH(bool, byName);
        const QFileInfo own(QCoreApplication::applicationFilePath());
        QTemporaryDir other;
        QFile impostor(other.filePath(own.fileName()));
        QVERIFY(impostor.open(QIODevice::WriteOnly));
        impostor.write("#!/bin/sh\n");
        impostor.close();
        impostor.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                QFileDevice::ExeOwner);
        QStringList folders{QStringLiteral("/usr/bin"), QStringLiteral("/bin")};
        if (ownFolderOnPath)
            folders.prepend(own.absolutePath());
        if (otherFirst)
            folders.prepend(other.path());
        const QByteArray savedPath = qgetenv("PATH");
        qputenv("PATH", folders.join(QLatin1Char(':')).toUtf8());
        const QString command = StartAtLogonCommand();
        qputenv("PATH", savedPath);
        const QString program = byName ? own.fileName() : own.filePath();
        QVERIFY2((QLatin1Char(' ') + command)
                     .endsWith(QLatin1Char(' ') + program + QStringLiteral(" /startup")),
                 qPrintable(command));
    }

    // "Osveži seznam krajev" refills the lists from a new catalogue, and
    // keeps them when there is none.
    void refreshPlaces()
    {
        Open("KRAJ_OPAZOVALNE=Celje\r\n");
        std::optional<Tform_parametri::TPlaceLists> next;
        int asked = 0;
        dialog->SetCatalogueRefresh(
            [&]() -> QCoro::Task<std::optional<Tform_parametri::TPlaceLists>> {
                ++asked;
                co_return next;
            });
        auto* observation = Find<QComboBox>(*dialog, "cb_moj_kraj_opazovalne");
        auto* button = Find<QPushButton>(*dialog, "btnOsveziKraje");
        button->click();
        QCOMPARE(asked, 1);
        QCOMPARE(observation->count(), 3);
        QCOMPARE(observation->currentText(), QStringLiteral("Celje"));

        next = Tform_parametri::TPlaceLists{{"Bovec"}, {"Bled", "Celje", "Velenje"}, {"Krtina"}};
        button->click();
        QCOMPARE(observation->count(), 3);
        QCOMPARE(observation->itemText(0), QStringLiteral("Bled"));
        QCOMPARE(observation->currentText(), QStringLiteral("Celje"));
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QCOMPARE(presenter->Messages, QStringList());
    }
};

// The dialog from the main window: confirmation applies the settings once;
// the catalogue comes from the servers, and a failed download keeps it.
class TestSettingsFromWindow : public QObject
{
    Q_OBJECT

    TDemoDeployment demo;

private slots:
    void initTestCase() { QVERIFY2(demo.Start(), qPrintable(demo.Error())); }

    void confirmAppliesOnce()
    {
        TRecordingPresenter presenter;
        TMainFormFixture window(demo);
        TMainForm& form = window.NewForm();
        auto feeds = [&] {
            return demo.Server().Requests().filter(QStringLiteral("/podatki.xml")).size();
        };
        const qsizetype before = feeds();
        auto answer = [&](bool confirm) {
            form.findChild<QAction*>(QStringLiteral("actNastavitve"))->trigger();
            auto* dialog = form.findChild<Tform_parametri*>();
            QVERIFY(dialog && dialog->isVisible());
            // The lists come from the station tables, alphabetically.
            auto* list = dialog->findChild<QComboBox*>(QStringLiteral("cb_moj_kraj_opazovalne"));
            QVERIFY(list->count() > 10);
            QCOMPARE(list->itemText(0), QStringLiteral("Celje"));
            QCOMPARE(list->itemText(1), QStringLiteral("Črnomelj"));
            QCOMPARE(list->currentText(), QStringLiteral("Ljubljana"));
            dialog
                ->findChild<QPushButton*>(confirm ? QStringLiteral("btn_potrdi")
                                                  : QStringLiteral("btn_prekini"))
                ->click();
            QTRY_VERIFY(!form.findChild<Tform_parametri*>());
        };
        // Cancelled, nothing is applied; confirmed, one refresh follows.
        answer(false);
        answer(true);
        QTRY_COMPARE(feeds(), before + 1);
        QTRY_VERIFY(!form.findChild<TRefreshCycle*>()->Refreshing());
        QCOMPARE(feeds(), before + 1);
        QCOMPARE(presenter.Messages, QStringList());
    }

    void catalogueDownload()
    {
        TRecordingPresenter presenter;
        TMainFormFixture window(demo);
        TMainForm& form = window.NewForm();
        TTestHome& home = window.Home();
        const QByteArray catalogue = home.ReadFile(QStringLiteral("Postaje.xml"));
        QVERIFY(!catalogue.isEmpty());
        QCOMPARE(StationCatalogueUrl, demo.BaseUrl() + QStringLiteral("/Postaje.xml"));
        int observationPlaces = 0;
        int placesBefore = 0;
        auto press = [&] {
            form.findChild<QAction*>(QStringLiteral("actNastavitve"))->trigger();
            auto* dialog = form.findChild<Tform_parametri*>();
            QVERIFY(dialog);
            auto* list = dialog->findChild<QComboBox*>(QStringLiteral("cb_moj_kraj_opazovalne"));
            auto* button = dialog->findChild<QPushButton*>(QStringLiteral("btnOsveziKraje"));
            placesBefore = list->count();
            button->click();
            // The dialog waits for the download; the button is back when it is done.
            QVERIFY(!button->isEnabled());
            QTRY_VERIFY(button->isEnabled());
            observationPlaces = list->count();
            dialog->findChild<QPushButton*>(QStringLiteral("btn_prekini"))->click();
            QTRY_VERIFY(!form.findChild<Tform_parametri*>());
        };
        const qsizetype requests = demo.Server().Requests().size();
        press();
        QVERIFY(demo.Server().Requests().mid(requests).contains(
            QStringLiteral("GET /Postaje.xml 200")));
        // Read again, the catalogue adds no station twice.
        QVERIFY(observationPlaces > 10);
        QCOMPARE(observationPlaces, placesBefore);
        const int places = observationPlaces;
        QCOMPARE(home.ReadFile(QStringLiteral("Postaje.xml")), catalogue);

        // A catalogue that is gone keeps the file and the lists.
        StationCatalogueUrl = demo.BaseUrl() + QStringLiteral("/ni/Postaje.xml");
        press();
        QCOMPARE(observationPlaces, places);
        QCOMPARE(home.ReadFile(QStringLiteral("Postaje.xml")), catalogue);
        QVERIFY(!QFile::exists(home.Path(QStringLiteral("Postaje.xml.download"))));
        QCOMPARE(presenter.Messages, QStringList());
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TestSettingsDialog dialog;
    TestSettingsFromWindow window;
    return QTest::qExec(&dialog, argc, argv) | QTest::qExec(&window, argc, argv);
}

#include "tst_settingsdialog.moc"
