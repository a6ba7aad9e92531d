#include "settings/Tparameter.h"

#include "common/DataPaths.h"
#include "common/FixedFormat.h"
#include "common/Messages.h"
#include "settings/ProfileFile.h"

#include <QLocale>
#include <algorithm>

Tparameter* parametri = nullptr;

namespace {

constexpr qsizetype maxNameLength = 40;
constexpr qsizetype maxTextLength = 150;
const QString sectionParameters = QStringLiteral("PARAMETRI");

QString ValueText(const ParameterValue& value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    if (value.typeId() == QMetaType::Double)
        return pas_lib::FormatFeedNumber(value.toDouble());
    return value.toString();
}

bool IsEmpty(const ParameterValue& value)
{
    return !value.isValid() || value.isNull() || ValueText(value).isEmpty();
}

std::optional<double> ReadNumber(const ParameterValue& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? -1.0 : 0.0;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double:
        return value.toDouble();
    case QMetaType::QDateTime:
        return pas_lib::DateTimeToDays(value.toDateTime());
    default:
        return pas_lib::ParseFeedNumber(value.toString());
    }
}

bool ReadLogical(const ParameterValue& value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    const QString text = value.toString().trimmed();
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    const auto number = ReadNumber(value);
    return number && *number != 0.0;
}

int ReadInteger(const ParameterValue& value)
{
    if (value.typeId() == QMetaType::Int)
        return value.toInt();
    bool ok = false;
    const int number = value.toString().trimmed().toInt(&ok, 10);
    return ok ? number : 0;
}

QString Quoted(const QString& text)
{
    if (text == QLatin1String("null"))
        return text;
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

} // namespace

QString Tparameter::TextForm(char typeLetter, const ParameterValue& value)
{
    switch (typeLetter) {
    case 'L':
        return !IsEmpty(value) && ReadLogical(value) ? QStringLiteral("1") : QStringLiteral("0");
    case 'D': {
        const auto days = IsEmpty(value) ? std::nullopt : ReadNumber(value);
        const QString text =
            days ? QLocale::system()
                       .toString(pas_lib::DaysToDateTime(*days).date(), QLocale::ShortFormat)
                       .trimmed()
                 : QString();
        return text.isEmpty() ? QStringLiteral("0") : text;
    }
    default: {
        if (IsEmpty(value))
            return QString();
        QString text = ValueText(value);
        if (text.size() > maxTextLength)
            // Never half of a character that takes two UTF-16 units.
            text.truncate(text.at(maxTextLength - 1).isHighSurrogate() ? maxTextLength - 1
                                                                       : maxTextLength);
        return text;
    }
    }
}

void Tparameter::Define(const QString& name, char typeLetter, const ParameterValue& defaultValue)
{
    if (name.size() > maxNameLength)
        pas_lib::ShowMessage(name + QStringLiteral("\n") + QStringLiteral("Predolg naziv!!!"));
    trec_parameter entry;
    entry.TypeLetter = char(QChar::toUpper(char16_t(typeLetter)));
    entry.Value = defaultValue;
    QMutexLocker locker(&FLock);
    FList.append({name.toUpper(), entry});
}

const trec_parameter* Tparameter::Find(const QString& upperName) const
{
    for (const auto& [name, entry] : FList)
        if (name == upperName)
            return &entry;
    return nullptr;
}

ParameterValue Tparameter::Get(const QString& name) const
{
    const QString upperName = name.toUpper();
    trec_parameter entry;
    {
        QMutexLocker locker(&FLock);
        const trec_parameter* found = Find(upperName);
        if (found)
            entry = *found;
        else
            entry.TypeLetter = 0;
    }
    if (entry.TypeLetter == 0) {
        pas_lib::ShowMessage(QStringLiteral("Nepoznan parameter: ") + upperName);
        return QString();
    }
    const bool empty = IsEmpty(entry.Value);
    switch (entry.TypeLetter) {
    case 'C':
        return empty ? QString() : ValueText(entry.Value);
    case 'I':
        return empty ? 0 : ReadInteger(entry.Value);
    case 'L':
        return empty ? false : ReadLogical(entry.Value);
    case 'R':
    case 'D':
        return empty ? 0.0 : ReadNumber(entry.Value).value_or(0.0);
    default:
        return QString();
    }
}

void Tparameter::Set(const QString& name, const ParameterValue& value)
{
    const QString upperName = name.toUpper();
    QString text;
    {
        QMutexLocker locker(&FLock);
        auto it = std::find_if(FList.begin(), FList.end(),
                               [&](const auto& pair) { return pair.first == upperName; });
        if (it == FList.end()) {
            locker.unlock();
            pas_lib::ShowMessage(QStringLiteral("Nepoznan parameter: ") + upperName);
            return;
        }
        // Config.ini holds one value per line: a line break (or NUL) could never
        // be read back, and would start lines of its own.
        text = TextForm(it->second.TypeLetter, value);
        if (!pas_lib::IsWritableProfileEntry(sectionParameters, upperName, ValueText(value)) ||
            !pas_lib::IsWritableProfileEntry(sectionParameters, upperName, text)) {
            locker.unlock();
            pas_lib::ShowMessage(QStringLiteral("Vrednost parametra ") + upperName +
                                     QStringLiteral(" vsebuje prelom vrstice in ni shranjena."),
                                 pas_lib::TMessageKind::Warning);
            return;
        }
        it->second.Value = value;
    }
    ConfigIniValue(TIniMode::Write, upperName, Quoted(text), sectionParameters);
}

