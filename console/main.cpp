#include "programservices.h"
#include "qtserialport.h"
#include "service.h"
#include "windowkeys.h"
#include "zorv.h"

#include <QCoreApplication>
#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Zorv900V3"));
    zorv::windowkeys::install();
    const zorv::ProgramServices services;
    auto ports = zorv::Maker<zorv::SerialPort>::of<zorv::QtSerialPort>();
    const zorv::ScopedService<zorv::Maker<zorv::SerialPort>> portsInstalled(&ports);

    zorv::console::Zorv window;
    window.show();
    return app.exec();
}
