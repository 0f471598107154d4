#include "movfixture.h"

#include "movementlog.h"
#include "program.h"

#include <QSignalSpy>

using namespace zorv;
using namespace zorv::movimenti;
using namespace zorv::movimenti::test;

namespace {

class MovementLog : public MovFixture {
protected:
    void writeLog(const QByteArray &data) { folder.write(QStringLiteral("mov.txt"), data); }
    // Start-up with the whole load run through.
    void start(Movimenti &m)
    {
        m.formLoad();
        m.loader().runToEnd();
    }
    QByteArray threeLines() const
    {
        return movLine("0012", "ROSSI MARIO", "04A1B2C3D4E5", "1", "Autorizzato")
               + movLine("######", "Sconosciuto", "FFFFFFFFFFFF", "0", "Non autorizzato")
               + movLine("0007", "bianchi anna", "0000000000AA", "2", "Carta Scaduta", "10/12/2026", "08:00:01");
    }
};

} // namespace

TEST_F(MovementLog, StartUpShowsEveryLineWithItsNumberAndTheRowCount)
{
    writeLog(threeLines());
    Movimenti m(percorso());
    start(m);
    const GridTable &g = m.grid();
    ASSERT_EQ(g.rowCount(), 4);
    const QList<QByteArray> headers = {"Num.", "Cliente", "Nome", "Carta", "Porta", "Data", "Ora", "Esito"};
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(g.text(0, c), QByteArrayView(headers[c]));
    const QList<QByteArray> third = {"3", "0007", "bianchi anna", "0000000000AA", "2", "10/12/2026", "08:00:01",
                                     "Carta Scaduta"};
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(g.text(3, c), QByteArrayView(third[c])) << c;
    EXPECT_EQ(g.colours(1, 7), (CellColours{colour::DarkGreen, colour::White}));
    EXPECT_EQ(g.colours(2, 7), (CellColours{colour::Red, colour::White}));
    EXPECT_EQ(g.colours(3, 7), (CellColours{colour::Yellow, colour::ButtonText}));
    EXPECT_EQ(m.righe(), QStringLiteral("3"));
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(MovementLog, EmptyLogGivesAnEmptyTableWithoutMessage)
{
    writeLog("");
    Movimenti m(percorso());
    start(m);
    EXPECT_EQ(m.grid().rowCount(), 1);
    EXPECT_EQ(m.righe(), QStringLiteral("0"));
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(MovementLog, MissingLogSaysSoOnce)
{
    Movimenti m(percorso());
    start(m);
    EXPECT_EQ(m.grid().rowCount(), 1);
    EXPECT_EQ(m.grid().text(0, 7), QByteArrayView("Esito"));
    EXPECT_EQ(m.righe(), QStringLiteral("0"));
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("Nessun movimento trovato"));
    EXPECT_EQ(boxes.last().style, style::Ok);
    EXPECT_EQ(boxes.last().title, QStringLiteral("MOVIMENTI"));
}

TEST_F(MovementLog, ShortLastLineKeepsTheRowsBeforeIt)
{
    writeLog(threeLines() + "\"0001\",\"VERDI\",\"CARD\"\r\n");
    Movimenti m(percorso());
    start(m);
    EXPECT_EQ(m.grid().rowCount(), 4);
    EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("Nessun movimento trovato")});
    EXPECT_EQ(m.righe(), QStringLiteral("3"));
}

