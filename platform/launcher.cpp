#include "launcher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace zorv {

QString SystemLauncher::resolve(const QString &name)
{
    QStringList candidates{name};
    if (name.compare(QLatin1String("Calc"), Qt::CaseInsensitive) == 0)
        candidates = {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"), QStringLiteral("galculator"),
                      QStringLiteral("mate-calc"), QStringLiteral("xcalc")};
    // A bare name is looked for in the program's own folder, then in the current folder,
    // and only then on PATH.
    QStringList folders;
    const QString own = qEnvironmentVariable("ZORV900_BIN_DIR");
    if (!own.isEmpty())
        folders.append(own);
    if (QCoreApplication::instance())
        folders.append(QCoreApplication::applicationDirPath());
    folders.append(QDir::currentPath());
    for (const QString &candidate : candidates) {
        for (const QString &dir : folders) {
            const QFileInfo info(QDir(dir).filePath(candidate));
            if (info.isFile() && info.isExecutable())
                return info.absoluteFilePath();
        }
        const QString onPath = QStandardPaths::findExecutable(candidate);
        if (!onPath.isEmpty())
            return onPath;
    }
    return {};
}

bool SystemLauncher::start(const QString &name)
{
    const QString path = resolve(name);
    if (path.isEmpty())
        return false;
    return QProcess::startDetached(path, {}, QDir::currentPath());
}

} // namespace zorv
