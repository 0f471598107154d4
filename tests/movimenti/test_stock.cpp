#include "movfixture.h"

#include "program.h"

#include <QDir>

using namespace zorv;
using namespace zorv::movimenti;
using namespace zorv::movimenti::test;

namespace {

class Stock : public MovFixture {
protected:
    void SetUp() override
    {
        clock.setNow(QDateTime(QDate(2026, 12, 9), QTime(10, 0, 0)));
        folder.write(QStringLiteral("mov.txt"), movLine("0012", "ROSSI", "C1", "1", "Autorizzato")
                                                    + movLine("0013", "VERDI", "C2", "2", "Esaurito"));
        m = std::make_unique<Movimenti>(percorso());
        m->formLoad();
        m->loader().runToEnd();
    }
    Booking book(const QByteArray &code, const QByteArray &quantity)
    {
        return m->registraarticolo(entry(code, quantity, true, true));
    }
    // The empty document, with no questions counted.
    void emptyDocument()
    {
        ASSERT_EQ(m->eliminaTabella(), Movimenti::Reset::Done);
        boxes.shown.clear();
        boxes.beeps = 0;
    }
    std::unique_ptr<Movimenti> m;
};

} // namespace

TEST_F(Stock, ResetDoesNothingWhileTheCounterIsZero)
{
    folder.write(QStringLiteral("mov.txt"), "");
    Movimenti fresh(percorso());
    fresh.formLoad();
    fresh.loader().runToEnd();
    EXPECT_EQ(fresh.eliminaTabella(), Movimenti::Reset::Nothing);
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_EQ(boxes.beeps, 0);

    fresh.registraarticolo(entry("A", "1", false, true));
    EXPECT_EQ(fresh.eliminaTabella(), Movimenti::Reset::Done);
    EXPECT_EQ(boxes.shown.size(), 2);
}

TEST_F(Stock, ResetAsksTwiceAndEitherNoKeepsTheGrid)
{
    for (int declineAt = 0; declineAt < 2; ++declineAt) {
        boxes.shown.clear();
        if (declineAt == 1)
            boxes.answerNext(answer::Yes);
        boxes.answerNext(answer::No);
        EXPECT_EQ(m->eliminaTabella(), Movimenti::Reset::Declined);
        ASSERT_EQ(boxes.shown.size(), declineAt + 1);
        EXPECT_EQ(m->grid().rowCount(), 3);
        EXPECT_EQ(m->grid().text(0, 1), QByteArrayView("Cliente"));
    }
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Annullare totalmente la tabella ?"));
    EXPECT_EQ(boxes.shown[1].text,
              QStringLiteral("I movimenti di entrata non verrano ripristinati!! Sei sicuro di volerlo eliminare ?"));
    for (const auto &s : boxes.shown) {
        EXPECT_EQ(s.style, 276);
        EXPECT_EQ(s.title, QStringLiteral("INVENTARIO"));
    }
}

TEST_F(Stock, ResetEmptiesTheViewOnlyAndDeletesTodaysMinFile)
{
    const QByteArray log = folder.read(QStringLiteral("mov.txt"));
    folder.write(QStringLiteral("12-09-2026.min"), "x");
    folder.write(QStringLiteral("12-08-2026.min"), "y");
    folder.write(QStringLiteral("ART.MAG"), artMag({article("A", "1")}));
    const QByteArray articles = folder.read(QStringLiteral("ART.MAG"));
    EXPECT_EQ(m->eliminaTabella(), Movimenti::Reset::Done);
    EXPECT_EQ(m->grid().rowCount(), 1);
    const QList<QByteArray> headers = {"ID Art.", "Barcode", "Descrizione", "Quantit\xe0", "Qta Res.", "Prezzo1",
                                       "Prezzo2", "Prezzo3"};
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(m->grid().text(0, c), QByteArrayView(headers[c]));
    EXPECT_EQ(m->righe(), QStringLiteral("0"));
    EXPECT_EQ(m->grid().currentRow(), 0);
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("12-09-2026.min"))));
    EXPECT_TRUE(QFile::exists(folder.file(QStringLiteral("12-08-2026.min"))));
    EXPECT_EQ(folder.read(QStringLiteral("mov.txt")), log);
    EXPECT_EQ(folder.read(QStringLiteral("ART.MAG")), articles);
}

