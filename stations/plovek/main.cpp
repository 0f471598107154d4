#include "keys.h"
#include "messages.h"
#include "plovekwindow.h"
#include "service.h"
#include "stationservices.h"
#include "windowkeys.h"
#include "x11keystrokes.h"

#include <QCoreApplication>
#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Zandorex RF Wedge"));
    zorv::windowkeys::install();
    // The window lives in the notification area; the station ends by its quit
    // question or its close box.
    app.setQuitOnLastWindowClosed(false);

    const zorv::stations::StationServices services;
    zorv::X11Keystrokes keys;
    const zorv::ScopedService<zorv::Keystrokes> keysInstalled(&keys);

    zorv::stations::plovek::PlovekWindow window;
    window.Form_Load();
    window.show();
    if (!keys.isOpen())
        zorv::messages().msgBox(
            QStringLiteral("Lines from the reader are shown but cannot be typed: %1.").arg(keys.lastError()));
    return app.exec();
}
