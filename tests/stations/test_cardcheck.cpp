#include "cardcheck.h"
#include "fixtures.h"
#include "portacfg.h"

#include "fakeclock.h"
#include "items.h"
#include "record.h"
#include "service.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace zorv;
using namespace zorv::stations;
using namespace zorv::test;
namespace fields = zorv::registry::fields;

namespace {

const QByteArray kCarta = "123456789012";

class CardCheck : public ::testing::Test {
protected:
    CardCheck() : clockService(&fakeClock)
    {
        fakeClock.setNow(QDateTime(QDate(2026, 3, 7), QTime(9, 5, 3)));
    }
    RisultatoControllo check(const QByteArray &code = kCarta) { return controllacarta(folder.path(), code, stato); }
    QByteArray mov() const { return folder.read(QStringLiteral("mov.txt")); }

    FakeClock fakeClock;
    ScopedService<Clock> clockService;
    TempFolder folder;
    StatoStazione stato;
};

TEST_F(CardCheck, GrantedCountRewritesOnlyCreditAndCount)
{
    auto r = cliente("ROSSI MARIO", kCarta, "5", "41", "1");
    // Bytes the entry form never writes must survive the rewrite as they were read.
    QByteArray raw = r.bytes();
    raw[90] = '\x01';
    raw[fields::Citta.offset + 23] = '\xE8';
    scriviRegistro(folder, {cliente("ALTRO", "999999999999", "3"), registry::Record(raw)});

    const auto res = check();
    ASSERT_TRUE(res.etichette);
    EXPECT_TRUE(res.guasti.isEmpty());
    EXPECT_EQ(stato.CodiceEsito, "A");
    EXPECT_EQ(stato.PortaCliente, "1");
    EXPECT_EQ(stato.UltimaCarta, kCarta);
    EXPECT_EQ(stato.OraUltimoAccesso, fakeClock.elapsedMs());

    QByteArray expected = raw;
    expected.replace(fields::Accessi.offset, 15, QByteArray("4").leftJustified(15, ' '));
    expected.replace(fields::AccessiEffettuati.offset, 30, QByteArray("42").leftJustified(30, ' '));
    EXPECT_EQ(recordDi(folder, 2), expected);
    EXPECT_EQ(recordDi(folder, 1), cliente("ALTRO", "999999999999", "3").bytes());

    const Etichette &e = *res.etichette;
    EXPECT_EQ(e.Label1, "ROSSI MARIO");
    EXPECT_EQ(e.Label2, "0002");
    EXPECT_EQ(e.Label3, kCarta);
    EXPECT_EQ(e.Label6, "1");
    EXPECT_EQ(e.Label4, "Autorizzato");
    EXPECT_EQ(e.Label8, "4");
    EXPECT_EQ(e.Label7, "42");
    EXPECT_EQ(e.Label5, 0xC000u);
    EXPECT_EQ(mov(), QByteArray("\"0002\",\"ROSSI MARIO\",\"123456789012\",\"1\",\"07/03/2026\",\"09:05:03\",\"Autorizzato\"\r\n"));
}

struct Case {
    const char *name;
    QByteArray accessi;
    QByteArray effettuati;
    QByteArray esito;       // CodiceEsito
    QByteArray label4;
    QByteArray label8;
    QByteArray label7;
    unsigned colour;
    QByteArray movEsito;
    QByteArray storedCredit; // after the check; empty: unchanged
    QByteArray storedCount;  // after the check; empty: unchanged
};

class Outcomes : public CardCheck, public ::testing::WithParamInterface<Case> {};

TEST_P(Outcomes, Table)
{
    const Case &c = GetParam();
    const auto before = cliente("BIANCHI ANNA", kCarta, c.accessi, c.effettuati, "2");
    scriviRegistro(folder, {before});
    const auto res = check();
    ASSERT_TRUE(res.etichette);
    EXPECT_EQ(stato.CodiceEsito, c.esito);
    EXPECT_EQ(res.etichette->Label4, c.label4);
    EXPECT_EQ(res.etichette->Label8, c.label8);
    EXPECT_EQ(res.etichette->Label7, c.label7);
    EXPECT_EQ(res.etichette->Label5, c.colour);
    EXPECT_FALSE(res.rifiutata);
    EXPECT_TRUE(mov().endsWith(",\"" + c.movEsito + "\"\r\n")) << mov().constData();
    EXPECT_TRUE(mov().startsWith("\"0001\",\"BIANCHI ANNA\",\"123456789012\",\"2\",")) << mov().constData();

    const registry::Record after(recordDi(folder, 1));
    if (c.storedCredit.isEmpty() && c.storedCount.isEmpty()) {
        EXPECT_EQ(after, before);
    } else {
        EXPECT_EQ(after.trimmed(fields::Accessi), c.storedCredit);
        EXPECT_EQ(after.trimmed(fields::AccessiEffettuati), c.storedCount);
        // Every other byte is the one read.
        QByteArray expected = before.bytes();
        expected.replace(fields::Accessi.offset, fields::Accessi.width,
                         c.storedCredit.leftJustified(fields::Accessi.width, ' '));
        expected.replace(fields::AccessiEffettuati.offset, fields::AccessiEffettuati.width,
                         c.storedCount.leftJustified(fields::AccessiEffettuati.width, ' '));
        EXPECT_EQ(after.bytes(), expected);
    }
    if (c.esito == "A")
        EXPECT_EQ(stato.UltimaCarta, kCarta);
    else
        EXPECT_TRUE(stato.UltimaCarta.isEmpty());
}

// Today is 07-03-2026 on the fake clock.
INSTANTIATE_TEST_SUITE_P(
    CardCheck, Outcomes,
    ::testing::Values(
        Case{"PassExpiringToday", "D07-03-2026", "3", "A", "Autorizzato", "D07-03-2026", "4", 0xC000, "Autorizzato",
             "D07-03-2026", "4"},
        Case{"PassExpiredYesterday", "D06-03-2026", "3", "S", "Carta Scaduta", "D06-03-2026", "3", 0xFFFF,
             "Carta Scaduta", "", ""},
        Case{"PassWithoutADate", "D31-02-2026", "3", "S", "Carta Scaduta", "D31-02-2026", "3", 0xFFFF,
             "Carta Scaduta", "", ""},
        Case{"PassWithGarbage", "DXX", "", "S", "Carta Scaduta", "DXX", "0", 0xFFFF, "Carta Scaduta", "", ""},
        Case{"LastCredit", "1", "9", "A", "Autorizzato", "0", "10", 0xC000, "Autorizzato", "0", "10"},
        Case{"NoCreditLeft", "0", "10", "E", "Credito Esaurito", "0", "10", 0xFFFF, "Esaurito", "", ""},
        Case{"BlankCreditBlankCount", "", "", "E", "Credito Esaurito", "", "0", 0xFFFF, "Esaurito", "", ""},
        Case{"BlankCountGranted", "7", "", "A", "Autorizzato", "6", "1", 0xC000, "Autorizzato", "6", "1"},
        Case{"NegativeCredit", "-2", "1", "E", "Credito Esaurito", "-2", "1", 0xFFFF, "Esaurito", "", ""},
        // Exponents past a double's range count as any too large or too small number does.
        Case{"CountWithAHugeExponent", "7", "1e9223372036854775807", "A", "Autorizzato", "6", "inf", 0xC000,
             "Autorizzato", "6", "inf"},
        Case{"CountWithATinyExponent", "7", "0.01e-9223372036854775808", "A", "Autorizzato", "6", "1", 0xC000,
             "Autorizzato", "6", "1"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(CardCheck, OnlyAnUpperCaseDMakesAPass)
{
    // A lower-case "d" the entry form would have upper-cased: no pass, and no number.
    auto r = cliente("NERI PAOLO", kCarta, "", "3");
    r.setRaw(fields::Accessi, "d31-12-2099");
    scriviRegistro(folder, {r});
    const auto res = check();
    EXPECT_EQ(stato.CodiceEsito, "E");
    EXPECT_EQ(res.etichette->Label4, "Credito Esaurito");
    EXPECT_EQ(res.etichette->Label8, "d31-12-2099");
    EXPECT_EQ(recordDi(folder, 1), r.bytes());
    EXPECT_TRUE(stato.UltimaCarta.isEmpty());
}

TEST_F(CardCheck, CreditOneThenZero)
{
    scriviRegistro(folder, {cliente("VERDI LUCA", kCarta, "1", "0")});
    check();
    EXPECT_EQ(stato.CodiceEsito, "A");
    const auto second = check();
    EXPECT_EQ(stato.CodiceEsito, "E");
    EXPECT_EQ(second.etichette->Label4, "Credito Esaurito");
    EXPECT_EQ(second.etichette->Label8, "0");
    const QList<QByteArray> lines = mov().split('\n');
    ASSERT_EQ(lines.size(), 3); // two lines and the empty rest
    EXPECT_TRUE(lines[0].endsWith("\"Autorizzato\"\r"));
    EXPECT_TRUE(lines[1].endsWith("\"Esaurito\"\r"));
}

TEST_F(CardCheck, UnregisteredCard)
{
    scriviRegistro(folder, {cliente("ROSSI MARIO", "111111111111", "5")});
    stato.PortaCliente = "1";
    stato.CodiceEsito = "A";
    const auto res = check();
    ASSERT_TRUE(res.etichette);
    EXPECT_TRUE(res.rifiutata);
    EXPECT_TRUE(stato.CodiceEsito.isEmpty());
    EXPECT_TRUE(stato.PortaCliente.isEmpty());
    EXPECT_EQ(res.etichette->Label1, "Sconosciuto");
    EXPECT_EQ(res.etichette->Label3, kCarta);
    EXPECT_EQ(res.etichette->Label4, "Non autorizzato");
    EXPECT_TRUE(res.etichette->Label2.isEmpty());
    EXPECT_TRUE(res.etichette->Label6.isEmpty());
    EXPECT_TRUE(res.etichette->Label7.isEmpty());
    EXPECT_TRUE(res.etichette->Label8.isEmpty());
    EXPECT_EQ(res.etichette->Label5, 0xFFu);
    EXPECT_EQ(mov(), QByteArray("\"######\",\"Sconosciuto\",\"123456789012\",\"0\",\"07/03/2026\",\"09:05:03\",\"Non autorizzato\"\r\n"));
}

TEST_F(CardCheck, TwoRecordsWithOneCardUseTheLowerNumber)
{
    const auto second = cliente("SECONDO", kCarta, "5", "0");
    scriviRegistro(folder, {cliente("PRIMO", kCarta, "5", "0"), second});
    const auto res = check();
    EXPECT_EQ(res.etichette->Label1, "PRIMO");
    EXPECT_EQ(registry::Record(recordDi(folder, 1)).trimmed(fields::Accessi), "4");
    EXPECT_EQ(recordDi(folder, 2), second.bytes());
}

TEST_F(CardCheck, DeletedRecordIsSkipped)
{
    // A deleted record is all '*'; the card "************" would match its card field.
    scriviRegistro(folder, {registry::Record::deleted(), cliente("VIVO", "************", "5")});
    const auto res = check("************");
    EXPECT_EQ(res.etichette->Label2, "0002");
    EXPECT_EQ(recordDi(folder, 1), registry::Record::deleted().bytes());
}

TEST_F(CardCheck, CardComparisonIsExact)
{
    scriviRegistro(folder, {cliente("ROSSI", "12345678901", "5"), cliente("BIANCHI", "abcdefghijkl", "5")});
    EXPECT_TRUE(check("123456789012").rifiutata);
    // The stored card is upper-cased by the entry form; a lower-case code never matches.
    EXPECT_TRUE(check("abcdefghijkl").rifiutata);
    EXPECT_FALSE(check("ABCDEFGHIJKL").rifiutata);
}

TEST_F(CardCheck, EmptyOrMissingRegistry)
{
    for (const bool missing : {true, false}) {
        if (!missing)
            folder.write(QStringLiteral("CLIENTI.DAT"), QByteArray(245, 'x'));
        const auto res = check();
        EXPECT_TRUE(res.registroVuoto);
        EXPECT_FALSE(res.etichette);
        EXPECT_TRUE(stato.CodiceEsito.isEmpty());
        EXPECT_TRUE(QFile::exists(folder.file(QStringLiteral("CLIENTI.DAT"))));
        EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("mov.txt"))));
    }
}

TEST_F(CardCheck, MissingRegistryIsCreatedEmpty)
{
    check();
    EXPECT_EQ(QFile(folder.file(QStringLiteral("CLIENTI.DAT"))).size(), 0);
}

TEST_F(CardCheck, TrailingPartialRecordIsNotRead)
{
    QByteArray data = registro({cliente("ROSSI", "111111111111", "5")});
    data += cliente("PARZIALE", kCarta, "5").bytes().left(200);
    folder.write(QStringLiteral("CLIENTI.DAT"), data);
    EXPECT_TRUE(check().rifiutata);
}

TEST_F(CardCheck, QuotesAndControlCharactersNeverBreakTheLine)
{
    // A name typed with a quote and a garbled code from the reader.
    auto r = cliente("D\"ANGELO", kCarta, "5");
    scriviRegistro(folder, {r});
    check();
    const QByteArray garbled("12\"4\x01" "6789012");
    check(garbled);
    const auto items = items::readAll(mov());
    ASSERT_EQ(items.size(), 14);
    EXPECT_EQ(items[1], "D'ANGELO");
    EXPECT_EQ(items[9], "12'4 6789012");
    EXPECT_EQ(items[13], "Non autorizzato");
}

TEST_F(CardCheck, GrantThatCannotBeCountedIsRefused)
{
    // Customer 10000 is beyond what the registry can hold: its record is never written.
    QList<registry::Record> all;
    for (int i = 0; i < registry::kMaxCustomers; ++i)
        all.append(cliente("RIEMPITIVO", "000000000000", "5"));
    const auto before = cliente("ROSSI MARIO", kCarta, "5", "41");
    all.append(before);
    scriviRegistro(folder, all);
    const auto res = check();
    EXPECT_TRUE(res.rifiutata);
    EXPECT_TRUE(stato.CodiceEsito.isEmpty());
    EXPECT_TRUE(stato.PortaCliente.isEmpty());
    EXPECT_TRUE(stato.UltimaCarta.isEmpty());
    ASSERT_EQ(res.guasti.size(), 1);
    EXPECT_TRUE(res.guasti[0].contains(QStringLiteral("CLIENTI.DAT non aggiornato"))) << res.guasti[0].toStdString();
    EXPECT_EQ(res.etichette->Label4, "Non autorizzato");
    EXPECT_EQ(res.etichette->Label5, 0xFFu);
    EXPECT_EQ(res.etichette->Label8, "5");
    EXPECT_EQ(res.etichette->Label7, "41");
    EXPECT_EQ(recordDi(folder, 10000), before.bytes());
    EXPECT_EQ(mov().left(31), QByteArray("\"10000\",\"ROSSI MARIO\",\"12345678"));
    EXPECT_TRUE(mov().endsWith(",\"Non autorizzato\"\r\n"));
}

TEST_F(CardCheck, LineThatCannotBeWrittenIsReportedAndTheGrantStands)
{
    scriviRegistro(folder, {cliente("ROSSI MARIO", kCarta, "5", "41")});
    // mov.txt is a folder: no line can be appended.
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("mov.txt")));
    const auto res = check();
    EXPECT_EQ(stato.CodiceEsito, "A");
    ASSERT_EQ(res.guasti.size(), 1);
    EXPECT_TRUE(res.guasti[0].contains(QStringLiteral("mov.txt non scritto")));
    EXPECT_TRUE(res.guasti[0].contains(QStringLiteral("ROSSI MARIO")));
    EXPECT_EQ(registry::Record(recordDi(folder, 1)).trimmed(fields::Accessi), "4");
}

