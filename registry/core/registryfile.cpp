#include "registryfile.h"

#include "items.h"

#include <QFile>
#include <QFileInfo>

namespace zorv::registry {

int RegistryFile::count() const
{
    const QFileInfo info(m_path);
    if (!info.exists())
        return 0;
    return int(info.size() / kRecordSize);
}

QString RegistryFile::open() const
{
    QFile file(m_path);
    if (file.open(QIODevice::ReadWrite))
        return {};
    // A registry the operator may only read can still be viewed; a write reports its own
    // error when it comes.
    const QString error = file.errorString();
    if (file.exists() && file.open(QIODevice::ReadOnly))
        return {};
    return error;
}

std::optional<Record> RegistryFile::read(int number, QString *error) const
{
    if (number < 1)
        return std::nullopt;
    QFile file(m_path);
    auto failed = [&]() -> std::optional<Record> {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    };
    if (!file.open(QIODevice::ReadOnly))
        return failed();
    if (file.size() / kRecordSize < number)
        return std::nullopt;
    if (!file.seek(qint64(number - 1) * kRecordSize))
        return failed();
    const QByteArray bytes = file.read(kRecordSize);
    if (bytes.size() != kRecordSize)
        return failed();
    return Record(bytes);
}

namespace {

QString outOfRange(int number)
{
    return QStringLiteral("Numero cliente %1 fuori dai limiti (1-%2)").arg(number).arg(kMaxCustomers);
}

QString pastTheEnd(int number)
{
    return QStringLiteral("Numero cliente %1 oltre la fine del file").arg(number);
}

} // namespace

QString RegistryFile::update(int number, const Change &change, int lockTimeoutMs) const
{
    if (number < 1 || number > kMaxCustomers)
        return outOfRange(number);
    const FileLock lock(m_path, lockTimeoutMs);
    if (!lock)
        return lock.error();
    const int whole = count();
    if (number > whole + 1)
        return pastTheEnd(number);
    std::optional<Record> current;
    if (number <= whole) {
        QString error;
        current = read(number, &error);
        if (!current)
            return error.isEmpty() ? QStringLiteral("Cliente %1 non leggibile").arg(number) : error;
    }
    const std::optional<Record> next = change(current);
    if (!next)
        return {};
    return write(number, *next);
}

QString RegistryFile::write(int number, const Record &record) const
{
    if (number < 1 || number > kMaxCustomers)
        return outOfRange(number);
    QFile file(m_path);
    // Unbuffered: a failed write is known at once and nothing is left to flush later,
    // so a short append can be cut back.
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return file.errorString();
    const int whole = int(file.size() / kRecordSize);
    if (number > whole + 1)
        return pastTheEnd(number);
    if (!file.seek(qint64(number - 1) * kRecordSize))
        return file.errorString();
    const QString error = items::writeAll(file, record.bytes());
    if (!error.isEmpty()) {
        // A short append must not leave half a record behind.
        if (number == whole + 1)
            file.resize(qint64(whole) * kRecordSize);
        return error;
    }
    file.close();
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    return {};
}

std::optional<QByteArray> RegistryFile::readBytes(QString *error) const
{
    QFile file(m_path);
    if (!file.exists())
        return QByteArray();
    auto failed = [&]() -> std::optional<QByteArray> {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    };
    if (!file.open(QIODevice::ReadOnly))
        return failed();
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return failed();
    return data;
}

std::optional<QList<Record>> RegistryFile::readAll(QString *error) const
{
    const auto data = readBytes(error);
    if (!data)
        return std::nullopt;
    QList<Record> out;
    const qsizetype n = data->size() / kRecordSize;
    out.reserve(n);
    for (qsizetype i = 0; i < n; ++i)
        out.append(Record(QByteArrayView(*data).sliced(i * kRecordSize, kRecordSize)));
    return out;
}

bool RegistryFile::forEachLive(const std::function<bool(int, const Record &)> &fn, QString *error) const
{
    const auto all = readAll(error);
    if (!all)
        return false;
    for (qsizetype i = 0; i < all->size(); ++i) {
        const Record &r = all->at(i);
        if (r.isDeleted())
            continue;
        if (!fn(int(i + 1), r))
            break;
    }
    return true;
}

} // namespace zorv::registry
