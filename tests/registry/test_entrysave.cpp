#include "entrysave.h"
#include "registryfile.h"

#include "testsupport.h"
#include "text.h"

#include <gtest/gtest.h>

using namespace zorv;
using namespace zorv::registry;

namespace {

CustomerInput rossi()
{
    CustomerInput in;
    in.nome = "ROSSI MARIO";
    in.indirizzo = "VIA PO 3";
    in.citta = "ROMA";
    in.accessi = "5";
    in.telefono = "06 1234";
    in.numeroCarta = "123456789012";
    in.accessiEffettuati = "41";
    in.relay = "1";
    in.ordini = {"1", "2", "3", "4", "5", "6"};
    return in;
}

Record named(const QByteArray &nome)
{
    CustomerInput in = rossi();
    in.nome = nome;
    return Record::compose(in);
}

// The customer as a station rewrote it: credit and count only.
Record afterAGrant(Record r, const QByteArray &credit, const QByteArray &count)
{
    r.setRaw(fields::Accessi, credit);
    r.setRaw(fields::AccessiEffettuati, count);
    return r;
}

} // namespace

TEST(MergeEdit, FieldsTheOperatorLeftAloneKeepWhatTheFileHoldsNow)
{
    const Record loaded = Record::compose(rossi());
    const Record granted = afterAGrant(loaded, "4", "42");
    struct Case {
        const char *name;
        void (*edit)(CustomerInput &);
        QByteArray credit, count, telefono;
    };
    const Case cases[] = {
        {"only the telephone", [](CustomerInput &in) { in.telefono = "06 9999"; }, "4", "42", "06 9999"},
        {"a typed credit wins", [](CustomerInput &in) { in.accessi = "20"; }, "20", "42", "06 1234"},
        {"a typed count wins", [](CustomerInput &in) { in.accessiEffettuati = "0"; }, "4", "0", "06 1234"},
        {"a pass replaces a count", [](CustomerInput &in) { in.accessi = "d31-12-2030"; }, "D31-12-2030", "42",
         "06 1234"},
        {"nothing changed", [](CustomerInput &) {}, "4", "42", "06 1234"},
    };
    for (const Case &c : cases) {
        CustomerInput in = rossi();
        c.edit(in);
        const Record merged = mergeEdit(loaded, Record::compose(in), granted);
        EXPECT_EQ(merged.trimmed(fields::Accessi), c.credit) << c.name;
        EXPECT_EQ(merged.trimmed(fields::AccessiEffettuati), c.count) << c.name;
        EXPECT_EQ(merged.trimmed(fields::Telefono), c.telefono) << c.name;
        EXPECT_EQ(merged.trimmed(fields::Nome), QByteArray("ROSSI MARIO")) << c.name;
        EXPECT_EQ(merged.raw(fields::Ordini), loaded.raw(fields::Ordini)) << c.name;
    }
}

TEST(MergeEdit, UntouchedBytesComeFromTheFileAndTheFormsOwnFieldsFromTheForm)
{
    const Record loaded = Record::compose(rossi());
    // A field the form would write otherwise (lower case, written by hand) stays as stored
    // while the operator does not touch it.
    QByteArray raw = afterAGrant(loaded, "4", "42").bytes();
    raw.replace(fields::Indirizzo.offset, 8, "via po 3");
    raw.replace(fields::Riservato.offset, 15, QByteArray(15, ' '));
    raw.replace(fields::Separatore.offset, 2, "..");
    const Record current(raw);
    CustomerInput in = rossi();
    in.citta = "milano";
    const Record edited = Record::compose(in);
    const Record merged = mergeEdit(loaded, edited, current);
    EXPECT_EQ(merged.raw(fields::Indirizzo), current.raw(fields::Indirizzo));
    EXPECT_EQ(text::trimSpaces(merged.citta()), QByteArray("MILANO"));
    EXPECT_EQ(merged.raw(fields::Riservato), QByteArray(15, '\0'));
    EXPECT_EQ(merged.raw(fields::Separatore), QByteArray("<>"));
}

class SaveEntry : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int n = 1; n <= 3; ++n)
            ASSERT_TRUE(registry.write(n, Record::compose(rossi())).isEmpty());
    }
    QByteArray stored() const { return dir.read("CLIENTI.DAT"); }
    test::TempFolder dir;
    const RegistryFile registry{dir.file("CLIENTI.DAT")};
};

