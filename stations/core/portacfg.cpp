#include "portacfg.h"

#include "items.h"
#include "numbers.h"
#include "serialport.h"

#include <QDir>
#include <QFileInfo>

#include <limits>

namespace zorv::stations {

QString PortaCfg::settings() const
{
    return QString::fromLatin1(Velocita) + QStringLiteral(",n,8,1");
}

int PortaCfg::commPort() const
{
    return numeroPorta(NumeroPorta).value_or(0);
}

qint64 PortaCfg::lockOutMs() const
{
    return ritardoMs(RitardoRipetizione).value_or(0);
}

std::optional<int> numeroPorta(const QByteArray &text)
{
    const auto n = numbers::truncated(numbers::leadingNumber(text), 1, 256);
    return n ? std::optional<int>(int(*n)) : std::nullopt;
}

std::optional<qint64> ritardoMs(const QByteArray &ritardoRipetizione)
{
    return numbers::roundHalfEven(numbers::leadingNumber(ritardoRipetizione) * 1000.0, 0,
                                  std::numeric_limits<qint64>::max());
}

std::optional<int> byteTempo(const QByteArray &tempoRele)
{
    const auto t = numbers::roundHalfEven(numbers::leadingNumber(tempoRele), 0, 255);
    return t ? std::optional<int>(int(*t)) : std::nullopt;
}

std::optional<PortaCfg> leggiconf(const QString &folder, QString *error)
{
    const QString path = QDir(folder).filePath(QStringLiteral("porta.cfg"));
    const QString needs = QStringLiteral(
        "Il file %1 deve contenere cinque voci: numero della porta COM (1-256), velocità, "
        "secondi di blocco ripetizione (0 o più), tempo relè in decimi di secondo (0-255), A per l'audio.")
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
    if (!numeroPorta(cfg.NumeroPorta))
        return fail(QStringLiteral("porta.cfg: numero della porta COM non valido (\"%1\").")
                        .arg(QString::fromLatin1(cfg.NumeroPorta)));
    if (numbers::leadingNumber(cfg.Velocita) <= 0 || !SerialPort::parseSettings(cfg.settings(), nullptr))
        return fail(QStringLiteral("porta.cfg: velocità non valida (\"%1\").").arg(QString::fromLatin1(cfg.Velocita)));
    if (!ritardoMs(cfg.RitardoRipetizione))
        return fail(QStringLiteral("porta.cfg: secondi di blocco ripetizione non validi (\"%1\").")
                        .arg(QString::fromLatin1(cfg.RitardoRipetizione)));
    if (!byteTempo(cfg.TempoRele))
        return fail(QStringLiteral("porta.cfg: tempo relè fuori dai limiti 0-255 (\"%1\").")
                        .arg(QString::fromLatin1(cfg.TempoRele)));
    return cfg;
}

} // namespace zorv::stations
