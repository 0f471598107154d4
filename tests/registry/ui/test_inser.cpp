#include "inser.h"

#include "registryfixture.h"

#include "namesearch.h"
#include "text.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <sys/resource.h>
#include <csignal>
#include <unistd.h>

#include <memory>

using namespace zorv;
using namespace zorv::registry;

namespace {

QByteArray pad(const QByteArray &s, int width, char fill = ' ')
{
    return s + QByteArray(width - s.size(), fill);
}

class InserTest : public test::RegistryFixture {
protected:
    // As the main window opens it for a new customer.
    void openNew()
    {
        db().NuovoCliente = 1;
        form = std::make_unique<Inser>();
        form->nucli->setEnabled(false);
        form->nucli->setText(QString::number(file().count() + 1));
        form->setWindowTitle(QStringLiteral("Aggiorna"));
        show();
    }
    void openEdit()
    {
        db().NuovoCliente = 0;
        form = std::make_unique<Inser>();
        show();
    }
    void show()
    {
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    QWidget *focus() const
    {
        QWidget *w = form->focusWidget();
        return w ? w : form.get();
    }
    void type(const QString &s)
    {
        for (QChar ch : s) {
            if (ch.unicode() < 128) {
                QTest::keyClick(focus(), ch.toLatin1());
                continue;
            }
            // Beyond ASCII: the key of the upper-case letter, typing the character itself.
            const auto code = Qt::Key(ch.toUpper().unicode());
            QTest::sendKeyEvent(QTest::Press, focus(), code, QString(ch), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, focus(), code, QString(ch), Qt::NoModifier);
        }
    }
    void key(Qt::Key k) { QTest::keyClick(focus(), k); }
    void enter(const QString &s)
    {
        type(s);
        key(Qt::Key_Return);
    }
    void load(int n)
    {
        form->nucli->setFocus();
        form->nucli->clear();
        enter(QString::number(n));
    }
    QLineEdit *edit(const char *name) const { return form->findChild<QLineEdit *>(QLatin1String(name)); }
    QStringList visibleTexts() const
    {
        QStringList out;
        for (auto *e : {form->rsoc, form->indir, form->Citta, form->tlx, form->c89, form->stato, form->tel, form->fax,
                        form->contatto, form->fatturat})
            out.append(e->text());
        return out;
    }
    bool allEmpty() const
    {
        for (QLineEdit *e : form->findChildren<QLineEdit *>()) {
            if (e != form->nucli && !e->text().isEmpty())
                return false;
        }
        return true;
    }
    // Fills every visible box through the keyboard, following the Enter chain from rsoc.
    void typeCustomer(const QString &nome, const QString &citta = QStringLiteral("roma"))
    {
        form->rsoc->setFocus();
        enter(nome);
        enter(QStringLiteral("via roma 1"));
        enter(citta);
        enter(QStringLiteral("00100"));
        enter(QStringLiteral("rm"));
        enter(QStringLiteral("25"));
        enter(QStringLiteral("06 123"));
        enter(QStringLiteral("12 34 ab"));
        enter(QStringLiteral("3"));
        type(QStringLiteral("2"));
        key(Qt::Key_Return); // on to "Salva"
    }
    void salva()
    {
        ASSERT_EQ(focus(), form->Comando1);
        key(Qt::Key_Space);
    }

    std::unique_ptr<Inser> form;
};

TEST_F(InserTest, NewCustomerIsAppendedByteExactUnderTheNextNumber)
{
    fill(12);
    openNew();
    EXPECT_EQ(form->nucli->text(), QStringLiteral("13"));
    EXPECT_FALSE(form->nucli->isEnabled());
    EXPECT_EQ(focus(), form->rsoc);

    typeCustomer(QStringLiteral("  rossi mario "), QStringLiteral("forl\u00ec"));
    salva();

    const QByteArray expected = pad("ROSSI MARIO", 40) + pad("VIA ROMA 1", 45) + QByteArray(15, '\0') + pad("25", 15) +
                                pad("06 123", 15) + pad("1234AB", 15) + pad("00100", 15) + pad("3", 30) +
                                pad("RM", 14) + pad("<>", 14) + pad("2", 4) + pad("FORL\xCC", 24);
    ASSERT_EQ(expected.size(), kRecordSize);
    const QByteArray data = stored();
    ASSERT_EQ(data.size(), 13 * kRecordSize);
    EXPECT_EQ(data.mid(12 * kRecordSize), expected);
    EXPECT_TRUE(boxes.shown.isEmpty()) << boxes.texts().join(u'|').toStdString();

    // Ready for the next customer under the next number.
    EXPECT_EQ(form->nucli->text(), QStringLiteral(" 14"));
    EXPECT_FALSE(form->nucli->isEnabled());
    EXPECT_TRUE(allEmpty());
    EXPECT_EQ(focus(), form->rsoc);
    EXPECT_EQ(form->numRecord(), 0);
}

TEST_F(InserTest, ThreeSavesInNewModeAppendThreeCustomers)
{
    fill(12);
    openNew();
    for (const char *nome : {"uno", "due", "tre"}) {
        typeCustomer(QLatin1String(nome));
        salva();
    }
    EXPECT_EQ(form->nucli->text(), QStringLiteral(" 16"));
    EXPECT_EQ(file().count(), 15);
    EXPECT_EQ(file().read(15)->trimmed(fields::Nome), QByteArray("TRE"));
    EXPECT_EQ(file().read(13)->trimmed(fields::Nome), QByteArray("UNO"));
}

TEST_F(InserTest, FirstCustomerOfAMissingFileIsNumberOne)
{
    openNew();
    EXPECT_EQ(form->nucli->text(), QStringLiteral("1"));
    typeCustomer(QStringLiteral("rossi mario"));
    salva();
    EXPECT_EQ(stored().size(), kRecordSize);
}

TEST_F(InserTest, BrokenTailIsNoCustomerAndTheNextOneReplacesIt)
{
    fill(3);
    const QByteArray whole = stored();
    folder.write(QStringLiteral("CLIENTI.DAT"), whole + "HALF A RECORD");
    openEdit();
    load(4);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("L'archivio contiene 3 Clienti"));

