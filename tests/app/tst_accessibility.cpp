#include "DesktopSession.h"
#include "LoopbackServers.h"
#include "ProgramProcess.h"
#include "TestHome.h"
#include "views/ViewTable.h"

#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <memory>

namespace {

const QString Python = QStringLiteral("/usr/bin/python3");
const QString Script = QStringLiteral(NIMBULON_TEST_DATA "/a11y-tree.py");
const QString MenuName = QStringLiteral("Meni pogledov");
const QString Entry = QStringLiteral("list item");
// Qt's bridge gives a read-only text pane the role of static text.
const QString TextPane = QStringLiteral("label");

// Roles a user works with; anything focusable counts as well.
const QStringList InteractiveRoles{QStringLiteral("push button"),   QStringLiteral("toggle button"),
                                   QStringLiteral("check box"),     QStringLiteral("radio button"),
                                   QStringLiteral("combo box"),     QStringLiteral("table"),
                                   QStringLiteral("tree table"),    QStringLiteral("tree"),
                                   QStringLiteral("list"),          QStringLiteral("list item"),
                                   QStringLiteral("menu item"),     QStringLiteral("page tab"),
                                   QStringLiteral("text"),          QStringLiteral("entry"),
                                   QStringLiteral("password text"), QStringLiteral("spin button"),
                                   QStringLiteral("slider"),        QStringLiteral("link")};

// One object of the tree as the script prints it.
struct TNode
{
    int depth = 0;
    QString role;
    QString name;
    QStringList states;
    QStringList actions;

    bool Showing() const { return states.contains(QStringLiteral("showing")); }
    bool Interactive() const
    {
        return InteractiveRoles.contains(role) || states.contains(QStringLiteral("focusable"));
    }
    QString Line() const { return role + QStringLiteral(" \"") + name + QLatin1Char('"'); }
};

} // namespace

// The real program as a screen reader meets it: Qt's accessibility bridge on
// the AT-SPI bus of a private session bus, read with pyatspi, on a desktop
// without a notification area (so the window shows at once). The functions
// run in order on one program: the default view, then the menu.
class TestAccessibility : public QObject
{
    Q_OBJECT

    TDesktopSession desktop;
    QTemporaryDir folder;
    QProcess bus;
    QProcess launcher;
    QString address;
    std::unique_ptr<TTestHome> home;
    std::unique_ptr<TProgramProcess> program;

