#include "plovekini.h"

#include "items.h"
#include "numbers.h"
#include "paths.h"

namespace zorv::stations::plovek {

namespace {

QStringList tasti(bool conUp, bool upDoppio)
{
    QStringList out = {QStringLiteral("none"),   QStringLiteral("{BS}"),   QStringLiteral("{BREAK}"),
                       QStringLiteral("{DOWN}"), QStringLiteral("{END}"),  QStringLiteral("{ENTER}"),
                       QStringLiteral("{ESC}"),  QStringLiteral("{HOME}"), QStringLiteral("{LEFT}"),
                       QStringLiteral("{PGDN}"), QStringLiteral("{RIGHT}"), QStringLiteral("{TAB}")};
    if (conUp)
        out.append(QStringLiteral("{UP}"));
    if (upDoppio)
        out.append(QStringLiteral("{UP}"));
    for (int f = 1; f <= 12; ++f)
        out.append(QStringLiteral("{F%1}").arg(f));
    return out;
}

QStringList numeri(int from, int to, int step)
{
    QStringList out;
    for (int n = from; n <= to; n += step)
        out.append(QString::number(n));
    return out;
}

} // namespace

QStringList vociPorta()
{
    QStringList out = {QStringLiteral("none")};
    out += numeri(1, 255, 1);
    return out;
}

QStringList vociRitardo()
{
    return numeri(0, 200, 10);
}

QStringList vociPrefisso()
{
    return tasti(false, false);
}

QStringList vociTerminatore1()
{
    return tasti(true, false);
}

QStringList vociTerminatore2()
{
    return tasti(true, true);
}

QStringList vociRipetizioni()
{
    return numeri(0, 15, 1);
}

QByteArray PlovekIni::testo() const
{
    items::Writer w;
    w.number(Check1).endLine();
    w.number(Combo6).number(Combo1).endLine();
    w.number(Combo8).number(Combo7).endLine();
    w.number(Combo2).number(Combo4).endLine();
    w.number(Combo3).number(Combo5).endLine();
    return w.data();
}

std::optional<PlovekIni> leggiIni(const QByteArray &data, QString *why)
{
    const QList<QByteArray> all = items::readAll(data);
    if (all.size() < 9) {
        if (why)
            *why = QStringLiteral("it holds %1 of its 9 settings").arg(all.size());
        return std::nullopt;
    }
    PlovekIni ini;
    struct Slot {
        int *value;
        int entries;
        const char *what;
    } campi[] = {
        {&ini.Check1, 2, "Beep"},
        {&ini.Combo6, int(vociPorta().size()), "Com Port"},
        {&ini.Combo1, int(vociRitardo().size()), "Intercharacter delay"},
        {&ini.Combo8, int(vociPrefisso().size()), "Prefix"},
        {&ini.Combo7, int(vociRipetizioni().size()), "Prefix repeated"},
        {&ini.Combo2, int(vociTerminatore1().size()), "Terminator 1"},
        {&ini.Combo4, int(vociRipetizioni().size()), "Terminator 1 repeated"},
        {&ini.Combo3, int(vociTerminatore2().size()), "Terminator 2"},
        {&ini.Combo5, int(vociRipetizioni().size()), "Terminator 2 repeated"},
    };
    for (int i = 0; i < 9; ++i) {
        const auto v = numbers::roundHalfEven(numbers::leadingNumber(all[i]), 0, campi[i].entries - 1);
        if (!v) {
            if (why)
                *why = QStringLiteral("setting %1 (%2) is %3, outside 0 to %4")
                           .arg(i + 1)
                           .arg(QString::fromLatin1(campi[i].what), QString::fromLatin1(all[i]))
                           .arg(campi[i].entries - 1);
            return std::nullopt;
        }
        *campi[i].value = int(*v);
    }
    return ini;
}

QString GetWinPath()
{
    QString dir = paths::configDir();
    if (dir.size() > 1 && dir.endsWith(u'/'))
        dir.chop(1);
    return dir;
}

QString percorsoIni()
{
    return GetWinPath() + QStringLiteral("/plovek.ini");
}

QString percorsoBeep()
{
    return GetWinPath() + QStringLiteral("/beep1.wav");
}

QString percorsoPermesso()
{
    return GetWinPath() + QStringLiteral("/plovek-typing.token");
}

} // namespace zorv::stations::plovek
