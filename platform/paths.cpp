#include "paths.h"

#include "items.h"
#include "text.h"

#include <QDir>

namespace zorv::paths {

QString configDir()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    const QString dir = withSeparator(base) + QStringLiteral("zorv900/");
    QDir().mkpath(dir);
    return dir;
}

QString withSeparator(const QString &folder)
{
    QString out = folder;
    while (out.size() > 1 && out.endsWith(u'/'))
        out.chop(1);
    if (!out.endsWith(u'/'))
        out.append(u'/');
    return out;
}

QString readPercorso(const QString &currentDir)
{
    const auto found = items::readFile(withSeparator(currentDir) + QStringLiteral("percorso.cfg"));
    if (found && !found->isEmpty() && !found->first().isEmpty())
        return text::fromCp1252(found->first()) + u'/';
    return withSeparator(currentDir);
}

} // namespace zorv::paths
