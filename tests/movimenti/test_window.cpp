#include "movimentiwindowfixture.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTimer>

using namespace zorv;
using namespace Qt::StringLiterals;
using namespace zorv::movimenti;
using namespace zorv::movimenti::test;

namespace {

class Window : public WindowFixture {
protected:
    QByteArray threeLines() const
    {
        return movLine("0012", "ROSSI MARIO", "04A1B2C3D4E5", "1", "Autorizzato")
               + movLine("######", "Sconosciuto", "FFFFFFFFFFFF", "0", "Non autorizzato")
               + movLine("0007", "bianchi anna", "0000000000AA", "2", "autorizzato");
    }
    GridView &view() { return window->grid(); }
    QString label(const char *name) const { return control<QLabel>(name)->text(); }
    void doubleClickCell(int row, int col)
    {
        const QRect rect = view().cellRect(row, col);
        ASSERT_TRUE(rect.isValid());
        QWidget *target = col == 0 ? view().fixedColumn() : view().viewport();
        QTest::mouseClick(target, Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(target, Qt::LeftButton, {}, rect.center());
    }
    void focusText2Empty()
    {
        text2()->clear();
        text2()->setFocus();
        ASSERT_TRUE(zorv::test::waitUntil([&] { return text2()->hasFocus(); }, 2000));
    }
};

} // namespace

TEST_F(Window, HasEveryControlWithItsCaption)
{
    writeLog(threeLines());
    open();
    EXPECT_EQ(window->objectName(), QStringLiteral("scariman1"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Movimenti"));
    const std::pair<const char *, const char *> buttons[] = {
        {"Command12", "Tutti i Movimenti"}, {"Command10", "Data/Ora"},     {"Command9", "Numero Cliente"},
        {"Command8", "Nome"},               {"Command7", "Numero Carta"},  {"Command11", "Porta"},
        {"Command2", "Stampa Lista"},       {"Command3", "Data Base Utenti"}, {"Command1", "Uscita"},
        {"Command6", "Elimina Tabella"},
    };
    for (const auto &[name, caption] : buttons) {
        auto *b = control<QPushButton>(name);
        ASSERT_NE(b, nullptr) << name;
        EXPECT_EQ(b->text(), QString::fromUtf8(caption)) << name;
        EXPECT_TRUE(b->isVisible()) << name;
    }
    EXPECT_EQ(control<QPushButton>("Command4"), nullptr);
    EXPECT_EQ(control<QPushButton>("Command5"), nullptr);
    const std::pair<const char *, const char *> checks[] = {
        {"Check1", "Non avvertire per \"QTA negative\""},
        {"Check2", "Non avvertire per \"Codice Inesistente\""},
        {"Check3", "Crea record per \"Articoli non presenti\""},
    };
    for (const auto &[name, caption] : checks)
        EXPECT_EQ(control<QCheckBox>(name)->text(), QString::fromUtf8(caption)) << name;
    const std::pair<const char *, const char *> labels[] = {
        {"Label1", "File Movimenti = MOV.TXT"},
        {"Label11", "Transazione corretta"},
        {"Label10", "Movimento sconosciuto"},
        {"Label9", "Transazione non conforme"},
    };
    for (const auto &[name, caption] : labels)
        EXPECT_EQ(label(name), QString::fromUtf8(caption)) << name;
    EXPECT_EQ(text1()->maxLength(), 30);
    EXPECT_EQ(text2()->maxLength(), 10);
    QStringList frames;
    for (auto *g : window->findChildren<QGroupBox *>())
        frames.append(g->title());
    EXPECT_TRUE(frames.contains(QStringLiteral("Ordina per:")));
    EXPECT_TRUE(frames.contains(QStringLiteral("Opzioni")));
    EXPECT_EQ(label("Label7"), QStringLiteral("3"));
}

TEST_F(Window, ClockShowsDayMonthYearAndTwentyFourHourTime)
{
    clock.setNow(QDateTime(QDate(2026, 12, 9), QTime(19, 5, 7)));
    open();
    EXPECT_TRUE(label("Label4").isEmpty());
    EXPECT_TRUE(label("Label6").isEmpty());
    ASSERT_TRUE(zorv::test::waitUntil([&] { return !label("Label4").isEmpty(); }, 3000));
    EXPECT_EQ(label("Label4"), QStringLiteral("09-12-2026"));
    EXPECT_EQ(label("Label6"), QStringLiteral("19:05:07"));
}

TEST_F(Window, GridShowsTheTableWithFixedColumnWidthsAlignmentsAndColours)
{
    writeLog(threeLines());
    open();
    GridModel &model = view().gridModel();
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Cliente"));
    EXPECT_EQ(model.headerData(2, Qt::Vertical).toString(), QStringLiteral("3")) << "column 0 is the fixed column";
    EXPECT_TRUE(view().isColumnHidden(0));
    EXPECT_EQ(view().verticalHeader()->width(), 67);
    const int widths[] = {0, 53, 189, 100, 33, 80, 67, 100};
    for (int c = 1; c < 8; ++c)
        EXPECT_EQ(view().columnWidth(c), widths[c]) << c;

    const auto align = [&](int row, int col) {
        return model.data(model.index(row, col), Qt::TextAlignmentRole).value<Qt::Alignment>();
    };
    EXPECT_EQ(align(0, 1), Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(align(0, 2), Qt::AlignLeft | Qt::AlignVCenter);
    EXPECT_EQ(align(0, 3), Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(align(0, 4), Qt::AlignRight | Qt::AlignVCenter) << "a number in a default column";
    EXPECT_EQ(align(0, 5), Qt::AlignLeft | Qt::AlignVCenter);

    const auto back = [&](int row) { return model.data(model.index(row, 7), Qt::BackgroundRole).value<QBrush>().color(); };
    const auto fore = [&](int row) { return model.data(model.index(row, 7), Qt::ForegroundRole).value<QBrush>().color(); };
    EXPECT_EQ(back(0), QColor(0, 0x80, 0));
    EXPECT_EQ(fore(0), QColor(Qt::white));
    EXPECT_EQ(back(1), QColor(0xFF, 0, 0));
    EXPECT_EQ(back(2), QColor(0xFF, 0xFF, 0)) << "lower-case outcome";
    EXPECT_EQ(fore(2), QApplication::palette().color(QPalette::ButtonText));
    EXPECT_FALSE(model.data(model.index(0, 6), Qt::BackgroundRole).isValid());
}

TEST_F(Window, DoubleClickOnAnOutcomeCellFiltersByIt)
{
    writeLog(threeLines() + movLine("0001", "VERDI", "C", "1", "Autorizzato"));
    open();
    boxes.answerNext(answer::Yes);
    doubleClickCell(1, 7);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("Filtrare i movimenti per Esito Autorizzato ?"));
    window->program().loader().runToEnd();
    ASSERT_EQ(view().gridModel().rowCount(), 2);
    EXPECT_EQ(view().gridModel().headerData(1, Qt::Vertical).toString(), QStringLiteral("2"));
    EXPECT_EQ(view().gridModel().data(view().gridModel().index(1, 2)).toString(), QStringLiteral("VERDI"));
    EXPECT_EQ(label("Label7"), QStringLiteral("4"));
}

TEST_F(Window, DoubleClickOnTheFixedColumnOrAnEmptyGridAsksNothing)
{
    writeLog(threeLines());
    open();
    doubleClickCell(2, 0);
    EXPECT_EQ(grid().currentRow(), 2);
    EXPECT_EQ(grid().currentCol(), 0);
    EXPECT_TRUE(boxes.shown.isEmpty());

    click("Command6"); // the empty document: only the header row
    boxes.shown.clear();
    QTest::mouseDClick(view().viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseDClick(view().horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(20, 5));
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(Window, SortButtonsReorderTheViewAndRestoreFileOrder)
{
    writeLog(threeLines());
    open();
    click("Command8");
    GridModel &model = view().gridModel();
    EXPECT_EQ(model.data(model.index(0, 2)).toString(), QStringLiteral("bianchi anna"));
    EXPECT_EQ(view().currentIndex().row(), 0);
    EXPECT_EQ(view().currentIndex().column(), 0);
    EXPECT_TRUE(view().selectionModel()->selectedIndexes().isEmpty());
    click("Command9");
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), QStringLiteral("######"));
    click("Command10");
    EXPECT_EQ(model.data(model.index(0, 2)).toString(), QStringLiteral("ROSSI MARIO"));
    EXPECT_EQ(model.data(model.index(2, 2)).toString(), QStringLiteral("bianchi anna"));
}

TEST_F(Window, EachSortButtonSortsItsOwnColumnByItsKind)
{
    writeLog(movLine("0012", "ROSSI", "B1", "10", "Autorizzato") + movLine("######", "Sconosciuto", "a2", "9", "Esaurito")
             + movLine("0007", "bianchi", "c3", "0", "Autorizzato"));
    open();
    // Every order differs, so a button wired to another column or kind shows.
    const std::pair<const char *, QStringList> cases[] = {
        {"Command9", {"2", "3", "1"}},  // customer as text: "######" first
        {"Command8", {"3", "1", "2"}},  // name, case ignored
        {"Command7", {"2", "1", "3"}},  // card, case ignored
        {"Command11", {"3", "2", "1"}}, // door as a number: 9 before 10
        {"Command10", {"1", "2", "3"}}, // back to the order of the file
    };
    GridModel &model = view().gridModel();
    for (const auto &[name, order] : cases) {
        click(name);
        QStringList numbers;
        for (int r = 0; r < model.rowCount(); ++r)
            numbers.append(model.headerData(r, Qt::Vertical).toString());
        EXPECT_EQ(numbers, order) << name;
        EXPECT_EQ(grid().currentRow(), 1) << name;
        EXPECT_EQ(grid().currentCol(), 0) << name;
    }
}

TEST_F(Window, NameSortPutsAccentedNamesWithTheirPlainLetters)
{
    writeLog(movLine("0001", "Verdi", "C1", "1", "Autorizzato") + movLine("0002", "\xc0ngelo", "C2", "1", "Autorizzato")
             + movLine("0003", "Zeta", "C3", "1", "Autorizzato") + movLine("0004", "angelo", "C4", "1", "Autorizzato"));
    open();
    click("Command8");
    GridModel &model = view().gridModel();
    QStringList names;
    for (int r = 0; r < model.rowCount(); ++r)
        names.append(model.data(model.index(r, 2)).toString());
    EXPECT_EQ(names, (QStringList{u"angelo"_s, u"\u00c0ngelo"_s, u"Verdi"_s, u"Zeta"_s}));
}

TEST_F(Window, ClickOnACellMakesItTheCurrentCell)
{
    writeLog(threeLines());
    open();
    QTest::mouseClick(view().viewport(), Qt::LeftButton, {}, view().cellRect(3, 4).center());
    EXPECT_EQ(grid().currentRow(), 3);
    EXPECT_EQ(grid().currentCol(), 4);
}

TEST_F(Window, AllMovementsReloadsTheLog)
{
    writeLog(threeLines());
    open();
    click("Command6");
    writeLog(threeLines() + movLine("0001", "VERDI", "C", "1", "Autorizzato"));
    click("Command12");
    window->program().loader().runToEnd();
    EXPECT_EQ(view().gridModel().rowCount(), 4);
    EXPECT_EQ(grid().text(0, 1), QByteArrayView("Cliente"));
}

TEST_F(Window, LongLoadLeavesTheWindowLiveAndShowsProgress)
{
    QByteArray data;
    for (int i = 0; i < 150000; ++i)
        data += movLine("0012", "ROSSI MARIO", "04A1B2C3D4E5", "1", "Autorizzato");
    writeLog(data);
    window = std::make_unique<Scariman1>(percorso());
    window->show();
    auto *progress = control<QProgressBar>("Caricamento");
    ASSERT_NE(progress, nullptr);
    bool ranDuringLoad = false;
    bool progressShown = false;
    QTimer probe;
    probe.setInterval(0);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (window->program().loader().isRunning()) {
            ranDuringLoad = true;
            progressShown = progressShown || progress->isVisible();
        }
    });
    probe.start();
    ASSERT_TRUE(zorv::test::waitUntil([&] { return !window->program().loader().isRunning(); }, 60000));
    EXPECT_TRUE(ranDuringLoad) << "other events ran while the log was loading";
    EXPECT_TRUE(progressShown);
    EXPECT_FALSE(progress->isVisible());
    EXPECT_EQ(label("Label7"), QStringLiteral("150000"));
}

TEST_F(Window, DatabaseButtonStartsTheRegistryProgram)
{
    open();
    launcher.missing = {QStringLiteral("database")};
    click("Command3");
    EXPECT_EQ(launcher.started, QStringList{QStringLiteral("database")});
    EXPECT_TRUE(boxes.shown.isEmpty()) << "a program that does not start is passed over";
    EXPECT_TRUE(window->isVisible());
}

TEST_F(Window, ExitAsksAndNoKeepsTheWindow)
{
    open();
    QSignalSpy quit(window.get(), &Scariman1::quitRequested);
    boxes.answerNext(answer::No);
    click("Command1");
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("Lasciare il programma ?"));
    EXPECT_EQ(boxes.last().style, style::YesNo);
    EXPECT_EQ(boxes.last().title, QStringLiteral("MOVIMENTI"));
    EXPECT_EQ(boxes.beeps, 1);
    EXPECT_TRUE(window->isVisible());
    boxes.answerNext(answer::No);
    window->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(quit.count(), 0);

    boxes.answerNext(answer::Yes);
    click("Command1");
    EXPECT_EQ(quit.count(), 1);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(boxes.shown.size(), 3) << "closing after Yes asks no more";
    window.reset();
}

TEST_F(Window, EnterOnAFocusedButtonClicksIt)
{
    open();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        launcher.started.clear();
        auto *database = window->findChild<QPushButton *>(QStringLiteral("Command3"));
        database->setFocus();
        QTest::keyClick(database, key);
        EXPECT_EQ(launcher.started, QStringList{QStringLiteral("database")}) << key;
    }
    boxes.answerNext(answer::No);
    auto *exit = window->findChild<QPushButton *>(QStringLiteral("Command1"));
    exit->setFocus();
    QTest::keyClick(exit, Qt::Key_Return);
    EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("Lasciare il programma ?")});
    EXPECT_TRUE(window->isVisible());
}

