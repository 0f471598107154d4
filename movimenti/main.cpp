// movimenti: the movement log and the stock bookings.
#include "scariman1.h"

#include "launcher.h"
#include "messages.h"
#include "paths.h"
#include "qtmessages.h"
#include "qtprinter.h"
#include "service.h"
#include "windowkeys.h"

#include <QCoreApplication>
#include <QApplication>
#include <QDir>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Movimenti"));
    zorv::windowkeys::install();

    zorv::QtMessageBoxes boxes;
    zorv::Service<zorv::MessageBoxes>::set(&boxes);
    zorv::SystemLauncher programs;
    zorv::Service<zorv::ProgramLauncher>::set(&programs);
    zorv::installQtPrinter();

    // Only the exit question ends the program.
    app.setQuitOnLastWindowClosed(false);
    zorv::movimenti::Scariman1 window(zorv::paths::readPercorso(QDir::currentPath()));
    QObject::connect(&window, &zorv::movimenti::Scariman1::quitRequested, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    window.show();
    return app.exec();
}
