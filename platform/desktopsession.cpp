#include "desktopsession.h"

#include <QtGlobal>

namespace zorv::desktop {

bool waylandSession()
{
    return qgetenv("XDG_SESSION_TYPE") == "wayland" || !qgetenv("WAYLAND_DISPLAY").isEmpty();
}

void pinToX11()
{
    if (waylandSession() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
}

} // namespace zorv::desktop
