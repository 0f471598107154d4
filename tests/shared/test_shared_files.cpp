#include "cardcheck.h"
#include "entrysave.h"
#include "filelock.h"
#include "fixtures.h"
#include "movfixture.h"
#include "registryfile.h"

#include "fakemessageboxes.h"
#include "items.h"

#include <QDate>
#include <QFile>

#include <gtest/gtest.h>

#include <memory>

using namespace zorv;
using namespace zorv::test;
namespace fields = zorv::registry::fields;
using registry::Record;
using movimenti::RecordArticolo;

namespace {

const QByteArray kCarta = "123456789012";

// Starts every program, lets them go together and waits until each has done its rounds.
void runTogether(const QList<QStringList> &programs)
{
    std::vector<std::unique_ptr<OtherProgram>> running;
    for (const QStringList &arguments : programs)
        running.push_back(std::make_unique<OtherProgram>(arguments));
    for (auto &p : running)
        ASSERT_TRUE(p->waitReady()) << p->errors().toStdString();
    for (auto &p : running)
        p->go();
    for (auto &p : running)
        EXPECT_TRUE(p->finishedWell()) << p->errors().toStdString();
}

QList<QByteArray> movOutcomes(const TempFolder &folder)
{
    QList<QByteArray> out;
    const auto all = items::readAll(folder.read(QStringLiteral("mov.txt")));
    for (qsizetype i = 6; i < all.size(); i += 7)
        out.append(all[i]);
    return out;
}

} // namespace

TEST(SharedRegistry, TwoStationsGrantingOneCardCountEveryAccess)
{
    TempFolder folder;
    const Record other = cliente("ALTRO", "999999999999", "3");
    scriviRegistro(folder, {other, cliente("ROSSI MARIO", kCarta, "5000", "7"), other});
    constexpr int kRounds = 1000;
    runTogether({{"card", folder.path(), QString::fromLatin1(kCarta), QString::number(kRounds)},
                 {"card", folder.path(), QString::fromLatin1(kCarta), QString::number(kRounds)}});

    const Record after(recordDi(folder, 2));
    EXPECT_EQ(after.trimmed(fields::Accessi), QByteArray::number(5000 - 2 * kRounds));
    EXPECT_EQ(after.trimmed(fields::AccessiEffettuati), QByteArray::number(7 + 2 * kRounds));
    EXPECT_EQ(recordDi(folder, 1), other.bytes());
    EXPECT_EQ(recordDi(folder, 3), other.bytes());
    const QList<QByteArray> outcomes = movOutcomes(folder);
    EXPECT_EQ(outcomes.size(), 2 * kRounds);
    EXPECT_EQ(outcomes.count("Autorizzato"), 2 * kRounds);
}

TEST(SharedRegistry, EntryFormSavesKeepEveryAccessAStationCountsMeanwhile)
{
    TempFolder folder;
    scriviRegistro(folder, {cliente("ALTRO", "999999999999", "3"), cliente("ROSSI MARIO", kCarta, "5000", "7")});
    constexpr int kCards = 1500;
    constexpr int kSaves = 150;
    runTogether({{"card", folder.path(), QString::fromLatin1(kCarta), QString::number(kCards)},
                 {"edit", folder.file(QStringLiteral("CLIENTI.DAT")), "2", QString::number(kSaves)}});

    const Record after(recordDi(folder, 2));
    EXPECT_EQ(after.trimmed(fields::Accessi), QByteArray::number(5000 - kCards));
    EXPECT_EQ(after.trimmed(fields::AccessiEffettuati), QByteArray::number(7 + kCards));
    // Every save wrote its change: the last one is what the file holds.
    EXPECT_EQ(after.trimmed(fields::Telefono), "T" + QByteArray::number(kSaves - 1));
    EXPECT_EQ(after.trimmed(fields::Nome), QByteArray("ROSSI MARIO"));
}

TEST(SharedStock, TwoProgramsBookingOneArticleCountEveryBooking)
{
    TempFolder folder;
    const RecordArticolo first = movimenti::test::article("111", "0");
    folder.write(QStringLiteral("ART.MAG"),
                 movimenti::test::artMag({first, movimenti::test::article("8001234567890", "10")}));
    constexpr int kRounds = 500;
    const QString percorso = folder.path() + u'/';
    runTogether({{"book", percorso, "8001234567890", QString::number(kRounds)},
                 {"book", percorso, "8001234567890", QString::number(kRounds)}});

    const QByteArray all = folder.read(QStringLiteral("ART.MAG"));
    ASSERT_EQ(all.size(), 2 * RecordArticolo::Size);
    EXPECT_EQ(all.left(RecordArticolo::Size), first.bytes());
    const RecordArticolo after(all.mid(RecordArticolo::Size));
    EXPECT_EQ(after.trimmed(RecordArticolo::Giacenza), QByteArray::number(10 + 2 * kRounds));
    EXPECT_EQ(after.trimmed(RecordArticolo::Progressivo), QByteArray::number(100 + 2 * kRounds));
}

