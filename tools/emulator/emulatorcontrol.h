#pragma once

#include <QByteArray>
#include <QString>

namespace zorv::emulator {

class ReaderEmulator;

// The emulator's control language, one command a line (stdin of zorv900-emulator):
//   <text>                 presents <text> & CR, like a card held to the reader
//   :present TEXT          the same, for text that starts with ':'
//   :reply KEY TEXT        replaces the reply for KEY (see ReaderEmulator)
//   :default KEY           back to the reader's own reply for KEY
//   :delay KEY MS          holds KEY's reply back MS milliseconds
//   :withhold KEY          never answers KEY; :release KEY answers again
//   :reset                 every reply, delay and withhold back to normal
//   :slot N CODE RELAY     fills slot N (1..10) with a 12-character code, relay digit 0/1
//   :empty N               empties slot N; :empty all empties every slot
//   :config HEX            the five configuration bytes, as 10 hex digits (ffffffff4d)
//   :gtap LINE|LINE|...    the lines answered to GTAP
//   :raw TEXT              sends TEXT as it is
//   :received              answers "RECEIVED <hex of every byte received>"
//   :clear                 forgets the bytes received so far
//   :unplug                closes the terminal: the program sees its device vanish
//   :quit                  ends the emulator
// TEXT may hold the escapes \r \n \t \\ and \xNN. Every command is answered with one line:
// "OK", "RECEIVED ...", "BYE" or "ERROR <reason>".
QByteArray unescape(const QByteArray &text);
QByteArray runControl(ReaderEmulator &emulator, const QByteArray &line, bool *quit);

} // namespace zorv::emulator
