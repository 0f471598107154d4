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
