#pragma once

#include "programservices.h"
#include "pulsesound.h"
#include "qtserialport.h"
#include "qttrayicon.h"
#include "service.h"
#include "stationwindow.h"

#include <QCoreApplication>

namespace zorv::stations {

// What both station programs' mains install, for as long as it lives: the services of
// every program, the sound player, the serial ports, the notification-area icons and the
// end of the program, which leaves the event loop.
class StationServices : public ProgramServices {
private:
    PulseSound m_sound;
    ScopedService<Sound> m_soundInstalled{&m_sound};
    Maker<SerialPort> m_ports = Maker<SerialPort>::of<QtSerialPort>();
    ScopedService<Maker<SerialPort>> m_portsInstalled{&m_ports};
    Maker<TrayIcon> m_icons = Maker<TrayIcon>::of<QtTrayIcon>();
    ScopedService<Maker<TrayIcon>> m_iconsInstalled{&m_icons};
    ProgramEnd m_end{[](int code) { QCoreApplication::exit(code); }};
    ScopedService<ProgramEnd> m_endInstalled{&m_end};
};

} // namespace zorv::stations
