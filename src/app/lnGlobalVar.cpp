#include "app/lnGlobalVar.h"

#include "common/FixedFormat.h"
#include "platform/RuntimeFolder.h"
#include "platform/SharedObjects.h"

#include <QDateTime>
#include <QtEndian>
#include <cstring>

namespace {

constexpr quint32 headerSize = 23;
constexpr qsizetype offsetSize = 0;
constexpr qsizetype offsetType = 4;
constexpr qsizetype offsetVarData = 6;
constexpr qsizetype offsetString = 23;

QString CreatingError(const QString& name, const QString& reason)
{
    return QStringLiteral(
               "Creating Memory Mapped File: %1 produced an error\r\nError description: %2")
        .arg(name, reason);
}

QString MappingError(const QString& name, const QString& reason)
{
    return QStringLiteral(
               "Mapping Memory Mapped File: %1 produced an error\r\nError description: %2")
        .arg(name, reason);
}

// The message of a shared object that failed, under the name the user is told.
EGlobalVar Failure(const QString& name, const ESharedObject& error)
{
    return EGlobalVar(error.Step() == ESharedObject::TStep::Creating
                          ? CreatingError(name, error.Message())
                          : MappingError(name, error.Message()));
}

template <typename T> void StoreLE(unsigned char* at, T value)
{
    qToLittleEndian(value, at);
}

template <typename T> T LoadLE(const unsigned char* at)
{
    return qFromLittleEndian<T>(at);
}

} // namespace

// ----------------------------------------------------------------- TGlobalVar

class TGlobalVar::TLockGuard
{
public:
    TLockGuard(TGlobalVar& var, bool exclusive) : FVar(var), FExclusive(exclusive)
    {
        FVar.Lock(exclusive);
    }
    ~TLockGuard() { FVar.Unlock(FExclusive); }
    TLockGuard(const TLockGuard&) = delete;
    TLockGuard& operator=(const TLockGuard&) = delete;

private:
    TGlobalVar& FVar;
    bool FExclusive;
};

QString TGlobalVar::SystemName(const QString& prefix, const QString& name)
{
    return ObjectPath(PrivateRuntimeFolder(), prefix, name);
}

QString TGlobalVar::ObjectPath(const QString& folder, const QString& prefix, const QString& name)
{
    return SharedObjectPath(folder, prefix, name);
}

TGlobalVar::TGlobalVar(const QString& name, quint32 maxSize, bool* alreadyExisted)
{
    try {
        FFolder = PrivateRuntimeFolder();
    } catch (const pas_lib::Exception& error) {
        throw EGlobalVar(CreatingError(name, error.Message()));
    }
    try {
        // Creation and destruction of the objects are serialised by this lock, so
        // that one process never sees another's half-made variable.
        FLock = std::make_unique<TProcessLock>(ObjectPath(FFolder, QStringLiteral("lock"), name));
        FMapping = std::make_unique<TSharedMemory>(ObjectPath(FFolder, QString(), name),
                                                   qint64(maxSize) + headerSize);
    } catch (const ESharedObject& error) {
        throw Failure(name, error);
    }
    const bool existed = FMapping->Existed();
    if (alreadyExisted)
        *alreadyExisted = existed;
    FData = FMapping->Data();
    FName = name;
    FChangeEvent = OpenEvent(QStringLiteral("evtCL"), false);
    FReadEvent = OpenEvent(QStringLiteral("evtRL"), true);
    FWriteEvent = OpenEvent(QStringLiteral("evtWL"), true);
    FMaxSize = maxSize;

    if (!existed) {
        FChangeEvent->Reinitialize(false);
        FReadEvent->Reinitialize(true);
        FWriteEvent->Reinitialize(true);
        TVarData null;
        null.VType = VarType::Null;
        StoreLE<quint32>(FData + offsetSize, 0);
        StoreLE<quint16>(FData + offsetType, VarType::Empty);
        std::memcpy(FData + offsetVarData, &null, sizeof null);
    }
    FLock->Unlock();
}

std::unique_ptr<TNamedEvent> TGlobalVar::OpenEvent(const QString& prefix, bool initialState) const
{
    const QString path = ObjectPath(FFolder, prefix, FName);
    try {
        return std::make_unique<TNamedEvent>(path, initialState);
    } catch (const ESharedObject& error) {
        throw Failure(path, error);
    }
}

