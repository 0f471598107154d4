#include "cardlabels.h"
#include "export.h"
#include "fixture.h"
#include "trova.h"

#include "text.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

#include <gtest/gtest.h>

using namespace zorv;
using namespace zorv::registry;
using zorv::test::cliente;
using zorv::test::registro;
using zorv::test::TempFolder;

// --- anag.txt ---

TEST(Export, LiveCustomersInRecordOrderWithTheHeaderAndCrLf)
{
    const QList<Record> records{cliente("rossi mario", "milano", "via roma 1", "20100", "mi", "10", "42", "2"),
                                Record::deleted(),
                                cliente("  verdi  anna ", "torino", "", "", "to", "D31-12-2015", "", "1")};
    EXPECT_EQ(anagText(records),
              QByteArray("Codice|Nome|Indirizzo|Citta|Prov|Accessi E|Relay\r\n"
                         "0001|ROSSI MARIO|VIA ROMA 1|MILANO|MI|42|2\r\n"
                         "0003|VERDI  ANNA||TORINO|TO||1\r\n"));
}

TEST(Export, NameWithABarAndWindows1252BytesAreWrittenUnchanged)
{
    const QList<Record> records{cliente("ab|cd", text::toCp1252(u"forlì").constData())};
    const QByteArray out = anagText(records);
    EXPECT_TRUE(out.contains("0001|AB|CD||FORL\xCC||3|1\r\n")) << out.toStdString();
}

TEST(Export, WritesTheFileAtThePrefixAndReplacesAnEarlierOne)
{
    TempFolder dir;
    dir.write("CLIENTI.DAT", registro({cliente("rossi", "roma"), Record::deleted(), cliente("bianchi", "bari")}));
    QDir(dir.path()).mkdir("EXPORT");
    dir.write("EXPORT/anag.txt", "earlier export, longer than the new one ............................");
    const ExportResult r = esportaarchivio(dir.file("CLIENTI.DAT"), dir.file("EXPORT/"), dir.path());
    ASSERT_EQ(r.outcome, ExportResult::Written) << r.error.toStdString();
    EXPECT_EQ(r.path, dir.file("EXPORT/anag.txt"));
    EXPECT_EQ(dir.read("EXPORT/anag.txt"),
              QByteArray("Codice|Nome|Indirizzo|Citta|Prov|Accessi E|Relay\r\n"
                         "0001|ROSSI||ROMA||3|1\r\n"
                         "0003|BIANCHI||BARI||3|1\r\n"));
}

TEST(Export, APrefixWithoutItsSeparatorIsJoinedUnchanged)
{
    TempFolder dir;
    dir.write("CLIENTI.DAT", registro({cliente("rossi", "roma")}));
    const ExportResult r = esportaarchivio(dir.file("CLIENTI.DAT"), QStringLiteral("EXPORT"), dir.path());
    ASSERT_EQ(r.outcome, ExportResult::Written);
    EXPECT_TRUE(QFile::exists(dir.file("EXPORTanag.txt")));
}

TEST(Export, AnEmptyOrMissingRegistryWritesNothing)
{
    TempFolder dir;
    EXPECT_EQ(esportaarchivio(dir.file("CLIENTI.DAT"), QString(), dir.path()).outcome, ExportResult::Empty);
    dir.write("CLIENTI.DAT", QByteArray(245, 'A'));
    EXPECT_EQ(esportaarchivio(dir.file("CLIENTI.DAT"), QString(), dir.path()).outcome, ExportResult::Empty);
    EXPECT_FALSE(QFile::exists(dir.file("anag.txt")));
}