TEST_F(Window, ClosingTheWindowAsksToo)
{
    open();
    QSignalSpy quit(window.get(), &Scariman1::quitRequested);
    boxes.answerNext(answer::Yes);
    window->close();
    EXPECT_EQ(quit.count(), 1);
    EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("Lasciare il programma ?")});
    window.reset();
}

TEST_F(Window, QuantityBoxTakesOnlyWhatMakesANumber)
{
    open();
    struct Case {
        const char *typed;
        const char *expected;
    };
    const Case cases[] = {
        {"05", "5"}, {"0.5", "5"}, {"1.5", "1.5"}, {"a", "a"}, {"a7", "7"}, {"12x-", "12"}, {"3..", "3.."},
    };
    for (const Case &c : cases) {
        focusText2Empty();
        QTest::keyClicks(text2(), QString::fromLatin1(c.typed));
        EXPECT_EQ(text2()->text(), QString::fromLatin1(c.expected)) << c.typed;
    }
    focusText2Empty();
    QTest::keyClicks(text2(), QStringLiteral("4"));
    QTest::keyClick(text2(), Qt::Key_Backspace);
    EXPECT_TRUE(text2()->text().isEmpty());
    QTest::keyClicks(text2(), QStringLiteral("4"));
    QTest::keyClick(text2(), Qt::Key_Left); // moving keys are not typed characters
    QTest::keyClick(text2(), Qt::Key_Home);
    EXPECT_EQ(text2()->text(), QStringLiteral("4"));
}

