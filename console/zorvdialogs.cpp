#include "zorv.h"

#include "consolecommands.h"

#include "porte.h"
#include "portframedialog.h"
#include "rx.h"
#include "sounddialog.h"
#include "store.h"

// The dialogs behind "Set config", "Store Card", "Toggle MCU Ports", "RX Data",
// "Read MCU Ports" and "Sound". Each opens its dialog modally on this window; the
// window does the rest (the lamp check before, the flushes, and sending ComandoPorte or
// ComandoCarta after).

namespace zorv::console {

bool Zorv::dialogReady(int button) const
{
    switch (button) {
    case 12:
    case 13:
    case 18:
    case 19:
    case 20:
    case 21:
        return true;
    default:
        return false;
    }
}

void Zorv::showCONFIG()
{
    CONFIG dialog(this);
    dialog.exec();
}

void Zorv::showStore()
{
    store dialog(this);
    dialog.exec();
}

void Zorv::showPORTS()
{
    PORTS dialog(this);
    dialog.exec();
}

void Zorv::showPORTE()
{
    PORTE dialog(Comm1, this);
    dialog.exec();
    m_commands->holdWhileDiscarding(dialog.takeDiscardingReader());
}

void Zorv::showSOUND()
{
    SOUND dialog(Comm1, this);
    dialog.exec();
}

void Zorv::showRX()
{
    RX dialog(Comm1, this);
    dialog.exec();
}

} // namespace zorv::console