    openNew();
    EXPECT_EQ(form->nucli->text(), QStringLiteral("4"));
    typeCustomer(QStringLiteral("quarto"));
    salva();
    const QByteArray after = stored();
    ASSERT_EQ(after.size(), 4 * kRecordSize);
    EXPECT_EQ(after.left(3 * kRecordSize), whole);
    EXPECT_EQ(file().read(4)->trimmed(fields::Nome), QByteArray("QUARTO"));
}

TEST_F(InserTest, EditModeLoadsChangesAndWritesBackKeepingHiddenValues)
{
    fill(12);
    CustomerInput in;
    in.nome = "VERDI LUCA";
    in.indirizzo = "VIA PO 3";
    in.citta = "TORINO";
    in.cap = "10100";
    in.prov = "TO";
    in.accessi = "D31-12-2030";
    in.telefono = "011 55";
    in.numeroCarta = "ABC123";
    in.accessiEffettuati = "12345678901"; // longer than the box lets anyone type
    in.relay = "2";
    in.ordini = {"1", "22", "", "x", "", "9"};
    in.fatturato = {"", "7", "77", "", "a", ""};
    in.riservato = "KEPT?";
    Record original = Record::compose(in);
    ASSERT_TRUE(file().write(7, original).isEmpty());

    openEdit();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Modifica"));
    EXPECT_TRUE(form->nucli->isEnabled());
    EXPECT_EQ(focus(), form->nucli);
    load(7);
    EXPECT_EQ(form->numRecord(), 7);
    EXPECT_EQ(focus(), form->rsoc);
    EXPECT_EQ(visibleTexts(), (QStringList{"VERDI LUCA", "VIA PO 3", "TORINO", "10100", "TO", "D31-12-2030", "011 55",
                                           "ABC123", "12345678901", "2"}));
    EXPECT_EQ(edit("c91")->text(), QStringLiteral("22"));
    EXPECT_EQ(edit("f92")->text(), QStringLiteral("77"));
    EXPECT_FALSE(edit("c90")->isVisible());

    form->indir->setFocus();
    form->indir->selectAll();
    enter(QStringLiteral("via dora 8"));
    form->Comando1->click();

    Record expected = original;
    expected.setRaw(fields::Indirizzo, "VIA DORA 8");
    expected.setRaw(fields::Riservato, QByteArray(15, '\0'));
    EXPECT_EQ(file().read(7)->bytes(), expected.bytes());
    EXPECT_EQ(file().count(), 12);
    EXPECT_TRUE(form->nucli->text().isEmpty());
    EXPECT_TRUE(allEmpty());
    EXPECT_EQ(focus(), form->nucli);
    EXPECT_EQ(form->numRecord(), 0);
}

TEST_F(InserTest, NumberAboveTheCountIsRefusedWithTheCount)
{
    fill(12);
    openEdit();
    load(13);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("L'archivio contiene 12 Clienti"));
    EXPECT_EQ(boxes.last().title, QStringLiteral("( Info )"));
    EXPECT_EQ(boxes.last().style, style::Ok);
    EXPECT_EQ(boxes.beeps, 1);
    EXPECT_TRUE(form->nucli->text().isEmpty());
    EXPECT_EQ(focus(), form->nucli);
    EXPECT_TRUE(allEmpty());
}

