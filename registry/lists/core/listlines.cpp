#include "listlines.h"

#include "collation.h"
#include "numbers.h"
#include "registryfile.h"
#include "text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>

namespace zorv::registry::lists {

QString header(Layout layout)
{
    switch (layout) {
    case Layout::Elenchi:
        return QStringLiteral("Cognome e Nome            Accessi     Telefono        N Carta         N.Cl");
    case Layout::Elenco:
        return QStringLiteral("N.Cl Cognome e Nome            Accessi     Telefono        N Carta     ");
    case Layout::Lista:
        return QStringLiteral("Cognome e Nome            N.cli");
    case Layout::Lista1:
        return QStringLiteral("N.cli  Cognome e Nome ");
    }
    return {};
}

bool numberFirst(Layout layout)
{
    return layout == Layout::Elenco || layout == Layout::Lista1;
}

QString line(Layout layout, int number, const Record &record)
{
    if (number < 1 || number > kMaxCustomers)
        return {};
    const QByteArray num = text::zeroPadded(number, 4).toLatin1();
    const QByteArray &b = record.bytes();
    const QByteArrayView all(b);
    const auto part = [&](FieldSpec f, int width) { return all.sliced(f.offset, width); };

    QByteArray out;
    out.reserve(74);
    switch (layout) {
    case Layout::Elenchi:
        out.append(part(fields::Nome, 25)).append(' ');
        out.append(part(fields::Accessi, 11)).append(' ');
        out.append(part(fields::Telefono, 15)).append(' ');
        out.append(part(fields::NumeroCarta, 15)).append(' ');
        out.append(num);
        break;
    case Layout::Elenco:
        out.append(num).append(' ');
        out.append(part(fields::Nome, 25)).append(' ');
        out.append(part(fields::Accessi, 11)).append(' ');
        out.append(part(fields::Telefono, 15)).append(' ');
        out.append(part(fields::NumeroCarta, 15));
        break;
    case Layout::Lista:
        out.append(part(fields::Nome, 25)).append(' ').append(num);
        break;
    case Layout::Lista1:
        out.append(num).append(' ').append(part(fields::Nome, 25));
        break;
    }
    return text::fromCp1252(out);
}

int numberOnLine(Layout layout, QStringView line)
{
    const QStringView digits = numberFirst(layout) ? line.left(4) : line.right(4);
    // Four characters hold at most 9999, or an exponent such as "9E99": no number then.
    return int(numbers::truncated(numbers::leadingNumber(digits), -999, 9999).value_or(0));
}

void sortLines(QStringList &lines)
{
    QStringList sorted;
    sorted.reserve(lines.size());
    for (quint32 i : text::Collation::system().order(lines))
        sorted.append(std::move(lines[i]));
    lines.swap(sorted);
}

Listing buildListing(const QList<Record> &records, Layout layout, const Filter &filter)
{
    Listing out;
    const QByteArray wanted = text::toCp1252(filter.value);
    out.lines.reserve(records.size());
    for (qsizetype i = 0; i < records.size(); ++i) {
        const int number = int(i + 1);
        if (number > kMaxCustomers) {
            out.error = QStringLiteral("Il cliente N. %1 non ha un numero di quattro cifre: "
                                       "l'elenco si ferma qui")
                            .arg(number);
            break;
        }
        const Record &r = records[i];
        if (filter.kind == Filter::City && text::trimSpaces(r.citta()) != wanted)
            continue;
        if (filter.kind == Filter::Stato && r.trimmed(fields::Accessi) != wanted)
            continue;
        if (r.isDeleted())
            continue;
        out.lines.append(line(layout, number, r));
    }
    sortLines(out.lines);
    return out;
}

QString registryOpenError(const QString &fileClienti)
{
    const QFileInfo info(fileClienti);
    if (!info.absoluteDir().exists())
        return QStringLiteral("Impossibile trovare il percorso %1").arg(QDir::toNativeSeparators(info.absolutePath()));
    if (info.exists()) {
        QFile file(fileClienti);
        if (!file.open(QIODevice::ReadOnly))
            return file.errorString();
    }
    return {};
}

std::optional<QList<Record>> readRegistry(const QString &fileClienti, QString *error)
{
    QString why = registryOpenError(fileClienti);
    if (why.isEmpty()) {
        if (auto records = RegistryFile(fileClienti).readAll(&why))
            return records;
        if (why.isEmpty())
            why = QStringLiteral("Impossibile leggere %1").arg(QDir::toNativeSeparators(fileClienti));
    }
    if (error)
        *error = why;
    return std::nullopt;
}

Listing listRegistry(const QString &fileClienti, Layout layout, const Filter &filter)
{
    QString error;
    const auto records = readRegistry(fileClienti, &error);
    if (!records) {
        Listing out;
        out.error = error;
        return out;
    }
    return buildListing(*records, layout, filter);
}

QString totalCaption(int count)
{
    return QStringLiteral("Records: %1").arg(count);
}

QString filteredCaption(const QString &value, int count)
{
    return value + QStringLiteral(" Records %1").arg(count);
}

} // namespace zorv::registry::lists
