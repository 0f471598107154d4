#pragma once

#include "record.h"
#include "registryfile.h"

#include <QString>

namespace zorv::registry {

// The record the entry form writes over a customer it changed: the value the operator
// gave each field he changed (`edited` differs from `loaded`, both built by the form's
// rules), and for every other field what the file holds now (`current`), so a count or
// credit that a station wrote after the form loaded the customer survives the save.
// Riservato and Separatore are the form's own and come from `edited`.
Record mergeEdit(const Record &loaded, const Record &edited, const Record &current);

enum class EntryMode {
    New,      // a new customer, appended as the next free number
    Reassign, // a deleted number given to a new customer
    Change,   // a loaded customer written back
};

struct EntrySave {
    enum Outcome {
        Written,
        NumberTaken,   // New: the number was taken meanwhile; `freeNumber` is the next free one
        NumberInUse,   // Reassign: the number is no longer deleted
        Deleted,       // Change: the customer was deleted meanwhile
        Failed,        // the lock, the read or the write failed: `error`
    } outcome = Failed;
    int freeNumber = 0;
    QString error;
};

// The entry form's save of record `number`, decided and written under the registry's
// lock from the record as the file holds it at that moment. Nothing is written unless
// the outcome is Written.
EntrySave saveEntry(const RegistryFile &registry, int number, EntryMode mode, const Record &loaded,
                    const Record &edited);

} // namespace zorv::registry