TEST_F(CardCheck, UnreadableRegistryIsReported)
{
    // A folder where the registry should be: it exists but cannot be read.
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("CLIENTI.DAT")));
    const auto res = check();
    EXPECT_FALSE(res.registroVuoto);
    EXPECT_FALSE(res.etichette);
    ASSERT_EQ(res.guasti.size(), 1);
    EXPECT_TRUE(res.guasti[0].contains(QStringLiteral("CLIENTI.DAT non leggibile")));
    EXPECT_TRUE(stato.CodiceEsito.isEmpty());
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("mov.txt"))));
}

TEST(RigaMovimento, FormatAtMidnight)
{
    EXPECT_EQ(rigaMovimento("0007", "A B", "C", "2", QDateTime(QDate(2027, 12, 31), QTime(0, 0, 9)), "Esaurito"),
              QByteArray("\"0007\",\"A B\",\"C\",\"2\",\"31/12/2027\",\"00:00:09\",\"Esaurito\"\r\n"));
}

TEST(DataScadenza, Forms)
{
    EXPECT_EQ(dataScadenza("D31-12-2015"), QDate(2015, 12, 31));
    EXPECT_EQ(dataScadenza("D1-2-2030"), QDate(2030, 2, 1));
    EXPECT_FALSE(dataScadenza("D29-02-2027"));
    EXPECT_FALSE(dataScadenza("D"));
    EXPECT_FALSE(dataScadenza("D2015-12-31"));
}

