#pragma once

#include "common/XmlDocument.h"

#include <QObject>

struct TFeeds;

// What the picture views need of the window: the main feed of the last
// refresh, whose change stamps say when the server's pictures changed, and a
// busy state that the window shows as the refreshing indicator with the busy
// cursor while a view's download or animation runs (the graph view's
// requests count as well).
class TPictureContext : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    void SetFeeds(const TFeeds* feeds) { FFeeds = feeds; }
    // Empty until a refresh has read one.
    const pas_lib::TXmlDocument& MainFeed() const;

    bool Busy() const { return FBusy > 0; }

signals:
    void BusyChanged(bool busy);

private:
    friend class TBusyScope;
    void BeginBusy();
    void EndBusy();

    const TFeeds* FFeeds = nullptr;
    int FBusy = 0;
};

// Keeps the context busy while it lives (for the length of a coroutine).
class TBusyScope
{
public:
    explicit TBusyScope(TPictureContext& context) : FContext(context) { FContext.BeginBusy(); }
    ~TBusyScope() { FContext.EndBusy(); }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

private:
    TPictureContext& FContext;
};
