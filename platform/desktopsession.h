#pragma once

#include <QByteArray>

namespace zorv::desktop {

// True on a Wayland session: XDG_SESSION_TYPE says so, or a Wayland display is named.
bool waylandSession();

// The stations run on X11 (Xwayland under a Wayland compositor), where Qt learns that a
// window is minimised and the X11 notification area is found; native Wayland only
// where there is no Xwayland. A platform the user has chosen stays. Call before the
// application object is made.
void pinToX11();

} // namespace zorv::desktop
