// The customer card's prints on a print server of the test's own: what the print system
// answers is what the operator is told.

#include "dbstate.h"
#include "fixture.h"
#include "visual.h"

#include "fakemessageboxes.h"
#include "privatecups.h"
#include "qtprinter.h"

#include <QPrinter>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace zorv;
using namespace zorv::registry;
using zorv::test::PrivateCups;

namespace {

const QString kQueue = QString::fromLatin1(PrivateCups::kQueue);

class CardOnAPrintServer : public test::PrivateCupsTest {
protected:
    void SetUp() override
    {
        PrivateCupsTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        dir.write("CLIENTI.DAT", test::registro({test::cliente("rossi mario", "milano", "via roma 1", "20100", "mi")}));
        db().Percorso = dir.path() + '/';
        db().FileClienti = dir.file("CLIENTI.DAT");
        db().NumCliente = 1;
        // The queue as chosen in the dialog; `cancel` is the dialog's Cancel.
        printer.setChooser([this](QPrinter &p) {
            if (cancel)
                return false;
            p.setOutputFormat(QPrinter::NativeFormat);
            p.setPrinterName(kQueue);
            return p.printerName() == kQueue;
        });
    }

    test::TempFolder dir;
    FakeMessageBoxes boxes;
    ScopedService<MessageBoxes> boxService{&boxes};
    QtPrinter printer;
    ScopedService<Printer> printerService{&printer};
    bool cancel = false;
};

// "Stampa Scheda " and "Etichetta" alike.
QList<QPushButton *> printButtons(Visual &card)
{
    return {card.Comando3, card.Comando4};
}

TEST_F(CardOnAPrintServer, APrintTheQueueRejectsIsReportedUnderErrore)
{
    ASSERT_TRUE(server->reject(kQueue));
    Visual card;
    for (QPushButton *button : printButtons(card)) {
        SCOPED_TRACE(button->objectName().toStdString());
        boxes.shown.clear();
        boxes.beeps = 0;
        button->click();
        EXPECT_EQ(boxes.beeps, 1);
        ASSERT_EQ(boxes.shown.size(), 1);
        EXPECT_EQ(boxes.last().text, "La stampante zorv non accetta lavori di stampa");
        EXPECT_EQ(boxes.last().title, "ERRORE");
    }
    EXPECT_EQ(server->jobs(kQueue), QList<int>{});
}

TEST_F(CardOnAPrintServer, APrintTheQueueTakesOrACancelledDialogSaysNothing)
{
    Visual card;
    for (QPushButton *button : printButtons(card))
        button->click();
    EXPECT_EQ(server->jobs(kQueue).size(), 2) << server->log().toStdString();

    ASSERT_TRUE(server->reject(kQueue));
    cancel = true;
    for (QPushButton *button : printButtons(card))
        button->click();
    EXPECT_EQ(boxes.beeps, 0);
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_EQ(server->jobs(kQueue).size(), 2);
}

} // namespace
