// movimenti: the movement log and the stock bookings.
#include "scariman1.h"

#include "launcher.h"
#include "messages.h"
#include "printer/printer.h"
#include "paths.h"
#include "qtmessages.h"
#include "service.h"
#include "windowkeys.h"
#ifdef ZORV_HAVE_QT_PRINTER
#include "qtprinter.h"
#endif

#include <QCoreApplication>
#include <QApplication>
#include <QDir>

#ifndef ZORV_HAVE_QT_PRINTER
namespace {
// A build without the printer library: printing says so and prints nothing.
class NoPrinter : public zorv::FakePrinter {
public:
    bool begin() override
    {
        zorv::messages().msgBox(QStringLiteral("Nessuna stampante disponibile"), zorv::style::Critical,
                                QStringLiteral("STAMPA"));
        return false;
    }
};
} // namespace
#endif

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Movimenti"));
    zorv::windowkeys::install();

    zorv::QtMessageBoxes boxes;
    zorv::Service<zorv::MessageBoxes>::set(&boxes);
    zorv::SystemLauncher programs;
    zorv::Service<zorv::ProgramLauncher>::set(&programs);
#ifdef ZORV_HAVE_QT_PRINTER
    zorv::installQtPrinter();
#else
    NoPrinter none;
    zorv::Service<zorv::Printer>::set(&none);
#endif

    // Only the exit question ends the program.
    app.setQuitOnLastWindowClosed(false);
    zorv::movimenti::Scariman1 window(zorv::paths::readPercorso(QDir::currentPath()));
    QObject::connect(&window, &zorv::movimenti::Scariman1::quitRequested, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    window.show();
    return app.exec();
}