TEST_F(InserTest, EmptyNumberLoadsNothingSilently)
{
    fill(3);
    openEdit();
    form->nucli->setFocus();
    key(Qt::Key_Return);
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_EQ(focus(), form->nucli);
    EXPECT_EQ(form->numRecord(), 0);
}

TEST_F(InserTest, DeletedNumberDeclinedLeavesTheFormEmpty)
{
    fill(10);
    ASSERT_TRUE(file().write(4, Record::deleted()).isEmpty());
    openEdit();
    boxes.answerNext(answer::No);
    load(4);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("Cliente cancellato. Assegnare il numero 4 ad un nuovo Cliente ?"));
    EXPECT_EQ(boxes.last().title, QStringLiteral("( Info )"));
    EXPECT_EQ(boxes.last().style, style::YesNo);
    EXPECT_TRUE(form->nucli->text().isEmpty());
    EXPECT_EQ(focus(), form->nucli);
    EXPECT_TRUE(allEmpty());
    EXPECT_EQ(form->numRecord(), 0);
}

TEST_F(InserTest, DeletedNumberTakenBackComesToLifeWithoutTheNameQuestion)
{
    fill(10);
    ASSERT_TRUE(file().write(4, Record::deleted()).isEmpty());
    const QByteArray before = stored();
    openEdit();
    load(4); // Yes
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(allEmpty());
    EXPECT_EQ(form->numRecord(), 4);
    typeCustomer(QStringLiteral("cliente 1")); // already on file as number 1
    salva();
    EXPECT_EQ(boxes.shown.size(), 1) << boxes.texts().join(u'|').toStdString();
    const QByteArray after = stored();
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(file().read(4)->trimmed(fields::Nome), QByteArray("CLIENTE 1"));
    EXPECT_EQ(after.left(3 * kRecordSize), before.left(3 * kRecordSize));
    EXPECT_EQ(after.mid(4 * kRecordSize), before.mid(4 * kRecordSize));
}

TEST_F(InserTest, ChangedNumberWithoutEnterLoadsItAndWritesNothing)
{
    fill(10);
    const QByteArray before = stored();
    openEdit();
    load(7);
    form->rsoc->setText(QStringLiteral("CHANGED"));
    form->nucli->setText(QStringLiteral("8"));
    form->Comando1->click();
    EXPECT_EQ(stored(), before);
    EXPECT_EQ(form->rsoc->text(), QStringLiteral("CLIENTE 8"));
    EXPECT_EQ(form->numRecord(), 8);
}

TEST_F(InserTest, SaveInEditModeWithNothingLoadedSaysSoAndKeepsTheTyping)
{
    fill(3);
    const QByteArray before = stored();
    openEdit();
    typeCustomer(QStringLiteral("nuovo"));
    const QStringList typed = visibleTexts();
    salva();
    EXPECT_EQ(stored(), before);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().title, QStringLiteral("( Info )"));
    EXPECT_EQ(visibleTexts(), typed);
    EXPECT_EQ(focus(), form->nucli);
}

struct CreditCase {
    const char *typed;
    bool accepted;
    const char *stored;
};

class CreditCheck : public InserTest, public ::testing::WithParamInterface<CreditCase> {};

