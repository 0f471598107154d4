// movimenti: the movement log and the stock bookings.
#include "scariman1.h"

#include "paths.h"
#include "programservices.h"
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

    const zorv::ProgramServices services;
    // Kept from one print to the next, with the printer chosen last.
    zorv::QtPrinter printer;
    const zorv::ScopedService<zorv::Printer> printerInstalled(&printer);

    // Only the exit question ends the program.
    app.setQuitOnLastWindowClosed(false);
    zorv::movimenti::Scariman1 window(zorv::paths::readPercorso(QDir::currentPath()));
    QObject::connect(&window, &zorv::movimenti::Scariman1::quitRequested, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    window.show();
    return app.exec();
}
