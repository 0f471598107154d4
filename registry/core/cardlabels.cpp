#include "cardlabels.h"

#include "items.h"
#include "numbers.h"
#include "text.h"

#include <QDir>
#include <QFile>

#include <cmath>
#include <limits>

namespace zorv::registry {

namespace {

const QString kRule = QString(42, u'_');

QString cityLine(const CardFields &card)
{
    return card.cap + QStringLiteral("  ") + card.citta + QStringLiteral("  ") + card.prov;
}

} // namespace

QList<LabelLine> addressLabel(const CardFields &card)
{
    QList<LabelLine> lines;
    for (int i = 1; i <= 14; ++i) {
        LabelLine line;
        line.size = i <= 6 ? 13 : 10;
        if (i == 4)
            line.text = card.nome;
        else if (i == 7)
            line.text = card.indirizzo;
        else if (i == 9)
            line.text = cityLine(card);
        lines.append(line);
    }
    return lines;
}

Sender readSender(const QString &percorso)
{
    Sender sender;
    QFile file(QDir(percorso).filePath(QStringLiteral("indirizzo.txt")));
    if (!file.open(QIODevice::ReadOnly))
        return sender;
    items::Reader reader(file.readAll());
    for (auto &item : sender) {
        const auto next = reader.next();
        if (!next)
            break;
        item = text::fromCp1252(*next);
    }
    return sender;
}

int shippingCopies(const QString &answer)
{
    const double value = numbers::leadingNumber(QStringView(answer));
    if (!(value >= 1))
        return 0;
    if (value >= std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    return static_cast<int>(std::floor(value));
}

QString labelDate(const QDateTime &when)
{
    return when.toString(QStringLiteral("MM-dd-yyyy"));
}

QString labelTime(const QDateTime &when)
{
    return when.toString(QStringLiteral("HH:mm:ss"));
}

QList<LabelLine> shippingLabel(const CardFields &card, const Sender &sender, const QString &ordine,
                               const std::function<QDateTime()> &now)
{
    QList<LabelLine> lines;
    auto add = [&](double size, const QString &text = QString(), bool emphasis = false) {
        lines.append({size, emphasis, text});
    };
    add(0);
    add(10, kRule);
    add(7, QStringLiteral("SENDER:"));
    add(18, sender[0], true);
    add(8, sender[1]);
    add(8, sender[2]);
    add(8, sender[3]);
    add(10, kRule);
    add(10);
    add(13, QStringLiteral("SHIP TO:"));
    for (int i = 11; i <= 13; ++i)
        add(13);
    add(13, card.nome);
    add(13);
    add(13);
    add(10, card.indirizzo);
    add(10, cityLine(card));
    add(10);
    add(10);
    add(10, QStringLiteral("Tel.:") + card.telefono + QStringLiteral("   Fax:") + card.carta);
    for (int i = 22; i <= 25; ++i)
        add(10);
    add(10, kRule);
    add(10);
    const QDateTime printed = now();
    add(8, QStringLiteral("Data/Ora: ") + labelDate(printed) + QStringLiteral(" / ") + labelTime(printed));
    add(8, QStringLiteral("Num. ") + card.numero + QStringLiteral("-") + labelDate(now()));
    add(8);
    add(8, QStringLiteral("Ordine N. ") + ordine);
    add(10, kRule);
    return lines;
}

} // namespace zorv::registry
