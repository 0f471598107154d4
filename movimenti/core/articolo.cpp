#include "articolo.h"

#include "items.h"
#include "numbers.h"
#include "text.h"

#include <QDir>
#include <QFileInfo>

#include <array>

namespace zorv::movimenti {
namespace {

constexpr std::array<int, RecordArticolo::FieldCount> kLengths = {
    10, 20, 50, 10, 8, 10, 40, 10, 3, 10, 3, 10, 3, 10, 1, 1, 300, 10, 10, 100, 20,
};

constexpr std::array<int, RecordArticolo::FieldCount> offsets()
{
    std::array<int, RecordArticolo::FieldCount> out{};
    int at = 0;
    for (int i = 0; i < RecordArticolo::FieldCount; ++i) {
        out[i] = at;
        at += kLengths[i];
    }
    return out;
}

constexpr std::array<int, RecordArticolo::FieldCount> kStarts = offsets();
static_assert(kStarts[20] + kLengths[20] == RecordArticolo::Size);
static_assert(kStarts[RecordArticolo::Progressivo - 1] == 499);

} // namespace

RecordArticolo::RecordArticolo() : m_bytes(Size, ' ') {}

RecordArticolo::RecordArticolo(QByteArray bytes) : m_bytes(std::move(bytes))
{
    if (m_bytes.size() < Size)
        m_bytes.append(Size - m_bytes.size(), ' ');
    else if (m_bytes.size() > Size)
        m_bytes.truncate(Size);
}

int RecordArticolo::start(Field field)
{
    return kStarts[field - 1];
}

int RecordArticolo::length(Field field)
{
    return kLengths[field - 1];
}

QByteArrayView RecordArticolo::field(Field f) const
{
    return QByteArrayView(m_bytes).sliced(start(f), length(f));
}

QByteArray RecordArticolo::trimmed(Field f) const
{
    return text::trimSpaces(field(f));
}

void RecordArticolo::setField(Field f, QByteArrayView value)
{
    m_bytes.replace(start(f), length(f), text::padRight(value, length(f)));
}

double RecordArticolo::number(Field f) const
{
    return numbers::leadingNumber(field(f));
}

void RecordArticolo::setNumber(Field f, double value)
{
    setField(f, numbers::shortText(value));
}

ArticleFile::ArticleFile(const QString &path) : m_path(path), m_file(path) {}

ArticleFile::~ArticleFile() = default;

QString ArticleFile::open()
{
    // Unbuffered: every read sees what another program wrote meanwhile, and a write
    // that fails is known at once, with its reason.
    if (m_file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return {};
    // A file that can only be read still answers lookups; its writes then fail.
    m_readOnlyReason = m_file.errorString();
    if (QFileInfo::exists(m_path) && m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    return m_readOnlyReason;
}

qint64 ArticleFile::count() const
{
    return m_file.isOpen() ? m_file.size() / RecordArticolo::Size : 0;
}

std::optional<RecordArticolo> ArticleFile::read(qint64 number)
{
    if (number < 1 || number > count() || !m_file.seek((number - 1) * RecordArticolo::Size))
        return std::nullopt;
    const QByteArray bytes = m_file.read(RecordArticolo::Size);
    if (bytes.size() != RecordArticolo::Size)
        return std::nullopt;
    return RecordArticolo(bytes);
}

QString ArticleFile::write(qint64 number, const RecordArticolo &record)
{
    if (!m_file.isOpen())
        return QStringLiteral("ART.MAG non aperto");
    if (!m_file.isWritable())
        return m_readOnlyReason;
    const qint64 whole = count();
    if (number < 1 || number > whole + 1)
        return QStringLiteral("Numero di record non valido: %1").arg(number);
    if (!m_file.seek((number - 1) * RecordArticolo::Size))
        return m_file.errorString();
    const QString error = items::writeAll(m_file, record.bytes());
    // A short append must not leave half a record behind.
    if (!error.isEmpty() && number == whole + 1)
        m_file.resize(whole * RecordArticolo::Size);
    return error;
}

void ArticleFile::close()
{
    m_file.close();
}

QString ArticleFile::rewrite(qint64 number, const std::function<QString(RecordArticolo &)> &change, int lockTimeoutMs)
{
    close();
    const FileLock lock(m_path, lockTimeoutMs);
    if (!lock)
        return lock.error();
    QString error = open();
    if (error.isEmpty()) {
        auto record = read(number);
        if (!record)
            error = QStringLiteral("Record %1 illeggibile").arg(number);
        else if (error = change(*record); error.isEmpty())
            error = write(number, *record);
    }
    close();
    return error;
}

ArticleFileFactory realArticleFiles()
{
    return [](const QString &path) { return std::make_unique<ArticleFile>(path); };
}

QString findFile(const QString &folder, const QString &name)
{
    const QDir dir(folder);
    if (QFileInfo::exists(dir.filePath(name)))
        return dir.filePath(name);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return dir.filePath(name);
}

} // namespace zorv::movimenti
