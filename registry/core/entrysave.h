#pragma once

#include "record.h"
#include "registryfile.h"

#include <QByteArray>
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

// What the entry form holds when "Salva" is pressed.
struct EntryForm {
    EntryMode mode = EntryMode::Change;
    int typedNumber = 0;  // the number in the number box
    int loadedNumber = 0; // the customer the form loaded; 0: none (the edit modes)
    QString name;
    QString city;
};

enum class EntryCheck {
    Accepted,
    RegistryFull,  // New: the number is past kMaxCustomers
    OtherNumber,   // edit modes: the box holds another number than the one loaded: load it
    NothingLoaded, // edit modes: no customer loaded
    NameMissing,   // blank after trimming
    CityMissing,
};

// The save checks, in this order: the credit text (creditAccepted), the number for the
// mode (checkEntryNumber), the fields the form requires (checkEntryFields: the name, then
// the city), and in New mode the name on file (checkName); then saveEntry writes.
EntryCheck checkEntryNumber(const EntryForm &form);
EntryCheck checkEntryFields(const EntryForm &form);

struct NameCheck {
    enum Outcome {
        Free,   // no live customer has the name, or the mode is not New
        OnFile, // New: a live customer has it: the form asks before adding another
        Failed, // the file could not be read: `error`
    } outcome = Failed;
    QByteArray name; // the name as the record stores it, trimmed
    QString error;
};

// The duplicate-name check of a new customer's record; the other modes never ask.
NameCheck checkName(const RegistryFile &registry, EntryMode mode, const Record &record);

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

struct Deletion {
    enum Outcome {
        Written,
        AlreadyDeleted, // nothing written
        Beyond,         // the file got shorter meanwhile and ends right before the number: `count`
        Failed,         // the lock, the read or the write failed: `error`
    } outcome = Failed;
    int count = 0;
    QString error;
};

// The deletion of customer `number` (246 '*' in its place, the file keeps its length),
// decided and written under the registry's lock after the operator confirmed it, so a
// station's rewrite of the customer cannot fall in between.
Deletion deleteCustomer(const RegistryFile &registry, int number);

} // namespace zorv::registry