void Tparameter::LoadAll()
{
    QMutexLocker locker(&FLock);
    // One reading of the file for every parameter; a present but empty key is
    // repaired with the default, all of them in one writing.
    pas_lib::TProfileFile file(pas_lib::ConfigIniPath);
    for (auto& [name, entry] : FList) {
        const QString fallback = TextForm(entry.TypeLetter, entry.Value);
        const auto stored = file.Value(sectionParameters, name);
        QString text = stored.value_or(fallback);
        if (stored && stored->isEmpty() && !fallback.isEmpty()) {
            file.SetValue(sectionParameters, name, fallback);
            text = fallback;
        }
        text.replace(QLatin1String("\"\""), QLatin1String("\""));
        entry.Value = text;
    }
    file.Save();
}

void Tparameter::SaveAll()
{
    QList<std::pair<QString, QString>> lines;
    {
        QMutexLocker locker(&FLock);
        std::stable_sort(FList.begin(), FList.end(), [](const auto& a, const auto& b) {
            return a.first.compare(b.first, Qt::CaseInsensitive) < 0;
        });
        for (const auto& [name, entry] : FList)
            lines.append({name, Quoted(TextForm(entry.TypeLetter, entry.Value))});
    }
    // One reading and one writing of the file for every parameter.
    pas_lib::TProfileFile file(pas_lib::ConfigIniPath);
    for (const auto& [name, text] : lines)
        file.SetValue(sectionParameters, name, text);
    file.Save();
}

QStringList Tparameter::Names() const
{
    QMutexLocker locker(&FLock);
    QStringList names;
    for (const auto& pair : FList)
        names.append(pair.first);
    return names;
}

char Tparameter::TypeOf(const QString& name) const
{
    QMutexLocker locker(&FLock);
    const trec_parameter* entry = Find(name.toUpper());
    return entry ? entry->TypeLetter : 0;
}

QString ConfigIniValue(TIniMode mode, const QString& key, const QString& value,
                       const QString& section)
{
    const QString upperKey = key.toUpper();
    const QString upperSection = section.toUpper();
    if (mode == TIniMode::Write) {
        pas_lib::WriteProfileString(pas_lib::ConfigIniPath, upperSection, upperKey, value);
        return value;
    }
    const auto stored = pas_lib::ReadProfileString(pas_lib::ConfigIniPath, upperSection, upperKey);
    if (!stored)
        return value;
    if (stored->isEmpty() && !value.isEmpty()) {
        // A present but empty key is repaired with the value passed in.
        pas_lib::WriteProfileString(pas_lib::ConfigIniPath, upperSection, upperKey, value);
        return value;
    }
    return *stored;
}

