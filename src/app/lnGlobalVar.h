#pragma once

#include "common/Exception.h"

#include <QString>
#include <QVariant>
#include <cstdint>
#include <memory>

class TNamedEvent;
class TProcessLock;
class TSharedMemory;

// A named value shared between the processes of one user: a block of shared
// memory (a file of the user's private runtime folder) holding one tagged value, with a
// reader/writer protocol between processes and a change event pulsed after every write.
//
// Block layout (little-endian, the same in every process):
//   0  4   size in bytes of the stored value (size rule: TGlobalVar::SizeOf)
//   4  2   type code of the stored value
//   6  16  the stored tagged value (TVarData)
//   22 1   reserved
//   23 ... the bytes of a string value (type codes 8 and 256)

class EGlobalVar : public pas_lib::Exception
{
public:
    using Exception::Exception;
};

// Type codes of the tagged value, with 256 for a string of single-byte characters.
namespace VarType {
constexpr quint16 Empty = 0;
constexpr quint16 Null = 1;
constexpr quint16 SmallInt = 2;
constexpr quint16 Integer = 3;
constexpr quint16 Single = 4;
constexpr quint16 Double = 5;
constexpr quint16 Currency = 6;
constexpr quint16 Date = 7;
constexpr quint16 OleStr = 8;
constexpr quint16 Boolean = 11;
constexpr quint16 Variant = 12;
constexpr quint16 ShortInt = 16;
constexpr quint16 Byte = 17;
constexpr quint16 Word = 18;
constexpr quint16 LongWord = 19;
constexpr quint16 Int64 = 20;
constexpr quint16 String = 256;
} // namespace VarType

struct TVarData
{
    quint16 VType = VarType::Empty;
    quint8 Reserved[6] = {};
    quint8 Payload[8] = {};
};
static_assert(sizeof(TVarData) == 16);

class TGlobalVar
{
public:
    TGlobalVar(const QString& name, quint32 maxSize, bool* alreadyExisted = nullptr);
    virtual ~TGlobalVar();
    TGlobalVar(const TGlobalVar&) = delete;
    TGlobalVar& operator=(const TGlobalVar&) = delete;

    virtual quint32 GetSize();
    virtual QVariant GetValue();
    virtual TVarData GetVarData();
    virtual quint16 GetValueType();
    virtual void SetValue(const QVariant& value);

    const QString& Name() const { return FName; }
    quint32 MaxSize() const { return FMaxSize; }

    // The size rule: bytes that a value of this type occupies; stringBytes is
    // the length in bytes of a string value's text (UTF-16 bytes for type 8).
    static quint32 SizeOf(quint16 varType, quint32 stringBytes);
    // The type code under which a value is stored; throws for values that
    // cannot be shared between processes.
    static quint16 VarTypeOf(const QVariant& value);
    // The system object that backs a variable of this name: an object of the
    // user's private runtime folder (PrivateRuntimeFolder), whose name carries
    // the user id, as named objects on other systems live per user.
    static QString SystemName(const QString& prefix, const QString& name);
    static QString ObjectPath(const QString& folder, const QString& prefix, const QString& name);

private:
    class TLockGuard;
    void Lock(bool exclusive);
    void Unlock(bool exclusive);
    std::unique_ptr<TNamedEvent> OpenEvent(const QString& prefix, bool initialState) const;

    std::unique_ptr<TNamedEvent> FChangeEvent;
    unsigned char* FData = nullptr;
    quint32 FMaxSize = 0;
    std::unique_ptr<TSharedMemory> FMapping; // the block
    std::unique_ptr<TProcessLock> FLock;     // of the reader/writer protocol and of creation
    QString FName;
    QString FFolder; // where the objects are
    std::unique_ptr<TNamedEvent> FReadEvent;
    std::unique_ptr<TNamedEvent> FWriteEvent;
};