TEST(DataScadenza, ReadsEveryPassTheEntryFormTakesAsTheSameDate)
{
    // The form is strict, the reading lenient: what one takes, the other reads.
    struct Case {
        const char *typed;
        QDate date;
    };
    const Case taken[] = {
        {"D31-12-2015", QDate(2015, 12, 31)},
        {"d01-02-2030", QDate(2030, 2, 1)},
        {"D29-02-2024", QDate(2024, 2, 29)},
    };
    for (const Case &c : taken) {
        ASSERT_TRUE(registry::creditAccepted(QString::fromLatin1(c.typed))) << c.typed;
        registry::CustomerInput in;
        in.accessi = c.typed;
        const QByteArray stored = registry::Record::compose(in).trimmed(fields::Accessi);
        EXPECT_EQ(dataScadenza(stored), c.date) << c.typed;
    }
    // Forms the form refuses but a pass on file may hold.
    for (const char *onFile : {"D1-2-2030", "D01/02/2030", "D1.2.2030", "D 01-02-2030"}) {
        EXPECT_FALSE(registry::creditAccepted(QString::fromLatin1(onFile))) << onFile;
        EXPECT_EQ(dataScadenza(onFile), QDate(2030, 2, 1)) << onFile;
    }
}

// porta.cfg

TEST(PortaCfg, ReadsTheFiveItems)
{
    TempFolder folder;
    folder.write(QStringLiteral("porta.cfg"), "3,19200\r\n2.5,30,\"A\"\r\n");
    QString error;
    const auto cfg = leggiconf(folder.path(), &error);
    ASSERT_TRUE(cfg) << error.toStdString();
    EXPECT_EQ(cfg->commPort(), 3);
    EXPECT_EQ(cfg->settings(), QStringLiteral("19200,n,8,1"));
    EXPECT_EQ(cfg->lockOutMs(), 2500);
    EXPECT_EQ(cfg->TempoRele, "30");
    EXPECT_TRUE(cfg->audio());
}

