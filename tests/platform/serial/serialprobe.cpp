// Opens COM1 with the real serial port and says whether it could: "opened", or "refused:"
// and the reason.
#include "qtserialport.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    zorv::QtSerialPort port;
    QString error;
    if (!port.open(1, QStringLiteral("9600,n,8,1"), &error)) {
        std::printf("refused: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("opened\n");
    return 0;
}
