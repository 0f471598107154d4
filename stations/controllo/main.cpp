#include "controllowindow.h"
#include "desktopsession.h"
#include "qtmessages.h"
#include "qtsound.h"
#include "qttrayicon.h"
#include "service.h"
#include "windowkeys.h"

#include <QCoreApplication>
#include <QApplication>
#include <QDir>

int main(int argc, char **argv)
{
    zorv::desktop::pinToX11();
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Zorv900 Controllo Accessi"));
    zorv::windowkeys::install();
    // The window may sit in the notification area while a box comes and goes: the
    // station ends only by its quit question.
    app.setQuitOnLastWindowClosed(false);

    zorv::QtMessageBoxes boxes;
    zorv::Service<zorv::MessageBoxes>::set(&boxes);
    zorv::QtSound sound;
    zorv::Service<zorv::Sound>::set(&sound);
    zorv::QtTrayIcon::install();

    zorv::stations::ControlloWindow window(QDir::currentPath());
    if (!window.Form_Load())
        return 1;
    window.show();
    return app.exec();
}
