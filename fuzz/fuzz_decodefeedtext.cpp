// DecodeFeedText on bytes and on text: it never lengthens a text, and the text
// form agrees with the byte form for a Windows-1250 text.

#include "FuzzSupport.h"
#include "common/DecodeFeedText.h"

#include <QStringDecoder>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::Initialize(argc, argv, false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(bytes), qsizetype(size));
    const QByteArray decoded = pas_lib::DecodeFeedText(input);
    FUZZ_CHECK(decoded.size() <= input.size(), QString());

    QStringDecoder windows1250("windows-1250");
    const QString text = windows1250(input);
    const QString fromText = pas_lib::DecodeFeedText(text);
    QStringDecoder again("windows-1250");
    const QString fromBytes = again(decoded);
    FUZZ_CHECK(fromText == fromBytes, fromText + QStringLiteral(" / ") + fromBytes);

    const QString utf8 = QString::fromUtf8(input);
    FUZZ_CHECK(pas_lib::DecodeFeedText(utf8).size() <= utf8.size(), QString());
    return 0;
}
