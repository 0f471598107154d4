#include "zorv.h"

// The dialogs behind "Set config", "Store Card", "Toggle MCU Ports", "RX Data",
// "Read MCU Ports" and "Sound". Each opens its dialog modally on this window; the
// window does the rest (the lamp check before, the flushes, and sending ComandoPorte or
// ComandoCarta after). Until a dialog is wired here its button stays disabled.

namespace zorv::console {

bool Zorv::dialogReady(int button) const
{
    Q_UNUSED(button);
    return false;
}

void Zorv::showCONFIG() {}
void Zorv::showStore() {}
void Zorv::showPORTS() {}
void Zorv::showPORTE() {}
void Zorv::showSOUND() {}
void Zorv::showRX() {}

} // namespace zorv::console