TEST(PortaCfg, AudioFlagIsCaseSensitive)
{
    TempFolder folder;
    folder.write(QStringLiteral("porta.cfg"), portaCfg("5", "30", "a"));
    const auto cfg = leggiconf(folder.path(), nullptr);
    ASSERT_TRUE(cfg);
    EXPECT_FALSE(cfg->audio());
}

TEST(PortaCfg, MissingShortOrOutOfRangeNamesTheFileAndItsItems)
{
    const QList<QByteArray> bad = {QByteArray(), "1,9600\r\n5,30\r\n", "1,9600\r\n5,256,\"A\"\r\n",
                                   "0,9600\r\n5,30,\"A\"\r\n"};
    for (int i = -1; i < bad.size(); ++i) {
        TempFolder folder;
        if (i >= 0)
            folder.write(QStringLiteral("porta.cfg"), bad[i]);
        QString error;
        EXPECT_FALSE(leggiconf(folder.path(), &error)) << i;
        EXPECT_TRUE(error.contains(QStringLiteral("porta.cfg"))) << error.toStdString();
        EXPECT_TRUE(error.contains(QStringLiteral("cinque voci"))) << error.toStdString();
        EXPECT_TRUE(error.contains(QStringLiteral("tempo relè"))) << error.toStdString();
    }
}

