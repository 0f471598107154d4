// zorv900-demodata <folder>: fills a folder with demo data for the programs. Files that
// are already there are left as they are.
#include "demodata.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <functional>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: zorv900-demodata <folder>\n");
        return 2;
    }
    QDir folder(args.at(1));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "zorv900-demodata: cannot create %s\n", qPrintable(args.at(1)));
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
