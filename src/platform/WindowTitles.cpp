#include "platform/WindowTitles.h"

#include "platform/dummy/NoWindowTitles.h"

#include <QGuiApplication>

#ifdef NIMBULON_HAVE_XCB
#include "platform/x11/X11WindowTitles.h"
#endif

std::unique_ptr<TWindowTitles> CreateWindowTitles()
{
#ifdef NIMBULON_HAVE_XCB
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        auto titles = std::make_unique<TX11WindowTitles>();
        if (titles->Available())
            return titles;
    }
#endif
    return std::make_unique<TNoWindowTitles>();
}