TGlobalVar::~TGlobalVar()
{
    FLock->Lock(true);
    FChangeEvent->SetEvent();
    // The last user removes the objects, as the system discards them elsewhere.
    const bool last = FMapping->LastUser();
    FChangeEvent.reset();
    FReadEvent.reset();
    FWriteEvent.reset();
    if (last) {
        for (const QString& prefix : {QString(), QStringLiteral("evtCL"), QStringLiteral("evtRL"),
                                      QStringLiteral("evtWL"), QStringLiteral("lock")})
            RemoveSharedObject(ObjectPath(FFolder, prefix, FName));
    }
    FMapping.reset();
    FLock.reset();
}

// Readers share the lock and writers hold it alone; the system releases it when
// its holder dies, so a reader or writer that is killed never blocks the others.
// The reader and writer events mirror the protocol's state for other processes.
void TGlobalVar::Lock(bool exclusive)
{
    FLock->Lock(exclusive);
    if (exclusive) {
        FWriteEvent->ResetEvent();
    } else {
        // No writer can be active now; mend the state a killed writer left behind.
        if (!FWriteEvent->IsSignalled())
            FWriteEvent->SetEvent();
        FReadEvent->ResetEvent();
    }
}

void TGlobalVar::Unlock(bool exclusive)
{
    if (exclusive)
        FWriteEvent->SetEvent();
    else
        FReadEvent->SetEvent();
    FLock->Unlock();
}

quint32 TGlobalVar::GetSize()
{
    TLockGuard guard(*this, false);
    return LoadLE<quint32>(FData + offsetSize);
}

quint16 TGlobalVar::GetValueType()
{
    TLockGuard guard(*this, false);
    return LoadLE<quint16>(FData + offsetType);
}

TVarData TGlobalVar::GetVarData()
{
    TLockGuard guard(*this, false);
    TVarData data;
    std::memcpy(&data, FData + offsetVarData, sizeof data);
    return data;
}

QVariant TGlobalVar::GetValue()
{
    TLockGuard guard(*this, false);
    const quint16 type = LoadLE<quint16>(FData + offsetType);
    // A size beyond the block can only come from a foreign writer; never read past it.
    const quint32 size = std::min(LoadLE<quint32>(FData + offsetSize), FMaxSize);
    if (type == VarType::OleStr) {
        const quint32 chars = size / 2;
        QString text(qsizetype(chars), Qt::Uninitialized);
        for (quint32 i = 0; i < chars; ++i)
            text[qsizetype(i)] = QChar(LoadLE<quint16>(FData + offsetString + 2 * i));
        return text;
    }
    if (type == VarType::String)
        return QByteArray(reinterpret_cast<const char*>(FData + offsetString), qsizetype(size));

    TVarData data;
    std::memcpy(&data, FData + offsetVarData, sizeof data);
    const unsigned char* p = data.Payload;
    switch (data.VType) {
    case VarType::Null:
        return QVariant::fromValue(nullptr);
    case VarType::SmallInt:
        return QVariant::fromValue(LoadLE<qint16>(p));
    case VarType::Integer:
        return QVariant::fromValue(LoadLE<qint32>(p));
    case VarType::Single: {
        float value;
        std::memcpy(&value, p, sizeof value);
        return QVariant::fromValue(value);
    }
    case VarType::Double: {
        double value;
        std::memcpy(&value, p, sizeof value);
        return value;
    }
    case VarType::Currency:
        return double(LoadLE<qint64>(p)) / 10000.0;
    case VarType::Date: {
        double days;
        std::memcpy(&days, p, sizeof days);
        return pas_lib::DaysToDateTime(days);
    }
    case VarType::Boolean:
        return LoadLE<qint16>(p) != 0;
    case VarType::ShortInt:
        return QVariant::fromValue(qint8(p[0]));
    case VarType::Byte:
        return QVariant::fromValue(quint8(p[0]));
    case VarType::Word:
        return QVariant::fromValue(LoadLE<quint16>(p));
    case VarType::LongWord:
        return QVariant::fromValue(LoadLE<quint32>(p));
    case VarType::Int64:
        return QVariant::fromValue(LoadLE<qint64>(p));
    default:
        return {};
    }
}

