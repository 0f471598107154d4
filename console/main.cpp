#include "qtmessages.h"
#include "service.h"
#include "zorv.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Zorv900V3"));
    zorv::Service<zorv::MessageBoxes>::set(new zorv::QtMessageBoxes);

    zorv::console::Zorv window;
    window.show();
    return app.exec();
}