TEST_P(CreditCheck, OnlyACountOrDFollowedByAValidDatePasses)
{
    const CreditCase c = GetParam();
    openNew();
    typeCustomer(QStringLiteral("rossi"));
    form->stato->setText(QLatin1String(c.typed)); // set whole: the key filter would drop "/"
    form->Comando1->click();
    if (c.accepted) {
        EXPECT_TRUE(boxes.shown.isEmpty()) << boxes.texts().join(u'|').toStdString();
        ASSERT_EQ(file().count(), 1);
        EXPECT_EQ(file().read(1)->trimmed(fields::Accessi), QByteArray(c.stored));
    } else {
        EXPECT_EQ(file().count(), 0);
        ASSERT_EQ(boxes.shown.size(), 1);
        EXPECT_EQ(boxes.last().text, QStringLiteral("Data Accessi non corretta"));
        EXPECT_EQ(boxes.last().title, QStringLiteral("( Info )"));
        EXPECT_EQ(boxes.beeps, 1);
        EXPECT_EQ(focus(), form->stato);
        EXPECT_EQ(form->stato->text(), QLatin1String(c.typed));
        EXPECT_EQ(form->rsoc->text(), QStringLiteral("rossi"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Accessi, CreditCheck,
    ::testing::Values(CreditCase{"D31-12-2015", true, "D31-12-2015"}, CreditCase{"d31-12-2015", true, "D31-12-2015"},
                      CreditCase{"D29-02-2024", true, "D29-02-2024"}, CreditCase{"25", true, "25"},
                      CreditCase{"", true, ""}, CreditCase{"D31/12/2015", false, ""},
                      CreditCase{"D1-1-2015", false, ""}, CreditCase{"D32-13-2015", false, ""},
                      CreditCase{"D29-02-2023", false, ""}, CreditCase{"D31-04-2020", false, ""},
                      CreditCase{"D00-01-2020", false, ""}, CreditCase{"D01-01-0000", false, ""},
                      CreditCase{"D-1-01-2020", false, ""}, CreditCase{"D1-01-20201", false, ""},
                      CreditCase{"D31-12-201-", false, ""}, CreditCase{"DD1-12-2015", false, ""},
                      CreditCase{"D", false, ""}));

TEST_F(InserTest, NameAndCityAreRequired)
{
    openNew();
    typeCustomer(QStringLiteral("   "));
    salva();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("Inserire la Ragione Sociale"));
    EXPECT_EQ(boxes.last().title, QStringLiteral("( Info )"));
    EXPECT_EQ(boxes.beeps, 0);
    EXPECT_EQ(focus(), form->rsoc);

    form->rsoc->setText(QStringLiteral("rossi"));
    form->Citta->setText(QStringLiteral("  "));
    form->Comando1->click();
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_EQ(boxes.last().text, QStringLiteral("Inserire la Citta'"));
    EXPECT_EQ(boxes.last().title, QStringLiteral("( Info )"));
    EXPECT_EQ(boxes.beeps, 1);
    EXPECT_EQ(focus(), form->Citta);
    EXPECT_EQ(file().count(), 0);
}

TEST_F(InserTest, SameNameInNewModeAsksAndNoWritesNothing)
{
    fill(3);
    ASSERT_TRUE(file().write(4, customer("ROSSI MARIO")).isEmpty());
    const QByteArray before = stored();
    openNew();
    boxes.answerNext(answer::No);
    typeCustomer(QStringLiteral(" rossi mario "));
    const QStringList typed = visibleTexts();
    salva();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("Il cliente ROSSI MARIO esiste, vuoi forzare ?"));
    EXPECT_EQ(boxes.last().title, QStringLiteral("(!)"));
    EXPECT_EQ(boxes.last().style, style::YesNo);
    EXPECT_EQ(boxes.beeps, 1);
    EXPECT_EQ(stored(), before);
    EXPECT_EQ(visibleTexts(), typed);

    form->Comando1->click(); // Yes this time
    EXPECT_EQ(boxes.shown.size(), 2);
    EXPECT_EQ(file().count(), 5);
    EXPECT_EQ(file().read(5)->trimmed(fields::Nome), QByteArray("ROSSI MARIO"));
}

TEST_F(InserTest, DeletedRecordsAndOtherNamesNeverAskTheNameQuestion)
{
    fill(3);
    ASSERT_TRUE(file().write(2, Record::deleted()).isEmpty());
    openNew();
    typeCustomer(QStringLiteral("cliente"));  // a prefix of names on file
    salva();
    typeCustomer(QStringLiteral("cliente 2")); // only the deleted record had it
    salva();
    EXPECT_TRUE(boxes.shown.isEmpty()) << boxes.texts().join(u'|').toStdString();
    EXPECT_EQ(file().count(), 5);
}

TEST_F(InserTest, EditModeNeverAsksTheNameQuestion)
{
    fill(3);
    openEdit();
    load(3);
    form->rsoc->setText(QStringLiteral("cliente 1"));
    form->Comando1->click();
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_EQ(file().read(3)->trimmed(fields::Nome), QByteArray("CLIENTE 1"));
}

TEST_F(InserTest, NumberTenThousandIsRefusedAndNothingWritten)
{
    QByteArray data;
    const QByteArray one = customer("PIENO").bytes();
    for (int i = 0; i < kMaxCustomers; ++i)
        data += one;
    folder.write(QStringLiteral("CLIENTI.DAT"), data);
    openNew();
    EXPECT_EQ(form->nucli->text(), QStringLiteral("10000"));
    typeCustomer(QStringLiteral("ultimo"));
    const QStringList typed = visibleTexts();
    salva();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.last().text.contains(QStringLiteral("9999"))) << boxes.last().text.toStdString();
    EXPECT_EQ(stored().size(), qsizetype(kMaxCustomers) * kRecordSize);
    EXPECT_EQ(visibleTexts(), typed);
}

