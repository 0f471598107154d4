#include "privatecups.h"

#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cups/cups.h>

#include <csignal>

#include <sys/prctl.h>
#include <sys/socket.h>

namespace zorv::test {

namespace {

// A unix socket's path holds about a hundred characters, and the AppArmor profile of cupsd
// lets it work under /tmp: the folder goes there rather than under TMPDIR.
const char *const kFolderTemplate = "/tmp/zorv-cups-XXXXXX";

bool writeText(const QString &path, const QString &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text.toUtf8()) >= 0;
}

QString queueUri(const QString &queue)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/printers/%s",
                     queue.toUtf8().constData());
    return QString::fromUtf8(uri);
}

} // namespace

QString PrivateCups::program()
{
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("cupsd"));
    if (!onPath.isEmpty())
        return onPath;
    return QStandardPaths::findExecutable(QStringLiteral("cupsd"),
                                          {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/local/sbin"),
                                           QStringLiteral("/sbin")});
}

PrivateCups::PrivateCups() : m_dir(QString::fromLatin1(kFolderTemplate))
{
    m_hadServer = qEnvironmentVariableIsSet("CUPS_SERVER");
    m_savedServer = qgetenv("CUPS_SERVER");
    m_hadBus = qEnvironmentVariableIsSet("DBUS_SYSTEM_BUS_ADDRESS");
    m_savedBus = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
    m_running = start();
}

PrivateCups::~PrivateCups()
{
    if (m_cupsd.state() != QProcess::NotRunning) {
        m_cupsd.terminate();
        if (!m_cupsd.waitForFinished(10000)) {
            m_cupsd.kill();
            m_cupsd.waitForFinished(5000);
        }
    }
    if (m_hadServer)
        qputenv("CUPS_SERVER", m_savedServer);
    else
        qunsetenv("CUPS_SERVER");
    if (m_hadBus)
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_savedBus);
    else
        qunsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    // Drops the connection to this server and takes the server from the environment again.
    cupsSetServer(nullptr);
}

QString PrivateCups::socket() const
{
    return m_dir.filePath(QStringLiteral("cups.sock"));
}

bool PrivateCups::start()
{
    if (!m_dir.isValid()) {
        m_problem = QStringLiteral("no temporary folder: ") + m_dir.errorString();
        return false;
    }
    const QString dir = m_dir.path();
    for (const char *sub : {"spool", "cache", "state", "tmp"})
        QDir(dir).mkdir(QString::fromLatin1(sub));

    // From here on this process knows no other print server. Nor, for both, the system's
    // message bus: cupsd would tell the desktop of its queues and jobs (and register them
    // with colord), and libcups would look for network printers through avahi.
    qputenv("CUPS_SERVER", socket().toUtf8());
    cupsSetServer(socket().toUtf8().constData());
    const QByteArray noBus = "unix:path=" + m_dir.filePath(QStringLiteral("no-system-bus")).toUtf8();
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", noBus);

    const bool written =
        writeText(m_dir.filePath(QStringLiteral("cups-files.conf")),
                  QStringLiteral("ServerRoot %1\n"
                                 "RequestRoot %1/spool\n"
                                 "CacheDir %1/cache\n"
                                 "StateDir %1/state\n"
                                 "TempDir %1/tmp\n"
                                 "Printcap %1/printcap\n"
                                 "ErrorLog %1/error_log\n"
                                 "AccessLog %1/access_log\n"
                                 "PageLog %1/page_log\n"
                                 "FileDevice Yes\n"
                                 "SystemGroup root\n")
                      .arg(dir))
        && writeText(m_dir.filePath(QStringLiteral("cupsd.conf")),
                     QStringLiteral("Listen %1\n"
                                    "LogLevel info\n"
                                    "Browsing No\n"
                                    "BrowseLocalProtocols none\n"
                                    "DefaultAuthType None\n"
                                    "WebInterface No\n"
                                    "PreserveJobHistory Yes\n"
                                    "PreserveJobFiles Yes\n"
                                    "<Location />\n"
                                    "  Order allow,deny\n"
                                    "  Allow all\n"
                                    "</Location>\n"
                                    "<Policy default>\n"
                                    "  JobPrivateAccess all\n"
                                    "  JobPrivateValues none\n"
                                    "  SubscriptionPrivateAccess all\n"
                                    "  SubscriptionPrivateValues none\n"
                                    "  <Limit All>\n"
                                    "    Order deny,allow\n"
                                    "  </Limit>\n"
                                    "</Policy>\n")
                         .arg(socket()))
        && writeText(m_dir.filePath(QStringLiteral("printers.conf")),
                     QStringLiteral("<DefaultPrinter %1>\n"
                                    "DeviceURI file:/dev/null\n"
                                    "State Idle\n"
                                    "Accepting Yes\n"
                                    "</DefaultPrinter>\n"
                                    "<Printer %2>\n"
                                    "DeviceURI file:/dev/null\n"
                                    "State Idle\n"
                                    "Accepting Yes\n"
                                    "AllowUser zorv-nessuno\n"
                                    "</Printer>\n")
                         .arg(QLatin1String(kQueue), QLatin1String(kReserved)));
    if (!written) {
        m_problem = QStringLiteral("cannot write the configuration in ") + dir;
        return false;
    }

    m_cupsd.setProgram(program());
    m_cupsd.setArguments({QStringLiteral("-f"), QStringLiteral("-c"), m_dir.filePath(QStringLiteral("cupsd.conf")),
                          QStringLiteral("-s"), m_dir.filePath(QStringLiteral("cups-files.conf"))});
    m_cupsd.setProcessChannelMode(QProcess::MergedChannels);
    // A test that dies takes its server with it.
    m_cupsd.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_cupsd.start();
    if (!m_cupsd.waitForStarted(10000)) {
        m_problem = m_cupsd.errorString();
        return false;
    }
    const QByteArray path = socket().toUtf8();
    const auto listening = [&] {
        http_t *http = httpConnect2(path.constData(), 0, nullptr, AF_LOCAL, HTTP_ENCRYPTION_NEVER, 1, 200, nullptr);
        if (!http)
            return false;
        httpClose(http);
        return true;
    };
    waitUntil([&] { return m_cupsd.state() == QProcess::NotRunning || listening(); }, 20000);
    if (m_cupsd.state() == QProcess::NotRunning || !listening()) {
        m_problem = QStringLiteral("cupsd did not come up");
        return false;
    }
    return true;
}

