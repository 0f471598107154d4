#include "items.h"

#include "numbers.h"
#include "text.h"

#include <QFile>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace zorv::items {

Reader::Reader(QByteArray data) : m_data(std::move(data)) {}

bool Reader::atEnd() const
{
    return m_pos >= m_data.size();
}

void Reader::skipLineEnd()
{
    if (m_pos < m_data.size() && m_data[m_pos] == '\r') {
        ++m_pos;
        if (m_pos < m_data.size() && m_data[m_pos] == '\n')
            ++m_pos;
        ++m_line;
    } else if (m_pos < m_data.size() && m_data[m_pos] == '\n') {
        ++m_pos;
        ++m_line;
    }
}

std::optional<QByteArray> Reader::next()
{
    const auto view = nextView();
    if (!view)
        return std::nullopt;
    return view->toByteArray();
}

std::optional<QByteArrayView> Reader::nextView()
{
    if (atEnd())
        return std::nullopt;
    const char *data = m_data.constData();
    const qsizetype n = m_data.size();
    while (m_pos < n && (data[m_pos] == ' ' || data[m_pos] == '\t'))
        ++m_pos;
    QByteArrayView item;
    if (m_pos < n && data[m_pos] == '"') {
        const qsizetype begin = ++m_pos;
        const void *quote = std::memchr(data + begin, '"', size_t(n - begin));
        m_pos = quote ? static_cast<const char *>(quote) - data : n;
        item = QByteArrayView(data + begin, m_pos - begin);
        m_line += int(std::count(item.begin(), item.end(), '\n'));
        if (m_pos < n)
            ++m_pos; // closing quote
        // Anything between the closing quote and the separator is dropped.
        while (m_pos < n && data[m_pos] != ',' && data[m_pos] != '\r' && data[m_pos] != '\n')
            ++m_pos;
    } else {
        const qsizetype begin = m_pos;
        while (m_pos < n && data[m_pos] != ',' && data[m_pos] != '\r' && data[m_pos] != '\n')
            ++m_pos;
        // Surrounding spaces go, then tabs at the end.
        qsizetype first = begin;
        qsizetype last = m_pos;
        while (first < last && data[first] == ' ')
            ++first;
        while (last > first && data[last - 1] == ' ')
            --last;
        while (last > first && data[last - 1] == '\t')
            --last;
        item = QByteArrayView(data + first, last - first);
    }
    if (m_pos < n) {
        if (data[m_pos] == ',') {
            ++m_pos;
            // A comma right before a line end ends the line as well.
            if (m_pos < n && (data[m_pos] == '\r' || data[m_pos] == '\n'))
                skipLineEnd();
        } else {
            skipLineEnd();
        }
    }
    return item;
}

QList<QByteArray> readAll(const QByteArray &data)
{
    QList<QByteArray> out;
    Reader reader(data);
    while (auto item = reader.next())
        out.append(*item);
    return out;
}

std::optional<QList<QByteArray>> readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return readAll(file.readAll());
}

void Writer::separate()
{
    if (m_lineStarted)
        m_data.append(',');
    m_lineStarted = true;
}

Writer &Writer::text(QByteArrayView value)
{
    separate();
    m_data.append('"');
    for (char c : value) {
        if (c == '"')
            c = '\'';
        else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
        m_data.append(c);
    }
    m_data.append('"');
    return *this;
}

Writer &Writer::text(const QString &value)
{
    return text(QByteArrayView(zorv::text::toCp1252(value)));
}

Writer &Writer::number(double value)
{
    separate();
    m_data.append(numbers::shortText(value));
    return *this;
}

Writer &Writer::endLine()
{
    m_data.append("\r\n");
    m_lineStarted = false;
    return *this;
}

QString writeAll(QIODevice &file, QByteArrayView data)
{
    qsizetype done = 0;
    while (done < data.size()) {
        // A short write sets no error; the next one meets the reason.
        const qint64 n = file.write(data.data() + done, data.size() - done);
        if (n <= 0)
            return file.errorString();
        done += n;
    }
    return {};
}

QString writeFileAtomically(const QString &path, const QByteArray &data)
{
    QSaveFile file(path);
    // Unbuffered: commit() would lose the error of data still in a buffer (a full disk)
    // and put an empty file in place of the earlier one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    const QString error = writeAll(file, data);
    if (!error.isEmpty()) {
        file.cancelWriting();
        return error;
    }
    return commitSaveFile(file);
}

QString commitSaveFile(QSaveFile &file)
{
    QString error;
    if (!file.flush())
        error = file.errorString();
    // A disk that fills while the data goes out of the cache fails here, not in the writes.
    // (EINVAL: a file that cannot be synced at all.)
    else if (::fsync(file.handle()) != 0 && errno != EINVAL)
        error = QString::fromLocal8Bit(std::strerror(errno));
    if (!error.isEmpty()) {
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

QString appendToFile(const QString &path, const QByteArray &data)
{
    // O_APPEND with a single write() keeps lines of two writers from interleaving.
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    struct stat before {};
    const bool sized = ::fstat(fd, &before) == 0;
    qsizetype written = 0;
    QString error;
    while (written < data.size()) {
        const ssize_t r = ::write(fd, data.constData() + written, size_t(data.size() - written));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            error = QString::fromLocal8Bit(std::strerror(errno));
            break;
        }
        written += r;
    }
    // A full disk can take part of the data: cut it off again, so the file never ends in
    // half a line, unless another writer has appended after it meanwhile.
    struct stat after {};
    if (!error.isEmpty() && written > 0 && sized && ::fstat(fd, &after) == 0
        && after.st_size == before.st_size + written) {
        if (::ftruncate(fd, before.st_size) != 0)
            error += QStringLiteral(" (file left with a partial line)");
    }
    if (::close(fd) != 0 && error.isEmpty())
        error = QString::fromLocal8Bit(std::strerror(errno));
    return error;
}

} // namespace zorv::items