TEST_F(InserTest, SaveKeepsWhatAStationWroteAfterLoadingAndATypedCreditWins)
{
    CustomerInput in;
    in.nome = "ROSSI MARIO";
    in.citta = "ROMA";
    in.accessi = "5";
    in.accessiEffettuati = "41";
    in.telefono = "06 1234";
    in.numeroCarta = "123456789012";
    in.relay = "1";
    fill(1);
    ASSERT_TRUE(file().write(2, Record::compose(in)).isEmpty());
    auto stationGrants = [this] {
        test::OtherProgram station({"card", folder.path(), "123456789012", "1"});
        ASSERT_TRUE(station.waitReady());
        station.go();
        ASSERT_TRUE(station.finishedWell()) << station.errors().toStdString();
    };

    openEdit();
    load(2);
    EXPECT_EQ(form->stato->text(), QStringLiteral("5"));
    stationGrants(); // the customer walks in while the operator edits him
    form->tel->setFocus();
    form->tel->selectAll();
    enter(QStringLiteral("06 9999"));
    form->Comando1->click();
    EXPECT_TRUE(boxes.shown.isEmpty()) << boxes.texts().join(u'|').toStdString();
    Record after = *file().read(2);
    EXPECT_EQ(after.trimmed(fields::Telefono), QByteArray("06 9999"));
    EXPECT_EQ(after.trimmed(fields::Accessi), QByteArray("4"));
    EXPECT_EQ(after.trimmed(fields::AccessiEffettuati), QByteArray("42"));

    load(2);
    stationGrants();
    form->stato->setFocus();
    form->stato->selectAll();
    enter(QStringLiteral("20"));
    form->Comando1->click();
    after = *file().read(2);
    EXPECT_EQ(after.trimmed(fields::Accessi), QByteArray("20"));
    EXPECT_EQ(after.trimmed(fields::AccessiEffettuati), QByteArray("43"));
    EXPECT_EQ(after.trimmed(fields::Telefono), QByteArray("06 9999"));
    EXPECT_EQ(file().count(), 2);
}

