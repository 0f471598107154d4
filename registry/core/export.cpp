#include "export.h"

#include "registryfile.h"

#include "items.h"
#include "text.h"

#include <QDir>
#include <QFileInfo>

namespace zorv::registry {

QString leggidestinazione(const QString &currentDir)
{
    const auto found = items::readFile(QDir(currentDir).filePath(QStringLiteral("configuraterm.cfg")));
    if (!found || found->size() < 2)
        return {};
    return text::fromCp1252(found->first());
}

QByteArray anagText(const QList<Record> &records)
{
    QByteArray out("Codice|Nome|Indirizzo|Citta|Prov|Accessi E|Relay\r\n");
    for (int i = 0; i < records.size(); ++i) {
        const Record &r = records[i];
        if (r.isDeleted())
            continue;
        out += numCliente(i + 1).toLatin1();
        for (const QByteArray &value : {r.trimmed(fields::Nome), r.trimmed(fields::Indirizzo),
                                        text::trimSpaces(r.citta()), r.trimmed(fields::Prov),
                                        r.trimmed(fields::AccessiEffettuati), r.relay()}) {
            out += '|';
            out += value;
        }
        out += "\r\n";
    }
    return out;
}

ExportResult esportaarchivio(const QString &fileClienti, const QString &prefix, const QString &currentDir)
{
    ExportResult result;
    const RegistryFile registry(fileClienti);
    QString error = registry.open();
    if (!error.isEmpty()) {
        result.error = error;
        return result;
    }
    if (registry.count() < 1) {
        result.outcome = ExportResult::Empty;
        return result;
    }
    const auto records = registry.readAll(&error);
    if (!records) {
        result.error = error;
        return result;
    }
    // The prefix is joined unchanged: a prefix without its final separator becomes part
    // of the file's name.
    const QString name = prefix + QStringLiteral("anag.txt");
    result.path = QFileInfo(name).isAbsolute() ? name : QDir(currentDir).filePath(name);
    error = items::writeFileAtomically(result.path, anagText(*records));
    if (!error.isEmpty()) {
        result.error = error;
        return result;
    }
    result.outcome = ExportResult::Written;
    return result;
}

} // namespace zorv::registry