TEST_F(Window, EnterInTheCodeBoxOffersOneAndEnterAgainBooksIt)
{
    folder.write(QStringLiteral("ART.MAG"), artMag({article("A1", "10")}));
    open();
    text1()->setFocus();
    QTest::keyClicks(text1(), QStringLiteral("A1"));
    QTest::keyClick(text1(), Qt::Key_Return);
    EXPECT_TRUE(text2()->hasFocus());
    EXPECT_EQ(text2()->text(), QStringLiteral("1"));
    EXPECT_EQ(text2()->selectedText(), QStringLiteral("1"));
    QTest::keyClick(text2(), Qt::Key_Return);
    EXPECT_TRUE(text1()->hasFocus());
    EXPECT_TRUE(text1()->text().isEmpty());
    EXPECT_TRUE(text2()->text().isEmpty());
    EXPECT_EQ(record(QStringLiteral("ART.MAG"), 1).mid(80, 10), QByteArray("11        "));
    EXPECT_EQ(grid().text(grid().rowCount() - 1, 1), QByteArrayView("A1"));
    EXPECT_EQ(label("Label7"), QString::number(grid().rowCount() - 1));

    // A digit after Enter replaces the offered 1.
    QTest::keyClicks(text1(), QStringLiteral("A1"));
    QTest::keyClick(text1(), Qt::Key_Return);
    QTest::keyClicks(text2(), QStringLiteral("3"));
    EXPECT_EQ(text2()->text(), QStringLiteral("3"));
    QTest::keyClick(text2(), Qt::Key_Tab);
    EXPECT_EQ(record(QStringLiteral("ART.MAG"), 1).mid(80, 10), QByteArray("14        "));
    EXPECT_TRUE(text1()->hasFocus());

    // Shift+Tab is no key of the boxes': it moves the focus back and books nothing.
    QTest::keyClicks(text1(), QStringLiteral("A1"));
    QTest::keyClick(text1(), Qt::Key_Return);
    zorv::test::pressTab(text2(), true);
    EXPECT_FALSE(text2()->hasFocus());
    EXPECT_EQ(text2()->text(), QStringLiteral("1"));
    EXPECT_EQ(record(QStringLiteral("ART.MAG"), 1).mid(80, 10), QByteArray("14        "));
}