TEST_F(InserTest, CustomerDeletedOrNumberTakenMeanwhileIsNeverOverwritten)
{
    fill(3);
    ASSERT_TRUE(file().write(3, Record::deleted()).isEmpty());
    openEdit();
    load(2);
    // Another operator deletes customer 2 meanwhile.
    ASSERT_TRUE(file().write(2, Record::deleted()).isEmpty());
    form->tel->setFocus();
    enter(QStringLiteral("06 9999"));
    form->Comando1->click();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("Il Cliente N. 2 e' stato cancellato nel frattempo: nulla e' stato salvato"));
    EXPECT_EQ(boxes.last().title, QStringLiteral("( Info )"));
    EXPECT_TRUE(file().read(2)->isDeleted());

    load(3); // deleted: given to a new customer (Yes)
    ASSERT_EQ(boxes.shown.size(), 2);
    typeCustomer(QStringLiteral("verdi luca"));
    // ... and meanwhile another operator gives number 3 to someone else.
    const Record other = customer("ALTRO OPERATORE");
    ASSERT_TRUE(file().write(3, other).isEmpty());
    salva();
    ASSERT_EQ(boxes.shown.size(), 3);
    EXPECT_EQ(boxes.last().text,
              QStringLiteral("Il numero 3 e' stato assegnato nel frattempo ad un altro Cliente: nulla e' stato salvato"));
    EXPECT_EQ(file().read(3)->bytes(), other.bytes());
    EXPECT_EQ(form->rsoc->text(), QStringLiteral("verdi luca"));
}

TEST_F(InserTest, SaveWhileAnotherProgramHoldsTheRegistryFailsAndCanBeRetried)
{
    fill(3);
    const QByteArray before = stored();
    openNew();
    typeCustomer(QStringLiteral("rossi mario"));
    const QStringList typed = visibleTexts();
    auto holder = std::make_unique<test::OtherProgram>(QStringList{"hold", db().FileClienti});
    ASSERT_TRUE(holder->waitReady());
    salva();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().title, QStringLiteral("ERRORE"));
    EXPECT_EQ(boxes.last().text, QStringLiteral("CLIENTI.DAT e' in uso da un altro programma (oltre 3 secondi di attesa)"));
    EXPECT_EQ(stored(), before);
    EXPECT_EQ(visibleTexts(), typed);

    ASSERT_TRUE(holder->finishedWell());
    form->Comando1->click();
    EXPECT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(file().read(4)->trimmed(fields::Nome), QByteArray("ROSSI MARIO"));
}

TEST_F(InserTest, NumberTakenMeanwhileByAnotherOperatorIsNeverOverwritten)
{
    fill(3);
    openNew();
    ASSERT_EQ(form->nucli->text(), QStringLiteral("4"));
    // Another database on the same data folder appends customer 4 meanwhile.
    const QByteArray other = customer("ALTRO OPERATORE").bytes();
    folder.write(QStringLiteral("CLIENTI.DAT"), stored() + other);

    typeCustomer(QStringLiteral("rossi mario"));
    const QStringList typed = visibleTexts();
    salva();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().text,
              QStringLiteral("Il numero 4 e' stato assegnato nel frattempo: il nuovo Cliente avra' il numero 5"));
    EXPECT_EQ(boxes.last().title, QStringLiteral("( Info )"));
    EXPECT_EQ(stored().size(), 4 * kRecordSize);
    EXPECT_EQ(stored().mid(3 * kRecordSize), other);
    EXPECT_EQ(form->nucli->text(), QStringLiteral("5"));
    EXPECT_EQ(visibleTexts(), typed);

    // Saved again, the customer goes under the next free number.
    salva();
    EXPECT_EQ(boxes.shown.size(), 1);
    ASSERT_EQ(stored().size(), 5 * kRecordSize);
    EXPECT_EQ(stored().mid(3 * kRecordSize, kRecordSize), other);
    EXPECT_EQ(file().read(5)->trimmed(fields::Nome), QByteArray("ROSSI MARIO"));
    EXPECT_EQ(form->nucli->text(), QStringLiteral(" 6"));
}

TEST_F(InserTest, FailedSaveShowsTheErrorKeepsTheTypingAndCanBeRetried)
{
    const QString dataDir = folder.file(QStringLiteral("dati"));
    db().FileClienti = dataDir + QStringLiteral("/CLIENTI.DAT"); // the data folder is not there
    openNew();
    typeCustomer(QStringLiteral("rossi mario"));
    const QStringList typed = visibleTexts();
    salva();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().title, QStringLiteral("ERRORE"));
    EXPECT_FALSE(boxes.last().text.isEmpty());
    EXPECT_GE(boxes.beeps, 1);
    EXPECT_EQ(visibleTexts(), typed);
    EXPECT_EQ(form->nucli->text(), QStringLiteral("1"));

    ASSERT_TRUE(QDir().mkpath(dataDir));
    form->Comando1->click();
    EXPECT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(registry::RegistryFile(db().FileClienti).read(1)->trimmed(fields::Nome), QByteArray("ROSSI MARIO"));
    EXPECT_EQ(form->nucli->text(), QStringLiteral(" 2"));
    EXPECT_TRUE(allEmpty());
}