TEST_F(SaveEntry, ChangeIsMergedOverTheRecordAsTheFileHoldsItAtSaving)
{
    const Record loaded = *registry.read(2);
    // A station grants the customer after the form loaded it.
    ASSERT_TRUE(registry.write(2, afterAGrant(loaded, "4", "42")).isEmpty());
    CustomerInput in = rossi();
    in.telefono = "06 9999";
    const EntrySave s = saveEntry(registry, 2, EntryMode::Change, loaded, Record::compose(in));
    EXPECT_EQ(s.outcome, EntrySave::Written);
    const Record after = *registry.read(2);
    EXPECT_EQ(after.trimmed(fields::Accessi), QByteArray("4"));
    EXPECT_EQ(after.trimmed(fields::AccessiEffettuati), QByteArray("42"));
    EXPECT_EQ(after.trimmed(fields::Telefono), QByteArray("06 9999"));
    EXPECT_EQ(registry.count(), 3);
}

TEST_F(SaveEntry, ANumberThatChangedStateMeanwhileIsNeverOverwritten)
{
    const Record edited = Record::compose(rossi());
    ASSERT_TRUE(registry.write(3, Record::deleted()).isEmpty());
    const QByteArray before = stored();
    struct Case {
        const char *name;
        int number;
        EntryMode mode;
        EntrySave::Outcome outcome;
    };
    const Case cases[] = {
        {"a new customer under a number taken meanwhile", 3, EntryMode::New, EntrySave::NumberTaken},
        {"a deleted number that is live again", 2, EntryMode::Reassign, EntrySave::NumberInUse},
        {"a change of a customer deleted meanwhile", 3, EntryMode::Change, EntrySave::Deleted},
    };
    for (const Case &c : cases) {
        const EntrySave s = saveEntry(registry, c.number, c.mode, edited, edited);
        EXPECT_EQ(s.outcome, c.outcome) << c.name;
        EXPECT_EQ(stored(), before) << c.name;
    }
    EXPECT_EQ(saveEntry(registry, 3, EntryMode::New, edited, edited).freeNumber, 4);
}

TEST_F(SaveEntry, NewCustomersAndDeletedNumbersAreWrittenWhole)
{
    ASSERT_TRUE(registry.write(2, Record::deleted()).isEmpty());
    CustomerInput in = rossi();
    in.nome = "VERDI LUCA";
    const Record verdi = Record::compose(in);
    EXPECT_EQ(saveEntry(registry, 2, EntryMode::Reassign, Record(), verdi).outcome, EntrySave::Written);
    EXPECT_EQ(registry.read(2)->bytes(), verdi.bytes());
    EXPECT_EQ(saveEntry(registry, 4, EntryMode::New, Record(), verdi).outcome, EntrySave::Written);
    EXPECT_EQ(registry.read(4)->bytes(), verdi.bytes());
    EXPECT_EQ(registry.count(), 4);
}

TEST(EntryChecks, TheNumberForTheModeThenTheRequiredFields)
{
    struct Case {
        const char *name;
        EntryMode mode;
        int typed, loaded;
        const char *nome, *citta;
        EntryCheck number, fields;
    };
    const Case cases[] = {
        {"a new customer", EntryMode::New, 13, 0, "rossi", "roma", EntryCheck::Accepted, EntryCheck::Accepted},
        {"the last number there is", EntryMode::New, kMaxCustomers, 0, "rossi", "roma", EntryCheck::Accepted,
         EntryCheck::Accepted},
        {"one past it", EntryMode::New, kMaxCustomers + 1, 0, "rossi", "roma", EntryCheck::RegistryFull,
         EntryCheck::Accepted},
        {"a loaded customer", EntryMode::Change, 7, 7, "rossi", "roma", EntryCheck::Accepted, EntryCheck::Accepted},
        {"a deleted number taken back", EntryMode::Reassign, 7, 7, "rossi", "roma", EntryCheck::Accepted,
         EntryCheck::Accepted},
        {"another number typed", EntryMode::Change, 8, 7, "rossi", "roma", EntryCheck::OtherNumber,
         EntryCheck::Accepted},
        {"a number typed, none loaded", EntryMode::Change, 8, 0, "rossi", "roma", EntryCheck::OtherNumber,
         EntryCheck::Accepted},
        {"the number box emptied", EntryMode::Reassign, 0, 7, "rossi", "roma", EntryCheck::OtherNumber,
         EntryCheck::Accepted},
        {"nothing loaded", EntryMode::Change, 0, 0, "rossi", "roma", EntryCheck::NothingLoaded,
         EntryCheck::Accepted},
        {"a blank name", EntryMode::New, 13, 0, "   ", "roma", EntryCheck::Accepted, EntryCheck::NameMissing},
        {"the name before the city", EntryMode::Change, 7, 7, "", "", EntryCheck::Accepted,
         EntryCheck::NameMissing},
        {"a blank city", EntryMode::Change, 7, 7, " rossi ", "  ", EntryCheck::Accepted, EntryCheck::CityMissing},
    };
    for (const Case &c : cases) {
        EntryForm form;
        form.mode = c.mode;
        form.typedNumber = c.typed;
        form.loadedNumber = c.loaded;
        form.name = QString::fromUtf8(c.nome);
        form.city = QString::fromUtf8(c.citta);
        EXPECT_EQ(checkEntryNumber(form), c.number) << c.name;
        EXPECT_EQ(checkEntryFields(form), c.fields) << c.name;
    }
}

