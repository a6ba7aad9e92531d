#pragma once

#include <QString>

class QBuffer;
class QUrl;
class THttpClient;

// Gets an address into a file (when fileName is not empty) or appends it to a
// memory stream, on the calling thread; the thread's events run meanwhile.
// slot is the file's stamp slot (1 to 13) for a download that is skipped when
// the server's copy has not changed, or -1. Returns the size in bytes of the
// file written or of the stream afterwards (0 or more), -1 when nothing was
// transferred (empty address, the server's copy unchanged: the file is kept;
// with DOWNLOAD_API any failure), -2 when the HEAD request failed, -3 when the
// GET or writing the file failed. A failed transfer leaves no destination file.
// Never shows a message.
int Fetch(const QString& address, const QString& fileName, QBuffer* stream, int slot);

// The built-in client's part of Fetch, with a client the caller made (a
// background worker makes its own on its thread).
int FetchWithClient(THttpClient& client, const QUrl& url, const QString& fileName, QBuffer* stream,
                    int slot);

// Saves data to a file under a temporary name beside it and renames it when
// complete, so that no reader ever sees part of it; creates the folder.
bool SaveFileAtomically(const QString& fileName, const QByteArray& data);
