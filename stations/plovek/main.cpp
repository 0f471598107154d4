#include "dbusremotedesktop.h"
#include "desktopsession.h"
#include "keys.h"
#include "messages.h"
#include "plovekini.h"
#include "portalkeystrokes.h"
#include "plovekwindow.h"
#include "service.h"
#include "stationservices.h"
#include "windowkeys.h"
#include "x11keystrokes.h"

#include <QCoreApplication>
#include <QApplication>

#include <memory>

int main(int argc, char **argv)
{
    zorv::desktop::pinToX11();
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Zandorex RF Wedge"));
    zorv::windowkeys::install();
    // The window lives in the notification area; the station ends by its quit
    // question or its close box.
    app.setQuitOnLastWindowClosed(false);

    const zorv::stations::StationServices services;

    // On a Wayland desktop only its remote-desktop portal reaches native Wayland
    // windows, and it reaches Xwayland windows too; elsewhere the X Test extension.
    std::unique_ptr<zorv::DBusRemoteDesktop> portal;
    std::unique_ptr<zorv::PortalKeystrokes> portalKeys;
    std::unique_ptr<zorv::X11Keystrokes> x11Keys;
    QString problem;
    if (zorv::desktop::waylandSession())
        portal = std::make_unique<zorv::DBusRemoteDesktop>();
    zorv::Keystrokes *keys = nullptr;
    if (portal && portal->version() > 0) {
        portalKeys = std::make_unique<zorv::PortalKeystrokes>(*portal, zorv::stations::plovek::percorsoPermesso());
        keys = portalKeys.get();
    } else {
        x11Keys = std::make_unique<zorv::X11Keystrokes>();
        keys = x11Keys.get();
        if (!x11Keys->isOpen())
            problem = x11Keys->lastError();
    }
    const zorv::ScopedService<zorv::Keystrokes> keysInstalled(keys);

    zorv::stations::plovek::PlovekWindow window;
    if (portalKeys)
        QObject::connect(portalKeys.get(), &zorv::PortalKeystrokes::notice, &window,
                         &zorv::stations::plovek::PlovekWindow::mostraAvviso);
    window.Form_Load();
    window.show();
    if (!problem.isEmpty())
        zorv::messages().msgBox(QStringLiteral("Lines from the reader are shown but cannot be typed: %1.").arg(problem));
    else if (x11Keys && zorv::desktop::waylandSession())
        window.mostraAvviso(QStringLiteral("This Wayland desktop offers no remote-desktop portal: "
                                           "lines are typed into X11 (Xwayland) windows only."));
    return app.exec();
}
