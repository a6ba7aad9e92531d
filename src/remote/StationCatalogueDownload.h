#pragma once

#include "common/Awaiting.h"

// Downloads the station catalogue now, from the address the last settings
// document gave, into Postaje.xml. The file is replaced only by a complete
// download that reads as a catalogue, so a failure keeps the one there is.
// False when there is no address yet or the download fails.
QCoro::Task<bool> DownloadStationCatalogue(const pas_lib::TCancellation* cancellation = nullptr);
