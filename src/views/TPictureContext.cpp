#include "views/TPictureContext.h"

#include "weather/FetchFeed.h"

const pas_lib::TXmlDocument& TPictureContext::MainFeed() const
{
    static const pas_lib::TXmlDocument empty;
    return FFeeds ? FFeeds->MainDocument : empty;
}

void TPictureContext::BeginBusy()
{
    if (++FBusy == 1)
        emit BusyChanged(true);
}

void TPictureContext::EndBusy()
{
    if (--FBusy == 0)
        emit BusyChanged(false);
}
