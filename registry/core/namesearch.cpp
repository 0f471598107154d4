#include "namesearch.h"

#include <cstring>

namespace zorv::registry {

namespace {

QByteArrayView trimView(QByteArrayView v)
{
    qsizetype b = 0, e = v.size();
    while (b < e && v[b] == ' ')
        ++b;
    while (e > b && v[e - 1] == ' ')
        --e;
    return v.sliced(b, e - b);
}

bool allStars(const char *p)
{
    static const QByteArray stars(kRecordSize, '*');
    return std::memcmp(p, stars.constData(), kRecordSize) == 0;
}

} // namespace

int findByName(QByteArrayView data, QByteArrayView nome)
{
    const QByteArrayView wanted = trimView(nome);
    const qsizetype count = data.size() / kRecordSize;
    for (qsizetype i = 0; i < count; ++i) {
        const char *rec = data.data() + i * kRecordSize;
        // Cheap test first: most names differ; a deleted record never matches.
        const QByteArrayView name = trimView(QByteArrayView(rec + fields::Nome.offset, fields::Nome.width));
        if (name != wanted || allStars(rec))
            continue;
        return int(i + 1);
    }
    return 0;
}

std::optional<int> findByName(const RegistryFile &registry, QByteArrayView nome, QString *error)
{
    const auto data = registry.readBytes(error);
    if (!data)
        return std::nullopt;
    return findByName(QByteArrayView(*data), nome);
}

} // namespace zorv::registry