TEST_F(Window, TabInTheCodeBoxEmptiesTheQuantity)
{
    open();
    text2()->setText(QStringLiteral("7"));
    text1()->setFocus();
    QTest::keyClicks(text1(), QStringLiteral("A1"));
    QTest::keyClick(text1(), Qt::Key_Tab);
    EXPECT_TRUE(text2()->hasFocus());
    EXPECT_TRUE(text2()->text().isEmpty());
    EXPECT_EQ(text1()->text(), QStringLiteral("A1"));
}

TEST_F(Window, EnterInAnEmptyQuantityBooksNothing)
{
    open();
    text1()->setText(QStringLiteral("A1"));
    focusText2Empty();
    QTest::keyClick(text2(), Qt::Key_Return);
    EXPECT_TRUE(text2()->hasFocus());
    text2()->setText(QStringLiteral("0"));
    QTest::keyClick(text2(), Qt::Key_Tab);
    EXPECT_TRUE(text2()->hasFocus());
    EXPECT_TRUE(text2()->text().isEmpty());
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("ART.MAG"))));
}

TEST_F(Window, DiscardedBookingEmptiesTheBoxesAndFailedOneKeepsThem)
{
    folder.write(QStringLiteral("ART.MAG"), artMag({article("A1", "1")}));
    open();
    text1()->setText(QStringLiteral("A1"));
    text2()->setText(QStringLiteral("5"));
    text2()->setFocus();
    boxes.answerNext(answer::No);
    QTest::keyClick(text2(), Qt::Key_Return);
    EXPECT_EQ(boxes.last().title, QStringLiteral("INVENTARIO"));
    EXPECT_TRUE(text1()->text().isEmpty());
    EXPECT_TRUE(text2()->text().isEmpty());

    class Failing : public ArticleFile {
    public:
        using ArticleFile::ArticleFile;
        QString write(qint64, const RecordArticolo &) override { return QStringLiteral("Disco pieno"); }
    };
    window->program().setArticleFiles([](const QString &path) { return std::make_unique<Failing>(path); });
    const int rows = grid().rowCount();
    text1()->setText(QStringLiteral("A1"));
    text2()->setText(QStringLiteral("1"));
    text2()->setFocus();
    QTest::keyClick(text2(), Qt::Key_Return);
    EXPECT_EQ(boxes.last().title, QStringLiteral("ERRORE"));
    EXPECT_EQ(text1()->text(), QStringLiteral("A1"));
    EXPECT_EQ(grid().rowCount(), rows);
}

