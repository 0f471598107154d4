#include "entrysave.h"

#include "namesearch.h"
#include "text.h"

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

EntryCheck checkEntryNumber(const EntryForm &form)
{
    if (form.mode == EntryMode::New)
        return form.typedNumber > kMaxCustomers ? EntryCheck::RegistryFull : EntryCheck::Accepted;
    if (form.typedNumber != form.loadedNumber)
        return EntryCheck::OtherNumber;
    if (form.loadedNumber == 0)
        return EntryCheck::NothingLoaded;
    return EntryCheck::Accepted;
}

EntryCheck checkEntryFields(const EntryForm &form)
{
    if (text::trimSpaces(QStringView(form.name)).isEmpty())
        return EntryCheck::NameMissing;
    if (text::trimSpaces(QStringView(form.city)).isEmpty())
        return EntryCheck::CityMissing;
    return EntryCheck::Accepted;
}

NameCheck checkName(const RegistryFile &registry, EntryMode mode, const Record &record)
{
    NameCheck result;
    result.name = record.trimmed(fields::Nome);
    if (mode != EntryMode::New) {
        result.outcome = NameCheck::Free;
        return result;
    }
    const auto found = findByName(registry, result.name, &result.error);
    if (found)
        result.outcome = *found > 0 ? NameCheck::OnFile : NameCheck::Free;
    return result;
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

Deletion deleteCustomer(const RegistryFile &registry, int number)
{
    Deletion result;
    result.outcome = Deletion::Written;
    const QString error = registry.update(number, [&](const std::optional<Record> &current) -> std::optional<Record> {
        if (!current) {
            result.outcome = Deletion::Beyond;
            return std::nullopt;
        }
        if (current->isDeleted()) {
            result.outcome = Deletion::AlreadyDeleted;
            return std::nullopt;
        }
        return Record::deleted();
    });
    if (!error.isEmpty()) {
        result.outcome = Deletion::Failed;
        result.error = error;
    } else if (result.outcome == Deletion::Beyond) {
        result.count = registry.count();
    }
    return result;
}

} // namespace zorv::registry
