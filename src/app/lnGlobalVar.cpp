#include "app/lnGlobalVar.h"

#include "app/RuntimeFolder.h"
#include "common/FixedFormat.h"

#include <QDateTime>
#include <QFile>
#include <QtEndian>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr quint32 headerSize = 23;
constexpr qsizetype offsetSize = 0;
constexpr qsizetype offsetType = 4;
constexpr qsizetype offsetVarData = 6;
constexpr qsizetype offsetString = 23;

QString SystemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString CreatingError(const QString& name, int error)
{
    return QStringLiteral(
               "Creating Memory Mapped File: %1 produced an error\r\nError description: %2")
        .arg(name, SystemError(error));
}

QString MappingError(const QString& name, int error)
{
    return QStringLiteral(
               "Mapping Memory Mapped File: %1 produced an error\r\nError description: %2")
        .arg(name, SystemError(error));
}

// Creates or opens one object of the private runtime folder. An object that is
// not this user's (only the system's administrator could have put it there) is
// never used: it is replaced by a new one.
int OpenShared(const QString& systemName, bool* created)
{
    const QByteArray path = QFile::encodeName(systemName);
    for (int attempt = 0; attempt < 2; ++attempt) {
        int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                        S_IRUSR | S_IWUSR);
        bool made = fd >= 0;
        if (!made) {
            if (errno != EEXIST)
                return -1;
            fd = ::open(path.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
            if (fd < 0 && errno != EACCES && errno != ELOOP)
                return -1;
        }
        struct stat info
        {
        };
        if (fd >= 0 && fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == geteuid()) {
            if (created)
                *created = made;
            return fd;
        }
        if (fd >= 0)
            ::close(fd);
        if (::unlink(path.constData()) != 0)
            return -1;
    }
    errno = EEXIST;
    return -1;
}

int FlockRetrying(int fd, int operation)
{
    int result;
    do {
        result = flock(fd, operation);
    } while (result != 0 && errno == EINTR);
    return result;
}

template <typename T> void StoreLE(unsigned char* at, T value)
{
    qToLittleEndian(value, at);
}

template <typename T> T LoadLE(const unsigned char* at)
{
    return qFromLittleEndian<T>(at);
}

std::atomic_ref<quint32> Word(quint32* state, int index)
{
    return std::atomic_ref<quint32>(state[index]);
}

} // namespace

// ---------------------------------------------------------------- TNamedEvent

TNamedEvent::TNamedEvent(const QString& systemName, bool initialState)
{
    bool created = false;
    FFd = OpenShared(systemName, &created);
    if (FFd < 0)
        throw EGlobalVar(CreatingError(systemName, errno));
    if ((created && ftruncate(FFd, 2 * sizeof(quint32)) != 0) || [this] {
            struct stat info
            {
            };
            return fstat(FFd, &info) != 0 || info.st_size < qint64(2 * sizeof(quint32));
        }()) {
        const int error = errno ? errno : EINVAL;
        ::close(FFd);
        throw EGlobalVar(CreatingError(systemName, error));
    }
    void* mapped = mmap(nullptr, 2 * sizeof(quint32), PROT_READ | PROT_WRITE, MAP_SHARED, FFd, 0);
    if (mapped == MAP_FAILED) {
        const int error = errno;
        ::close(FFd);
        throw EGlobalVar(MappingError(systemName, error));
    }
    FState = static_cast<quint32*>(mapped);
    if (created)
        Reinitialize(initialState);
}

TNamedEvent::~TNamedEvent()
{
    munmap(FState, 2 * sizeof(quint32));
    ::close(FFd);
}

void TNamedEvent::SetEvent()
{
    Word(FState, 0).store(1);
    Word(FState, 1).fetch_add(1);
}

void TNamedEvent::ResetEvent()
{
    Word(FState, 0).store(0);
}

void TNamedEvent::PulseEvent()
{
    SetEvent();
    ResetEvent();
}

bool TNamedEvent::IsSignalled() const
{
    return Word(FState, 0).load() != 0;
}

quint32 TNamedEvent::SignalCount() const
{
    return Word(FState, 1).load();
}

void TNamedEvent::Reinitialize(bool initialState)
{
    Word(FState, 1).store(0);
    Word(FState, 0).store(initialState ? 1 : 0);
}

void TNamedEvent::Remove(const QString& systemName)
{
    ::unlink(QFile::encodeName(systemName).constData());
}

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
    QString safe = name;
    safe.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("%1/%2%3.%4").arg(folder, prefix, safe).arg(getuid());
}