TEST_F(Window, OptionClicksPutTheFocusBackInTheCodeBox)
{
    open();
    for (const char *name : {"Check1", "Check2"}) {
        text2()->setFocus();
        QTest::mouseClick(control<QCheckBox>(name), Qt::LeftButton);
        EXPECT_TRUE(control<QCheckBox>(name)->isChecked());
        EXPECT_TRUE(text1()->hasFocus()) << name;
    }
}

TEST_F(Window, ResetEmptiesTheBoxesWhateverTheAnswer)
{
    writeLog(threeLines());
    open();
    text1()->setText(QStringLiteral("A1"));
    boxes.answerNext(answer::No);
    click("Command6");
    EXPECT_TRUE(text1()->text().isEmpty());
    EXPECT_EQ(view().gridModel().rowCount(), 3);
    text1()->setText(QStringLiteral("A1"));
    click("Command6");
    EXPECT_TRUE(text1()->text().isEmpty());
    EXPECT_EQ(view().gridModel().rowCount(), 0);
    EXPECT_EQ(view().gridModel().headerData(1, Qt::Horizontal).toString(), QStringLiteral("Barcode"));
    EXPECT_EQ(label("Label7"), QStringLiteral("0"));
}

TEST_F(Window, BookingSelectsItsRowAndShowsItAtTheTop)
{
    QByteArray data;
    for (int i = 1; i <= 200; ++i)
        data += movLine(QByteArray::number(i).rightJustified(4, '0'), "ROSSI", "C", "1", "Autorizzato");
    writeLog(data);
    open();
    const Booking b = window->program().registraarticolo(entry("0050", "1", false, true));
    ASSERT_EQ(b.row, 50);
    EXPECT_FALSE(b.rowAdded);
    EXPECT_EQ(view().currentIndex().row(), 49);
    EXPECT_EQ(view().selectionModel()->selectedIndexes().size(), 8);
    EXPECT_EQ(view().rowAt(0), 49) << "the booked row is the first one visible";
}

TEST_F(Window, StockUpdateTakesTheCreateOptionFromItsBox)
{
    writeLog(threeLines());
    open();
    click("Command6");
    window->program().registraarticolo(entry("NUOVO", "4", false, true));
    boxes.shown.clear();
    QTest::mouseClick(control<QCheckBox>("Check3"), Qt::LeftButton);
    window->aggiornagiacenze();
    EXPECT_EQ(boxes.shown.size(), 2) << "no warning about codes left out";
    const QByteArray created = record(QStringLiteral("ART.MAG"), 1);
    EXPECT_EQ(RecordArticolo(created).trimmed(RecordArticolo::Barcode), QByteArray("NUOVO"));
    window->program().loader().runToEnd();
    EXPECT_EQ(view().gridModel().headerData(4, Qt::Horizontal).toString(), QStringLiteral("     Giacenza"));
    EXPECT_EQ(label("Label7"), QStringLiteral("4"));
}
