#pragma once

#include "listlines.h"
#include "printer.h"

#include <QTimer>

#include <functional>

// Printing the customers of a range of list lines: the list (eight-line blocks under a
// five-line header, eight to a page) and the address labels (one to a page). Both read
// the records afresh from CLIENTI.DAT at printing time.
namespace zorv::registry::lists {

inline const QString kRangeRefused = QStringLiteral("Intervallo di stampa errato");

// The caller's check of a range of lines against the number of lines in the list.
bool rangeAccepted(double from, double to, int lineCount);

// The customer numbers on lines from..to (1-based, in list order). Call after
// rangeAccepted.
QList<int> numbersInRange(const QStringList &lines, Layout layout, double from, double to);

// The five header lines of a page: what the window lists (its two captions) and the
// number of lines in the list.
QStringList pageHeader(const QString &listed, const QString &filter, int lineCount);

// The eight lines of one customer.
QStringList customerBlock(int number, const Record &record);

// A full page of the list: the header and eight blocks.
constexpr int kBlocksPerPage = 8;
constexpr int kListPageLines = 5 + kBlocksPerPage * 8;

struct ListPrint {
    QString listed; // the window's caption of what it lists
    QString filter; // the caption of the filter value and count
    QStringList lines;
    Layout layout = Layout::Elenchi;
    double from = 0;
    double to = 0;
    QString fileClienti;
};

enum class PrintResult { Printed, Refused, Failed };

// Prints the header, checks the range and prints the blocks, eight a page under the
// header each, then starts a new page.
// Does not end the document: on Refused the page holding the header alone is pending,
// on Failed what was printed so far; the caller reports and ends the document.
PrintResult printList(Printer &printer, const ListPrint &job, QString *error);

// One address label of fourteen lines on the current page, in arial bold; leaves the
// font at arial bold 10 pt.
void printLabel(Printer &printer, const Record &record);

// Prints one label a page for the given customers, pausing after each page (a timer,
// not a busy wait), then calls done with an empty text, or with the error that stopped
// it. It does not end the document.
class LabelPrintJob {
public:
    using Done = std::function<void(const QString &error)>;

    LabelPrintJob(Printer &printer, QList<int> numbers, QString fileClienti, int pauseMs = 1000);

    void start(Done done);
    bool running() const { return m_running; }

private:
    void next();
    void finish(const QString &error);

    Printer &m_printer;
    QList<int> m_numbers;
    QString m_fileClienti;
    int m_pauseMs;
    qsizetype m_index = 0;
    bool m_running = false;
    Done m_done;
    QTimer m_pause;
};

} // namespace zorv::registry::lists
