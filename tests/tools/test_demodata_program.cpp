#include "testsupport.h"

#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

using zorv::test::TempFolder;

namespace {

struct Outcome {
    int exitCode = -1;
    QString out, err;
};

// Runs zorv900-demodata with `args` in `folder`.
Outcome demodata(const QString &folder, const QStringList &args)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(qEnvironmentVariable("ZORV900_BIN_DIR") + QStringLiteral("/zorv900-demodata"), args);
    Outcome r;
    if (!p.waitForFinished(20000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

} // namespace

TEST(DemodataProgram, OptionsPrintOrAreRefusedAndCreateNothing)
{
    struct Case {
        QStringList args;
        int exitCode;
        const char *inOut; // expected in stdout, or empty
        const char *inErr; // expected in stderr, or empty
    } cases[] = {
        {{"--help"}, 0, "[options] folder", ""},
        {{"-h"}, 0, "[options] folder", ""},
        {{"--help-all"}, 0, "[options] folder", ""},
        {{"--version"}, 0, "zorv900-demodata 1.0", ""},
        {{"--bogus"}, 2, "", "usage: zorv900-demodata"},
        {{"--bogus", "demo"}, 2, "", "usage: zorv900-demodata"},
        {{}, 2, "", "usage: zorv900-demodata"},
        {{"one", "two"}, 2, "", "usage: zorv900-demodata"},
    };
    for (const auto &c : cases) {
        TempFolder cwd;
        const Outcome r = demodata(cwd.path(), c.args);
        const std::string what = c.args.join(' ').toStdString();
        EXPECT_EQ(r.exitCode, c.exitCode) << what << "\n" << r.err.toStdString();
        if (*c.inOut) {
            EXPECT_TRUE(r.out.contains(QLatin1String(c.inOut))) << what << "\n" << r.out.toStdString();
        }
        if (*c.inErr) {
            EXPECT_TRUE(r.err.contains(QLatin1String(c.inErr))) << what << "\n" << r.err.toStdString();
        }
        EXPECT_TRUE(entries(cwd.path()).isEmpty()) << what << ": " << entries(cwd.path()).join(' ').toStdString();
    }
}

TEST(DemodataProgram, FillsTheFolderItIsGiven)
{
    TempFolder cwd;
    const Outcome r = demodata(cwd.path(), {"demo"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(entries(cwd.file("demo")), (QStringList{"ART.MAG", "CLIENTI.DAT", "mov.txt"}));
    // A folder whose name starts with a dash comes after "--".
    const Outcome dashed = demodata(cwd.path(), {"--", "-odd"});
    ASSERT_EQ(dashed.exitCode, 0) << dashed.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(cwd.file("-odd/CLIENTI.DAT")));
}
