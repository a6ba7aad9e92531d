#pragma once

#include "common/Awaiting.h"
#include "net/HttpClient.h"

#include <QString>

class QBuffer;
class QUrl;

// Gets an address into a file (when fileName is not empty) or appends it to a
// memory stream, on the calling thread, awaited: the thread's events run
// meanwhile. The stream must live until the fetch is done.
// slot is the file's stamp slot (1 to 19) for a download that is skipped when
// the server's copy has not changed and the file is there, or -1. Returns the size in bytes of the
// file written or of the stream afterwards (0 or more), -1 when nothing was
// transferred (empty address, the server's copy unchanged: the file is kept;
// with DOWNLOAD_API any failure), -2 when the HEAD request failed, -3 when the
// GET or writing the file failed (also when cancelled, or past the transfer's
// deadline or minimum rate). A failed transfer leaves no destination file.
// Never shows a message. A video passes TTransferKind::Video for its longer deadline.
QCoro::Task<int> Fetch(QString address, QString fileName, QBuffer* stream, int slot,
                       const pas_lib::TCancellation* cancellation = nullptr,
                       TTransferKind kind = TTransferKind::Document);

// The built-in client's part of Fetch, with a client the caller made (a
// background worker makes its own on its thread).
QCoro::Task<int> FetchWithClient(THttpClient& client, QUrl url, QString fileName, QBuffer* stream,
                                 int slot, const pas_lib::TCancellation* cancellation = nullptr,
                                 TTransferKind kind = TTransferKind::Document);

// Saves data to a file under a temporary name beside it and renames it when
// complete, so that no reader ever sees part of it; creates the folder.
bool SaveFileAtomically(const QString& fileName, const QByteArray& data);