TEST_F(MovementLog, ItemsRunOnAcrossLineEnds)
{
    // A line broken after its fourth item still makes one row; bare items lose their blanks.
    writeLog("\"0012\",\"ROSSI\",\"CARD\",\"1\"\r\n\"09/12/2026\",\"10:00:00\",\"Autorizzato\"\r\n"
             "0013 , \"A, B\",CARD2,2,09/12/2026,10:00:01,Esaurito\r\n");
    Movimenti m(percorso());
    start(m);
    ASSERT_EQ(m.grid().rowCount(), 3);
    EXPECT_EQ(m.grid().text(1, 7), QByteArrayView("Autorizzato"));
    EXPECT_EQ(m.grid().text(2, 1), QByteArrayView("0013"));
    EXPECT_EQ(m.grid().text(2, 2), QByteArrayView("A, B"));
    EXPECT_EQ(m.grid().text(2, 7), QByteArrayView("Esaurito"));
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(MovementLog, LogComesFromTheDataFolder)
{
    zorv::test::TempFolder elsewhere;
    elsewhere.write(QStringLiteral("mov.txt"), threeLines());
    writeLog(movLine("0001", "SOLO", "C", "1", "Autorizzato"));
    Movimenti m(percorso());
    start(m);
    EXPECT_EQ(m.grid().rowCount(), 2);
    EXPECT_EQ(m.movPath(), percorso() + QStringLiteral("mov.txt"));
}

TEST_F(MovementLog, LoadRunsFromTheEventLoopAndReportsProgress)
{
    QByteArray data;
    for (int i = 0; i < 20000; ++i)
        data += movLine(QByteArray::number(i % 9999).rightJustified(4, '0'), "NOME", "CARD", "1", "Autorizzato");
    writeLog(data);
    Movimenti m(percorso());
    QSignalSpy progress(&m.loader(), &LogLoader::progressChanged);
    QSignalSpy finished(&m.loader(), &LogLoader::finished);
    m.formLoad();
    EXPECT_TRUE(m.loader().isRunning());
    EXPECT_EQ(m.righe(), QStringLiteral("0")) << "the counter waits for the end of the load";
    ASSERT_TRUE(zorv::test::waitUntil([&] { return !finished.isEmpty(); }, 20000));
    EXPECT_TRUE(finished.at(0).at(0).toBool());
    EXPECT_EQ(m.grid().rowCount(), 20001);
    EXPECT_EQ(m.righe(), QStringLiteral("20000"));
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last().at(0).toInt(), 100);
}

TEST_F(MovementLog, ReloadEmptiesTheGridAndLeavesTheCounter)
{
    writeLog(threeLines());
    Movimenti m(percorso());
    start(m);
    m.grid().setColours(1, 2, colour::Red, colour::White);
    m.setRighe(QStringLiteral("9"));
    folder.write(QStringLiteral("mov.txt"), threeLines() + movLine("0001", "NUOVO", "C", "1", "Esaurito"));
    m.tuttiIMovimenti();
    m.loader().runToEnd();
    EXPECT_EQ(m.grid().rowCount(), 5);
    EXPECT_EQ(m.grid().text(4, 0), QByteArrayView("4"));
    EXPECT_EQ(m.grid().colours(1, 2), CellColours{});
    EXPECT_EQ(m.righe(), QStringLiteral("9"));
}

TEST_F(MovementLog, SortButtonsLeaveRowOneColumnZeroCurrent)
{
    writeLog(threeLines());
    Movimenti m(percorso());
    start(m);
    m.grid().setCurrentCell(3, 5);
    m.sortBy(2, SortKind::TextNoCase);
    EXPECT_EQ(m.grid().text(1, 2), QByteArrayView("bianchi anna"));
    EXPECT_EQ(m.grid().currentRow(), 1);
    EXPECT_EQ(m.grid().currentCol(), 0);
    EXPECT_EQ(m.grid().selectionColEnd(), 0);
    m.sortBy(0, SortKind::Numeric);
    EXPECT_EQ(m.grid().text(1, 2), QByteArrayView("ROSSI MARIO"));
}

struct DblClickCase {
    const char *name;
    bool withRows;
    int row;
    int col;
};

TEST_F(MovementLog, DoubleClickAsksNothingOnColumnZeroOrAnEmptyTable)
{
    const DblClickCase cases[] = {
        {"column 0 of a data row", true, 2, 0},
        {"header row only", false, 0, 3},
    };
    for (const auto &c : cases) {
        writeLog(c.withRows ? threeLines() : QByteArray());
        boxes.shown.clear();
        Movimenti m(percorso());
        start(m);
        m.grid().setCurrentCell(c.row, c.col);
        EXPECT_FALSE(m.gridDblClick()) << c.name;
        EXPECT_TRUE(boxes.shown.isEmpty()) << c.name;
        EXPECT_EQ(boxes.beeps, 0) << c.name;
        EXPECT_TRUE(m.colonnaFiltro().isEmpty());
    }
}

