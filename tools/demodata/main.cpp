// zorv900-demodata [--help] [--version] <folder>: fills a folder with demo data for the
// programs. Files that are already there are left as they are. A folder whose name starts
// with "-" is given after "--".
#include "demodata.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <functional>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zorv900-demodata"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Fills a folder with demo data for the programs; files already there are kept."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("folder"), QStringLiteral("The folder to fill (made when missing)."));
    const auto usage = [] { std::fprintf(stderr, "usage: zorv900-demodata [--help] [--version] <folder>\n"); };
    if (!parser.parse(app.arguments())) {
        std::fprintf(stderr, "zorv900-demodata: %s\n", qPrintable(parser.errorText()));
        usage();
        return 2;
    }
    // The options are known now: --help and --version print and end here.
    parser.process(app);
    const QStringList args = parser.positionalArguments();
    if (args.size() != 1) {
        usage();
        return 2;
    }
    QDir folder(args.at(0));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "zorv900-demodata: cannot create %s\n", qPrintable(args.at(0)));
        return 1;
    }
    struct Step {
        const char *file;
        std::function<QString(const QDir &)> write;
    };
    const Step steps[] = {
        {"CLIENTI.DAT", zorv::demodata::writeCustomers},
        {"mov.txt", zorv::demodata::writeMovements},
        {"ART.MAG", zorv::demodata::writeArticles},
    };
    int failed = 0;
    for (const Step &s : steps) {
        const QString error = s.write(folder);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "zorv900-demodata: %s: %s\n", s.file, qPrintable(error));
            ++failed;
        }
    }
    return failed ? 1 : 0;
}
