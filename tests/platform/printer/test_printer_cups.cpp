// The real printer on a print server of the test's own: what the print system answers to
// a job is what end() says.

#include "paperpdf.h"
#include "privatecups.h"
#include "qtprinter.h"

#include <QPrinter>

#include <gtest/gtest.h>

using namespace zorv;
using zorv::test::PrivateCups;

namespace {

const QString kQueue = QString::fromLatin1(PrivateCups::kQueue);
const QString kReserved = QString::fromLatin1(PrivateCups::kReserved);

class PrintServer : public test::PrivateCupsTest {
protected:
    // The documents of `printer` go to `queue`, chosen as in the dialog.
    static void chooseQueue(QtPrinter &printer, const QString &queue)
    {
        printer.setChooser([queue](QPrinter &p) {
            p.setOutputFormat(QPrinter::NativeFormat);
            p.setPrinterName(queue);
            return p.outputFormat() == QPrinter::NativeFormat && p.printerName() == queue;
        });
    }

    // One document of these lines on `queue`; what end() says.
    static QString print(QtPrinter &printer, const QString &queue, const QStringList &lines = {"x"})
    {
        chooseQueue(printer, queue);
        if (!printer.begin())
            return QStringLiteral("(no printer chosen)");
        for (const QString &line : lines)
            printer.printLine(line);
        return printer.end();
    }
};

TEST_F(PrintServer, AnAcceptingQueueTakesTheDocumentAsPrintedAndNothingIsSaid)
{
    QtPrinter printer;
    chooseQueue(printer, kQueue);
    ASSERT_TRUE(printer.begin());
    printer.printLine("Lista Movimenti");
    printer.newPage();
    printer.printLine("seconda pagina");
    EXPECT_EQ(printer.end(), QString());

    const QList<int> jobs = server->jobs(kQueue);
    ASSERT_EQ(jobs.size(), 1) << server->log().toStdString();
    const auto pages = test::readPdf(server->documentPath(jobs[0]));
    ASSERT_EQ(pages.size(), 2);
    EXPECT_EQ(pages[0].lines, QStringList{"Lista Movimenti"});
    EXPECT_EQ(pages[1].lines, QStringList{"seconda pagina"});
}

struct Closed {
    const char *name;
    bool (PrivateCups::*close)(const QString &);
    bool (PrivateCups::*reopen)(const QString &);
    const char *said;
};

const Closed kClosed[] = {
    {"Rejecting", &PrivateCups::reject, &PrivateCups::accept, "La stampante zorv non accetta lavori di stampa"},
    {"Stopped", &PrivateCups::stop, &PrivateCups::resume, "La stampante zorv e' ferma o in errore"},
};

class ClosedQueue : public PrintServer, public ::testing::WithParamInterface<Closed> {};

TEST_P(ClosedQueue, IsReportedTakesNoJobAndOnceOpenAgainPrints)
{
    QtPrinter printer;
    ASSERT_TRUE(((*server).*GetParam().close)(kQueue));
    EXPECT_EQ(print(printer, kQueue), QString::fromUtf8(GetParam().said));
    EXPECT_EQ(server->jobs(kQueue), QList<int>{});

    ASSERT_TRUE(((*server).*GetParam().reopen)(kQueue));
    EXPECT_EQ(print(printer, kQueue), QString());
    EXPECT_EQ(server->jobs(kQueue).size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Queues, ClosedQueue, ::testing::ValuesIn(kClosed),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(PrintServer, AQueueThatRejectsJobsOnceTheDocumentIsStartedIsReported)
{
    QtPrinter printer;
    chooseQueue(printer, kQueue);
    ASSERT_TRUE(printer.begin());
    printer.printLine("x");
    ASSERT_TRUE(server->reject(kQueue));
    printer.printLine("y");
    EXPECT_EQ(printer.end(), "La stampante zorv non accetta lavori di stampa");
    EXPECT_EQ(server->jobs(kQueue), QList<int>{});
}

TEST_F(PrintServer, AJobThePrintSystemRefusesIsReportedWithItsAnswer)
{
    // The queue takes jobs, but none of this user's.
    QtPrinter printer;
    const QString error = print(printer, kReserved);
    EXPECT_TRUE(error.startsWith("La stampante riservata non ha accettato la stampa (")) << error.toStdString();
    EXPECT_TRUE(error.endsWith(")")) << error.toStdString();
    EXPECT_GT(error.size(), QString("La stampante riservata non ha accettato la stampa ()").size());
    EXPECT_EQ(server->jobs(kReserved), QList<int>{});
}

TEST_F(PrintServer, EachPrintIsJudgedByItsOwnAnswer)
{
    QtPrinter printer;
    EXPECT_NE(print(printer, kReserved), QString());

    // Nothing printed goes nowhere and has nothing to say, whatever the last answer was.
    chooseQueue(printer, kReserved);
    ASSERT_TRUE(printer.begin());
    printer.newPage();
    EXPECT_EQ(printer.end(), QString());

    EXPECT_EQ(print(printer, kQueue), QString());
    EXPECT_EQ(server->jobs(kQueue).size(), 1);

    // The last answer on this thread is an error of someone else's request.
    EXPECT_FALSE(server->reject(QStringLiteral("nessuna")));
    EXPECT_EQ(print(printer, kQueue), QString());
    EXPECT_EQ(server->jobs(kQueue).size(), 2);

    EXPECT_NE(print(printer, kReserved), QString());
    EXPECT_EQ(server->jobs(kReserved), QList<int>{});
}

} // namespace