// Values the station cannot use are refused at start with the porta.cfg message, naming
// the item: no conversion may overflow into a wrong value (a lock-out of 1e16 s turned into
// none).
TEST(PortaCfg, NumbersOutOfRangeAreRefusedNamingTheItem)
{
    const struct {
        QByteArray porta, velocita, ritardo, tempo;
        const char *names;
    } cases[] = {
        {"1e99", "9600", "5", "30", "porta COM"},
        {"-1e99", "9600", "5", "30", "porta COM"},
        {"99999999999999999999", "9600", "5", "30", "porta COM"},
        {"257", "9600", "5", "30", "porta COM"},
        {"nan", "9600", "5", "30", "porta COM"},
        {"1", "1e99", "5", "30", "velocità"},
        {"1", "99999999999999999999", "5", "30", "velocità"},
        {"1", "9600.5", "5", "30", "velocità"},
        {"1", "inf", "5", "30", "velocità"},
        {"1", "9600", "1e16", "30", "blocco ripetizione"},
        {"1", "9600", "1e99", "30", "blocco ripetizione"},
        {"1", "9600", "1e9223372036854775807", "30", "blocco ripetizione"},
        {"1", "9600", "99999999999999999999", "30", "blocco ripetizione"},
        {"1", "9600", "-1e99", "30", "blocco ripetizione"},
        {"1", "9600", "-5", "30", "blocco ripetizione"},
        {"1", "9600", "5", "1e99", "tempo relè"},
        {"1", "9600", "5", "-1e99", "tempo relè"},
        {"1", "9600", "5", "99999999999999999999", "tempo relè"},
    };
    for (const auto &c : cases) {
        TempFolder folder;
        folder.write(QStringLiteral("porta.cfg"), c.porta + "," + c.velocita + "\r\n" + c.ritardo + "," + c.tempo + ",\"A\"\r\n");
        QString error;
        EXPECT_FALSE(leggiconf(folder.path(), &error)) << c.porta.constData() << " " << c.velocita.constData() << " "
                                                       << c.ritardo.constData() << " " << c.tempo.constData();
        const QString first = error.section(u'\n', 0, 0);
        EXPECT_TRUE(first.startsWith(QStringLiteral("porta.cfg"))) << error.toStdString();
        EXPECT_TRUE(first.contains(QString::fromUtf8(c.names))) << error.toStdString();
        EXPECT_TRUE(error.contains(QStringLiteral("cinque voci"))) << error.toStdString();
    }
}