TEST_F(SaveEntry, OnlyANewCustomerWithALiveNameOnFileIsAskedAbout)
{
    ASSERT_TRUE(registry.write(2, Record::deleted()).isEmpty());
    ASSERT_TRUE(registry.write(3, named("bianchi")).isEmpty());
    ASSERT_TRUE(registry.write(4, named(" rossi  mario")).isEmpty()); // inner spaces count
    struct Case {
        const char *name;
        EntryMode mode;
        QByteArray nome;
        NameCheck::Outcome outcome;
    };
    const Case cases[] = {
        {"a name on file", EntryMode::New, " rossi mario ", NameCheck::OnFile},
        {"with its own spacing", EntryMode::New, "ROSSI  MARIO", NameCheck::OnFile},
        {"a prefix of a name", EntryMode::New, "rossi", NameCheck::Free},
        {"a change", EntryMode::Change, "bianchi", NameCheck::Free},
        {"a deleted number taken back", EntryMode::Reassign, "rossi mario", NameCheck::Free},
    };
    for (const Case &c : cases) {
        const NameCheck check = checkName(registry, c.mode, named(c.nome));
        EXPECT_EQ(check.outcome, c.outcome) << c.name;
        EXPECT_EQ(check.name, text::upper(text::trimSpaces(c.nome))) << c.name;
    }

    // Only deleted customers had it.
    ASSERT_TRUE(registry.write(1, Record::deleted()).isEmpty());
    ASSERT_TRUE(registry.write(4, Record::deleted()).isEmpty());
    EXPECT_EQ(checkName(registry, EntryMode::New, named("rossi mario")).outcome, NameCheck::Free);

    const RegistryFile unreadable(dir.path()); // a folder, not a file
    const NameCheck failed = checkName(unreadable, EntryMode::New, named("rossi mario"));
    EXPECT_EQ(failed.outcome, NameCheck::Failed);
    EXPECT_FALSE(failed.error.isEmpty());
    EXPECT_EQ(checkName(unreadable, EntryMode::Change, named("rossi mario")).outcome, NameCheck::Free);
}

TEST_F(SaveEntry, DeletionOverwritesTheOneRecordAndKeepsTheFileLength)
{
    const QByteArray before = stored();
    const Deletion d = deleteCustomer(registry, 2);
    EXPECT_EQ(d.outcome, Deletion::Written);
    const QByteArray after = stored();
    ASSERT_EQ(after.size(), 3 * kRecordSize);
    EXPECT_EQ(after.mid(kRecordSize, kRecordSize), QByteArray(kRecordSize, '*'));
    EXPECT_EQ(after.left(kRecordSize), before.left(kRecordSize));
    EXPECT_EQ(after.mid(2 * kRecordSize), before.mid(2 * kRecordSize));
}

TEST_F(SaveEntry, DeletionThatFindsNothingToDeleteWritesNothing)
{
    ASSERT_TRUE(registry.write(2, Record::deleted()).isEmpty());
    const QByteArray before = stored();
    const Deletion again = deleteCustomer(registry, 2);
    EXPECT_EQ(again.outcome, Deletion::AlreadyDeleted);
    EXPECT_TRUE(again.error.isEmpty());
    EXPECT_EQ(stored(), before);

    const Deletion failed = deleteCustomer(RegistryFile(dir.file("no/such/folder/CLIENTI.DAT")), 1);
    EXPECT_EQ(failed.outcome, Deletion::Failed);
    EXPECT_FALSE(failed.error.isEmpty());
    EXPECT_EQ(stored(), before);

    // The file got shorter after the operator confirmed customer 3.
    dir.write("CLIENTI.DAT", before.left(2 * kRecordSize));
    const Deletion shorter = deleteCustomer(registry, 3);
    EXPECT_EQ(shorter.outcome, Deletion::Beyond);
    EXPECT_EQ(shorter.count, 2);
    EXPECT_TRUE(shorter.error.isEmpty());
    EXPECT_EQ(stored(), before.left(2 * kRecordSize));
}
