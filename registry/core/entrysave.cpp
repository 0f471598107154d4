#include "entrysave.h"

namespace zorv::registry {

Record mergeEdit(const Record &loaded, const Record &edited, const Record &current)
{
    static constexpr FieldSpec kEditable[] = {
        fields::Nome,   fields::Indirizzo, fields::Accessi,  fields::Telefono,  fields::NumeroCarta, fields::CAP,
        fields::AccessiEffettuati, fields::Prov, fields::Ordini, fields::Fatturato, fields::Relay,   fields::Citta,
    };
    Record out = edited;
    for (const FieldSpec &f : kEditable) {
        if (edited.raw(f) == loaded.raw(f))
            out.setRaw(f, current.raw(f));
    }
    return out;
}

EntrySave saveEntry(const RegistryFile &registry, int number, EntryMode mode, const Record &loaded,
                    const Record &edited)
{
    EntrySave result;
    result.outcome = EntrySave::Written;
    const QString error = registry.update(number, [&](const std::optional<Record> &current) -> std::optional<Record> {
        switch (mode) {
        case EntryMode::New:
            if (current) {
                result.outcome = EntrySave::NumberTaken;
                result.freeNumber = registry.count() + 1;
                return std::nullopt;
            }
            return edited;
        case EntryMode::Reassign:
            if (current && !current->isDeleted()) {
                result.outcome = EntrySave::NumberInUse;
                return std::nullopt;
            }
            return edited;
        case EntryMode::Change:
            if (!current || current->isDeleted()) {
                result.outcome = EntrySave::Deleted;
                return std::nullopt;
            }
            return mergeEdit(loaded, edited, *current);
        }
        return std::nullopt;
    });
    if (!error.isEmpty()) {
        result.outcome = EntrySave::Failed;
        result.error = error;
    }
    return result;
}

} // namespace zorv::registry