TEST_F(MovementLog, FilterByOutcomeKeepsMatchingLinesNumberedFromOne)
{
    writeLog(threeLines() + movLine("0001", "VERDI", "C", "1", "Autorizzato")
             + movLine("0002", "NERI", "D", "1", "autorizzato"));
    Movimenti m(percorso());
    start(m);
    m.grid().setCurrentCell(1, 7);
    boxes.answerNext(answer::Yes);
    EXPECT_TRUE(m.gridDblClick());
    EXPECT_EQ(boxes.beeps, 1);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("Filtrare i movimenti per Esito Autorizzato ?"));
    EXPECT_EQ(boxes.last().style, style::YesNo);
    EXPECT_EQ(boxes.last().title, QStringLiteral("MOVIMENTI"));
    m.loader().runToEnd();
    const GridTable &g = m.grid();
    ASSERT_EQ(g.rowCount(), 3);
    EXPECT_EQ(g.text(1, 0), QByteArrayView("1"));
    EXPECT_EQ(g.text(1, 2), QByteArrayView("ROSSI MARIO"));
    EXPECT_EQ(g.text(2, 0), QByteArrayView("2"));
    EXPECT_EQ(g.text(2, 2), QByteArrayView("VERDI"));
    EXPECT_EQ(g.colours(2, 7), (CellColours{colour::DarkGreen, colour::White}));
    EXPECT_EQ(m.righe(), QStringLiteral("5")) << "filtering leaves the counter";
}

TEST_F(MovementLog, FilterComparesExactlyWithoutTrimming)
{
    writeLog(movLine("0012", "ROSSI", "C1", "1", "Autorizzato") + movLine("0012 ", "ROSSI", "C2", "1", "Autorizzato")
             + movLine("12", "ROSSI", "C3", "1", "Autorizzato"));
    Movimenti m(percorso());
    start(m);
    m.grid().setCurrentCell(1, 1);
    m.gridDblClick();
    m.loader().runToEnd();
    ASSERT_EQ(m.grid().rowCount(), 2);
    EXPECT_EQ(m.grid().text(1, 3), QByteArrayView("C1"));
}

TEST_F(MovementLog, NoToTheFilterQuestionLeavesTheTable)
{
    writeLog(threeLines());
    Movimenti m(percorso());
    start(m);
    m.sortBy(2, SortKind::TextNoCase);
    m.grid().setCurrentCell(2, 2);
    boxes.answerNext(answer::No);
    EXPECT_FALSE(m.gridDblClick());
    EXPECT_FALSE(m.loader().isRunning());
    EXPECT_EQ(m.grid().rowCount(), 4);
    EXPECT_EQ(m.grid().text(1, 2), QByteArrayView("bianchi anna"));
    EXPECT_EQ(m.colonnaFiltro(), QByteArray("Nome"));
    EXPECT_EQ(m.valoreFiltro(), QByteArray("ROSSI MARIO"));
}

TEST_F(MovementLog, FilterWithoutLogLeavesTheTableAsItWas)
{
    writeLog(threeLines());
    Movimenti m(percorso());
    start(m);
    QFile::remove(folder.file(QStringLiteral("mov.txt")));
    m.grid().setCurrentCell(1, 4);
    m.gridDblClick();
    m.loader().runToEnd();
    EXPECT_EQ(m.grid().rowCount(), 4);
    EXPECT_EQ(boxes.last().text, QStringLiteral("Nessun movimento trovato"));
}

TEST_F(MovementLog, FilterThatMeetsABrokenLineKeepsTheRowsBuilt)
{
    writeLog(threeLines());
    Movimenti m(percorso());
    start(m);
    writeLog(threeLines() + movLine("0012", "ROSSI MARIO", "X", "1", "Autorizzato") + "\"0012\",\"ROSSI\"\r\n");
    m.grid().setCurrentCell(1, 1);
    m.gridDblClick();
    m.loader().runToEnd();
    EXPECT_EQ(m.grid().rowCount(), 3);
    EXPECT_EQ(boxes.texts().last(), QStringLiteral("Nessun movimento trovato"));
}

TEST_F(MovementLog, FilterOnTheDocumentUsesTheMovementHeaders)
{
    writeLog(threeLines());
    Movimenti m(percorso());
    start(m);
    ASSERT_EQ(m.eliminaTabella(), Movimenti::Reset::Done);
    ASSERT_EQ(m.registraarticolo(entry("0012", "1", false, true)).outcome, Booking::Booked);
    EXPECT_EQ(m.grid().text(0, 1), QByteArrayView("Barcode"));
    m.grid().setCurrentCell(1, 1);
    boxes.shown.clear();
    EXPECT_TRUE(m.gridDblClick());
    EXPECT_EQ(boxes.last().text, QStringLiteral("Filtrare i movimenti per Cliente 0012 ?"));
    m.loader().runToEnd();
    EXPECT_EQ(m.grid().text(0, 1), QByteArrayView("Cliente"));
    ASSERT_EQ(m.grid().rowCount(), 2);
    EXPECT_EQ(m.grid().text(1, 2), QByteArrayView("ROSSI MARIO"));
}
