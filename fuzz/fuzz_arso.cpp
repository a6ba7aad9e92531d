// An ARSO file in every slot of the converter: whatever it holds, the feeds
// and the catalogue come out well-formed, every station record keeps its key
// first, and the station codes are positive and distinct.

#include "FuzzSupport.h"
#include "arso/Converter.h"
#include "common/XmlDocument.h"

#include <QSet>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::Initialize(argc, argv, false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const QByteArray file =
        QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), qsizetype(size));
    arso::TArsoFiles files;
    files.automaticStations = file;
    files.mainStations = file;
    files.europeanCities = file;
    files.nationalForecast = file;
    files.regionalForecast = file;
    files.textForecast = file;
    arso::TStationCodes codes;
    codes.Load(file);
    const arso::TConversion conversion = arso::Convert(files, codes);
    FUZZ_CHECK(conversion.converted.size() + conversion.failed.size() == (file.isEmpty() ? 0 : 6),
               QString());
    for (const QByteArray* document :
         {&conversion.mainFeed, &conversion.secondFeed, &conversion.catalogue})
        FUZZ_CHECK(pas_lib::TXmlDocument(*document).IsValid(), QString::fromUtf8(*document));
    const pas_lib::TXmlDocument feed(conversion.mainFeed);
    for (const auto& station : feed.Select(QStringLiteral("AvtomatskePostaje/P")))
        FUZZ_CHECK(station.FirstChild().Name() == u"Kraj" && !station.FirstChild().Text().isEmpty(),
                   QString());
    const pas_lib::TXmlDocument catalogue(conversion.catalogue);
    QSet<QString> seen;
    for (const auto& code : catalogue.Select(QStringLiteral("AVTOMATSKE/P/SIFRA"))) {
        FUZZ_CHECK(code.Text().toInt() > 0, code.Text());
        FUZZ_CHECK(!seen.contains(code.Text()), code.Text());
        seen.insert(code.Text());
    }
    return 0;
}
