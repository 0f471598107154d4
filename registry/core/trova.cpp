#include "trova.h"

#include "record.h"

#include <QFile>

namespace zorv::registry {

std::optional<int> trovaNome(const QString &fileClienti, QByteArrayView key, int from, QString *error)
{
    QFile file(fileClienti);
    if (!file.exists())
        return 0;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    const qint64 count = file.size() / kRecordSize;
    if (from < 1)
        from = 1;
    if (from > count)
        return 0;
    if (!file.seek(qint64(from - 1) * kRecordSize)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    for (qint64 n = from; n <= count; ++n) {
        const QByteArray bytes = file.read(kRecordSize);
        if (bytes.size() != kRecordSize) {
            if (error)
                *error = file.errorString();
            return std::nullopt;
        }
        const Record record(bytes);
        if (!record.isDeleted() && bytes.left(fields::Nome.width).contains(key))
            return int(n);
    }
    return 0;
}

} // namespace zorv::registry
