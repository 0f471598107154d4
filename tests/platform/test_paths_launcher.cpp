#include "launcher.h"
#include "paths.h"

#include "testsupport.h"

#include <QDir>

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
