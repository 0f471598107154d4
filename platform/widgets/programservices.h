#pragma once

#include "clock.h"
#include "launcher.h"
#include "qtmessages.h"
#include "service.h"

namespace zorv {

// The services every program's main installs, for as long as it lives: message boxes on
// QMessageBox, the system clock and the program starter. A main installs the others it
// uses (printer, sound, serial ports, ...) beside it, each with a ScopedService.
class ProgramServices {
public:
    ProgramServices() = default;
    ProgramServices(const ProgramServices &) = delete;
    ProgramServices &operator=(const ProgramServices &) = delete;

private:
    QtMessageBoxes m_boxes;
    ScopedService<MessageBoxes> m_boxesInstalled{&m_boxes};
    SystemClock m_clock;
    ScopedService<Clock> m_clockInstalled{&m_clock};
    SystemLauncher m_programs;
    ScopedService<ProgramLauncher> m_programsInstalled{&m_programs};
};

} // namespace zorv