// Another program holds the lock of a data file for longer than anyone waits for it.
class HeldByAnother : public ::testing::Test {
protected:
    void hold(const QString &name)
    {
        holder = std::make_unique<OtherProgram>(QStringList{"hold", folder.file(name)});
        ASSERT_TRUE(holder->waitReady()) << holder->errors().toStdString();
    }
    SystemClockInstalled clock;
    TempFolder folder;
    std::unique_ptr<OtherProgram> holder;
};

TEST_F(HeldByAnother, RecordUpdateFailsAndWritesNothing)
{
    scriviRegistro(folder, {cliente("ROSSI MARIO", kCarta, "5", "41")});
    const QByteArray before = folder.read(QStringLiteral("CLIENTI.DAT"));
    hold(QStringLiteral("CLIENTI.DAT"));
    const registry::RegistryFile file(folder.file(QStringLiteral("CLIENTI.DAT")));
    bool asked = false;
    const QString error = file.update(
        1,
        [&](const std::optional<Record> &) -> std::optional<Record> {
            asked = true;
            return Record::deleted();
        },
        300);
    EXPECT_TRUE(error.contains(QStringLiteral("CLIENTI.DAT e' in uso da un altro programma"))) << error.toStdString();
    EXPECT_FALSE(asked);
    const auto saved = registry::saveEntry(file, 2, registry::EntryMode::New, Record(), cliente("NUOVO", "", "1"));
    EXPECT_EQ(saved.outcome, registry::EntrySave::Failed);
    EXPECT_FALSE(saved.error.isEmpty());
    EXPECT_EQ(folder.read(QStringLiteral("CLIENTI.DAT")), before);

    // Once the other program lets go, the same update goes through.
    ASSERT_TRUE(holder->finishedWell());
    EXPECT_TRUE(file.update(1, [](const std::optional<Record> &) { return std::optional(Record::deleted()); }).isEmpty());
    EXPECT_TRUE(file.read(1)->isDeleted());
}

TEST_F(HeldByAnother, CardCheckRefusesAGrantItCannotCountAndStillLogsARefusal)
{
    const Record rossi = cliente("ROSSI MARIO", kCarta, "5", "41");
    const Record scaduto = cliente("VERDI LUCA", "EXPIREDCARD1", "D31-12-2015", "3");
    scriviRegistro(folder, {rossi, scaduto});
    hold(QStringLiteral("CLIENTI.DAT"));

    stations::StatoStazione stato;
    const auto granted = stations::controllacarta(folder.path(), kCarta, stato);
    EXPECT_TRUE(granted.rifiutata);
    EXPECT_TRUE(stato.CodiceEsito.isEmpty());
    EXPECT_TRUE(stato.UltimaCarta.isEmpty());
    ASSERT_EQ(granted.guasti.size(), 1);
    EXPECT_TRUE(granted.guasti[0].contains(QStringLiteral("CLIENTI.DAT non aggiornato"))) << granted.guasti[0].toStdString();
    EXPECT_TRUE(granted.guasti[0].contains(QStringLiteral("in uso da un altro programma")));
    EXPECT_EQ(granted.etichette->Label4, "Non autorizzato");

    // A refusal needs no write: it is decided and logged as ever.
    const auto expired = stations::controllacarta(folder.path(), "EXPIREDCARD1", stato);
    EXPECT_TRUE(expired.guasti.isEmpty());
    EXPECT_EQ(stato.CodiceEsito, "S");

    EXPECT_EQ(recordDi(folder, 1), rossi.bytes());
    EXPECT_EQ(recordDi(folder, 2), scaduto.bytes());
    EXPECT_EQ(movOutcomes(folder), (QList<QByteArray>{"Non autorizzato", "Carta Scaduta"}));
}

TEST_F(HeldByAnother, BookingFailsWithItsMessageAndBooksNothing)
{
    folder.write(QStringLiteral("ART.MAG"), movimenti::test::artMag({movimenti::test::article("8001234567890", "10")}));
    const QByteArray before = folder.read(QStringLiteral("ART.MAG"));
    hold(QStringLiteral("ART.MAG"));

    FakeMessageBoxes boxes;
    const ScopedService<MessageBoxes> installed(&boxes);
    movimenti::Movimenti m(folder.path() + u'/');
    const auto b = m.registraarticolo(movimenti::test::entry("8001234567890", "3", true));
    EXPECT_EQ(b.outcome, movimenti::Booking::Failed);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.last().text.startsWith(QStringLiteral("ART.MAG non aggiornato, articolo non registrato")));
    EXPECT_TRUE(boxes.last().text.contains(QStringLiteral("in uso da un altro programma")));
    EXPECT_EQ(m.grid().rowCount(), 1);
    EXPECT_EQ(folder.read(QStringLiteral("ART.MAG")), before);
}
