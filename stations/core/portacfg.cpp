#include "portacfg.h"

#include "items.h"
#include "numbers.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>

namespace zorv::stations {

QString PortaCfg::settings() const
{
    return QString::fromLatin1(Velocita) + QStringLiteral(",n,8,1");
}

int PortaCfg::commPort() const
{
    return int(numbers::leadingNumber(NumeroPorta));
}

qint64 PortaCfg::lockOutMs() const
{
    return qint64(std::llround(numbers::leadingNumber(RitardoRipetizione) * 1000.0));
}

std::optional<int> byteTempo(const QByteArray &tempoRele)
{
    const qint64 t = numbers::roundHalfEven(numbers::leadingNumber(tempoRele));
    if (t < 0 || t > 255)
        return std::nullopt;
    return int(t);
}

std::optional<PortaCfg> leggiconf(const QString &folder, QString *error)
{
    const QString path = QDir(folder).filePath(QStringLiteral("porta.cfg"));
    const QString needs = QStringLiteral(
        "Il file %1 deve contenere cinque voci: numero della porta COM, velocità, "
        "secondi di blocco ripetizione, tempo relè in decimi di secondo (0-255), A per l'audio.")
                              .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    auto fail = [&](const QString &why) -> std::optional<PortaCfg> {
        if (error)
            *error = why + QStringLiteral("\n") + needs;
        return std::nullopt;
    };
    const auto all = items::readFile(path);
    if (!all)
        return fail(QStringLiteral("Impossibile leggere porta.cfg."));
    if (all->size() < 5)
        return fail(QStringLiteral("porta.cfg contiene %1 voci invece di cinque.").arg(all->size()));
    PortaCfg cfg;
    cfg.NumeroPorta = all->at(0);
    cfg.Velocita = all->at(1);
    cfg.RitardoRipetizione = all->at(2);
    cfg.TempoRele = all->at(3);
    cfg.FlagAudio = all->at(4);
    if (cfg.commPort() < 1)
        return fail(QStringLiteral("porta.cfg: numero della porta COM non valido (\"%1\").")
                        .arg(QString::fromLatin1(cfg.NumeroPorta)));
    if (numbers::leadingNumber(cfg.Velocita) <= 0)
        return fail(QStringLiteral("porta.cfg: velocità non valida (\"%1\").").arg(QString::fromLatin1(cfg.Velocita)));
    if (!byteTempo(cfg.TempoRele))
        return fail(QStringLiteral("porta.cfg: tempo relè fuori dai limiti 0-255 (\"%1\").")
                        .arg(QString::fromLatin1(cfg.TempoRele)));
    return cfg;
}

} // namespace zorv::stations