TEST_F(Stock, UpdateRotatesTheBackupsAndWritesTheCountedQuantities)
{
    const RecordArticolo a = article("A1", "10");
    const RecordArticolo b = article("B2", "4");
    folder.write(QStringLiteral("ART.MAG"), artMag({a, b}));
    folder.write(QStringLiteral("art.bak"), "previous backup");
    folder.write(QStringLiteral("art.bak1"), "oldest backup");
    folder.write(QStringLiteral("documento.txt"), "righe del documento");
    folder.write(QStringLiteral("documento.bak"), "vecchio");
    emptyDocument();
    book("A1", "3");
    book("A1", "2"); // the summed quantity " 5"
    book("NUOVO", "7");
    const QByteArray beforeUpdate = folder.read(QStringLiteral("ART.MAG"));

    m->aggiornagiacenze(true);
    EXPECT_EQ(boxes.shown.size(), 2) << "with the option ticked the first question is not asked";
    EXPECT_EQ(boxes.beeps, 2);
    for (const auto &s : boxes.shown) {
        EXPECT_EQ(s.style, 276);
        EXPECT_EQ(s.title, QStringLiteral("TARNIQ"));
    }
    EXPECT_EQ(folder.read(QStringLiteral("art.bak1")), QByteArray("previous backup"));
    EXPECT_EQ(folder.read(QStringLiteral("art.bak")), beforeUpdate);
    EXPECT_EQ(folder.read(QStringLiteral("documento.bak")), QByteArray("righe del documento"));

    const QByteArray after = folder.read(QStringLiteral("ART.MAG"));
    ASSERT_EQ(after.size(), 3 * 639);
    QByteArray expectedA = beforeUpdate.mid(0, 639);
    expectedA.replace(80, 10, " 5        ");
    EXPECT_EQ(after.mid(0, 639), expectedA);
    EXPECT_EQ(after.mid(639, 639), b.bytes());
    RecordArticolo created(after.mid(2 * 639, 639));
    EXPECT_EQ(created.field(RecordArticolo::DataArticolo), QByteArrayView("12-09-2026"));
    EXPECT_EQ(created.trimmed(RecordArticolo::Barcode), QByteArray("NUOVO"));
    EXPECT_EQ(created.trimmed(RecordArticolo::Descrizione), QByteArray("Articolo non presente"));
    EXPECT_EQ(created.field(RecordArticolo::Giacenza), QByteArrayView("7         "));
    EXPECT_EQ(created.field(RecordArticolo::Campo15), QByteArrayView("1"));
    EXPECT_EQ(created.field(RecordArticolo::Campo16), QByteArrayView("0"));
    EXPECT_EQ(created.field(RecordArticolo::Progressivo).trimmed(), QByteArray());
    EXPECT_EQ(created.field(RecordArticolo::Prezzo1).trimmed(), QByteArray());

    // The closing view: stock headers over the movement log.
    m->loader().runToEnd();
    EXPECT_EQ(m->grid().text(0, 4), QByteArrayView("     Giacenza"));
    EXPECT_EQ(m->grid().text(0, 1), QByteArrayView("Barcode"));
    EXPECT_TRUE(m->grid().text(0, 5).isEmpty());
    EXPECT_EQ(m->grid().rowCount(), 3);
    EXPECT_EQ(m->grid().text(1, 2), QByteArrayView("ROSSI"));
    EXPECT_EQ(m->righe(), QStringLiteral("3")) << "the count here includes the header row";
}

TEST_F(Stock, UpdateWithoutTheOptionSkipsUnknownCodes)
{
    folder.write(QStringLiteral("ART.MAG"), artMag({article("A1", "10")}));
    emptyDocument();
    book("A1", "3");
    book("NUOVO", "7");
    m->aggiornagiacenze(false);
    ASSERT_EQ(boxes.shown.size(), 3);
    EXPECT_EQ(boxes.shown[0].text,
              QStringLiteral("Non verranno generati record per i prodotti non presenti in archivio !  sei sicuro ?"));
    EXPECT_EQ(boxes.shown[1].text, QStringLiteral("Aggiornare le giacenze con le quantita rilevate ?"));
    EXPECT_EQ(boxes.shown[2].text, QStringLiteral("La situazione attuale non potra essere ripristinata !  sei sicuro ?"));
    const QByteArray after = folder.read(QStringLiteral("ART.MAG"));
    ASSERT_EQ(after.size(), 639);
    EXPECT_EQ(after.mid(80, 10), QByteArray("3         "));
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("documento.bak")))) << "no documento.txt, no copy";
}