TEST(PortaCfg, LargestValuesInRangeAreKept)
{
    TempFolder folder;
    folder.write(QStringLiteral("porta.cfg"), "256,115200\r\n1e15,255,\"A\"\r\n");
    const auto cfg = leggiconf(folder.path(), nullptr);
    ASSERT_TRUE(cfg);
    EXPECT_EQ(cfg->commPort(), 256);
    EXPECT_EQ(cfg->lockOutMs(), qint64(1e18));
    EXPECT_EQ(byteTempo(cfg->TempoRele), 255);
    // Texts without a number read as 0: no lock-out, relay time 0.
    folder.write(QStringLiteral("porta.cfg"), "1,9600\r\nnan,inf,\"A\"\r\n");
    const auto none = leggiconf(folder.path(), nullptr);
    ASSERT_TRUE(none);
    EXPECT_EQ(none->lockOutMs(), 0);
    EXPECT_EQ(byteTempo(none->TempoRele), 0);
}

TEST(PortaCfg, TimeByte)
{
    EXPECT_EQ(byteTempo(""), 0);
    EXPECT_EQ(byteTempo("30"), 30);
    EXPECT_EQ(byteTempo("2.5"), 2);
    EXPECT_EQ(byteTempo("255"), 255);
    EXPECT_FALSE(byteTempo("256"));
    EXPECT_FALSE(byteTempo("-1"));
}

} // namespace
