#pragma once

// A print server of the test's own: the machine's cupsd program started on a unix socket in
// a fresh temporary folder, with its configuration, spool, cache, state and log all in there
// and no network listener, so it never meets the machine's print service nor another run.

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace zorv::test {

class PrivateCups {
public:
    // The queues it has, raw queues to /dev/null that keep each document in the spool.
    static constexpr const char *kQueue = "zorv";        // takes jobs (the default queue)
    static constexpr const char *kReserved = "riservata"; // takes jobs of no user of this machine

    // Where cupsd is, empty when it is not installed.
    static QString program();

    // Starts the server and points this process's libcups (Qt's printing included) and the
    // programs it starts at it. running() says whether it came up, log() why not.
    PrivateCups();
    // Stops the server, even one that failed to come up, and points libcups back where it was.
    ~PrivateCups();
    PrivateCups(const PrivateCups &) = delete;
    PrivateCups &operator=(const PrivateCups &) = delete;

    bool running() const { return m_running; }
    QString socket() const;
    QString log();

    // As cupsreject, cupsaccept, cupsdisable and cupsenable do.
    bool reject(const QString &queue);
    bool accept(const QString &queue);
    bool stop(const QString &queue);
    bool resume(const QString &queue);

    // The ids of every job the queue has taken, done or not.
    QList<int> jobs(const QString &queue) const;
    // The document of a job as it reached the server.
    QByteArray document(int job) const;
    QString documentPath(int job) const;

private:
    bool adminRequest(int operation, const QString &queue);
    bool start();

    QTemporaryDir m_dir;
    QProcess m_cupsd;
    QByteArray m_savedServer;
    bool m_hadServer = false;
    QByteArray m_savedBus;
    bool m_hadBus = false;
    bool m_running = false;
    QString m_problem;
};

// A test on a private print server: skipped where cupsd is not installed, failed where it
// does not come up.
class PrivateCupsTest : public ::testing::Test {
protected:
    void SetUp() override;

    std::optional<PrivateCups> server;
};

} // namespace zorv::test
