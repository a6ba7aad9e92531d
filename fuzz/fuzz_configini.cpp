// Config.ini as any file may hold it: the parameter store reads it, every
// parameter reads as its type, and values set are read back by a new store as
// they were written, or are refused (a message, and the file unchanged). Then
// one raw entry through the profile-file writer and reader.

#include "FuzzSupport.h"
#include "common/DataPaths.h"
#include "settings/ProfileFile.h"
#include "settings/Tparameter.h"

#include <QHash>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

QHash<QString, QVariant> defaults;

QString Text(FuzzedDataProvider& provider, size_t maxLength)
{
    return QString::fromStdString(provider.ConsumeRandomLengthString(maxLength));
}

bool HasLineBreakOrNul(const QString& text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')) ||
           text.contains(QChar(0));
}

// What the reader gives back for a raw value: blanks around and one pair of
// enclosing quotes dropped.
QString ReadBack(const QString& value)
{
    QString text = value.trimmed();
    if (text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"')))
        text = text.mid(1, text.size() - 2);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::Initialize(argc, argv, false);
    CreateParameters(); // no file: the defaults
    for (const QString& name : parametri->Names())
        defaults.insert(name, parametri->Get(name));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    FuzzedDataProvider provider(bytes, size);
    const std::string file = provider.ConsumeRandomLengthString(4096);
    fuzz::WriteHomeFile(QStringLiteral("Config.ini"), QByteArray::fromStdString(file));
    fuzz::TQuietPresenter& presenter = fuzz::Presenter();
    presenter.Count = 0;

    CreateParameters();
    const QStringList names = parametri->Names();
    for (const QString& name : names) {
        const QVariant value = parametri->Get(name);
        switch (parametri->TypeOf(name)) {
        case 'C':
            FUZZ_CHECK(value.typeId() == QMetaType::QString, name);
            break;
        case 'I':
            FUZZ_CHECK(value.typeId() == QMetaType::Int, name);
            break;
        case 'L':
            FUZZ_CHECK(value.typeId() == QMetaType::Bool, name);
            break;
        default:
            fuzz::Fail("unexpected type letter", name);
        }
    }
    FUZZ_CHECK(presenter.Count == 0, presenter.Last);

    // Values set, each checked against what a store holding its written text
    // gives; the last one of a name counts.
    QHash<QString, QVariant> expected;
    const int sets = provider.ConsumeIntegralInRange(0, 4);
    for (int set = 0; set < sets; ++set) {
        const QString name =
            names.at(provider.ConsumeIntegralInRange<int>(0, int(names.size()) - 1));
        const QString value = Text(provider, 300);
        const bool refused = HasLineBreakOrNul(value);
        const QByteArray before =
            refused ? fuzz::ReadHomeFile(QStringLiteral("Config.ini")) : QByteArray();
        const int messages = presenter.Count;
        parametri->Set(name, value);
        const char type = parametri->TypeOf(name);
        FUZZ_CHECK(refused == (presenter.Count > messages), value);
        if (refused) {
            FUZZ_CHECK(fuzz::ReadHomeFile(QStringLiteral("Config.ini")) == before, value);
            continue;
        }
        const QString written = Tparameter::TextForm(type, value);
        if (written.isEmpty()) {
            // A present but empty key is repaired with the default.
            expected.insert(name, defaults.value(name));
            continue;
        }
        Tparameter oracle;
        oracle.Define(name, type, written);
        expected.insert(name, oracle.Get(name));
    }
    if (!expected.isEmpty()) {
        CreateParameters();
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            FUZZ_CHECK(parametri->Get(it.key()) == it.value(),
                       it.key() + QStringLiteral(": ") + parametri->Get(it.key()).toString() +
                           QStringLiteral(" / ") + it.value().toString());
    }

    // One raw entry: written and read back, or refused with the file unchanged.
    const QString section = Text(provider, 20);
    const QString key = Text(provider, 20);
    const QString value = Text(provider, 200);
    const QByteArray before = fuzz::ReadHomeFile(QStringLiteral("Config.ini"));
    if (pas_lib::IsWritableProfileEntry(section, key, value)) {
        FUZZ_CHECK(pas_lib::WriteProfileString(pas_lib::ConfigIniPath, section, key, value), key);
        const auto back = pas_lib::ReadProfileString(pas_lib::ConfigIniPath, section, key);
        FUZZ_CHECK(back && *back == ReadBack(value),
                   section + QLatin1Char('/') + key + QStringLiteral(": ") +
                       back.value_or(QString()) + QStringLiteral(" / ") + ReadBack(value));
    } else {
        FUZZ_CHECK(!pas_lib::WriteProfileString(pas_lib::ConfigIniPath, section, key, value), key);
        FUZZ_CHECK(fuzz::ReadHomeFile(QStringLiteral("Config.ini")) == before, key);
    }
    return 0;
}