TEST(Export, AMissingFolderOrReadOnlyFolderFailsAndKeepsTheEarlierFile)
{
    TempFolder dir;
    dir.write("CLIENTI.DAT", registro({cliente("rossi", "roma")}));
    ExportResult r = esportaarchivio(dir.file("CLIENTI.DAT"), dir.file("missing/"), dir.path());
    EXPECT_EQ(r.outcome, ExportResult::Failed);
    EXPECT_FALSE(r.error.isEmpty());

    // A name that cannot be replaced (a folder stands there).
    QDir(dir.path()).mkpath("busy/anag.txt");
    r = esportaarchivio(dir.file("CLIENTI.DAT"), dir.file("busy/"), dir.path());
    EXPECT_EQ(r.outcome, ExportResult::Failed);
    EXPECT_TRUE(QFileInfo(dir.file("busy/anag.txt")).isDir());

    if (::geteuid() == 0)
        GTEST_SKIP() << "running as root: a folder is never read-only";
    QDir(dir.path()).mkdir("ro");
    dir.write("ro/anag.txt", "earlier");
    QFile::setPermissions(dir.file("ro"), QFile::ReadOwner | QFile::ExeOwner);
    r = esportaarchivio(dir.file("CLIENTI.DAT"), dir.file("ro/"), dir.path());
    QFile::setPermissions(dir.file("ro"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(r.outcome, ExportResult::Failed);
    EXPECT_EQ(dir.read("ro/anag.txt"), QByteArray("earlier"));
}

TEST(Export, AFullDiskFailsAndKeepsTheEarlierFile)
{
    TempFolder dir;
    dir.write("CLIENTI.DAT", registro({cliente("rossi", "roma"), cliente("verdi", "milano")}));
    const QByteArray earlier = "Codice|Nome|Indirizzo|Citta|Prov|Accessi E|Relay\r\n0001|BIANCHI||TORINO|||\r\n";
    test::SmallDisk disk;
    ZORV_NEED_SMALL_DISK(disk);
    {
        QFile f(disk.file("anag.txt"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(earlier);
    }
    disk.fill();
    const ExportResult r = esportaarchivio(dir.file("CLIENTI.DAT"), disk.path() + u'/', dir.path());
    EXPECT_EQ(r.outcome, ExportResult::Failed);
    EXPECT_EQ(r.error.toStdString(), "No space left on device");
    QFile after(disk.file("anag.txt"));
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), earlier);
}

TEST(Export, ARegistryInAMissingFolderIsAFailure)
{
    TempFolder dir;
    const ExportResult r = esportaarchivio(dir.file("none/CLIENTI.DAT"), QString(), dir.path());
    EXPECT_EQ(r.outcome, ExportResult::Failed);
    EXPECT_FALSE(r.error.isEmpty());
}

TEST(Export, DestinationIsTheFirstOfTwoItems)
{
    struct Case {
        QByteArray file;
        QString prefix;
    } cases[] = {
        {"C:\\EXPORT\\\r\nqualcosa\r\n", "C:\\EXPORT\\"},
        {"\"/data/out/\",\"x\"\r\n", "/data/out/"},
        {"C:\\EXPORT\\\r\n", ""},   // one item only: the current folder
        {"", ""},
    };
    for (const auto &c : cases) {
        TempFolder dir;
        dir.write("configuraterm.cfg", c.file);
        EXPECT_EQ(leggidestinazione(dir.path()), c.prefix) << c.file.toStdString();
    }
    TempFolder none;
    EXPECT_EQ(leggidestinazione(none.path()), QString());
}

// --- labels ---

namespace {

CardFields milano()
{
    CardFields c;
    c.numero = "0012";
    c.nome = QString("ROSSI MARIO").leftJustified(40);
    c.indirizzo = QString("VIA ROMA 1").leftJustified(45);
    c.citta = QString("MILANO").leftJustified(24);
    c.cap = QString("20100").leftJustified(15);
    c.prov = "MI";
    c.accessi = QString("10").leftJustified(15);
    c.telefono = QString("021234567").leftJustified(15);
    c.carta = QString("AB12").leftJustified(15);
    return c;
}

} // namespace

TEST(AddressLabel, FourteenLinesWithSizesAndPaddedCityLine)
{
    const QList<LabelLine> lines = addressLabel(milano());
    ASSERT_EQ(lines.size(), 14);
    for (int i = 0; i < 14; ++i) {
        EXPECT_EQ(lines[i].size, i < 6 ? 13 : 10) << i + 1;
        EXPECT_FALSE(lines[i].emphasis);
        if (i != 3 && i != 6 && i != 8) {
            EXPECT_EQ(lines[i].text, QString()) << i + 1;
        }
    }
    EXPECT_EQ(lines[3].text, milano().nome);
    EXPECT_EQ(lines[6].text, milano().indirizzo);
    EXPECT_EQ(lines[8].text, "20100" + QString(10, ' ') + "  " + "MILANO" + QString(18, ' ') + "  MI");
}

TEST(ShippingLabel, ThirtyTwoLinesAsLaidOut)
{
    const Sender sender{"DITTA SRL", "VIA VERDI 2", "00100 ROMA", "ITALIA"};
    const QDateTime when(QDate(2015, 1, 18), QTime(9, 5, 7));
    const QList<LabelLine> lines = shippingLabel(milano(), sender, "A-77", [&] { return when; });
    ASSERT_EQ(lines.size(), 32);
    const QString rule(42, '_');
    EXPECT_EQ(lines[0].size, 0);
    EXPECT_EQ(lines[0].text, QString());
    EXPECT_EQ(lines[1].text, rule);
    EXPECT_EQ(lines[1].size, 10);
    EXPECT_EQ(lines[2].text, "SENDER:");
    EXPECT_EQ(lines[2].size, 7);
    EXPECT_EQ(lines[3].text, "DITTA SRL");
    EXPECT_EQ(lines[3].size, 18);
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(lines[i].emphasis, i == 3) << i + 1;
    EXPECT_EQ(lines[4].text, "VIA VERDI 2");
    EXPECT_EQ(lines[6].text, "ITALIA");
    EXPECT_EQ(lines[6].size, 8);
    EXPECT_EQ(lines[7].text, rule);
    EXPECT_EQ(lines[9].text, "SHIP TO:");
    EXPECT_EQ(lines[9].size, 13);
    EXPECT_EQ(lines[13].text, milano().nome);
    EXPECT_EQ(lines[13].size, 13);
    EXPECT_EQ(lines[16].text, milano().indirizzo);
    EXPECT_EQ(lines[16].size, 10);
    EXPECT_EQ(lines[17].text, addressLabel(milano())[8].text);
    EXPECT_EQ(lines[20].text, "Tel.:021234567      " "   Fax:AB12           ");
    EXPECT_EQ(lines[25].text, rule);
    EXPECT_EQ(lines[27].text, "Data/Ora: 01-18-2015 / 09:05:07");
    EXPECT_EQ(lines[27].size, 8);
    EXPECT_EQ(lines[28].text, "Num. 0012-01-18-2015");
    EXPECT_EQ(lines[30].text, "Ordine N. A-77");
    EXPECT_EQ(lines[31].text, rule);
    EXPECT_EQ(lines[31].size, 10);
}

TEST(ShippingLabel, CopiesAreTheWholeLeadingNumber)
{
    struct Case {
        const char *answer;
        int copies;
    } cases[] = {{"3", 3}, {"2.5", 2}, {" 4 ", 4}, {"1", 1}, {"0", 0}, {"-2", 0}, {"abc", 0},
                 {"", 0}, {"0.9", 0}, {"2x", 2}};
    for (const auto &c : cases)
        EXPECT_EQ(shippingCopies(QString::fromLatin1(c.answer)), c.copies) << c.answer;
}

TEST(ShippingLabel, SenderItemsFromIndirizzoTxt)
{
    TempFolder dir;
    dir.write("indirizzo.txt", "\"ROSSI, BIANCHI & C.\"\r\n  via verdi 2  ,00100\r\n\"ROMA\"\r\n");
    const Sender s = readSender(dir.path());
    EXPECT_EQ(s[0], "ROSSI, BIANCHI & C.");
    EXPECT_EQ(s[1], "via verdi 2");
    EXPECT_EQ(s[2], "00100");   // kept as written
    EXPECT_EQ(s[3], "ROMA");

    TempFolder empty;
    EXPECT_EQ(readSender(empty.path()), (Sender{}));
}

// --- the search ---

TEST(SearchByName, HitsInRecordOrderFromAGivenRecord)
{
    TempFolder dir;
    dir.write("CLIENTI.DAT", registro({cliente("rossi mario", "roma"), cliente("bianchi", "roma"),
                                       Record::deleted(), cliente("derossi anna", "bari")}));
    const QString path = dir.file("CLIENTI.DAT");
    EXPECT_EQ(trovaNome(path, "ROSSI", 1), 1);
    EXPECT_EQ(trovaNome(path, "ROSSI", 2), 4);
    EXPECT_EQ(trovaNome(path, "ROSSI", 5), 0);
    EXPECT_EQ(trovaNome(path, "rossi", 1), 0);      // no case folding here
    EXPECT_EQ(trovaNome(path, "ROSSI M", 1), 1);
    EXPECT_EQ(trovaNome(path, "*", 1), 0);          // never a deleted record
    EXPECT_EQ(trovaNome(path, "IO   ", 1), 1);      // trailing spaces of the field count
    EXPECT_EQ(trovaNome(dir.file("none.dat"), "ROSSI", 1), 0);
}