QString PrivateCups::log()
{
    QFile file(m_dir.filePath(QStringLiteral("error_log")));
    const QByteArray errorLog = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    return m_problem + QLatin1Char('\n') + QString::fromLocal8Bit(m_cupsd.readAll())
        + QString::fromLocal8Bit(errorLog);
}

bool PrivateCups::adminRequest(int operation, const QString &queue)
{
    ipp_t *request = ippNewRequest(ipp_op_t(operation));
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, queueUri(queue).toUtf8().constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippDelete(cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/admin/"));
    return cupsLastError() <= IPP_STATUS_OK_CONFLICTING;
}

bool PrivateCups::reject(const QString &queue)
{
    return adminRequest(IPP_OP_CUPS_REJECT_JOBS, queue);
}

bool PrivateCups::accept(const QString &queue)
{
    return adminRequest(IPP_OP_CUPS_ACCEPT_JOBS, queue);
}

bool PrivateCups::stop(const QString &queue)
{
    return adminRequest(IPP_OP_PAUSE_PRINTER, queue);
}

bool PrivateCups::resume(const QString &queue)
{
    return adminRequest(IPP_OP_RESUME_PRINTER, queue);
}

QList<int> PrivateCups::jobs(const QString &queue) const
{
    cups_job_t *list = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &list, queue.toUtf8().constData(), 0, CUPS_WHICHJOBS_ALL);
    QList<int> ids;
    for (int i = 0; i < count; ++i)
        ids.append(list[i].id);
    cupsFreeJobs(count, list);
    return ids;
}

QString PrivateCups::documentPath(int job) const
{
    return m_dir.filePath(QString::asprintf("spool/d%05d-001", job));
}

QByteArray PrivateCups::document(int job) const
{
    QFile file(documentPath(job));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void PrivateCupsTest::SetUp()
{
    if (PrivateCups::program().isEmpty())
        GTEST_SKIP() << "cupsd is not installed (Debian package cups-daemon): there is no print server of "
                        "the test's own to print to";
    server.emplace();
    ASSERT_TRUE(server->running()) << server->log().toStdString();
    ASSERT_EQ(QString::fromUtf8(cupsServer()), server->socket());
}

} // namespace zorv::test
