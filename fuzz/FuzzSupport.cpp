#include "FuzzSupport.h"

#include "common/DataPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <memory>

namespace fuzz {

namespace {
// Never destroyed: the fuzzer ends with exit(), and Qt's application object
// must not go in the middle of the static destructors.
QCoreApplication* application = nullptr;
std::unique_ptr<QTemporaryDir> home;
TQuietPresenter presenter;
} // namespace

void Initialize(int* argc, char*** argv, bool gui)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TZ", "Europe/Ljubljana"); // with a skipped and a repeated hour every year
    // Per-input logging would cost more than the work it describes.
    QLoggingCategory::setFilterRules(QStringLiteral("*=false"));
    if (gui)
        application = new QGuiApplication(*argc, *argv);
    else
        application = new QCoreApplication(*argc, *argv);
    home = std::make_unique<QTemporaryDir>();
    if (!home->isValid()) {
        std::fprintf(stderr, "No temporary folder for the fuzz target\n");
        std::abort();
    }
    qputenv("NIMBULON_HOME", QFile::encodeName(home->path()));
    // The guard's and the settings store's objects stay in there, too.
    const QString runtime = home->filePath(QStringLiteral("run"));
    QDir().mkdir(runtime);
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    pas_lib::InitializePaths();
    pas_lib::RecomputePaths();
    pas_lib::SetMessagePresenter(&presenter);
    // The folder goes when the run ends normally.
    std::atexit([] {
        pas_lib::SetMessagePresenter(nullptr);
        home.reset();
    });
}

QString Home()
{
    return home->path() + QLatin1Char('/');
}

void WriteHomeFile(const QString& name, const QByteArray& bytes)
{
    QFile file(Home() + name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        Fail("cannot write a file of the data folder", name);
}

QByteArray ReadHomeFile(const QString& name)
{
    QFile file(Home() + name);
    return file.open(QIODevice::ReadOnly | QIODevice::Unbuffered) ? file.readAll() : QByteArray();
}

QCoro::Task<pas_lib::TMessageAnswer> TQuietPresenter::Present(pas_lib::TMessageKind kind,
                                                              QString text)
{
    ++Count;
    Last = text;
    if (kind != pas_lib::TMessageKind::Question)
        co_return pas_lib::TMessageAnswer::Ok;
    co_return AnswerYes ? pas_lib::TMessageAnswer::Yes : pas_lib::TMessageAnswer::No;
}

TQuietPresenter& Presenter()
{
    return presenter;
}

void Fail(const char* what, const QString& detail)
{
    std::fprintf(stderr, "Property failed: %s\n%s\n", what, detail.toUtf8().constData());
    std::abort();
}

} // namespace fuzz
