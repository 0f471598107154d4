#include "cupsqueue.h"

#include <QByteArray>
#include <QObject>

#include <cups/cups.h>

namespace zorv::cups {

namespace {

QString notAccepting(const QString &printer)
{
    return QObject::tr("La stampante %1 non accetta lavori di stampa").arg(printer);
}

// The queue's own name, without the instance.
QByteArray queueName(const QString &printer)
{
    return printer.section(QLatin1Char('/'), 0, 0).toUtf8();
}

enum class Accepting { Yes, No, Unknown };

// Asks the print system whether the queue takes jobs. Like every request made through
// libcups it leaves its answer as this thread's last answer (cupsLastError()).
Accepting accepting(const QString &printer)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/printers/%s",
                     queueName(printer).constData());
    ipp_t *request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-is-accepting-jobs");
    ipp_t *response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    Accepting result = Accepting::Unknown;
    if (ipp_attribute_t *attr = ippFindAttribute(response, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN))
        result = ippGetBoolean(attr, 0) ? Accepting::Yes : Accepting::No;
    ippDelete(response);
    return result;
}

} // namespace

QString refusal(const QString &printer)
{
    return accepting(printer) == Accepting::No ? notAccepting(printer) : QString();
}

SentJob::SentJob(const QString &printer) : m_printer(printer)
{
    accepting(printer);
}

QString SentJob::refusal() const
{
    // Answers up to "successful-ok-conflicting-attributes" mean the job was taken, maybe
    // with some of its options changed.
    const ipp_status_t status = cupsLastError();
    if (status <= IPP_STATUS_OK_CONFLICTING)
        return {};
    if (status == IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS)
        return notAccepting(m_printer);
    const char *why = cupsLastErrorString();
    return QObject::tr("La stampante %1 non ha accettato la stampa (%2)")
        .arg(m_printer, QString::fromUtf8(why && *why ? why : ippErrorString(status)));
}

} // namespace zorv::cups