TEST_F(InserTest, SaveIntoAReadOnlyFolderShowsTheError)
{
    const QString dataDir = folder.file(QStringLiteral("sola"));
    ASSERT_TRUE(QDir().mkpath(dataDir));
    QFile::setPermissions(dataDir, QFile::ReadOwner | QFile::ExeOwner);
    {
        QFile probe(dataDir + QStringLiteral("/probe"));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QFile::setPermissions(dataDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            GTEST_SKIP() << "this user can write into read-only folders";
        }
    }
    db().FileClienti = dataDir + QStringLiteral("/CLIENTI.DAT");
    openNew();
    typeCustomer(QStringLiteral("rossi mario"));
    const QStringList typed = visibleTexts();
    salva();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().title, QStringLiteral("ERRORE"));
    EXPECT_EQ(visibleTexts(), typed);
    QFile::setPermissions(dataDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    form->Comando1->click();
    EXPECT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(registry::RegistryFile(db().FileClienti).count(), 1);
}

TEST_F(InserTest, SaveOnAFullDiskLeavesNoHalfRecordAndCanBeRetried)
{
    fill(3);
    const QByteArray before = stored();
    openNew();
    typeCustomer(QStringLiteral("rossi mario"));
    const QStringList typed = visibleTexts();
    {
        const test::FileSizeLimit full(3 * kRecordSize + 100);
        salva();
    }
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().title, QStringLiteral("ERRORE"));
    EXPECT_EQ(stored().size(), before.size());
    EXPECT_EQ(stored(), before);
    EXPECT_EQ(visibleTexts(), typed);
    EXPECT_EQ(form->nucli->text(), QStringLiteral("4"));

    form->Comando1->click();
    EXPECT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(file().count(), 4);
    EXPECT_EQ(file().read(4)->trimmed(fields::Nome), QByteArray("ROSSI MARIO"));
}

TEST_F(InserTest, LoadingFromAMissingDataFolderShowsTheError)
{
    db().FileClienti = folder.file(QStringLiteral("manca/CLIENTI.DAT"));
    openEdit();
    load(1);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().title, QStringLiteral("ERRORE"));
    EXPECT_EQ(boxes.beeps, 1);
    EXPECT_EQ(form->numRecord(), 0);
}

struct FilterCase {
    const char *box;
    const char *typed;
    const char *shown;
};

class KeyFilter : public InserTest, public ::testing::WithParamInterface<FilterCase> {};

TEST_P(KeyFilter, DropsWhatTheBoxDoesNotTake)
{
    const FilterCase c = GetParam();
    openEdit();
    QLineEdit *e = edit(c.box);
    ASSERT_NE(e, nullptr);
    e->setFocus();
    type(QLatin1String(c.typed));
    EXPECT_EQ(e->text(), QLatin1String(c.shown));
    EXPECT_EQ(focus(), e);
}

INSTANTIATE_TEST_SUITE_P(Boxes, KeyFilter,
                         ::testing::Values(FilterCase{"nucli", "1a2 -3x", "123"}, FilterCase{"nucli", "123456", "1234"},
                                           FilterCase{"stato", "D12-ab/x3d.,", "D12-3d"},
                                           FilterCase{"contatto", "1a2-3 4", "1234"}, FilterCase{"fatturat", "1", "1"},
                                           FilterCase{"fatturat", "2", "2"}, FilterCase{"rsoc", "Ab 1-?", "Ab 1-?"},
                                           FilterCase{"fax", "12 ab", "12 ab"}, FilterCase{"c89", "rmx", "rm"}));

TEST_F(InserTest, BackspacePassesThroughTheFilters)
{
    openEdit();
    for (QLineEdit *e : {form->nucli, form->stato, form->contatto, form->fatturat}) {
        e->setFocus();
        type(QStringLiteral("1"));
        key(Qt::Key_Backspace);
        EXPECT_TRUE(e->text().isEmpty()) << e->objectName().toStdString();
    }
}