    QProcessEnvironment BusEnvironment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
        env.insert(QStringLiteral("DISPLAY"), desktop.Display());
        env.remove(QStringLiteral("AT_SPI_BUS_ADDRESS"));
        return env;
    }

    // Runs the script; its output, with its exit code in exitCode.
    QString Tree(const QStringList& arguments, int& exitCode) const
    {
        QProcess script;
        script.setProcessEnvironment(BusEnvironment());
        script.setProcessChannelMode(QProcess::MergedChannels);
        script.start(Python, QStringList{Script, QString::number(program->Process().processId())} +
                                 arguments);
        if (!script.waitForFinished(60000)) {
            script.kill();
            script.waitForFinished();
            exitCode = -1;
            return QStringLiteral("the script did not end");
        }
        exitCode = script.exitStatus() == QProcess::NormalExit ? script.exitCode() : -1;
        return QString::fromUtf8(script.readAll());
    }

    QList<TNode> List(QString* text = nullptr) const
    {
        int exitCode = 0;
        const QString output = Tree({QStringLiteral("list")}, exitCode);
        if (text)
            *text = output;
        QList<TNode> nodes;
        if (exitCode != 0)
            return nodes;
        for (const QString& line : output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            qsizetype indent = 0;
            while (indent < line.size() && line[indent] == QLatin1Char(' '))
                ++indent;
            const QStringList fields = line.mid(indent).split(QLatin1Char('\t'));
            if (fields.size() < 4)
                continue;
            TNode node;
            node.depth = int(indent / 2);
            node.role = fields[0];
            node.name = fields[1];
            node.states = fields[2].split(QLatin1Char(','), Qt::SkipEmptyParts);
            node.actions = fields[3].split(QLatin1Char(','), Qt::SkipEmptyParts);
            nodes.append(node);
        }
        return nodes;
    }

    bool Do(const QString& role, const QString& name, const QString& action) const
    {
        int exitCode = 0;
        const QString output = Tree({QStringLiteral("do"), role, name, action}, exitCode).trimmed();
        if (exitCode != 0)
            qWarning("%s", qPrintable(output));
        return exitCode == 0;
    }

    // The menu's entries: the list items under the list of that name.
    static QList<TNode> MenuEntries(const QList<TNode>& nodes)
    {
        QList<TNode> entries;
        for (qsizetype i = 0; i < nodes.size(); ++i) {
            if (nodes[i].role != QLatin1String("list") || nodes[i].name != MenuName)
                continue;
            for (qsizetype k = i + 1; k < nodes.size() && nodes[k].depth > nodes[i].depth; ++k)
                if (nodes[k].depth == nodes[i].depth + 1)
                    entries.append(nodes[k]);
        }
        return entries;
    }

    static const TNode* Find(const QList<TNode>& nodes, const QString& role, const QString& name)
    {
        for (const TNode& node : nodes)
            if (node.role == role && node.name == name)
                return &node;
        return nullptr;
    }

    // Every interactive control that shows has a name; the listing of those
    // without one, else an empty string.
    static QString UnnamedShowing(const QList<TNode>& nodes, int& named)
    {
        QString unnamed;
        named = 0;
        for (const TNode& node : nodes) {
            if (!node.Showing() || !node.Interactive())
                continue;
            if (node.name.trimmed().isEmpty())
                unnamed += node.Line() + QLatin1Char('\n');
            else
                ++named;
        }
        return unnamed;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(folder.isValid());
        QVERIFY2(desktop.Start(false), qPrintable(desktop.Error()));
        bus.start(
            QStringLiteral("dbus-daemon"),
            {QStringLiteral("--session"), QStringLiteral("--nofork"),
             QStringLiteral("--print-address"),
             QStringLiteral("--address=unix:path=") + folder.filePath(QStringLiteral("bus"))});
        QVERIFY(bus.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(bus.canReadLine() || bus.waitForReadyRead(100), 10000);
        address = QString::fromUtf8(bus.readLine()).trimmed();
        QVERIFY(!address.isEmpty());

        // The accessibility bus and its registry, as a desktop session starts them.
        launcher.setProcessEnvironment(BusEnvironment());
        launcher.setProcessChannelMode(QProcess::MergedChannels);
        launcher.start(QStringLiteral("/usr/libexec/at-spi-bus-launcher"),
                       {QStringLiteral("--launch-immediately")});
        QVERIFY2(launcher.waitForStarted(), qPrintable(launcher.errorString()));
        auto busUp = [this] {
            QProcess ask;
            ask.setProcessEnvironment(BusEnvironment());
            ask.start(QStringLiteral("dbus-send"),
                      {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                       QStringLiteral("--dest=org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                       QStringLiteral("org.a11y.Bus.GetAddress")});
            return ask.waitForFinished(5000) && ask.exitCode() == 0 &&
                   ask.readAllStandardOutput().contains("unix:");
        };
        QTRY_VERIFY2_WITH_TIMEOUT(busUp(), qPrintable(QString::fromLocal8Bit(launcher.readAll())),
                                  20000);

        home = std::make_unique<TTestHome>();
        const QByteArray closed =
            "http://127.0.0.1:" + QByteArray::number(FreeLoopbackPort()) + "/x";
        QByteArray switches;
        for (const char* name :
             {"AMATERSKE_POSTAJE", "SLIKA_PADAVINE", "SATELITSKA_SLIKA", "VREMENSKA_NAPOVED",
              "NAPOVED_V_SLIKI", "NAPOVED_BIO", "NAPOVED_JULIJCI", "NAPOVED_LETALSTVO",
              "SNEZNA_ODEJA", "GRAF_TEMPERATURE", "ANIMACIJE", "NAPOVED_EVROPA", "NAPOVED_PRIMORJE",
              "VODOSTAJI"})
            switches += QByteArray(name) + "=1\r\n";
        home->WriteFile(QStringLiteral("Config.ini"), "[URL]\r\nNASTAVITVE=" + closed +
                                                          "\r\nSTATICNENASTAVITVE=" + closed +
                                                          "\r\n[PARAMETRI]\r\n" + switches);

        QStringList environment = desktop.Environment();
        environment.removeIf(
            [](const QString& entry) { return entry.startsWith(QStringLiteral("DBUS_")); });
        environment << QStringLiteral("DBUS_SESSION_BUS_ADDRESS=") + address
                    << QStringLiteral("AT_SPI_BUS_ADDRESS=")
                    << QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1")
                    << QStringLiteral("QT_LOGGING_RULES=nimbulon.app.debug=true");
        program = std::make_unique<TProgramProcess>(QStringList(), environment);
        // Without a notification area the window shows by itself.
        QTRY_VERIFY2_WITH_TIMEOUT(
            !desktop.VisibleWindows(QStringLiteral("^Nimbulon$")).isEmpty() &&
                program->Output().contains(QStringLiteral("Start-up finished")),
            qPrintable(program->Output()), 60000);
    }

    void cleanup()
    {
        if (QTest::currentTestFailed())
            std::fprintf(stderr, "The program's log:\n%s\nThe accessibility bus:\n%s\n",
                         qPrintable(program ? program->Output() : QString()),
                         qPrintable(QString::fromLocal8Bit(launcher.readAll())));
    }

    void cleanupTestCase()
    {
        if (program && program->Process().state() == QProcess::Running) {
            ::kill(pid_t(program->Process().processId()), SIGTERM);
            program->Process().waitForFinished(30000);
        }
        program.reset();
        for (QProcess* process : {&launcher, &bus}) {
            process->terminate();
            if (!process->waitForFinished(5000)) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
    }

    // The default view: every control that shows has a name, the buttons
    // their hints, the station table its view.
    void controlsNamed()
    {
        QString text;
        QList<TNode> nodes;
        QTRY_VERIFY_WITH_TIMEOUT(!(nodes = List(&text)).isEmpty(), 30000);
        int named = 0;
        const QString unnamed = UnnamedShowing(nodes, named);
        QVERIFY2(unnamed.isEmpty(), qPrintable(QStringLiteral("Without a name:\n") + unnamed +
                                               QStringLiteral("\nThe tree:\n") + text));
        qInfo("%d interactive controls show, all named", named);
        for (const QString& hint :
             {QStringLiteral("Nimbulonova spletna stran"), QStringLiteral("Vizitka"),
              QStringLiteral("Vreme na svetovnem spletu (Google)"),
              QStringLiteral("Nastavitve programa"), QStringLiteral("Osvežitev podatkov"),
              QStringLiteral("Animacija slike..."), QStringLiteral("Izhod iz programa")}) {
            const TNode* button = Find(nodes, QStringLiteral("push button"), hint);
            QVERIFY2(button && button->Showing(), qPrintable(hint + QLatin1Char('\n') + text));
        }
        const TNode* table = Find(nodes, QStringLiteral("table"), Views().at(0).caption);
        QVERIFY2(table && table->Showing(), qPrintable(text));
    }

    // The folded channel's menu is a list of the switched-on views, each
    // with its name and a press that opens its view.
    void menuEntries()
    {
        QString text;
        const QList<TNode> nodes = List(&text);
        const QList<TNode> entries = MenuEntries(nodes);
        QCOMPARE(entries.size(), Views().size());
        for (qsizetype i = 0; i < entries.size(); ++i) {
            QCOMPARE(entries[i].role, Entry);
            QCOMPARE(entries[i].name, Views().at(i).caption);
            QVERIFY2(entries[i].actions.contains(QStringLiteral("Press")), qPrintable(text));
            QVERIFY(!entries[i].Showing());
        }
        QVERIFY(entries[0].states.contains(QStringLiteral("selected")));

        const QString caption = QStringLiteral("Napoved v besedi");
        qsizetype index = 0;
        while (index < Views().size() && Views().at(index).caption != caption)
            ++index;
        QVERIFY(index < entries.size());
        QVERIFY(Do(Entry, caption, QStringLiteral("Press")));
        QList<TNode> after;
        const TNode* pane = nullptr;
        QTRY_VERIFY2_WITH_TIMEOUT((pane = Find(after = List(&text), TextPane, caption)) &&
                                      pane->Showing(),
                                  qPrintable(text), 10000);
        const QList<TNode> afterEntries = MenuEntries(after);
        QCOMPARE(afterEntries.size(), entries.size());
        QVERIFY(afterEntries[index].states.contains(QStringLiteral("selected")));
        QVERIFY(!afterEntries[0].states.contains(QStringLiteral("selected")));
        const TNode* table = Find(after, QStringLiteral("table"), Views().at(0).caption);
        QVERIFY2(table && !table->Showing(), qPrintable(text));
    }

    // Focusing an entry from outside opens the channel; then too every
    // control that shows has a name.
    void focusOpensTheChannel()
    {
        const QString last = Views().last().caption;
        QVERIFY(Do(Entry, last, QStringLiteral("SetFocus")));
        QString text;
        QList<TNode> nodes;
        const TNode* entry = nullptr;
        QTRY_VERIFY2_WITH_TIMEOUT((entry = Find(nodes = List(&text), Entry, last)) &&
                                      entry->Showing() &&
                                      entry->states.contains(QStringLiteral("focused")),
                                  qPrintable(text), 10000);
        const TNode* pin = Find(nodes, QStringLiteral("check box"), QStringLiteral("Pripni"));
        QVERIFY2(pin && pin->Showing(), qPrintable(text));
        int named = 0;
        const QString unnamed = UnnamedShowing(nodes, named);
        QVERIFY2(unnamed.isEmpty(), qPrintable(QStringLiteral("Without a name:\n") + unnamed +
                                               QStringLiteral("\nThe tree:\n") + text));
        qInfo("%d interactive controls show with the channel open, all named", named);
    }
};

QTEST_GUILESS_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
