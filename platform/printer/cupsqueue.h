#pragma once

#include <QString>

namespace zorv::cups {

// What the print system (CUPS) says of the jobs for a queue. `printer` is the name Qt gives
// a printer: the queue's name, possibly followed by "/" and an instance.

// Why the queue takes no jobs now (it rejects them); empty when it takes them or when the
// print system does not know the queue.
QString refusal(const QString &printer);

// The print system's answer to a job that Qt sends on this thread: Qt's CUPS plugin sends it
// with libcups and drops the answer, which libcups keeps as the thread's last answer.
class SentJob {
public:
    // Right before the job is sent: asks for the queue once more, so that the last answer read
    // afterwards can only be this job's, never one left over from an earlier request.
    explicit SentJob(const QString &printer);

    // After the job was sent: why the print system refused it, empty when it took it.
    QString refusal() const;

private:
    QString m_printer;
};

} // namespace zorv::cups
