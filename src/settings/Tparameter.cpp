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

void CreateParameters()
{
    delete parametri;
    parametri = new Tparameter;
    Tparameter& p = *parametri;
    p.Define(QStringLiteral("NE_AVTOMATSKI_ZAGON"), 'L', 0);
    p.Define(QStringLiteral("MINIMIZE_ON_X"), 'L', 1);
    p.Define(QStringLiteral("PREVERI_NOVO_VERZIJO"), 'L', 1);
    p.Define(QStringLiteral("INTERVAL_UPDATE"), 'I', 20);
    p.Define(QStringLiteral("IZKLOPI_OBLACEK"), 'L', 0);
    p.Define(QStringLiteral("INTERVAL_IKONA"), 'I', 3);
    p.Define(QStringLiteral("PRIKAZEM_IKONO"), 'I', 0);
    p.Define(QStringLiteral("PISAVA_VELIKOST"), 'C', QStringLiteral("8"));
    p.Define(QStringLiteral("FONT_NAME"), 'C', QStringLiteral("MS Sans Serif"));
    p.Define(QStringLiteral("FONT_SIZE"), 'C', QStringLiteral("9"));
    p.Define(QStringLiteral("FONT_STYLE"), 'C', QStringLiteral("B"));
    p.Define(QStringLiteral("FONT_COLOR"), 'I', 0);
    p.Define(QStringLiteral("FONT_BG_COLOR"), 'I', 12632256);
    p.Define(QStringLiteral("PODATKI_V_OBLACKU"), 'C', QStringLiteral("012"));
    p.Define(QStringLiteral("TI_ZNAK_STOPINJE"), 'L', 0);
    p.Define(QStringLiteral("TI_TRANSPARENT"), 'L', 1);
    p.Define(QStringLiteral("VI_TRANSPARENT"), 'L', 1);
    p.Define(QStringLiteral("KRAJ_AVTOMATSKE"), 'C', QStringLiteral("Ljubljana"));
    p.Define(QStringLiteral("KRAJ_OPAZOVALNE"), 'C', QStringLiteral("Ljubljana"));
    p.Define(QStringLiteral("KRAJ_AMATERSKE"), 'C', QStringLiteral("Krtina"));
    p.Define(QStringLiteral("TIP_POSTAJE"), 'I', 0);
    p.Define(QStringLiteral("VREME_OPAZOVALNE"), 'L', 1);
    p.Define(QStringLiteral("PROXY_SERVER"), 'C', QString());
    p.Define(QStringLiteral("PROXY_PORT"), 'I', QString());
    p.Define(QStringLiteral("PROXY_USER"), 'C', QString());
    p.Define(QStringLiteral("PROXY_PWD"), 'C', QString());
    // Entries of the navigation menu.
    p.Define(QStringLiteral("SLIKA_PADAVINE"), 'L', 0);
    p.Define(QStringLiteral("VREMENSKA_NAPOVED"), 'L', 1);
    p.Define(QStringLiteral("NAPOVED_V_SLIKI"), 'L', 0);
    p.Define(QStringLiteral("GRAF_TEMPERATURE"), 'L', 1);
    p.Define(QStringLiteral("SATELITSKA_SLIKA"), 'L', 0);
    p.Define(QStringLiteral("NAPOVED_BIO"), 'L', 1);
    p.Define(QStringLiteral("NAPOVED_JULIJCI"), 'L', 1);
    p.Define(QStringLiteral("NAPOVED_LETALSTVO"), 'L', 0);
    p.Define(QStringLiteral("NAPOVED_VISINSKE"), 'L', 0);
    p.Define(QStringLiteral("SNEZNA_ODEJA"), 'L', 0);
    p.Define(QStringLiteral("ANIMACIJE"), 'L', 0);
    p.Define(QStringLiteral("NAPOVED_EVROPA"), 'L', 0);
    p.Define(QStringLiteral("NAPOVED_PRIMORJE"), 'L', 0);
    p.Define(QStringLiteral("VODOSTAJI"), 'L', 0);
    p.Define(QStringLiteral("AMATERSKE_POSTAJE"), 'L', 1);
    p.Define(QStringLiteral("CAPTION_WRITER"), 'L', 0);
    // Sort column and sort order of each station table.
    for (const char* key :
         {"SORT_INDEX_OPAZ", "SORT_INDEX_AVTO", "SORT_INDEX_AMAT", "SORT_INDEX_SN_ODEJA",
          "SORT_INDEX_EU", "SORT_INDEX_VODOST", "SORT_OPAZ", "SORT_AVTO", "SORT_AMAT",
          "SORT_SN_ODEJA", "SORT_EU", "SORT_VODOST"})
        p.Define(QString::fromLatin1(key), 'I', 0);
    p.Define(QStringLiteral("DOWNLOAD_API"), 'L', 0);
    p.LoadAll();
}
