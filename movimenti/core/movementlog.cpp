#include "movementlog.h"

#include "messages.h"

#include <QFile>

namespace zorv::movimenti {

const std::array<QByteArray, GridTable::Columns> &movementHeaders()
{
    static const std::array<QByteArray, GridTable::Columns> headers = {
        "Num.", "Cliente", "Nome", "Carta", "Porta", "Data", "Ora", "Esito",
    };
    return headers;
}

void setMovementHeaders(GridTable &table)
{
    table.setTexts(0, movementHeaders());
}

QByteArray movementHeader(int column)
{
    if (column < 1 || column >= GridTable::Columns)
        return {};
    return movementHeaders()[column];
}

LogLoader::LogLoader(GridTable &table, QObject *parent) : QObject(parent), m_table(table)
{
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &LogLoader::step);
}

void LogLoader::start(const QString &path)
{
    cancel();
    m_running = true;
    m_failed = false;
    m_taken = 0;
    m_percent = 0;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        QByteArray data = file.readAll();
        const bool readOk = file.error() == QFileDevice::NoError;
        file.close();
        if (readOk) {
            m_bytes = data.size();
            m_reader.emplace(std::move(data));
        } else {
            m_failed = true;
        }
    } else {
        m_failed = true;
    }
    m_timer.start();
}

void LogLoader::load(const QString &path)
{
    m_filterColumn = 0;
    m_filterValue.clear();
    start(path);
    if (m_reader)
        m_table.reserve(m_bytes, int(qMin<qint64>(m_bytes / 64, 1 << 24)));
}

void LogLoader::filter(const QString &path, const QByteArray &header, const QByteArray &value)
{
    m_filterColumn = -1;
    for (int c = 1; c < GridTable::Columns; ++c) {
        if (movementHeaders()[c] == header)
            m_filterColumn = c;
    }
    m_filterValue = value;
    start(path);
    if (m_reader) {
        m_table.clear();
        setMovementHeaders(m_table);
        m_table.reserve(m_bytes, int(qMin<qint64>(m_bytes / 64, 1 << 24)));
    }
}

void LogLoader::cancel()
{
    m_timer.stop();
    m_reader.reset();
    if (m_running)
        m_table.publishAppended();
    m_running = false;
}

void LogLoader::runToEnd()
{
    while (m_running)
        step();
}

void LogLoader::step()
{
    if (!m_running)
        return;
    if (m_failed || !m_reader) {
        finish(false);
        return;
    }
    readLines(15);
}

bool LogLoader::readLines(qint64 budgetMs)
{
    QElapsedTimer elapsed;
    elapsed.start();
    items::Reader &reader = *m_reader;
    std::array<QByteArrayView, 7> views;
    int sinceCheck = 0;
    while (!reader.atEnd()) {
        for (int i = 0; i < 7; ++i) {
            const auto item = reader.nextView();
            if (!item) {
                m_table.publishAppended();
                finish(false);
                return false;
            }
            views[i] = *item;
        }
        if (m_filterColumn == 0) {
            m_table.appendMovement(m_table.rowCount(), views);
        } else if (m_filterColumn > 0 && views[m_filterColumn - 1] == QByteArrayView(m_filterValue)) {
            m_table.appendMovement(++m_taken, views);
        }
        if (++sinceCheck >= 512) {
            sinceCheck = 0;
            if (elapsed.elapsed() >= budgetMs)
                break;
        }
    }
    m_table.publishAppended();
    if (reader.atEnd()) {
        finish(true);
        return false;
    }
    const int percent = int(qMin<qint64>(99, qint64(reader.position()) * 100 / qMax<qint64>(1, m_bytes)));
    if (percent != m_percent) {
        m_percent = percent;
        emit progressChanged(percent);
    }
    return true;
}

void LogLoader::finish(bool ok)
{
    m_timer.stop();
    m_reader.reset();
    m_running = false;
    m_percent = 100;
    emit progressChanged(100);
    if (!ok)
        messages().msgBox(QStringLiteral("Nessun movimento trovato"), style::Ok, QStringLiteral("MOVIMENTI"));
    emit finished(ok);
}

} // namespace zorv::movimenti
