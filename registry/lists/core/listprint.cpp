#include "listprint.h"

#include "registryfile.h"
#include "text.h"

#include <cmath>

namespace zorv::registry::lists {

namespace {

// The widest line of a block: postal code, city, province and credit at their longest.
constexpr int kListWidth = 15 + 3 + 24 + 2 + 2 + 1 + 2 + 15;

QString field(const Record &r, FieldSpec spec)
{
    return text::fromCp1252(r.raw(spec));
}

QString unreadable(int number)
{
    return QStringLiteral("Impossibile leggere il cliente N. %1 in archivio").arg(number);
}

} // namespace

bool rangeAccepted(double from, double to, int lineCount)
{
    if (to > lineCount || from > lineCount)
        return false;
    if (to == 0)
        return false;
    if (from > to)
        return false;
    // A range from 0 or below has no first line to print.
    return from >= 1;
}

QList<int> numbersInRange(const QStringList &lines, Layout layout, double from, double to)
{
    QList<int> out;
    for (qint64 k = qint64(std::ceil(from)); k <= to && k <= lines.size(); ++k) {
        if (k >= 1)
            out.append(numberOnLine(layout, lines[k - 1]));
    }
    return out;
}

QStringList pageHeader(const QString &listed, const QString &filter, int lineCount)
{
    return {QStringLiteral("Archivio Clienti"), QString(),
            listed + QLatin1Char(' ') + filter + QLatin1Char(' ') + QLatin1Char(' ') + QString::number(lineCount)
                + QStringLiteral(" Rec."),
            QString(), QString()};
}

QStringList customerBlock(int number, const Record &r)
{
    const QString cap = text::fromCp1252(r.trimmed(fields::CAP));
    const QString citta = text::fromCp1252(text::trimSpaces(r.citta()));
    const QString accessi = field(r, fields::Accessi);
    return {
        numCliente(number) + QStringLiteral("  ") + field(r, fields::Nome),
        field(r, fields::Indirizzo) + QStringLiteral("  "),
        cap + QStringLiteral(" - ") + citta + QStringLiteral(" (") + field(r, fields::Prov) + QStringLiteral(")  ")
            + accessi,
        QStringLiteral("Accessi Effettuati: ") + field(r, fields::AccessiEffettuati),
        QStringLiteral("Tel: ") + field(r, fields::Telefono) + QStringLiteral("  Carta: ")
            + field(r, fields::NumeroCarta),
        QStringLiteral("Accessi: ") + accessi,
        QString(),
        QString(),
    };
}

PrintResult printList(Printer &printer, const ListPrint &job, QString *error)
{
    const auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return PrintResult::Failed;
    };

    QString why;
    const auto records = readRegistry(job.fileClienti, &why);
    if (!records)
        return fail(why);

    // A fixed-pitch font, so the columns of the blocks line up, small enough for a full
    // page of header and eight blocks to fit the paper.
    printer.setFontName(QStringLiteral("Courier new"));
    printer.setFontSize(10);
    printer.setBold(false);
    printer.fitFontSize(kListWidth, kListPageLines);

    const int lineCount = int(job.lines.size());
    const auto printHeader = [&] {
        for (const QString &l : pageHeader(job.listed, job.filter, lineCount))
            printer.printLine(l);
    };

    printHeader();
    int onPage = 1;
    if (!rangeAccepted(job.from, job.to, lineCount))
        return PrintResult::Refused;

    for (int number : numbersInRange(job.lines, job.layout, job.from, job.to)) {
        if (onPage == kBlocksPerPage + 1) {
            printer.newPage();
            printHeader();
            onPage = 1;
        }
        if (number < 1 || number > records->size())
            return fail(unreadable(number));
        for (const QString &l : customerBlock(number, records->at(number - 1)))
            printer.printLine(l);
        ++onPage;
    }
    printer.newPage();
    return PrintResult::Printed;
}

void printLabel(Printer &printer, const Record &r)
{
    printer.setFontSize(13);
    printer.setFontName(QStringLiteral("arial"));
    printer.setBold(true);
    for (int i = 0; i < 3; ++i)
        printer.printLine();
    printer.printLine(field(r, fields::Nome));
    printer.printLine();
    printer.printLine();
    printer.setFontSize(10);
    printer.printLine(field(r, fields::Indirizzo));
    printer.printLine();
    printer.printLine(field(r, fields::CAP) + QStringLiteral("  ") + text::fromCp1252(r.citta()) + QStringLiteral("  ")
                      + field(r, fields::Prov));
    for (int i = 0; i < 4; ++i)
        printer.printLine();
    printer.printLine(field(r, fields::AccessiEffettuati));
}

LabelPrintJob::LabelPrintJob(Printer &printer, QList<int> numbers, QString fileClienti, int pauseMs)
    : m_printer(printer), m_numbers(std::move(numbers)), m_fileClienti(std::move(fileClienti)), m_pauseMs(pauseMs)
{
    m_pause.setSingleShot(true);
    QObject::connect(&m_pause, &QTimer::timeout, [this] { next(); });
}

void LabelPrintJob::start(Done done)
{
    m_done = std::move(done);
    m_index = 0;
    m_running = true;
    next();
}

void LabelPrintJob::next()
{
    if (m_index >= m_numbers.size()) {
        finish({});
        return;
    }
    const int number = m_numbers[m_index++];
    const auto record = RegistryFile(m_fileClienti).read(number);
    if (!record) {
        finish(unreadable(number));
        return;
    }
    printLabel(m_printer, *record);
    m_printer.newPage();
    m_pause.start(m_pauseMs);
}

void LabelPrintJob::finish(const QString &error)
{
    m_running = false;
    if (m_done) {
        // The callback may delete this job: take it out first.
        Done done = std::move(m_done);
        m_done = nullptr;
        done(error);
    }
}

} // namespace zorv::registry::lists