namespace {

// A default value: a whole number, or a text when Text is set.
struct TParameterDefault
{
    constexpr TParameterDefault(int number) : Number(number) {}
    constexpr TParameterDefault(const char* text) : Text(text) {}
    int Number = 0;
    const char* Text = nullptr;
};

struct TParameterDefinition
{
    TParam Parameter;
    const char* Name;
    char TypeLetter;
    TParameterDefault Default;
};

// Every parameter with its type and default, in the order of TParam.
constexpr TParameterDefinition definitions[] = {
    {TParam::NE_AVTOMATSKI_ZAGON, "NE_AVTOMATSKI_ZAGON", 'L', 0},
    {TParam::MINIMIZE_ON_X, "MINIMIZE_ON_X", 'L', 1},
    {TParam::PREVERI_NOVO_VERZIJO, "PREVERI_NOVO_VERZIJO", 'L', 1},
    {TParam::INTERVAL_UPDATE, "INTERVAL_UPDATE", 'I', 20},
    {TParam::IZKLOPI_OBLACEK, "IZKLOPI_OBLACEK", 'L', 0},
    {TParam::INTERVAL_IKONA, "INTERVAL_IKONA", 'I', 3},
    {TParam::PRIKAZEM_IKONO, "PRIKAZEM_IKONO", 'I', 0},
    {TParam::PISAVA_VELIKOST, "PISAVA_VELIKOST", 'C', "8"},
    {TParam::FONT_NAME, "FONT_NAME", 'C', "MS Sans Serif"},
    {TParam::FONT_SIZE, "FONT_SIZE", 'C', "9"},
    {TParam::FONT_STYLE, "FONT_STYLE", 'C', "B"},
    {TParam::FONT_COLOR, "FONT_COLOR", 'I', 0},
    {TParam::FONT_BG_COLOR, "FONT_BG_COLOR", 'I', 12632256},
    {TParam::PODATKI_V_OBLACKU, "PODATKI_V_OBLACKU", 'C', "012"},
    {TParam::TI_ZNAK_STOPINJE, "TI_ZNAK_STOPINJE", 'L', 0},
    {TParam::TI_TRANSPARENT, "TI_TRANSPARENT", 'L', 1},
    {TParam::VI_TRANSPARENT, "VI_TRANSPARENT", 'L', 1},
    {TParam::KRAJ_AVTOMATSKE, "KRAJ_AVTOMATSKE", 'C', "Ljubljana"},
    {TParam::KRAJ_OPAZOVALNE, "KRAJ_OPAZOVALNE", 'C', "Ljubljana"},
    {TParam::KRAJ_AMATERSKE, "KRAJ_AMATERSKE", 'C', "Krtina"},
    {TParam::TIP_POSTAJE, "TIP_POSTAJE", 'I', 0},
    {TParam::VREME_OPAZOVALNE, "VREME_OPAZOVALNE", 'L', 1},
    {TParam::PROXY_SERVER, "PROXY_SERVER", 'C', ""},
    {TParam::PROXY_PORT, "PROXY_PORT", 'I', ""},
    {TParam::PROXY_USER, "PROXY_USER", 'C', ""},
    {TParam::PROXY_PWD, "PROXY_PWD", 'C', ""},
    // Entries of the navigation menu.
    {TParam::SLIKA_PADAVINE, "SLIKA_PADAVINE", 'L', 0},
    {TParam::VREMENSKA_NAPOVED, "VREMENSKA_NAPOVED", 'L', 1},
    {TParam::NAPOVED_V_SLIKI, "NAPOVED_V_SLIKI", 'L', 0},
    {TParam::GRAF_TEMPERATURE, "GRAF_TEMPERATURE", 'L', 1},
    {TParam::SATELITSKA_SLIKA, "SATELITSKA_SLIKA", 'L', 0},
    {TParam::NAPOVED_BIO, "NAPOVED_BIO", 'L', 1},
    {TParam::NAPOVED_JULIJCI, "NAPOVED_JULIJCI", 'L', 1},
    {TParam::NAPOVED_LETALSTVO, "NAPOVED_LETALSTVO", 'L', 0},
    {TParam::NAPOVED_VISINSKE, "NAPOVED_VISINSKE", 'L', 0},
    {TParam::SNEZNA_ODEJA, "SNEZNA_ODEJA", 'L', 0},
    {TParam::ANIMACIJE, "ANIMACIJE", 'L', 0},
    {TParam::NAPOVED_EVROPA, "NAPOVED_EVROPA", 'L', 0},
    {TParam::NAPOVED_PRIMORJE, "NAPOVED_PRIMORJE", 'L', 0},
    {TParam::VODOSTAJI, "VODOSTAJI", 'L', 0},
    {TParam::AMATERSKE_POSTAJE, "AMATERSKE_POSTAJE", 'L', 1},
    {TParam::CAPTION_WRITER, "CAPTION_WRITER", 'L', 0},
    // Sort column and sort order of each station table.
    {TParam::SORT_INDEX_OPAZ, "SORT_INDEX_OPAZ", 'I', 0},
    {TParam::SORT_INDEX_AVTO, "SORT_INDEX_AVTO", 'I', 0},
    {TParam::SORT_INDEX_AMAT, "SORT_INDEX_AMAT", 'I', 0},
    {TParam::SORT_INDEX_SN_ODEJA, "SORT_INDEX_SN_ODEJA", 'I', 0},
    {TParam::SORT_INDEX_EU, "SORT_INDEX_EU", 'I', 0},
    {TParam::SORT_INDEX_VODOST, "SORT_INDEX_VODOST", 'I', 0},
    {TParam::SORT_OPAZ, "SORT_OPAZ", 'I', 0},
    {TParam::SORT_AVTO, "SORT_AVTO", 'I', 0},
    {TParam::SORT_AMAT, "SORT_AMAT", 'I', 0},
    {TParam::SORT_SN_ODEJA, "SORT_SN_ODEJA", 'I', 0},
    {TParam::SORT_EU, "SORT_EU", 'I', 0},
    {TParam::SORT_VODOST, "SORT_VODOST", 'I', 0},
    {TParam::DOWNLOAD_API, "DOWNLOAD_API", 'L', 0},
};

constexpr bool InEnumOrder()
{
    for (int i = 0; i < ParameterCount; ++i)
        if (definitions[i].Parameter != TParam(i))
            return false;
    return true;
}
static_assert(std::size(definitions) == size_t(ParameterCount) && InEnumOrder());

ParameterValue DefaultValue(const TParameterDefault& value)
{
    if (!value.Text)
        return value.Number;
    return *value.Text ? QString::fromUtf8(value.Text) : QString();
}

} // namespace

QLatin1String ParameterName(TParam parameter)
{
    return QLatin1String(definitions[int(parameter)].Name);
}

char ParameterTypeLetter(TParam parameter)
{
    return definitions[int(parameter)].TypeLetter;
}

void CreateParameters()
{
    delete parametri;
    parametri = new Tparameter;
    for (const TParameterDefinition& definition : definitions)
        parametri->Define(QLatin1String(definition.Name), definition.TypeLetter,
                          DefaultValue(definition.Default));
    parametri->LoadAll();
}