TEST_F(InserTest, EnterAndEscFollowTheChain)
{
    openEdit();
    struct Step {
        const char *from, *enter, *esc;
    };
    const Step chain[] = {
        {"rsoc", "indir", "rsoc"}, {"indir", "Citta", "rsoc"},    {"Citta", "tlx", "indir"},
        {"tlx", "c89", "Citta"},   {"c89", "stato", "tlx"},       {"stato", "tel", "c89"},
        {"tel", "fax", "stato"},   {"fax", "contatto", "tel"},    {"contatto", "fatturat", "fax"},
        {"fatturat", "Comando1", "Comando1"},
    };
    for (const Step &s : chain) {
        QLineEdit *from = edit(s.from);
        from->setFocus();
        key(Qt::Key_Return);
        EXPECT_EQ(focus()->objectName(), QLatin1String(s.enter)) << "Enter from " << s.from;
        from->setFocus();
        key(Qt::Key_Escape);
        EXPECT_EQ(focus()->objectName(), QLatin1String(s.esc)) << "Esc from " << s.from;
        EXPECT_TRUE(from->text().isEmpty()) << s.from;
    }
    EXPECT_TRUE(form->isVisible()); // Esc never closes the form
}

TEST_F(InserTest, RelayBoxSendsOtherKeysAwayWithoutTypingThem)
{
    openEdit();
    struct Case {
        QString typed;
        const char *focus;
    };
    for (const Case &c : {Case{"3", "contatto"}, Case{"9", "contatto"}, Case{"a", "contatto"}, Case{"0", "Comando1"},
                          Case{" ", "Comando1"}}) {
        form->fatturat->setFocus();
        type(c.typed);
        EXPECT_EQ(focus()->objectName(), QLatin1String(c.focus)) << c.typed.toStdString();
        EXPECT_TRUE(form->fatturat->text().isEmpty());
    }
}

TEST_F(InserTest, F9ClosesTheFormFromAnyBox)
{
    openEdit();
    form->tel->setFocus();
    key(Qt::Key_F9);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(InserTest, CancellaEmptiesEveryBoxHiddenOnesToo)
{
    fill(5);
    ASSERT_TRUE(file().write(2, [] {
                          CustomerInput in;
                          in.nome = "CON ORDINI";
                          in.citta = "ROMA";
                          in.ordini = {"1", "2", "3", "4", "5", "6"};
                          in.fatturato = {"7", "8", "9", "1", "2", "3"};
                          return Record::compose(in);
                      }())
                    .isEmpty());
    openEdit();
    load(2);
    EXPECT_EQ(edit("f95")->text(), QStringLiteral("3"));
    form->Comando2->click();
    EXPECT_TRUE(allEmpty());
    EXPECT_TRUE(form->nucli->text().isEmpty());
    EXPECT_EQ(focus(), form->nucli);
    EXPECT_EQ(form->numRecord(), 0);

    openNew();
    form->rsoc->setText(QStringLiteral("x"));
    form->Comando2->click();
    EXPECT_EQ(form->nucli->text(), QStringLiteral("6"));
    EXPECT_TRUE(allEmpty());
    EXPECT_EQ(focus(), form->rsoc);
}

TEST_F(InserTest, ControlsCarryTheirNamesAndCaptions)
{
    openEdit();
    EXPECT_EQ(form->objectName(), QStringLiteral("Inser"));
    EXPECT_EQ(form->Comando1->text(), QStringLiteral("Salva"));
    EXPECT_EQ(form->Comando2->text(), QStringLiteral(" Cancella "));
    EXPECT_EQ(form->Comando3->text(), QStringLiteral(" Uscita "));
    const std::pair<const char *, int> lengths[] = {{"rsoc", 40},  {"indir", 45},   {"Citta", 24},
                                                    {"tlx", 15},  {"c89", 2},    {"stato", 11},   {"tel", 15},
                                                    {"fax", 15},  {"contatto", 7}, {"fatturat", 1}, {"c90", 2},
                                                    {"c95", 2},   {"f90", 2},    {"f95", 2}};
    for (const auto &[name, length] : lengths) {
        QLineEdit *e = edit(name);
        ASSERT_NE(e, nullptr) << name;
        EXPECT_EQ(e->maxLength(), length) << name;
    }
    form->Comando3->click();
    EXPECT_FALSE(form->isVisible());
}

} // namespace
