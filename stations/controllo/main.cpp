#include "controllowindow.h"
#include "desktopsession.h"
#include "stationservices.h"
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

    const zorv::stations::StationServices services;

    zorv::stations::ControlloWindow window(QDir::currentPath());
    if (!window.Form_Load())
        return 1;
    window.show();
    return app.exec();
}