TEST_F(Stock, AnyNoStopsTheUpdateBeforeItTouchesAFile)
{
    folder.write(QStringLiteral("ART.MAG"), artMag({article("A1", "10")}));
    folder.write(QStringLiteral("art.bak"), "previous backup");
    emptyDocument();
    book("A1", "3");
    const QByteArray articles = folder.read(QStringLiteral("ART.MAG"));
    for (int no = 0; no < 3; ++no) {
        boxes.shown.clear();
        for (int i = 0; i < no; ++i)
            boxes.answerNext(answer::Yes);
        boxes.answerNext(answer::No);
        m->aggiornagiacenze(false);
        EXPECT_EQ(boxes.shown.size(), no + 1);
        EXPECT_EQ(folder.read(QStringLiteral("ART.MAG")), articles);
        EXPECT_EQ(folder.read(QStringLiteral("art.bak")), QByteArray("previous backup"));
        EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("art.bak1"))));
        EXPECT_EQ(m->grid().text(0, 0), QByteArrayView("ID Art."));
    }
}

TEST_F(Stock, NoBackupNoUpdate)
{
    folder.write(QStringLiteral("ART.MAG"), artMag({article("A1", "10")}));
    emptyDocument();
    book("A1", "3");
    const QByteArray articles = folder.read(QStringLiteral("ART.MAG"));
    // A folder in art.bak's place: the copy cannot be made.
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("art.bak")));
    m->aggiornagiacenze(true);
    EXPECT_EQ(folder.read(QStringLiteral("ART.MAG")), articles);
    EXPECT_EQ(boxes.last().title, QStringLiteral("ERRORE"));
    EXPECT_EQ(m->grid().text(0, 0), QByteArrayView("ID Art.")) << "the document stays for another try";
}

TEST_F(Stock, BackupNamesAreMatchedWithCaseIgnored)
{
    folder.write(QStringLiteral("art.mag"), artMag({article("A1", "10")}));
    folder.write(QStringLiteral("ART.BAK"), "previous backup");
    emptyDocument();
    book("A1", "3");
    const QByteArray beforeUpdate = folder.read(QStringLiteral("art.mag"));
    m->aggiornagiacenze(true);
    const QStringList names = QDir(folder.path()).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(names.filter(QStringLiteral("art.bak"), Qt::CaseInsensitive).size(), 2) << names.join(u' ').toStdString();
    const auto readAnyCase = [&](const QString &name) {
        QFile f(findFile(percorso(), name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    EXPECT_EQ(readAnyCase(QStringLiteral("art.bak1")), QByteArray("previous backup"));
    EXPECT_EQ(readAnyCase(QStringLiteral("art.bak")), beforeUpdate);
    EXPECT_EQ(folder.read(QStringLiteral("art.mag")).mid(80, 10), QByteArray("3         "));
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("ART.MAG"))));
}

TEST_F(Stock, PreviousBackupThatCannotMoveOnStopsTheUpdate)
{
    folder.write(QStringLiteral("ART.MAG"), artMag({article("A1", "10")}));
    folder.write(QStringLiteral("art.bak"), "previous backup");
    // A folder with something in it stands where art.bak1 should go.
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("art.bak1/keep")));
    emptyDocument();
    book("A1", "3");
    const QByteArray articles = folder.read(QStringLiteral("ART.MAG"));
    m->aggiornagiacenze(true);
    EXPECT_EQ(boxes.last().title, QStringLiteral("ERRORE"));
    EXPECT_EQ(folder.read(QStringLiteral("art.bak")), QByteArray("previous backup")) << "the only older copy stays";
    EXPECT_EQ(folder.read(QStringLiteral("ART.MAG")), articles);
    EXPECT_EQ(m->grid().text(0, 0), QByteArrayView("ID Art."));
}

TEST_F(Stock, BackupIsTakenOfTheFileThatIsWritten)
{
    // Two spellings side by side: the bookings and the update use ART.MAG, so the backup
    // must be of ART.MAG too.
    folder.write(QStringLiteral("ART.MAG"), artMag({article("A1", "10")}));
    folder.write(QStringLiteral("art.mag"), artMag({article("OTHER", "1")}));
    emptyDocument();
    book("A1", "3");
    const QByteArray beforeUpdate = folder.read(QStringLiteral("ART.MAG"));
    m->aggiornagiacenze(true);
    EXPECT_EQ(folder.read(QStringLiteral("art.bak")), beforeUpdate);
    EXPECT_EQ(folder.read(QStringLiteral("ART.MAG")).mid(80, 10), QByteArray("3         "));
}
