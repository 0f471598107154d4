#include "keys.h"
#include "messages.h"
#include "plovekwindow.h"
#include "qtmessages.h"
#include "qtsound.h"
#include "qttrayicon.h"
#include "service.h"
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

    zorv::QtMessageBoxes boxes;
    zorv::Service<zorv::MessageBoxes>::set(&boxes);
    zorv::QtSound sound;
    zorv::Service<zorv::Sound>::set(&sound);
    zorv::QtTrayIcon::install();
    zorv::X11Keystrokes keys;
    zorv::Service<zorv::Keystrokes>::set(&keys);

    zorv::stations::plovek::PlovekWindow window;
    window.Form_Load();
    window.show();
    if (!keys.isOpen())
        zorv::messages().msgBox(
            QStringLiteral("Lines from the reader are shown but cannot be typed: %1.").arg(keys.lastError()));
    return app.exec();
}
