#include "launcher.h"
#include "paths.h"

#include "testsupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace zorv;

TEST(Paths, PercorsoFromFirstItemOrCurrentFolder)
{
    test::TempFolder dir;
    EXPECT_EQ(paths::readPercorso(dir.path()), dir.path() + "/");
    dir.write("percorso.cfg", "\"\"\r\n");
    EXPECT_EQ(paths::readPercorso(dir.path()), dir.path() + "/");
    dir.write("percorso.cfg", "\"/srv/dati\"\r\n");
    EXPECT_EQ(paths::readPercorso(dir.path()), QStringLiteral("/srv/dati/"));
    dir.write("percorso.cfg", "/srv/altro , x\r\n");
    EXPECT_EQ(paths::readPercorso(dir.path()), QStringLiteral("/srv/altro/"));
}

TEST(Paths, ConfigDirFollowsXdgConfigHome)
{
    test::TempFolder dir;
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
    EXPECT_EQ(paths::configDir(), dir.path() + "/zorv900/");
    EXPECT_TRUE(QDir(dir.path() + "/zorv900").exists());
    qputenv("XDG_CONFIG_HOME", saved);
}

TEST(Launcher, ResolvesOnPathAndFailsForMissingPrograms)
{
    EXPECT_FALSE(SystemLauncher::resolve(QStringLiteral("sh")).isEmpty());
    EXPECT_TRUE(SystemLauncher::resolve(QStringLiteral("no-such-program-zorv")).isEmpty());
    SystemLauncher launcher;
    EXPECT_FALSE(launcher.start(QStringLiteral("no-such-program-zorv")));
}

namespace {

// An executable shell script `name` in `dir` that leaves `marker` in the current folder when run.
QString script(const test::TempFolder &dir, const QString &name, const QByteArray &marker)
{
    dir.write(name, "#!/bin/sh\ntouch " + marker + "\n");
    QFile::setPermissions(dir.file(name), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return dir.file(name);
}

// Sets an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const QByteArray &value) : m_name(name), m_saved(qgetenv(name)), m_had(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_saved);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    QByteArray m_saved;
    bool m_had;
};

} // namespace

TEST(Launcher, BareNameLooksInOwnFolderThenCurrentFolderThenPath)
{
    test::TempFolder own, current, onPath;
    const QString name = QStringLiteral("zorv-menu-probe");
    const QString inCurrent = script(current, name, "ran-current");
    const QString inPath = script(onPath, name, "ran-path");
    const ScopedEnv bin("ZORV900_BIN_DIR", own.path().toLocal8Bit());
    const ScopedEnv path("PATH", onPath.path().toLocal8Bit() + ":" + qgetenv("PATH"));
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(current.path()));

    EXPECT_EQ(SystemLauncher::resolve(name), inCurrent); // before PATH
    const QString inOwn = script(own, name, "ran-own");
    EXPECT_EQ(SystemLauncher::resolve(name), inOwn); // the program's folder first
    QFile::remove(inOwn);
    QFile::remove(inCurrent);
    EXPECT_EQ(SystemLauncher::resolve(name), inPath);

    // Started for real from the current folder, in the current folder.
    script(current, name, "ran-current");
    SystemLauncher launcher;
    EXPECT_TRUE(launcher.start(name));
    EXPECT_TRUE(test::waitUntil([&] { return QFile::exists(current.file("ran-current")); }));
    EXPECT_FALSE(QFile::exists(current.file("ran-path")));
    QDir::setCurrent(saved);
}
