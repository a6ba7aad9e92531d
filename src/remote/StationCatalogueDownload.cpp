#include "remote/StationCatalogueDownload.h"

#include "common/DataPaths.h"
#include "common/XmlDocument.h"
#include "net/Fetch.h"
#include "remote/RemoteSettings.h"

#include <QFile>
#include <cstdio>

namespace {

// A catalogue has at least one of its three sections with a station in it.
bool IsCatalogue(const QString& fileName)
{
    QFile file(fileName);
    pas_lib::TXmlDocument document;
    if (!file.open(QIODevice::ReadOnly) || !document.Parse(file.readAll()))
        return false;
    const pas_lib::TXmlElement root = document.Root();
    for (const char* section : {"AVTOMATSKE", "OPAZOVALNE", "AMATERSKE"})
        if (!root.FirstChild(QString::fromLatin1(section)).FirstChild(QStringLiteral("P")).IsNull())
            return true;
    return false;
}

} // namespace

QCoro::Task<bool> DownloadStationCatalogue(const pas_lib::TCancellation* cancellation)
{
    if (StationCatalogueUrl.isEmpty())
        co_return false;
    const QString download = pas_lib::PostajeXmlPath + QStringLiteral(".download");
    const bool complete =
        co_await Fetch(StationCatalogueUrl, download, nullptr, -1, cancellation) > 0 &&
        IsCatalogue(download);
    if (!complete) {
        QFile::remove(download);
        co_return false;
    }
    // rename() replaces the old file in one step.
    if (std::rename(QFile::encodeName(download).constData(),
                    QFile::encodeName(pas_lib::PostajeXmlPath).constData()) != 0) {
        QFile::remove(download);
        co_return false;
    }
    co_return true;
}