TGlobalVar::TGlobalVar(const QString& name, quint32 maxSize, bool* alreadyExisted)
{
    try {
        FFolder = PrivateRuntimeFolder();
    } catch (const pas_lib::Exception& error) {
        throw EGlobalVar(QStringLiteral("Creating Memory Mapped File: %1 produced an "
                                        "error\r\nError description: %2")
                             .arg(name, error.Message()));
    }
    const QString blockName = ObjectPath(FFolder, QString(), name);
    bool created = false;

    // Creation and destruction of the objects are serialised by this lock, so
    // that one process never sees another's half-made variable.
    // The last user removes the lock object too; a lock taken on a removed one
    // is let go and taken again on the current one.
    for (;;) {
        FLockFd = OpenShared(ObjectPath(FFolder, QStringLiteral("lock"), name), nullptr);
        if (FLockFd < 0)
            throw EGlobalVar(CreatingError(name, errno));
        FlockRetrying(FLockFd, LOCK_EX);
        struct stat info
        {
        };
        if (fstat(FLockFd, &info) == 0 && info.st_nlink > 0)
            break;
        ::close(FLockFd);
    }

    auto fail = [&](const QString& message) {
        if (FMapping >= 0)
            ::close(FMapping);
        ::close(FLockFd); // also releases the lock
        throw EGlobalVar(message);
    };

    FMapping = OpenShared(blockName, &created);
    if (FMapping < 0)
        fail(CreatingError(name, errno));

    // Every process that uses the block holds a shared lock on it. Only a block
    // that no live process holds counts as new, so a killed first instance never
    // keeps the next start from becoming the first instance.
    const bool existed = FlockRetrying(FMapping, LOCK_EX | LOCK_NB) != 0;
    const qint64 blockSize = qint64(maxSize) + headerSize;
    if (!existed) {
        // New, or left behind by processes that died: start from zeros.
        if (ftruncate(FMapping, 0) != 0 || ftruncate(FMapping, blockSize) != 0)
            fail(CreatingError(name, errno));
    } else {
        struct stat info
        {
        };
        if (fstat(FMapping, &info) != 0)
            fail(CreatingError(name, errno));
        if (info.st_size < blockSize)
            fail(MappingError(name, EINVAL));
    }
    FlockRetrying(FMapping, LOCK_SH);
    if (alreadyExisted)
        *alreadyExisted = existed;

    void* mapped =
        mmap(nullptr, size_t(blockSize), PROT_READ | PROT_WRITE, MAP_SHARED, FMapping, 0);
    if (mapped == MAP_FAILED)
        fail(MappingError(name, errno));
    FData = static_cast<unsigned char*>(mapped);

    try {
        FChangeEvent = new TNamedEvent(ObjectPath(FFolder, QStringLiteral("evtCL"), name), false);
        FReadEvent = new TNamedEvent(ObjectPath(FFolder, QStringLiteral("evtRL"), name), true);
        FWriteEvent = new TNamedEvent(ObjectPath(FFolder, QStringLiteral("evtWL"), name), true);
    } catch (const EGlobalVar& error) {
        delete FChangeEvent;
        delete FReadEvent;
        munmap(FData, size_t(blockSize));
        fail(error.Message());
    }
    FMaxSize = maxSize;
    FName = name;

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
    FlockRetrying(FLockFd, LOCK_UN);
}

TGlobalVar::~TGlobalVar()
{
    FlockRetrying(FLockFd, LOCK_EX);
    munmap(FData, size_t(FMaxSize) + headerSize);
    FChangeEvent->SetEvent();
    // The last user removes the objects, as the system discards them elsewhere.
    const bool last = FlockRetrying(FMapping, LOCK_EX | LOCK_NB) == 0;
    delete FChangeEvent;
    delete FReadEvent;
    delete FWriteEvent;
    if (last) {
        for (const QString& prefix : {QString(), QStringLiteral("evtCL"), QStringLiteral("evtRL"),
                                      QStringLiteral("evtWL"), QStringLiteral("lock")})
            TNamedEvent::Remove(ObjectPath(FFolder, prefix, FName));
    }
    ::close(FMapping);
    ::close(FLockFd);
}

// Readers share the lock and writers hold it alone; the kernel releases it when
// its holder dies, so a reader or writer that is killed never blocks the others.
// The reader and writer events mirror the protocol's state for other processes.
void TGlobalVar::Lock(bool exclusive)
{
    FlockRetrying(FLockFd, exclusive ? LOCK_EX : LOCK_SH);
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
    FlockRetrying(FLockFd, LOCK_UN);
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
