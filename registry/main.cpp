// database: the customer registry.
#include "dbase.h"

#include "launcher.h"
#include "qtprinter.h"
#include "qtmessages.h"
#include "service.h"
#include "windowkeys.h"

#include <QCoreApplication>
#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("database"));
    zorv::windowkeys::install();

    zorv::QtMessageBoxes boxes;
    zorv::Service<zorv::MessageBoxes>::set(&boxes);
    zorv::SystemLauncher programs;
    zorv::Service<zorv::ProgramLauncher>::set(&programs);
    zorv::installQtPrinter();

    // The window's own exit steps end the program; closing the last window alone must not.
    app.setQuitOnLastWindowClosed(false);
    zorv::registry::Dbase dbase;
    QObject::connect(&dbase, &zorv::registry::Dbase::terminato, &app, &QApplication::quit, Qt::QueuedConnection);
    dbase.show();
    return app.exec();
}
