// database: the customer registry.
#include "dbase.h"

#include "qtprinter.h"
#include "programservices.h"
#include "service.h"
#include "windowkeys.h"

#include <QCoreApplication>
#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("database"));
    zorv::windowkeys::install();

    const zorv::ProgramServices services;
    // Kept from one print to the next, with the printer chosen last.
    zorv::QtPrinter printer;
    const zorv::ScopedService<zorv::Printer> printerInstalled(&printer);

    // The window's own exit steps end the program; closing the last window alone must not.
    app.setQuitOnLastWindowClosed(false);
    zorv::registry::Dbase dbase;
    QObject::connect(&dbase, &zorv::registry::Dbase::terminato, &app, &QApplication::quit, Qt::QueuedConnection);
    dbase.show();
    return app.exec();
}
