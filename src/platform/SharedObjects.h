#pragma once

#include "common/Exception.h"

#include <QString>

// The system objects under a value that the processes of one user share: a
// block of memory, named events and a lock for its readers and writers, each
// under a name of the user's private runtime folder (PrivateRuntimeFolder).
// The system releases the locks of a process that dies, so a process that is
// killed never blocks the others.

// A shared object could not be made or mapped; the message is the system's
// description of why.
class ESharedObject : public pas_lib::Exception
{
public:
    enum class TStep { Creating, Mapping };
    ESharedObject(TStep step, const QString& reason) : Exception(reason), FStep(step) {}
    TStep Step() const { return FStep; }

private:
    TStep FStep;
};

// The name of the object prefix + name in folder. It carries the user id, as
// named objects on other systems live per user.
QString SharedObjectPath(const QString& folder, const QString& prefix, const QString& name);
// Removes the object; processes that have it open keep using it.
void RemoveSharedObject(const QString& path);

// A lock between processes that readers share and a writer holds alone.
class TProcessLock
{
public:
    // Opens or creates the lock and holds it alone. A lock whose object was
    // removed meanwhile is let go and the current one taken.
    explicit TProcessLock(const QString& path);
    ~TProcessLock();
    TProcessLock(const TProcessLock&) = delete;
    TProcessLock& operator=(const TProcessLock&) = delete;

    void Lock(bool exclusive);
    void Unlock();

private:
    int FFd = -1;
};

// A block of memory that processes share under a name, held by every process
// that maps it.
class TSharedMemory
{
public:
    // Maps the block, or makes it first: size bytes of zeros when no live
    // process holds it, even when processes that died left one behind. An
    // existing block smaller than size is refused.
    TSharedMemory(const QString& path, qint64 size);
    ~TSharedMemory();
    TSharedMemory(const TSharedMemory&) = delete;
    TSharedMemory& operator=(const TSharedMemory&) = delete;

    unsigned char* Data() const { return FData; }
    // Whether a live process held the block when it was mapped.
    bool Existed() const { return FExisted; }
    // Whether no other process holds the block now.
    bool LastUser();

private:
    int FFd = -1;
    unsigned char* FData = nullptr;
    qint64 FSize = 0;
    bool FExisted = false;
};

// A manual-reset event whose state lives in shared memory, so that every
// process that opens the name sees it. Waiting is done by a TProcessLock.
class TNamedEvent
{
public:
    // Creates or opens the event; a created event starts in initialState.
    TNamedEvent(const QString& path, bool initialState);
    ~TNamedEvent();
    TNamedEvent(const TNamedEvent&) = delete;
    TNamedEvent& operator=(const TNamedEvent&) = delete;

    void SetEvent();
    void ResetEvent();
    void PulseEvent();
    bool IsSignalled() const;
    // How often the event has been signalled since it was created.
    quint32 SignalCount() const;
    // Puts the event back into a state, as when it was created.
    void Reinitialize(bool initialState);

private:
    int FFd = -1;
    quint32* FState = nullptr;
};
