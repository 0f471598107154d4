#pragma once

#include <QString>

namespace zorv::registry {

// The values database's windows hand to one another (an empty string or 0 means none or
// cancelled). One instance for the program.
struct DbState {
    QString Percorso;     // data folder, ending in '/'
    QString FileClienti;  // Percorso + "CLIENTI.DAT"
    int NumCliente = 0;   // customer chosen in one window for the next
    int NuovoCliente = 0; // entry form mode: 1 new customer, 0 change
    QString CittaScelta;  // city filter, trimmed and upper case
    QString StatoScelto;  // "Stato" filter, trimmed and upper case
    int StampaDa = 0;     // first list line to print (0 = cancelled)
    int StampaA = 0;      // last list line to print
    int PrimaVolta = 0;   // 1: the next activation of a quick list fills it

    static DbState &instance();
};

inline DbState &db() { return DbState::instance(); }

} // namespace zorv::registry
