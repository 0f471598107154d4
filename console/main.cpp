#include "qtmessages.h"
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
    zorv::Service<zorv::MessageBoxes>::set(new zorv::QtMessageBoxes);

    zorv::console::Zorv window;
    window.show();
    return app.exec();
}
