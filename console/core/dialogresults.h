#pragma once

#include <QByteArray>

namespace zorv::console {

// What the console's dialogs hand back to the console window, and the monitor's stop
// flag. An empty result means the dialog was cancelled. One instance for the program.
struct DialogResults {
    QByteArray ComandoPorte; // a port frame of 4 bytes (PORTS, CONFIG)
    QByteArray ComandoCarta; // a card slot of 14 bytes (store)
    int FermaRx = 0;         // 1: the RX monitor stops

    static DialogResults &instance();
};

inline DialogResults &results() { return DialogResults::instance(); }

} // namespace zorv::console
