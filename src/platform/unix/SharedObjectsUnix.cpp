#include "platform/SharedObjects.h"

#include <QFile>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using TStep = ESharedObject::TStep;

ESharedObject Failure(TStep step, int error)
{
    return ESharedObject(step, QString::fromLocal8Bit(std::strerror(error)));
}

// Creates or opens one object of the private runtime folder. An object that is
// not this user's (only the system's administrator could have put it there) is
// never used: it is replaced by a new one.
int OpenShared(const QString& path, bool* created)
{
    const QByteArray native = QFile::encodeName(path);
    for (int attempt = 0; attempt < 2; ++attempt) {
        int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                        S_IRUSR | S_IWUSR);
        bool made = fd >= 0;
        if (!made) {
            if (errno != EEXIST)
                return -1;
            fd = ::open(native.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
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
        if (::unlink(native.constData()) != 0)
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

std::atomic_ref<quint32> Word(quint32* state, int index)
{
    return std::atomic_ref<quint32>(state[index]);
}

} // namespace

QString SharedObjectPath(const QString& folder, const QString& prefix, const QString& name)
{
    QString safe = name;
    safe.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("%1/%2%3.%4").arg(folder, prefix, safe).arg(getuid());
}

void RemoveSharedObject(const QString& path)
{
    ::unlink(QFile::encodeName(path).constData());
}

// --------------------------------------------------------------- TProcessLock

TProcessLock::TProcessLock(const QString& path)
{
    // The last user removes the lock object too; a lock taken on a removed one
    // is let go and taken again on the current one.
    for (;;) {
        FFd = OpenShared(path, nullptr);
        if (FFd < 0)
            throw Failure(TStep::Creating, errno);
        FlockRetrying(FFd, LOCK_EX);
        struct stat info
        {
        };
        if (fstat(FFd, &info) == 0 && info.st_nlink > 0)
            break;
        ::close(FFd);
    }
}

TProcessLock::~TProcessLock()
{
    ::close(FFd); // also releases the lock
}

void TProcessLock::Lock(bool exclusive)
{
    FlockRetrying(FFd, exclusive ? LOCK_EX : LOCK_SH);
}

void TProcessLock::Unlock()
{
    FlockRetrying(FFd, LOCK_UN);
}

// -------------------------------------------------------------- TSharedMemory

TSharedMemory::TSharedMemory(const QString& path, qint64 size)
{
    FFd = OpenShared(path, nullptr);
    if (FFd < 0)
        throw Failure(TStep::Creating, errno);
    auto fail = [this](TStep step, int error) {
        ::close(FFd);
        throw Failure(step, error);
    };

    // Every process that uses the block holds a shared lock on it. Only a block
    // that no live process holds counts as new, so a killed first instance never
    // keeps the next start from becoming the first instance.
    FExisted = FlockRetrying(FFd, LOCK_EX | LOCK_NB) != 0;
    if (!FExisted) {
        // New, or left behind by processes that died: start from zeros.
        if (ftruncate(FFd, 0) != 0 || ftruncate(FFd, size) != 0)
            fail(TStep::Creating, errno);
    } else {
        struct stat info
        {
        };
        if (fstat(FFd, &info) != 0)
            fail(TStep::Creating, errno);
        if (info.st_size < size)
            fail(TStep::Mapping, EINVAL);
    }
    FlockRetrying(FFd, LOCK_SH);

    void* mapped = mmap(nullptr, size_t(size), PROT_READ | PROT_WRITE, MAP_SHARED, FFd, 0);
    if (mapped == MAP_FAILED)
        fail(TStep::Mapping, errno);
    FData = static_cast<unsigned char*>(mapped);
    FSize = size;
}

TSharedMemory::~TSharedMemory()
{
    munmap(FData, size_t(FSize));
    ::close(FFd);
}

bool TSharedMemory::LastUser()
{
    return FlockRetrying(FFd, LOCK_EX | LOCK_NB) == 0;
}

// ---------------------------------------------------------------- TNamedEvent

TNamedEvent::TNamedEvent(const QString& path, bool initialState)
{
    bool created = false;
    FFd = OpenShared(path, &created);
    if (FFd < 0)
        throw Failure(TStep::Creating, errno);
    if ((created && ftruncate(FFd, 2 * sizeof(quint32)) != 0) || [this] {
            struct stat info
            {
            };
            return fstat(FFd, &info) != 0 || info.st_size < qint64(2 * sizeof(quint32));
        }()) {
        const int error = errno ? errno : EINVAL;
        ::close(FFd);
        throw Failure(TStep::Creating, error);
    }
    void* mapped = mmap(nullptr, 2 * sizeof(quint32), PROT_READ | PROT_WRITE, MAP_SHARED, FFd, 0);
    if (mapped == MAP_FAILED) {
        const int error = errno;
        ::close(FFd);
        throw Failure(TStep::Mapping, error);
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
