// A second program on a shared data folder, for tests: runs the cores that write
// CLIENTI.DAT and ART.MAG in a tight loop, or holds a file's lock until told to stop.
//
//   sharedwriter card <folder> <code> <times>       the station's card check
//   sharedwriter edit <clienti.dat> <n> <times>     the entry form's save of customer n,
//                                                   changing only its telephone
//   sharedwriter book <folder/> <code> <times>      a movimenti booking of quantity 1
//   sharedwriter hold <file>                        the lock, until stdin closes
//
// Prints "pronto" when ready, then (but for hold) waits for a line on stdin before the
// first round, so two of them start together. Exits 0 when every round did what it
// should.

#include "cardcheck.h"
#include "clock.h"
#include "entrysave.h"
#include "fakemessageboxes.h"
#include "filelock.h"
#include "program.h"
#include "registryfile.h"
#include "service.h"

#include <QCoreApplication>

#include <cstdio>
#include <thread>

using namespace zorv;

namespace {

void pronto()
{
    std::fputs("pronto\n", stdout);
    std::fflush(stdout);
}

void via()
{
    pronto();
    char line[16];
    (void)std::fgets(line, sizeof line, stdin);
}

int card(const QString &folder, const QByteArray &code, int times)
{
    via();
    stations::StatoStazione stato;
    for (int i = 0; i < times; ++i) {
        const auto out = stations::controllacarta(folder, code, stato);
        if (stato.CodiceEsito != stations::esito::Autorizzato) {
            std::fprintf(stderr, "card %d not granted: %s\n", i, qPrintable(out.guasti.join(u'|')));
            return 1;
        }
    }
    return 0;
}

int edit(const QString &path, int number, int times)
{
    via();
    const registry::RegistryFile file(path);
    for (int i = 0; i < times; ++i) {
        const auto loaded = file.read(number);
        if (!loaded)
            return 1;
        registry::Record edited = *loaded;
        edited.setRaw(registry::fields::Telefono, "T" + QByteArray::number(i));
        // The operator takes a moment between loading and saving.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const auto saved = registry::saveEntry(file, number, registry::EntryMode::Change, *loaded, edited);
        if (saved.outcome != registry::EntrySave::Written) {
            std::fprintf(stderr, "save %d: %d %s\n", i, int(saved.outcome), qPrintable(saved.error));
            return 1;
        }
    }
    return 0;
}

int book(const QString &percorso, const QByteArray &code, int times)
{
    FakeMessageBoxes boxes;
    const ScopedService<MessageBoxes> installed(&boxes);
    movimenti::Movimenti m(percorso);
    via();
    for (int i = 0; i < times; ++i) {
        const auto b = m.registraarticolo({code, "1", true, true});
        if (b.outcome != movimenti::Booking::Booked || !boxes.shown.isEmpty()) {
            std::fprintf(stderr, "booking %d: %d %s\n", i, int(b.outcome), qPrintable(boxes.texts().join(u'|')));
            return 1;
        }
    }
    return 0;
}

int hold(const QString &path)
{
    const FileLock lock(path);
    if (!lock) {
        std::fprintf(stderr, "%s\n", qPrintable(lock.error()));
        return 1;
    }
    pronto();
    // Blocks until the test closes our stdin (or ends).
    while (std::fgetc(stdin) != EOF) {
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    SystemClock clock;
    const ScopedService<Clock> clockInstalled(&clock);
    const QStringList a = app.arguments();
    const QString what = a.value(1);
    if (what == QLatin1String("card") && a.size() == 5)
        return card(a[2], a[3].toLatin1(), a[4].toInt());
    if (what == QLatin1String("edit") && a.size() == 5)
        return edit(a[2], a[3].toInt(), a[4].toInt());
    if (what == QLatin1String("book") && a.size() == 5)
        return book(a[2], a[3].toLatin1(), a[4].toInt());
    if (what == QLatin1String("hold") && a.size() == 3)
        return hold(a[2]);
    std::fputs("usage: sharedwriter card|edit|book|hold ...\n", stderr);
    return 2;
}
