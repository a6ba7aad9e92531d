// nimbulon-feedbuilder: one run, as a systemd timer starts it every ten
// minutes. Its exit code and one line on standard error say what was built.

#include "FeedBuilder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("nimbulon-feedbuilder"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Builds the weather deployment from ARSO's open data (Vir: ARSO)."));
    parser.addHelpOption();
    const QCommandLineOption output(QStringLiteral("output"),
                                    QStringLiteral("The deployment link nginx serves."),
                                    QStringLiteral("link"));
    const QCommandLineOption state(QStringLiteral("state"),
                                   QStringLiteral("The builder's own folder."),
                                   QStringLiteral("folder"));
    const QCommandLineOption address(QStringLiteral("address"),
                                     QStringLiteral("Where the deployment is served."),
                                     QStringLiteral("url"));
    const QCommandLineOption from(QStringLiteral("from"),
                                  QStringLiteral("Read ARSO's files from a folder."),
                                  QStringLiteral("folder"));
    const QCommandLineOption source(QStringLiteral("source"),
                                    QStringLiteral("ARSO's meteorological address."),
                                    QStringLiteral("url"));
    const QCommandLineOption waterSource(QStringLiteral("water-source"),
                                         QStringLiteral("ARSO's hydrological address."),
                                         QStringLiteral("url"));
    const QCommandLineOption chart(QStringLiteral("chart-database"),
                                   QStringLiteral("The chart server's database."),
                                   QStringLiteral("file"));
    const QCommandLineOption history(QStringLiteral("history"),
                                     QStringLiteral("A station history file for the chart."),
                                     QStringLiteral("file"));
    parser.addOptions({output, state, address, from, source, waterSource, chart, history});
    parser.process(application);
    if (!parser.isSet(output) || !parser.isSet(state) || !parser.isSet(address)) {
        std::fputs("nimbulon-feedbuilder: --output, --state and --address are required\n", stderr);
        return 2;
    }
    TBuilderOptions options;
    options.output = parser.value(output);
    options.state = parser.value(state);
    options.publicAddress = parser.value(address);
    options.from = parser.value(from);
    if (parser.isSet(source))
        options.base = parser.value(source);
    if (parser.isSet(waterSource))
        options.waterBase = parser.value(waterSource);
    options.chartDatabase = parser.value(chart);
    options.histories = parser.values(history);

    int exitCode = 2;
    QTimer::singleShot(0, [&] {
        [](TBuilderOptions run, int& code) -> QCoro::Task<> {
            const TBuildResult result = co_await BuildDeployment(std::move(run));
            std::fprintf(stderr, "nimbulon-feedbuilder: %s\n", qPrintable(result.logLine));
            code = result.exitCode;
            QCoreApplication::quit();
        }(options, exitCode);
    });
    QCoreApplication::exec();
    return exitCode;
}