quint32 TGlobalVar::SizeOf(quint16 varType, quint32 stringBytes)
{
    switch (varType) {
    case VarType::ShortInt:
    case VarType::Byte:
        return 1;
    case VarType::SmallInt:
    case VarType::Boolean:
    case VarType::Word:
        return 2;
    case VarType::Double:
    case VarType::Currency:
    case VarType::Date:
    case VarType::Int64:
        return 8;
    case VarType::OleStr:
    case VarType::String:
        return stringBytes;
    case VarType::Variant:
        return 16;
    default:
        return 4;
    }
}

quint16 TGlobalVar::VarTypeOf(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return VarType::Empty;
    case QMetaType::Nullptr:
        return VarType::Null;
    case QMetaType::Short:
        return VarType::SmallInt;
    case QMetaType::Int:
    case QMetaType::Long:
        return VarType::Integer;
    case QMetaType::Float:
        return VarType::Single;
    case QMetaType::Double:
        return VarType::Double;
    case QMetaType::QDateTime:
        return VarType::Date;
    case QMetaType::QString:
        return VarType::OleStr;
    case QMetaType::Bool:
        return VarType::Boolean;
    case QMetaType::SChar:
    case QMetaType::Char:
        return VarType::ShortInt;
    case QMetaType::UChar:
        return VarType::Byte;
    case QMetaType::UShort:
        return VarType::Word;
    case QMetaType::UInt:
    case QMetaType::ULong:
        return VarType::LongWord;
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return VarType::Int64;
    case QMetaType::QByteArray:
        return VarType::String;
    default:
        throw pas_lib::Exception(
            QStringLiteral("Value of type %1 cannot be shared between processes")
                .arg(QString::fromLatin1(value.typeName())));
    }
}

void TGlobalVar::SetValue(const QVariant& value)
{
    const quint16 type = VarTypeOf(value);
    QByteArray stringBytes;
    if (type == VarType::OleStr) {
        const QString text = value.toString();
        stringBytes.resize(text.size() * 2);
        for (qsizetype i = 0; i < text.size(); ++i)
            qToLittleEndian<quint16>(text.at(i).unicode(), stringBytes.data() + 2 * i);
    } else if (type == VarType::String) {
        stringBytes = value.toByteArray();
    }
    const quint64 size = SizeOf(type, quint32(std::min<qsizetype>(stringBytes.size(), 0xFFFFFFFF)));
    if (size > FMaxSize)
        throw pas_lib::Exception(
            QStringLiteral("Error setting value\r\n  Max value size: %1\r\n  Your value size: %2")
                .arg(FMaxSize)
                .arg(size));

    TVarData data;
    data.VType = type;
    unsigned char* p = data.Payload;
    switch (type) {
    case VarType::SmallInt:
        StoreLE<qint16>(p, qint16(value.toInt()));
        break;
    case VarType::Integer:
        StoreLE<qint32>(p, qint32(value.toInt()));
        break;
    case VarType::Single: {
        const float f = value.toFloat();
        std::memcpy(p, &f, sizeof f);
        break;
    }
    case VarType::Double: {
        const double d = value.toDouble();
        std::memcpy(p, &d, sizeof d);
        break;
    }
    case VarType::Date: {
        const double days = pas_lib::DateTimeToDays(value.toDateTime());
        std::memcpy(p, &days, sizeof days);
        break;
    }
    case VarType::Boolean:
        StoreLE<qint16>(p, value.toBool() ? -1 : 0);
        break;
    case VarType::ShortInt:
    case VarType::Byte:
        p[0] = quint8(value.toInt());
        break;
    case VarType::Word:
        StoreLE<quint16>(p, quint16(value.toUInt()));
        break;
    case VarType::LongWord:
        StoreLE<quint32>(p, quint32(value.toUInt()));
        break;
    case VarType::Int64:
        StoreLE<qint64>(p, value.toLongLong());
        break;
    default:
        break; // empty, null and strings carry no payload here
    }

    TLockGuard guard(*this, true);
    StoreLE<quint16>(FData + offsetType, type);
    std::memcpy(FData + offsetVarData, &data, sizeof data);
    StoreLE<quint32>(FData + offsetSize, quint32(size));
    if (!stringBytes.isEmpty())
        std::memcpy(FData + offsetString, stringBytes.constData(), size_t(stringBytes.size()));
    FChangeEvent->PulseEvent();
}
